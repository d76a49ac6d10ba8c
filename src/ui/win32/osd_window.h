// The on-screen display's panel: a topmost, click-through tool window that never takes
// the activation, shown on the monitor of the window in front and sized for that
// monitor's DPI, hidden again after a moment. An owned window, so no shell gives it a
// taskbar button or an Alt+Tab entry. It lives on the user-interface thread; the reader
// thread only posts to it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/osd.h"

// The panel's window class; its window text is the panel's text.
constexpr const wchar_t* kOsdWindowClass = L"Orbiscope.Display";
// How long a panel stays after the last press it showed.
constexpr UINT kOsdShowMs = 1500;

// The panel window and what it draws. Its owner (the application) keeps it for the
// process's life; the window finds it through its own window data. All of it is used on
// the user-interface thread that started it.
class OsdWindow {
public:
    OsdWindow() = default;
    ~OsdWindow();
    OsdWindow(const OsdWindow&) = delete;
    OsdWindow& operator=(const OsdWindow&) = delete;

    // Creates the hidden panel window and lets the display wake it.
    bool Start(HINSTANCE instance);
    // Switches the display off and destroys the window and its owner.
    void Stop();
    // Shows the panel at once (or updates the one showing) and restarts its timer.
    void Show(const OsdPanel& panel);
    HWND hwnd() const { return hwnd_; }
    HWND owner() const { return owner_; }
    // Whether the system's high-contrast colours are on; tests put their own answer in
    // (null restores the system's).
    void SetHighContrastQuery(bool (*query)());

private:
    struct Layout {
        UINT dpi = 96;
        int pad = 0, barHeight = 0, gap = 0;
        RECT text{}, bar{};
        SIZE size{};
    };

    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT m, WPARAM wp, LPARAM lp);
    void Paint();
    bool HighContrast() const;
    HFONT FontFor(UINT dpi);
    Layout Measure(const std::wstring& text, bool withBar, UINT dpi);
    void ReleaseFont();

    HWND hwnd_ = nullptr;
    // Never shown. Not the settings frame: a frame that is minimized hides its owned
    // windows and shows them again when restored, a panel whose time was up included.
    HWND owner_ = nullptr;
    OsdPanel panel_;
    Layout layout_;
    HFONT font_ = nullptr;
    UINT fontDpi_ = 0;
    bool (*highContrast_)() = nullptr;  // null: the system's switch
};
