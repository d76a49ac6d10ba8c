// The dialog that learns another remote's buttons, opened from the Programs page.
#pragma once

#include <windows.h>

// Modal; presses of any remote are captured, not acted on, while it is open.
void ShowAnotherRemoteDialog(HWND owner);
