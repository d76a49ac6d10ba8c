// Multi-tap letter entry on the digit buttons, with the main window's timer driven
// by the fake clock.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fake_env.h"
#include "handlers_test_support.h"
#include "profiles/handlers.h"
#include "state/messages.h"

namespace {

constexpr WindowHandle kMainWindow = 0x4242;

// A user interface whose timers fire as the fake time passes, as WM_TIMER on the
// main thread would.
class TimerUi : public FakeUserInterface {
public:
    explicit TimerUi(FakeClock& clock) : clock_(clock) {}
    bool SetTimer(WindowHandle w, uintptr_t id, uint32_t ms) override {
        windows.push_back(w);
        if (!FakeUserInterface::SetTimer(w, id, ms)) return false;
        due[id] = clock_.now + ms;
        return true;
    }
    bool KillTimer(WindowHandle w, uintptr_t id) override {
        due.erase(id);
        return FakeUserInterface::KillTimer(w, id);
    }
    std::map<uintptr_t, uint32_t> due;
    std::vector<WindowHandle> windows;

private:
    FakeClock& clock_;
};

struct LetterEntryFixture : ::testing::Test {
    FakeEnv env;
    TimerUi ui{env.clock};
    WindowHandle savedMain = MainWindowHandle();

    void SetUp() override {
        env.platform.ui = &ui;
        env.Install();
        SetMainWindowHandle(kMainWindow);
        ResetHandlerState();
        env.Foreground("notepad.exe", "Untitled - Notepad");
    }
    void TearDown() override {
        ResetHandlerState();
        SetMainWindowHandle(savedMain);
    }

    void Wait(uint32_t ms) {
        env.clock.Advance(ms);
        const auto it = ui.due.find(kLetterEntryTimer);
        if (it != ui.due.end() && env.clock.now >= it->second) LetterEntryTimer();
    }
    void Press(int32_t button, int times = 1, uint32_t gap = 200) {
        for (int i = 0; i < times; ++i) {
            EXPECT_EQ(HandleRow125(button), 1);
            Wait(gap);
        }
    }
    // The letters typed so far, as plain keystrokes.
    std::string Typed() {
        std::vector<SeenStroke> got;
        std::string error;
        EXPECT_TRUE(DecodeStrokes(env.input.batches, got, error)) << error;
        std::string out;
        for (const auto& s : got) {
            EXPECT_FALSE(s.ctrl || s.alt || s.shift);
            out += static_cast<char>(s.vk);
        }
        return out;
    }
};

TEST_F(LetterEntryFixture, TapsChooseTheLetterOfTheGroup) {
    struct Case {
        int32_t digit;
        int taps;
        const char* letter;
    };
    for (const Case c : {Case{Digit2, 2, "B"}, Case{Digit7, 5, "P"}, Case{Digit9, 4, "Z"},
                         Case{Digit9, 5, "W"}, Case{Digit2, 4, "A"}, Case{Digit8, 3, "V"},
                         Case{Digit6, 1, "M"}, Case{Digit7, 4, "S"}, Case{Digit5, 3, "L"}}) {
        env.input.Clear();
        Press(c.digit, c.taps);
        EXPECT_EQ(Typed(), "") << "typed before the pause";
        Wait(700);
        EXPECT_EQ(Typed(), c.letter) << RemoteButtonName(c.digit) << " x" << c.taps;
        EXPECT_EQ(ui.timers.count(kLetterEntryTimer), 0u) << "timer left running";
    }
}

TEST_F(LetterEntryFixture, AnotherDigitCommitsAtOnce) {
    Press(Digit2);
    EXPECT_EQ(HandleRow125(Digit3), 1);
    EXPECT_EQ(Typed(), "A");
    Wait(699);
    EXPECT_EQ(Typed(), "A");
    Wait(1);
    EXPECT_EQ(Typed(), "AD");
}

TEST_F(LetterEntryFixture, SevenSevenEight) {
    Press(Digit7, 2);
    EXPECT_EQ(HandleRow125(Digit8), 1);
    EXPECT_EQ(Typed(), "Q");
    Wait(700);
    EXPECT_EQ(Typed(), "QT");
}

TEST_F(LetterEntryFixture, OtherButtonDropsThePendingLetter) {
    Press(Digit4);
    EXPECT_EQ(HandleRow125(Ok), 1);
    Wait(700);
    std::vector<SeenStroke> got;
    std::string error;
    ASSERT_TRUE(DecodeStrokes(env.input.batches, got, error)) << error;
    EXPECT_EQ(got, std::vector<SeenStroke>{Key(0x0D)});
}

TEST_F(LetterEntryFixture, UnmappedButtonsStillDropTheLetter) {
    for (const int32_t button : {Record, Exit, Extra35, Extra41}) {
        Press(Digit5);
        EXPECT_EQ(HandleRow125(button), 0) << button;
        Wait(700);
        EXPECT_TRUE(env.input.batches.empty()) << button;
    }
}

TEST_F(LetterEntryFixture, TimerRunsOnTheMainWindowAtSevenHundredMilliseconds) {
    EXPECT_EQ(HandleRow125(Digit3), 1);
    ASSERT_EQ(ui.timers.count(kLetterEntryTimer), 1u);
    EXPECT_EQ(ui.timers[kLetterEntryTimer], 700u);
    EXPECT_EQ(ui.windows.back(), kMainWindow);
}

TEST_F(LetterEntryFixture, EachTapRestartsTheTimer) {
    Press(Digit2, 1, 600);
    Press(Digit2, 1, 600);
    EXPECT_EQ(Typed(), "") << "a tap within 700 ms must not commit";
    Wait(100);
    EXPECT_EQ(Typed(), "B");
}

TEST_F(LetterEntryFixture, TimerWithNothingPendingOnlyStops) {
    EXPECT_EQ(HandleRow125(Up), 1);
    env.input.Clear();
    LetterEntryTimer();
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_EQ(ui.timers.count(kLetterEntryTimer), 0u);
}

TEST_F(LetterEntryFixture, WithoutATimerTheNextDigitCommits) {
    ui.timersFail = true;
    Press(Digit6, 2);
    Wait(5000);
    EXPECT_EQ(Typed(), "");
    EXPECT_EQ(HandleRow125(Digit2), 1);
    EXPECT_EQ(Typed(), "N");
}

TEST_F(LetterEntryFixture, ReaderAndTimerThreadsNeverTypeOutsideTheGroup) {
    // The digit presses (reader thread) and the commits (main thread) race; every
    // letter typed must still be one of the group's.
    std::atomic<bool> done{false};
    std::thread timerThread([&] {
        while (!done.load()) LetterEntryTimer();
    });
    for (int i = 0; i < 2000; ++i) EXPECT_EQ(HandleRow125(i % 3 == 0 ? Digit7 : Digit9), 1);
    done.store(true);
    timerThread.join();
    LetterEntryTimer();
    for (const auto& batch : env.input.batches) {
        ASSERT_EQ(batch.size(), 2u);
        const char c = static_cast<char>(batch[0].virtualKey);
        EXPECT_TRUE((c >= 'P' && c <= 'S') || (c >= 'W' && c <= 'Z')) << c;
    }
    EXPECT_FALSE(env.input.batches.empty());
}

}  // namespace
