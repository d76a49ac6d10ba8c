// The settings window and the program's dialogs, as the shell uses them. All of these
// run on the main thread except ShowUnsupportedDialogModal, which the dispatcher calls
// on the reader thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/ports.h"

class CDocument;

// The settings form and its property sheet, owned by the main frame. Destroying it
// destroys both windows (at shutdown, before the frame goes). Main thread only.
class SettingsView {
public:
    virtual ~SettingsView() = default;
    // The form and the property sheet.
    virtual HWND Window() const = 0;
    virtual HWND SheetWindow() const = 0;
    // Refills every page from CurrentSettings(); the document's view update. True when all
    // three pages were filled.
    virtual bool Update() = 0;
    // Before the hidden settings window is shown again: the Macros page selected, the focus
    // on OK with the default-button style, Cancel and Help plain push buttons.
    virtual void PrepareForShow() = 0;
    // The frame gained the focus (WM_SETFOCUS: a message box closed, the frame activated
    // again): pass it on to the form's control that had it last.
    virtual void Focus() = 0;
    // The form's share of the message loop's dialog keys; also notes the form's focused
    // control for Focus. True when the message was consumed.
    virtual bool PreTranslate(MSG* msg) = 0;
    // The settings window is hidden: a dialog it opened (Teach a Button) closes with it.
    virtual void CloseDialogs() = 0;
};

// Builds the settings form (template 212) as the client child of the hidden main
// frame, with the property sheet of the Macros, Advanced and About pages placed over
// its placeholder, all pages created and filled, and the frame fitted to the form.
// The shell starts the receiver search before calling this. The form registers its
// refresh with doc (UpdateAllViews refills the pages) and uses it for OK (SaveModified),
// Cancel (reload when modified) and browsed files. Returns the form, or null when it
// could not be built. The document must outlive the form.
std::unique_ptr<SettingsView> CreateSettingsView(HWND frame, CDocument& doc);

// For the message loop, before each message is dispatched: the dialog keys of the
// hardware-wait window (null when none is open) and of the settings window (Tab through
// the tab strip, the page and OK/Cancel/Help; Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn,
// Ctrl+PgUp turn pages; Enter is OK, Escape Cancel; mnemonics). True when the message
// was consumed.
bool IsSettingsDialogMessage(MSG* msg, HWND plugInWait, SettingsView* view);

// The "Hardware Error" dialog, modal, centred, system-modal and in front.
void ShowNoIRDialog(HWND owner = nullptr);

// The unsupported-program warning with its message text, modal without an owner. The
// check box is read back only when the dialog was closed with OK (or Enter).
UnsupportedAnswer ShowUnsupportedDialogModal(const std::string& text);

// The hardware-wait window: created modeless, placed topmost at (0, 0) and shown.
// When its window is destroyed it sends WM_REMOTE_PLUGINWAITCLOSED to mainFrame.
// Close it with WM_CLOSE (no confirmation). Returns null on failure.
HWND CreatePlugInDialog(HWND mainFrame);
