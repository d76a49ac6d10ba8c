// The Teach a Button dialog of the Programs page.
#pragma once

#include <windows.h>

#include "ui/teach_flow.h"
#include "ui/win32/ui_win32.h"

namespace ui32 {

// Modal over owner, the page's chosen program (may be null) offered first. While it runs,
// *open holds its window (null again once it is gone), so that whoever owns `open` can
// close it. True when it saved a button.
bool RunTeachDialog(HWND owner, const KnownProgram* selected, HWND* open);

}  // namespace ui32
