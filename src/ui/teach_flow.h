// The "Teach a button" dialog of the Programs page, apart from its window: which program
// is taught, the remote button caught while the press engine captures, what the button
// is to do (a chord pressed on the keyboard or a choice from the list), and the save into
// the user's profile file. The Win32 dialog hands its notifications here and draws what
// this class tells it through PageControls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/pages.h"

// Posted to the dialog from the reader thread: wParam is the button captured.
constexpr MessageId kTeachCapturedMessage = 0x8000 + 0x132;  // WM_APP + 0x132

// Modifier bits of a chord pressed on the keyboard.
namespace teachmod {
constexpr uint32_t Ctrl = 1, Alt = 2, Shift = 4, Win = 8;
}

// "Ctrl+Shift+P" as a profile file writes the chord; "" when the key is a modifier itself
// or a key a file cannot name.
std::string ChordText(uint32_t modifiers, uint16_t key);

// One entry of the dialog's list of actions: what the list shows, and the value a file
// writes for it.
struct TeachChoice {
    std::string label;
    std::string action;
};
// `none`, `default`, the keys the key box leaves to the dialog (Enter, Tab, Esc), then
// every app command the loader knows.
std::vector<TeachChoice> TeachChoices();

// The program an executable stands for: its file name (a path's last part) in lower case
// matched against the programs the remote knows (the user's files first, then the shipped
// ones, then the built-in rows); a program none of them knows is named by its process.
// An empty name gives a program without a process, which cannot be saved.
KnownProgram ProgramOfProcess(const std::string& processOrPath);

// A top-level window open now that teaching can name: its title and its program's process.
struct OpenProgramWindow {
    WindowHandle window = 0;
    std::string title;    // UTF-8
    std::string process;  // as a profile file matches it: a packaged app's own process
};
// The visible, titled top-level windows of other processes, in the system's order, one
// per process and title.
std::vector<OpenProgramWindow> OpenProgramWindows();

extern const char* const kTeachWaitingText;

class TeachDialogLogic {
public:
    enum class Step {
        WaitingForButton,  // the engine captures; nothing can be saved yet
        ChoosingAction,    // a button is known; the save needs an action
        Ready,             // program, button and action known
        Saved,
    };

    explicit TeachDialogLogic(PageControls& controls) : c_(controls) {}
    ~TeachDialogLogic() { StopWaiting(); }
    TeachDialogLogic(const TeachDialogLogic&) = delete;
    TeachDialogLogic& operator=(const TeachDialogLogic&) = delete;

    // After the controls exist: the programs to choose from (the page's selection first,
    // when there is one), the list of actions, and the wait for a remote button begins.
    void Initialize(const KnownProgram* selected);
    bool OnCommand(int32_t id, uint32_t code);
    // kTeachCapturedMessage arrived.
    void OnButtonCaptured(int32_t button);
    // A key went down in the key box with these modifiers held; ignored while the key
    // alone is a modifier.
    void OnKeyPressed(uint32_t modifiers, uint16_t key);
    // Every way out of the dialog ends the capture (also done by the destructor).
    void StopWaiting();

    Step step() const { return step_; }
    bool SavedAny() const { return savedAny_; }
    const std::string& Action() const { return action_; }

private:
    void StartWaiting();
    void Show();
    void ChooseProgram(int32_t index);
    void Browse();
    void Save();

    PageControls& c_;
    std::vector<KnownProgram> programs_;  // parallel to the program combo's items
    std::vector<TeachChoice> choices_;    // parallel to the list's items
    int32_t button_ = -1;
    std::string action_;
    Step step_ = Step::WaitingForButton;
    bool capturing_ = false;
    bool savedAny_ = false;
    std::string result_;
};
