// The settings form (the main frame's client) and the property sheet laid over it.
#include "ui/win32/settings_window.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/document.h"
#include "ui/shell.h"
#include "ui/win32/pages_win32.h"

namespace ui32 {
namespace {

constexpr int kPageCount = 4;

// The sheet (CRemotePropSheet): a modeless comctl32 property sheet that lives as a
// child control of the form, without the sheet's own buttons.
class CRemotePropSheet {
public:
    explicit CRemotePropSheet(CDocument* doc) : general_(doc) {}

    HWND Create(HWND parent) {
        // Unicode pages: their edit boxes hold a favourite's path in any script.
        PROPSHEETPAGEW pages[kPageCount]{};
        const int templates[kPageCount] = {IDD_MACROS_PAGE, IDD_ADVANCED_PAGE, IDD_PROGRAMS_PAGE,
                                           IDD_ABOUT_PAGE};
        Dialog* objects[kPageCount] = {&general_, &advanced_, &programs_, &about_};
        for (int i = 0; i < kPageCount; ++i) {
            pages[i].dwSize = sizeof(PROPSHEETPAGEW);
            pages[i].dwFlags = PSP_DEFAULT;
            pages[i].hInstance = Instance();
            pages[i].pszTemplate = MAKEINTRESOURCEW(templates[i]);
            pages[i].pfnDlgProc = &Dialog::PageProc;
            pages[i].lParam = reinterpret_cast<LPARAM>(objects[i]);
        }
        PROPSHEETHEADERW header{};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW | PSH_USECALLBACK;
        header.hwndParent = parent;
        header.hInstance = Instance();
        header.pszCaption = MAKEINTRESOURCEW(IDS_SHEET_CAPTION);
        header.nPages = kPageCount;
        header.nStartPage = 0;
        header.ppsp = pages;
        header.pfnCallback = &SheetCallback;
        const INT_PTR sheet = PropertySheetW(&header);
        hwnd_ = sheet > 0 ? reinterpret_cast<HWND>(sheet) : nullptr;
        return hwnd_;
    }

    HWND hwnd() const { return hwnd_; }

    // Refills every page; true only if all four were filled.
    bool UpdateAllPages() {
        if (hwnd_ == nullptr || !IsWindow(hwnd_)) return false;
        const bool general = general_.Fill();
        const bool advanced = advanced_.Fill();
        const bool programs = programs_.Fill();
        const bool about = about_.Fill();
        return general && advanced && programs && about;
    }

    int ActiveIndex() const {
        return static_cast<int>(SendMessageA(
            hwnd_, PSM_HWNDTOINDEX,
            reinterpret_cast<WPARAM>(
                reinterpret_cast<HWND>(SendMessageA(hwnd_, PSM_GETCURRENTPAGEHWND, 0, 0))),
            0));
    }
    void EndTeaching() { programs_.EndTeaching(); }
    void Select(int index) { SendMessageA(hwnd_, PSM_SETCURSEL, static_cast<WPARAM>(index), 0); }
    void Forget() { hwnd_ = nullptr; }
    HWND TabControl() const {
        return hwnd_ == nullptr
                   ? nullptr
                   : reinterpret_cast<HWND>(SendMessageA(hwnd_, PSM_GETTABCONTROL, 0, 0));
    }
    HWND CurrentPage() const {
        return hwnd_ == nullptr
                   ? nullptr
                   : reinterpret_cast<HWND>(SendMessageA(hwnd_, PSM_GETCURRENTPAGEHWND, 0, 0));
    }

private:
    // The sheet becomes a child control: no caption, no frame of its own, reachable by
    // Tab, and its own buttons go.
    static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lp) {
        if (message == PSCB_PRECREATE && lp != 0) {
            auto* words = reinterpret_cast<WORD*>(lp);
            const DWORD childStyle = WS_CHILD | WS_TABSTOP | DS_CONTROL | DS_3DLOOK | DS_SETFONT;
            const DWORD dropped = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                  WS_THICKFRAME | WS_VISIBLE | DS_CONTEXTHELP;
            if (words[0] == 1 && words[1] == 0xFFFF) {  // DLGTEMPLATEEX
                auto* ex = reinterpret_cast<DWORD*>(lp);
                // helpID, exStyle, style follow the signature.
                ex[2] |= WS_EX_CONTROLPARENT;
                ex[3] = (ex[3] & ~dropped) | childStyle;
            } else {
                auto* t = reinterpret_cast<DLGTEMPLATE*>(lp);
                t->style = (t->style & ~dropped) | childStyle;
                t->dwExtendedStyle |= WS_EX_CONTROLPARENT;
            }
        } else if (message == PSCB_INITIALIZED) {
            for (int id : {IDOK, IDCANCEL, IDHELP, 0x3021 /* Apply */}) {
                if (HWND button = GetDlgItem(sheet, id)) {
                    ShowWindow(button, SW_HIDE);
                    EnableWindow(button, FALSE);
                }
            }
        }
        return 0;
    }

    HWND hwnd_ = nullptr;
    CGeneralPropPage general_;
    CAdvancedPropPage advanced_;
    CProgramsPropPage programs_;
    CAboutPropPage about_;
};

// The form (CRemoteFormView): OK, Cancel, Help around the sheet.
class CRemoteFormView : public Dialog, public SettingsView {
public:
    CRemoteFormView(HWND frame, CDocument& doc) : frame_(frame), doc_(doc), sheet_(&doc) {}
    ~CRemoteFormView() override {
        Destroy();
        if (viewId_ != 0) doc_.RemoveView(viewId_);
    }

    HWND Create() {
        if (CreateDialogParamA(Instance(), MAKEINTRESOURCEA(IDD_FORMVIEW), frame_,
                               &Dialog::DialogProc, reinterpret_cast<LPARAM>(this)) == nullptr) {
            return nullptr;
        }
        InitialUpdate();
        return hwnd_;
    }

    HWND Window() const override { return hwnd_; }
    HWND SheetWindow() const override { return sheet_.hwnd(); }
    bool Update() override { return sheet_.UpdateAllPages(); }

    void PrepareForShow() override {
        if (sheet_.hwnd() != nullptr && sheet_.ActiveIndex() != 0) sheet_.Select(0);
        HWND ok = GetDlgItem(hwnd_, IDC_FORM_OK);
        for (int id : {IDC_FORM_CANCEL, IDC_FORM_HELP}) {
            SendDlgItemMessageA(hwnd_, id, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        }
        SendMessageA(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SendMessageA(hwnd_, DM_SETDEFID, IDC_FORM_OK, 0);
        focus_ = ok;
        SetFocus(ok);
    }

    // The frame got the focus back (after a message box, or when it is activated again):
    // it goes to the control that had it last, or to OK when that one cannot take it.
    void Focus() override {
        HWND target = focus_;
        if (target == nullptr || !IsChild(hwnd_, target) || !IsWindowVisible(target) ||
            !IsWindowEnabled(target)) {
            target = GetDlgItem(hwnd_, IDC_FORM_OK);
        }
        SetFocus(target);
    }

    // Every message of the main thread passes here before it is dispatched. A modal box
    // disables the frame before it opens, and that takes the focus away first; so the
    // control to come back to is the one that had the focus as the last message arrived.
    bool PreTranslate(MSG* msg) override {
        if (HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
        if (msg->hwnd != hwnd_ && !IsChild(hwnd_, msg->hwnd)) return false;
        if (msg->message == WM_KEYDOWN && GetKeyState(VK_MENU) >= 0) {
            const bool ctrl = GetKeyState(VK_CONTROL) < 0;
            const WPARAM key = msg->wParam;
            if (ctrl && (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR)) {
                if (TurnPage(*msg)) return true;
            } else if (!ctrl && key == VK_TAB &&
                       (SendMessageA(msg->hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(msg)) &
                        (DLGC_WANTTAB | DLGC_WANTMESSAGE)) == 0) {
                StepFocus(GetKeyState(VK_SHIFT) < 0);
                return true;
            }
        }
        // Escape and Enter go to the form: IDCANCEL is Cancel, the default button OK. (The
        // sheet would take them for its own hidden buttons, which end a modeless sheet.)
        return IsDialogMessageA(hwnd_, msg) != FALSE;
    }

    void CloseDialogs() override { sheet_.EndTeaching(); }

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM lp) override {
        switch (m) {
            case WM_INITDIALOG: return FALSE;
            case WM_COMMAND:
                switch (LOWORD(wp)) {
                    case IDC_FORM_OK: FormOk(doc_, Handle(frame_)); return TRUE;
                    case IDC_FORM_CANCEL:
                    case IDCANCEL:  // Escape
                        FormCancel(doc_, Handle(frame_));
                        return TRUE;
                    case IDC_FORM_HELP: HelpCommand(Handle(hwnd_)); return TRUE;
                    default: return FALSE;
                }
            default: return FALSE;
        }
    }

private:
    void Destroy() {
        if (sheet_.hwnd() != nullptr && IsWindow(sheet_.hwnd())) DestroyWindow(sheet_.hwnd());
        sheet_.Forget();
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }

    void InitialUpdate() {
        // The form is the frame's client, without the sunken edge.
        SetWindowLongPtrA(
            hwnd_, GWL_EXSTYLE,
            (GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE) | WS_EX_CONTROLPARENT);
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        ShowWindow(hwnd_, SW_SHOW);

        HWND sheet = sheet_.Create(hwnd_);
        if (sheet != nullptr) {
            SetWindowLongPtrA(sheet, GWL_STYLE, GetWindowLongPtrA(sheet, GWL_STYLE) | WS_TABSTOP);
            SetWindowLongPtrA(sheet, GWL_EXSTYLE,
                              GetWindowLongPtrA(sheet, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
            PlaceSheet(sheet);
            ShowWindow(sheet, SW_SHOW);
        }
        FitFrame();
        viewId_ = doc_.AddView([this] { Update(); });
        Update();
    }

    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp turn the pages wherever the focus
    // is in the window: the sheet's own dialog keys take them, told as if the tab strip
    // had them when the focus is on OK, Cancel or Help. A focus left on the page that was
    // just hidden moves to the tab strip.
    bool TurnPage(MSG msg) {
        HWND sheet = sheet_.hwnd();
        HWND tab = sheet_.TabControl();
        if (sheet == nullptr || tab == nullptr) return false;
        if (msg.hwnd != sheet && !IsChild(sheet, msg.hwnd)) msg.hwnd = tab;
        if (!SendMessageA(sheet, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)))
            return false;
        HWND focus = GetFocus();
        if (focus == nullptr || !IsWindowVisible(focus)) {
            SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tab), TRUE);
        }
        return true;
    }

    // Tab walks the tab strip, the shown page's controls, then OK, Cancel and Help, and
    // round again (Shift+Tab the other way). The sheet keeps its page above the tab
    // strip in the window order, so that the page is drawn over it; the dialog manager,
    // which follows that order, would visit the page before the strip.
    void StepFocus(bool backwards) {
        std::vector<HWND> stops;
        const auto usable = [](HWND w) {
            return w != nullptr && IsWindowVisible(w) && IsWindowEnabled(w);
        };
        if (HWND tab = sheet_.TabControl(); usable(tab)) stops.push_back(tab);
        if (HWND page = sheet_.CurrentPage()) {
            for (HWND c = GetWindow(page, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                if ((GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) && usable(c)) stops.push_back(c);
            }
        }
        for (int id : {IDC_FORM_OK, IDC_FORM_CANCEL, IDC_FORM_HELP}) {
            if (HWND button = GetDlgItem(hwnd_, id); usable(button)) stops.push_back(button);
        }
        if (stops.empty()) return;
        HWND focus = GetFocus();
        const auto at = std::find_if(stops.begin(), stops.end(),
                                     [focus](HWND s) { return s == focus || IsChild(s, focus); });
        const size_t n = stops.size();
        size_t next = backwards ? n - 1 : 0;
        if (at != stops.end()) {
            const size_t i = static_cast<size_t>(at - stops.begin());
            next = backwards ? (i + n - 1) % n : (i + 1) % n;
        }
        // As the dialog manager moves it: an edit's text selected, the default button
        // following the focus.
        SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(stops[next]), TRUE);
    }

    void PlaceSheet(HWND sheet) {
        HWND placeholder = GetDlgItem(hwnd_, IDC_SHEET_PLACEHOLDER);
        if (placeholder == nullptr) return;
        RECT target{};
        GetWindowRect(placeholder, &target);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&target), 2);
        RECT old{};
        GetWindowRect(sheet, &old);
        const int dw = (target.right - target.left) - (old.right - old.left);
        const int dh = (target.bottom - target.top) - (old.bottom - old.top);
        SetWindowPos(sheet, nullptr, target.left, target.top, target.right - target.left,
                     target.bottom - target.top, SWP_NOZORDER | SWP_NOACTIVATE);
        auto tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
        if (tab != nullptr) {
            RECT tr{};
            GetWindowRect(tab, &tr);
            SetWindowPos(tab, nullptr, 0, 0, (tr.right - tr.left) + dw, (tr.bottom - tr.top) + dh,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // Every page is created by its first activation.
        const int active = sheet_.ActiveIndex();
        for (int i = 0; i < kPageCount; ++i) sheet_.Select(i);
        sheet_.Select(active < 0 ? 0 : active);
    }

    void FitFrame() {
        RECT form{};
        GetWindowRect(hwnd_, &form);
        RECT want{0, 0, form.right - form.left, form.bottom - form.top};
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(frame_, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(frame_, GWL_EXSTYLE));
        AdjustWindowRectEx(&want, style, GetMenu(frame_) != nullptr, exStyle);
        SetWindowPos(frame_, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND frame_;
    CDocument& doc_;
    CRemotePropSheet sheet_;
    int32_t viewId_ = 0;
    HWND focus_ = nullptr;
};

}  // namespace
}  // namespace ui32

std::unique_ptr<SettingsView> CreateSettingsView(HWND frame, CDocument& doc) {
    INITCOMMONCONTROLSEX icc{
        sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    auto view = std::make_unique<ui32::CRemoteFormView>(frame, doc);
    if (view->Create() == nullptr) return nullptr;
    return view;
}
