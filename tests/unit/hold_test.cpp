// A button a profile file gives a [hold] action: frames arrive at the remote's spacing,
// the main window's timer ends a press whose frames stopped, with the fake clock.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fake_env.h"
#include "profiles/profile_files.h"
#include "receiver/receiver.h"
#include "state/messages.h"
#include "state/trace.h"
#include "ui/osd.h"

namespace {

constexpr uint32_t kSpacingMs = 114;

std::vector<std::string> g_lines;
void Capture(const std::string& line) { g_lines.push_back(line); }

class HoldTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        env.Foreground("player.exe");
        UseThreshold(500);
    }
    void TearDown() override {
        SetOnScreenDisplay(false);
        SetTraceWatched(false);
        SetTraceOutput(nullptr);
        SetTraceNoteOutput(nullptr);
        (void)InstallProfiles({}, {});
    }
    void UseThreshold(int ms) {
        const std::string file = "[program]\nname = \"Player\"\nmatch = { process = \"player.exe\" }\n"
                                 "hold_ms = " + std::to_string(ms) + R"(
[buttons]
Play = "Space"
Rewind = "R"
[hold]
Play = "Ctrl+Q"
Rewind = "Ctrl+R"
)";
        ASSERT_TRUE(InstallProfiles({{"player.toml", file}}, {}).empty()) << ms;
    }
    // One press of n frames; each frame reaches the engine up to `late` ms after it was
    // sent, never before the one before it.
    void Press(int32_t button, int frames, uint32_t late = 0) {
        variant = 3 - variant;
        const uint32_t start = env.clock.now;
        uint32_t seen = start;
        std::uniform_int_distribution<uint32_t> delay(0, late);
        for (int f = 0; f < frames; ++f) {
            seen = std::max(seen, start + static_cast<uint32_t>(f) * kSpacingMs + delay(random));
            env.clock.now = seen;
            env.Receive(button, variant);
        }
    }
    // Time passes with no frame; the main window's timer runs whenever it is set.
    void Release() {
        for (int i = 0; i < 100 && env.ui.timers.count(kProfileHoldTimer) != 0; ++i) {
            env.clock.Advance(env.ui.timers[kProfileHoldTimer]);
            const TimerTrace trace;  // as the main window runs it
            ProfileHoldTimer();
        }
        env.clock.Advance(2000);
    }
    std::string Keys() {
        std::string keys;
        for (const auto& batch : env.input.batches)
            keys += (keys.empty() ? "" : "; ") + DescribeInput(batch, Point{});
        env.input.batches.clear();
        return keys;
    }

    FakeEnv env;
    std::mt19937 random{31};
    int variant = 1;
};

TEST_F(HoldTest, PressActionWhenLetGoHoldActionOnceWhenHeldLongEnough) {
    struct Case {
        const char* what;
        int threshold;
        int32_t button;
        int frames;
        const char* keys;
    } cases[] = {
        {"tap", 500, Play, 1, "key Space"},
        {"four frames never hold, even at the shortest threshold", 400, Play, 4, "key Space"},
        {"five frames last 456 ms", 400, Play, 5, "key Ctrl+Q"},
        {"five frames are not 500 ms", 500, Play, 5, "key Space"},
        {"six frames last 570 ms", 500, Play, 6, "key Ctrl+Q"},
        {"held past the threshold: the hold action once", 500, Play, 20, "key Ctrl+Q"},
        {"a fast-repeat button repeats neither action", 500, Rewind, 20, "key Ctrl+R"},
        {"just short of the longest threshold", 1500, Play, 14, "key Space"},
        {"the longest threshold", 1500, Play, 15, "key Ctrl+Q"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseThreshold(c.threshold);
        Press(c.button, c.frames);
        Release();
        EXPECT_EQ(Keys(), c.keys);
    }
}

// The other toggle variant is a new press at once: the first press's own action comes
// without waiting for the release gap, and the second press waits in turn.
TEST_F(HoldTest, TheOtherVariantEndsThePressAtOnce) {
    Press(Play, 2);
    env.clock.Advance(kSpacingMs);
    Press(Play, 1);
    EXPECT_EQ(Keys(), "key Space");
    Release();
    EXPECT_EQ(Keys(), "key Space");
    // And a hold is not swallowed by the tap before it.
    Press(Play, 1);
    env.clock.Advance(kSpacingMs);
    Press(Play, 8);
    EXPECT_EQ(Keys(), "key Space; key Ctrl+Q");
    Release();
    EXPECT_EQ(Keys(), "");
}

// Frames reach the engine up to a read cycle late. However late, a tap of one to four
// frames never holds; seven frames (684 ms sent) always hold at the default threshold.
TEST_F(HoldTest, JitterNeverTurnsATapIntoAHold) {
    UseThreshold(400);
    for (int i = 0; i < 200; ++i) {
        Press(Play, 1 + i % 4, 200);
        Release();
        ASSERT_EQ(Keys(), "key Space") << "try " << i;
    }
    UseThreshold(500);
    for (int frames = 1; frames <= 20; ++frames) {
        Press(Play, frames, 100);
        Release();
        const std::string keys = Keys();
        if (frames <= kHoldShortestTapFrames) {
            EXPECT_EQ(keys, "key Space") << frames;
        } else if (frames >= 7) {
            EXPECT_EQ(keys, "key Ctrl+Q") << frames;
        }
    }
}

// The trace says which action fired and after how long: the hold in the frame's line, a
// press action on the timer in a line of its own.
TEST_F(HoldTest, TheTraceSaysWhichActionAndWhen) {
    g_lines.clear();
    SetTraceOutput(&Capture);
    SetTraceNoteOutput(&Capture);
    SetTraceWatched(true);
    Press(Play, 6);
    Release();
    Press(Play, 1);
    Release();
    Press(Play, 1);
    env.clock.Advance(kSpacingMs);
    Press(Rewind, 1);
    Release();
    std::string all;
    for (const std::string& l : g_lines) all += l + "\n";
    EXPECT_NE(all.find("Play held: hold action after 570 ms | key Ctrl+Q"), std::string::npos) << all;
    EXPECT_NE(all.find("Play let go: press action after " + std::to_string(kProfileHoldReleaseMs + 1) +
                       " ms | timer"),
              std::string::npos)
        << all;
    // Ended by the next press: a step of that code's line.
    EXPECT_NE(all.find("Rewind variant 1: new press, accepted | user profile player.toml:6 \"Player\" "
                       "Play let go: press action after 114 ms, then "),
              std::string::npos)
        << all;
}

// The display names the file's program and says which action fired and how long the
// press had lasted then: the hold action on a frame, the press action on the main
// window's timer. A press still waiting shows nothing.
TEST_F(HoldTest, TheDisplaySaysWhichActionAndHowLong) {
    SetOnScreenDisplay(true);
    Press(Play, 6);
    const std::optional<OsdPanel> panel = TakeOsdPanel();
    ASSERT_TRUE(panel.has_value());
    EXPECT_EQ(panel->text, "Play held 0.5 s \xC2\xB7 Player");
    Release();
    EXPECT_EQ(TakeOsdPanel(), std::nullopt);
    Press(Play, 2);
    EXPECT_EQ(TakeOsdPanel(), std::nullopt);
    Release();
    // The second frame at 114 ms, then the release gap.
    EXPECT_EQ(TakeOsdPanel(),
              (OsdPanel{"Play let go after " + SecondsText(kSpacingMs + kProfileHoldReleaseMs + 1) +
                            " \xC2\xB7 Player",
                        -1}));
    // Ended by the next press, which waits in turn: the panel is the first press's.
    Press(Play, 3);
    env.clock.Advance(kSpacingMs);
    Press(Rewind, 1);
    EXPECT_EQ(TakeOsdPanel(),
              (OsdPanel{"Play let go after " + SecondsText(3 * kSpacingMs) + " \xC2\xB7 Player", -1}));
    Release();
    (void)TakeOsdPanel();
    UseThreshold(1500);
    Press(Play, 15);
    EXPECT_EQ(TakeOsdPanel(), (OsdPanel{"Play held 1.5 s \xC2\xB7 Player", -1}));
    Release();
}

// A press waiting when the computer goes to sleep is over: nothing of it runs after the
// wake, not even when the timer comes due then.
TEST_F(HoldTest, ASleepForgetsAWaitingPress) {
    Press(Play, 2);
    ReceiverSuspending();
    env.clock.Advance(60000);
    ReceiverResumed();
    Release();
    EXPECT_EQ(Keys(), "");
    Press(Play, 1);
    Release();
    EXPECT_EQ(Keys(), "key Space");
}

}  // namespace
