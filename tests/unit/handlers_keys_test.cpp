// The keystroke handlers where no press can lead (the presses are in tests/scenarios/):
// without the power port, as the tools run them, and with no window in front, which no
// catalogue row matches.
#include <gtest/gtest.h>

#include "fake_env.h"
#include "handlers_test_support.h"
#include "profiles/handlers.h"

namespace {

TEST(VersionChoice, WithoutThePowerPortTheControlLettersAreUsed) {
    FakeEnv env;
    env.Foreground("wmplayer.exe");
    env.platform.power = nullptr;
    env.Install();
    EXPECT_EQ(HandleRow150(Next), 1);
    std::vector<SeenStroke> got;
    std::string error;
    ASSERT_TRUE(DecodeStrokes(env.input.batches, got, error)) << error;
    EXPECT_EQ(got, (std::vector<SeenStroke>{Key('F', true)}));
}

TEST(OneClick, MenuClickNeedsAWindowInFront) {
    FakeEnv env;
    env.desktop.foreground = 0;
    EXPECT_EQ(HandleRow136(Menu), 1);
    EXPECT_EQ(HandleRow138(Menu), 1);
    EXPECT_TRUE(env.input.batches.empty());
}

}  // namespace
