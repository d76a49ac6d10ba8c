#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "registry_keys.h"
#include "wine_support.h"

namespace {

// A folder name in Greek and Japanese, as the core holds it (UTF-8) and as the system does.
const std::string kName =
    "\xce\x9f\xcf\x81\xce\xbc\xcf\x80\xce\xb9\xcf\x83\xce\xba\xcf\x8c\xcf\x80\xce\xb9\xce\xbf "
    "\xe3\x83\xaa\xe3\x83\xa2\xe3\x82\xb3\xe3\x83\xb3";
const std::wstring kWideName =
    L"\u039f\u03c1\u03bc\u03c0\u03b9\u03c3\u03ba\u03cc\u03c0\u03b9\u03bf \u30ea\u30e2\u30b3\u30f3";
const char* const kKey = "Software\\OrbiScope Paths Test";

std::string TempFolder() {
    wchar_t buffer[MAX_PATH] = {};
    std::wstring path(buffer, GetTempPathW(MAX_PATH, buffer));
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return Narrow(path);
}

std::vector<uint8_t> Sz(const std::string& text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

TEST(PathsAdapter, RegistryTextKeepsEveryScriptAndAnsiValuesReadAsMeant) {
    RegistryKeyGuard guard{HKEY_CURRENT_USER, kKey};
    auto key = Win32Registry().Open(Hive::CurrentUser, kKey, kKeyRead | kKeyWrite, true);
    ASSERT_NE(key, nullptr);
    const std::string text = "C:\\" + kName + "\\Docs\\Kestrune.chm";
    ASSERT_TRUE(key->Set("Favorite2", kRegSz, Sz(text)));

    // The system holds the letters, not the bytes of their UTF-8 form.
    wchar_t stored[256] = {};
    DWORD size = sizeof(stored), type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Widen(kKey).c_str(), L"Favorite2", RRF_RT_REG_SZ,
                           &type, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), L"C:\\" + kWideName + L"\\Docs\\Kestrune.chm");
    uint32_t got = 0;
    std::vector<uint8_t> back;
    ASSERT_EQ(key->QueryAll("Favorite2", got, back), RegStatus::Ok);
    EXPECT_EQ(back, Sz(text));
    // The 1000-byte limit of LastInstallDir counts the bytes handed out.
    EXPECT_EQ(key->Query("Favorite2", back.size() - 1, got, back), RegStatus::MoreData);

    // A value an earlier, ANSI program wrote reads with the letters it meant.
    char ansi[16] = {};
    BOOL lossy = FALSE;
    const int n =
        WideCharToMultiByte(CP_ACP, 0, L"M\u00fcsik", -1, ansi, sizeof(ansi), nullptr, &lossy);
    if (n > 0 && !lossy) {
        SetRawValue(HKEY_CURRENT_USER, kKey, "Earlier", REG_SZ, std::vector<BYTE>(ansi, ansi + n));
        ASSERT_EQ(key->QueryAll("Earlier", got, back), RegStatus::Ok);
        EXPECT_EQ(back, Sz("M\xc3\xbcsik"));
    }
}

TEST(PathsAdapter, LogFilesLiveBelowAFolderInAnyScript) {
    LocalFiles& files = Win32Files();
    EXPECT_FALSE(files.LocalAppDataFolder().empty());
    const std::string top = TempFolder() + "\\" + kName;
    const std::string folder = top + "\\Remote";
    ASSERT_TRUE(files.MakeFolders(folder));
    const std::string log = folder + "\\trace.log", old = folder + "\\trace.old.log";
    {
        std::unique_ptr<LocalFiles::AppendFile> file;
        ASSERT_EQ(files.OpenAppend(log, file), LocalFiles::OpenStatus::Opened);
        ASSERT_TRUE(file->Write("line\r\n"));
        EXPECT_EQ(file->Size(), 6);
        ASSERT_TRUE(files.Replace(log, old));  // renamed under the open handle
        EXPECT_EQ(file->Size(), 6);
    }
    EXPECT_EQ(GetFileAttributesW(Widen(log).c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring wideOld =
        Widen(TempFolder()) + L"\\" + kWideName + L"\\Remote\\trace.old.log";
    EXPECT_NE(GetFileAttributesW(wideOld.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(Widen(old).c_str());
    RemoveDirectoryW(Widen(folder).c_str());
    RemoveDirectoryW(Widen(top).c_str());
}

TEST(PathsAdapter, ShellStartsAProgramBelowAFolderInAnyScript) {
    const std::string folder = TempFolder() + "\\" + kName;
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    const std::string target = folder + "\\shell_target.exe";
    ASSERT_TRUE(CopyFileW(Widen(TestProgramDirectory() + "\\shell_target.exe").c_str(),
                          Widen(target).c_str(), FALSE));
    const std::string marker = TestProgramDirectory() + "\\paths_target_ran.txt";
    DeleteFileA(marker.c_str());
    EXPECT_GT(Win32Shell().Execute(0, "open", target, marker + " /x", "", SW_SHOWNORMAL), 32);
    EXPECT_TRUE(PumpUntil(
        [&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000));
    DeleteFileA(marker.c_str());
    PumpUntil([&] { return DeleteFileW(Widen(target).c_str()) != FALSE; }, 5000);
    RemoveDirectoryW(Widen(folder).c_str());
}

}  // namespace

// A window's class and title as the catalogue matches them (the ANSI calls), and as the
// trace writes them (UTF-8).
TEST(PathsAdapter, WindowTextReadForMatchingIsAnsiAndTracedAsUtf8) {
    char ansi[32] = {};
    BOOL lossy = FALSE;
    const int n =
        WideCharToMultiByte(CP_ACP, 0, L"\u00c9tude", -1, ansi, sizeof(ansi), nullptr, &lossy);
    if (n <= 0 || lossy) GTEST_SKIP() << "the ANSI code page has no \u00c9";
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = ansi;
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND window = CreateWindowA(ansi, ansi, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    Desktop& desktop = Win32Desktop();
    const auto handle = reinterpret_cast<WindowHandle>(window);
    const std::string className = desktop.ClassName(handle, 256);
    std::string title;
    ASSERT_TRUE(desktop.WindowText(handle, 0, title));
    EXPECT_EQ(className, std::string(ansi));
    EXPECT_EQ(title, std::string(ansi));
    EXPECT_EQ(desktop.AnsiToUtf8(className), "\xc3\x89tude");
    EXPECT_EQ(desktop.AnsiToUtf8(title), "\xc3\x89tude");
    DestroyWindow(window);
    UnregisterClassA(ansi, wc.hInstance);
}
