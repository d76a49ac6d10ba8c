#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "engine/dispatcher.h"
#include "engine/power.h"
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

// The plug-in windows hear of a button through a message the system registers by name, so
// that every program asking for the same name gets the same number.
TEST_F(DispatcherTest, TheButtonMessageIsRegisteredByItsName) {
    ASSERT_EQ(env.desktop.registered.count("6B1D07E2-95A3-4f1e-B8C4-2E7A5D90C613"), 1u);
    EXPECT_EQ(ButtonMessage(), env.desktop.registered[kButtonMessageName]);
}

// --- the end of the road: catalogue walk and warning --------------------------------

// What the trace does not show (the warning's text and order are in
// tests/scenarios/warning-for-an-unsupported-program.press): presses made while the
// warning is open are dropped, and the setting stays on, marked changed.
TEST_F(DispatcherTest, PressesWhileTheWarningIsOpenAreDropped) {
    env.ui.whileUnsupportedOpen = [&] { AppendValue(7); };
    Receive(Play, 1);
    ASSERT_EQ(env.ui.unsupportedShown.size(), 1u);
    EXPECT_EQ(TheReceiver().valueCount, 0);
    EXPECT_EQ(env.settings->ShowUnsupportedDlg.load(), 1);
    EXPECT_TRUE(env.settings->IsModified());
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
