#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/macros.h"
#include "engine/power.h"
#include "fake_env.h"
#include "platform/fake/fake_volume.h"
#include "profiles/profile_files.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "state/messages.h"
#include "state/trace.h"
#include "ui/osd.h"
#include "ui/shell.h"
#include "ui/trace_output.h"
#include "volume/volume.h"

namespace {

const std::string kDot = " \xC2\xB7 ";

int g_wakes = 0;
void CountWake() { ++g_wakes; }
std::vector<std::string> g_lines;
void CaptureLine(const std::string& line) { g_lines.push_back(line); }

// Real presses through the fake machine: the panel comes from the press's own record.
class OsdPresses : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        env.platform.endpoint = &endpoint;
        env.Install();
        endpoint.level = 0.5f;
        CreateEndpointVolume();
        env.settings->ShowUnsupportedDlg = 0;
        env.Foreground("calc.exe", "Calculator", "CalcFrame");
        g_wakes = 0;
        g_lines.clear();
        SetOsdWake(&CountWake);
        SetTraceOutput(&CaptureLine);
        SetOnScreenDisplay(true);
        (void)TakeOsdPanel();
    }
    void TearDown() override {
        SetOnScreenDisplay(false);
        SetOsdWake(nullptr);
        SetTraceOutput(nullptr);
        ReleaseEndpointVolume();
        UnmuteOutput();
    }
    std::optional<OsdPanel> Press(int32_t button) {
        env.Receive(button, ++variant % 2 + 1);
        return TakeOsdPanel();
    }
    FakeEnv env;
    FakeEndpointVolume endpoint;
    int variant = 0;
};

OsdPanel Text(std::string text) { return OsdPanel{std::move(text), -1}; }

// The main frame as its timers see it.
class FrameHost : public WindowlessShellHost {
public:
    void ReleaseEndpoint() override {}
};

TEST_F(OsdPresses, TheVolumeShowsTheLevelOrWhatTheMuteDid) {
    EXPECT_EQ(Press(VolumeUp), (OsdPanel{"Volume 58%", 58}));
    EXPECT_EQ(Press(Mute), Text("Muted"));
    EXPECT_TRUE(endpoint.muted);
    EXPECT_EQ(Press(Mute), (OsdPanel{"Volume 58%", 58}));
    // A level that cannot be read: the unmute still happened.
    ReleaseEndpointVolume();
    MuteOutput();
    EXPECT_EQ(Press(Mute), Text("Unmuted"));
    // Only the display wants the records: no trace line is made for them.
    EXPECT_TRUE(g_lines.empty());
}

TEST_F(OsdPresses, LetterEntryShowsEachTapsLetterThenTheTypedOne) {
    env.Foreground("notepad.exe", "Untitled - Notepad", "Notepad");
    EXPECT_EQ(Press(Digit2), Text("Letter A"));
    EXPECT_EQ(Press(Digit2), Text("Letter B"));
    EXPECT_EQ(Press(Digit3), Text("Typed B" + kDot + "Letter D"));
    // The main window's timer types the pending letter.
    FrameHost host;
    (void)OnShellMessage(host, wm::TIMER, kLetterEntryTimer, 0, 0);
    EXPECT_EQ(TakeOsdPanel(), Text("Typed D"));
    // With nothing pending the timer types nothing and says nothing.
    (void)OnShellMessage(host, wm::TIMER, kLetterEntryTimer, 0, 0);
    EXPECT_FALSE(TakeOsdPanel().has_value());
}

// One press of each kind: the panel names what it did, and nothing when it did nothing.
TEST(OsdPanel, EachPressNamesWhatItDid) {
    struct Case {
        const char* name;
        std::function<void(FakeEnv&)> arrange;
        int32_t button;
        std::optional<OsdPanel> panel;
    };
    const Case cases[] = {
        {"catalogue row",
         [](FakeEnv& e) { e.Foreground("vlc.exe", "VLC media player", "QWidget"); }, Play,
         Text("Play" + kDot + "VLC")},
        {"after the automatic switch",
         [](FakeEnv& e) { e.AddWindow("wmplayer.exe", "Windows Media Player", "WMPlayerApp"); },
         Next, Text("Next" + kDot + "Windows Media Player")},
        {"default key into an unsupported program", [](FakeEnv&) {}, Play,
         Text("Play" + kDot + "Play/Pause")},
        {"an arrow's key named like it", [](FakeEnv&) {}, Left, Text("Left")},
        {"nothing to send", [](FakeEnv&) {}, Record, Text("Not available: calc.exe")},
        {"the warning told it", [](FakeEnv& e) { e.settings->ShowUnsupportedDlg = 1; }, Record,
         std::nullopt},
        {"this program's hidden window in front",
         [](FakeEnv& e) {
             FakeWindow* own = e.desktop.Find(e.Foreground("orbiscoperemote.exe"));
             own->style = 0;
             e.processes.self = own->pid;
         },
         Record, std::nullopt},
        {"power button off", [](FakeEnv&) {}, Power, std::nullopt},
        {"power to a plug-in window in front",
         [](FakeEnv& e) { e.Foreground("plugin.exe", "Plug-in", "Orbiscope.WMPlugin"); }, Power,
         Text("Power" + kDot + "plug-in Orbiscope.WMPlugin")},
        {"plug-in window behind", [](FakeEnv& e) { e.AddWindow("girder.exe", "", kGirderClass); },
         Play, Text("Play" + kDot + "plug-in Orbiscope.Girder")},
        {"screen saver",
         [](FakeEnv& e) {
             e.settings->PowerButtonEnabled = 1;
             e.settings->PowerButtonMode = kPowerScreenSaver;
         },
         Power, Text("Power" + kDot + "Screen saver")},
        {"shut down",
         [](FakeEnv& e) {
             e.settings->PowerButtonEnabled = 1;
             e.settings->PowerButtonMode = kPowerShutdown;
         },
         Power, Text("Power" + kDot + "Shut down")},
        {"favourite opened",
         [](FakeEnv& e) {
             e.settings->SetMacro(2, kMacroQuickLaunch);
             e.settings->SetFavorite(2, "C:\\Windows\\notepad.exe C:\\notes.txt");
         },
         MacroButton2, Text("Favourite 2" + kDot + "Notepad")},
        {"favourite that failed",
         [](FakeEnv& e) {
             e.settings->SetMacro(3, kMacroQuickLaunch);
             e.settings->SetFavorite(3, "C:\\gone.avi");
             e.shell.defaultResult = 2;
         },
         MacroButton3, Text("Favourite 3" + kDot + "could not be opened")},
        {"web favourite offline",
         [](FakeEnv& e) {
             e.settings->SetMacro(1, kMacroQuickLaunch);
             e.settings->SetFavorite(1, "www.example.org");
             e.network.SetReachable(false);
         },
         MacroButton1, Text("Favourite 1" + kDot + "could not be opened")},
        {"browser forward", [](FakeEnv& e) { e.settings->SetMacro(4, kMacroBrowserForward); },
         MacroButton4, Text("Macro 4" + kDot + "Forward")},
        {"back", [](FakeEnv& e) { e.settings->SetMacro(4, kMacroMceBack); }, MacroButton4,
         Text("Macro 4" + kDot + "Back")},
        {"macro key", [](FakeEnv& e) { e.settings->SetMacro(4, kMacroAltEnter); }, MacroButton4,
         Text("Macro 4" + kDot + "Alt+Enter")},
        {"mouse mode toggled", [](FakeEnv& e) { e.settings->SetMacro(1, kMacroToggleMouseMode); },
         MacroButton1, Text("Mouse mode on")},
        {"mouse mode arrow", [](FakeEnv& e) { e.settings->MouseModeEnabled = 1; }, Up,
         Text("Up" + kDot + "Mouse mode")},
        {"program running as administrator",
         [](FakeEnv& e) {
             e.settings->AutoSwitchEnabled = 0;
             const WindowHandle vlc = e.Foreground("vlc.exe", "VLC media player");
             e.processes.elevation[e.desktop.Find(vlc)->pid] = Elevation::Elevated;
         },
         Play, Text("Blocked: VLC runs as administrator")},
        {"a profile file names its program",
         [](FakeEnv& e) {
             (void)InstallProfiles({{"mpv.toml", "[program]\nname = \"My mpv\"\n"
                                                 "match = { process = \"mpv.exe\" }\n"
                                                 "takes_global = [\"VolumeUp\"]\n"
                                                 "[buttons]\nPlay = \"Space\"\n"
                                                 "VolumeUp = \"Up\"\n"}},
                                   {});
             e.Foreground("mpv.exe", "mpv");
         },
         Play, Text("Play" + kDot + "My mpv")},
        {"a profile file taking a global button",
         [](FakeEnv& e) {
             (void)InstallProfiles({{"mpv.toml", "[program]\nname = \"My mpv\"\n"
                                                 "match = { process = \"mpv.exe\" }\n"
                                                 "takes_global = [\"VolumeUp\"]\n"
                                                 "[buttons]\nVolumeUp = \"Up\"\n"}},
                                   {});
             e.Foreground("mpv.exe", "mpv");
         },
         VolumeUp, Text("Volume Up" + kDot + "My mpv")},
    };
    SetOsdWake(&CountWake);
    SetOnScreenDisplay(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        FakeEnv env;
        env.settings->ShowUnsupportedDlg = 0;
        env.Foreground("calc.exe", "Calculator", "CalcFrame");
        c.arrange(env);
        g_wakes = 0;
        env.Receive(c.button, 1);
        const std::optional<OsdPanel> panel = TakeOsdPanel();
        ASSERT_EQ(panel.has_value(), c.panel.has_value()) << (panel ? panel->text : "");
        if (panel) {
            EXPECT_EQ(*panel, *c.panel);
        }
        EXPECT_EQ(g_wakes, panel ? 1 : 0);
    }
    (void)InstallProfiles({}, {});
    SetOnScreenDisplay(false);
    SetOsdWake(nullptr);
}

// Standby returns only once the computer is awake again: the panel is left before, and
// not again after the wake.
TEST_F(OsdPresses, SleepIsShownBeforeTheComputerSleeps) {
    for (const int32_t mode : {kPowerStandby, kPowerHibernate}) {
        env.settings->PowerButtonEnabled = 1;
        env.settings->PowerButtonMode = mode;
        std::optional<OsdPanel> beforeSleep;
        env.power.whileAsleep = [&] { beforeSleep = TakeOsdPanel(); };
        EXPECT_FALSE(Press(Power).has_value());
        EXPECT_EQ(beforeSleep, Text(mode == kPowerStandby ? "Power" + kDot + "Standby"
                                                          : "Power" + kDot + "Hibernate"));
        EXPECT_EQ(g_wakes, 1);
        g_wakes = 0;
        // Past the wake's guard, when the Power button acts again.
        env.clock.Advance(kPowerGuardMs);
    }
}

TEST_F(OsdPresses, OffLeavesNothingAndBuildsNoRecord) {
    SetOnScreenDisplay(false);
    env.Foreground("vlc.exe", "VLC media player", "QWidget");
    env.Receive(Play, 1);
    EXPECT_FALSE(TakeOsdPanel().has_value());
    EXPECT_EQ(g_wakes, 0);
    EXPECT_FALSE(TraceWatched());

    // A trace viewer coming and going does not switch the display off, nor on.
    SetOnScreenDisplay(true);
    SetTraceWatched(true);
    SetTraceWatched(false);
    EXPECT_TRUE(TraceWatched());
    env.Receive(Next, 1);
    EXPECT_EQ(TakeOsdPanel(), Text("Next" + kDot + "VLC"));
}

TEST_F(OsdPresses, TheSettingSwitchesItAndIsOffWhenAbsent) {
    RemoteSettings fresh;
    SetCurrentSettings(&fresh);
    ApplyOnScreenDisplaySetting();
    EXPECT_FALSE(OnScreenDisplayOn());
    fresh.SetOnScreenDisplay(1);
    ApplyOnScreenDisplaySetting();
    EXPECT_TRUE(OnScreenDisplayOn());
    SetCurrentSettings(env.settings.get());
}

// The swallowed repeat and the code that matched nothing show nothing; of two buttons
// in one code, the last one taken speaks.
TEST(OsdWords, OnlyATakenPressSpeaks) {
    TraceRecord record;
    EXPECT_FALSE(OsdPanelFor(record).has_value());
    TracePress row;
    row.button = Digit5;
    row.steps.emplace_back(TraceKind::CatalogueRow, "notepad.exe", 125);
    row.actions.emplace_back(TraceKind::Keys).input = {InputEvent{InputEvent::Keyboard, '5', 0, 0}};
    TracePress swallowed;
    swallowed.button = Digit6;
    swallowed.decision = RepeatDecision::Swallowed;
    record.presses = {row, swallowed};
    EXPECT_EQ(OsdPanelFor(record), Text("5" + kDot + "Notepad"));
    // A profile that names its program for the display is named so.
    record.presses[0].steps[0].shownName = "My Notes";
    EXPECT_EQ(OsdPanelFor(record), Text("5" + kDot + "My Notes"));
    record.presses = {swallowed};
    EXPECT_FALSE(OsdPanelFor(record).has_value());
}

}  // namespace
