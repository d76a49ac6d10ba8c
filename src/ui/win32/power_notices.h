// What the main window needs beyond WM_POWERBROADCAST to hear of every sleep: the
// suspend/resume registration of Windows 8 and later, and the console display state,
// which is all that a computer in modern standby announces.
#pragma once

#include <windows.h>

class PowerNotices {
public:
    PowerNotices() = default;
    PowerNotices(const PowerNotices&) = delete;
    PowerNotices& operator=(const PowerNotices&) = delete;
    ~PowerNotices() { Unregister(); }

    // Both registrations for the window; either may be missing (Windows 7 has neither
    // RegisterSuspendResumeNotification nor the display-state setting), the window
    // still gets the plain broadcasts.
    void Register(HWND window);
    void Unregister();
    bool SuspendResumeRegistered() const { return suspendResume_ != nullptr; }
    bool DisplayStateRegistered() const { return displayState_ != nullptr; }

    // Whether the computer sleeps with its display (modern standby): asked once.
    static bool SleepsWithDisplay();

private:
    HPOWERNOTIFY suspendResume_ = nullptr;
    HPOWERNOTIFY displayState_ = nullptr;
};

// The GUID of the console display state.
extern const GUID kConsoleDisplayStateSetting;

// The console display state carried by a PBT_POWERSETTINGCHANGE broadcast's lParam:
// false when it is about another setting. on: the display is on or dimmed.
bool ConsoleDisplayState(LPARAM lParam, bool& on);
