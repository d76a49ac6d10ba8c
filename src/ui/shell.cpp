#include "ui/shell.h"

#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "engine/events.h"
#include "engine/macros.h"
#include "engine/press_engine.h"
#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/handlers.h"
#include "profiles/profile_files.h"
#include "receiver/receiver.h"
#include "state/messages.h"
#include "state/notices.h"
#include "state/settings_store.h"
#include "state/trace.h"
#include "ui/profile_watch.h"
#include "ui/trace_output.h"
#include "ui/tray_icon.h"
#include "volume/volume.h"

const char* const kMainWindowTitle = "Orbiscope Remote Settings";
const char* const kShutdownQuestion =
    "Are you sure you want to shut down the Orbiscope Remote Software?\nYou will not be able "
    "to use your remote until you reboot your computer.";
const char* const kHelpFailedText =
    "Unable to find/open the help documentation.  Please try reinstalling the Orbiscope "
    "software.";
const char* const kIntroFailedText = "Unable to start Introduction to Orbiscope Remote (intro.exe)";
const char* const kIntroFileName = "\\Docs\\intro.exe";
const char* const kTaskbarCreatedMessage = "TaskbarCreated";
const char* const kFocusRequestMarker = "Orbiscope#";

namespace {

int32_t ShowBox(WindowHandle owner, const std::string& text, const char* caption, uint32_t flags) {
    UserInterface* ui = Os().ui;
    return ui == nullptr ? kIdOk : ui->ShowMessageBox(owner, text, caption, flags);
}

void KillFrameTimer(WindowHandle frame, uintptr_t id) {
    if (UserInterface* ui = Os().ui) (void)ui->KillTimer(frame, id);
}

// ShellExecute's "open" on a file under the program directory; 32 or less is a failure.
void OpenProgramFile(const char* relativePath) {
    Shell* shell = Os().shell;
    if (shell == nullptr) throw UserCancelException{};
    Desktop* desktop = Os().desktop;
    const WindowHandle owner = desktop == nullptr ? 0 : desktop->DesktopWindow();
    const intptr_t result =
        shell->Execute(owner, "open", ProgramDirectory() + relativePath, "", "", kSwShowNormal);
    TraceAction([&] {
        return "open " + ProgramDirectory() + relativePath +
               (result > 32 ? std::string() : " (failed, " + std::to_string(result) + ")");
    });
    if (result <= 32) throw UserCancelException{};
}

void RetryTrayRestore(ShellHost& host) {
    const int32_t attempts = TheTrayIcon().NextRestoreAttempt();
    if (TheTrayIcon().Restore() || attempts >= kTrayRestoreAttempts) {
        KillFrameTimer(host.Frame(), kTrayRestoreTimer);
    }
}

ShellReply Handled(LResult result = 0) { return ShellReply{true, result, false}; }

}  // namespace

std::string ProgramDirectory() {
    Shell* shell = Os().shell;
    if (shell == nullptr) return "";
    const std::string path = shell->ModulePath();
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void LaunchHelpFile() { OpenProgramFile(kHelpFileSuffix); }
void LaunchIntroduction() { OpenProgramFile(kIntroFileName); }

void HelpCommand(WindowHandle owner) {
    try {
        LaunchHelpFile();
    } catch (const UserCancelException&) {
        (void)ShowBox(owner, kHelpFailedText, kErrorCaption, kMbOk);
    }
}

void SettingsCommand(ShellHost& host) {
    const bool visible = host.FrameVisible();
    if (ReceiverAvailable()) {
        if (visible) {
            host.ActivateShownFrame();
        } else {
            host.ShowSettingsWindow();
        }
    } else if (!visible) {
        host.ShowHardwareError();
    }
}

void ShutdownCommand(ShellHost& host) {
    const int32_t answer =
        ShowBox(host.Frame(), kShutdownQuestion, kWarningCaption, kMbYesNo | kMbIconExclamation);
    if (answer != kIdNo) CloseMainFrame(host);
}

void CloseMainFrame(ShellHost& host) {
    if (!host.SaveModified()) return;
    host.CloseDocument();
    host.DestroyFrame();
}

void ExitShell(ShellHost& host) {
    // The reader and wait threads end first: the reader may be changing the volume
    // through the interface released next. After a normal close this finds nothing to
    // stop; after a quit from outside it is the last chance to end them.
    CloseReceiver();
    host.ReleaseEndpoint();
    // An internet check started by a macro button may still be connecting: give it a
    // moment to end; one that does not was abandoned and holds nothing of ours.
    (void)WaitForInternetProbesFor(kExitProbeWaitMs);
    TheTrayIcon().Reset();
}

void FocusRequestPoll() {
    try {
        const WindowHandle requester = FindWindowByTitlePart(kFocusRequestMarker);
        if (requester == 0) return;
        Desktop* desktop = Os().desktop;
        if (desktop == nullptr) return;
        std::string title;
        (void)desktop->WindowText(requester, kTitleBufferChars, title);
        if (LowerAnsi(title).find("+fg") == std::string::npos) return;
        const WindowHandle winamp = FindWindowByClass("Winamp v1.x");
        if (winamp != 0) {
            BringWindowToFront(winamp);
            ClickInWindow(8, 50, winamp);
            return;
        }
        std::string foreground;
        (void)ForegroundWindowTitle(foreground);
        if (foreground.rfind("Orbiscope#03", 0) != 0) ClickInForegroundWindow(1, 1);
    } catch (...) {
        // A window that vanishes half-way is no reason to stop polling.
    }
}

void FirstRunSteps(WindowHandle mainWindow) {
    // The main thread, which owns the wait window, closes it if it is open.
    if (Desktop* desktop = Os().desktop) {
        (void)desktop->Post(mainWindow, WM_REMOTE_CLOSEPLUGINWAIT, 0, 0);
    }
    if (ReadStartupValue("CancelSlideshow") == 0) {
        try {
            LaunchIntroduction();
        } catch (const UserCancelException&) {
            (void)ShowBox(mainWindow, kIntroFailedText, kErrorCaption, kMbOk);
        }
    }
    WriteStartupValue("InstallJustRan", 0);
    WriteStartupValue("CancelSlideshow", 0);
}

void OnTaskbarCreated(ShellHost& host) {
    TheTrayIcon().ResetRestoreAttempts();
    if (TheTrayIcon().State() == TrayHidden) return;  // nothing was shown to come back
    if (TheTrayIcon().Restore()) {
        KillFrameTimer(host.Frame(), kTrayRestoreTimer);
        return;
    }
    if (UserInterface* ui = Os().ui) {
        (void)ui->SetTimer(host.Frame(), kTrayRestoreTimer, kTrayRestorePeriodMs);
    }
}

ShellReply OnShellMessage(ShellHost& host, MessageId message, WParam wParam, LParam lParam,
                          MessageId taskbarCreated) {
    using namespace wm;
    if (taskbarCreated != 0 && message == taskbarCreated) {
        OnTaskbarCreated(host);
        return Handled();
    }
    switch (message) {
        case WM_REMOTE_TRAYNOTIFY: {
            const auto mouse = static_cast<MessageId>(static_cast<uintptr_t>(lParam) & 0xFFFF);
            if (mouse == LBUTTONUP) {
                SettingsCommand(host);
            } else if (mouse == RBUTTONUP) {
                host.ShowTrayMenu();
            }
            return ShellReply{true, 0, true};
        }
        case WM_REMOTE_SHOWPLUGINWAIT:
            if (host.HasPluginWait()) {
                host.FocusPluginWait();
            } else {
                host.OpenPluginWait();
            }
            return Handled();
        case WM_REMOTE_CLOSEPLUGINWAIT:
            if (host.HasPluginWait()) host.ClosePluginWait();
            return Handled();
        case WM_REMOTE_PLUGINWAITCLOSED: host.ForgetPluginWait(); return Handled();
        case WM_REMOTE_HIDESETTINGS: host.HideFrame(); return Handled();
        case WM_REMOTE_SHOWSETTINGS: SettingsCommand(host); return Handled();
        case WM_REMOTE_REFRESHSETTINGS: host.RefreshViews(); return Handled();
        case WM_REMOTE_QUERYRECEIVER: return Handled(ReceiverAvailable() ? 1 : 0);
        case WM_REMOTE_STARTTRACELOG: OpenTraceLogOnRequest(); return Handled();
        case COMMAND:
            switch (static_cast<uint32_t>(wParam & 0xFFFF)) {
                case kCmdSettings: SettingsCommand(host); return Handled();
                case kCmdShutdown: ShutdownCommand(host); return Handled();
                case kCmdHelp: HelpCommand(host.Frame()); return Handled();
                default: return ShellReply{};
            }
        case SYSCOMMAND:
            // The low four bits are the system's own; the close box, the menu's Close and
            // Alt+F4 all mean SC_CLOSE.
            if ((wParam & 0xFFF0) == kScClose) {
                if (Desktop* desktop = Os().desktop) {
                    (void)desktop->Post(host.Frame(), WM_REMOTE_HIDESETTINGS, 0, 0);
                }
                return Handled();
            }
            return ShellReply{};
        case CLOSE:
            KillFrameTimer(host.Frame(), kFocusPollTimer);
            CloseMainFrame(host);
            return Handled();
        case TIMER:
            switch (wParam) {
                case kFocusPollTimer: FocusRequestPoll(); return ShellReply{true, 0, true};
                case kShowSettingsTimer:
                    KillFrameTimer(host.Frame(), kShowSettingsTimer);
                    if (Desktop* desktop = Os().desktop) {
                        (void)desktop->Post(host.Frame(), WM_REMOTE_SHOWSETTINGS, 0, 0);
                    }
                    return Handled();
                case kLetterEntryTimer: LetterEntryTimer(); return Handled();
                case kProfileHoldTimer: ProfileHoldTimer(); return Handled();
                case kTrayRestoreTimer: RetryTrayRestore(host); return Handled();
                case kProfilePollTimer: host.PollProfiles(); return Handled();
                default: return ShellReply{};
            }
        case QUERYENDSESSION: (void)host.SaveModified(); return Handled(1);
        case ENDSESSION:
            if (wParam != 0) host.CloseDocument();
            return Handled();
        default: return ShellReply{};
    }
}

std::string CommandLineArguments(const std::string& commandLine) {
    size_t i = commandLine.find_first_not_of(" \t");
    if (i == std::string::npos) return "";
    if (commandLine[i] == '"') {
        const size_t close = commandLine.find('"', i + 1);
        return close == std::string::npos ? "" : commandLine.substr(close + 1);
    }
    const size_t end = commandLine.find_first_of(" \t", i);
    return end == std::string::npos ? "" : commandLine.substr(end);
}

bool CommandLineAsksForSettings(const std::string& lowerCommandLine) {
    // Only the arguments: a program path written with forward slashes ("c:/soft/...",
    // or the Unix paths Wine passes on) is no request for the settings.
    return CommandLineArguments(lowerCommandLine).find("/s") != std::string::npos;
}

bool ForwardToRunningInstance(WindowHandle running, const std::string& lowerCommandLine) {
    Desktop* desktop = Os().desktop;
    if (running == 0 || desktop == nullptr) return false;
    bool posted = false;
    if (CommandLineAsksForTraceLog(lowerCommandLine))
        posted = desktop->Post(running, WM_REMOTE_STARTTRACELOG, 0, 0);
    if (CommandLineAsksForSettings(lowerCommandLine))
        posted = desktop->Post(running, WM_REMOTE_SHOWSETTINGS, 0, 0) || posted;
    return posted;
}

namespace {

// The receiver's comings and goings after it was first seen, as balloons.
void ReceiverAvailability(bool available) {
    const int32_t before = TheTrayIcon().State();
    TheTrayIcon().SetState(available ? TrayAvailable : TrayNotAvailable);
    if (TheTrayIcon().State() == before) return;
    if (available && TheTrayIcon().FirstArrival()) return;  // start-up: nothing to say
    if (!available && before != TrayAvailable) return;
    if (ReadSettingsKeyValue("ReceiverNotifications", 1) == 0) return;
    Notice(available ? kReceiverConnectedNotice : kReceiverRemovedNotice);
}

void ShowNoticeInTray(const std::string& text) { (void)TheTrayIcon().ShowBalloon(text); }

}  // namespace

void ConnectShellLinks() {
    TheTrayIcon().ForgetArrivals();
    SetNoticeSink(&ShowNoticeInTray);
    ReceiverLinks links;
    links.codeSink = &PressEngineInUse();
    links.availability = &ReceiverAvailability;
    links.startupValue = &ReadStartupValue;
    links.showPluginWait = [](WindowHandle mainWindow) {
        if (Desktop* desktop = Os().desktop)
            desktop->Send(mainWindow, WM_REMOTE_SHOWPLUGINWAIT, 0, 0);
    };
    SetReceiverLinks(links);
}

void InstallShellHooks() {
    ConnectShellLinks();
    SetFirstRunHook(&FirstRunSteps);
}
