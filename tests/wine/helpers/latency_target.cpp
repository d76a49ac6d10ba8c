// A window that stands for a program in front, for the end-to-end latency benchmark.
// Command line: "<log file> <title>". It comes to the front and writes one line per
// key, command or app-command message it receives: the performance-counter time in
// microseconds and the message number. The benchmark ends it with the window close
// message; it ends by itself after ten minutes, so no run leaves it behind.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

FILE* g_log = nullptr;
LARGE_INTEGER g_frequency;

void Log(UINT message) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const long long us = now.QuadPart * 1000000 / g_frequency.QuadPart;
    std::fprintf(g_log, "%lld %u\n", us, message);
    std::fflush(g_log);
}

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_COMMAND:
        case WM_APPCOMMAND:
            Log(m);
            break;
        case WM_TIMER:
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(h, m, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const std::string args = commandLine != nullptr ? commandLine : "";
    const size_t space = args.find(' ');
    if (space == std::string::npos) return 2;
    g_log = std::fopen(args.substr(0, space).c_str(), "w");
    if (g_log == nullptr) return 3;
    QueryPerformanceFrequency(&g_frequency);

    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrbiscopeLatencyTarget";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, args.substr(space + 1).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) return 4;
    SetForegroundWindow(window);
    SetFocus(window);
    SetTimer(window, 1, 10 * 60 * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::fclose(g_log);
    return 0;
}
