#include <gtest/gtest.h>

#include "fake_env.h"
#include "platform/vk.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"

namespace {

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheReceiver().valueCount = 0;
        env.Foreground("unknown.exe");
    }

    void Receive(int32_t id, int variant) { env.Receive(id, variant); }
    size_t Batches() const { return env.input.batches.size(); }

    FakeEnv env;
};

TEST_F(EventsTest, ShortCodesAreDroppedAndCountReset) {
    IrReceiver& rx = TheReceiver();
    for (int i = 0; i < 5; ++i) AppendValue(3);
    OnCodeComplete();
    EXPECT_EQ(rx.valueCount, 0);
    EXPECT_EQ(Batches(), 0u);
    for (int i = 0; i < 30; ++i) AppendValue(3);  // matches nothing
    OnCodeComplete();
    EXPECT_EQ(rx.valueCount, 0);
    EXPECT_EQ(Batches(), 0u);
    EXPECT_EQ(TheButtonTiming().lastButton, -1);
}

// A code that two buttons share: each accepted event reaches the dispatcher, but a
// repeat the filter swallows ends the scan, so the second button is not asked either.
TEST_F(EventsTest, ASwallowedRepeatEndsTheScanOfACodeThatSeveralButtonsMatch) {
    const auto play = SequenceValues(kButtonCodes[Play].variant1);
    TheButtonMap().AddButton(
        Extra40, new CRButton(play.data(), static_cast<int32_t>(play.size()), nullptr, 0, 0));
    const WindowHandle front = env.desktop.foreground;
    Receive(Play, 1);
    EXPECT_EQ(env.desktop.MessagesTo(front).size(), 2u);  // Play, then Extra40
    EXPECT_EQ(TheButtonTiming().lastButton, Extra40);
    // Extra40's repeat within the rate: swallowed, and Play is not asked again either.
    env.clock.Advance(20);
    TheButtonTiming().lastButton = Play;
    TheButtonTiming().lastVariant = 1;
    Receive(Play, 1);
    EXPECT_EQ(env.desktop.MessagesTo(front).size(), 2u);
    EXPECT_EQ(TheButtonTiming().lastButton, Play);
}

TEST_F(EventsTest, RepeatSettingsAreReadForEveryCode) {
    EXPECT_EQ(RepeatDelayMs(0), 50u);
    EXPECT_EQ(RepeatDelayMs(25), 337u);
    EXPECT_EQ(RepeatDelayMs(75), 912u);
    EXPECT_EQ(RepeatDelayMs(100), 1200u);
    EXPECT_EQ(RepeatRateMs(25), 162u);
    EXPECT_EQ(RepeatRateMs(75), 387u);
    EXPECT_EQ(RepeatRateMs(100), 500u);
    // Setters take any value; it counts as the nearest end of the range.
    EXPECT_EQ(RepeatDelayMs(-1), 50u);
    EXPECT_EQ(RepeatDelayMs(INT32_MIN), 50u);
    EXPECT_EQ(RepeatDelayMs(250), 1200u);
    EXPECT_EQ(RepeatDelayMs(INT32_MAX), 1200u);
    EXPECT_EQ(RepeatRateMs(-500), 50u);
    EXPECT_EQ(RepeatRateMs(INT32_MAX), 500u);
    env.settings->RepeatDelay = 0;
    env.settings->RepeatRate = 0;
    EXPECT_TRUE(AcceptButtonTiming(Play, 1));
    env.clock.Advance(51);
    EXPECT_TRUE(AcceptButtonTiming(Play, 1));
}

TEST_F(EventsTest, AppendDropsEverythingAt999Values) {
    IrReceiver& rx = TheReceiver();
    rx.valueCount = 0;
    for (int i = 0; i < 999; ++i) AppendValue(3);
    EXPECT_EQ(rx.valueCount, 999);
    AppendValue(3);
    EXPECT_EQ(rx.valueCount, 0);
}

}  // namespace

namespace {

// Teaching a button: presses are captured, not acted on, until the capture ends.
TEST_F(EventsTest, WhileAButtonIsTaughtPressesAreCapturedNotActedOn) {
    env.settings->PowerButtonEnabled = 1;
    std::vector<int32_t> captured;
    PressEngineInUse().StartCapture([&](int32_t button) { captured.push_back(button); });
    ASSERT_TRUE(PressEngineInUse().Capturing());
    for (const int32_t button : {Play, VolumeUp, Power, MacroButton1}) {
        Receive(button, 1);
        env.clock.Advance(300);
    }
    // Held: its repeats are no new presses.
    for (int i = 0; i < 5; ++i) {
        env.clock.Advance(114);
        Receive(Next, 1);
    }
    EXPECT_EQ(captured, (std::vector<int32_t>{Play, VolumeUp, Power, MacroButton1, Next}));
    EXPECT_EQ(Batches(), 0u);
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
    EXPECT_TRUE(env.shell.calls.empty());
    EXPECT_TRUE(env.power.privileges.empty());

    PressEngineInUse().StopCapture();
    EXPECT_FALSE(PressEngineInUse().Capturing());
    env.clock.Advance(300);
    Receive(Play, 2);
    EXPECT_EQ(captured.size(), 5u);
    EXPECT_EQ(env.ui.unsupportedShown.size(), 1u);  // the press acts again
}

}  // namespace
