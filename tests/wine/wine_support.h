// Helpers for the tests that run under Wine against the real Win32 API.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/win32/adapters.h"

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A visible top-level window owned by the test, recording what it receives.
class TestWindow {
public:
    explicit TestWindow(const char* title = "Orbiscope test window",
                        const char* className = "OrbiscopeTestWindow", int x = 100, int y = 100,
                        int w = 300, int h = 200);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(hwnd_); }
    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> Received(UINT message) const;
    // Called with every message before the default processing.
    std::function<void(UINT)> onMessage;
    // Brings the window to the front and waits until the system says it is.
    bool MakeForeground();

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// Real key input: presses the keys in order and releases them in reverse, in one SendInput.
void PressKeys(const std::vector<WORD>& keys);

// Pumps this thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);

// Pumps until pred() holds or ms pass; returns pred().
template <typename Pred>
bool PumpUntil(Pred pred, DWORD ms = 3000) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return pred();
        PumpMessages(20);
    }
    return true;
}

// The real adapters installed as the process's ports for one test.
Platform RealPlatform();

// The directory of the running test program.
std::string TestProgramDirectory();
