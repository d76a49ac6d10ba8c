#include "ui/pages.h"

#include <algorithm>
#include <cctype>

#include "engine/events.h"
#include "engine/macros.h"
#include "platform/vk.h"
#include "receiver/remote_button.h"
#include "state/messages.h"
#include "ui/document.h"
#include "ui/osd.h"
#include "ui/profile_watch.h"
#include "ui/teach.h"

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

const char* const kProgramColumns[2] = {"Program", "Source"};
const char* const kButtonColumns[3] = {"Button", "Does", "From"};
const char* const kNoProblemsText = "Files not loaded: none, every profile file is in use.";

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string SourceText(const KnownProgram& p) {
    switch (p.source) {
        case ProgramSource::User: return "My profile " + p.fileName;
        case ProgramSource::Shipped: return "Shipped " + p.fileName;
        case ProgramSource::BuiltIn: break;
    }
    return "Built-in row " + std::to_string(p.row);
}

std::string ProgramText(const KnownProgram& p) {
    if (p.source == ProgramSource::BuiltIn || p.process.empty() || Lower(p.name) == p.process)
        return p.name;
    return p.name + " (" + p.process + ")";
}

bool SameProgram(const KnownProgram& a, const KnownProgram& b) {
    return a.source == b.source && a.fileName == b.fileName && a.row == b.row;
}

// What a global button does whatever is in front, by the settings.
std::string GlobalUse(int32_t b) {
    const RemoteSettings* s = CurrentSettings();
    switch (b) {
        case VolumeUp: return "volume up";
        case VolumeDown: return "volume down";
        case Mute: return "mute";
        case Power: {
            if (s == nullptr || s->PowerButtonEnabled.load() == 0) return "nothing (the power button is off)";
            const int32_t mode = s->PowerButtonMode.load();
            return kPowerModeNames[mode >= 0 && mode < 3 ? mode : 3];
        }
        default: break;
    }
    const int n = b - MacroButton1 + 1;
    if (s == nullptr) return "macro";
    const int32_t macro = s->GetMacro(n);
    std::string text = MacroActionName(macro);
    if (macro == kMacroQuickLaunch && !s->GetFavorite(n).empty()) text += " " + s->GetFavorite(n);
    return text;
}

}  // namespace

bool ProgramsPageLogic::Fill() {
    const KnownProgram* selected = Selected();
    const std::optional<KnownProgram> keep =
        selected != nullptr ? std::optional<KnownProgram>(*selected) : std::nullopt;
    all_ = KnownPrograms();
    std::stable_sort(all_.begin(), all_.end(), [](const KnownProgram& a, const KnownProgram& b) {
        const std::string la = Lower(a.name), lb = Lower(b.name);
        return la != lb ? la < lb : a.source < b.source;
    });
    ShowList(keep ? &*keep : nullptr);

    const std::vector<ProfileProblem> problems = ProfileProblemsInForce();
    std::vector<std::vector<std::string>> rows;
    for (const ProfileProblem& p : problems) rows.push_back({p.Describe()});
    c_.SetListRows(IDC_PROGRAMS_PROBLEMS, rows);
    c_.SetText(IDC_PROGRAMS_PROBLEMS_LABEL,
               problems.empty() ? kNoProblemsText
                                : "Files &not loaded (" + std::to_string(problems.size()) + "):");
    return true;
}

void ProgramsPageLogic::ShowList(const KnownProgram* keep) {
    const std::string search = Lower(c_.Text(IDC_PROGRAMS_SEARCH));
    listed_.clear();
    for (const KnownProgram& p : all_) {
        const std::string words =
            Lower(ProgramText(p) + "\n" + p.process + "\n" + SourceText(p));
        if (words.find(search) != std::string::npos) listed_.push_back(p);
    }
    std::vector<std::vector<std::string>> rows;
    int32_t select = listed_.empty() ? pagemsg::CB_NONE : 0;
    for (size_t i = 0; i < listed_.size(); ++i) {
        rows.push_back({ProgramText(listed_[i]), SourceText(listed_[i])});
        if (keep != nullptr && SameProgram(listed_[i], *keep)) select = static_cast<int32_t>(i);
    }
    filling_ = true;
    c_.SetListRows(IDC_PROGRAMS_LIST, rows);
    c_.SetListSelection(IDC_PROGRAMS_LIST, select);
    filling_ = false;
    ShowButtons();
}

const KnownProgram* ProgramsPageLogic::Selected() const {
    const int32_t index = c_.ListSelection(IDC_PROGRAMS_LIST);
    return index >= 0 && static_cast<size_t>(index) < listed_.size()
               ? &listed_[static_cast<size_t>(index)]
               : nullptr;
}

void ProgramsPageLogic::ShowButtons() {
    const KnownProgram* program = Selected();
    std::vector<std::vector<std::string>> rows;
    if (program != nullptr) {
        const std::vector<ButtonUse> uses = ButtonsOf(*program);
        const RemoteSettings* s = CurrentSettings();
        for (int32_t b = 0; b < kButtonCount; ++b) {
            ButtonUse use = uses[static_cast<size_t>(b)];
            // The way back out of mouse mode is never a file's to take.
            if (b >= MacroButton1 && b <= MacroButton4 && s != nullptr &&
                s->GetMacro(b - MacroButton1 + 1) == kMacroToggleMouseMode)
                use.kind = ButtonUse::Global;
            std::string does = use.action, from = use.from;
            if (use.kind == ButtonUse::Global) {
                does = GlobalUse(b);
                from = "global button";
            } else if (use.kind == ButtonUse::Default) {
                const std::string key = DefaultKeystrokeName(b);
                does = key.empty() ? "nothing" : key;
                from = "default key";
            }
            rows.push_back({RemoteButtonName(b), does, from});
        }
    }
    c_.SetListRows(IDC_PROGRAMS_BUTTONS, rows);
    c_.SetEnabled(IDC_PROGRAMS_COPY, program != nullptr);
}

bool ProgramsPageLogic::OnCommand(int32_t id, uint32_t code) {
    switch (id) {
        case IDC_PROGRAMS_SEARCH:
            if (code == EN_UPDATE_ && !filling_) {
                const KnownProgram* selected = Selected();
                const std::optional<KnownProgram> keep =
                    selected != nullptr ? std::optional<KnownProgram>(*selected) : std::nullopt;
                ShowList(keep ? &*keep : nullptr);
            }
            return true;
        case IDC_PROGRAMS_LIST:
            if (code == pagemsg::LIST_SELCHANGE_ && !filling_) ShowButtons();
            return true;
        case IDC_PROGRAMS_COPY:
            if (code == BN_CLICKED_) CopyToMyProfiles();
            return true;
        case IDC_PROGRAMS_OPEN:
            if (code == BN_CLICKED_) OpenMyProfilesFolder();
            return true;
        default: return false;
    }
}

void ProgramsPageLogic::CopyToMyProfiles() {
    const KnownProgram* program = Selected();
    FolderFiles* files = Os().folders;
    if (program == nullptr || files == nullptr) return;
    const KnownProgram chosen = *program;
    // A file's own program by its process: the file in force for it is what is copied.
    const std::string what =
        chosen.source == ProgramSource::BuiltIn ? std::to_string(chosen.row) : chosen.process;
    const ProfileFolderPaths paths = CurrentProfileFolders();
    const ExportReport report = ExportProfileToUserFolder(what, *files, paths, &InstallProfiles,
                                                          &ExportProfile);
    if (report.ok) {
        // The new file is in force and listed at once, not only at the folders' next poll.
        ReloadProfileFolders(*files, paths);
        KnownProgram written;
        written.source = ProgramSource::User;
        written.fileName = report.path.substr(report.path.find_last_of('\\') + 1);
        filling_ = true;
        c_.SetText(IDC_PROGRAMS_SEARCH, "");
        filling_ = false;
        Fill();
        ShowList(&written);
    }
    (void)ShowBox(c_.Window(), report.text.c_str(), report.ok ? "Orbiscope Remote" : kErrorCaption,
                  kMbOk | (report.ok ? kMbIconInformation : kMbIconExclamation));
}

void ProgramsPageLogic::OpenMyProfilesFolder() {
    FolderFiles* files = Os().folders;
    const std::string folder = CurrentProfileFolders().user;
    if (files == nullptr || folder.empty() || !files->MakeFolders(folder)) {
        const std::string text = "Your profiles folder " + folder + " cannot be made.";
        (void)ShowBox(c_.Window(), text.c_str(), kErrorCaption, kMbOk | kMbIconExclamation);
        return;
    }
    if (Shell* shell = Os().shell) (void)shell->Execute(c_.Window(), "open", folder, "", "", kSwShowNormal);
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
