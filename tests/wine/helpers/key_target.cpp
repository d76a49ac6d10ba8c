// A window that stands for another program in front, for the end-to-end scripts: copied
// under that program's file name (mpv.exe, chrome.exe) and started with "<log file>
// <title>". It comes to the front and writes one line per key it receives: the modifiers
// held and the virtual key, e.g. "Shift+0x4E". It ends on the window close message, and by
// itself after five minutes so that no run leaves it behind.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

FILE* g_log = nullptr;

bool IsModifier(WPARAM key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN ||
           key == VK_RWIN || (key >= VK_LSHIFT && key <= VK_RMENU);
}

void Log(WPARAM key) {
    std::string line;
    // The state as of this message: what the sender held down around the key.
    if (GetKeyState(VK_CONTROL) < 0) line += "Ctrl+";
    if (GetKeyState(VK_MENU) < 0) line += "Alt+";
    if (GetKeyState(VK_SHIFT) < 0) line += "Shift+";
    char vk[8];
    std::snprintf(vk, sizeof vk, "0x%02X", static_cast<unsigned>(key & 0xFF));
    std::fprintf(g_log, "%s%s\n", line.c_str(), vk);
    std::fflush(g_log);
}

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (!IsModifier(wp)) Log(wp);
            return 0;
        case WM_TIMER:
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(h, m, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const std::string args = commandLine != nullptr ? commandLine : "";
    const size_t space = args.find(' ');
    if (space == std::string::npos) return 2;
    g_log = std::fopen(args.substr(0, space).c_str(), "w");
    if (g_log == nullptr) return 3;

    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrbiscopeKeyTarget";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, args.substr(space + 1).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) return 4;
    SetForegroundWindow(window);
    SetFocus(window);
    SetTimer(window, 1, 5 * 60 * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::fclose(g_log);
    return 0;
}
