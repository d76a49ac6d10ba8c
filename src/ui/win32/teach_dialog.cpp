// The Teach a Button dialog: its window, and the key box that turns the keys pressed in
// it into a chord instead of text. What the dialog does is TeachDialogLogic's.
#include "ui/win32/teach_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace ui32 {
namespace {

constexpr UINT_PTR kKeyBoxSubclass = 1;

// Each combo item in UTF-8, shown in any script; an open dialog for a program's file,
// owned by the dialog itself.
class TeachControls : public DialogControls {
public:
    explicit TeachControls(HWND& dialog) : DialogControls(dialog), dialog_(dialog) {}
    void AddComboItem(int32_t id, const std::string& text) override {
        const std::wstring wide = Widen(text);
        SendDlgItemMessageW(dialog_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    std::optional<std::string> ChooseExistingFile() override {
        std::vector<wchar_t> path(32768, L'\0');
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = dialog_;
        ofn.lpstrFilter = L"Programs (*.exe)\0*.exe\0All Files (*.*)\0*.*\0\0";
        ofn.lpstrFile = path.data();
        ofn.nMaxFile = static_cast<DWORD>(path.size());
        ofn.lpstrTitle = L"The Program to Teach";
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                    OFN_NOCHANGEDIR;
        if (!GetOpenFileNameW(&ofn)) return std::nullopt;
        return Narrow(std::wstring(path.data()));
    }

private:
    HWND& dialog_;
};

uint32_t ModifiersHeld() {
    uint32_t held = 0;
    if (GetKeyState(VK_CONTROL) < 0) held |= teachmod::Ctrl;
    if (GetKeyState(VK_MENU) < 0) held |= teachmod::Alt;
    if (GetKeyState(VK_SHIFT) < 0) held |= teachmod::Shift;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) held |= teachmod::Win;
    return held;
}

class CTeachDlg : public Dialog {
public:
    CTeachDlg(const KnownProgram* selected, HWND* open)
        : selected_(selected), open_(open), logic_(controls_) {}
    bool SavedAny() const { return logic_.SavedAny(); }

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM) override {
        switch (m) {
            case WM_INITDIALOG:
                if (HWND box = GetDlgItem(hwnd_, IDC_TEACH_KEYS))
                    SetWindowSubclass(box, &KeyBoxProc, kKeyBoxSubclass,
                                      reinterpret_cast<DWORD_PTR>(this));
                if (open_ != nullptr) *open_ = hwnd_;
                logic_.Initialize(selected_);
                return TRUE;
            case kTeachCapturedMessage:
                logic_.OnButtonCaptured(static_cast<int32_t>(wp));
                if (logic_.step() != TeachDialogLogic::Step::WaitingForButton) {
                    SendMessageW(hwnd_, WM_NEXTDLGCTL,
                                 reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, IDC_TEACH_KEYS)), TRUE);
                }
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wp) == IDCANCEL) {  // Close, Escape, the caption's close box
                    logic_.StopWaiting();
                    EndDialog(hwnd_, 0);
                    return TRUE;
                }
                return logic_.OnCommand(LOWORD(wp), HIWORD(wp)) ? TRUE : FALSE;
            case WM_DESTROY:
                // Also when the window goes without Close: its owner destroyed at exit.
                logic_.StopWaiting();
                if (open_ != nullptr) *open_ = nullptr;
                if (HWND box = GetDlgItem(hwnd_, IDC_TEACH_KEYS))
                    RemoveWindowSubclass(box, &KeyBoxProc, kKeyBoxSubclass);
                return FALSE;
            default: return FALSE;
        }
    }

private:
    // The key box: every key pressed in it is a chord for the logic, the system keys
    // included, and none of them types, opens a menu or picks a mnemonic. Tab and
    // Shift+Tab still leave it, and Enter and Escape alone still go to the dialog.
    static LRESULT CALLBACK KeyBoxProc(HWND h, UINT m, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR self) {
        auto* dialog = reinterpret_cast<CTeachDlg*>(self);
        switch (m) {
            case WM_GETDLGCODE: {
                const auto* msg = reinterpret_cast<const MSG*>(lp);
                if (msg != nullptr && msg->message == WM_KEYDOWN) {
                    const uint32_t held = ModifiersHeld();
                    if (msg->wParam == VK_TAB && (held & ~teachmod::Shift) == 0) return 0;
                    if ((msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) && held == 0)
                        return 0;
                }
                return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB |
                       DLGC_WANTMESSAGE;
            }
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN: {
                dialog->logic_.OnKeyPressed(ModifiersHeld(), static_cast<uint16_t>(wp));
                // The characters this key made would be typed, or taken for a mnemonic.
                MSG drop;
                while (PeekMessageW(&drop, h, WM_CHAR, WM_DEADCHAR, PM_REMOVE)) {
                }
                while (PeekMessageW(&drop, h, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
                }
                return 0;
            }
            case WM_KEYUP:
            case WM_SYSKEYUP:
            case WM_CHAR:
            case WM_DEADCHAR:
            case WM_SYSCHAR:
            case WM_SYSDEADCHAR:
            case WM_APPCOMMAND:
            case WM_CONTEXTMENU: return 0;
            default: return DefSubclassProc(h, m, wp, lp);
        }
    }

    const KnownProgram* selected_;
    HWND* open_;
    TeachControls controls_{hwnd_};
    TeachDialogLogic logic_;
};

}  // namespace

bool RunTeachDialog(HWND owner, const KnownProgram* selected, HWND* open) {
    CTeachDlg dialog(selected, open);
    DialogBoxParamW(Instance(), MAKEINTRESOURCEW(IDD_TEACH), owner, &Dialog::DialogProc,
                    reinterpret_cast<LPARAM>(&dialog));
    return dialog.SavedAny();
}

}  // namespace ui32
