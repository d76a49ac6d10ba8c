#include <gtest/gtest.h>

#include "fake_env.h"
#include "platform/vk.h"
#include "receiver/remote_button.h"
#include "desktop/window_queries.h"

namespace {

// The virtual keys pressed (key-down events), in order.
std::vector<uint16_t> KeysPressed(const FakeInput& input) {
    std::vector<uint16_t> keys;
    for (const InputEvent& e : input.AllEvents()) {
        if (e.kind == InputEvent::Keyboard && (e.flags & kKeyUp) == 0) keys.push_back(e.virtualKey);
    }
    return keys;
}

WindowHandle AddTop(FakeEnv& env, const std::string& title, const std::string& cls = "C",
                    ProcessId pid = 0) {
    FakeWindow w;
    w.title = title;
    w.className = cls;
    w.pid = pid;
    w.thread = pid + 1;
    return env.desktop.Add(w);
}

WindowHandle AddChild(FakeEnv& env, WindowHandle parent, const std::string& title,
                      const std::string& cls = "Static") {
    FakeWindow w;
    w.parent = parent;
    w.title = title;
    w.className = cls;
    return env.desktop.Add(w);
}

TEST(ProcessQueries, NameKeepsItsCaseAndMatchesOnlyLowerCasePatterns) {
    FakeEnv env;
    env.Foreground("Notepad.EXE");
    EXPECT_EQ(ForegroundProcessName(), "Notepad.EXE");
    EXPECT_TRUE(ForegroundProcessIs("notepad.exe"));
    EXPECT_FALSE(ForegroundProcessIs("Notepad.EXE"));
    EXPECT_FALSE(ForegroundProcessIs("notepad"));
    EXPECT_TRUE(ForegroundProcessContains("pad.e"));
    EXPECT_FALSE(ForegroundProcessContains("Pad"));
    EXPECT_FALSE(ForegroundProcessContains(""));
    EXPECT_FALSE(ForegroundProcessIs(""));
}

TEST(ProcessQueries, OneQuestionIsOneLookupWithoutAWalk) {
    FakeEnv env;
    for (int i = 0; i < 50; ++i) env.processes.Add("filler" + std::to_string(i) + ".exe");
    const WindowHandle w = env.Foreground("vlc.exe");
    EXPECT_EQ(ProcessNameOfWindow(w), "vlc.exe");  // the lookup answers with a full path
    EXPECT_EQ(env.processes.lookups, 1);
    EXPECT_EQ(env.processes.snapshots, 0);
}

TEST(ProcessQueries, WalkTheSnapshotWhenTheLookupCannotAnswer) {
    FakeEnv env;
    env.processes.imageNameWorks = false;
    env.processes.Add("first.exe");
    const WindowHandle w = env.Foreground("C:\\Program Files\\Tools\\Vlc.exe");
    env.processes.Add("last.exe");
    EXPECT_EQ(ProcessNameOfWindow(w), "Vlc.exe");
    EXPECT_EQ(env.processes.snapshots, 1);
    EXPECT_TRUE(WindowProcessIs(w, "vlc.exe"));
    EXPECT_TRUE(WindowProcessContains(w, "lc."));
}

TEST(ProcessQueries, NoSnapshotOrNoEntryMeansEmptyName) {
    FakeEnv env;
    env.processes.imageNameWorks = false;
    const WindowHandle w = env.Foreground("vlc.exe");
    env.processes.snapshotFails = true;
    EXPECT_EQ(ProcessNameOfWindow(w), "");
    EXPECT_FALSE(ForegroundProcessIs("vlc.exe"));
    EXPECT_FALSE(ForegroundProcessContains("vlc"));

    env.processes.snapshotFails = false;
    env.processes.processes.clear();  // the process has exited
    EXPECT_EQ(ProcessNameOfWindow(w), "");
    EXPECT_FALSE(WindowProcessIs(w, "vlc.exe"));
}

TEST(ProcessQueries, GoneWindowAndProcessZeroHaveNoName) {
    FakeEnv env;
    env.processes.imageNameWorks = false;
    env.processes.processes.push_back(ProcessEntry{0, "[System Process]"});
    const WindowHandle orphan = AddTop(env, "orphan", "C", 0);
    EXPECT_EQ(ProcessNameOfWindow(orphan), "");
    EXPECT_EQ(ProcessNameOfWindow(0x7777), "");
    EXPECT_EQ(ProcessNameOfWindow(0), "");
}

TEST(ProcessQueries, NameIsWhatFollowsTheLastBackslashCutTo254) {
    EXPECT_EQ(ProcessFileName("C:\\a\\b\\player.exe"), "player.exe");
    EXPECT_EQ(ProcessFileName("player.exe"), "player.exe");
    EXPECT_EQ(ProcessFileName("C:\\dir\\"), "");
    const std::string longName(300, 'x');
    EXPECT_EQ(ProcessFileName("C:\\" + longName), std::string(254, 'x'));
}

TEST(WindowFacts, ForegroundTitleIsWholeOtherTitlesAre249Characters) {
    FakeEnv env;
    const std::string longTitle(400, 't');
    const WindowHandle w = env.Foreground("app.exe", longTitle, std::string(300, 'c'));
    std::string title;
    ASSERT_TRUE(ForegroundWindowTitle(title));
    EXPECT_EQ(title, longTitle);
    EXPECT_EQ(WindowTitle(w), std::string(249, 't'));
    EXPECT_EQ(ForegroundWindowClass(), std::string(254, 'c'));
    EXPECT_EQ(WindowClass(w), std::string(255, 'c'));
}

TEST(WindowFacts, NoForegroundWindowAnswersNoEverywhere) {
    FakeEnv env;
    env.processes.Add("vlc.exe");
    env.desktop.foreground = 0;
    std::string title = "stale";
    EXPECT_FALSE(ForegroundWindowTitle(title));
    EXPECT_EQ(title, "");
    EXPECT_EQ(ForegroundWindowClass(), "");
    EXPECT_EQ(ForegroundProcessName(), "");
    EXPECT_FALSE(ForegroundIsCooperating());
    EXPECT_FALSE(ForegroundHasPluginClass());
    EXPECT_FALSE(NoMouseFlag());
    EXPECT_EQ(CooperatingKeyHandler(Play), 0);
    EXPECT_TRUE(env.input.batches.empty());
}

TEST(Cooperating, MarkerInAnyCaseWithFavouritesAndPowerFlags) {
    FakeEnv env;
    env.Foreground("app.exe", "Remote ORBIScope#03 -F");
    EXPECT_TRUE(ForegroundIsCooperating());
    EXPECT_TRUE(FavoritesFlag());
    EXPECT_FALSE(PowerFlag());
    EXPECT_FALSE(NoMouseFlag());
    env.Foreground("app.exe", "Remote orbiscope# -P");
    EXPECT_TRUE(PowerFlag());
    EXPECT_FALSE(FavoritesFlag());
}

TEST(Cooperating, NoMouseFlagCountsOnAnyWindow) {
    FakeEnv env;
    env.Foreground("app.exe", "Some program -MS");
    EXPECT_FALSE(ForegroundIsCooperating());
    EXPECT_TRUE(NoMouseFlag());
}

TEST(Cooperating, PluginClassIsACaseSensitivePart) {
    FakeEnv env;
    const WindowHandle w = env.Foreground("x.exe", "t", "Orbiscope.WMXA");
    EXPECT_TRUE(ForegroundHasPluginClass());
    EXPECT_TRUE(WindowHasPluginClass(w));
    const WindowHandle other = env.Foreground("x.exe", "t", "orbiscope.wmx");
    EXPECT_FALSE(ForegroundHasPluginClass());
    EXPECT_FALSE(WindowHasPluginClass(other));
}

TEST(Cooperating, PluginClassCountsAlikeInFrontAndBehind) {
    // Class names are read up to 254 characters, so a marker in the 255th is never seen.
    const std::string part = "Orbiscope.WM";
    for (const size_t length : {size_t{254}, size_t{255}}) {
        FakeEnv env;
        const WindowHandle w =
            env.Foreground("x.exe", "t", std::string(length - part.size(), 'x') + part);
        SCOPED_TRACE(length);
        EXPECT_EQ(WindowHasPluginClass(w), length == 254);
        EXPECT_EQ(WindowHasPluginClass(w), ForegroundHasPluginClass());
    }
}

struct CooperatingCase {
    const char* title;
    int32_t button;
    int expected;     // handler answer
    uint16_t key;     // the key sent when handled
};

TEST(Cooperating, KeyHandlerColumns) {
    const CooperatingCase cases[] = {
        // "#03": the second column.
        {"orbiscope#03", Power, 1, 0xC0},
        {"orbiscope#03", VolumeUp, 1, 0xDD},
        {"orbiscope#03", VolumeDown, 1, 0xDB},
        {"orbiscope#03", Mute, 1, 0xDC},
        {"orbiscope#03", MacroButton1, 1, 0x70},
        {"orbiscope#03", MacroButton4, 1, 0x73},
        {"orbiscope#03", Play, 1, 'P'},
        {"orbiscope#03", Extra35, 0, 0},
        {"orbiscope#03", Extra41, 0, 0},
        // "#02" wins over "#03" wherever they stand; no power, volume or macro keys.
        {"orbiscope#03 #02", Power, 0, 0},
        {"orbiscope#03 #02", Mute, 0, 0},
        {"orbiscope#03 #02", MacroButton2, 0, 0},
        {"orbiscope#03 #02", ChannelUp, 1, 0x21},
        {"orbiscope#02", ChannelDown, 1, 0x22},
        {"orbiscope#02", Pause, 1, 0x20},
        {"orbiscope#02", Stop, 1, 'S'},
        {"orbiscope#02", Record, 1, 'C'},
        {"orbiscope#02", Previous, 1, 'B'},
        {"orbiscope#02", Next, 1, 'N'},
        {"orbiscope#02", Rewind, 1, 'R'},
        {"orbiscope#02", FastForward, 1, 'F'},
        {"orbiscope#02", Up, 1, 0x26},
        {"orbiscope#02", Down, 1, 0x28},
        {"orbiscope#02", Left, 1, 0x25},
        {"orbiscope#02", Right, 1, 0x27},
        {"orbiscope#02", Ok, 1, 0x0D},
        {"orbiscope#02", Menu, 1, 'M'},
        {"orbiscope#02", Exit, 1, 'E'},
        {"orbiscope#02", Digit1, 1, '1'},
        {"orbiscope#02", Digit9, 1, '9'},
        {"orbiscope#02", Digit0, 1, '0'},
        // Neither column: nothing.
        {"orbiscope# plain", Play, 0, 0},
        {"orbiscope#3", Play, 0, 0},
    };
    for (const CooperatingCase& c : cases) {
        FakeEnv env;
        env.Foreground("app.exe", c.title);
        SCOPED_TRACE(std::string(c.title) + " / " + RemoteButtonName(c.button));
        EXPECT_EQ(CooperatingKeyHandler(c.button), c.expected);
        if (c.expected == 1) {
            EXPECT_EQ(KeysPressed(env.input), std::vector<uint16_t>{c.key});
        } else {
            EXPECT_TRUE(env.input.batches.empty());
        }
    }
}

TEST(Cooperating, WindowAskingForFrontIsFoundCaseSensitivelyAndFlaggedInAnyCase) {
    FakeEnv env;
    AddTop(env, "orbiscope# +fg");  // the search respects case: not this one
    EXPECT_EQ(CooperatingWindowAskingForFront(), 0u);
    const WindowHandle w = AddTop(env, "Orbiscope# player +FG");
    EXPECT_EQ(CooperatingWindowAskingForFront(), w);
    env.desktop.Find(w)->title = "Orbiscope# player";
    EXPECT_EQ(CooperatingWindowAskingForFront(), 0u);
}

TEST(TitleSearch, TopLevelMatchBeatsAnEarlierDescendantMatch) {
    FakeEnv env;
    const WindowHandle later = AddTop(env, "Player Window");
    const WindowHandle earlier = AddTop(env, "Host");  // above `later` in the z-order
    AddChild(env, earlier, "Player Window child");
    EXPECT_EQ(FindWindowByTitlePart("Player Window"), later);
}

TEST(TitleSearch, TheLastDescendantMatchIsKeptAndTheFirstChildOfEach) {
    FakeEnv env;
    const WindowHandle bottom = AddTop(env, "Bottom");
    const WindowHandle bottomFirst = AddChild(env, bottom, "a Target");
    AddChild(env, bottom, "another Target");
    const WindowHandle top = AddTop(env, "Top");
    const WindowHandle topChild = AddChild(env, top, "Target here");
    const WindowHandle grandChild = AddChild(env, topChild, "Target below");
    (void)grandChild;
    EXPECT_EQ(FindWindowByTitlePart("Target"), bottomFirst);
    EXPECT_EQ(FindWindowByTitlePart("target"), 0u);
    EXPECT_EQ(FindWindowByTitlePart(""), 0u);
    EXPECT_EQ(FindWindowByTitlePart("Top"), top);
}

TEST(TitleSearch, DescendantByExactTitleAndClass) {
    FakeEnv env;
    const WindowHandle parent = AddTop(env, "Main");
    const WindowHandle panel = AddChild(env, parent, "", "Panel");
    AddChild(env, panel, "Play", "Static");
    const WindowHandle button = AddChild(env, panel, "Play", "Button");
    EXPECT_EQ(FindDescendantByTitleAndClass(parent, "Button", "Play"), button);
    EXPECT_EQ(FindDescendantByTitleAndClass(parent, "button", "Play"), 0u);
    EXPECT_EQ(FindDescendantByTitleAndClass(parent, "Button", "Pla"), 0u);
    EXPECT_EQ(FindDescendantByTitleAndClass(0, "Button", "Play"), 0u);
}

}  // namespace
