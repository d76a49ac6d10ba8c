// The introduction to Orbiscope Remote (Docs\intro.exe): a few pages that show the
// remote and its groups of buttons, the tray icon and its menu, mouse mode, the macro
// buttons and where the help is. The program starts it after an installation, once
// the receiver is found; the Start menu has it too.
//
// Next, Back and Close, or the keyboard: Right and Left arrows (also Page Down and
// Page Up) turn the pages, Enter goes on (and closes on the last page), Esc closes.
// A second start brings the first copy forward. Drawn with plain GDI, scaled to the
// display's DPI; it touches neither the network nor the registry.
#include <windows.h>

#include <string>
#include <vector>

#include "intro_res.h"
#include "platform/win32/system_dlls.h"

namespace {

constexpr wchar_t kClass[] = L"Orbiscope.Introduction";
constexpr wchar_t kTitle[] = L"Introduction to Orbiscope Remote";
constexpr wchar_t kMutex[] = L"Local\\Orbiscope.Introduction";

constexpr int kIdBack = 101, kIdNext = 102, kIdClose = 103;
// The client area at 96 DPI.
constexpr int kWidth = 640, kHeight = 440, kButtonBar = 52;

struct Page {
    const wchar_t* heading;
    const wchar_t* text;
    void (*art)(HDC, const RECT&, int dpi);
};

int g_dpi = 96;
int g_page = 0;
HWND g_back = nullptr, g_next = nullptr, g_close = nullptr;
HFONT g_heading = nullptr, g_body = nullptr, g_small = nullptr, g_ui = nullptr;
HINSTANCE g_instance = nullptr;

int S(int v) { return MulDiv(v, g_dpi, 96); }

COLORREF Shade(int group) {
    static const COLORREF colours[] = {RGB(196, 64, 52),  RGB(64, 120, 196), RGB(60, 150, 90),
                                       RGB(210, 150, 40), RGB(120, 90, 170), RGB(110, 110, 110)};
    return colours[group % 6];
}

void Text(HDC dc, HFONT font, COLORREF colour, const std::wstring& s, RECT r, UINT format) {
    SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &r, format);
}

void Ellipse(HDC dc, int x, int y, int w, int h, COLORREF fill) {
    HBRUSH b = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(dc, b);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    ::Ellipse(dc, x, y, x + w, y + h);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(b);
}

void RoundBox(HDC dc, RECT r, int radius, COLORREF fill, COLORREF edge) {
    HBRUSH b = CreateSolidBrush(fill);
    HPEN p = CreatePen(PS_SOLID, S(1) > 0 ? S(1) : 1, edge);
    HGDIOBJ oldBrush = SelectObject(dc, b);
    HGDIOBJ oldPen = SelectObject(dc, p);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(p);
    DeleteObject(b);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    HPEN p = CreatePen(PS_SOLID, S(1) > 0 ? S(1) : 1, colour);
    HGDIOBJ old = SelectObject(dc, p);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(p);
}

void Icon(HDC dc, int id, int x, int y, int size) {
    HICON icon = static_cast<HICON>(LoadImageW(g_instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
    if (icon == nullptr) return;
    DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
}

// The remote, its button groups in colour, each group named beside it.
void RemoteArt(HDC dc, const RECT& area, int) {
    const int x0 = area.left + S(30), y0 = area.top + S(4);
    RECT body{x0, y0, x0 + S(120), y0 + S(224)};
    RoundBox(dc, body, S(40), RGB(48, 52, 60), RGB(30, 30, 34));
    struct Group {
        const wchar_t* name;
        int row;   // first row of buttons
        int rows;
        int cols;
    };
    const Group groups[] = {
        {L"Power, Volume and Mute", 0, 1, 4},  {L"Play, Pause, Stop, Record, skip and seek", 1, 2, 4},
        {L"Arrows, OK, Menu and Exit", 3, 3, 3}, {L"Channel Up and Down", 6, 1, 2},
        {L"Digits 0 to 9", 7, 3, 4},          {L"Four macro buttons", 10, 1, 4},
    };
    const int step = S(19), left = x0 + S(16), dot = S(13);
    for (int g = 0; g < 6; ++g) {
        const Group& gr = groups[g];
        for (int r = 0; r < gr.rows; ++r) {
            for (int c = 0; c < gr.cols; ++c) {
                const int x = left + c * (gr.cols == 3 ? S(30) : gr.cols == 2 ? S(46) : S(23)) +
                              (gr.cols == 2 ? S(12) : 0);
                const int y = y0 + S(14) + (gr.row + r) * step;
                COLORREF fill = Shade(g);
                if (g == 5) {
                    const COLORREF macro[] = {RGB(210, 50, 50), RGB(50, 170, 70), RGB(230, 200, 40),
                                              RGB(50, 100, 210)};
                    fill = macro[c];
                }
                Ellipse(dc, x, y, dot, dot, fill);
            }
        }
        const int midY = y0 + S(14) + (gr.row * 2 + gr.rows) * step / 2 - S(4);
        Line(dc, body.right + S(2), midY, body.right + S(40), midY, Shade(g));
        RECT label{body.right + S(46), midY - S(10), area.right, midY + S(12)};
        Text(dc, g_small, Shade(g), gr.name, label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
}

// The notification area with the two icons, and the menu.
void TrayArt(HDC dc, const RECT& area, int) {
    const int x0 = area.left + S(20), y0 = area.top + S(6);
    RECT bar{x0, y0, x0 + S(230), y0 + S(40)};
    RoundBox(dc, bar, S(6), RGB(40, 60, 90), RGB(30, 40, 60));
    Icon(dc, IDI_INTRO_AVAILABLE, x0 + S(12), y0 + S(8), S(24));
    Icon(dc, IDI_INTRO_MISSING, x0 + S(120), y0 + S(8), S(24));
    RECT l1{x0, y0 + S(44), x0 + S(110), y0 + S(84)};
    Text(dc, g_small, RGB(40, 40, 40), L"Ready: \"Orbiscope Remote\"", l1, DT_LEFT | DT_WORDBREAK);
    RECT l2{x0 + S(110), y0 + S(44), x0 + S(250), y0 + S(84)};
    Text(dc, g_small, RGB(40, 40, 40), L"No receiver: \"Orbiscope Remote (Not Available)\"", l2,
         DT_LEFT | DT_WORDBREAK);
    RECT menu{x0 + S(300), y0, x0 + S(420), y0 + S(96)};
    RoundBox(dc, menu, S(2), RGB(250, 250, 250), RGB(150, 150, 150));
    const wchar_t* items[] = {L"Settings", L"Shutdown", L"", L"Help"};
    for (int i = 0; i < 4; ++i) {
        const int y = menu.top + S(6) + i * S(21);
        if (items[i][0] == L'\0') {
            Line(dc, menu.left + S(6), y + S(4), menu.right - S(6), y + S(4), RGB(190, 190, 190));
            continue;
        }
        RECT r{menu.left + S(14), y, menu.right, y + S(20)};
        Text(dc, i == 0 ? g_heading : g_body, RGB(20, 20, 20), items[i], r,
             DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    RECT hint{x0 + S(300), menu.bottom + S(4), area.right, menu.bottom + S(40)};
    Text(dc, g_small, RGB(90, 90, 90), L"Right-click the icon for its menu;\nclick it for the settings.",
         hint, DT_LEFT | DT_WORDBREAK);
}

// Arrows around OK, a pointer that moves, the two clicks.
void MouseArt(HDC dc, const RECT& area, int) {
    const int cx = area.left + S(90), cy = area.top + S(70), d = S(30);
    Ellipse(dc, cx - d / 2, cy - d / 2, d, d, Shade(2));
    RECT ok{cx - d / 2, cy - d / 2, cx + d / 2, cy + d / 2};
    Text(dc, g_small, RGB(255, 255, 255), L"OK", ok, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const int offs[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    const wchar_t* arrows[] = {L"\x25B2", L"\x25BC", L"\x25C0", L"\x25B6"};
    for (int i = 0; i < 4; ++i) {
        const int x = cx + offs[i][0] * S(40) - d / 2, y = cy + offs[i][1] * S(40) - d / 2;
        Ellipse(dc, x, y, d, d, Shade(1));
        RECT r{x, y, x + d, y + d};
        Text(dc, g_small, RGB(255, 255, 255), arrows[i], r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    Ellipse(dc, cx + S(40) - d / 2, cy + S(40) - d / 2, d, d, Shade(0));
    RECT ex{cx + S(40) - d / 2, cy + S(40) - d / 2, cx + S(40) + d / 2, cy + S(40) + d / 2};
    Text(dc, g_small, RGB(255, 255, 255), L"Exit", ex, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // The pointer, with its trail.
    const int px = area.left + S(260), py = area.top + S(40);
    for (int i = 0; i < 4; ++i) Ellipse(dc, px + i * S(22), py + i * S(14), S(5), S(5), RGB(180, 190, 205));
    POINT arrow[] = {{px + S(90), py + S(44)},  {px + S(90), py + S(74)}, {px + S(97), py + S(67)},
                     {px + S(103), py + S(80)}, {px + S(108), py + S(78)}, {px + S(102), py + S(65)},
                     {px + S(112), py + S(64)}};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ ob = SelectObject(dc, white);
    HGDIOBJ op = SelectObject(dc, black);
    Polygon(dc, arrow, 7);
    SelectObject(dc, op);
    SelectObject(dc, ob);
    DeleteObject(black);
    DeleteObject(white);
    RECT note{area.left + S(230), area.top + S(130), area.right, area.top + S(190)};
    Text(dc, g_small, RGB(60, 60, 60), L"OK = left click      Exit = right click", note,
         DT_LEFT | DT_SINGLELINE);
}

// The four coloured buttons with what they do as installed.
void MacroArt(HDC dc, const RECT& area, int) {
    const int ids[] = {IDI_INTRO_RED, IDI_INTRO_GREEN, IDI_INTRO_YELLOW, IDI_INTRO_BLUE};
    const wchar_t* what[] = {L"Macro 1: full screen on and off (Alt+Enter)",
                             L"Macro 2: opens the help",
                             L"Macro 3: a favourite web page",
                             L"Macro 4: a favourite web page"};
    for (int i = 0; i < 4; ++i) {
        const int y = area.top + S(4) + i * S(40);
        Icon(dc, ids[i], area.left + S(30), y, S(32));
        RECT r{area.left + S(76), y, area.right, y + S(32)};
        Text(dc, g_body, RGB(30, 30, 30), what[i], r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
}

// Where the help is.
void HelpArt(HDC dc, const RECT& area, int) {
    const wchar_t* places[] = {L"Tray icon menu \x2192 Help",
                               L"Start menu \x2192 Orbiscope Remote \x2192 Orbiscope Remote Help",
                               L"Macro button 2 (green), as installed",
                               L"Settings window \x2192 Help"};
    for (int i = 0; i < 4; ++i) {
        const int y = area.top + S(6) + i * S(34);
        Ellipse(dc, area.left + S(30), y + S(6), S(14), S(14), Shade(i));
        RECT r{area.left + S(56), y, area.right, y + S(26)};
        Text(dc, g_body, RGB(30, 30, 30), places[i], r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
}

// The on-screen display's panels as they show after a press.
void DisplayArt(HDC dc, const RECT& area, int) {
    auto panel = [&](int y, const wchar_t* text, int level) {
        const int w = S(300), h = level >= 0 ? S(84) : S(60);
        RECT r{area.left + S(30), y, area.left + S(30) + w, y + h};
        RoundBox(dc, r, S(8), RGB(24, 24, 24), RGB(24, 24, 24));
        RECT t{r.left, r.top + S(10), r.right, r.top + S(48)};
        Text(dc, g_heading, RGB(255, 255, 255), text, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (level < 0) return;
        RECT track{r.left + S(20), r.top + S(56), r.right - S(20), r.top + S(68)};
        HBRUSH grey = CreateSolidBrush(RGB(80, 80, 80));
        FillRect(dc, &track, grey);
        DeleteObject(grey);
        RECT done = track;
        done.right = track.left + MulDiv(track.right - track.left, level, 100);
        HBRUSH blue = CreateSolidBrush(RGB(0, 120, 215));
        FillRect(dc, &done, blue);
        DeleteObject(blue);
    };
    panel(area.top + S(4), L"Play \x00B7 VLC", -1);
    panel(area.top + S(76), L"Volume 45%", 45);
    RECT note{area.left + S(350), area.top + S(10), area.right - S(10), area.top + S(160)};
    Text(dc, g_small, RGB(60, 60, 60),
         L"Shown on the screen you are looking at, over a full-screen film too. It never takes "
         L"the keyboard or the mouse away from your program.",
         note, DT_LEFT | DT_WORDBREAK);
}

const Page kPages[] = {
    {L"Your remote",
     L"Orbiscope Remote turns every button of the remote into the right action for the program "
     L"in front: your media player, DVD or TV program, picture viewer or presentation. The "
     L"buttons come in groups:",
     RemoteArt},
    {L"The tray icon and its menu",
     L"Orbiscope Remote runs as an icon in the notification area, next to the clock. The icon "
     L"shows whether the receiver is ready. Its menu opens the settings, opens the help, or "
     L"shuts Orbiscope Remote down.",
     TrayArt},
    {L"Mouse mode",
     L"In mouse mode the arrows move the mouse pointer: hold an arrow and the pointer speeds "
     L"up. Switch it on under Settings \x2192 Advanced, or give a macro button the action "
     L"\"Toggle Mouse Mode On/Off\".",
     MouseArt},
    {L"The macro buttons",
     L"The four coloured buttons do what you choose on the Macros page of the settings: open "
     L"any file, program or web page with one press (QuickLaunch), or a shortcut such as "
     L"Alt+Tab. As installed:",
     MacroArt},
    {L"What each button did",
     L"From across the room you can see what a press did: a panel shows it in large letters "
     L"for a moment, and the volume as a bar. Switch it on under Settings \x2192 Advanced "
     L"(\"Show what each button did on the screen\"), or during setup.",
     DisplayArt},
    {L"Where the help is",
     L"The help describes every button, every setting and each of the supported programs. "
     L"You find it here:",
     HelpArt},
};
constexpr int kPageCount = static_cast<int>(sizeof(kPages) / sizeof(kPages[0]));

HFONT MakeFont(int points, bool bold) {
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof(m);
    LOGFONTW lf{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0)) lf = m.lfMessageFont;
    if (lf.lfFaceName[0] == L'\0') lstrcpyW(lf.lfFaceName, L"Tahoma");
    lf.lfHeight = -MulDiv(points, g_dpi, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfQuality = CLEARTYPE_QUALITY;
    return CreateFontIndirectW(&lf);
}

void MakeFonts() {
    for (HFONT* f : {&g_heading, &g_body, &g_small, &g_ui}) {
        if (*f) DeleteObject(*f);
    }
    g_heading = MakeFont(14, true);
    g_body = MakeFont(10, false);
    g_small = MakeFont(9, false);
    g_ui = MakeFont(9, false);
}

int WindowDpi(HWND w) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    if (auto fn = reinterpret_cast<GetDpiForWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")))) {
        if (const UINT dpi = fn(w)) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(w);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(w, dc);
    return dpi > 0 ? dpi : 96;
}

void Layout(HWND w) {
    RECT c;
    GetClientRect(w, &c);
    const int bw = S(88), bh = S(26), gap = S(8), y = c.bottom - kButtonBar * g_dpi / 96 + S(13);
    MoveWindow(g_close, c.right - S(16) - bw, y, bw, bh, TRUE);
    MoveWindow(g_next, c.right - S(16) - 2 * bw - 2 * gap, y, bw, bh, TRUE);
    MoveWindow(g_back, c.right - S(16) - 3 * bw - 3 * gap, y, bw, bh, TRUE);
    for (HWND b : {g_back, g_next, g_close}) SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(g_ui), TRUE);
}

void ShowPage(HWND w, int page) {
    g_page = page < 0 ? 0 : (page >= kPageCount ? kPageCount - 1 : page);
    EnableWindow(g_back, g_page > 0);
    EnableWindow(g_next, g_page < kPageCount - 1);
    // The default button is the one Enter presses.
    const bool last = g_page == kPageCount - 1;
    SendMessageW(g_next, BM_SETSTYLE, last ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
    SendMessageW(g_close, BM_SETSTYLE, last ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    HWND focus = GetFocus();
    if (focus == nullptr || !IsWindowEnabled(focus)) SetFocus(last ? g_close : g_next);
    InvalidateRect(w, nullptr, TRUE);
}

void Paint(HWND w) {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(w, &ps);
    RECT c;
    GetClientRect(w, &c);
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bmp = CreateCompatibleBitmap(target, c.right, c.bottom);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
    RECT band{0, 0, c.right, S(64)};
    HBRUSH bandBrush = CreateSolidBrush(RGB(23, 54, 93));
    FillRect(dc, &band, bandBrush);
    DeleteObject(bandBrush);
    Icon(dc, IDI_INTRO_APP, S(16), S(16), S(32));
    const Page& p = kPages[g_page];
    RECT head{S(60), 0, c.right - S(16), S(64)};
    Text(dc, g_heading, RGB(255, 255, 255), p.heading, head, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    RECT count{S(60), 0, c.right - S(16), S(64)};
    const std::wstring n = L"Page " + std::to_wstring(g_page + 1) + L" of " + std::to_wstring(kPageCount);
    Text(dc, g_small, RGB(200, 215, 235), n, count, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    RECT body{S(24), S(76), c.right - S(24), S(136)};
    Text(dc, g_body, RGB(30, 30, 30), p.text, body, DT_LEFT | DT_WORDBREAK);
    RECT art{S(24), S(138), c.right - S(24), c.bottom - kButtonBar * g_dpi / 96 - S(6)};
    p.art(dc, art, g_dpi);
    const int barTop = c.bottom - kButtonBar * g_dpi / 96;
    RECT bar{0, barTop, c.right, c.bottom};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
    Line(dc, 0, barTop, c.right, barTop, GetSysColor(COLOR_3DSHADOW));
    BitBlt(target, 0, 0, c.right, c.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBmp);
    DeleteObject(bmp);
    DeleteDC(dc);
    EndPaint(w, &ps);
}

// The window for a client area of kWidth x kHeight at the given DPI.
SIZE FrameSize(DWORD style, DWORD exStyle) {
    RECT r{0, 0, S(kWidth), S(kHeight)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

LRESULT CALLBACK WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            g_dpi = WindowDpi(w);
            MakeFonts();
            auto button = [&](const wchar_t* text, int id) {
                return CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                       0, 0, 10, 10, w, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       g_instance, nullptr);
            };
            g_back = button(L"< &Back", kIdBack);
            g_next = button(L"&Next >", kIdNext);
            g_close = button(L"&Close", kIdClose);
            // The window was made for 96 DPI; fit it to the display's.
            const SIZE s = FrameSize(kStyle, kExStyle);
            SetWindowPos(w, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            Layout(w);
            ShowPage(w, 0);
            return 0;
        }
        case 0x02E0: {  // WM_DPICHANGED: take the size Windows suggests for the new display
            g_dpi = HIWORD(wp);
            MakeFonts();
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(w, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            Layout(w);
            InvalidateRect(w, nullptr, TRUE);
            return 0;
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kIdBack: ShowPage(w, g_page - 1); return 0;
                case kIdNext: ShowPage(w, g_page + 1); return 0;
                case kIdClose:
                case IDCANCEL: DestroyWindow(w); return 0;
                default: break;
            }
            break;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: Paint(w); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// The keys of the whole window, whichever button has the focus. True when used.
bool Key(HWND w, const MSG& m) {
    if (m.message != WM_KEYDOWN) return false;
    switch (m.wParam) {
        case VK_ESCAPE: DestroyWindow(w); return true;
        case VK_RIGHT:
        case VK_NEXT: ShowPage(w, g_page + 1); return true;
        case VK_LEFT:
        case VK_PRIOR: ShowPage(w, g_page - 1); return true;
        case VK_RETURN: {
            const HWND focus = GetFocus();
            if (focus == g_back || focus == g_close) {
                SendMessageW(w, WM_COMMAND, GetDlgCtrlID(focus), reinterpret_cast<LPARAM>(focus));
            } else if (g_page < kPageCount - 1) {
                ShowPage(w, g_page + 1);
            } else {
                DestroyWindow(w);
            }
            return true;
        }
        default: return false;
    }
}

void BeDpiAware() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    if (auto fn = reinterpret_cast<SetContextFn>(
            reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")))) {
        if (fn(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;  // per monitor v2
    }
    SetProcessDPIAware();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // Started from Docs\, whose neighbours are no place to load a DLL from.
    LoadDllsOnlyFromSystem32();
    g_instance = instance;
    // One introduction at a time: a second start shows the first.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutex);
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        for (int i = 0; i < 50; ++i) {
            if (HWND first = FindWindowW(kClass, nullptr)) {
                if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
                SetForegroundWindow(first);
                break;
            }
            Sleep(100);  // the first copy may still be creating its window
        }
        CloseHandle(mutex);
        return 0;
    }
    BeDpiAware();

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_INTRO_APP));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_INTRO_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = kClass;
    if (!RegisterClassExW(&wc)) return 1;

    // Centred on the primary screen, at 96 DPI first; WM_CREATE scales it.
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    g_dpi = 96;
    const SIZE s = FrameSize(kStyle, kExStyle);
    HWND w = CreateWindowExW(kExStyle, kClass, kTitle, kStyle, (sw - s.cx) / 2, (sh - s.cy) / 2, s.cx, s.cy,
                             nullptr, nullptr, instance, nullptr);
    if (w == nullptr) return 1;
    RECT r;
    GetWindowRect(w, &r);
    SetWindowPos(w, nullptr, (sw - (r.right - r.left)) / 2, (sh - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(w, show == SW_HIDE ? SW_SHOWNORMAL : show);
    SetForegroundWindow(w);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (Key(w, m)) continue;
        if (IsDialogMessageW(w, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    if (mutex != nullptr) CloseHandle(mutex);
    return 0;
}
