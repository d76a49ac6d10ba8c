#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiver/button_map.h"
#include "receiver/remote_button.h"
#include "shared/virtual_remote.h"

namespace {

std::string Frames(const PressScript& s) {
    std::string out;
    for (const RemoteFrame& f : s.frames)
        out += std::string(RemoteButtonName(f.id)) + "/" + std::to_string(f.variant) + "@" +
               std::to_string(f.atMs) + " ";
    return out;
}

TEST(VirtualRemote, PressesToggleTheVariantAndHeldButtonsKeepTheRhythm) {
    struct Case {
        std::vector<std::string> words;
        int32_t firstVariant;
        std::string frames;
    };
    const Case cases[] = {
        {{"Play", "play", "PLAY"}, 1, "Play/1@0 Play/2@114 Play/1@228 "},
        {{"Stop"}, 2, "Stop/2@0 "},
        {{"Play:hold=300ms", "Stop"}, 1, "Play/1@0 Play/1@114 Play/1@228 Stop/2@342 "},
        {{"Play:hold=228", "6:frames=1"}, 1, "Play/1@0 Play/1@114 Play/2@228 "},
        {{"Ok:hold=0s"}, 1, "Ok/1@0 "},
        {{"Menu", "pause=1.5s", "Menu:variant=2", "Menu"}, 1, "Menu/1@0 Menu/2@1614 Menu/1@1728 "},
        {{"Exit:variant=2:frames=2", "wait=10"}, 1, "Exit/2@0 Exit/2@114 "},
        {{}, 1, ""},
    };
    for (const Case& c : cases) {
        const PressScript s = BuildPressScript(c.words, c.firstVariant);
        EXPECT_EQ(s.error, "") << c.frames;
        EXPECT_EQ(Frames(s), c.frames);
    }
}

TEST(VirtualRemote, WordsThatAreNoPressAreRefused) {
    for (const char* word : {"Nonsense", "42", "-1", "Play:hold=", "Play:hold=-5ms", "Play:frames=0",
                             "Play:variant=3", "Play:loud", "pause=soon", "pause=1s:x", "", "Play:",
                             "Play:cut=0", "Play:cut=x", "jitter=114ms", "jitter=x", "jitter=5:x",
                             "seed=-1", "seed="}) {
        EXPECT_NE(BuildPressScript({"Play", word}).error, "") << word;
    }
    // A press cut short unplugs the receiver: nothing can follow it.
    EXPECT_NE(BuildPressScript({"Play:cut=3", "Stop"}).error, "");
    const PressScript cut = BuildPressScript({"Stop", "Play:frames=2:cut=3"});
    ASSERT_EQ(cut.error, "");
    ASSERT_EQ(cut.frames.size(), 3u);
    EXPECT_EQ(cut.frames[1].cutAfter, 0u);
    EXPECT_EQ(cut.frames[2].cutAfter, 3u);
}

// A jittered press keeps its frames within the jitter of the remote's spacing, and a
// seed replays the same frames; a new press still starts on the spacing.
TEST(VirtualRemote, JitterMovesTheFramesOfAHeldPressAndASeedReplaysIt) {
    const std::vector<std::string> words = {"seed=7", "jitter=15ms", "Play:frames=40", "Stop:frames=2"};
    const PressScript a = BuildPressScript(words);
    ASSERT_EQ(a.error, "");
    ASSERT_EQ(a.frames.size(), 42u);
    bool moved = false;
    for (size_t i = 1; i < a.frames.size(); ++i) {
        const uint32_t gap = a.frames[i].atMs - a.frames[i - 1].atMs;
        if (a.frames[i].id != a.frames[i - 1].id) {
            EXPECT_EQ(gap, kFramePeriodMs) << i;
            continue;
        }
        EXPECT_GE(gap, kFramePeriodMs - 15) << i;
        EXPECT_LE(gap, kFramePeriodMs + 15) << i;
        moved = moved || gap != kFramePeriodMs;
    }
    EXPECT_TRUE(moved);
    EXPECT_EQ(Frames(BuildPressScript(words)), Frames(a));
    EXPECT_NE(Frames(BuildPressScript({"seed=8", "jitter=15ms", "Play:frames=40", "Stop:frames=2"})),
              Frames(a));
}

TEST(VirtualRemote, DurationsAndButtonNames) {
    uint32_t ms = 0;
    ASSERT_TRUE(ParseDurationMs("600ms", ms));
    EXPECT_EQ(ms, 600u);
    ASSERT_TRUE(ParseDurationMs("1.5s", ms));
    EXPECT_EQ(ms, 1500u);
    ASSERT_TRUE(ParseDurationMs("250", ms));
    EXPECT_EQ(ms, 250u);
    EXPECT_FALSE(ParseDurationMs("1e12s", ms));
    EXPECT_FALSE(ParseDurationMs("ms", ms));
    EXPECT_EQ(ParseButton("volumeup"), VolumeUp);
    EXPECT_EQ(ParseButton("41"), Extra41);
    EXPECT_EQ(ParseButton("0"), Power);
    EXPECT_EQ(ParseButton("Extra42"), -1);
}

}  // namespace

namespace {

// Another remote's made-up codes: the code, then its repeat frame while held.
TEST(VirtualRemote, RawPressesSendTheirValuesAndRepeatFrame) {
    const PressScript s = BuildPressScript(
        {"raw=994412121212:hold=300ms:repeat=994212:every=100ms", "raw=200,100,12,12,12,4", "Play"});
    ASSERT_EQ(s.error, "");
    ASSERT_EQ(s.frames.size(), 5u);
    EXPECT_EQ(s.frames[0].values, SequenceValues("994412121212"));
    EXPECT_EQ(s.frames[1].values, SequenceValues("994212"));
    EXPECT_EQ(s.frames[2].atMs, 200u);
    EXPECT_EQ(s.frames[3].values, (std::vector<uint8_t>{200, 100, 12, 12, 12, 4}));
    EXPECT_EQ(s.frames[3].atMs, 300u);
    EXPECT_TRUE(s.frames[4].values.empty());
    EXPECT_EQ(s.frames[4].variant, 1);  // raw presses leave our remote's toggle alone
    for (const char* word : {"raw=", "raw=12a4", "raw=0123", "raw=300,4", "raw=1,,4",
                             "raw=994412121212:repeat=x", "raw=99441212121299,4", "raw=1,2,3,4,5,40"}) {
        EXPECT_NE(BuildPressScript({word}).error, "") << word;
    }
}

}  // namespace
