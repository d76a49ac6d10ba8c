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
                  uint32_t flags) {
    std::vector<InputEvent> batch;
    batch.reserve(8);
    if (ctrl) batch.push_back(Key(vk::CONTROL, kScanCtrl, 0));
    if (alt) batch.push_back(Key(vk::MENU, kScanAlt, 0));
    if (shift) batch.push_back(Key(vk::SHIFT, kScanShift, 0));
    batch.push_back(Key(virtualKey, scan, flags));
    batch.push_back(Key(virtualKey, scan, flags | kKeyUp));
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
