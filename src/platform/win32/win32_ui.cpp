#include <windows.h>

#include <atomic>

#include "platform/win32/adapters.h"

namespace {

// The warning is a dialog (or, without the program's own, a message box) of that thread:
// closed as if cancelled. Other windows of the thread are left alone.
BOOL CALLBACK CloseDialogWindow(HWND hwnd, LPARAM) {
    char className[16] = {};
    if (GetClassNameA(hwnd, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

HWND Hwnd(WindowHandle w) { return reinterpret_cast<HWND>(w); }

class Win32UserInterfaceImpl : public UserInterface {
public:
    int32_t ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           uint32_t flags) override {
        return MessageBoxA(Hwnd(owner), text.c_str(), caption.c_str(), flags);
    }

    UnsupportedAnswer ShowUnsupportedDialog(const std::string& message) override {
        struct Showing {
            explicit Showing(std::atomic<DWORD>& thread) : thread_(thread) {
                thread_ = GetCurrentThreadId();
            }
            ~Showing() { thread_ = 0; }
            std::atomic<DWORD>& thread_;
        } showing(warningThread_);
        if (UnsupportedDialogFn show = dialog_.load()) return show(message);
        // Without the program's dialog (a tool, a test) the warning still reaches the user,
        // and nobody ticked "do not show again".
        UnsupportedAnswer answer;
        answer.closedWithOk =
            MessageBoxA(nullptr, message.c_str(), "Orbiscope Warning",
                        MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL | MB_SETFOREGROUND) == IDOK;
        return answer;
    }

    void CloseUnsupportedDialog() override {
        if (const DWORD thread = warningThread_.load())
            EnumThreadWindows(thread, &CloseDialogWindow, 0);
    }

    bool SetTimer(WindowHandle w, uintptr_t id, uint32_t ms) override {
        return ::SetTimer(Hwnd(w), id, ms, nullptr) != 0;
    }

    bool KillTimer(WindowHandle w, uintptr_t id) override {
        return ::KillTimer(Hwnd(w), id) != FALSE;
    }

    void WaitServingSentMessages(uint32_t ms) override {
        const DWORD start = GetTickCount();
        for (;;) {
            // Peeking answers every message sent to this thread; posted ones stay queued.
            MSG msg;
            (void)PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= ms) return;
            (void)MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_SENDMESSAGE);
        }
    }

    void SetDialog(UnsupportedDialogFn show) { dialog_.store(show); }

private:
    // Installed on the main thread, called on the reader thread.
    std::atomic<UnsupportedDialogFn> dialog_{nullptr};
    // The thread showing the warning (the reader's), 0 while none is shown; the main
    // thread reads it to close the warning.
    std::atomic<DWORD> warningThread_{0};
};

Win32UserInterfaceImpl& Adapter() {
    static Win32UserInterfaceImpl ui;
    return ui;
}

}  // namespace

void SetUnsupportedDialog(UnsupportedDialogFn show) { Adapter().SetDialog(show); }

UserInterface& Win32UserInterface() { return Adapter(); }
