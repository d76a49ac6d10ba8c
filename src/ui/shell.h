// The application shell's decisions: what the main frame does with its user messages,
// its commands, timers and system commands, the focus-request poll, the first-run steps,
// the launchers and the order in which the process closes. The Win32 frame only carries
// the decisions out, through ShellHost.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"
#include "platform/vk.h"

// Raised by the launchers when the shell cannot open the file. It carries no message of
// its own: whoever asked reports the failure.
struct UserCancelException {};

// The tray menu (resource 208) and its commands.
constexpr int32_t kTrayMenuResource = 208;
constexpr uint32_t kCmdSettings = 32775;
constexpr uint32_t kCmdShutdown = 32773;
constexpr uint32_t kCmdHelp = 32772;

// Retries of a failed re-add of the icon after the notification area was rebuilt.
constexpr uintptr_t kTrayRestoreTimer = 105;
constexpr uint32_t kTrayRestorePeriodMs = 1000;
constexpr int32_t kTrayRestoreAttempts = 30;

constexpr uint32_t kFocusPollPeriodMs = 1000;
constexpr uint32_t kShowSettingsDelayMs = 2000;
// How long the end of the process waits for an internet check still connecting.
constexpr uint32_t kExitProbeWaitMs = 1000;

extern const char* const kMainWindowTitle;  // "Orbiscope Remote Settings"
extern const char* const kShutdownQuestion;
extern const char* const kHelpFailedText;
extern const char* const kIntroFailedText;
extern const char* const kIntroFileName;          // "\Docs\intro.exe"
extern const char* const kTaskbarCreatedMessage;  // "TaskbarCreated"
extern const char* const kFocusRequestMarker;     // "Orbiscope#"

// The main frame, its document and the process around it, as the decisions see them.
class ShellHost {
public:
    ShellHost() = default;
    ShellHost(const ShellHost&) = delete;
    ShellHost& operator=(const ShellHost&) = delete;
    virtual ~ShellHost() = default;

    virtual WindowHandle Frame() = 0;
    virtual bool FrameVisible() = 0;
    // Centre on the screen, show, bring to the foreground, make active, give the focus.
    virtual void ActivateShownFrame() = 0;
    // The hidden settings window comes up: first page, focus on OK, OK the default
    // button; then centred, shown, in front and active.
    virtual void ShowSettingsWindow() = 0;
    // The "Hardware Error" dialog, modal.
    virtual void ShowHardwareError() = 0;
    virtual void HideFrame() = 0;
    virtual void ShowTrayMenu() = 0;

    // The hardware-wait window.
    virtual bool HasPluginWait() = 0;
    virtual void FocusPluginWait() = 0;
    virtual void OpenPluginWait() = 0;
    virtual void ClosePluginWait() = 0;  // sends it the window close message
    virtual void ForgetPluginWait() = 0;

    // The document: refill the pages; save if modified (true: the frame may close);
    // close it (which stops the receiver); then the windows go.
    virtual void RefreshViews() = 0;
    virtual bool SaveModified() = 0;
    virtual void CloseDocument() = 0;
    virtual void DestroyFrame() = 0;

    // The end of the process: the endpoint-volume object and COM.
    virtual void ReleaseEndpoint() = 0;

    // The profile folders' timer: a changed file is read again.
    virtual void PollProfiles() {}
};

// A host whose windows are gone: what the end of the process sees once the frame is
// destroyed. Only the release of the endpoint is left to do.
class WindowlessShellHost : public ShellHost {
public:
    WindowHandle Frame() override { return 0; }
    bool FrameVisible() override { return false; }
    void ActivateShownFrame() override {}
    void ShowSettingsWindow() override {}
    void ShowHardwareError() override {}
    void HideFrame() override {}
    void ShowTrayMenu() override {}
    bool HasPluginWait() override { return false; }
    void FocusPluginWait() override {}
    void OpenPluginWait() override {}
    void ClosePluginWait() override {}
    void ForgetPluginWait() override {}
    void RefreshViews() override {}
    bool SaveModified() override { return true; }
    void CloseDocument() override {}
    void DestroyFrame() override {}
};

// The program's directory: the executable's path up to its last backslash.
std::string ProgramDirectory();
// Open the help file / start the introduction; a failure raises UserCancelException.
void LaunchHelpFile();
void LaunchIntroduction();

// The Help command: the help file, or the error box owned by `owner`.
void HelpCommand(WindowHandle owner);
// Settings (tray click, menu, "/s"): the settings window only while the receiver is
// available, the "Hardware Error" dialog otherwise.
void SettingsCommand(ShellHost& host);
// Shutdown: asks, then closes the frame unless the answer is No.
void ShutdownCommand(ShellHost& host);
// The framework's close of the main frame: save, close the document (receiver stopped),
// destroy the windows.
void CloseMainFrame(ShellHost& host);
// After the message loop: the endpoint goes, the receiver is stopped for good and the
// icon leaves the notification area.
void ExitShell(ShellHost& host);

// Timer 102: a cooperating window asking, by "+fg" in its title, for a click that
// brings its program to the front.
void FocusRequestPoll();

// Run by the receiver wait thread right after the first open following an installation:
// closes the hardware-wait window, if open, and starts the introduction.
void FirstRunSteps(WindowHandle mainWindow);

// The notification area was rebuilt: the icon comes back in its state, retried until it
// takes.
void OnTaskbarCreated(ShellHost& host);

// What the frame's window procedure does with one message.
struct ShellReply {
    bool handled = false;      // false: only the default processing
    LResult result = 0;        // the answer when handled and not followed by the default
    bool thenDefault = false;  // the default processing follows and gives the answer
};
// taskbarCreated: the registered "TaskbarCreated" message number (0 if none).
ShellReply OnShellMessage(ShellHost& host, MessageId message, WParam wParam, LParam lParam,
                          MessageId taskbarCreated);

// The start-up command line without the program's own name, quoted or not.
std::string CommandLineArguments(const std::string& commandLine);
// Whether the (lower-cased) command line asks for the settings: "/s" anywhere in its
// arguments.
bool CommandLineAsksForSettings(const std::string& lowerCommandLine);
// A second copy found the first: forward "/s" and "/trace" if asked. True when something
// was posted.
bool ForwardToRunningInstance(WindowHandle running, const std::string& lowerCommandLine);

// The receiver's codes to the press engine in use (its code sink), its state to the tray
// icon (with a balloon when it is removed or comes back, unless ReceiverNotifications is 0), its
// start-up values from the settings key, its hardware-wait request to the main window;
// the notices of the layers below to tray balloons.
void ConnectShellLinks();

constexpr const char* kReceiverConnectedNotice = "Orbiscope receiver connected";
constexpr const char* kReceiverRemovedNotice = "Orbiscope receiver removed";
// Set up before the receiver search: the receiver's links and the first-run hook.
void InstallShellHooks();
