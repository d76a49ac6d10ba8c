// The real ports over the Win32 API. Each returns one process-wide instance.
#pragma once

#include <windows.h>

#include "platform/ports.h"

Clock& Win32Clock();
InputInjector& Win32Input();
Desktop& Win32Desktop();
ProcessList& Win32ProcessList();
SystemPower& Win32Power();
Registry& Win32Registry();
Shell& Win32Shell();
Network& Win32Network();
NotifyIcon& Win32NotifyIcon();
UserInterface& Win32UserInterface();
ReceiverDevice& Win32ReceiverDevice();
Mixer& Win32Mixer();
EndpointVolume& Win32EndpointVolume();
LocalFiles& Win32Files();
FolderFiles& Win32FolderFiles();

// An icon resource of this program as the notification area shows it: at the small-icon
// size the shell asks for (LoadIconMetric where comctl32 has it, else SM_CXSMICON).
// Null when the resource is missing; the caller owns the icon.
HICON LoadNotifyIconPicture(int32_t resource);

// The program's own unsupported-program dialog, which lives with its windows; until it
// is installed the warning is a plain message box.
using UnsupportedDialogFn = UnsupportedAnswer (*)(const std::string& message);
void SetUnsupportedDialog(UnsupportedDialogFn show);

// A Platform with every real adapter.
Platform Win32Platform();
