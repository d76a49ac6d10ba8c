#include "ui/win32/osd_window.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr UINT kOsdWakeMessage = WM_APP + 0x4F;
constexpr UINT_PTR kHideTimer = 1;
// Not in the Windows 7 headers the build uses; both functions are looked up at run
// time, since Windows 7 has neither.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kEffectiveDpi = 0;

// The wake the display calls on the reader thread is a plain function without a context,
// so the window it posts to is the one thing kept here; the rest lives in its OsdWindow.
std::atomic<HWND> g_wakeTarget{nullptr};

using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name, bool load) {
    HMODULE m = load ? LoadSystemLibrary(module) : GetModuleHandleW(module);
    if (m == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

// The panel measures and places itself in the monitor's own pixels, whatever DPI mode
// the rest of the program runs in, so its text is drawn sharp rather than stretched.
class PerMonitorScope {
public:
    PerMonitorScope() {
        static const auto set = Lookup<SetThreadDpiAwarenessContextFn>(
            L"user32.dll", "SetThreadDpiAwarenessContext", false);
        set_ = set;
        if (set_ != nullptr) old_ = set_(kPerMonitorAwareV2);
    }
    ~PerMonitorScope() {
        if (set_ != nullptr && old_ != nullptr) set_(old_);
    }
    PerMonitorScope(const PerMonitorScope&) = delete;
    PerMonitorScope& operator=(const PerMonitorScope&) = delete;

private:
    SetThreadDpiAwarenessContextFn set_ = nullptr;
    HANDLE old_ = nullptr;
};

UINT MonitorDpi(HMONITOR monitor) {
    static const auto get = Lookup<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor", true);
    UINT x = 0, y = 0;
    if (get != nullptr && monitor != nullptr && SUCCEEDED(get(monitor, kEffectiveDpi, &x, &y)) &&
        y > 0)
        return y;
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

bool SystemHighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof(hc);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

struct Colours {
    COLORREF back, text, track, bar, border;
};

Colours PanelColours(bool highContrast) {
    if (highContrast) {
        return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW),
                GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOWTEXT)};
    }
    return {RGB(24, 24, 24), RGB(255, 255, 255), RGB(80, 80, 80), RGB(0, 120, 215),
            RGB(24, 24, 24)};
}

int Scale(int px, UINT dpi) { return MulDiv(px, static_cast<int>(dpi), 96); }

void Wake() {
    if (HWND w = g_wakeTarget.load()) PostMessageW(w, kOsdWakeMessage, 0, 0);
}

// Forgets the window as the wake's target, unless another panel took its place.
void ForgetWakeTarget(HWND w) {
    HWND expected = w;
    g_wakeTarget.compare_exchange_strong(expected, nullptr);
}

}  // namespace

OsdWindow::~OsdWindow() {
    if (hwnd_ != nullptr || owner_ != nullptr) Stop();
    ReleaseFont();
}

bool OsdWindow::Start(HINSTANCE instance) {
    if (hwnd_ != nullptr) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &OsdWindow::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kOsdWindowClass;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    if (owner_ == nullptr || !IsWindow(owner_)) {
        owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, instance, nullptr);
        if (owner_ == nullptr) return false;
    }
    {
        const PerMonitorScope scope;
        // hwnd_ is set by the window's first message.
        (void)CreateWindowExW(
            WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED,
            kOsdWindowClass, L"", WS_POPUP, 0, 0, 0, 0, owner_, nullptr, instance, this);
    }
    if (hwnd_ == nullptr) return false;
    g_wakeTarget = hwnd_;
    SetOsdWake(&Wake);
    return true;
}

void OsdWindow::Stop() {
    SetOnScreenDisplay(false);
    SetOsdWake(nullptr);
    if (HWND w = hwnd_) {
        ForgetWakeTarget(w);
        DestroyWindow(w);
    }
    if (owner_ != nullptr) DestroyWindow(owner_);
    owner_ = nullptr;
    ReleaseFont();
}

void OsdWindow::SetHighContrastQuery(bool (*query)()) { highContrast_ = query; }

bool OsdWindow::HighContrast() const {
    return highContrast_ != nullptr ? highContrast_() : SystemHighContrast();
}

void OsdWindow::ReleaseFont() {
    if (font_ != nullptr) DeleteObject(font_);
    font_ = nullptr;
    fontDpi_ = 0;
}

LRESULT CALLBACK OsdWindow::Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
        auto* self = static_cast<OsdWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = w;
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<OsdWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(w, m, wp, lp);
    if (m == WM_NCDESTROY) {
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        ForgetWakeTarget(w);
        self->hwnd_ = nullptr;
        return DefWindowProcW(w, m, wp, lp);
    }
    return self->Handle(m, wp, lp);
}

LRESULT OsdWindow::Handle(UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case kOsdWakeMessage:
            if (std::optional<OsdPanel> panel = TakeOsdPanel()) Show(*panel);
            return 0;
        case WM_TIMER:
            if (wp == kHideTimer) {
                KillTimer(hwnd_, kHideTimer);
                ShowWindow(hwnd_, SW_HIDE);
            }
            return 0;
        case WM_NCHITTEST: return HTTRANSPARENT;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: Paint(); return 0;
        default: return DefWindowProcW(hwnd_, m, wp, lp);
    }
}

HFONT OsdWindow::FontFor(UINT dpi) {
    if (font_ != nullptr && fontDpi_ == dpi) return font_;
    if (font_ != nullptr) DeleteObject(font_);
    // Large enough to read across a room: 40 pixels at 96 DPI.
    font_ = CreateFontW(-Scale(40, dpi), 0, 0, 0, FW_SEMIBOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
    fontDpi_ = dpi;
    return font_;
}

OsdWindow::Layout OsdWindow::Measure(const std::wstring& text, bool withBar, UINT dpi) {
    Layout l;
    l.dpi = dpi;
    l.pad = Scale(20, dpi);
    l.gap = withBar ? Scale(12, dpi) : 0;
    l.barHeight = withBar ? Scale(14, dpi) : 0;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontFor(dpi));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int width = std::max<int>(r.right - r.left, withBar ? Scale(320, dpi) : Scale(160, dpi));
    l.size.cx = width + 2 * l.pad;
    l.size.cy = (r.bottom - r.top) + l.gap + l.barHeight + 2 * l.pad;
    l.text = RECT{l.pad, l.pad, l.pad + width, l.pad + (r.bottom - r.top)};
    l.bar = RECT{l.pad, l.text.bottom + l.gap, l.pad + width, l.text.bottom + l.gap + l.barHeight};
    return l;
}

void OsdWindow::Paint() {
    HWND w = hwnd_;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT client{};
    GetClientRect(w, &client);
    // Drawn off screen first: a held button redraws the panel several times a second.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
    const bool hc = HighContrast();
    const Colours c = PanelColours(hc);
    auto fill = [&](const RECT& r, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(mem, &r, brush);
        DeleteObject(brush);
    };
    fill(client, c.back);
    if (hc) {
        // High contrast: a frame in the text colour marks the panel's edge.
        const int t = std::max(2, Scale(2, layout_.dpi));
        HBRUSH brush = CreateSolidBrush(c.border);
        for (int i = 0; i < t; ++i) {
            RECT r{i, i, client.right - i, client.bottom - i};
            FrameRect(mem, &r, brush);
        }
        DeleteObject(brush);
    }
    const std::wstring text = Widen(panel_.text);
    HGDIOBJ oldFont = SelectObject(mem, FontFor(layout_.dpi));
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, c.text);
    RECT textRect = layout_.text;
    DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER);
    SelectObject(mem, oldFont);
    if (panel_.level >= 0) {
        RECT bar = layout_.bar;
        fill(bar, c.track);
        if (hc) {
            HBRUSH brush = CreateSolidBrush(c.text);
            FrameRect(mem, &bar, brush);
            DeleteObject(brush);
        }
        RECT done = bar;
        done.right = bar.left + MulDiv(bar.right - bar.left, std::clamp(panel_.level, 0, 100), 100);
        fill(done, c.bar);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(mem);
    EndPaint(w, &ps);
}

void OsdWindow::Show(const OsdPanel& panel) {
    HWND w = hwnd_;
    if (w == nullptr) return;
    const PerMonitorScope scope;
    panel_ = panel;
    const std::wstring text = Widen(panel.text);
    SetWindowTextW(w, text.c_str());
    // The monitor of the window in front, which is where the person is looking.
    HWND front = GetForegroundWindow();
    HMONITOR monitor = MonitorFromWindow(front != nullptr ? front : w, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(monitor, &info)) area = info.rcMonitor;
    layout_ = Measure(text, panel.level >= 0, MonitorDpi(monitor));
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    const int x = area.left + (areaWidth - layout_.size.cx) / 2;
    // Low in the picture, over a full-screen player's own controls rather than its middle.
    const int y = area.bottom - layout_.size.cy - areaHeight / 8;
    const bool hc = HighContrast();
    SetLayeredWindowAttributes(w, 0, hc ? 255 : 230, LWA_ALPHA);
    SetWindowPos(w, HWND_TOPMOST, x, y, layout_.size.cx, layout_.size.cy,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
    if (!IsWindowVisible(w)) ShowWindow(w, SW_SHOWNOACTIVATE);
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    // A repeat restarts the same timer: the panel stays while the button is held.
    SetTimer(w, kHideTimer, kOsdShowMs, nullptr);
}
