#include "ui/pages.h"

#include "platform/vk.h"
#include "state/messages.h"
#include "ui/document.h"
#include "ui/osd.h"

using pagemsg::BN_CLICKED_;
using pagemsg::CB_NONE;
using pagemsg::CBN_SELCHANGE_;
using pagemsg::EN_UPDATE_;

const char* const kPowerModeNames[4] = {"Standby", "Hibernate", "Shutdown",
                                        "Activate Screensaver"};
const char* const kPowerWarningText =
    "Warning: If you press the Power button on your remote, your computer/monitor will now "
    "turn off.";
const char* const kPowerWarningCaption = "Orbiscope Warning";
const char* const kMouseTipText =
    "Tip: Now you can use the arrow buttons to control your mouse cursor.\n"
    "Press \"OK\" to left-click and \"Exit\" to right-click.\n"
    "You can also use a macro button to turn on/off mouse mode.\n"
    "Check the Orbiscope Help for tips and tricks on mouse control.";
const char* const kMouseTipCaption = "Orbiscope Tip";
const char* const kPlugInCancelQuestion =
    "Are you sure you want to Cancel?  Windows can take a minute or longer (on slow systems) "
    "to detect new hardware.";

namespace {
int32_t ShowBox(WindowHandle owner, const char* text, const char* caption, uint32_t flags) {
    UserInterface* ui = Os().ui;
    return ui == nullptr ? kIdOk : ui->ShowMessageBox(owner, text, caption, flags);
}
}  // namespace

int32_t FindItemStartingWith(PageControls& controls, int32_t combo, const std::string& name) {
    const int32_t count = controls.ComboCount(combo);
    for (int32_t i = 0; i < count; ++i) {
        if (controls.ComboItem(combo, i).compare(0, name.size(), name) == 0) return i;
    }
    return CB_NONE;
}

void MacrosPageLogic::Initialize() {
    for (const MacroRow& row : kMacroRows) {
        for (int32_t i = 0; i < kMacroActionCount; ++i) c_.AddComboItem(row.combo, MacroActionName(i));
    }
    Fill();
}

bool MacrosPageLogic::Fill() {
    const RemoteSettings* s = CurrentSettings();
    if (s == nullptr) return false;
    filling_ = true;
    for (int n = 1; n <= 4; ++n) {
        const MacroRow& row = kMacroRows[n - 1];
        const int32_t macro = s->GetMacro(n);
        c_.SetComboSelection(row.combo, FindItemStartingWith(c_, row.combo, MacroActionName(macro)));
        c_.SetEnabled(row.edit, macro == 0);
        c_.SetEnabled(row.browse, macro == 0);
        c_.SetText(row.edit, s->GetFavorite(n));
    }
    filling_ = false;
    return true;
}

bool MacrosPageLogic::OnCommand(int32_t id, uint32_t code) {
    for (int n = 1; n <= 4; ++n) {
        const MacroRow& row = kMacroRows[n - 1];
        if (id == row.combo) {
            if (code != CBN_SELCHANGE_) return true;
            const int32_t index = c_.ComboSelection(row.combo);
            RemoteSettings* s = CurrentSettings();
            if (index == CB_NONE || s == nullptr) return true;
            s->SetMacro(n, index);
            c_.SetEnabled(row.edit, index == 0);
            c_.SetEnabled(row.browse, index == 0);
            return true;
        }
        if (id == row.edit) {
            if (code != EN_UPDATE_ || filling_) return true;
            if (RemoteSettings* s = CurrentSettings()) s->SetFavorite(n, c_.Text(row.edit));
            return true;
        }
        if (id == row.browse) {
            if (code != BN_CLICKED_) return true;
            const std::optional<std::string> path = c_.ChooseExistingFile();
            RemoteSettings* s = CurrentSettings();
            if (!path || s == nullptr) return true;
            s->SetFavorite(n, *path);
            if (doc_ != nullptr) {
                doc_->UpdateAllViews();
            } else {
                Fill();
            }
            return true;
        }
    }
    return false;
}

void AdvancedPageLogic::Initialize() {
    for (const char* name : kPowerModeNames) c_.AddComboItem(IDC_POWER_MODE_COMBO, name);
    Fill();
}

bool AdvancedPageLogic::Fill() {
    const RemoteSettings* s = CurrentSettings();
    if (s == nullptr) return false;
    c_.SetSliderPos(IDC_VOLUME_SLIDER, s->VolumeSensitivity.load());
    c_.SetSliderPos(IDC_REPEAT_DELAY_SLIDER, 100 - s->RepeatDelay.load());
    c_.SetSliderPos(IDC_REPEAT_RATE_SLIDER, 100 - s->RepeatRate.load());
    c_.SetChecked(IDC_POWER_BUTTON_CHECK, s->PowerButtonEnabled.load() != 0);
    c_.SetChecked(IDC_SAVER_WAKEUP_CHECK, s->ScreenSaverWakeupEnabled.load() != 0);
    c_.SetChecked(IDC_AUTOSWITCH_CHECK, s->AutoSwitchEnabled.load() != 0);
    c_.SetChecked(IDC_MOUSE_MODE_CHECK, s->MouseModeEnabled.load() != 0);
    c_.SetChecked(IDC_OSD_CHECK, s->OnScreenDisplay.load() != 0);
    const int32_t mode = s->PowerButtonMode.load();
    c_.SetComboSelection(IDC_POWER_MODE_COMBO, mode >= 0 && mode < 4 ? mode : CB_NONE);
    return true;
}

bool AdvancedPageLogic::OnCommand(int32_t id, uint32_t code) {
    RemoteSettings* s = CurrentSettings();
    switch (id) {
    case IDC_POWER_BUTTON_CHECK:
    case IDC_MOUSE_MODE_CHECK:
    case IDC_SAVER_WAKEUP_CHECK:
    case IDC_OSD_CHECK:
    case IDC_AUTOSWITCH_CHECK: {
        if (code != BN_CLICKED_ || s == nullptr) return true;
        const bool checked = c_.Checked(id);
        const int32_t value = checked ? 1 : 0;
        if (id == IDC_POWER_BUTTON_CHECK) {
            s->SetPowerButtonEnabled(value);
            if (checked) {
                (void)ShowBox(c_.Window(), kPowerWarningText, kPowerWarningCaption,
                              kMbOk | kMbIconExclamation);
            }
        } else if (id == IDC_MOUSE_MODE_CHECK) {
            s->SetMouseModeEnabled(value);
            if (checked) {
                (void)ShowBox(c_.Window(), kMouseTipText, kMouseTipCaption,
                              kMbOk | kMbIconInformation);
            }
        } else if (id == IDC_SAVER_WAKEUP_CHECK) {
            s->SetScreenSaverWakeupEnabled(value);
        } else if (id == IDC_OSD_CHECK) {
            s->SetOnScreenDisplay(value);
            ApplyOnScreenDisplaySetting();
        } else {
            s->SetAutoSwitchEnabled(value);
        }
        return true;
    }
    case IDC_POWER_MODE_COMBO: {
        if (code != CBN_SELCHANGE_ || s == nullptr) return true;
        const int32_t index = c_.ComboSelection(IDC_POWER_MODE_COMBO);
        if (index != CB_NONE) s->SetPowerButtonMode(index);
        return true;
    }
    default:
        return false;
    }
}

void AdvancedPageLogic::OnHScroll() {
    RemoteSettings* s = CurrentSettings();
    if (s == nullptr) return;
    const int32_t volume = c_.SliderPos(IDC_VOLUME_SLIDER);
    const int32_t delay = c_.SliderPos(IDC_REPEAT_DELAY_SLIDER);
    const int32_t rate = c_.SliderPos(IDC_REPEAT_RATE_SLIDER);
    s->SetVolumeSensitivity(volume);
    s->SetRepeatDelay(100 - delay);
    s->SetRepeatRate(100 - rate);
}

UnsupportedAnswer UnsupportedDialogResult(bool endedWithOk, bool checked) {
    UnsupportedAnswer answer;
    answer.closedWithOk = endedWithOk;
    answer.dontShowAgain = endedWithOk && checked;
    return answer;
}

bool ConfirmPlugInCancel(WindowHandle owner) {
    return ShowBox(owner, kPlugInCancelQuestion, "Orbiscope", kMbYesNo) == kIdYes;
}

void OpenLink(WindowHandle owner, const std::string& url) {
    if (Shell* shell = Os().shell) (void)shell->Execute(owner, "open", url, "", "", kSwShowNormal);
}

void FormOk(CDocument& doc, WindowHandle frame) {
    (void)doc.SaveModified();
    if (Desktop* desktop = Os().desktop) (void)desktop->Post(frame, WM_REMOTE_HIDESETTINGS, 0, 0);
}

void FormCancel(CDocument& doc, WindowHandle frame) {
    if (doc.IsModified()) {
        (void)doc.OnOpenDocument(nullptr);
        ApplyOnScreenDisplaySetting();
    }
    if (Desktop* desktop = Os().desktop) (void)desktop->Post(frame, WM_REMOTE_HIDESETTINGS, 0, 0);
}
