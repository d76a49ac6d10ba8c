// Row 125: typing letters with the digit buttons as on a telephone keypad. The
// reader thread updates the pending letter; the main window's timer commits it,
// so the two meet under one lock.
#include <mutex>

#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/handlers.h"
#include "profiles/handlers_common.h"
#include "desktop/input.h"
#include "state/messages.h"

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

struct LetterEntry {
    int32_t pendingDigit = -1;  // -1: none
    int32_t tapCount = 0;
};

std::mutex g_letterLock;
LetterEntry g_letter;  // guarded by g_letterLock

void StartTimer() {
    if (UserInterface* ui = Os().ui) (void)ui->SetTimer(MainWindowHandle(), kLetterEntryTimer, kLetterEntryMs);
}

void StopTimer() {
    if (UserInterface* ui = Os().ui) (void)ui->KillTimer(MainWindowHandle(), kLetterEntryTimer);
}

// Types the pending letter, if any, and forgets it. Called with g_letterLock held,
// which also keeps two commits from typing their letters out of order.
void CommitLocked() {
    if (g_letter.pendingDigit >= 0) {
        const char* group = kKeypadLetters[g_letter.pendingDigit - Digit2];
        SendKeystroke(static_cast<uint8_t>(group[g_letter.tapCount - 1]));
    }
    g_letter = LetterEntry{};
    StopTimer();
}

}  // namespace

int HandleRow125(int32_t button) {
    {
        std::lock_guard<std::mutex> lock(g_letterLock);
        if (IsLetterDigit(button)) {
            if (g_letter.pendingDigit < 0) {
                g_letter = LetterEntry{button, 1};
            } else if (g_letter.pendingDigit == button) {
                g_letter.tapCount = g_letter.tapCount >= LetterCount(button) ? 1 : g_letter.tapCount + 1;
            } else {
                CommitLocked();
                g_letter = LetterEntry{button, 1};
            }
            StartTimer();
            return 1;
        }
        // Any other button drops the pending letter untyped.
        g_letter = LetterEntry{};
        StartTimer();
    }
    return SendMappedKeys(kLetterEntryKeys, button);
}

void LetterEntryTimer() {
    std::lock_guard<std::mutex> lock(g_letterLock);
    CommitLocked();
}

namespace handlers {
void ResetLetterEntry() {
    std::lock_guard<std::mutex> lock(g_letterLock);
    g_letter = LetterEntry{};
}
}  // namespace handlers
