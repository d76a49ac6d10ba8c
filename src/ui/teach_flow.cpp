#include "ui/teach_flow.h"

#include <cctype>
#include <set>
#include <utility>

#include "engine/macros.h"
#include "engine/press_engine.h"
#include "platform/vk.h"
#include "profiles/profile_model.h"
#include "receiver/remote_button.h"
#include "state/key_names.h"
#include "ui/profile_watch.h"
#include "ui/teach.h"

const char* const kTeachWaitingText =
    "Press the button on the remote now. Until you do, its presses do nothing else.";

namespace {

using pagemsg::BN_CLICKED_;
using pagemsg::CB_NONE;
using pagemsg::CBN_SELCHANGE_;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsModifierKey(uint16_t key) {
    return key == vk::SHIFT || key == vk::CONTROL || key == vk::MENU || key == vk::LWIN ||
           key == 0x5C /* right Windows key */ || (key >= 0xA0 && key <= 0xA5) /* left/right */;
}

std::string ProgramLabel(const KnownProgram& p) {
    if (p.process.empty() || Lower(p.name) == p.process) return p.name;
    return p.name + " (" + p.process + ")";
}

}  // namespace

std::string ChordText(uint32_t modifiers, uint16_t key) {
    if (IsModifierKey(key)) return std::string();
    const std::string name = FileKeyName(key);
    if (name.empty()) return std::string();
    std::string chord;
    if (modifiers & teachmod::Ctrl) chord += "Ctrl+";
    if (modifiers & teachmod::Alt) chord += "Alt+";
    if (modifiers & teachmod::Shift) chord += "Shift+";
    if (modifiers & teachmod::Win) chord += "Win+";
    return chord + name;
}

std::vector<TeachChoice> TeachChoices() {
    std::vector<TeachChoice> choices = {
        {"nothing: the press is taken (none)", "\"none\""},
        {"as without your file (default)", "\"default\""},
        {"the Enter key", "\"Enter\""},
        {"the Tab key", "\"Tab\""},
        {"the Esc key", "\"Esc\""},
    };
    for (uint16_t command = 0; command < 256; ++command) {
        if (const char* name = profile_model::AppCommandNameOf(command))
            choices.push_back({std::string("app command ") + name,
                               std::string("{ app_command = \"") + name + "\" }"});
    }
    return choices;
}

KnownProgram ProgramOfProcess(const std::string& processOrPath) {
    const size_t slash = processOrPath.find_last_of("\\/");
    const std::string process =
        Lower(slash == std::string::npos ? processOrPath : processOrPath.substr(slash + 1));
    if (!process.empty()) {
        for (const KnownProgram& known : KnownPrograms()) {
            if (known.process == process) return known;
        }
    }
    KnownProgram unknown;
    unknown.name = process;
    unknown.process = process;
    return unknown;
}

std::vector<OpenProgramWindow> OpenProgramWindows() {
    std::vector<OpenProgramWindow> open;
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return open;
    const ProcessId self = Os().processes != nullptr ? Os().processes->CurrentProcess() : 0;
    std::set<std::pair<std::string, std::string>> seen;
    for (const WindowHandle w : desktop->TopLevelWindows()) {
        std::string title;
        if (!desktop->IsVisible(w) || !desktop->WindowText(w, 0, title) || title.empty()) continue;
        if (self != 0 && desktop->WindowProcess(w) == self) continue;
        const std::string process = Lower(ProfileProcessOfWindow(w));
        if (process.empty() || !seen.insert({process, title}).second) continue;
        open.push_back({w, desktop->AnsiToUtf8(title), process});
    }
    return open;
}

void TeachDialogLogic::Initialize(const KnownProgram* selected) {
    if (selected != nullptr) {
        programs_.push_back(*selected);
        c_.AddComboItem(IDC_TEACH_PROGRAM, ProgramLabel(*selected) + ", chosen on the page");
    }
    for (const OpenProgramWindow& w : OpenProgramWindows()) {
        programs_.push_back(ProgramOfProcess(w.process));
        c_.AddComboItem(IDC_TEACH_PROGRAM, w.title + " (" + w.process + ")");
    }
    c_.SetComboSelection(IDC_TEACH_PROGRAM, programs_.empty() ? CB_NONE : 0);
    choices_ = TeachChoices();
    for (const TeachChoice& choice : choices_) c_.AddComboItem(IDC_TEACH_LIST, choice.label);
    StartWaiting();
}

void TeachDialogLogic::StartWaiting() {
    button_ = -1;
    result_.clear();
    if (!capturing_) {
        Desktop* desktop = Os().desktop;
        const WindowHandle window = c_.Window();
        // On the reader thread: the dialog learns the button on its own thread.
        PressEngineInUse().StartCapture([desktop, window](int32_t button) {
            if (desktop != nullptr)
                (void)desktop->Post(window, kTeachCapturedMessage, static_cast<WParam>(button), 0);
        });
        capturing_ = true;
    }
    Show();
}

void TeachDialogLogic::StopWaiting() {
    if (!capturing_) return;
    capturing_ = false;
    PressEngineInUse().StopCapture();
}

void TeachDialogLogic::OnButtonCaptured(int32_t button) {
    // Presses caught before the capture ended are late for this dialog.
    if (!capturing_ || button < 0 || button >= kButtonCount) return;
    StopWaiting();
    button_ = button;
    Show();
}

void TeachDialogLogic::OnKeyPressed(uint32_t modifiers, uint16_t key) {
    if (capturing_ || button_ < 0) return;
    const std::string chord = ChordText(modifiers, key);
    if (chord.empty()) return;
    action_ = "\"" + chord + "\"";
    result_.clear();
    c_.SetText(IDC_TEACH_KEYS, chord);
    c_.SetComboSelection(IDC_TEACH_LIST, CB_NONE);
    Show();
}

bool TeachDialogLogic::OnCommand(int32_t id, uint32_t code) {
    switch (id) {
        case IDC_TEACH_PROGRAM:
            if (code == CBN_SELCHANGE_) {
                result_.clear();
                Show();
            }
            return true;
        case IDC_TEACH_BROWSE:
            if (code == BN_CLICKED_) Browse();
            return true;
        case IDC_TEACH_AGAIN:
            if (code == BN_CLICKED_) StartWaiting();
            return true;
        case IDC_TEACH_LIST:
            if (code == CBN_SELCHANGE_) {
                const int32_t at = c_.ComboSelection(IDC_TEACH_LIST);
                if (at >= 0 && static_cast<size_t>(at) < choices_.size()) {
                    action_ = choices_[static_cast<size_t>(at)].action;
                    result_.clear();
                    c_.SetText(IDC_TEACH_KEYS, "");
                    Show();
                }
            }
            return true;
        case IDC_TEACH_KEYS: return true;  // its keys arrive through OnKeyPressed
        case IDC_TEACH_SAVE:
            if (code == BN_CLICKED_) Save();
            return true;
        default: return false;
    }
}

void TeachDialogLogic::Browse() {
    const std::optional<std::string> path = c_.ChooseExistingFile();
    if (!path) return;
    const KnownProgram program = ProgramOfProcess(*path);
    if (program.process.empty()) return;
    programs_.push_back(program);
    c_.AddComboItem(IDC_TEACH_PROGRAM, ProgramLabel(program) + ", chosen from its file");
    c_.SetComboSelection(IDC_TEACH_PROGRAM, static_cast<int32_t>(programs_.size()) - 1);
    result_.clear();
    Show();
}

void TeachDialogLogic::Save() {
    const int32_t at = c_.ComboSelection(IDC_TEACH_PROGRAM);
    FolderFiles* files = Os().folders;
    if (step_ != Step::Ready || at < 0 || static_cast<size_t>(at) >= programs_.size() ||
        files == nullptr)
        return;
    const TaughtSave save = SaveTaughtButton(*files, CurrentProfileFolders(),
                                             programs_[static_cast<size_t>(at)], button_, action_);
    if (!save.ok) {
        if (UserInterface* ui = Os().ui)
            (void)ui->ShowMessageBox(c_.Window(), save.text.c_str(), kErrorCaption,
                                     kMbOk | kMbIconExclamation);
        return;
    }
    savedAny_ = true;
    result_ = save.text;
    Show();
}

void TeachDialogLogic::Show() {
    const bool program = c_.ComboSelection(IDC_TEACH_PROGRAM) >= 0;
    const bool button = button_ >= 0;
    if (capturing_)
        step_ = Step::WaitingForButton;
    else if (!result_.empty())
        step_ = Step::Saved;
    else if (program && button && !action_.empty())
        step_ = Step::Ready;
    else
        step_ = Step::ChoosingAction;

    c_.SetText(IDC_TEACH_BUTTON_TEXT,
               capturing_ ? std::string(kTeachWaitingText)
               : button   ? std::string("The remote's button: ") + RemoteButtonName(button_)
                          : std::string());
    c_.SetEnabled(IDC_TEACH_AGAIN, !capturing_);
    c_.SetEnabled(IDC_TEACH_KEYS, button);
    c_.SetEnabled(IDC_TEACH_LIST, button);
    c_.SetEnabled(IDC_TEACH_SAVE, step_ == Step::Ready);
    c_.SetText(IDC_TEACH_LINE,
               button && !action_.empty()
                   ? std::string("The line: ") + RemoteButtonName(button_) + " = " + action_
                   : std::string());
    c_.SetText(IDC_TEACH_RESULT, result_);
}
