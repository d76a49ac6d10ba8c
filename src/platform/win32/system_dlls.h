// Where a program of ours loads DLLs from: System32 and nowhere else, so that a DLL
// someone put in the current folder, the program's own folder or a folder of %PATH%
// is never loaded in place of the system's. Header only, so that the programs without
// the core (Docs\intro.exe, setup's setuphelper.exe) use the same two calls.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

// First thing in WinMain. SetDefaultDllDirectories is looked up, not imported: Windows 7
// without KB2533623 lacks it, and there the current folder at least is taken out of the
// search (SetDllDirectoryW with an empty text).
inline void LoadDllsOnlyFromSystem32() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set == nullptr || !set(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

// An optional system DLL (one that older Windows lacks), by its full path in System32:
// never found through the search order, whether or not the call above took effect.
inline HMODULE LoadSystemDll(const wchar_t* name) {
    // A bare file name: a path in it could climb out of System32.
    if (name == nullptr || wcschr(name, L'\\') != nullptr || wcschr(name, L'/') != nullptr)
        return nullptr;
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
