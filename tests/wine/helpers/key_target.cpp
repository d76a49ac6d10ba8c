// A window that stands for a program in front, for the end-to-end scripts that need it
// to be a program of a given name: copied to "vlc.exe", it is row 80's program.
// Command line: "<log file> <title>". It comes to the front and writes one line per key
// it receives, "key 0x50 ctrl" (the virtual key, then the modifiers held), and per
// command or app command, "command 40045" / "appcommand 14". The scripts end it with the
// window close message; it ends by itself after ten minutes, so no run leaves it behind.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

FILE* g_log = nullptr;

void LogKey(WPARAM key) {
    std::string held;
    if (GetKeyState(VK_CONTROL) < 0) held += " ctrl";
    if (GetKeyState(VK_MENU) < 0) held += " alt";
    if (GetKeyState(VK_SHIFT) < 0) held += " shift";
    std::fprintf(g_log, "key 0x%02X%s\n", static_cast<unsigned>(key), held.c_str());
    std::fflush(g_log);
}

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wp != VK_CONTROL && wp != VK_MENU && wp != VK_SHIFT) LogKey(wp);
            return 0;
        case WM_COMMAND:
            std::fprintf(g_log, "command %u\n", static_cast<unsigned>(LOWORD(wp)));
            std::fflush(g_log);
            return 0;
        case WM_APPCOMMAND:
            std::fprintf(g_log, "appcommand %d\n", GET_APPCOMMAND_LPARAM(lp));
            std::fflush(g_log);
            return TRUE;
        case WM_TIMER: DestroyWindow(h); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(h, m, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::string args(commandLine != nullptr ? commandLine : "");
    const size_t blank = args.find(' ');
    const std::string path = args.substr(0, blank);
    const std::string title = blank == std::string::npos ? "Key target" : args.substr(blank + 1);
    if (path.empty()) return 2;
    g_log = std::fopen(path.c_str(), "a");
    if (g_log == nullptr) return 1;

    WNDCLASSA wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrbiscopeKeyTarget";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             120, 120, 400, 300, nullptr, nullptr, instance, nullptr);
    if (w == nullptr) return 1;
    SetForegroundWindow(w);
    SetFocus(w);
    SetTimer(w, 1, 10 * 60 * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::fclose(g_log);
    return 0;
}
