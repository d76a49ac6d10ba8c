// The program's icons and pictures as Windows loads them: every icon's frames, the two
// tray states apart in shape, and the sizes that follow the DPI. The DPI tests run once
// at the prefix's DPI and once more, in a child process, at 144 DPI.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <set>
#include <string>

#include "../../resources/resource.h"
#include "state/settings.h"
#include "ui/document.h"
#include "ui/win32/settings_window.h"
#include "wine_support.h"

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconDir {
    WORD reserved, type, count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

const void* Resource(LPCSTR type, int id, DWORD* size = nullptr) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return nullptr;
    if (size != nullptr) *size = SizeofResource(nullptr, found);
    return LockResource(LoadResource(nullptr, found));
}

const GroupIconEntry* Frame(int icon, int size) {
    const auto* dir = static_cast<const GroupIconDir*>(Resource(RT_GROUP_ICON, icon));
    for (int i = 0; dir != nullptr && i < dir->count; ++i) {
        if ((dir->entries[i].width == 0 ? 256 : dir->entries[i].width) == size)
            return &dir->entries[i];
    }
    return nullptr;
}

constexpr int kIcons[] = {IDI_APP,         IDI_NOT_AVAILABLE, IDI_AVAILABLE,    IDI_HARDWARE_ERROR,
                          IDI_MACRO_GREEN, IDI_MACRO_RED,     IDI_MACRO_YELLOW, IDI_MACRO_BLUE};
constexpr int kFrames[] = {16, 20, 24, 32, 40, 48, 64, 256};

TEST(Icons, EveryIconCarriesEveryFrameAndEachOneLoads) {
    for (int icon : kIcons) {
        const auto* dir = static_cast<const GroupIconDir*>(Resource(RT_GROUP_ICON, icon));
        ASSERT_NE(dir, nullptr) << icon;
        std::set<int> sizes;
        for (int i = 0; i < dir->count; ++i) {
            const GroupIconEntry& e = dir->entries[i];
            const int size = e.width == 0 ? 256 : e.width;
            sizes.insert(size);
            DWORD bytes = 0;
            const void* data = Resource(RT_ICON, e.id, &bytes);
            ASSERT_NE(data, nullptr) << icon << " " << size;
            HICON frame =
                CreateIconFromResourceEx(static_cast<PBYTE>(const_cast<void*>(data)), bytes, TRUE,
                                         0x00030000, size, size, LR_DEFAULTCOLOR);
            EXPECT_NE(frame, nullptr) << icon << " " << size;
            ICONINFO info{};
            BITMAP bm{};
            if (frame != nullptr && GetIconInfo(frame, &info)) {
                GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bm),
                           &bm);
                EXPECT_EQ(bm.bmWidth, size) << icon;
                if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
            }
            if (frame != nullptr) DestroyIcon(frame);
        }
        EXPECT_EQ(sizes, std::set<int>(std::begin(kFrames), std::end(kFrames))) << icon;
    }
}

// Covered or not, pixel by pixel, from a frame's 32-bit image (bottom-up BGRA).
std::vector<bool> Coverage(int icon, int size) {
    const GroupIconEntry* e = Frame(icon, size);
    if (e == nullptr) return {};
    const auto* header = static_cast<const BITMAPINFOHEADER*>(Resource(RT_ICON, e->id));
    if (header == nullptr || header->biBitCount != 32) return {};
    const auto* pixels = reinterpret_cast<const BYTE*>(header) + header->biSize;
    std::vector<bool> covered(static_cast<size_t>(size * size));
    for (int i = 0; i < size * size; ++i) covered[i] = pixels[i * 4 + 3] >= 128;
    return covered;
}

TEST(Icons, TheTwoTrayStatesDifferInShapeNotOnlyInColour) {
    for (int size : {16, 20, 24, 32}) {
        const std::vector<bool> available = Coverage(IDI_AVAILABLE, size);
        const std::vector<bool> missing = Coverage(IDI_NOT_AVAILABLE, size);
        ASSERT_EQ(available.size(), static_cast<size_t>(size * size)) << size;
        ASSERT_EQ(missing.size(), available.size()) << size;
        int differing = 0;
        for (size_t i = 0; i < available.size(); ++i) differing += available[i] != missing[i];
        // A recoloured copy would differ in no pixel; these differ in a twentieth or more.
        EXPECT_GE(differing * 20, size * size) << size;
    }
}

// ---- DPI: these run at the prefix's DPI, and again at 144 DPI (below) ----

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

SIZE BitmapSize(HANDLE bitmap) {
    BITMAP bm{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof(bm), &bm) != sizeof(bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

TEST(DpiScaled, TheTestsRunAtTheDpiAsked) {
    const char* asked = std::getenv("ORB_EXPECT_DPI");
    if (asked == nullptr) GTEST_SKIP() << "run at the prefix's DPI";
    EXPECT_EQ(ScreenDpi(), std::atoi(asked));
    // What makes the tray test below able to fail: the small icon is no longer 16.
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), MulDiv(16, ScreenDpi(), 96));
}

TEST(DpiScaled, TrayIconIsLoadedAtTheSmallIconSizeTheSystemReports) {
    for (int icon : {IDI_AVAILABLE, IDI_NOT_AVAILABLE}) {
        HICON picture = LoadNotifyIconPicture(icon);
        ASSERT_NE(picture, nullptr) << icon;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(picture, &info));
        const SIZE size = BitmapSize(info.hbmColor);
        EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXSMICON)) << icon;
        EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYSMICON)) << icon;
        if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(picture);
    }
}

TEST(DpiScaled, PicturesAreDrawnForTheWindowsDpi) {
    const int dpi = ScreenDpi();
    TestWindow frame("frame", "OrbiscopeDpiTestFrame");
    RemoteSettings settings;
    RemoteSettings* saved = CurrentSettings();
    SetCurrentSettings(&settings);
    CDocument doc;
    std::unique_ptr<SettingsView> view = CreateSettingsView(frame.hwnd(), doc);
    ASSERT_NE(view, nullptr);
    // Macros, Advanced, Programs, About.
    HWND about = reinterpret_cast<HWND>(SendMessageA(view->SheetWindow(), PSM_INDEXTOHWND, 3, 0));
    const SIZE aboutPicture = BitmapSize(reinterpret_cast<HANDLE>(
        SendDlgItemMessageA(about, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    view.reset();
    SetCurrentSettings(saved);
    EXPECT_EQ(aboutPicture.cx, MulDiv(96, dpi, 96));
    EXPECT_EQ(aboutPicture.cy, MulDiv(128, dpi, 96));

    HWND wait = CreatePlugInDialog(frame.hwnd());
    ASSERT_NE(wait, nullptr);
    SIZE waitPicture{0, 0};
    for (HWND c = GetWindow(wait, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (HANDLE image =
                reinterpret_cast<HANDLE>(SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0))) {
            waitPicture = BitmapSize(image);
        }
    }
    DestroyWindow(wait);
    EXPECT_EQ(waitPicture.cx, MulDiv(316, dpi, 96));
    EXPECT_EQ(waitPicture.cy, MulDiv(180, dpi, 96));
}

// The DPI of a Wine prefix is HKCU\Control Panel\Desktop LogPixels, read by each process
// as it starts: the DPI tests run again in a child process with 144 there.
TEST(DpiAt144, TheDpiTestsPassInAProcessStartedAt144Dpi) {
    constexpr const char* kDesktop = "Control Panel\\Desktop";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD before = 0, type = 0, bytes = sizeof(before);
    const bool had = RegQueryValueExA(key, "LogPixels", nullptr, &type,
                                      reinterpret_cast<BYTE*>(&before), &bytes) == ERROR_SUCCESS;
    const DWORD dpi = 144;
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof(dpi));

    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe + "\" --gtest_filter=DpiScaled.*";
    SetEnvironmentVariableA("ORB_EXPECT_DPI", "144");
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &si, &pi) != FALSE;
    SetEnvironmentVariableA("ORB_EXPECT_DPI", nullptr);
    DWORD code = 1;
    if (started) {
        if (WaitForSingleObject(pi.hProcess, 180000) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (had) {
        RegSetValueExA(key, "LogPixels", 0, type, reinterpret_cast<const BYTE*>(&before), bytes);
    } else {
        RegDeleteValueA(key, "LogPixels");
    }
    RegCloseKey(key);
    ASSERT_TRUE(started);
    EXPECT_EQ(code, 0u);
}

}  // namespace
