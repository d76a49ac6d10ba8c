// The on-screen display's panel: a topmost, click-through tool window that never takes
// the activation, shown on the monitor of the window in front and sized for that
// monitor's DPI, hidden again after a moment. It lives on the user-interface thread;
// the reader thread only posts to it.
#pragma once

#include <windows.h>

#include "ui/osd.h"

// The panel's window class; its window text is the panel's text.
constexpr const wchar_t* kOsdWindowClass = L"Orbiscope.Display";
// How long a panel stays after the last press it showed.
constexpr UINT kOsdShowMs = 1500;

// Creates the hidden panel window and lets the display wake it. On the UI thread.
bool StartOsdWindow(HINSTANCE instance);
// Switches the display off and destroys the window.
void StopOsdWindow();
// Shows the panel at once (or updates the one showing) and restarts its timer.
void ShowOsdPanel(const OsdPanel& panel);
HWND OsdWindow();
// Whether the system's high-contrast colours are on; tests put their own answer in
// (null restores the system's).
void SetOsdHighContrastQuery(bool (*query)());
