// The click handlers called when the window they click is gone: the catalogue picks a
// row by the window in front, so a press reaches these only when the window closes
// between that choice and the click (the presses are in tests/scenarios/).
#include <gtest/gtest.h>

#include "fake_env.h"
#include "profiles/handlers.h"

namespace {

TEST(ClickRows, MissingWindowSkipsTheClickButStillHandles) {
    FakeEnv env;
    env.Foreground("browser.exe", "Something else");
    EXPECT_EQ(HandleRow012(Play), 1);
    EXPECT_EQ(HandleRow013(Stop), 1);
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
}

TEST(PressplayClient, NoWindowInFrontNoClick) {
    FakeEnv env;
    env.desktop.foreground = 0;
    EXPECT_EQ(HandleRow132(Stop), 1);
    EXPECT_TRUE(env.input.batches.empty());
}

}  // namespace
