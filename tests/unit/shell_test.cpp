// The shell's decisions against a recording frame and the fake machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/fake/fake_system.h"
#include "state/messages.h"
#include "state/settings_store.h"
#include "ui/shell.h"
#include "ui/tray_icon.h"

namespace {

// Every step lands in one log, so the order across the frame, the timers and the
// notification area can be checked.
struct Log {
    std::vector<std::string> entries;
    void Add(const std::string& e) { entries.push_back(e); }
};

class LoggingNotifyIcon : public NotifyIcon {
public:
    explicit LoggingNotifyIcon(Log& log) : log_(log) {}
    int32_t addFailures = 0;  // the next adds that fail
    bool Notify(Op op, const NotifyIconData& data) override {
        if (op == Op::Add && addFailures > 0) {
            --addFailures;
            log_.Add("icon add failed");
            return false;
        }
        log_.Add(op == Op::Add      ? "icon add " + data.tip
                 : op == Op::Modify ? "icon modify " + data.tip
                                    : "icon delete");
        return true;
    }

private:
    Log& log_;
};

class FakeHost : public ShellHost {
public:
    FakeHost(Log& log, FakeUserInterface& ui) : log_(log), ui_(ui) {}
    WindowHandle frame = 0x4242;
    bool visible = false;
    bool pluginWait = false;
    bool agreesToClose = true;

    WindowHandle Frame() override { return frame; }
    bool FrameVisible() override { return visible; }
    void ActivateShownFrame() override { log_.Add("activate"); }
    void ShowSettingsWindow() override { log_.Add("show settings"); }
    void ShowHardwareError() override { log_.Add("hardware error"); }
    void HideFrame() override { log_.Add("hide"); }
    void ShowTrayMenu() override { log_.Add("tray menu"); }
    bool HasPluginWait() override { return pluginWait; }
    void FocusPluginWait() override { log_.Add("focus wait"); }
    void OpenPluginWait() override { log_.Add("open wait"); }
    void ClosePluginWait() override { log_.Add("close wait"); }
    void ForgetPluginWait() override { log_.Add("forget wait"); }
    void RefreshViews() override { log_.Add("refresh"); }
    bool SaveModified() override {
        log_.Add(ui_.timers.count(kFocusPollTimer) != 0 ? "save (poll running)" : "save");
        return agreesToClose;
    }
    void CloseDocument() override { log_.Add("close document"); }
    void DestroyFrame() override { log_.Add("destroy"); }
    void ReleaseEndpoint() override { log_.Add("release endpoint"); }

private:
    Log& log_;
    FakeUserInterface& ui_;
};

class ShellTest : public ::testing::Test {
protected:
    ShellTest() : notify(log), host(log, env.ui) {
        env.platform.shell = &shell;
        env.platform.notifyIcon = &notify;
        env.Install();
        FakeWindow frame;
        frame.title = "Orbiscope Remote Settings";
        frame.className = "Orbiscope.Remote";
        frame.style = 0;  // hidden
        host.frame = env.desktop.Add(frame);
        TheTrayIcon().Reset();
    }
    ~ShellTest() override { TheTrayIcon().Reset(); }

    void SetReceiver(bool available) {
        TheTrayIcon().SetWindow(host.frame);
        TheTrayIcon().SetState(available ? TrayAvailable : TrayNotAvailable);
        log.entries.clear();
    }
    ShellReply Send(MessageId m, WParam wp = 0, LParam lp = 0) {
        return OnShellMessage(host, m, wp, lp, kTaskbarCreated);
    }
    std::vector<FakeMessage> PostsTo(WindowHandle w) const {
        std::vector<FakeMessage> out;
        for (const auto& m : env.desktop.messages) {
            if (m.window == w && !m.sent) out.push_back(m);
        }
        return out;
    }

    static constexpr MessageId kTaskbarCreated = 0xC123;
    FakeEnv env;
    FakeShell shell;
    Log log;
    LoggingNotifyIcon notify;
    FakeHost host;
};

using Entries = std::vector<std::string>;

TEST_F(ShellTest, SettingsOpenOnlyWithAReceiver) {
    struct Case {
        bool available;
        bool visible;
        Entries expected;
    };
    const Case cases[] = {
        {true, false, {"show settings"}},
        {true, true, {"activate"}},
        {false, false, {"hardware error"}},
        {false, true, {}},
    };
    const MessageId routes[][2] = {
        {WM_REMOTE_SHOWSETTINGS, 0}, {wm::COMMAND, kCmdSettings}, {WM_REMOTE_TRAYNOTIFY, 0}};
    for (const Case& c : cases) {
        for (const auto& route : routes) {
            SetReceiver(c.available);
            host.visible = c.visible;
            const LParam lp = route[0] == WM_REMOTE_TRAYNOTIFY ? wm::LBUTTONUP : 0;
            const ShellReply reply = Send(route[0], route[1], lp);
            EXPECT_TRUE(reply.handled);
            EXPECT_EQ(reply.result, 0);
            EXPECT_EQ(log.entries, c.expected) << "available " << c.available << " visible "
                                               << c.visible << " message " << route[0];
        }
    }
}

TEST_F(ShellTest, TrayNotificationsPassOnToTheDefaultProcessing) {
    SetReceiver(true);
    struct Case {
        LParam mouse;
        Entries expected;
    };
    const Case cases[] = {
        {wm::LBUTTONUP, {"show settings"}}, {wm::RBUTTONUP, {"tray menu"}},
        {0x0200 /* mouse move */, {}},      {0x0201 /* left down */, {}},
        {0x0203 /* double click */, {}},
    };
    for (const Case& c : cases) {
        log.entries.clear();
        const ShellReply reply = Send(WM_REMOTE_TRAYNOTIFY, kTrayIconId, c.mouse);
        EXPECT_TRUE(reply.handled);
        EXPECT_TRUE(reply.thenDefault) << c.mouse;
        EXPECT_EQ(log.entries, c.expected) << c.mouse;
    }
}

TEST_F(ShellTest, UserMessagesAndTheirAnswers) {
    struct Case {
        MessageId message;
        bool pluginWait;
        Entries expected;
    };
    const Case cases[] = {
        {WM_REMOTE_SHOWPLUGINWAIT, false, {"open wait"}},
        {WM_REMOTE_SHOWPLUGINWAIT, true, {"focus wait"}},
        {WM_REMOTE_CLOSEPLUGINWAIT, true, {"close wait"}},
        {WM_REMOTE_CLOSEPLUGINWAIT, false, {}},
        {WM_REMOTE_PLUGINWAITCLOSED, true, {"forget wait"}},
        {WM_REMOTE_HIDESETTINGS, false, {"hide"}},
        {WM_REMOTE_REFRESHSETTINGS, false, {"refresh"}},
    };
    for (const Case& c : cases) {
        log.entries.clear();
        host.pluginWait = c.pluginWait;
        const ShellReply reply = Send(c.message, 7, 9);
        EXPECT_TRUE(reply.handled);
        EXPECT_FALSE(reply.thenDefault);
        EXPECT_EQ(reply.result, 0);
        EXPECT_EQ(log.entries, c.expected) << std::hex << c.message;
    }
}

TEST_F(ShellTest, QueryReceiverFollowsTheIconState) {
    EXPECT_EQ(Send(WM_REMOTE_QUERYRECEIVER).result, 0);  // hidden
    SetReceiver(true);
    EXPECT_EQ(Send(WM_REMOTE_QUERYRECEIVER).result, 1);
    SetReceiver(false);
    EXPECT_EQ(Send(WM_REMOTE_QUERYRECEIVER).result, 0);
    EXPECT_TRUE(Send(WM_REMOTE_QUERYRECEIVER).handled);
}

TEST_F(ShellTest, TheCloseBoxOnlyHides) {
    for (WParam sc : {WParam{0xF060}, WParam{0xF063}}) {
        env.desktop.messages.clear();
        const ShellReply reply = Send(wm::SYSCOMMAND, sc);
        EXPECT_TRUE(reply.handled);
        ASSERT_EQ(PostsTo(host.frame).size(), 1u);
        EXPECT_EQ(PostsTo(host.frame)[0].message, WM_REMOTE_HIDESETTINGS);
    }
    env.desktop.messages.clear();
    for (WParam sc : {WParam{0xF010} /* move */, WParam{0xF020} /* minimise */}) {
        EXPECT_FALSE(Send(wm::SYSCOMMAND, sc).handled);
    }
    EXPECT_TRUE(env.desktop.messages.empty());
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(ShellTest, WindowCloseStopsThePollThenClosesInOrder) {
    ASSERT_TRUE(env.ui.SetTimer(host.frame, kFocusPollTimer, 1000));
    EXPECT_TRUE(Send(wm::CLOSE).handled);
    EXPECT_EQ(log.entries, (Entries{"save", "close document", "destroy"}));
}

TEST_F(ShellTest, AFrameThatMayNotCloseStays) {
    host.agreesToClose = false;
    CloseMainFrame(host);
    EXPECT_EQ(log.entries, (Entries{"save"}));
}

TEST_F(ShellTest, ShutdownAsksFirst) {
    env.ui.boxAnswers = {kIdNo};
    EXPECT_TRUE(Send(wm::COMMAND, kCmdShutdown).handled);
    EXPECT_TRUE(log.entries.empty());
    ASSERT_EQ(env.ui.boxes.size(), 1u);
    EXPECT_EQ(env.ui.boxes[0].owner, host.frame);
    EXPECT_EQ(env.ui.boxes[0].text,
              "Are you sure you want to shut down the Orbiscope Remote Software?\nYou will not "
              "be able to use your remote until you reboot your computer.");
    EXPECT_EQ(env.ui.boxes[0].caption, "Orbiscope Remote Warning");
    EXPECT_EQ(env.ui.boxes[0].flags, kMbYesNo | kMbIconExclamation);

    env.ui.boxAnswers = {kIdYes};
    Send(wm::COMMAND, kCmdShutdown);
    EXPECT_EQ(log.entries, (Entries{"save", "close document", "destroy"}));
}

TEST_F(ShellTest, ExitReleasesTheEndpointBeforeTheIconGoes) {
    SetReceiver(true);
    env.ui.boxAnswers = {kIdYes};
    Send(wm::COMMAND, kCmdShutdown);
    ExitShell(host);
    EXPECT_EQ(log.entries,
              (Entries{"save", "close document", "destroy", "release endpoint", "icon delete"}));
    EXPECT_EQ(TheTrayIcon().State(), TrayHidden);
    EXPECT_EQ(TheTrayIcon().Window(), WindowHandle{0});
}

TEST_F(ShellTest, EndOfSessionSavesWhenAskedAndClosesTheDocumentWhenItEnds) {
    const ShellReply query = Send(wm::QUERYENDSESSION);
    EXPECT_TRUE(query.handled);
    EXPECT_EQ(query.result, 1);
    EXPECT_EQ(log.entries, (Entries{"save"}));
    Send(wm::ENDSESSION, 0);  // the session goes on
    EXPECT_EQ(log.entries, (Entries{"save"}));
    Send(wm::ENDSESSION, 1);
    EXPECT_EQ(log.entries, (Entries{"save", "close document"}));
}

TEST_F(ShellTest, HelpOpensTheInstalledFileOrSaysItCannot) {
    struct Case {
        intptr_t shellResult;
        bool fails;
    };
    for (const Case c : {Case{33, false}, Case{32, true}, Case{2, true}, Case{0, true}}) {
        shell.calls.clear();
        env.ui.boxes.clear();
        shell.results = {c.shellResult};
        Send(wm::COMMAND, kCmdHelp);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].verb, "open");
        EXPECT_EQ(shell.calls[0].file, "C:\\Program Files\\Orbiscope\\Docs\\Kestrune.chm");
        EXPECT_EQ(shell.calls[0].owner, FakeDesktop::kDesktopHandle);
        EXPECT_EQ(shell.calls[0].parameters, "");
        EXPECT_EQ(shell.calls[0].directory, "");
        EXPECT_EQ(shell.calls[0].show, 1);
        ASSERT_EQ(env.ui.boxes.size(), c.fails ? 1u : 0u) << c.shellResult;
        if (c.fails) {
            EXPECT_EQ(env.ui.boxes[0].owner, host.frame);
            EXPECT_EQ(env.ui.boxes[0].text,
                      "Unable to find/open the help documentation.  Please try reinstalling the "
                      "Orbiscope software.");
            EXPECT_EQ(env.ui.boxes[0].caption, "Orbiscope Remote Error");
            EXPECT_EQ(env.ui.boxes[0].flags, kMbOk);
        }
    }
}

TEST_F(ShellTest, ProgramDirectoryStopsBeforeTheLastBackslash) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Orbiscope\\OrbiscopeRemote.exe", "C:\\Program Files\\Orbiscope"},
        {"C:\\OrbiscopeRemote.exe", "C:"},
        {"OrbiscopeRemote.exe", ""},
        {"", ""},
    };
    for (const auto& [path, dir] : cases) {
        shell.modulePath = path;
        EXPECT_EQ(ProgramDirectory(), dir) << path;
    }
    shell.modulePath = "D:\\x\\y.exe";
    shell.results = {1};
    EXPECT_THROW(LaunchIntroduction(), UserCancelException);
    EXPECT_EQ(shell.calls.back().file, "D:\\x\\Docs\\intro.exe");
}

TEST_F(ShellTest, ShowSettingsTimerFiresOnce) {
    ASSERT_TRUE(env.ui.SetTimer(host.frame, kShowSettingsTimer, 2000));
    EXPECT_TRUE(Send(wm::TIMER, kShowSettingsTimer).handled);
    EXPECT_EQ(env.ui.timers.count(kShowSettingsTimer), 0u);
    ASSERT_EQ(PostsTo(host.frame).size(), 1u);
    EXPECT_EQ(PostsTo(host.frame)[0].message, WM_REMOTE_SHOWSETTINGS);
    EXPECT_TRUE(log.entries.empty());  // the Settings command runs when the post arrives

    const ShellReply poll = Send(wm::TIMER, kFocusPollTimer);
    EXPECT_TRUE(poll.thenDefault);
    EXPECT_FALSE(Send(wm::TIMER, 999).handled);
}

TEST(ShellCommandLine, OnlyTheArgumentsCanAskForTheSettings) {
    const std::pair<const char*, bool> cases[] = {
        {"c:\\orbiscope\\orbiscoperemote.exe /s", true},
        {"\"c:\\program files\\orbiscoperemote.exe\" /s", true},
        {"orbiscoperemote.exe -quiet/show", true},
        {"orbiscoperemote.exe", false},
        {"orbiscoperemote.exe /x", false},
        {"/work/sh-win64/orbiscoperemote.exe", false},
        {"\"c:/soft/orbiscoperemote.exe\"", false},
        {"\"c:/soft/orbiscoperemote.exe\" /s", true},
        {"  /unix/soft/orbiscoperemote.exe\t/s", true},
        {"\"unterminated /s", false},
        {"", false},
    };
    for (const auto& [line, asks] : cases)
        EXPECT_EQ(CommandLineAsksForSettings(line), asks) << line;
}

TEST_F(ShellTest, SecondCopyForwardsTheSettingsAndTraceRequests) {
    const WindowHandle first = host.frame;
    EXPECT_FALSE(ForwardToRunningInstance(first, "c:\\orbiscoperemote.exe"));
    EXPECT_FALSE(ForwardToRunningInstance(0, "c:\\orbiscoperemote.exe /s /trace"));
    EXPECT_TRUE(env.desktop.messages.empty());
    const std::pair<const char*, std::vector<MessageId>> cases[] = {
        {"\"c:\\orbiscoperemote.exe\" -x/s", {WM_REMOTE_SHOWSETTINGS}},
        {"c:\\orbiscoperemote.exe /trace", {WM_REMOTE_STARTTRACELOG}},
        {"c:\\orbiscoperemote.exe /trace /s", {WM_REMOTE_STARTTRACELOG, WM_REMOTE_SHOWSETTINGS}},
    };
    for (const auto& [line, expected] : cases) {
        env.desktop.messages.clear();
        EXPECT_TRUE(ForwardToRunningInstance(first, line)) << line;
        std::vector<MessageId> got;
        for (const auto& post : PostsTo(first)) got.push_back(post.message);
        EXPECT_EQ(got, expected) << line;
    }
    EXPECT_TRUE(Send(WM_REMOTE_STARTTRACELOG).handled);
}

// The focus-request poll, with a requester window whose title carries the flags.
class FocusPollTest : public ShellTest {
protected:
    WindowHandle AddWindow(const std::string& title, const std::string& cls, Rect rect) {
        FakeWindow w;
        w.title = title;
        w.className = cls;
        w.rect = rect;
        w.pid = env.processes.Add("other.exe");
        w.thread = w.pid + 1;
        return env.desktop.Add(w);
    }
    std::vector<Point> Clicks() const { return env.input.clickPoints; }
};

TEST_F(FocusPollTest, ClicksTheForegroundWindowWhenAsked) {
    struct Case {
        const char* requester;
        const char* foreground;
        bool clicks;
    };
    const Case cases[] = {
        {"Player Orbiscope#02 +fg", "Editor", true},
        {"Player Orbiscope#02 +FG", "Editor", true},  // the flag is tested lower-cased
        {"Player Orbiscope#02", "Editor", false},
        {"Player orbiscope#02 +fg", "Editor", false},  // the marker is not
        // A window in front that asks by itself: not when it is a "#03" window.
        {"Player", "Orbiscope#03 Deck +fg", false},
        {"Player", "A Orbiscope#03 Deck +fg", true},
    };
    for (const Case& c : cases) {
        FakeEnv fresh;
        FakeWindow req;
        req.title = c.requester;
        req.className = "Requester";
        fresh.desktop.Add(req);
        const WindowHandle fg = fresh.Foreground("editor.exe", c.foreground);
        fresh.desktop.Find(fg)->rect = Rect{200, 150, 600, 500};
        FocusRequestPoll();
        if (c.clicks) {
            ASSERT_FALSE(fresh.input.clickPoints.empty()) << c.requester << " / " << c.foreground;
            EXPECT_EQ(fresh.input.clickPoints.front(), (Point{201, 151}));
        } else {
            EXPECT_TRUE(fresh.input.batches.empty()) << c.requester << " / " << c.foreground;
        }
    }
}

TEST_F(FocusPollTest, ThePlayerWindowGetsItsClickFirst) {
    AddWindow("Orbiscope#02 +fg", "Requester", Rect{0, 0, 10, 10});
    const WindowHandle player = AddWindow("Player", "Winamp v1.x", Rect{300, 200, 575, 316});
    env.Foreground("editor.exe", "Editor");
    FocusRequestPoll();
    EXPECT_EQ(env.desktop.foreground, player);
    ASSERT_FALSE(Clicks().empty());
    EXPECT_EQ(Clicks().front(), (Point{308, 250}));
}

TEST_F(FocusPollTest, NoRequesterNoInput) {
    env.Foreground("editor.exe", "Editor");
    AddWindow("Player", "Winamp v1.x", Rect{300, 200, 575, 316});
    FocusRequestPoll();
    EXPECT_TRUE(env.input.batches.empty());
}

// The first-run steps, run by the wait thread after an installation.
TEST_F(ShellTest, FirstRunStartsTheIntroductionAndResetsTheStartupValues) {
    struct Case {
        uint32_t cancelSlideshow;
        intptr_t shellResult;
        bool launches;
        bool complains;
    };
    const Case cases[] = {
        {0, 42, true, false},
        {0, 31, true, true},
        {1, 42, false, false},
    };
    for (const Case& c : cases) {
        FakeRegistry& reg = env.registry;
        reg.SetDword(Hive::CurrentUser, kSettingsKeyPath, "InstallJustRan", 1);
        reg.SetDword(Hive::CurrentUser, kSettingsKeyPath, "CancelSlideshow", c.cancelSlideshow);
        shell.calls.clear();
        shell.results = {c.shellResult};
        env.ui.boxes.clear();
        env.desktop.messages.clear();

        FirstRunSteps(host.frame);

        const auto posts = PostsTo(host.frame);
        // The main thread closes the wait window if it is open.
        ASSERT_EQ(posts.size(), 1u);
        EXPECT_EQ(posts[0].message, WM_REMOTE_CLOSEPLUGINWAIT);
        for (const auto& m : env.desktop.messages) EXPECT_FALSE(m.sent);
        ASSERT_EQ(shell.calls.size(), c.launches ? 1u : 0u);
        if (c.launches) {
            EXPECT_EQ(shell.calls[0].file, "C:\\Program Files\\Orbiscope\\Docs\\intro.exe");
            EXPECT_EQ(shell.calls[0].verb, "open");
        }
        ASSERT_EQ(env.ui.boxes.size(), c.complains ? 1u : 0u);
        if (c.complains) {
            EXPECT_EQ(env.ui.boxes[0].text,
                      "Unable to start Introduction to Orbiscope Remote (intro.exe)");
            EXPECT_EQ(env.ui.boxes[0].caption, "Orbiscope Remote Error");
            EXPECT_EQ(env.ui.boxes[0].owner, host.frame);
        }
        uint32_t v = 99;
        ASSERT_TRUE(reg.GetDword(Hive::CurrentUser, kSettingsKeyPath, "InstallJustRan", v));
        EXPECT_EQ(v, 0u);
        ASSERT_TRUE(reg.GetDword(Hive::CurrentUser, kSettingsKeyPath, "CancelSlideshow", v));
        EXPECT_EQ(v, 0u);
    }
}

// The notification area rebuilt: the icon comes back as it was, retried until it takes.
TEST_F(ShellTest, RebuiltNotificationAreaGetsTheIconBack) {
    Send(kTaskbarCreated);  // before the receiver search: no icon to bring back
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(env.ui.timers.count(kTrayRestoreTimer), 0u);

    SetReceiver(true);
    EXPECT_TRUE(Send(kTaskbarCreated).handled);
    EXPECT_EQ(log.entries, (Entries{"icon add Orbiscope Remote"}));
    EXPECT_EQ(env.ui.timers.count(kTrayRestoreTimer), 0u);

    log.entries.clear();
    SetReceiver(false);
    notify.addFailures = 2;
    Send(kTaskbarCreated);
    EXPECT_EQ(env.ui.timers.count(kTrayRestoreTimer), 1u);
    Send(wm::TIMER, kTrayRestoreTimer);
    EXPECT_EQ(env.ui.timers.count(kTrayRestoreTimer), 1u);
    Send(wm::TIMER, kTrayRestoreTimer);
    EXPECT_EQ(env.ui.timers.count(kTrayRestoreTimer), 0u);
    EXPECT_EQ(log.entries, (Entries{"icon add failed", "icon add failed",
                                    "icon add Orbiscope Remote (Not Available)"}));
    EXPECT_EQ(TheTrayIcon().State(), TrayNotAvailable);
}

TEST_F(ShellTest, RestoreRetriesGiveUpEventually) {
    SetReceiver(true);
    notify.addFailures = 1000;
    Send(kTaskbarCreated);
    int ticks = 0;
    while (env.ui.timers.count(kTrayRestoreTimer) != 0 && ticks < 1000) {
        Send(wm::TIMER, kTrayRestoreTimer);
        ++ticks;
    }
    EXPECT_EQ(ticks, kTrayRestoreAttempts);
    EXPECT_EQ(TheTrayIcon().State(), TrayAvailable);  // the receiver is untouched
}

}  // namespace
