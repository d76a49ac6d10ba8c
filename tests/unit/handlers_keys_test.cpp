// The keystroke handlers that choose, time or prepare their keys.
#include <gtest/gtest.h>

#include "fake_env.h"
#include "handlers_test_support.h"
#include "profiles/handlers.h"

namespace {

std::vector<SeenStroke> Sent(FakeEnv& env) {
    std::vector<SeenStroke> got;
    std::string error;
    EXPECT_TRUE(DecodeStrokes(env.input.batches, got, error)) << error;
    return got;
}

// Remembers the fake time of every batch.
class TimedInput : public InputInjector {
public:
    explicit TimedInput(FakeClock& clock) : clock_(clock) {}
    uint32_t Inject(const std::vector<InputEvent>& batch) override {
        times.push_back(clock_.now);
        batches.push_back(batch);
        return static_cast<uint32_t>(batch.size());
    }
    std::vector<uint32_t> times;
    std::vector<std::vector<InputEvent>> batches;

private:
    FakeClock& clock_;
};

TEST(TimedKeys, PreviousAndNextAreFourEventsAHundredMillisecondsApart) {
    struct Case {
        int32_t button;
        uint16_t vk;
        uint16_t scan;
    };
    for (const Case c : {Case{Previous, 0x21, 0x49}, Case{Next, 0x22, 0x51}}) {
        FakeEnv env;
        env.Foreground("ctcms.exe");
        TimedInput input(env.clock);
        env.platform.input = &input;
        env.Install();
        const uint32_t start = env.clock.now;

        EXPECT_EQ(HandleRow094(c.button), 1);

        const std::vector<std::vector<InputEvent>> expected = {
            {InputEvent{InputEvent::Keyboard, 0x11, 0x1D, 0}},
            {InputEvent{InputEvent::Keyboard, c.vk, c.scan, 0}},
            {InputEvent{InputEvent::Keyboard, c.vk, c.scan, kKeyUp}},
            {InputEvent{InputEvent::Keyboard, 0x11, 0x1D, kKeyUp}},
        };
        EXPECT_EQ(input.batches, expected) << RemoteButtonName(c.button);
        EXPECT_EQ(input.times, (std::vector<uint32_t>{start, start + 100, start + 200, start + 300}));
        EXPECT_EQ(env.clock.sleeps, (std::vector<uint32_t>{100, 100, 100}));
    }
}

TEST(TimedKeys, OtherButtonsDoNotWait) {
    FakeEnv env;
    env.Foreground("ctasr.exe");
    EXPECT_EQ(HandleRow094(Play), 1);
    EXPECT_EQ(HandleRow094(Menu), 0);
    EXPECT_TRUE(env.clock.sleeps.empty());
}

TEST(VersionChoice, ReadsTheVersionAtEveryPress) {
    FakeEnv env;
    env.Foreground("wmplayer.exe");
    env.power.version = OsVersion{true, kPlatformNt, 5, 1};
    EXPECT_EQ(HandleRow150(Play), 1);
    env.power.version = OsVersion{true, kPlatformNt, 6, 0};
    EXPECT_EQ(HandleRow150(Play), 1);
    EXPECT_EQ(Sent(env), (std::vector<SeenStroke>{ExtKey(0xB3, 0x22, true), Key('P', true)}));
}

TEST(VersionChoice, UnknownVersionUsesTheControlLetters) {
    FakeEnv env;
    env.Foreground("wmplayer.exe");
    env.power.version = OsVersion{false, kPlatformNt, 5, 1};  // GetVersionEx failed
    EXPECT_EQ(HandleRow150(Stop), 1);
    env.platform.power = nullptr;
    env.Install();
    EXPECT_EQ(HandleRow150(Next), 1);
    EXPECT_EQ(Sent(env), (std::vector<SeenStroke>{Key('S', true), Key('F', true)}));
}

TEST(RaiseFirst, BringsThePlayerWindowForwardBeforeTheKeys) {
    FakeEnv env;
    FakeWindow player;
    player.title = "Winamp Player Window";
    player.className = "Winamp v1.x";
    player.thread = 77;
    const WindowHandle p = env.desktop.Add(player);
    env.Foreground("winamp.exe", "Playlist Editor");
    EXPECT_EQ(HandleRow078(Play), 1);
    EXPECT_EQ(env.desktop.foreground, p);
    EXPECT_EQ(Sent(env), std::vector<SeenStroke>{Key('X')});
    EXPECT_EQ(env.desktop.attachBalance, 0);
}

TEST(RaiseFirst, RaisesEvenForUnmappedButtonsAndKeysStillGoWithoutTheWindow) {
    FakeEnv env;
    FakeWindow player;
    player.title = "Player Window";
    const WindowHandle p = env.desktop.Add(player);
    env.Foreground("winamp.exe", "Media Library");
    EXPECT_EQ(HandleRow078(Exit), 0);
    EXPECT_EQ(env.desktop.foreground, p);

    FakeEnv alone;
    alone.Foreground("winamp.exe", "Media Library");
    EXPECT_EQ(HandleRow078(Pause), 1);
    EXPECT_EQ(Sent(alone), std::vector<SeenStroke>{Key('C')});
}

TEST(OneClick, MenuClickNeedsAWindowInFront) {
    FakeEnv env;
    env.desktop.foreground = 0;
    EXPECT_EQ(HandleRow136(Menu), 1);
    EXPECT_EQ(HandleRow138(Menu), 1);
    EXPECT_TRUE(env.input.batches.empty());
}

}  // namespace
