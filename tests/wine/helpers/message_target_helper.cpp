// A player-like main window of class "Winamp v1.x" in a process of its own, for the
// message handler tests. Command line: "<mode> <ready event name>".
//   answer: the first WM_COMMAND ends the program with its wParam as exit code.
//   hang:   the window exists but its thread never reads another message.
// The ready event is set once the window exists. Either way the program ends by
// itself after a minute, so no run leaves it behind.
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_COMMAND:
            PostQuitMessage(static_cast<int>(LOWORD(wp)) | (static_cast<int>(HIWORD(wp)) << 16));
            return 0;
        case WM_TIMER:
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
    const std::string mode = args.substr(0, space);
    const std::string eventName = args.substr(space + 1);

    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "Winamp v1.x";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Message target", WS_OVERLAPPEDWINDOW, 50,
                                  50, 275, 116, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetTimer(window, 1, 60000, nullptr);

    if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName.c_str())) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    if (mode == "hang") {
        Sleep(60000);
        return 0;
    }
    MSG msg;
    int code = 0;
    while (true) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            code = static_cast<int>(msg.wParam);
            break;
        }
        if (got < 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return code;
}
