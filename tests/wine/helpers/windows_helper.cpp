// A program with one visible window, for the window tests: started (often under a
// catalogued file name) with the window's title as its command line. It ends on
// WM_CLOSE, and by itself after a minute so that no run leaves it behind. A posted
// WM_APP+1 renames the window to "received <wParam>", which the test reads back.
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_APP + 1: {
            const std::string text = "received " + std::to_string(static_cast<unsigned>(wp));
            SetWindowTextA(h, text.c_str());
            return 0;
        }
        case WM_TIMER:
            DestroyWindow(h);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(h, m, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrbiscopeWindowsHelper";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    const char* title = commandLine != nullptr && commandLine[0] != '\0' ? commandLine
                                                                           : "windows helper";
    HWND window = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  200, 150, 320, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, 1, 60000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
