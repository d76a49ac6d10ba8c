#include "platform/win32/adapters.h"
#include "platform/win32/system_dlls.h"

#include <cwchar>
#include <string>

Platform Win32Platform() {
    Platform p;
    p.clock = &Win32Clock();
    p.input = &Win32Input();
    p.desktop = &Win32Desktop();
    p.processes = &Win32ProcessList();
    p.power = &Win32Power();
    p.registry = &Win32Registry();
    p.shell = &Win32Shell();
    p.network = &Win32Network();
    p.ui = &Win32UserInterface();
    p.notifyIcon = &Win32NotifyIcon();
    p.receiver = &Win32ReceiverDevice();
    p.mixer = &Win32Mixer();
    p.endpoint = &Win32EndpointVolume();
    p.files = &Win32Files();
    p.folders = &Win32FolderFiles();
    return p;
}

void LimitDllSearchToSystem32() { LoadDllsOnlyFromSystem32(); }

HMODULE LoadSystemLibrary(const wchar_t* name) { return LoadSystemDll(name); }
