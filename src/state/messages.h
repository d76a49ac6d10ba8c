// The main window's user messages, through which other threads and other programs
// ask the shell to act, and the handle of that window.
#pragma once

#include "platform/types.h"

constexpr MessageId WM_REMOTE_TRAYNOTIFY = 0x500;
constexpr MessageId WM_REMOTE_SHOWPLUGINWAIT = 0x501;
constexpr MessageId WM_REMOTE_CLOSEPLUGINWAIT = 0x502;
constexpr MessageId WM_REMOTE_PLUGINWAITCLOSED = 0x503;
constexpr MessageId WM_REMOTE_HIDESETTINGS = 0x504;
constexpr MessageId WM_REMOTE_SHOWSETTINGS = 0x505;
constexpr MessageId WM_REMOTE_REFRESHSETTINGS = 0x506;
constexpr MessageId WM_REMOTE_QUERYRECEIVER = 0x507;
// A second copy started with "/trace" asks the running one to open its log.
constexpr MessageId WM_REMOTE_STARTTRACELOG = 0x508;

constexpr const char* kMainWindowClass = "Orbiscope.Remote";

// Timers on the main window.
constexpr uintptr_t kFocusPollTimer = 102;
constexpr uintptr_t kShowSettingsTimer = 103;
constexpr uintptr_t kLetterEntryTimer = 104;
constexpr uintptr_t kProfileHoldTimer = 106;  // 105 is the shell's tray-restore timer

// The hidden main window; 0 before it exists.
WindowHandle MainWindowHandle();
void SetMainWindowHandle(WindowHandle w);
