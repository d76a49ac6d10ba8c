// Synthetic keyboard and mouse input. Every operation hands its events to the
// injector in one batch, so no other input interleaves with it.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/types.h"

void SendKeystroke(uint8_t virtualKey, bool withCtrl = false, bool withAlt = false,
                   bool withShift = false);
void SendKeystrokeEx(uint8_t virtualKey, bool withCtrl, bool withAlt, bool withShift,
                     uint16_t scanCode, uint32_t keyFlags);
void SendAltWinEnter();
// A key under any of the four modifiers; with scan codes, each key carries its own as a
// US keyboard sends it (for programs that read scan codes rather than virtual keys).
void SendChord(uint8_t virtualKey, bool withCtrl, bool withAlt, bool withShift, bool withWin,
               bool withScanCodes);
struct KeyScanCode {
    uint16_t scan = 0;  // 0: the key has none here
    bool extended = false;
};
KeyScanCode ScanCodeOf(uint8_t virtualKey);
// One key event on its own (a key held across pauses).
void SendKeyEvent(uint16_t virtualKey, uint16_t scanCode, uint32_t flags);

// Held for every save, move, click and restore of the cursor: the reader thread's clicks
// and mouse mode and the main thread's focus-request poll never interleave theirs.
std::recursive_mutex& CursorLock();

void ClickLeftAtCursor();
void ClickRightAtCursor();
void ClickInForegroundWindow(int32_t x, int32_t y);
void RightClickInForegroundWindow(int32_t x, int32_t y);
void ClickInWindow(int32_t x, int32_t y, WindowHandle window);
void ClickInWindowFromBottom(int32_t x, int32_t y, WindowHandle window);
void RightClickInWindow(int32_t x, int32_t y, WindowHandle window);
void MoveCursorToWindow(int32_t x, int32_t y, WindowHandle window);
