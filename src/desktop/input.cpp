#include "desktop/input.h"

#include <mutex>
#include <vector>

#include "platform/ports.h"
#include "platform/vk.h"
#include "state/trace.h"

namespace {

constexpr uint16_t kScanCtrl = 0x1D;
constexpr uint16_t kScanAlt = 0x38;
constexpr uint16_t kScanShift = 0x2A;
constexpr uint16_t kScanWin = 0x5B;

// The scan codes of a US keyboard (set 1) for the keys that are not in a run below.
struct KeyScan {
    uint8_t key;
    uint8_t scan;
    bool extended;
};
constexpr KeyScan kKeyScans[] = {
    {vk::BACK, 0x0E, false},      {vk::TAB, 0x0F, false},        {vk::RETURN, 0x1C, false},
    {vk::SHIFT, 0x2A, false},     {vk::CONTROL, 0x1D, false},    {vk::MENU, 0x38, false},
    {vk::PAUSE, 0x45, false},     {vk::ESCAPE, 0x01, false},     {vk::SPACE, 0x39, false},
    {vk::PRIOR, 0x49, true},      {vk::NEXT, 0x51, true},        {vk::END, 0x4F, true},
    {vk::HOME, 0x47, true},       {vk::LEFT, 0x4B, true},        {vk::UP, 0x48, true},
    {vk::RIGHT, 0x4D, true},      {vk::DOWN, 0x50, true},        {vk::INSERT, 0x52, true},
    {vk::DELETE_, 0x53, true},    {vk::LWIN, 0x5B, true},        {0x5C, 0x5C, true},
    {vk::APPS, 0x5D, true},       {vk::NUMPAD0, 0x52, false},    {vk::NUMPAD1, 0x4F, false},
    {vk::NUMPAD2, 0x50, false},   {vk::NUMPAD3, 0x51, false},    {vk::NUMPAD4, 0x4B, false},
    {vk::NUMPAD5, 0x4C, false},   {vk::NUMPAD6, 0x4D, false},    {vk::NUMPAD7, 0x47, false},
    {vk::NUMPAD8, 0x48, false},   {vk::NUMPAD9, 0x49, false},    {vk::MULTIPLY, 0x37, false},
    {vk::ADD, 0x4E, false},       {vk::SUBTRACT, 0x4A, false},   {vk::DECIMAL, 0x53, false},
    {vk::DIVIDE, 0x35, true},     {vk::F11, 0x57, false},        {vk::F12, 0x58, false},
    {vk::F12 + 12, 0x76, false},  {0xA6, 0x6A, true},            {0xA7, 0x69, true},
    {0xA8, 0x67, true},           {vk::VOLUME_MUTE, 0x20, true}, {vk::VOLUME_DOWN, 0x2E, true},
    {vk::VOLUME_UP, 0x30, true},  {vk::MEDIA_NEXT_TRACK, 0x19, true},
    {vk::MEDIA_PREV_TRACK, 0x10, true}, {vk::MEDIA_STOP, 0x24, true},
    {vk::MEDIA_PLAY_PAUSE, 0x22, true}, {vk::OEM_1, 0x27, false}, {vk::OEM_PLUS, 0x0D, false},
    {vk::OEM_COMMA, 0x33, false}, {vk::OEM_MINUS, 0x0C, false},  {vk::OEM_PERIOD, 0x34, false},
    {vk::OEM_2, 0x35, false},     {vk::OEM_3, 0x29, false},      {vk::OEM_4, 0x1A, false},
    {vk::OEM_5, 0x2B, false},     {vk::OEM_6, 0x1B, false},      {vk::OEM_7, 0x28, false},
};
// The letters in alphabetical order.
constexpr uint8_t kLetterScans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                      0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                      0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

InputEvent Key(uint16_t vkCode, uint16_t scan, uint32_t flags) {
    return InputEvent{InputEvent::Keyboard, vkCode, scan, flags};
}

InputEvent MouseEvent(uint32_t flags) { return InputEvent{InputEvent::Mouse, 0, 0, flags}; }

void Inject(const std::vector<InputEvent>& batch) {
    InputInjector* input = Os().input;
    if (input == nullptr) return;
    // Input the system refused is no action taken.
    if (input->Inject(batch) != 0) TraceInput(batch);
}

void SendKeyBatch(uint8_t virtualKey, bool ctrl, bool alt, bool shift, uint16_t scan,
                  uint32_t flags, bool win = false) {
    std::vector<InputEvent> batch;
    batch.reserve(10);
    // The Windows key carries its scan code only where the key itself does.
    const uint16_t winScan = scan != 0 ? kScanWin : 0;
    const uint32_t winFlags = scan != 0 ? kKeyExtended : 0;
    if (ctrl) batch.push_back(Key(vk::CONTROL, kScanCtrl, 0));
    if (alt) batch.push_back(Key(vk::MENU, kScanAlt, 0));
    if (shift) batch.push_back(Key(vk::SHIFT, kScanShift, 0));
    if (win) batch.push_back(Key(vk::LWIN, winScan, winFlags));
    batch.push_back(Key(virtualKey, scan, flags));
    batch.push_back(Key(virtualKey, scan, flags | kKeyUp));
    if (win) batch.push_back(Key(vk::LWIN, winScan, winFlags | kKeyUp));
    if (shift) batch.push_back(Key(vk::SHIFT, kScanShift, kKeyUp));
    if (alt) batch.push_back(Key(vk::MENU, kScanAlt, kKeyUp));
    if (ctrl) batch.push_back(Key(vk::CONTROL, kScanCtrl, kKeyUp));
    Inject(batch);
}

void ClickButton(bool right) {
    const std::lock_guard<std::recursive_mutex> hold(CursorLock());
    Inject({MouseEvent(right ? kMouseRightDown : kMouseLeftDown),
            MouseEvent(right ? kMouseRightUp : kMouseLeftUp)});
}

enum class Anchor { Top, Bottom };
enum class Click { Left, Right, None };

void ClickAtOffset(WindowHandle window, int32_t x, int32_t y, Anchor anchor, Click click) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return;
    const std::lock_guard<std::recursive_mutex> hold(CursorLock());
    // A window that is gone (or none at all) gets no input rather than a click at the
    // bare offset from the screen's corner.
    Rect r;
    if (window == 0 || !desktop->WindowRect(window, r)) return;
    const Point saved = click == Click::None ? Point{} : desktop->CursorPos();
    // 64-bit sums: an offset far beyond the screen must not wrap onto it.
    const int64_t tx = static_cast<int64_t>(r.left) + x;
    const int64_t ty = static_cast<int64_t>(anchor == Anchor::Top ? r.top : r.bottom) + y;
    const Point screen = desktop->ScreenSize();
    if (tx < 0 || tx > screen.x || ty < 0 || ty > screen.y) return;
    desktop->SetCursorPos(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
    if (click == Click::None) return;
    ClickButton(click == Click::Right);
    desktop->SetCursorPos(saved.x, saved.y);
}

WindowHandle Foreground() {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? 0 : desktop->ForegroundWindow();
}

}  // namespace

std::recursive_mutex& CursorLock() {
    static std::recursive_mutex lock;
    return lock;
}

void SendKeystroke(uint8_t virtualKey, bool withCtrl, bool withAlt, bool withShift) {
    SendKeyBatch(virtualKey, withCtrl, withAlt, withShift, 0, 0);
}

void SendKeystrokeEx(uint8_t virtualKey, bool withCtrl, bool withAlt, bool withShift,
                     uint16_t scanCode, uint32_t keyFlags) {
    SendKeyBatch(virtualKey, withCtrl, withAlt, withShift, scanCode, keyFlags);
}

void SendChord(uint8_t virtualKey, bool withCtrl, bool withAlt, bool withShift, bool withWin,
               bool withScanCodes) {
    KeyScanCode code;
    if (withScanCodes) code = ScanCodeOf(virtualKey);
    SendKeyBatch(virtualKey, withCtrl, withAlt, withShift, code.scan,
                 code.extended ? kKeyExtended : 0, withWin);
}

KeyScanCode ScanCodeOf(uint8_t k) {
    if (k >= 'A' && k <= 'Z') return {kLetterScans[k - 'A'], false};
    if (k >= '1' && k <= '9') return {static_cast<uint16_t>(0x02 + k - '1'), false};
    if (k == '0') return {0x0B, false};
    if (k >= vk::F1 && k <= vk::F10) return {static_cast<uint16_t>(0x3B + k - vk::F1), false};
    if (k >= vk::F12 + 1 && k <= vk::F12 + 11)
        return {static_cast<uint16_t>(0x64 + k - vk::F12 - 1), false};
    for (const KeyScan& s : kKeyScans) {
        if (s.key == k) return {s.scan, s.extended};
    }
    return {};
}

void SendKeyEvent(uint16_t virtualKey, uint16_t scanCode, uint32_t flags) {
    Inject({Key(virtualKey, scanCode, flags)});
}

void SendAltWinEnter() {
    Inject({Key(vk::MENU, kScanAlt, 0), Key(vk::LWIN, 0, 0), Key(vk::RETURN, 0, 0),
            Key(vk::RETURN, 0, kKeyUp), Key(vk::LWIN, 0, kKeyUp), Key(vk::MENU, kScanAlt, kKeyUp)});
}

void ClickLeftAtCursor() { ClickButton(false); }
void ClickRightAtCursor() { ClickButton(true); }

void ClickInForegroundWindow(int32_t x, int32_t y) {
    ClickAtOffset(Foreground(), x, y, Anchor::Top, Click::Left);
}
void RightClickInForegroundWindow(int32_t x, int32_t y) {
    ClickAtOffset(Foreground(), x, y, Anchor::Top, Click::Right);
}
void ClickInWindow(int32_t x, int32_t y, WindowHandle window) {
    ClickAtOffset(window, x, y, Anchor::Top, Click::Left);
}
void ClickInWindowFromBottom(int32_t x, int32_t y, WindowHandle window) {
    ClickAtOffset(window, x, y, Anchor::Bottom, Click::Left);
}
void RightClickInWindow(int32_t x, int32_t y, WindowHandle window) {
    ClickAtOffset(window, x, y, Anchor::Top, Click::Right);
}
void MoveCursorToWindow(int32_t x, int32_t y, WindowHandle window) {
    ClickAtOffset(window, x, y, Anchor::Top, Click::None);
}
