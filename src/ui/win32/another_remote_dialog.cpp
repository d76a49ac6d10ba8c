#include "ui/win32/another_remote_dialog.h"

#include <memory>

#include "../../../resources/resource.h"
#include "engine/press_engine.h"
#include "ui/another_remote.h"
#include "ui/win32/ui_win32.h"

namespace ui32 {
namespace {

// Posted by the reader thread after it handed a code to the learner.
constexpr UINT kCodeCapturedMessage = WM_APP + 0x50;

class CAnotherRemoteDlg : public Dialog {
public:
    CAnotherRemoteDlg()
        : learner_(std::make_shared<RemoteLearner>()),
          logic_(controls_, LearnedRemotesFolder(CurrentProfileFolders()), learner_) {}

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM) override {
        switch (m) {
        case WM_INITDIALOG: {
            SendDlgItemMessageW(hwnd_, IDC_REMOTE_NAME, EM_LIMITTEXT, kRemoteNameChars, 0);
            logic_.Initialize();
            // The learner outlives the dialog while a code being handed over still holds
            // it; a message to a window that is gone goes nowhere.
            std::shared_ptr<RemoteLearner> learner = learner_;
            HWND window = hwnd_;
            PressEngineInUse().StartRawCapture(
                [learner, window](const std::vector<uint8_t>& values, uint32_t tick) {
                    learner->Feed(values, tick);
                    PostMessageW(window, kCodeCapturedMessage, 0, 0);
                });
            return TRUE;
        }
        case kCodeCapturedMessage:
            logic_.ShowStatus();
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {
                EndDialog(hwnd_, IDCANCEL);
                return TRUE;
            }
            return logic_.OnCommand(LOWORD(wp), HIWORD(wp)) ? TRUE : FALSE;
        case WM_DESTROY:
            PressEngineInUse().StopRawCapture();
            return FALSE;
        default:
            return FALSE;
        }
    }

private:
    DialogControls controls_{hwnd_};
    std::shared_ptr<RemoteLearner> learner_;
    AnotherRemoteLogic logic_;
};

}  // namespace
}  // namespace ui32

void ShowAnotherRemoteDialog(HWND owner) {
    ui32::CAnotherRemoteDlg dialog;
    DialogBoxParamW(ui32::Instance(), MAKEINTRESOURCEW(IDD_ANOTHER_REMOTE), owner,
                    &ui32::Dialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
}
