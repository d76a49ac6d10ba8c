// Row 125: typing letters with the digit buttons as on a telephone keypad. The
// reader thread updates the pending letter; the main window's timer commits it,
// so the two meet under one lock.
#include <mutex>

#include "desktop/input.h"
#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/handler_memory.h"
#include "profiles/handlers.h"
#include "profiles/handlers_common.h"
#include "state/messages.h"
#include "state/trace.h"

using namespace keys;

namespace {

constexpr uint32_t kLetterEntryMs = 700;

constexpr ButtonKeys kLetterEntryKeys[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::SPACE)}},
    {Digit0, {K(vk::SPACE)}},
    {Previous, {K(vk::LEFT)}},
    {Next, {K(vk::RIGHT)}},
    {Rewind, {CtrlAlt(vk::LEFT)}},
    {FastForward, {CtrlAlt(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {Scan(vk::TAB, 0x2A, true, kShift)}},
    {Right, {K(vk::TAB)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {Ctrl('T')}},
    {Digit1, {K(vk::BACK)}},
};

// The letters of Digit2..Digit9.
constexpr const char* kKeypadLetters[] = {"ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};

constexpr bool IsLetterDigit(int32_t button) { return button >= Digit2 && button <= Digit9; }

constexpr int32_t LetterCount(int32_t digit) {
    return (digit == Digit7 || digit == Digit9) ? 4 : 3;
}

using LetterEntry = HandlerMemory::LetterEntry;

char PendingLetter(const LetterEntry& letter) {
    return kKeypadLetters[letter.pendingDigit - Digit2][letter.tapCount - 1];
}

void StartTimer() {
    if (UserInterface* ui = Os().ui) (void)ui->SetTimer(MainWindowHandle(), kLetterEntryTimer, kLetterEntryMs);
}

void StopTimer() {
    if (UserInterface* ui = Os().ui) (void)ui->KillTimer(MainWindowHandle(), kLetterEntryTimer);
}

// Types the pending letter, if any, and forgets it. Called with the letter lock held,
// which also keeps two commits from typing their letters out of order.
void CommitLocked(LetterEntry& letter) {
    if (letter.pendingDigit >= 0) {
        const char typed = PendingLetter(letter);
        SendKeystroke(static_cast<uint8_t>(typed));
        TraceAction([&] { return TraceFact(TraceKind::LetterTyped, {}, typed); });
    }
    letter = LetterEntry{};
    StopTimer();
}

}  // namespace

int HandleRow125(int32_t button) {
    HandlerMemory& memory = HandlerMemoryInUse();
    {
        std::lock_guard<std::mutex> lock(memory.letterLock);
        LetterEntry& letter = memory.letter;
        if (IsLetterDigit(button)) {
            if (letter.pendingDigit < 0) {
                letter = LetterEntry{button, 1};
            } else if (letter.pendingDigit == button) {
                letter.tapCount = letter.tapCount >= LetterCount(button) ? 1 : letter.tapCount + 1;
            } else {
                CommitLocked(letter);
                letter = LetterEntry{button, 1};
            }
            TraceAction(
                [&] { return TraceFact(TraceKind::LetterChosen, {}, PendingLetter(letter)); });
            StartTimer();
            return 1;
        }
        // Any other button drops the pending letter untyped.
        letter = LetterEntry{};
        StartTimer();
    }
    return SendMappedKeys(kLetterEntryKeys, button);
}

void LetterEntryTimer() {
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.letterLock);
    CommitLocked(memory.letter);
}

namespace handlers {
void ResetLetterEntry() {
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.letterLock);
    memory.letter = LetterEntry{};
}
}  // namespace handlers
