// The process: start-up in its fixed order, the hidden main frame that owns the tray
// icon's notifications, the timers and the user messages, the message loop and the end.
// Winsock's header before windows.h, or windows.h brings the old winsock.h in.
#include <winsock2.h>

#include <windows.h>

#include <objbase.h>

#include <memory>
#include <optional>
#include <string>

#include "../../../resources/resource.h"
#include "engine/dispatcher.h"
#include "engine/macros.h"
#include "engine/press_engine.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"
#include "profiles/profile_files.h"
#include "receiver/receiver.h"
#include "state/messages.h"
#include "state/settings_store.h"
#include "ui/another_remote.h"
#include "ui/document.h"
#include "ui/osd.h"
#include "ui/profile_watch.h"
#include "ui/shell.h"
#include "ui/trace_output.h"
#include "ui/tray_icon.h"
#include "ui/win32/osd_window.h"
#include "ui/win32/power_notices.h"
#include "ui/win32/settings_window.h"
#include "ui/win32/trace_pipe.h"
#include "volume/volume.h"

namespace {

// Held by the first copy for its whole life, so that two copies started together
// cannot both get past the window-class test.
constexpr const char* kInstanceMutexName = "Orbiscope.Remote.Instance";
constexpr DWORD kWaitForFirstCopyMs = 5000;

std::string LowerCommandLine() {
    std::string line = GetCommandLineA();
    if (!line.empty()) CharLowerBuffA(line.data(), static_cast<DWORD>(line.size()));
    return line;
}

void CenterOnScreen(HWND w) {
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT r{};
    GetWindowRect(w, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    int x = work.left + ((work.right - work.left) - width) / 2;
    int y = work.top + ((work.bottom - work.top) - height) / 2;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class CMainFrame : public ShellHost {
public:
    CMainFrame(HINSTANCE instance, CRemoteDoc& doc, bool showSettingsSoon)
        : instance_(instance), doc_(doc), showSettingsSoon_(showSettingsSoon) {}
    // A window still standing must not reach a deleted object: its pointer goes first.
    ~CMainFrame() override {
        settings_.reset();
        if (hwnd_ == nullptr) return;
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
        SetMainWindowHandle(0);
    }

    // The frame's window with its class, title and styles; its create step runs inside.
    bool Create() {
        const DWORD style =
            (WS_OVERLAPPEDWINDOW) & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME);
        const DWORD exStyle = 0;  // no sunken client edge
        hwnd_ = CreateWindowExA(exStyle, kMainWindowClass, kMainWindowTitle, style, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance_, this);
        return hwnd_ != nullptr;
    }

    HWND hwnd() const { return hwnd_; }

    // The settings form as the frame's client; false when it could not be built.
    bool CreateSettings() {
        settings_ = CreateSettingsView(hwnd_, doc_);
        return settings_ != nullptr;
    }

    // The dialog keys of the frame's modeless windows, before the message is dispatched.
    bool PreTranslate(MSG* msg) {
        return IsSettingsDialogMessage(msg, pluginWait_, settings_.get());
    }

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            auto* self = static_cast<CMainFrame*>(cs->lpCreateParams);
            self->hwnd_ = h;
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<CMainFrame*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self == nullptr) return DefWindowProcA(h, m, wp, lp);
        if (m == WM_NCDESTROY) {
            self->powerNotices_.Unregister();
            SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            SetMainWindowHandle(0);
            PostQuitMessage(0);
            return DefWindowProcA(h, m, wp, lp);
        }
        try {
            return self->Handle(m, wp, lp);
        } catch (...) {
            // Nothing a message does may take the process down with it.
            return DefWindowProcA(h, m, wp, lp);
        }
    }

    // ShellHost
    WindowHandle Frame() override { return reinterpret_cast<WindowHandle>(hwnd_); }
    bool FrameVisible() override { return hwnd_ != nullptr && IsWindowVisible(hwnd_) != FALSE; }
    void ActivateShownFrame() override {
        CenterOnScreen(hwnd_);
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        SetActiveWindow(hwnd_);
        SetFocus(hwnd_);
    }
    void ShowSettingsWindow() override {
        if (settings_) settings_->PrepareForShow();
        CenterOnScreen(hwnd_);
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        SetActiveWindow(hwnd_);
    }
    void ShowHardwareError() override { ShowNoIRDialog(hwnd_); }
    void HideFrame() override {
        if (settings_) settings_->CloseDialogs();
        ShowWindow(hwnd_, SW_HIDE);
    }
    void ShowTrayMenu() override {
        HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_TRAYMENU));
        if (menu == nullptr) return;
        HMENU popup = GetSubMenu(menu, 0);
        if (popup != nullptr) {
            SetMenuDefaultItem(popup, ID_TRAY_SETTINGS, FALSE);
            POINT at{};
            GetCursorPos(&at);
            // In front, or the menu would stay open when the user clicks elsewhere.
            SetForegroundWindow(hwnd_);
            if (!TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_VERTICAL, at.x, at.y, 0, hwnd_,
                                nullptr)) {
                PostMessageA(hwnd_, WM_NULL, 0, 0);
            }
        }
        DestroyMenu(menu);
    }
    bool HasPluginWait() override { return pluginWait_ != nullptr; }
    void FocusPluginWait() override { SetFocus(pluginWait_); }
    void OpenPluginWait() override {
        pluginWait_ = CreatePlugInDialog(hwnd_);
    }
    void ClosePluginWait() override { SendMessageA(pluginWait_, WM_CLOSE, 0, 0); }
    void ForgetPluginWait() override { pluginWait_ = nullptr; }
    void RefreshViews() override { doc_.UpdateAllViews(); }
    bool SaveModified() override { return doc_.SaveModified(); }
    void CloseDocument() override {
        if (documentClosed_) return;
        documentClosed_ = true;
        doc_.OnCloseDocument();
    }
    void DestroyFrame() override {
        settings_.reset();
        if (pluginWait_ != nullptr) DestroyWindow(pluginWait_);
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }
    void ReleaseEndpoint() override {}  // the application's, see CRemoteApp
    void PollProfiles() override {
        if (profiles_ != nullptr) (void)profiles_->Poll();
        if (remotes_ != nullptr) (void)remotes_->Poll();
    }
    void WatchProfiles(ProfileWatch* profiles, RemoteWatch* remotes) {
        profiles_ = profiles;
        remotes_ = remotes;
    }

private:
    LRESULT Handle(UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_CREATE) {
            if (DefWindowProcA(hwnd_, m, wp, lp) == -1) return -1;
            OnCreate();
            return 0;
        }
        if (m == WM_SETFOCUS) {
            if (settings_) settings_->Focus();
            return 0;
        }
        // The one power broadcast whose lParam points at data: read here, where the
        // structure is known.
        if (m == WM_POWERBROADCAST && wp == PBT_POWERSETTINGCHANGE) {
            bool on = false;
            if (ConsoleDisplayState(lp, on)) ReceiverDisplayState(on, sleepsWithDisplay_);
            return TRUE;
        }
        const ShellReply reply =
            OnShellMessage(*this, m, wp, static_cast<LParam>(lp), taskbarCreated_);
        if (!reply.handled || reply.thenDefault) return DefWindowProcA(hwnd_, m, wp, lp);
        return static_cast<LRESULT>(reply.result);
    }

    void OnCreate() {
        SetMainWindowHandle(Frame());
        taskbarCreated_ = RegisterWindowMessageA(kTaskbarCreatedMessage);
        sleepsWithDisplay_ = PowerNotices::SleepsWithDisplay();
        powerNotices_.Register(hwnd_);
        TheTrayIcon().SetWindow(Frame());
        UserInterface* ui = Os().ui;
        if (ui != nullptr) {
            (void)ui->SetTimer(Frame(), kFocusPollTimer, kFocusPollPeriodMs);
            if (showSettingsSoon_)
                (void)ui->SetTimer(Frame(), kShowSettingsTimer, kShowSettingsDelayMs);
        }
        if (HMENU sys = GetSystemMenu(hwnd_, FALSE)) {
            DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND);
            DeleteMenu(sys, SC_MINIMIZE, MF_BYCOMMAND);
            DeleteMenu(sys, SC_RESTORE, MF_BYCOMMAND);
            DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND);
        }
    }

    HINSTANCE instance_;
    CRemoteDoc& doc_;
    bool showSettingsSoon_;
    HWND hwnd_ = nullptr;
    HWND pluginWait_ = nullptr;
    std::unique_ptr<SettingsView> settings_;
    bool documentClosed_ = false;
    UINT taskbarCreated_ = 0;
    ProfileWatch* profiles_ = nullptr;
    RemoteWatch* remotes_ = nullptr;
    PowerNotices powerNotices_;
    bool sleepsWithDisplay_ = false;
};

// The host the shell's exit sequence sees: the frame is gone by then.
class ExitHost : public WindowlessShellHost {
public:
    explicit ExitHost(bool endpointCreated, bool comInitialized)
        : endpointCreated_(endpointCreated), comInitialized_(comInitialized) {}
    void ReleaseEndpoint() override {
        if (endpointCreated_) ReleaseEndpointVolume();
        if (comInitialized_) CoUninitialize();
    }

private:
    bool endpointCreated_;
    bool comInitialized_;
};

class CRemoteApp {
public:
    explicit CRemoteApp(HINSTANCE instance) : instance_(instance) {}
    ~CRemoteApp() {
        if (instanceMutex_ != nullptr) CloseHandle(instanceMutex_);
    }

    bool InitInstance() {
        const std::string commandLine = LowerCommandLine();
        if (!BecomeTheOnlyCopy(commandLine)) return false;

        WSADATA wsa{};
        wsaStarted_ = WSAStartup(MAKEWORD(1, 1), &wsa) == 0;

        if (IsWindowsVersion6()) {
            const HRESULT hr = CoInitialize(nullptr);
            comInitialized_ = SUCCEEDED(hr);
            CreateEndpointVolume();
            endpointCreated_ = true;
        }

        // The company key "OrbiScope" is part of the settings key path the store opens.
        // The start-up values of a new installation reach this user before the receiver
        // search reads them.
        (void)AdoptSetupChoices();

        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = &CMainFrame::Proc;
        wc.hInstance = instance_;
        wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_APP));
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = kMainWindowClass;
        if (RegisterClassExA(&wc) == 0) return false;

        RegisterButtonMessage();
        InstallShellHooks(engine_.shared());
        SetUnsupportedDialog(&ShowUnsupportedDialogModal);

        doc_ = std::make_unique<CRemoteDoc>();
        frame_ =
            std::make_unique<CMainFrame>(instance_, *doc_, CommandLineAsksForSettings(commandLine));
        if (!frame_->Create()) return false;
        if (!doc_->OnNewDocument()) return false;

        // The view's initial update: the receiver search first, then the pages.
        StartReceiver(1, frame_->Frame());
        (void)frame_->CreateSettings();

        // After the icon is up: an unwritable log folder is told in a balloon.
        // The log first: a pipe name another program holds is told there.
        StartTrace(TraceLogAsked(commandLine), &tracePipe_);
        (void)tracePipe_.Start();
        // After the trace and the icon, which tell what a file gets wrong.
        if (FolderFiles* folders = Os().folders) SetProfilesElevated(folders->ProcessElevated());
        profiles_.Start(CurrentProfileFolders());
        // The learned remotes below the user's profiles, on the same timer.
        remotes_.Start(LearnedRemotesFolder(CurrentProfileFolders()));
        frame_->WatchProfiles(&profiles_, &remotes_);
        if (UserInterface* ui = Os().ui)
            (void)ui->SetTimer(frame_->Frame(), kProfilePollTimer, kProfilePollPeriodMs);
        // A panel that cannot be made leaves the display off; the program runs on.
        if (osd_.Start(instance_)) ApplyOnScreenDisplaySetting();

        UnmuteOutput();
        return true;
    }

    int Run() {
        MSG msg;
        for (;;) {
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) break;
            if (frame_->PreTranslate(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // A quit posted from outside ends the loop with the frame still standing: it
        // closes in the usual order, so changed settings are kept and no window
        // outlives the document its view refers to.
        if (frame_ && frame_->hwnd() != nullptr) CloseMainFrame(*frame_);
        return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
    }

    int ExitInstance(int code) {
        ExitHost host(endpointCreated_, comInitialized_);
        ExitShell(host);
        osd_.Stop();
        StopTrace();
        tracePipe_.Stop();
        if (wsaStarted_) WSACleanup();
        return code;
    }

private:
    // The window-class test, made race-free by the instance mutex: a copy that finds
    // the mutex taken waits for the first copy's window (or for the first copy to end).
    bool BecomeTheOnlyCopy(const std::string& commandLine) {
        instanceMutex_ = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
        if (instanceMutex_ != nullptr) {
            const DWORD start = GetTickCount();
            for (;;) {
                if (HWND running = FindWindowA(kMainWindowClass, nullptr)) {
                    (void)ForwardToRunningInstance(reinterpret_cast<WindowHandle>(running),
                                                   commandLine);
                    return false;
                }
                const DWORD waited = WaitForSingleObject(instanceMutex_, 100);
                if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) break;
                if (GetTickCount() - start > kWaitForFirstCopyMs) return false;
            }
        }
        // A copy that kept no mutex is still recognised by its window.
        if (HWND running = FindWindowA(kMainWindowClass, nullptr)) {
            (void)ForwardToRunningInstance(reinterpret_cast<WindowHandle>(running), commandLine);
            return false;
        }
        return true;
    }

    HINSTANCE instance_;
    HANDLE instanceMutex_ = nullptr;
    TracePipeServer tracePipe_{ThisSessionTracePipeName()};
    bool wsaStarted_ = false;
    bool comInitialized_ = false;
    bool endpointCreated_ = false;
    // What the presses change; the receiver's code sink from start-up to the end, when
    // it takes itself out of the receiver before it goes.
    PressEngineOwner engine_{TheReceiver()};
    std::unique_ptr<CRemoteDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    OsdWindow osd_;
    ProfileWatch profiles_{&InstallProfiles, &TellProfileProblem};
    RemoteWatch remotes_{&TellRemoteProblem};

public:
    // The frame and the document go before the process ends; the settings record with
    // the document, after the receiver was stopped by the document's close.
    void ReleaseWindows() {
        frame_.reset();
        doc_.reset();
    }
};

// "/exportprofile": the profile in force for a row or a process, written as a new file
// into the user's folder. Neither a second copy nor a message to the first one: the
// running program takes the new file as it takes any other, within a second.
int ExportProfileCommand(const std::string& rowOrProcess) {
    FolderFiles* folders = Os().folders;
    SetProfilesElevated(folders->ProcessElevated());
    const ExportReport report = ExportProfileToUserFolder(
        rowOrProcess, *folders, CurrentProfileFolders(), &InstallProfiles, &ExportProfile);
    // The wide call: the path may hold any script.
    MessageBoxW(nullptr, Widen(report.text).c_str(),
                Widen(report.ok ? "Orbiscope Remote" : kErrorCaption).c_str(),
                MB_OK | (report.ok ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    return report.ok ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a DLL by name: the autostart runs the program with whatever
    // current folder it inherits.
    LimitDllSearchToSystem32();
    Os() = Win32Platform();
    if (const std::optional<std::string> exported = ExportProfileArgument(Narrow(GetCommandLineW())))
        return ExportProfileCommand(*exported);
    // The two mixer-line controllers are process-wide objects built before start-up
    // begins (they need the ports, so not as static objects).
    ConstructVolumeControls();

    CRemoteApp app(instance);
    int code = 0;
    if (app.InitInstance()) code = app.Run();
    code = app.ExitInstance(code);
    app.ReleaseWindows();
    DestroyVolumeControls();
    return code;
}
