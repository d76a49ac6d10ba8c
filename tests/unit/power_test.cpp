#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/vk.h"
#include "receiver/receiver.h"
#include "engine/dispatcher.h"
#include "engine/power.h"

namespace {

class PowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheReceiver().valueCount = 0;
        front = env.Foreground("editor.exe", "Some Editor");
        env.settings->PowerButtonEnabled = 1;
    }
    std::vector<FakeMessage> PostsTo(WindowHandle w) const { return env.desktop.MessagesTo(w); }
    std::vector<uint16_t> KeysDown() const { return env.input.KeysDown(); }
    bool ScreenSaverStarted() const {
        for (const auto& m : PostsTo(FakeDesktop::kDesktopHandle))
            if (m.message == wm::SYSCOMMAND && m.wParam == kScScreenSave && m.lParam == 0) return true;
        return false;
    }
    void Title(const std::string& t) { env.desktop.Find(front)->title = t; }

    FakeEnv env;
    WindowHandle front = 0;
};

TEST_F(PowerTest, PluginClassInFrontGetsThePowerButtonWhileItIsOff) {
    env.settings->PowerButtonEnabled = 0;
    env.desktop.Find(front)->className = "Orbiscope.WMXA";
    Title("Orbiscope# #03");  // the plug-in rule comes before the cooperating one
    EXPECT_EQ(PowerAction(Power), 1);
    const auto posts = PostsTo(front);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0], (FakeMessage{front, 0, ButtonMessage(), Power, 0, false}));
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.power.calls.empty());
}

TEST_F(PowerTest, PluginClassInFrontDoesNotStopAnEnabledPowerButton) {
    env.desktop.Find(front)->className = "Orbiscope.WMX";
    env.settings->PowerButtonMode = kPowerScreenSaver;
    EXPECT_EQ(PowerAction(Power), 1);
    EXPECT_TRUE(PostsTo(front).empty());
    EXPECT_TRUE(ScreenSaverStarted());
}

TEST_F(PowerTest, CooperatingWindowGetsItsKeyAndThePowerFlagStopsThere) {
    env.settings->PowerButtonMode = kPowerScreenSaver;
    Title("ORBISCOPE# #03 media client");
    EXPECT_EQ(PowerAction(Power), 1);
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::OEM_3}));
    EXPECT_TRUE(ScreenSaverStarted());

    env.desktop.messages.clear();
    env.input.Clear();
    env.power.calls.clear();
    Title("Orbiscope# #03 -P media client");
    EXPECT_EQ(PowerAction(Power), 1);
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::OEM_3}));
    EXPECT_FALSE(ScreenSaverStarted());
    EXPECT_TRUE(env.power.calls.empty());
}

TEST_F(PowerTest, PowerFlagOfAWindowThatIsNotCooperatingMeansNothing) {
    env.settings->PowerButtonMode = kPowerScreenSaver;
    Title("notes -p draft");
    EXPECT_EQ(PowerAction(Power), 1);
    EXPECT_TRUE(ScreenSaverStarted());
    EXPECT_TRUE(env.input.batches.empty());
}

TEST_F(PowerTest, SwitchedOffOrWithoutSettingsNothingHappens) {
    env.settings->PowerButtonEnabled = 0;
    EXPECT_EQ(PowerAction(Power), 1);
    SetCurrentSettings(nullptr);
    EXPECT_EQ(PowerAction(Power), 1);
    EXPECT_TRUE(env.power.calls.empty());
    EXPECT_TRUE(env.desktop.messages.empty());
}

TEST_F(PowerTest, EveryModeAfterThePrivilege) {
    const OsVersion nt{true, kPlatformNt, 5, 1};
    const OsVersion win98{true, kPlatformWin9x, 4, 10};
    const OsVersion me{true, kPlatformWin9x, 4, 90};
    const OsVersion win95{true, kPlatformWin9x, 4, 0};
    struct Case {
        int32_t mode;
        OsVersion version;
        std::vector<std::string> calls;
        bool explorerEnded;
        bool screenSaver;
    } cases[] = {
        {0, nt, {"privilege SeShutdownPrivilege", "suspend"}, false, false},
        {1, nt, {"privilege SeShutdownPrivilege", "hibernate"}, false, false},
        {2, nt, {"privilege SeShutdownPrivilege", "exit 12"}, false, false},
        {2, win95, {"privilege SeShutdownPrivilege", "exit 12"}, false, false},
        {2, win98, {"privilege SeShutdownPrivilege", "exit 13"}, true, false},
        {2, me, {"privilege SeShutdownPrivilege", "exit 13"}, true, false},
        {3, nt, {"privilege SeShutdownPrivilege"}, false, true},
        {7, nt, {"privilege SeShutdownPrivilege"}, false, true},
        {-1, nt, {"privilege SeShutdownPrivilege"}, false, true},
    };
    for (const Case& c : cases) {
        FakeEnv fresh;
        fresh.settings->PowerButtonEnabled = 1;
        fresh.settings->PowerButtonMode = c.mode;
        fresh.power.version = c.version;
        fresh.processes.Add("System");
        const ProcessId explorer = fresh.processes.Add("EXPLORER.EXE");
        fresh.Foreground("editor.exe");
        EXPECT_EQ(PowerAction(Power), 1);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " minor " << c.version.minor);
        EXPECT_EQ(fresh.power.calls, c.calls);
        if (c.explorerEnded) {
            EXPECT_EQ(fresh.processes.terminated,
                      (std::vector<std::pair<ProcessId, uint32_t>>{{explorer, 1u}}));
        } else {
            EXPECT_TRUE(fresh.processes.terminated.empty());
        }
        bool saver = false;
        for (const auto& m : fresh.desktop.messages)
            saver |= m.window == FakeDesktop::kDesktopHandle && m.message == wm::SYSCOMMAND &&
                     m.wParam == kScScreenSave;
        EXPECT_EQ(saver, c.screenSaver);
        for (const auto& s : fresh.power.powerStates) EXPECT_TRUE(s.force);
    }
}

TEST_F(PowerTest, Windows98ShutsDownEvenWithoutAnExplorer) {
    env.settings->PowerButtonMode = kPowerShutdown;
    env.power.version = OsVersion{true, kPlatformWin9x, 4, 10};
    EXPECT_EQ(PowerAction(Power), 1);
    EXPECT_TRUE(env.processes.terminated.empty());
    EXPECT_EQ(env.power.exits, (std::vector<uint32_t>{0x0D}));
}

TEST_F(PowerTest, QueuedInputIsDroppedOnlyAfterARealResume) {
    for (int32_t mode : {kPowerStandby, kPowerHibernate}) {
        env.settings->PowerButtonMode = mode;
        env.power.powerStateSucceeds = false;
        AppendValue(9);
        AppendValue(9);
        EXPECT_EQ(PowerAction(Power), 1);
        EXPECT_EQ(TheReceiver().valueCount, 2) << "a refused request does not discard";
        env.power.powerStateSucceeds = true;
        EXPECT_EQ(PowerAction(Power), 1);
        EXPECT_EQ(TheReceiver().valueCount, 0) << mode;
    }
}

// --- screen-saver wake-up -----------------------------------------------------------

TEST_F(PowerTest, WakeUpClosesTheVisibleWindowsOfTheScreenSaverDesktop) {
    FakeWindow shown, hidden;
    shown.desktopName = hidden.desktopName = "Screen-saver";
    hidden.style = 0;
    const WindowHandle a = env.desktop.Add(shown);
    const WindowHandle b = env.desktop.Add(hidden);
    ScreenSaverWakeUp();
    EXPECT_EQ(PostsTo(a), (std::vector<FakeMessage>{{a, 0, wm::CLOSE, 0, 0, false}}));
    EXPECT_TRUE(PostsTo(b).empty());
    EXPECT_TRUE(PostsTo(front).empty());
    EXPECT_EQ(env.desktop.openedDesktops, (std::vector<std::string>{"Screen-saver"}));
}

TEST_F(PowerTest, WakeUpClosesTheScreenSaverWindowOfEitherClass) {
    FakeWindow fallback;
    fallback.className = "Default Screen Saver";
    const WindowHandle dflt = env.desktop.Add(fallback);
    ScreenSaverWakeUp();
    EXPECT_EQ(PostsTo(dflt).size(), 1u);

    FakeWindow saver;
    saver.className = "WindowsScreenSaverClass";
    const WindowHandle w = env.desktop.Add(saver);
    env.desktop.messages.clear();
    ScreenSaverWakeUp();
    EXPECT_EQ(PostsTo(w), (std::vector<FakeMessage>{{w, 0, wm::CLOSE, 0, 0, false}}));
    EXPECT_TRUE(PostsTo(dflt).empty()) << "the first class wins";
}

TEST_F(PowerTest, WakeUpLightsTheDisplayOnlyWhenPowerSavingIsOn) {
    struct Case {
        bool lowPower, powerOff;
        int32_t expected;
    } cases[] = {{false, false, 0}, {true, false, 1}, {false, true, 1}, {true, true, 1}};
    for (const Case& c : cases) {
        env.power.displayRequired = 0;
        env.power.lowPowerActive = c.lowPower;
        env.power.powerOffActive = c.powerOff;
        ScreenSaverWakeUp();
        EXPECT_EQ(env.power.displayRequired, c.expected) << c.lowPower << c.powerOff;
    }
    EXPECT_TRUE(env.desktop.messages.empty());
}

TEST_F(PowerTest, ProcessIdByNameFindsTheFirstContainingName) {
    env.processes.processes.clear();
    env.processes.Add("[System Process]");
    const ProcessId first = env.processes.Add("C:\\WINDOWS\\Explorer.EXE");
    env.processes.Add("explorer.exe");
    EXPECT_EQ(ProcessIdByName("explorer.exe"), first);
    EXPECT_EQ(ProcessIdByName("plorer"), first);
    EXPECT_EQ(ProcessIdByName("Explorer"), 0u) << "patterns are lower case";
    EXPECT_EQ(ProcessIdByName("winamp.exe"), 0u);
    env.processes.snapshotFails = true;
    EXPECT_EQ(ProcessIdByName("explorer.exe"), 0u);
}

}  // namespace
