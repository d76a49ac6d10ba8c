// Where the program's DLLs come from: System32, never a folder another account can
// write, such as the current folder the autostart or a shortcut hands down.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/win32/adapters.h"
#include "wine_support.h"

namespace {

std::wstring ModuleFolder(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path, n);
    const size_t slash = folder.rfind(L'\\');
    folder.resize(slash == std::wstring::npos ? 0 : slash);
    CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    return folder;
}

TEST(DllSearch, SystemLibrariesComeFromSystem32AndNeverTheCurrentFolder) {
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(n, 0u);
    std::wstring systemFolder(system, n);
    CharLowerBuffW(systemFolder.data(), static_cast<DWORD>(systemFolder.size()));
    HMODULE shcore = LoadSystemLibrary(L"shcore.dll");
    ASSERT_NE(shcore, nullptr);
    EXPECT_EQ(ModuleFolder(shcore), systemFolder);
    EXPECT_EQ(LoadSystemLibrary(L"..\\shcore.dll"), nullptr);

    // A file planted in the current folder under a DLL's name: found there (and refused as
    // no program) until the search is limited, then not looked for at all.
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string folder =
        std::string(temp) + "orbiscope-dll-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string planted = folder + "\\orbiscope-planted.dll";
    { std::ofstream(planted, std::ios::binary) << "not a program"; }
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    EXPECT_EQ(LoadLibraryW(L"orbiscope-planted.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    LimitDllSearchToSystem32();
    EXPECT_EQ(LoadLibraryW(L"orbiscope-planted.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(LoadLibraryW(L"shcore.dll"), nullptr);  // System32 still answers
    SetCurrentDirectoryA(previous);
    DeleteFileA(planted.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
