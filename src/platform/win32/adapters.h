// The real ports over the Win32 API. Each returns one process-wide instance.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/pipe_peer.h"
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

// Who runs a process (its token's user and integrity level), and who serves a pipe this
// process opened (GetNamedPipeServerProcessId); nullopt when the system does not tell.
std::optional<PeerIdentity> ProcessIdentity(HANDLE process);
std::optional<PeerIdentity> PipeServerIdentity(HANDLE pipe);
// Whether to read the pipe: its server judged against this process. `serverOf` stands in
// for PipeServerIdentity where a test makes a server look like someone else's.
using PipeServerIdentityFn = std::optional<PeerIdentity> (*)(HANDLE pipe);
PipeServerVerdict CheckPipeServer(HANDLE pipe, PipeServerIdentityFn serverOf = nullptr);
// A receiver adapter of its own, for tests of the virtual receiver's pipe check.
std::unique_ptr<ReceiverDevice> MakeWin32ReceiverDevice(PipeServerIdentityFn serverOf);

// The first thing the program does: DLLs loaded by name come from System32 alone, never
// from the current folder or PATH (where the system allows; otherwise the current folder
// at least is left out).
void LimitDllSearchToSystem32();
// A DLL of the system by its file name, loaded from System32 whatever the search order;
// null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A Platform with every real adapter.
Platform Win32Platform();
