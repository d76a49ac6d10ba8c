// Looks at the running program's on-screen display for the end-to-end scripts. Each
// command prints one line and exits 0 when what it expects holds within MS milliseconds.
//
//   osd_probe front                  the foreground window's class and its focus's class
//   osd_probe shown EXPECT MS        exactly one panel window, visible, holding exactly
//                                    the text EXPECT, with the styles that keep it from
//                                    taking the activation or the mouse, not in front, and
//                                    owned (no shell gives it a taskbar button)
//   osd_probe seen PREFIX MS         a visible panel whose text begins with PREFIX comes up:
//                                    prints its whole text, for a script that learns
//                                    what it must say only afterwards
//   osd_probe hidden MS              no panel is visible
//   osd_probe quiet MS               no panel becomes visible for MS milliseconds
//   osd_probe rect                   the visible panel's screen rectangle: "x y w h"
//   osd_probe taskbar MS             a panel comes up within MS milliseconds, and all the
//                                    while it shows, the taskbar of Wine's virtual desktop
//                                    has no button for it (nor for its owner)
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "poll.h"

namespace {

constexpr const wchar_t* kPanelClass = L"Orbiscope.Display";

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::wstring Text(HWND h) {
    wchar_t buffer[512] = {};
    SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return buffer;
}

std::string ClassOf(HWND h) {
    if (h == nullptr) return "(none)";
    char name[256] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

int PanelCount() {
    int count = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, kPanelClass, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, kPanelClass, nullptr))
        ++count;
    return count;
}

// Wine's taskbar keeps one Button child per top-level window, its control id that
// window's handle, and shows it while the window has a button.
struct TaskbarLook {
    HWND panel;
    HWND owner;
    bool startButton = false;
    bool panelButton = false;
};

BOOL CALLBACK LookAtButton(HWND h, LPARAM lp) {
    auto* look = reinterpret_cast<TaskbarLook*>(lp);
    if (ClassOf(h) != "Button") return TRUE;
    const auto id = reinterpret_cast<HWND>(GetWindowLongPtrW(h, GWLP_ID));
    if (id == nullptr) look->startButton = true;
    if ((id == look->panel || (look->owner != nullptr && id == look->owner)) && IsWindowVisible(h))
        look->panelButton = true;
    return TRUE;
}

int Usage() {
    std::puts(
        "usage: osd_probe front | shown EXPECT MS | seen PREFIX MS | hidden MS | quiet MS | rect |"
        " taskbar MS");
    return 2;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) return Usage();
    const std::wstring command = argv[1];

    if (command == L"front") {
        HWND front = GetForegroundWindow();
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        const DWORD thread = GetWindowThreadProcessId(front, nullptr);
        HWND focus = GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
        std::printf("front=%s focus=%s\n", ClassOf(front).c_str(), ClassOf(focus).c_str());
        return 0;
    }
    if (command == L"shown" && argc == 4) {
        const std::wstring expect = argv[2];
        const DWORD ms = static_cast<DWORD>(_wtoi(argv[3]));
        HWND panel = nullptr;
        const bool ok = Within(
            ms,
            [&] {
                panel = FindWindowW(kPanelClass, nullptr);
                return panel != nullptr && IsWindowVisible(panel) && Text(panel) == expect;
            },
            25);
        if (!ok) {
            std::printf("no panel with \"%s\": %s \"%s\"\n", Utf8(expect).c_str(),
                        panel == nullptr         ? "no window"
                        : IsWindowVisible(panel) ? "shows"
                                                 : "hidden, last",
                        panel == nullptr ? "" : Utf8(Text(panel)).c_str());
            return 1;
        }
        const LONG_PTR ex = GetWindowLongPtrW(panel, GWL_EXSTYLE);
        const LONG_PTR wanted =
            WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED;
        if ((ex & wanted) != wanted) {
            std::printf("panel styles 0x%llX lack 0x%llX\n", static_cast<unsigned long long>(ex),
                        static_cast<unsigned long long>(wanted & ~ex));
            return 1;
        }
        if (GetForegroundWindow() == panel) {
            std::puts("the panel is the foreground window");
            return 1;
        }
        // Windows gives a taskbar button to an unowned window that is no tool window, or
        // to one that asks for it; Wine's taskbar to every visible unowned window.
        if (GetWindow(panel, GW_OWNER) == nullptr || (ex & WS_EX_APPWINDOW) != 0) {
            std::puts("the panel would have a taskbar button: it has no owner");
            return 1;
        }
        if (const int n = PanelCount(); n != 1) {
            std::printf("%d panel windows\n", n);
            return 1;
        }
        std::printf("shown \"%s\"\n", Utf8(expect).c_str());
        return 0;
    }
    if (command == L"seen" && argc == 4) {
        const std::wstring prefix = argv[2];
        const DWORD ms = static_cast<DWORD>(_wtoi(argv[3]));
        std::wstring text;
        const bool ok = Within(
            ms,
            [&] {
                HWND panel = FindWindowW(kPanelClass, nullptr);
                if (panel == nullptr || !IsWindowVisible(panel)) return false;
                text = Text(panel);
                return text.compare(0, prefix.size(), prefix) == 0;
            },
            10);
        if (!ok) {
            std::printf("no panel beginning \"%s\"\n", Utf8(prefix).c_str());
            return 1;
        }
        std::printf("seen \"%s\"\n", Utf8(text).c_str());
        return 0;
    }
    if (command == L"hidden" && argc == 3) {
        const DWORD ms = static_cast<DWORD>(_wtoi(argv[2]));
        const bool ok = Within(
            ms,
            [] {
                HWND panel = FindWindowW(kPanelClass, nullptr);
                return panel == nullptr || !IsWindowVisible(panel);
            },
            25);
        std::puts(ok ? "hidden" : "still shown");
        return ok ? 0 : 1;
    }
    if (command == L"quiet" && argc == 3) {
        const DWORD ms = static_cast<DWORD>(_wtoi(argv[2]));
        const bool shown = Within(
            ms,
            [] {
                HWND panel = FindWindowW(kPanelClass, nullptr);
                return panel != nullptr && IsWindowVisible(panel);
            },
            25);
        std::puts(shown ? "a panel showed" : "quiet");
        return shown ? 1 : 0;
    }
    if (command == L"taskbar" && argc == 3) {
        const DWORD ms = static_cast<DWORD>(_wtoi(argv[2]));
        HWND panel = nullptr;
        if (!Within(
                ms,
                [&] {
                    panel = FindWindowW(kPanelClass, nullptr);
                    return panel != nullptr && IsWindowVisible(panel);
                },
                25)) {
            std::puts("no panel came up");
            return 1;
        }
        TaskbarLook look{panel, GetWindow(panel, GW_OWNER)};
        // The taskbar catches up with the windows as it hears of them: look for as long as
        // the panel shows.
        while (IsWindowVisible(panel) && !look.panelButton) {
            HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
            if (tray != nullptr)
                EnumChildWindows(tray, &LookAtButton, reinterpret_cast<LPARAM>(&look));
            Sleep(25);
        }
        if (!look.startButton) {
            std::puts("no taskbar: run this in a Wine virtual desktop");
            return 1;
        }
        std::puts(look.panelButton ? "the panel has a taskbar button"
                                   : "no taskbar button for the panel");
        return look.panelButton ? 1 : 0;
    }
    if (command == L"rect") {
        HWND panel = FindWindowW(kPanelClass, nullptr);
        RECT r{};
        if (panel == nullptr || !IsWindowVisible(panel) || !GetWindowRect(panel, &r)) return 1;
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    return Usage();
}
