// The handlers that talk to a program's windows through messages.
#include <gtest/gtest.h>

#include "fake_env.h"
#include "handlers_test_support.h"
#include "profiles/handlers.h"

namespace {

WindowHandle AddWindow(FakeEnv& env, const std::string& cls, const std::string& title = "",
                       Rect rect = Rect{10, 10, 400, 500}) {
    FakeWindow w;
    w.className = cls;
    w.title = title;
    w.rect = rect;
    w.thread = 900;
    return env.desktop.Add(w);
}

FakeMessage Posted(WindowHandle w, MessageId m, WParam wp, LParam lp) {
    return FakeMessage{w, 0, m, wp, lp, false};
}

std::vector<SeenStroke> Keys(FakeEnv& env) {
    std::vector<SeenStroke> got;
    std::string error;
    EXPECT_TRUE(DecodeStrokes(env.input.batches, got, error)) << error;
    return got;
}

// ---------------------------------------------------------------------------

TEST(AverMedia, FirstWindowInPriorityOrderTakesTheButtons) {
    FakeEnv env;
    env.Foreground("tv.exe", "AVerMedia");
    AddWindow(env, "", "AVerMedia TV Tuner");
    const WindowHandle cd = AddWindow(env, "", "AVerMedia CD Player");
    EXPECT_EQ(HandleRow109(Next), 1);
    EXPECT_EQ(HandleRow109(Digit5), 0);  // the CD player has no digits
    EXPECT_EQ(env.desktop.messages, std::vector<FakeMessage>{Posted(cd, 1026, 4026, 0)});
}

TEST(AverMedia, EachWindowsCommands) {
    struct Case {
        const char* window;
        int32_t button;
        WParam wp;
        LParam lp;
    };
    for (const Case c : {Case{"AVerMedia CD Player", ChannelDown, 4027, 0},
                         Case{"AVerMedia CD Player", Stop, 4023, 0},
                         Case{"AVerMedia VCR Player Control", Play, 3042, 1},
                         Case{"AVerMedia VCR Player Control", Pause, 3042, 2},
                         Case{"AVerMedia VCR Player Control", Stop, 3042, 3},
                         Case{"AVerMedia TV Tuner", Previous, 3087, 1},
                         Case{"AVerMedia TV Tuner", Next, 3087, 0},
                         Case{"AVerMedia TV Tuner", Record, 3065, 0},
                         Case{"AVerMedia TV Tuner", Menu, 3091, 0},
                         Case{"AVerMedia TV Control Panel", Digit5, 3094, 5},
                         Case{"AVerMedia TV Control Panel", Digit0, 3094, 0},
                         Case{"AVerMedia TV Control Panel", Digit9, 3094, 9}}) {
        FakeEnv env;
        env.Foreground("tv.exe", "avermedia");
        const WindowHandle w = AddWindow(env, "", c.window);
        EXPECT_EQ(HandleRow109(c.button), 1);
        EXPECT_EQ(env.desktop.messages, std::vector<FakeMessage>{Posted(w, 1026, c.wp, c.lp)})
            << c.window << " " << RemoteButtonName(c.button);
    }
}

// ---------------------------------------------------------------------------

// Records the bound each send is given.
class BoundedDesktop : public FakeDesktop {
public:
    bool SendAbortIfHung(WindowHandle w, MessageId m, WParam wp, LParam lp, uint32_t timeoutMs,
                         LResult* result) override {
        timeouts.push_back(timeoutMs);
        return FakeDesktop::SendAbortIfHung(w, m, wp, lp, timeoutMs, result);
    }
    std::vector<uint32_t> timeouts;
};

TEST(DigiTv, AHungProgramIsGivenUpOnWithinABound) {
    FakeEnv env;
    BoundedDesktop desktop;
    env.platform.desktop = &desktop;
    env.input.desktop = &desktop;
    env.Install();
    FakeWindow w;
    w.pid = env.processes.Add("digitv.exe");
    w.hung = true;
    desktop.foreground = desktop.Add(w);
    EXPECT_EQ(HandleRow055(Play), 1);
    EXPECT_TRUE(desktop.messages.empty()) << "a plain SendMessage would have waited for it";
    // Once it has run out of time, the next presses hold the remote only briefly, until
    // the program answers again.
    EXPECT_EQ(HandleRow055(Stop), 1);
    EXPECT_EQ(HandleRow055(Stop), 1);
    desktop.Find(desktop.foreground)->hung = false;
    EXPECT_EQ(HandleRow055(Pause), 1);
    EXPECT_EQ(HandleRow055(Pause), 1);
    EXPECT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.timeouts, (std::vector<uint32_t>{kSendTimeoutMs, kSendRetryTimeoutMs,
                                                       kSendRetryTimeoutMs, kSendRetryTimeoutMs,
                                                       kSendTimeoutMs}));
    EXPECT_LE(kSendTimeoutMs, 1000u);
    EXPECT_LE(kSendRetryTimeoutMs, 100u);
}

// ---------------------------------------------------------------------------

struct ClassicPlayer : ::testing::Test {
    FakeEnv env;
    WindowHandle main = 0;
    void SetUp() override {
        ResetHandlerState();
        env.Foreground("winamp.exe", "1. Artist - Title - Winamp");
        main = AddWindow(env, "Winamp v1.x", "Winamp");
    }
    void TearDown() override { ResetHandlerState(); }
    WindowHandle AddPlaylist(bool visible) {
        const WindowHandle pl = AddWindow(env, "Winamp PE", "Playlist", Rect{200, 300, 475, 500});
        if (!visible) env.desktop.Find(pl)->style = 0;
        return pl;
    }
};

TEST_F(ClassicPlayer, HiddenPlaylistSwallowsTheListButtons) {
    AddPlaylist(false);
    for (int32_t b : {Up, Down, Ok}) EXPECT_EQ(HandleRow148(b), 1);
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.desktop.messages.empty());
}

TEST_F(ClassicPlayer, VisiblePlaylistIsClickedThenGetsTheKey) {
    AddPlaylist(true);
    EXPECT_EQ(HandleRow148(Down), 1);
    ASSERT_EQ(env.input.batches.size(), 2u);
    EXPECT_EQ(env.input.batches[0][0].kind, InputEvent::Mouse);
    EXPECT_EQ(env.input.clickPoints.front(), (Point{201, 320}));
    SeenStroke key;
    std::string error;
    ASSERT_TRUE(DecodeStroke(env.input.batches[1], key, error)) << error;
    EXPECT_EQ(key, Key(0x28));
}

TEST_F(ClassicPlayer, WithoutTheMainWindowNothingIsHandledAndNothingCounted) {
    env.desktop.Remove(main);
    for (int32_t b : {Play, Record, Up, Rewind, Rewind}) EXPECT_EQ(HandleRow148(b), 0);
    main = AddWindow(env, "Winamp v1.x");
    EXPECT_EQ(HandleRow148(Rewind), 1);
    EXPECT_EQ(HandleRow148(Rewind), 1);
    EXPECT_TRUE(env.desktop.messages.empty()) << "presses without the window were counted";
}

TEST_F(ClassicPlayer, AHungPlayerDoesNotStopTheButtons) {
    env.desktop.Find(main)->hung = true;
    EXPECT_EQ(HandleRow148(Play), 1);
    EXPECT_TRUE(env.desktop.messages.empty());
    env.desktop.Find(main)->hung = false;
    EXPECT_EQ(HandleRow148(Play), 1);
    EXPECT_EQ(env.desktop.messages.size(), 1u);
}

// ---------------------------------------------------------------------------

struct Jukebox : ::testing::Test {
    FakeEnv env;
    WindowHandle main = 0, recorder = 0, library = 0, list = 0;
    void SetUp() override {
        env.Foreground("mmjb.exe", "Other window");
        main = AddWindow(env, "MMJB:MAINWND", "MUSICMATCH Jukebox", Rect{50, 60, 600, 500});
        recorder = AddWindow(env, "", "MMJB Recorder", Rect{300, 200, 500, 400});
        library = AddWindow(env, "", "Music Library");
        FakeWindow child;
        child.parent = library;
        child.className = "AfxWnd70";
        env.desktop.Add(child);
        child.className = "AfxWnd70u";
        list = env.desktop.Add(child);
        env.desktop.Add(child);
    }
};

TEST_F(Jukebox, RaisesTheMainWindowAndFocusesTheRightControl) {
    EXPECT_EQ(HandleRow128(Up), 1);
    EXPECT_EQ(env.desktop.foreground, main);
    EXPECT_EQ(env.desktop.focus, list);
    EXPECT_EQ(HandleRow128(Play), 1);
    EXPECT_EQ(env.desktop.focus, main);
    EXPECT_EQ(HandleRow128(Digit9), 0);
    EXPECT_EQ(env.desktop.focus, main);
    // Even a button it does not map brings the program forward.
    env.Foreground("mmjb.exe", "Other window");
    EXPECT_EQ(HandleRow128(Extra38), 0);
    EXPECT_EQ(env.desktop.foreground, main);
    EXPECT_EQ(env.desktop.focus, main);
    EXPECT_EQ(env.desktop.attachBalance, 0);
}

TEST_F(Jukebox, MenuCommandsMoveTheCursorToTheMainWindowFirst) {
    EXPECT_EQ(HandleRow128(Digit3), 1);
    EXPECT_EQ(env.desktop.cursorMoves, (std::vector<Point>{Point{50, 60}}));
    EXPECT_EQ(Keys(env), (std::vector<SeenStroke>{Key('O', false, true), Key('L'), Key('H')}));
}

TEST_F(Jukebox, RecordClicksTheRecorderButAnswersUnhandled) {
    EXPECT_EQ(HandleRow128(Record), 0);
    ASSERT_EQ(env.input.clickPoints.size(), 2u);
    EXPECT_EQ(env.input.clickPoints[0], (Point{375, 340}));
}

TEST_F(Jukebox, PauseByWindowsVersion) {
    env.power.version = OsVersion{true, kPlatformNt, 5, 0};
    EXPECT_EQ(HandleRow128(Pause), 1);
    env.power.version = OsVersion{true, kPlatformNt, 6, 1};
    EXPECT_EQ(HandleRow128(Pause), 1);
    EXPECT_EQ(Keys(env), (std::vector<SeenStroke>{ExtKey(0xB3, 0x22, true), Key(0x13)}));
}

}  // namespace
