// The "Hardware Error" dialog, the unsupported-program warning and the hardware-wait
// window.
#include <windows.h>

#include "state/messages.h"
#include "ui/shell.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/ui_win32.h"

namespace ui32 {
namespace {

class CNoIRDlg : public Dialog {
protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM) override {
        if (m == WM_INITDIALOG) {
            SetForegroundWindow(hwnd_);
            return TRUE;
        }
        if (m == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
            EndDialog(hwnd_, LOWORD(wp));
            return TRUE;
        }
        return FALSE;
    }
};

class CUnsupportedDlg : public Dialog {
public:
    std::string message;
    bool dontShowAgain = false;

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM) override {
        if (m == WM_INITDIALOG) {
            SetDlgItemTextA(hwnd_, IDC_UNSUPPORTED_TEXT, message.c_str());
            CheckDlgButton(hwnd_, IDC_UNSUPPORTED_DONT_SHOW,
                           dontShowAgain ? BST_CHECKED : BST_UNCHECKED);
            SetForegroundWindow(hwnd_);
            return TRUE;
        }
        if (m == WM_COMMAND && LOWORD(wp) == IDOK) {
            // Only OK exchanges the box's state back.
            dontShowAgain = IsDlgButtonChecked(hwnd_, IDC_UNSUPPORTED_DONT_SHOW) == BST_CHECKED;
            EndDialog(hwnd_, IDOK);
            return TRUE;
        }
        if (m == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
            EndDialog(hwnd_, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
};

// Lives from its creation until its window is destroyed, then deletes itself.
class CPlugInDlg : public Dialog {
public:
    // *owned becomes true once the window owns the object (it then deletes itself).
    CPlugInDlg(HWND mainFrame, bool* owned) : mainFrame_(mainFrame), owned_(owned) {}
    ~CPlugInDlg() override {
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
    }

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM) override {
        switch (m) {
            case WM_INITDIALOG: {
                *owned_ = true;
                RECT client{};
                GetClientRect(hwnd_, &client);
                bitmap_ = LoadPictureForDpi(IDB_PLUGIN_WAIT, WindowDpi(hwnd_));
                picture_ = CreateWindowExA(
                    0, "STATIC", "",
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_BITMAP | SS_CENTERIMAGE, 0, 0,
                    client.right, client.bottom, hwnd_, nullptr, Instance(), nullptr);
                if (picture_ != nullptr) {
                    if (bitmap_ != nullptr) {
                        SendMessageA(picture_, STM_SETIMAGE, IMAGE_BITMAP,
                                     reinterpret_cast<LPARAM>(bitmap_));
                    }
                    // A bitmap static sizes itself to its picture; it covers the window.
                    SetWindowPos(picture_, HWND_BOTTOM, 0, 0, client.right, client.bottom,
                                 SWP_NOACTIVATE);
                }
                for (int id : {IDC_PLUGIN_HELP, IDC_PLUGIN_CANCEL}) {
                    SetWindowLongPtrA(
                        GetDlgItem(hwnd_, id), GWL_STYLE,
                        GetWindowLongPtrA(GetDlgItem(hwnd_, id), GWL_STYLE) | WS_CLIPSIBLINGS);
                }
                return TRUE;
            }
            case WM_COMMAND:
                switch (LOWORD(wp)) {
                    case IDC_PLUGIN_CANCEL:
                        if (ConfirmPlugInCancel(Handle(hwnd_))) DestroyWindow(hwnd_);
                        return TRUE;
                    case IDC_PLUGIN_HELP: HelpCommand(Handle(hwnd_)); return TRUE;
                    case IDCANCEL:  // Escape: no question asked
                        DestroyWindow(hwnd_);
                        return TRUE;
                    default: return FALSE;
                }
            case WM_CLOSE: DestroyWindow(hwnd_); return TRUE;
            default: return FALSE;
        }
    }

    void OnGone() override {
        if (mainFrame_ != nullptr) SendMessageA(mainFrame_, WM_REMOTE_PLUGINWAITCLOSED, 0, 0);
        delete this;
    }

private:
    HWND mainFrame_;
    bool* owned_;
    HBITMAP bitmap_ = nullptr;
    HWND picture_ = nullptr;
};

}  // namespace
}  // namespace ui32

void ShowNoIRDialog(HWND owner) {
    ui32::CNoIRDlg dialog;
    DialogBoxParamA(ui32::Instance(), MAKEINTRESOURCEA(IDD_NOIR), owner, &ui32::Dialog::DialogProc,
                    reinterpret_cast<LPARAM>(&dialog));
}

UnsupportedAnswer ShowUnsupportedDialogModal(const std::string& text) {
    ui32::CUnsupportedDlg dialog;
    dialog.message = text;
    const INT_PTR result =
        DialogBoxParamA(ui32::Instance(), MAKEINTRESOURCEA(IDD_UNSUPPORTED), nullptr,
                        &ui32::Dialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
    return UnsupportedDialogResult(result == IDOK, dialog.dontShowAgain);
}

HWND CreatePlugInDialog(HWND mainFrame) {
    bool owned = false;
    auto* dialog = new ui32::CPlugInDlg(mainFrame, &owned);
    HWND h = CreateDialogParamA(ui32::Instance(), MAKEINTRESOURCEA(IDD_PLUGIN_WAIT), mainFrame,
                                &ui32::Dialog::DialogProc, reinterpret_cast<LPARAM>(dialog));
    if (h == nullptr) {
        if (!owned) delete dialog;
        return nullptr;
    }
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOREDRAW);
    ShowWindow(h, SW_SHOW);
    return h;
}

bool IsSettingsDialogMessage(MSG* msg, HWND plugInWait, SettingsView* view) {
    if (plugInWait != nullptr && IsWindow(plugInWait) && IsDialogMessageA(plugInWait, msg))
        return true;
    return view != nullptr && view->PreTranslate(msg);
}
