// What the settings pages and dialogs do, apart from the windows themselves: how each
// page fills its controls from the settings record and what every control change does
// to the record. The Win32 pages hand their notifications here and draw what these
// classes tell them through PageControls, so the whole behaviour runs against fakes too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "../../resources/resource.h"
#include "platform/ports.h"
#include "profiles/profile_files.h"
#include "state/settings.h"

class CDocument;

// Notification codes and item values as the system sends them.
namespace pagemsg {
constexpr uint32_t BN_CLICKED_ = 0;
constexpr uint32_t CBN_SELCHANGE_ = 1;
constexpr uint32_t EN_UPDATE_ = 0x0400;
constexpr int32_t CB_NONE = -1;  // no combo selection
// Not the system's: the Win32 page turns a list view's changed selection into this code.
constexpr uint32_t LIST_SELCHANGE_ = 0x10000;
}  // namespace pagemsg

// The controls of one page, addressed by their template ids.
class PageControls {
public:
    PageControls() = default;
    PageControls(const PageControls&) = delete;
    PageControls& operator=(const PageControls&) = delete;
    virtual ~PageControls() = default;

    virtual WindowHandle Window() = 0;
    virtual void AddComboItem(int32_t id, const std::string& text) = 0;
    virtual int32_t ComboCount(int32_t id) = 0;
    virtual std::string ComboItem(int32_t id, int32_t index) = 0;
    virtual void SetComboSelection(int32_t id, int32_t index) = 0;  // CB_NONE clears it
    virtual int32_t ComboSelection(int32_t id) = 0;
    virtual void SetEnabled(int32_t id, bool enabled) = 0;
    virtual void SetText(int32_t id, const std::string& text) = 0;
    virtual std::string Text(int32_t id) = 0;
    virtual void SetSliderPos(int32_t id, int32_t pos) = 0;
    virtual int32_t SliderPos(int32_t id) = 0;
    virtual void SetChecked(int32_t id, bool checked) = 0;
    virtual bool Checked(int32_t id) = 0;
    // A file-open dialog owned by the sheet for an existing file; nullopt if cancelled.
    virtual std::optional<std::string> ChooseExistingFile() = 0;
    // A list of rows, each with its columns' texts (a report-style list view or a list box).
    // Replacing the rows clears the selection.
    virtual void SetListRows(int32_t id, const std::vector<std::vector<std::string>>& rows) = 0;
    virtual int32_t ListSelection(int32_t id) = 0;  // CB_NONE when none
    virtual void SetListSelection(int32_t id, int32_t index) = 0;
};

// One macro row of the Macros page: its combo, edit and Browse button.
struct MacroRow {
    int32_t combo;
    int32_t edit;
    int32_t browse;
};
constexpr MacroRow kMacroRows[4] = {
    {IDC_MACRO1_COMBO, IDC_MACRO1_EDIT, IDC_MACRO1_BROWSE},
    {IDC_MACRO2_COMBO, IDC_MACRO2_EDIT, IDC_MACRO2_BROWSE},
    {IDC_MACRO3_COMBO, IDC_MACRO3_EDIT, IDC_MACRO3_BROWSE},
    {IDC_MACRO4_COMBO, IDC_MACRO4_EDIT, IDC_MACRO4_BROWSE},
};

// The combo item whose text starts with `name`, or CB_NONE.
int32_t FindItemStartingWith(PageControls& controls, int32_t combo, const std::string& name);

// The Macros page (template 107).
class MacrosPageLogic {
public:
    // doc: told to update its views after a browsed file (may be null).
    MacrosPageLogic(PageControls& controls, CDocument* doc) : c_(controls), doc_(doc) {}

    // After the controls exist: the ten action names in each combo, then a fill.
    void Initialize();
    // Shows the settings. Returns false when there is no settings record.
    bool Fill();
    // One WM_COMMAND from the page; true when it was one of the page's own.
    bool OnCommand(int32_t id, uint32_t code);

private:
    PageControls& c_;
    CDocument* doc_;
    // The page's own writes into the edits raise the same change notification as the
    // user's typing; they must not count as edits.
    bool filling_ = false;
};

// The Advanced page (template 215).
extern const char* const kPowerModeNames[4];
extern const char* const kPowerWarningText;
extern const char* const kPowerWarningCaption;
extern const char* const kMouseTipText;
extern const char* const kMouseTipCaption;

class AdvancedPageLogic {
public:
    explicit AdvancedPageLogic(PageControls& controls) : c_(controls) {}

    // After the controls exist: the power modes in combo 1041, then a fill.
    void Initialize();
    bool Fill();
    bool OnCommand(int32_t id, uint32_t code);
    // Any horizontal scroll message from a slider of the page.
    void OnHScroll();

private:
    PageControls& c_;
};

// The Programs page (template IDD_PROGRAMS_PAGE): every program the remote knows, what
// each button does in the selected one and from which layer, and the profile files that
// could not be used.
extern const char* const kProgramColumns[2];
extern const char* const kButtonColumns[3];
extern const char* const kNoProblemsText;

class ProgramsPageLogic {
public:
    explicit ProgramsPageLogic(PageControls& controls) : c_(controls) {}

    void Initialize() { (void)Fill(); }
    // Reads the programs and problems in force again; the selected program stays selected
    // while it is still listed.
    bool Fill();
    bool OnCommand(int32_t id, uint32_t code);
    // The programs listed now, in the list's order.
    const std::vector<KnownProgram>& Listed() const { return listed_; }
    // The program chosen in the list; null when none is.
    const KnownProgram* SelectedProgram() const { return Selected(); }

private:
    void ShowList(const KnownProgram* keep);
    void ShowButtons();
    const KnownProgram* Selected() const;
    void CopyToMyProfiles();
    void OpenMyProfilesFolder();

    PageControls& c_;
    std::vector<KnownProgram> all_, listed_;
    // The page's own changes of the list raise the same notifications as the user's.
    bool filling_ = false;
};

// The unsupported-program warning: what the dispatcher learns from one showing.
// endedWithOk: the dialog was closed with OK or Enter; checked: the box at that moment.
UnsupportedAnswer UnsupportedDialogResult(bool endedWithOk, bool checked);

// The hardware-wait window's Cancel: asks the user; true when the window should go.
extern const char* const kPlugInCancelQuestion;
bool ConfirmPlugInCancel(WindowHandle owner);

// The About page's link to the maker's site, opened with the shell's "open" verb.
void OpenLink(WindowHandle owner, const std::string& url);

// The settings form's buttons. frame receives WM_REMOTE_HIDESETTINGS.
void FormOk(CDocument& doc, WindowHandle frame);
void FormCancel(CDocument& doc, WindowHandle frame);
