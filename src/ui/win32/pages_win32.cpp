// The thin dialog wrapper, the page controls over real dialogs, and the three pages.
#include "ui/win32/pages_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/wide_text.h"
#include "ui/win32/another_remote_dialog.h"
#include "ui/win32/teach_dialog.h"

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

bool DialogControls::IsListView(int32_t id) {
    char name[32] = {};
    HWND item = GetDlgItem(dialog_, id);
    return item != nullptr && GetClassNameA(item, name, sizeof(name)) > 0 &&
           lstrcmpiA(name, WC_LISTVIEWA) == 0;
}

void DialogControls::SetListRows(int32_t id, const std::vector<std::vector<std::string>>& rows) {
    HWND item = GetDlgItem(dialog_, id);
    if (item == nullptr) return;
    // One redraw for the whole list, not one per row.
    SendMessageW(item, WM_SETREDRAW, FALSE, 0);
    if (IsListView(id)) {
        SendMessageW(item, LVM_DELETEALLITEMS, 0, 0);
        SendMessageW(item, LVM_SETITEMCOUNT, rows.size(), 0);
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                std::wstring text = Widen(rows[r][c]);
                LVITEMW lv{};
                lv.mask = LVIF_TEXT;
                lv.iItem = static_cast<int>(r);
                lv.iSubItem = static_cast<int>(c);
                lv.pszText = text.data();
                SendMessageW(item, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, c == 0 ? 0 : r,
                             reinterpret_cast<LPARAM>(&lv));
            }
        }
    } else {
        SendMessageW(item, LB_RESETCONTENT, 0, 0);
        // The list scrolls sideways as far as its longest line reaches.
        HDC dc = GetDC(item);
        HGDIOBJ old = dc != nullptr ? SelectObject(dc, reinterpret_cast<HGDIOBJ>(
                                                           SendMessageW(item, WM_GETFONT, 0, 0)))
                                    : nullptr;
        LONG widest = 0;
        for (const std::vector<std::string>& row : rows) {
            const std::wstring text = Widen(row.empty() ? std::string() : row[0]);
            SendMessageW(item, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            SIZE size{};
            if (dc != nullptr && GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
                widest = std::max(widest, size.cx);
        }
        if (dc != nullptr) {
            SelectObject(dc, old);
            ReleaseDC(item, dc);
        }
        SendMessageW(item, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    }
    SendMessageW(item, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(item, nullptr, TRUE);
}

int32_t DialogControls::ListSelection(int32_t id) {
    if (IsListView(id)) {
        const LRESULT at = SendItem(id, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
        return at < 0 ? pagemsg::CB_NONE : static_cast<int32_t>(at);
    }
    const LRESULT at = SendItem(id, LB_GETCURSEL, 0, 0);
    return at == LB_ERR ? pagemsg::CB_NONE : static_cast<int32_t>(at);
}

void DialogControls::SetListSelection(int32_t id, int32_t index) {
    if (!IsListView(id)) {
        SendItem(id, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        return;
    }
    LVITEMW lv{};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = 0;
    SendItem(id, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&lv));
    if (index < 0) return;
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendItem(id, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lv));
    SendItem(id, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
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

namespace {
// Report-style list columns, their widths in dialog units.
void AddColumns(HWND page, int id, const char* const* names, const int* widths, int count) {
    HWND list = GetDlgItem(page, id);
    if (list == nullptr) return;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    for (int i = 0; i < count; ++i) {
        RECT r{0, 0, widths[i], 0};
        MapDialogRect(page, &r);
        std::wstring text = Widen(names[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = r.right;
        column.pszText = text.data();
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}
}  // namespace

CProgramsPropPage::~CProgramsPropPage() {
    *alive_ = false;
    if (teaching_ != nullptr) DestroyWindow(teaching_);
}

void CProgramsPropPage::EndTeaching() {
    if (teaching_ != nullptr) SendMessageW(teaching_, WM_COMMAND, IDCANCEL, 0);
}

void CProgramsPropPage::Teach() {
    if (teaching_ != nullptr) return;
    const KnownProgram* selected = logic_.SelectedProgram();
    const std::optional<KnownProgram> chosen =
        selected != nullptr ? std::optional<KnownProgram>(*selected) : std::nullopt;
    const std::shared_ptr<bool> alive = alive_;
    const bool saved = RunTeachDialog(hwnd_, chosen ? &*chosen : nullptr, &teaching_);
    if (!*alive) return;
    if (saved) logic_.Fill();
}

INT_PTR CProgramsPropPage::OnMessage(UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_INITDIALOG: {
        const int programWidths[2] = {70, 64};
        const int buttonWidths[3] = {42, 54, 62};
        AddColumns(hwnd_, IDC_PROGRAMS_LIST, kProgramColumns, programWidths, 2);
        AddColumns(hwnd_, IDC_PROGRAMS_BUTTONS, kButtonColumns, buttonWidths, 3);
        logic_.Initialize();
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_PROGRAMS_TEACH) {
            if (HIWORD(wp) == BN_CLICKED) Teach();
            return TRUE;
        }
        if (LOWORD(wp) == IDC_PROGRAMS_ANOTHER_REMOTE) {
            if (HIWORD(wp) == BN_CLICKED) ShowAnotherRemoteDialog(hwnd_);
            return TRUE;
        }
        return CommandTo(
            [](void* l, int32_t id, uint32_t code) {
                return static_cast<ProgramsPageLogic*>(l)->OnCommand(id, code);
            },
            &logic_, wp);
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->code == PSN_SETACTIVE) {
            // Files change while the window is hidden: turning to the page shows them now.
            logic_.Fill();
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        if (header->idFrom == IDC_PROGRAMS_LIST && header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lp);
            if ((change->uChanged & LVIF_STATE) != 0 &&
                ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) != 0)
                logic_.OnCommand(IDC_PROGRAMS_LIST, pagemsg::LIST_SELCHANGE_);
            return TRUE;
        }
        return FALSE;
    }
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
