#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/dispatcher.h"
#include "fake_env.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "state/notices.h"

namespace {

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheReceiver().valueCount = 0;
        env.Foreground("unknown.exe", "Some Editor");
    }

    FakeEnv env;
};

// The plug-in windows hear of a button through a message the system registers by name, so
// that every program asking for the same name gets the same number.
TEST_F(DispatcherTest, TheButtonMessageIsRegisteredByItsName) {
    ASSERT_EQ(env.desktop.registered.count("6B1D07E2-95A3-4f1e-B8C4-2E7A5D90C613"), 1u);
    EXPECT_EQ(ButtonMessage(), env.desktop.registered[kButtonMessageName]);
}

// What the trace does not show (the warning's text, order and answers are in
// tests/scenarios/warning-*.press): input that arrives while the warning is open is
// dropped, and the setting stays on, marked changed.
TEST_F(DispatcherTest, PressesWhileTheWarningIsOpenAreDropped) {
    env.ui.whileUnsupportedOpen = [&] { AppendValue(7); };
    env.Receive(Play, 1);
    ASSERT_EQ(env.ui.unsupportedShown.size(), 1u);
    EXPECT_EQ(TheReceiver().valueCount, 0);
    EXPECT_EQ(env.settings->ShowUnsupportedDlg.load(), 1);
    EXPECT_TRUE(env.settings->IsModified());
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
