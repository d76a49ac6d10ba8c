// Shows one of the program's windows with sample settings for a screenshot:
//   ui_showcase.exe macros|advanced|programs|teach|about|noir|unsupported|pluginwait|tray|
//                   anotherremote READY DONE
// ("tray": both notification-area icons, available and not available, side by side;
// "teach": the Programs page's Teach a Button dialog, waiting for a button).
// Once the window is up and painted, it writes its screen rectangle ("x y w h") to READY;
// it exits when DONE appears (or after two minutes).
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <thread>

#include "../../../resources/resource.h"
#include "platform/win32/adapters.h"
#include "profiles/profile_files.h"
#include "state/settings.h"
#include "ui/document.h"
#include "ui/win32/another_remote_dialog.h"
#include "ui/win32/settings_window.h"

namespace {

std::string g_which, g_ready, g_done;

const char* Caption() {
    if (g_which == "noir") return "Hardware Error";
    if (g_which == "unsupported") return "Orbiscope Warning";
    if (g_which == "anotherremote") return "Another Remote";
    if (g_which == "pluginwait") return nullptr;
    if (g_which == "tray") return nullptr;
    if (g_which == "teach") return "Teach a Button";
    return "Orbiscope Remote Settings";
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Watch(HWND known) {
    HWND w = known;
    for (int i = 0; i < 1200 && (w == nullptr || !IsWindowVisible(w)); ++i) {
        if (Caption() != nullptr) w = FindWindowA(nullptr, Caption());
        Sleep(100);
    }
    if (w == nullptr) ExitProcess(2);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(1500);  // let the window finish painting before the picture is taken
    RECT r{};
    GetWindowRect(w, &r);
    // The taskbar's right end, where the notification area shows the two icons.
    if (g_which == "tray") r.left = r.right - 5 * (r.bottom - r.top);
    if (FILE* f = std::fopen(g_ready.c_str(), "w")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(f);
    }
    for (int i = 0; i < 1200 && !Exists(g_done); ++i) Sleep(100);
    ExitProcess(0);
}

// The settings view the frame passes its focus on to; the frame's procedure has no context.
SettingsView* g_view = nullptr;

LRESULT CALLBACK FrameProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETFOCUS && g_view != nullptr) g_view->Focus();
    return DefWindowProcA(h, m, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) return 1;
    g_which = __argv[1];
    g_ready = __argv[2];
    g_done = __argv[3];

    RemoteSettings settings;
    settings.Macro1 = 0;
    settings.Macro2 = 1;
    settings.Macro3 = 0;
    settings.Macro4 = 4;
    settings.StoreFavorite(1, "C:\\Users\\Public\\Music\\Party mix.m3u");
    settings.StoreFavorite(2, "C:\\Program Files\\Orbiscope\\Docs\\green.htm");
    settings.StoreFavorite(3, "http://www.orbiscope.com/");
    settings.StoreFavorite(4, "C:\\Videos\\Holiday.avi");
    settings.VolumeSensitivity = 60;
    settings.RepeatDelay = 40;
    settings.RepeatRate = 25;
    settings.PowerButtonEnabled = 1;
    settings.PowerButtonMode = 3;
    SetCurrentSettings(&settings);
    CDocument doc;
    // The Programs page with a file of each kind and one that cannot be used.
    (void)InstallProfiles(
        {{"vlc.toml", "[program]\nname = \"VLC\"\nmatch = { process = \"vlc.exe\" }\n"
                      "[buttons]\nPlay = \"Ctrl+P\"\nRecord = { app_command = \"MEDIA_RECORD\" }\n"},
         {"mistyped.toml", "[program]\nname = \"x\"\nmatch = { process = \"x.exe\" }\n"
                           "[buttons]\nPlya = \"Space\"\n"}},
        {{"mpv.toml", "[program]\nname = \"mpv\"\nmatch = { process = \"mpv.exe\" }\n"
                      "[buttons]\nNext = \"Shift+Period\"\n"}});

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    if (g_which == "noir" || g_which == "unsupported" || g_which == "anotherremote") {
        std::thread(Watch, nullptr).detach();
        if (g_which == "anotherremote") {
            ShowAnotherRemoteDialog(nullptr);
        } else if (g_which == "noir") {
            ShowNoIRDialog();
        } else {
            ShowUnsupportedDialogModal(
                "The program window you are currenty trying to control (calc.exe), is not "
                "supported by the Orbiscope drivers you have installed.");
        }
        return 0;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "Orbiscope.Showcase";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, wc.lpszClassName, "Orbiscope Remote Settings",
                                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 20, 20, 400, 300, nullptr,
                                 nullptr, instance, nullptr);
    HWND shown = nullptr;
    HWND plugInWait = nullptr;
    std::unique_ptr<SettingsView> view;
    if (g_which == "tray") {
        for (int id : {IDI_AVAILABLE, IDI_NOT_AVAILABLE}) {
            NOTIFYICONDATAA nid{};
            nid.cbSize = sizeof(nid);
            nid.hWnd = frame;
            nid.uID = static_cast<UINT>(id);
            nid.uFlags = NIF_ICON | NIF_TIP;
            nid.hIcon = LoadNotifyIconPicture(id);
            lstrcpyA(nid.szTip, "Orbiscope Remote");
            Shell_NotifyIconA(NIM_ADD, &nid);
        }
        shown = FindWindowA("Shell_TrayWnd", nullptr);
    } else if (g_which == "pluginwait") {
        shown = plugInWait = CreatePlugInDialog(frame);
    } else {
        view = CreateSettingsView(frame, doc);
        if (view == nullptr) return 3;
        g_view = view.get();
        view->PrepareForShow();
        const int page = g_which == "advanced"   ? 1
                         : g_which == "programs" || g_which == "teach" ? 2
                         : g_which == "about"    ? 3
                                                 : 0;
        SendMessageA(view->SheetWindow(), PSM_SETCURSEL, page, 0);
        ShowWindow(frame, SW_SHOW);
        SetForegroundWindow(frame);
        view->PrepareForShow();
        if (page != 0) SendMessageA(view->SheetWindow(), PSM_SETCURSEL, page, 0);
        if (page == 2) {
            // The user's file for VLC chosen, among the programs that match "vl".
            HWND programs = reinterpret_cast<HWND>(SendMessageA(view->SheetWindow(), PSM_INDEXTOHWND, 2, 0));
            SetDlgItemTextA(programs, IDC_PROGRAMS_SEARCH, "vl");
            if (g_which == "teach") {
                PostMessageA(programs, WM_COMMAND, MAKEWPARAM(IDC_PROGRAMS_TEACH, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(programs, IDC_PROGRAMS_TEACH)));
            }
        }
        shown = g_which == "teach" ? nullptr : frame;
    }
    std::thread(Watch, shown).detach();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsSettingsDialogMessage(&msg, plugInWait, view.get())) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
