// The notification-area icon, whose state says whether the receiver is available.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/types.h"

enum TrayState : int32_t { TrayHidden = 0, TrayAvailable = 1, TrayNotAvailable = 2 };

constexpr uint32_t kTrayIconId = 1024;
constexpr int32_t kIconAvailable = 170;
constexpr int32_t kIconNotAvailable = 166;
constexpr const char* kTipAvailable = "Orbiscope Remote";
constexpr const char* kTipNotAvailable = "Orbiscope Remote (Not Available)";
constexpr size_t kTipMaxChars = 126;

// The tip as the notification area takes it.
std::string TrayTip(const std::string& text);

class TrayIcon {
public:
    void SetState(int32_t state);
    int32_t State() const { return state_.load(); }
    // Taken only while the icon is hidden.
    void SetWindow(WindowHandle w);
    WindowHandle Window() const { return window_.load(); }
    // Adds the icon again in its current state (the notification area was rebuilt).
    bool Restore();
    // At process end: deletes a shown icon and forgets the window.
    void Reset();
    // A balloon over the shown icon, titled "Orbiscope Remote"; false while hidden.
    bool ShowBalloon(const std::string& text);

    // Records what the user now knows of the receiver; true when that is news for a
    // balloon. The first arrival is the start-up, not news; a change the user was never
    // told of (sleep closes the receiver quietly) makes its undoing no news either.
    bool Announce(bool available);
    void ForgetArrivals() { announced_ = kNothingAnnounced; }
    // After the taskbar comes back, adding the icon again is tried a limited number of
    // times.
    int32_t NextRestoreAttempt() { return ++restoreAttempts_; }
    void ResetRestoreAttempts() { restoreAttempts_ = 0; }

private:
    bool Show(bool add, int32_t state);

    std::atomic<int32_t> state_{TrayHidden};
    std::atomic<WindowHandle> window_{0};
    static constexpr int32_t kNothingAnnounced = -1;
    std::atomic<int32_t> announced_{kNothingAnnounced};
    std::atomic<int32_t> restoreAttempts_{0};
};

TrayIcon& TheTrayIcon();

// The receiver counts as available exactly while the icon says so.
bool ReceiverAvailable();
