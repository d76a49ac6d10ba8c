#include "platform/win32/adapters.h"

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

void LimitDllSearchToSystem32() {
    // Windows 7 has the call only with its loader update (KB2533623): looked up, not
    // imported, so the program still starts without it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr && set(kSearchSystem32)) return;
    // Without it, at least the current folder (a download folder, a share) leaves the search.
    SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (name == nullptr || wcschr(name, L'\\') != nullptr || wcschr(name, L'/') != nullptr)
        return nullptr;
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::wstring path(folder, n);
    path += L'\\';
    path += name;
    return LoadLibraryW(path.c_str());
}
