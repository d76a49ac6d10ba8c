// The handlers that click at fixed places in a player's window.
#include <gtest/gtest.h>

#include "fake_env.h"
#include "profiles/handlers.h"

namespace {

// Where each left click landed (down and up at the same point).
std::vector<Point> LeftClicks(const FakeEnv& env) {
    std::vector<Point> out;
    size_t point = 0;
    for (const auto& batch : env.input.batches) {
        for (const auto& e : batch) {
            if (e.kind != InputEvent::Mouse) continue;
            if (e.flags == kMouseLeftDown) out.push_back(env.input.clickPoints.at(point));
            ++point;
        }
    }
    return out;
}

WindowHandle AddTitled(FakeEnv& env, const std::string& title, Rect rect) {
    FakeWindow w;
    w.title = title;
    w.rect = rect;
    return env.desktop.Add(w);
}

struct ClickCase {
    int (*handler)(int32_t);
    const char* title;
    int32_t button;
    Point offset;
};

TEST(ClickRows, ClickAtTheirOffsetsInTheFoundWindow) {
    const Rect rect{20, 30, 420, 530};
    for (const ClickCase c : {
             ClickCase{HandleRow012, kWebRadioTitleText, Play, {42, 363}},
             ClickCase{HandleRow012, kWebRadioTitleText, Pause, {42, 363}},
             ClickCase{HandleRow012, kWebRadioTitleText, Next, {72, 363}},
             ClickCase{HandleRow013, "Live365 - Player Window", Play, {166, 218}},
             ClickCase{HandleRow013, "Live365 - Player Window", Stop, {208, 218}},
             ClickCase{HandleRow016, "MusicNet@AOL", Play, {98, 368}},
             ClickCase{HandleRow016, "MusicNet@AOL", Pause, {134, 368}},
             ClickCase{HandleRow016, "MusicNet@AOL", Stop, {63, 368}},
             ClickCase{HandleRow016, "MusicNet@AOL", Previous, {29, 368}},
             ClickCase{HandleRow016, "MusicNet@AOL", Next, {165, 368}},
             ClickCase{HandleRow016, "MusicNet@AOL", Menu, {146, 408}},
             ClickCase{HandleRow105, "InterActual Controller", Play, {120, 26}},
             ClickCase{HandleRow105, "InterActual Controller", Pause, {155, 26}},
             ClickCase{HandleRow105, "InterActual Controller", Stop, {80, 26}},
             ClickCase{HandleRow105, "InterActual Controller", Previous, {24, 26}},
             ClickCase{HandleRow105, "InterActual Controller", Next, {211, 26}},
             ClickCase{HandleRow105, "InterActual Controller", Rewind, {47, 26}},
             ClickCase{HandleRow105, "InterActual Controller", FastForward, {188, 26}},
         }) {
        FakeEnv env;
        env.Foreground("browser.exe", "Other");
        AddTitled(env, std::string("[ ") + c.title + " ]", rect);
        EXPECT_EQ(c.handler(c.button), 1) << c.title;
        EXPECT_EQ(LeftClicks(env), (std::vector<Point>{{rect.left + c.offset.x, rect.top + c.offset.y}}))
            << c.title << " " << RemoteButtonName(c.button);
    }
}

TEST(ClickRows, UnlistedButtonsAreUnhandled) {
    FakeEnv env;
    for (auto handler : {HandleRow012, HandleRow013, HandleRow016, HandleRow105, HandleRow112,
                         HandleRow116, HandleRow132}) {
        for (int32_t b : {Record, Up, Ok, Exit, Digit1}) {
            if (handler == HandleRow132 && b == Up) continue;  // row 132 clicks for Up
            EXPECT_EQ(handler(b), 0) << RemoteButtonName(b);
        }
    }
    EXPECT_TRUE(env.input.batches.empty());
}

TEST(ClickRows, MissingWindowSkipsTheClickButStillHandles) {
    FakeEnv env;
    env.Foreground("browser.exe", "Something else");
    EXPECT_EQ(HandleRow012(Play), 1);
    EXPECT_EQ(HandleRow013(Stop), 1);
    EXPECT_EQ(HandleRow016(Menu), 1);
    EXPECT_EQ(HandleRow105(Rewind), 1);
    EXPECT_EQ(HandleRow116(Play), 1);
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
}

TEST(ImeshClient, ClicksFromTheBottomEdge) {
    const std::pair<int32_t, int32_t> columns[] = {
        {Play, 110}, {Pause, 128}, {Stop, 147}, {Previous, 169}, {Next, 187}};
    for (const auto& [button, x] : columns) {
        FakeEnv env;
        const WindowHandle w = env.Foreground("imeshclient.exe");
        env.desktop.Find(w)->rect = Rect{10, 50, 600, 700};
        EXPECT_EQ(HandleRow112(button), 1);
        EXPECT_EQ(LeftClicks(env), (std::vector<Point>{{10 + x, 660}})) << RemoteButtonName(button);
    }
}

TEST(NapsterControls, ClicksInsideTheNamedButtons) {
    FakeEnv env;
    const WindowHandle front = env.Foreground("napster.exe");
    auto control = [&](const char* title, const char* cls, Rect r) {
        FakeWindow w;
        w.parent = front;
        w.title = title;
        w.className = cls;
        w.rect = r;
        return env.desktop.Add(w);
    };
    control("Play", "Static", Rect{0, 0, 10, 10});  // right title, wrong class
    control("Play", "Button", Rect{200, 100, 230, 120});
    control("Stop", "Button", Rect{240, 100, 270, 120});
    control("Prev", "Button", Rect{280, 100, 310, 120});
    control("Next", "Button", Rect{320, 100, 350, 120});
    EXPECT_EQ(HandleRow116(Play), 1);
    EXPECT_EQ(HandleRow116(Pause), 1);
    EXPECT_EQ(HandleRow116(Stop), 1);
    EXPECT_EQ(HandleRow116(Previous), 1);
    EXPECT_EQ(HandleRow116(Next), 1);
    EXPECT_EQ(LeftClicks(env),
              (std::vector<Point>{{215, 115}, {215, 115}, {250, 110}, {290, 110}, {330, 110}}));
}

TEST(PressplayClient, ClicksAtHeightMinus52) {
    struct Case {
        int32_t button;
        int32_t x;
    };
    for (const Case c : {Case{Stop, 67}, Case{Play, 38}, Case{Pause, 38}, Case{ChannelUp, 114},
                         Case{Next, 114}, Case{Down, 114}, Case{ChannelDown, 90}, Case{Previous, 90},
                         Case{Up, 90}}) {
        FakeEnv env;
        const WindowHandle w = env.Foreground("pressplay.exe", "pressplay", "PressplayClientClass");
        env.desktop.Find(w)->rect = Rect{100, 150, 600, 550};  // 400 high
        EXPECT_EQ(HandleRow132(c.button), 1);
        EXPECT_EQ(LeftClicks(env), (std::vector<Point>{{100 + c.x, 150 + 348}}))
            << RemoteButtonName(c.button);
    }
}

TEST(PressplayClient, NoWindowInFrontNoClick) {
    FakeEnv env;
    env.desktop.foreground = 0;
    EXPECT_EQ(HandleRow132(Stop), 1);
    EXPECT_TRUE(env.input.batches.empty());
}

}  // namespace
