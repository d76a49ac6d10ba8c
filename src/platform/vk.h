// Windows virtual-key codes and input flags, defined once for the portable code.
#pragma once

#include <cstdint>

namespace vk {
constexpr uint8_t BACK = 0x08, TAB = 0x09, RETURN = 0x0D, SHIFT = 0x10, CONTROL = 0x11,
                  MENU = 0x12, PAUSE = 0x13, ESCAPE = 0x1B, SPACE = 0x20, PRIOR = 0x21,
                  NEXT = 0x22, END = 0x23, HOME = 0x24, LEFT = 0x25, UP = 0x26, RIGHT = 0x27,
                  DOWN = 0x28, INSERT = 0x2D, DELETE_ = 0x2E, LWIN = 0x5B, APPS = 0x5D,
                  NUMPAD0 = 0x60, NUMPAD1 = 0x61, NUMPAD2 = 0x62, NUMPAD3 = 0x63,
                  NUMPAD4 = 0x64, NUMPAD5 = 0x65, NUMPAD6 = 0x66, NUMPAD7 = 0x67,
                  NUMPAD8 = 0x68, NUMPAD9 = 0x69, MULTIPLY = 0x6A, ADD = 0x6B,
                  SUBTRACT = 0x6D, DECIMAL = 0x6E, DIVIDE = 0x6F, F1 = 0x70, F2 = 0x71,
                  F3 = 0x72, F4 = 0x73, F5 = 0x74, F6 = 0x75, F7 = 0x76, F8 = 0x77, F9 = 0x78,
                  F10 = 0x79, F11 = 0x7A, F12 = 0x7B, VOLUME_MUTE = 0xAD, VOLUME_DOWN = 0xAE,
                  VOLUME_UP = 0xAF, MEDIA_NEXT_TRACK = 0xB0, MEDIA_PREV_TRACK = 0xB1,
                  MEDIA_STOP = 0xB2, MEDIA_PLAY_PAUSE = 0xB3, OEM_1 = 0xBA, OEM_PLUS = 0xBB,
                  OEM_COMMA = 0xBC, OEM_MINUS = 0xBD, OEM_PERIOD = 0xBE, OEM_2 = 0xBF,
                  OEM_3 = 0xC0, OEM_4 = 0xDB, OEM_5 = 0xDC, OEM_6 = 0xDD, OEM_7 = 0xDE;
}  // namespace vk

// Keyboard event flags (KEYEVENTF_*).
constexpr uint32_t kKeyExtended = 0x1;
constexpr uint32_t kKeyUp = 0x2;

// Mouse event flags (MOUSEEVENTF_*).
constexpr uint32_t kMouseLeftDown = 0x2;
constexpr uint32_t kMouseLeftUp = 0x4;
constexpr uint32_t kMouseRightDown = 0x8;
constexpr uint32_t kMouseRightUp = 0x10;

// Window messages and constants the portable code names.
namespace wm {
constexpr uint32_t NULLMSG = 0x0000, SETFOCUS = 0x0007, CLOSE = 0x0010, QUERYENDSESSION = 0x0011,
                   ENDSESSION = 0x0016, COMMAND = 0x0111, SYSCOMMAND = 0x0112,
                   TIMER = 0x0113, POWERBROADCAST = 0x0218, APPCOMMAND = 0x0319,
                   USER = 0x0400, LBUTTONUP = 0x0202,
                   RBUTTONUP = 0x0205;
}
constexpr uint32_t kScScreenSave = 0xF140;
constexpr uint32_t kScClose = 0xF060;
constexpr int32_t kSwRestore = 9;
constexpr int32_t kSwShowNormal = 1;
constexpr uint32_t kWsVisible = 0x10000000;
