// The thin dialog wrapper, the page controls over real dialogs, and the three pages.
#include "ui/win32/pages_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace ui32 {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

UINT WindowDpi(HWND w) {
    // Windows 10 and later; looked up so that the program still starts on Windows 7.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && w != nullptr) {
        if (const UINT dpi = getDpiForWindow(w)) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

HBITMAP LoadPictureForDpi(int resource, UINT dpi) {
    constexpr UINT kDrawnFor = 192;
    auto source = static_cast<HBITMAP>(LoadImageA(Instance(), MAKEINTRESOURCEA(resource), IMAGE_BITMAP,
                                                  0, 0, LR_CREATEDIBSECTION));
    BITMAP bm{};
    if (source == nullptr || GetObjectA(source, sizeof(bm), &bm) != sizeof(bm)) {
        if (source != nullptr) DeleteObject(source);
        return nullptr;
    }
    const int width = MulDiv(bm.bmWidth, static_cast<int>(dpi), kDrawnFor);
    const int height = MulDiv(bm.bmHeight, static_cast<int>(dpi), kDrawnFor);
    if ((width == bm.bmWidth && height == bm.bmHeight) || width <= 0 || height <= 0) return source;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP scaled = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    if (scaled != nullptr && from != nullptr && to != nullptr) {
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, scaled);
        // Each target pixel averages the source pixels it covers.
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        StretchBlt(to, 0, 0, width, height, from, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
    }
    if (from != nullptr) DeleteDC(from);
    if (to != nullptr) DeleteDC(to);
    DeleteObject(source);
    return scaled;
}

INT_PTR Dialog::Route(Dialog* d, HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (d == nullptr) return FALSE;
    if (m == WM_NCDESTROY) {
        const INT_PTR answer = d->OnMessage(m, wp, lp);
        SetWindowLongPtrA(h, DWLP_USER, 0);
        d->hwnd_ = nullptr;
        d->OnGone();
        return answer;
    }
    return d->OnMessage(m, wp, lp);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_INITDIALOG) {
        auto* d = reinterpret_cast<Dialog*>(lp);
        if (d == nullptr) return TRUE;
        d->hwnd_ = h;
        SetWindowLongPtrA(h, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
        return d->OnMessage(m, wp, lp);
    }
    return Route(reinterpret_cast<Dialog*>(GetWindowLongPtrA(h, DWLP_USER)), h, m, wp, lp);
}

INT_PTR CALLBACK Dialog::PageProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lp);
        auto* d = page == nullptr ? nullptr : reinterpret_cast<Dialog*>(page->lParam);
        if (d == nullptr) return TRUE;
        d->hwnd_ = h;
        SetWindowLongPtrA(h, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
        return d->OnMessage(m, wp, lp);
    }
    return Route(reinterpret_cast<Dialog*>(GetWindowLongPtrA(h, DWLP_USER)), h, m, wp, lp);
}

LRESULT DialogControls::SendItem(int32_t id, UINT m, WPARAM wp, LPARAM lp) {
    return SendDlgItemMessageA(dialog_, id, m, wp, lp);
}

void DialogControls::AddComboItem(int32_t id, const std::string& text) {
    SendItem(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int32_t DialogControls::ComboCount(int32_t id) {
    const LRESULT n = SendItem(id, CB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int32_t>(n);
}

std::string DialogControls::ComboItem(int32_t id, int32_t index) {
    const LRESULT length = SendItem(id, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    SendItem(id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}

void DialogControls::SetComboSelection(int32_t id, int32_t index) {
    SendItem(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int32_t DialogControls::ComboSelection(int32_t id) {
    const LRESULT sel = SendItem(id, CB_GETCURSEL, 0, 0);
    return sel == CB_ERR ? pagemsg::CB_NONE : static_cast<int32_t>(sel);
}

void DialogControls::SetEnabled(int32_t id, bool enabled) {
    if (HWND item = GetDlgItem(dialog_, id)) EnableWindow(item, enabled ? TRUE : FALSE);
}

void DialogControls::SetText(int32_t id, const std::string& text) {
    SetDlgItemTextW(dialog_, id, Widen(text).c_str());
}

std::string DialogControls::Text(int32_t id) {
    HWND item = GetDlgItem(dialog_, id);
    if (item == nullptr) return std::string();
    // The favourites are paths: UTF-8 like every text of the core.
    const int length = GetWindowTextLengthW(item);
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(item, buffer.data(), static_cast<int>(buffer.size()));
    return Narrow(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void DialogControls::SetSliderPos(int32_t id, int32_t pos) { SendItem(id, TBM_SETPOS, TRUE, pos); }

int32_t DialogControls::SliderPos(int32_t id) {
    return static_cast<int32_t>(SendItem(id, TBM_GETPOS, 0, 0));
}

void DialogControls::SetChecked(int32_t id, bool checked) {
    CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool DialogControls::Checked(int32_t id) { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }

std::optional<std::string> DialogControls::ChooseExistingFile() {
    // Long paths are legal for favourites; the buffer is far larger than MAX_PATH.
    std::vector<wchar_t> path(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetParent(dialog_);  // the sheet
    ofn.lpstrFilter = L"All Files (*.*)\0*.*\0\0";
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return Narrow(std::wstring(path.data()));
}

namespace {
// Every page hands its commands to its logic; what the logic does not own goes on.
INT_PTR CommandTo(bool (*handle)(void*, int32_t, uint32_t), void* logic, WPARAM wp) {
    return handle(logic, LOWORD(wp), HIWORD(wp)) ? TRUE : FALSE;
}
}  // namespace

CGeneralPropPage::~CGeneralPropPage() {
    if (boldFont_ != nullptr) DeleteObject(boldFont_);
}

INT_PTR CGeneralPropPage::OnMessage(UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_INITDIALOG: {
        logic_.Initialize();
        HWND title = GetDlgItem(hwnd_, IDC_MACROS_TITLE);
        auto font = reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        if (font != nullptr && GetObjectA(font, sizeof(lf), &lf) == sizeof(lf)) {
            lf.lfWeight = FW_BOLD;
            boldFont_ = CreateFontIndirectA(&lf);
            if (boldFont_ != nullptr) {
                SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), TRUE);
            }
        }
        return TRUE;
    }
    case WM_COMMAND:
        return CommandTo(
            [](void* l, int32_t id, uint32_t code) {
                return static_cast<MacrosPageLogic*>(l)->OnCommand(id, code);
            },
            &logic_, wp);
    default:
        return FALSE;
    }
}

INT_PTR CAdvancedPropPage::OnMessage(UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_INITDIALOG:
        for (int id : {IDC_VOLUME_SLIDER, IDC_REPEAT_DELAY_SLIDER, IDC_REPEAT_RATE_SLIDER}) {
            SendDlgItemMessageA(hwnd_, id, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
        }
        logic_.Initialize();
        return TRUE;
    case WM_HSCROLL: {
        const HWND from = reinterpret_cast<HWND>(lp);
        for (int id : {IDC_VOLUME_SLIDER, IDC_REPEAT_DELAY_SLIDER, IDC_REPEAT_RATE_SLIDER}) {
            if (from != nullptr && from == GetDlgItem(hwnd_, id)) {
                logic_.OnHScroll();
                break;
            }
        }
        return FALSE;  // the default scroll processing follows
    }
    case WM_COMMAND:
        return CommandTo(
            [](void* l, int32_t id, uint32_t code) {
                return static_cast<AdvancedPageLogic*>(l)->OnCommand(id, code);
            },
            &logic_, wp);
    default:
        return FALSE;
    }
}

INT_PTR CAboutPropPage::OnMessage(UINT m, WPARAM, LPARAM lp) {
    switch (m) {
    case WM_INITDIALOG: {
        // The picture control sizes itself to the picture drawn for this page's DPI.
        picture_ = LoadPictureForDpi(IDB_ABOUT, WindowDpi(hwnd_));
        HWND control = GetDlgItem(hwnd_, IDC_ABOUT_PICTURE);
        if (picture_ != nullptr && control != nullptr) {
            auto old = reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP,
                                                              reinterpret_cast<LPARAM>(picture_)));
            if (old != nullptr && old != picture_) DeleteObject(old);  // the template's own copy
        }
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom != IDC_ABOUT_LINK || (header->code != NM_CLICK && header->code != NM_RETURN)) {
            return FALSE;
        }
        const auto* link = reinterpret_cast<const NMLINK*>(lp);
        char url[L_MAX_URL_LENGTH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, link->item.szUrl, -1, url, sizeof(url), nullptr, nullptr);
        OpenLink(Handle(hwnd_), url);
        return TRUE;
    }
    case WM_NCDESTROY:
        if (picture_ != nullptr) DeleteObject(picture_);
        picture_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace ui32
