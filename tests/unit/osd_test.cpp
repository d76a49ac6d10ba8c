#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/fake/fake_volume.h"
#include "receiver/remote_button.h"
#include "state/trace.h"
#include "ui/osd.h"
#include "ui/trace_output.h"
#include "volume/volume.h"

namespace {

const std::string kDot = " \xC2\xB7 ";

TracePress Press(int32_t button, std::vector<std::string> steps, std::vector<std::string> actions,
                 RepeatDecision decision = RepeatDecision::NewPress) {
    TracePress p;
    p.button = button;
    p.variant = 1;
    p.decision = decision;
    p.steps = std::move(steps);
    p.actions = std::move(actions);
    return p;
}

// The records as the trace writes them for each kind of action.
TEST(OsdWords, EachKindOfActionInAPersonsWords) {
    const std::string post = "post to AppClass: message 0xC0D5 wParam 6 lParam 0";
    struct Case {
        const char* name;
        std::vector<TracePress> presses;
        std::optional<OsdPanel> panel;
    };
    const Case cases[] = {
        {"catalogue row",
         {Press(Play, {"catalogue row 80 vlc.exe"}, {post, "key Space"})},
         OsdPanel{"Play" + kDot + "VLC", -1}},
        {"after the automatic switch",
         {Press(Next, {"auto-switch to wmplayer.exe (row 150)", "catalogue row 150 wmplayer.exe"},
                {"key NextTrack"})},
         OsdPanel{"Next" + kDot + "Windows Media Player", -1}},
        {"profile file",
         {Press(Play, {"user profile vlc.toml:7 \"My \"VLC\"\" (shadows row 80)"}, {"key Ctrl+P"})},
         OsdPanel{"Play" + kDot + "My \"VLC\"", -1}},
        {"profile file's hold action",
         {Press(Play, {"user profile player.toml:9 \"Player\" Play held: hold action after 684 ms"},
                {"key Ctrl+Q"})},
         OsdPanel{"Play held 0.6 s" + kDot + "Player", -1}},
        {"profile file that left the button to the row",
         {Press(Next, {"shipped profile vlc.toml \"VLC 3\" leaves Next", "catalogue row 80 vlc.exe"},
                {"key N"})},
         OsdPanel{"Next" + kDot + "VLC", -1}},
        {"profile file taking a global button",
         {Press(VolumeUp, {"user profile mpv.toml:9 \"mpv\" takes global button VolumeUp"},
                {"key Up"})},
         OsdPanel{"Volume Up" + kDot + "mpv", -1}},
        {"program without a known name",
         {Press(FastForward, {"catalogue row 79 mplayerc64.exe"}, {})},
         OsdPanel{"Fast Forward" + kDot + "mplayerc64", -1}},
        {"favourite opened",
         {Press(MacroButton2, {"global button MacroButton2"},
                {"open C:\\Windows\\System32\\notepad.exe C:\\notes.txt"})},
         OsdPanel{"Favourite 2" + kDot + "Notepad", -1}},
        {"web favourite",
         {Press(MacroButton1, {"global button MacroButton1"}, {"open http://www.example.org/x"})},
         OsdPanel{"Favourite 1" + kDot + "www.example.org", -1}},
        {"favourite that failed",
         {Press(MacroButton3, {"global button MacroButton3"}, {"open C:\\gone.avi (failed, 2)"})},
         OsdPanel{"Favourite 3" + kDot + "could not be opened", -1}},
        {"macro key",
         {Press(MacroButton4, {"global button MacroButton4"}, {"key Alt+Enter"})},
         OsdPanel{"Macro 4" + kDot + "Alt+Enter", -1}},
        {"mouse mode toggled",
         {Press(MacroButton1, {"global button MacroButton1"}, {"mouse mode on"})},
         OsdPanel{"Mouse mode on", -1}},
        {"mouse mode arrow",
         {Press(Up, {"mouse mode"}, {"cursor to (300, 198)"}, RepeatDecision::MouseModeBypass)},
         OsdPanel{"Up" + kDot + "Mouse mode", -1}},
        {"volume up",
         {Press(VolumeUp, {"global button VolumeUp"}, {"volume up 8%", "volume now 58%"},
                RepeatDecision::HeldAccepted)},
         OsdPanel{"Volume 58%", 58}},
        {"muted", {Press(Mute, {"global button Mute"}, {"sound muted"})}, OsdPanel{"Muted", -1}},
        {"unmuted",
         {Press(Mute, {"global button Mute"}, {"sound unmuted", "volume now 0%"})},
         OsdPanel{"Volume 0%", 0}},
        {"level unknown",
         {Press(VolumeDown, {"global button VolumeDown"},
                {"volume down 8%", "volume level unknown"})},
         OsdPanel{"Volume Down", -1}},
        {"power",
         {Press(Power, {"global button Power"}, {"standby"})},
         OsdPanel{"Power" + kDot + "Standby", -1}},
        {"not supported, warning off",
         {Press(Play, {"no catalogue row for calc.exe", "default key"}, {post, "key Play/Pause"})},
         OsdPanel{"Not supported: calc.exe", -1}},
        {"not supported, the warning told it",
         {Press(Play,
                {"no catalogue row for calc.exe", "unsupported-program warning", "default key"},
                {post, "unsupported-program warning closed"})},
         std::nullopt},
        {"arrow into an unsupported program",
         {Press(Left, {"no catalogue row for calc.exe", "default key"}, {"key Left"})},
         OsdPanel{"Left", -1}},
        {"own window in front",
         {Press(Ok, {"own window in front", "default key"}, {"key Enter"})},
         OsdPanel{"OK", -1}},
        {"swallowed repeat", {Press(Play, {}, {}, RepeatDecision::Swallowed)}, std::nullopt},
        {"no match", {}, std::nullopt},
        {"two buttons in one code: the last taken speaks",
         {Press(Digit5, {"catalogue row 125 notepad.exe"}, {}),
          Press(Digit6, {}, {}, RepeatDecision::Swallowed)},
         OsdPanel{"5" + kDot + "Notepad", -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceRecord record;
        record.presses = c.presses;
        const std::optional<OsdPanel> panel = OsdPanelFor(record);
        ASSERT_EQ(panel.has_value(), c.panel.has_value());
        if (panel) {
            EXPECT_EQ(panel->text, c.panel->text);
            EXPECT_EQ(panel->level, c.panel->level);
        }
    }
}

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
    FakeEnv env;
    FakeEndpointVolume endpoint;
};

TEST_F(OsdPresses, EachAcceptedPressLeavesItsPanelAndWakesTheWindow) {
    env.Foreground("vlc.exe", "VLC media player", "QWidget");
    env.Receive(Play, 1);
    EXPECT_EQ(TakeOsdPanel(), (OsdPanel{"Play" + kDot + "VLC", -1}));
    EXPECT_EQ(g_wakes, 1);

    // The level after the change, read back from the output.
    env.Receive(VolumeUp, 1);
    EXPECT_EQ(TakeOsdPanel(), (OsdPanel{"Volume 58%", 58}));
    env.Receive(Mute, 1);
    EXPECT_EQ(TakeOsdPanel(), (OsdPanel{"Muted", -1}));
    EXPECT_TRUE(endpoint.muted);

    // Only the display wants the records: no trace line is made for them.
    EXPECT_TRUE(g_lines.empty());
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
    EXPECT_EQ(TakeOsdPanel(), (OsdPanel{"Next" + kDot + "VLC", -1}));
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

}  // namespace
