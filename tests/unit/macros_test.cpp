#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fake_env.h"
#include "platform/vk.h"
#include "receiver/receiver.h"
#include "engine/macros.h"
#include "state/messages.h"

namespace {

constexpr const char* kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

class MacrosTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheReceiver().valueCount = 0;
        front = env.Foreground("editor.exe", "Some Editor");
        env.network.SetReachable(true);
    }
    void TearDown() override {
        env.network.Release();
        WaitForInternetProbes();
    }
    std::vector<uint16_t> KeysDown() const { return env.input.KeysDown(); }
    uint32_t Autodial() const {
        uint32_t v = 0xDEAD;
        env.registry.GetDword(Hive::CurrentUser, kInternetSettings, "EnableAutodial", v);
        return v;
    }

    FakeEnv env;
    WindowHandle front = 0;
};

TEST_F(MacrosTest, FavouritesSplitIntoFileAndParameters) {
    struct Case {
        const char* favourite;
        const char* file;
        const char* parameters;
    } cases[] = {
        {"  C:\\Tools\\player.exe /play list.m3u  ", "C:\\Tools\\player.exe", "/play list.m3u"},
        {"C:\\Tools\\player.exe", "C:\\Tools\\player.exe", ""},
        {"run.bat x.exe y", "run.bat x.exe", "y"},  // ".exe " outranks ".bat "
        {"a.com b.EXE c", "a.com", "b.EXE c"},      // ".com " outranks ".EXE "
        {"SETUP.EXE  /q", "SETUP.EXE", " /q"},      // only the one blank goes
        {"tool.Exe /x", "tool.Exe /x", ""},          // mixed case is no extension
        {"\t\r\nC:\\My Music\\\n", "C:\\My Music\\", ""},
        {"cmd.com ", "cmd.com", ""},
        {"   ", "", ""},
        {"Www.example.com", "Www.example.com", ""},  // not a web address: straight to the shell
        {"https://example.com/a.exe b", "https://example.com/a.exe", "b"},
    };
    for (const Case& c : cases) {
        env.shell.calls.clear();
        EXPECT_EQ(QuickLaunch(c.favourite), 1) << c.favourite;
        ASSERT_EQ(env.shell.calls.size(), 1u) << c.favourite;
        const FakeShell::Call& call = env.shell.calls[0];
        EXPECT_EQ(call.file, c.file) << c.favourite;
        EXPECT_EQ(call.parameters, c.parameters) << c.favourite;
        EXPECT_EQ(call.owner, FakeDesktop::kDesktopHandle);
        EXPECT_EQ(call.verb, "");
        EXPECT_EQ(call.directory, "");
        EXPECT_EQ(call.show, kSwShowNormal);
    }
    EXPECT_EQ(env.network.Attempts(), 0) << "none of these is a web address";
    EXPECT_TRUE(env.ui.boxes.empty());
}

TEST_F(MacrosTest, WebFavouritesAreCheckedFirstAndOpenedWhole) {
    for (const char* web : {"www.example.com/x.exe y", "  http://example.com  "}) {
        env.shell.calls.clear();
        EXPECT_EQ(QuickLaunch(web), 1);
        ASSERT_EQ(env.shell.calls.size(), 1u);
        EXPECT_EQ(env.shell.calls[0].file, TrimFavorite(web));
        EXPECT_EQ(env.shell.calls[0].parameters, "");
    }
    const auto targets = env.network.Targets();
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], (std::pair<std::string, uint16_t>{kInternetCheckHost, 80}));
    EXPECT_NE(std::string(kInternetCheckHost), "");
}

TEST_F(MacrosTest, OfflineWebFavouriteWarnsAndOpensNothing) {
    env.network.SetReachable(false);
    env.ui.whileBoxOpen = [] { AppendValue(5); };
    EXPECT_EQ(QuickLaunch("www.example.com"), 0);
    EXPECT_TRUE(env.shell.calls.empty());
    ASSERT_EQ(env.ui.boxes.size(), 1u);
    EXPECT_EQ(env.ui.boxes[0].text,
              "Error: You have tried to use a Macro QuickLaunch button that requires an Internet "
              "connection.\nHowever it appears that you are not connected to the Internet.");
    EXPECT_EQ(env.ui.boxes[0].caption, "Orbiscope Remote Warning");
    EXPECT_EQ(env.ui.boxes[0].flags, kMbIconWarning);
    EXPECT_EQ(env.ui.boxes[0].owner, FakeDesktop::kDesktopHandle);
    EXPECT_EQ(TheReceiver().valueCount, 0);
}

TEST_F(MacrosTest, ShellFailuresShowTheirMessage) {
    struct Case {
        intptr_t result;
        const char* text;
    } cases[] = {
        {0, "Error on QuickLaunch: An unknown error has occured."},
        {3, "Error on QuickLaunch: The file or path you specified was not found."},
        {31, "Error on QuickLaunch: The file extension you have specified does not have a program associated with it."},
        {32, "Error on QuickLaunch: An unknown error has occured."},
    };
    for (const Case& c : cases) {
        env.ui.boxes.clear();
        env.shell.results = {c.result};
        AppendValue(1);
        EXPECT_EQ(QuickLaunch("x.exe"), 0) << c.result;
        ASSERT_EQ(env.ui.boxes.size(), 1u);
        EXPECT_EQ(env.ui.boxes[0].text, c.text);
        EXPECT_EQ(env.ui.boxes[0].caption, "Orbiscope Remote Error");
        EXPECT_EQ(env.ui.boxes[0].owner, 0u);
        EXPECT_EQ(env.ui.boxes[0].flags, kMbIconWarning);
        EXPECT_EQ(TheReceiver().valueCount, 0) << "pending input dropped";
    }
    env.ui.boxes.clear();
    env.shell.results = {33};
    EXPECT_EQ(QuickLaunch("x.exe"), 1);
    EXPECT_TRUE(env.ui.boxes.empty());
}

TEST_F(MacrosTest, CooperatingWindowTakesTheMacroKeyAndMayKeepTheFavourite) {
    env.settings->SetMacro(2, 0);
    env.settings->SetFavorite(2, "notes.txt");
    env.desktop.Find(front)->title = "Orbiscope# #03 -F client";
    EXPECT_EQ(MacroButtonAction(2, MacroButton2), 1);
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::F2}));
    EXPECT_TRUE(env.shell.calls.empty());

    env.input.Clear();
    env.desktop.Find(front)->title = "Orbiscope# #03 client";
    EXPECT_EQ(MacroButtonAction(2, MacroButton2), 1);
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::F2}));
    ASSERT_EQ(env.shell.calls.size(), 1u);
    EXPECT_EQ(env.shell.calls[0].file, "notes.txt");
}

TEST_F(MacrosTest, FavouritesFlagOfAWindowThatIsNotCooperatingMeansNothing) {
    env.settings->SetMacro(1, 3);
    env.desktop.Find(front)->title = "report -final";
    EXPECT_EQ(MacroButtonAction(1, MacroButton1), 1);
    EXPECT_EQ(KeysDown(), (std::vector<uint16_t>{vk::MENU, vk::TAB}));
}

TEST_F(MacrosTest, KeystrokeActions) {
    struct Case {
        int32_t index;
        std::vector<uint16_t> keys;
    } cases[] = {
        {2, {vk::MENU, vk::ESCAPE}},
        {5, {vk::LWIN}},
        {9, {vk::CONTROL, 'D'}},
    };
    for (const Case& c : cases) {
        env.input.Clear();
        EXPECT_EQ(MacroAction(c.index), 1);
        EXPECT_EQ(KeysDown(), c.keys) << c.index;
    }
    env.input.Clear();
    EXPECT_EQ(MacroAction(8), 1);
    ASSERT_EQ(env.input.batches.size(), 1u) << "Alt+Win+Enter goes as one batch";
    for (int32_t beyond : {10, 11, 1000, -1}) EXPECT_EQ(MacroAction(beyond), 1);
    EXPECT_EQ(env.input.batches.size(), 1u);
    EXPECT_TRUE(env.desktop.messages.empty());
}

TEST_F(MacrosTest, BrowserCommandsGoToTheForegroundWindow) {
    EXPECT_EQ(MacroAction(6), 1);
    EXPECT_EQ(MacroAction(7), 1);
    ASSERT_EQ(env.desktop.messages.size(), 2u);
    EXPECT_EQ(env.desktop.messages[0], (FakeMessage{front, 0, 0x319, front, 0x10020000, false}));
    EXPECT_EQ(env.desktop.messages[1], (FakeMessage{front, 0, 0x319, front, 0x10010000, false}));
}

TEST_F(MacrosTest, ToggleMouseModeTwiceAndRefreshThePages) {
    FakeWindow mainWindow;
    mainWindow.className = "Orbiscope.Remote";
    const WindowHandle main = env.desktop.Add(mainWindow);
    const WindowHandle savedMain = MainWindowHandle();
    SetMainWindowHandle(main);
    env.settings->SetMacro(3, 1);
    env.settings->SetModifiedFlag(false);

    EXPECT_EQ(MacroButtonAction(3, MacroButton3), 1);
    EXPECT_EQ(env.settings->MouseModeEnabled.load(), 1);
    EXPECT_TRUE(env.settings->IsModified());
    EXPECT_EQ(MacroButtonAction(3, MacroButton3), 1);
    EXPECT_EQ(env.settings->MouseModeEnabled.load(), 0);
    EXPECT_EQ(env.desktop.messages,
              (std::vector<FakeMessage>{{main, 0, WM_REMOTE_REFRESHSETTINGS, 0, 0, false},
                                        {main, 0, WM_REMOTE_REFRESHSETTINGS, 0, 0, false}}));
    SetMainWindowHandle(savedMain);
}

TEST_F(MacrosTest, WithoutSettings) {
    SetCurrentSettings(nullptr);
    EXPECT_EQ(MacroAction(2), 0);
    EXPECT_EQ(MacroButtonAction(1, MacroButton1), 1);
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.shell.calls.empty());
}

// --- the internet check -------------------------------------------------------------

TEST_F(MacrosTest, InternetCheckAnswersWhatTheConnectionSays) {
    EXPECT_TRUE(IsInternetReachable());
    env.network.SetReachable(false);
    EXPECT_FALSE(IsInternetReachable());
    EXPECT_EQ(env.network.Attempts(), 2);
}

TEST_F(MacrosTest, AutodialIsOffDuringTheProbeAndBackAfterIt) {
    env.registry.SetDword(Hive::CurrentUser, kInternetSettings, "EnableAutodial", 2);
    env.network.Hold();
    bool answer = false;
    std::thread waiter([&] { answer = IsInternetReachableWithin(60000); });
    ASSERT_TRUE(env.network.WaitUntilBlocked());
    EXPECT_EQ(Autodial(), 0u);
    env.network.Release();
    waiter.join();
    EXPECT_TRUE(answer);
    EXPECT_EQ(Autodial(), 2u);
    EXPECT_EQ(env.registry.writes, 2);
}

TEST_F(MacrosTest, AbandonedProbePutsAutodialBackOnceAndAnswersFalse) {
    env.registry.SetDword(Hive::CurrentUser, kInternetSettings, "EnableAutodial", 1);
    env.network.Hold();
    EXPECT_FALSE(IsInternetReachableWithin(20));
    EXPECT_EQ(Autodial(), 1u) << "back in place as soon as the wait gives up";
    // Either the probe cleared the value in time and is now stuck connecting, or it
    // started too late and, finding itself abandoned, left the value and the network alone.
    const bool probeWasInTime = env.network.WaitUntilBlocked();
    EXPECT_EQ(Autodial(), 1u);
    // Nothing of the registry stays open for as long as the connection attempt takes,
    // and the end of the process does not wait for it beyond its bound.
    EXPECT_EQ(env.registry.openKeys.load(), 0);
    if (probeWasInTime) {
        EXPECT_FALSE(WaitForInternetProbesFor(10));
    }
    // The probe finishes later, connecting after all; nothing it does reaches the
    // waiter, and it does not write the value a second time.
    env.network.Release();
    EXPECT_TRUE(WaitForInternetProbesFor(10000));
    EXPECT_EQ(Autodial(), 1u);
    EXPECT_EQ(env.registry.writes, probeWasInTime ? 2 : 0);
    EXPECT_EQ(env.network.Attempts(), probeWasInTime ? 1 : 0);
}

TEST_F(MacrosTest, AutodialLeftAloneWhenOffMissingOrOfAnotherType) {
    EXPECT_TRUE(IsInternetReachable());  // no key at all
    env.registry.SetDword(Hive::CurrentUser, kInternetSettings, "EnableAutodial", 0);
    EXPECT_TRUE(IsInternetReachable());
    env.registry.SetString(Hive::CurrentUser, kInternetSettings, "EnableAutodial", "1");
    EXPECT_TRUE(IsInternetReachable());
    EXPECT_EQ(env.registry.writes, 0);
    EXPECT_EQ(env.network.Attempts(), 3);
}

TEST_F(MacrosTest, UnreadableKeyStillProbes) {
    env.registry.SetDword(Hive::CurrentUser, kInternetSettings, "EnableAutodial", 1);
    env.registry.refusedAccess[FakeRegistry::KeyName(Hive::CurrentUser, kInternetSettings)] = kKeyWrite;
    EXPECT_TRUE(IsInternetReachable());
    EXPECT_EQ(Autodial(), 1u);
    EXPECT_EQ(env.registry.writes, 0);
}

}  // namespace
