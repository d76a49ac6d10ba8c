// Small pieces the profile handlers share.
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "profiles/keymap.h"

namespace handlers {

// Windows 2000 and XP (platform NT, major version 5): the versions whose players
// take the media keys. Asked at each press.
bool WindowsIsNt5();

// A button mapped to one number (a command identifier, a message parameter).
struct ButtonCode {
    RemoteButton button;
    uint32_t code;
};

// The code of a button in a table; false when the table does not map it.
template <size_t N>
constexpr bool FindCode(const ButtonCode (&table)[N], int32_t button, uint32_t& code) {
    for (const ButtonCode& entry : table) {
        if (entry.button == button) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

// The foreground window, or 0.
WindowHandle ForegroundWindowHandle();

void ResetLetterEntry();
void ResetPressCounters();

}  // namespace handlers
