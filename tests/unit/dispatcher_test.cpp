#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "routing/dispatcher.h"
#include "routing/power.h"
#include "state/notices.h"

namespace {

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheReceiver().valueCount = 0;
        front = env.Foreground("unknown.exe", "Some Editor");
    }

    void Receive(int32_t id, int variant) { env.Receive(id, variant); }

    WindowHandle AddWindow(const std::string& exe, const std::string& title,
                           const std::string& className) {
        return env.AddWindow(exe, title, className);
    }

    std::vector<FakeMessage> PostsTo(WindowHandle w) const { return env.desktop.MessagesTo(w); }

    std::vector<uint16_t> KeysDown() const { return env.input.KeysDown(); }

    FakeEnv env;
    WindowHandle front = 0;
};

TEST_F(DispatcherTest, GirderWindowTakesEveryButtonBeforeAnythingElse) {
    const WindowHandle girder = AddWindow("girder.exe", "", kGirderClass);
    env.desktop.foreground = front;
    AddWindow("wmx.exe", "", kWmxClass);
    env.settings->MouseModeEnabled = 1;
    env.settings->PowerButtonEnabled = 1;
    env.settings->PowerButtonMode = kPowerScreenSaver;
    for (int32_t b : {Power, VolumeUp, Mute, Up, Ok, Play, MacroButton1, Extra41}) {
        EXPECT_TRUE(ButtonDispatcher(b, 1)) << b;
    }
    const auto posts = PostsTo(girder);
    ASSERT_EQ(posts.size(), 8u);
    EXPECT_EQ(posts[0], (FakeMessage{girder, 0, kGirderMessage, Power, 0, false}));
    EXPECT_EQ(posts[3].wParam, static_cast<WParam>(Up));
    EXPECT_EQ(posts[7].wParam, static_cast<WParam>(Extra41));
    EXPECT_EQ(env.desktop.messages.size(), 8u);  // nothing to the foreground or the desktop
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.power.calls.empty());
}

TEST_F(DispatcherTest, WmxWindowTakesEveryButtonAsButtonMessage) {
    const WindowHandle wmx = AddWindow("wmx.exe", "", kWmxClass);
    env.desktop.foreground = front;
    env.settings->MouseModeEnabled = 1;
    for (int32_t b : {Power, Up, Play}) EXPECT_TRUE(ButtonDispatcher(b, 1));
    const auto posts = PostsTo(wmx);
    ASSERT_EQ(posts.size(), 3u);
    ASSERT_EQ(env.desktop.registered.count("6B1D07E2-95A3-4f1e-B8C4-2E7A5D90C613"), 1u);
    for (const auto& m : posts) EXPECT_EQ(m.message, env.desktop.registered[kButtonMessageName]);
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
}

TEST_F(DispatcherTest, WithoutSettingsEveryButtonIsSwallowed) {
    SetCurrentSettings(nullptr);
    for (int32_t b : {Power, Play, Up, MacroButton1}) EXPECT_TRUE(ButtonDispatcher(b, 1));
    EXPECT_TRUE(env.desktop.messages.empty());
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
}

TEST_F(DispatcherTest, WmxaBehindLeavesMouseModeAndGlobalButtonsAlone) {
    const WindowHandle wmxa = AddWindow("wmxa.exe", "", kWmxaClass);
    env.desktop.foreground = front;
    env.settings->MouseModeEnabled = 1;
    env.settings->PowerButtonEnabled = 1;
    env.settings->PowerButtonMode = 3;

    EXPECT_TRUE(ButtonDispatcher(Up, 1));
    ASSERT_EQ(env.desktop.cursorMoves.size(), 1u);
    EXPECT_EQ(env.desktop.cursor, (Point{500, 398}));

    EXPECT_TRUE(ButtonDispatcher(Power, 1));
    EXPECT_EQ(PostsTo(FakeDesktop::kDesktopHandle).size(), 1u);  // the screen saver

    EXPECT_TRUE(ButtonDispatcher(MacroButton1, 1));  // Macro1 defaults to Alt+Enter
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::MENU, vk::RETURN}));

    EXPECT_TRUE(ButtonDispatcher(Play, 1));
    const auto posts = PostsTo(wmxa);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0], (FakeMessage{wmxa, 0, ButtonMessage(), Play, 0, false}));
    EXPECT_TRUE(PostsTo(front).empty());

    // The volume buttons stay global too: they act on the volume, which forwards them to
    // a cooperating window in front, and the plug-in window gets nothing.
    env.Foreground("player.exe", "Orbiscope#03 Player");
    env.input.Clear();
    EXPECT_TRUE(ButtonDispatcher(VolumeUp, 1));
    EXPECT_TRUE(ButtonDispatcher(Mute, 1));
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::OEM_6, vk::OEM_5}));
    EXPECT_EQ(PostsTo(wmxa).size(), 1u);
}

TEST_F(DispatcherTest, NoMouseFlagInAnyCaseSendsArrowsToTheProgram) {
    env.settings->MouseModeEnabled = 1;
    env.settings->AutoSwitchEnabled = 0;
    for (const char* title : {"Player -ms", "Player -MS", "Player -mS"}) {
        env.desktop.Find(front)->title = title;
        EXPECT_FALSE(ButtonDispatcher(Up, 1)) << title;
    }
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
    EXPECT_EQ(PostsTo(front).size(), 3u);
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
}

TEST_F(DispatcherTest, PluginClassInFrontTakesButtonsInsteadOfMouseMode) {
    env.settings->MouseModeEnabled = 1;
    env.desktop.Find(front)->className = "Orbiscope.WMPlugin";
    EXPECT_TRUE(ButtonDispatcher(Up, 1));
    EXPECT_TRUE(ButtonDispatcher(Play, 1));
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
    const auto posts = PostsTo(front);
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[1], (FakeMessage{front, 0, ButtonMessage(), Play, 0, false}));
}

// --- mouse mode -------------------------------------------------------------------

class MouseModeTest : public DispatcherTest {
protected:
    void SetUp() override {
        DispatcherTest::SetUp();
        env.settings->MouseModeEnabled = 1;
    }
    // Presses (b, v) after `gap` ms and answers how far the cursor moved.
    Point Move(int32_t b, int v, uint32_t gap = 100) {
        env.clock.Advance(gap);
        const Point before = env.desktop.cursor;
        EXPECT_TRUE(ButtonDispatcher(b, v));
        return Point{env.desktop.cursor.x - before.x, env.desktop.cursor.y - before.y};
    }
    static int32_t Length(Point d) { return d.x != 0 ? (d.x < 0 ? -d.x : d.x) : (d.y < 0 ? -d.y : d.y); }
    bool Clicked() const { return !env.input.batches.empty(); }
};

TEST_F(MouseModeTest, HeldArrowAcceleratesByItsAxis) {
    const std::vector<int32_t> vertical{2, 2, 15, 15, 15, 15, 15, 15, 15, 25, 25, 25};
    const std::vector<int32_t> horizontal{2, 2, 15, 15, 15, 15, 15, 25, 25, 25, 25, 25};
    struct Case {
        int32_t button;
        Point direction;
        const std::vector<int32_t>& steps;
    } cases[] = {
        {Up, {0, -1}, vertical},
        {Down, {0, 1}, vertical},
        {Left, {-1, 0}, horizontal},
        {Right, {1, 0}, horizontal},
    };
    for (const Case& c : cases) {
        TheMouseModeState() = MouseModeState{};
        env.clock.Advance(5000);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Point d = Move(c.button, 1);
            EXPECT_EQ(d, (Point{c.direction.x * c.steps[i], c.direction.y * c.steps[i]}))
                << "button " << c.button << " movement " << i + 1;
        }
    }
}

TEST_F(MouseModeTest, OppositeArrowStartsSlowAgain) {
    for (int i = 0; i < 6; ++i) Move(Up, 1);
    EXPECT_EQ(Move(Up, 1), (Point{0, -15}));
    std::vector<int32_t> downs;
    for (int i = 0; i < 4; ++i) downs.push_back(Length(Move(Down, 1)));
    EXPECT_EQ(downs, (std::vector<int32_t>{2, 2, 2, 15}));
    EXPECT_EQ(Move(Left, 1), (Point{-2, 0}));  // a different axis is a fresh start too
}

TEST_F(MouseModeTest, QuickRepressThenHoldGoesFastUntilASecondPasses) {
    // Starting just before the tick count wraps: differences stay small.
    env.clock.now = 0xFFFFFF00u;
    Move(Up, 1);
    Move(Up, 1);
    EXPECT_EQ(Move(Up, 2, 250), (Point{0, -2}));  // re-pressed within 300 ms
    EXPECT_EQ(Move(Up, 2), (Point{0, -50}));      // held: fast
    EXPECT_TRUE(TheMouseModeState().fastMode);
    EXPECT_EQ(Move(Right, 1, 900), (Point{50, 0}));  // any arrow, within the second
    const Point after = Move(Right, 1, 1001);
    EXPECT_FALSE(TheMouseModeState().fastMode);
    EXPECT_EQ(after, (Point{2, 0}));
    EXPECT_EQ(TheMouseModeState().repressCount, 0u);
}

TEST_F(MouseModeTest, SlowRepressDoesNotGoFast) {
    Move(Up, 1);
    EXPECT_EQ(Move(Up, 2, 300), (Point{0, -2}));
    EXPECT_EQ(Move(Up, 2), (Point{0, -2}));
    EXPECT_FALSE(TheMouseModeState().fastMode);
}

TEST_F(MouseModeTest, OkLeavesFastModeWithoutClickingThenClicks) {
    Move(Left, 1);
    Move(Left, 2, 200);
    Move(Left, 2);
    ASSERT_TRUE(TheMouseModeState().fastMode);
    env.clock.Advance(60000);  // however long after
    EXPECT_TRUE(ButtonDispatcher(Ok, 1));
    EXPECT_FALSE(Clicked());
    EXPECT_FALSE(TheMouseModeState().fastMode);
    EXPECT_TRUE(ButtonDispatcher(Ok, 2));
    ASSERT_EQ(env.input.batches.size(), 1u);
    EXPECT_EQ(env.input.batches[0][0].flags, kMouseLeftDown);
}

TEST_F(MouseModeTest, ExitClicksRightAndOtherButtonsFallThrough) {
    EXPECT_TRUE(ButtonDispatcher(Exit, 1));
    ASSERT_EQ(env.input.batches.size(), 1u);
    EXPECT_EQ(env.input.batches[0][0].flags, kMouseRightDown);
    env.settings->ShowUnsupportedDlg = 0;
    EXPECT_FALSE(ButtonDispatcher(Play, 1));  // not mouse mode's: on to the catalogue walk
    EXPECT_EQ(PostsTo(front).size(), 1u);
}

TEST_F(MouseModeTest, ClicksDoNotCountAsMovements) {
    Move(Up, 1);
    EXPECT_TRUE(ButtonDispatcher(Ok, 2));
    // Still the same arrow re-pressed quickly, as far as mouse mode knows.
    Move(Up, 2, 150);
    EXPECT_EQ(Move(Up, 2), (Point{0, -50}));
}

// --- the end of the road: catalogue walk and warning --------------------------------

TEST_F(DispatcherTest, UnsupportedProgramWarnsOncePerPressThenTheDefaultKeyFollows) {
    size_t postsWhenShown = 0;
    env.ui.whileUnsupportedOpen = [&] {
        postsWhenShown = PostsTo(front).size();
        AppendValue(7);  // presses made while the warning is open
    };
    Receive(Play, 1);
    ASSERT_EQ(env.ui.unsupportedShown.size(), 1u);
    EXPECT_EQ(env.ui.unsupportedShown[0],
              "The program window you are currenty trying to control (unknown.exe), is not "
              "supported by the Orbiscope drivers you have installed.");
    EXPECT_EQ(postsWhenShown, 1u);  // ButtonMessage went to the foreground first
    EXPECT_EQ(TheReceiver().valueCount, 0);
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::MEDIA_PLAY_PAUSE}));
    EXPECT_EQ(env.settings->ShowUnsupportedDlg.load(), 1);
    EXPECT_TRUE(env.settings->IsModified());

    Receive(Play, 2);
    EXPECT_EQ(env.ui.unsupportedShown.size(), 2u);
    EXPECT_EQ(KeysDown().size(), 2u);
}

TEST_F(DispatcherTest, WarningCheckBoxCountsOnlyWhenClosedWithOk) {
    env.ui.unsupportedAnswer = UnsupportedAnswer{false, true};
    EXPECT_FALSE(ButtonDispatcher(Stop, 1));
    EXPECT_EQ(env.settings->ShowUnsupportedDlg.load(), 1);
    env.ui.unsupportedAnswer = UnsupportedAnswer{true, true};
    EXPECT_FALSE(ButtonDispatcher(Stop, 2));
    EXPECT_EQ(env.settings->ShowUnsupportedDlg.load(), 0);
    EXPECT_FALSE(ButtonDispatcher(Stop, 1));
    EXPECT_EQ(env.ui.unsupportedShown.size(), 2u);
}

TEST_F(DispatcherTest, WarningNamesNothingWhenTheProcessIsGone) {
    env.processes.processes.clear();
    EXPECT_FALSE(ButtonDispatcher(Menu, 1));
    ASSERT_EQ(env.ui.unsupportedShown.size(), 1u);
    EXPECT_NE(env.ui.unsupportedShown[0].find("control (), is"), std::string::npos);
}

TEST_F(DispatcherTest, NavigationButtonsAreNeverWarnedAbout) {
    for (int32_t b : {Up, Down, Left, Right, Ok, Exit}) {
        Receive(b, 1);
        Receive(b, 2);
    }
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::UP, vk::UP, vk::DOWN, vk::DOWN, vk::LEFT,
                                                 vk::LEFT, vk::RIGHT, vk::RIGHT, vk::RETURN,
                                                 vk::RETURN, vk::MENU, vk::F4, vk::MENU, vk::F4}));
}

TEST_F(DispatcherTest, SupportedProgramWithoutTheButtonGetsTheDefaultKeyAndNoWarning) {
    env.desktop.Remove(front);
    front = env.Foreground("vlc.exe", "VLC media player");
    ASSERT_EQ(ForegroundCatalogueRow(), 80);
    Receive(Digit5, 1);
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{'5'}));
    EXPECT_EQ(PostsTo(front).size(), 1u);
}

TEST_F(DispatcherTest, CooperatingWindowIsTheFirstRow) {
    env.desktop.Find(front)->title = "Orbiscope# #02 remote client";
    EXPECT_TRUE(ButtonDispatcher(Play, 1));
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{'P'}));
    const auto posts = PostsTo(front);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0], (FakeMessage{front, 0, ButtonMessage(), Play, 0, false}));
    // A button the cooperating window has no key for is not handled; no warning.
    EXPECT_FALSE(ButtonDispatcher(Extra35, 1));
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
    EXPECT_EQ(PostsTo(front).size(), 2u);
}

TEST_F(DispatcherTest, AutoSwitchBringsASupportedProgramBehindToTheFront) {
    FakeWindow behind;
    behind.pid = env.processes.Add("VLC.EXE");
    behind.thread = behind.pid + 1;
    behind.title = "VLC media player";
    behind.minimized = true;
    const WindowHandle vlc = env.desktop.Add(behind);
    env.desktop.BringToTop(front);

    EXPECT_TRUE(ButtonDispatcher(Stop, 1));
    EXPECT_EQ(env.desktop.foreground, vlc);
    EXPECT_FALSE(env.desktop.Find(vlc)->minimized);
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{'S'}));
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
    EXPECT_EQ(PostsTo(vlc).size(), 1u);
    EXPECT_TRUE(PostsTo(front).empty());
}

TEST_F(DispatcherTest, NoAutoSwitchForNavigationButtonsOrWhenOff) {
    FakeWindow behind;
    behind.pid = env.processes.Add("vlc.exe");
    behind.title = "VLC media player";
    env.desktop.Add(behind);
    env.desktop.BringToTop(front);
    for (int32_t b : {Up, Down, Left, Right, Ok}) ButtonDispatcher(b, 1);
    EXPECT_EQ(env.desktop.foreground, front);
    env.settings->AutoSwitchEnabled = 0;
    env.settings->ShowUnsupportedDlg = 0;
    EXPECT_FALSE(ButtonDispatcher(Stop, 1));
    EXPECT_EQ(env.desktop.foreground, front);
}

TEST_F(DispatcherTest, GlobalButtonsAnswerWithTheirAction) {
    env.settings->SetMacro(2, 0);
    env.settings->SetFavorite(2, "missing.exe");
    env.shell.results = {2};
    EXPECT_FALSE(ButtonDispatcher(MacroButton2, 1));  // the launch failed
    ASSERT_EQ(env.shell.calls.size(), 1u);
    EXPECT_TRUE(ButtonDispatcher(MacroButton2, 2));
    EXPECT_TRUE(ButtonDispatcher(Power, 1));
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
    // Global buttons never reach the foreground as ButtonMessage.
    EXPECT_TRUE(PostsTo(front).empty());
}

// The program's own windows: its settings in front take default keys (no switch, no
// warning); its hidden frame in front is no foreign program to warn about.
TEST_F(DispatcherTest, OwnWindowsAreNeverWarnedAboutAndTheSettingsTakeDefaultKeys) {
    FakeWindow behind;
    behind.pid = env.processes.Add("vlc.exe");
    behind.title = "VLC media player";
    const WindowHandle vlc = env.desktop.Add(behind);
    const WindowHandle settings = AddWindow("OrbiscopeRemote.exe", "Orbiscope Settings", "#32770");
    env.processes.self = env.desktop.Find(settings)->pid;
    env.desktop.BringToTop(settings);
    env.desktop.foreground = settings;
    EXPECT_FALSE(ButtonDispatcher(Play, 1));
    EXPECT_EQ(env.desktop.foreground, settings);
    EXPECT_TRUE(PostsTo(settings).empty());

    env.settings->AutoSwitchEnabled = 0;
    env.desktop.Find(settings)->style = 0;  // the hidden frame
    EXPECT_FALSE(ButtonDispatcher(Play, 1));
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
    EXPECT_NE(env.desktop.foreground, vlc);
}

std::vector<std::string> g_notices;
void RecordNotice(const std::string& text) { g_notices.push_back(text); }

// A program in front that runs as administrator is named once per session; the press
// still goes to it as usual. One that cannot be asked is named nowhere: it may be
// another user's ordinary program.
TEST_F(DispatcherTest, ProgramsRunningAsAdministratorAreNamedOncePerSession) {
    g_notices.clear();
    SetNoticeSink(&RecordNotice);
    env.settings->AutoSwitchEnabled = 0;  // each program stays in front when pressed at
    env.settings->ShowUnsupportedDlg = 0;
    const WindowHandle vlc = env.Foreground("vlc.exe", "VLC media player");
    env.processes.elevation[env.desktop.Find(vlc)->pid] = Elevation::Elevated;
    EXPECT_TRUE(ButtonDispatcher(Stop, 1));
    EXPECT_TRUE(ButtonDispatcher(Play, 1));
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{'S', vk::SPACE}));
    const WindowHandle tool = env.Foreground("regedit.exe", "Registry Editor");
    env.processes.elevation[env.desktop.Find(tool)->pid] = Elevation::AccessDenied;
    ButtonDispatcher(Play, 1);
    env.Foreground("notepad.exe", "Untitled - Notepad");  // an ordinary program
    ButtonDispatcher(Play, 1);
    env.desktop.foreground = vlc;
    ButtonDispatcher(Play, 1);
    EXPECT_EQ(g_notices,
              (std::vector<std::string>{
                  "Orbiscope Remote cannot control vlc.exe because it runs as administrator. "
                  "Start vlc.exe normally, or start Orbiscope Remote as administrator too."}));
    SetNoticeSink(nullptr);
}

// The answer is kept for the process, not for its id: a new process under the id of one
// that ended is asked again.
TEST_F(DispatcherTest, ElevationIsAskedAgainWhenAnIdIsReused) {
    g_notices.clear();
    SetNoticeSink(&RecordNotice);
    env.settings->AutoSwitchEnabled = 0;
    env.settings->ShowUnsupportedDlg = 0;
    const WindowHandle w = env.Foreground("mpc-hc.exe", "Media Player Classic");
    const ProcessId pid = env.desktop.Find(w)->pid;
    env.processes.startTimes[pid] = 1000;
    ButtonDispatcher(Play, 1);
    ButtonDispatcher(Play, 1);
    EXPECT_EQ(env.processes.elevationQueries, 1);
    env.processes.startTimes[pid] = 2000;  // the same id, now an elevated program
    env.processes.elevation[pid] = Elevation::Elevated;
    ButtonDispatcher(Play, 1);
    EXPECT_EQ(env.processes.elevationQueries, 2);
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_NE(g_notices[0].find("mpc-hc.exe"), std::string::npos);
    SetNoticeSink(nullptr);
}

}  // namespace
