// Another remote: learned codes as aliases of the 42 buttons, from the file to the press.
#include "ui/another_remote.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_folders.h"
#include "receiver/remote_button.h"
#include "shared/code_monitor.h"
#include "state/trace.h"
#include "unit/fake_env.h"

namespace {

const char* const kFolder = "C:\\Users\\me\\AppData\\Roaming\\Orbiscope\\Remote\\Profiles\\Remotes";

// A made-up remote: its codes share no value with ours (3, 6 and 7).
const char* const kTvPlay = "9944121212121212";
const char* const kTvPlayToggled = "9944121212121218";
const char* const kTvVolume = "9944121212181818";
const char* const kTvRepeat = "994212";

CRButton Code(const char* v1, const char* v2 = nullptr) {
    const auto a = SequenceValues(v1);
    const auto b = SequenceValues(v2 != nullptr ? v2 : "");
    return CRButton(a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()),
                    v2 != nullptr ? 1 : 0);
}

LearnedButton Learned(int32_t button, const char* code, const char* toggle = nullptr,
                      const char* repeat = nullptr) {
    LearnedButton b;
    b.button = button;
    b.code = Code(code, toggle);
    b.hasRepeat = repeat != nullptr;
    if (repeat != nullptr) b.repeat = Code(repeat);
    return b;
}

class AnotherRemoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        env.Foreground("unknown.exe");
        env.platform.folders = &folders;
        env.Install();
        InstallLearnedRemotes({LearnedRemote{
            "TV", "TV.toml",
            {Learned(Play, kTvPlay, kTvPlayToggled, kTvRepeat), Learned(VolumeUp, kTvVolume, nullptr, kTvRepeat)}}});
    }
    void TearDown() override { InstallLearnedRemotes({}); }

    void Send(const char* digits) {
        TheReceiver().valueCount = 0;
        for (uint8_t v : SequenceValues(digits)) AppendValue(v);
        OnCodeComplete();
    }
    size_t Batches() const { return env.input.batches.size(); }

    FakeEnv env;
    FakeFolderFiles folders;
};

TEST_F(AnotherRemoteTest, ALearnedCodeActsAsItsButtonOnlyAfterEveryBuiltInCodeFailed) {
    const struct {
        const char* sent;
        int32_t button;  // -1: nothing happens
        int variant;
    } cases[] = {
        {kTvPlay, Play, 1},
        {"9944121212121414", Play, 1},  // within the tolerance of 2
        {"9944121212121515", -1, 0},    // beyond it
        {kTvPlayToggled, Play, 2},
        {"994412121212121", -1, 0},     // one value short
        {kTvRepeat, -1, 0},             // a repeat frame with no button held
        {kButtonCodes[Stop].variant1, Stop, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        env.clock.Advance(2000);
        TheButtonTiming() = ButtonTiming{};
        const size_t before = Batches();
        Send(c.sent);
        EXPECT_EQ(TheButtonTiming().lastButton, c.button);
        if (c.button >= 0) {
            EXPECT_EQ(TheButtonTiming().lastVariant, c.variant);
            EXPECT_EQ(Batches(), before + 1);  // the button's default key
        } else {
            EXPECT_EQ(Batches(), before);
        }
    }
    // A learned code that is also one of ours: ours wins.
    InstallLearnedRemotes({LearnedRemote{"DVD", "DVD.toml", {Learned(Stop, kButtonCodes[Play].variant1)}}});
    env.clock.Advance(2000);
    Send(kButtonCodes[Play].variant1);
    EXPECT_EQ(TheButtonTiming().lastButton, Play);
}

std::vector<std::string> g_lines;
void Capture(const std::string& line) { g_lines.push_back(line); }

TEST_F(AnotherRemoteTest, RepeatFramesHoldTheLastLearnedButtonAsOurRemoteRepeats) {
    g_lines.clear();
    SetTraceOutput(&Capture);
    SetTraceWatched(true);
    Send(kTvPlayToggled);
    ASSERT_EQ(Batches(), 1u);
    for (int i = 0; i < 14; ++i) {
        env.clock.Advance(114);
        Send(kTvRepeat);
    }
    EXPECT_EQ(TheButtonTiming().lastButton, Play);
    EXPECT_EQ(TheButtonTiming().lastVariant, 2);  // the variant of its press
    const size_t held = Batches();
    EXPECT_GE(held, 3u);  // past the repeat delay, at the repeat rate
    EXPECT_LE(held, 5u);
    // Another code between: the repeat frame stands for nothing any more.
    env.clock.Advance(114);
    Send("9944121212121515");
    env.clock.Advance(114);
    Send(kTvRepeat);
    EXPECT_EQ(Batches(), held);
    SetTraceWatched(false);
    SetTraceOutput(nullptr);
    ASSERT_GE(g_lines.size(), 2u);
    EXPECT_NE(g_lines[0].find("Play variant 2: new press, accepted | learned remote \"TV\","),
              std::string::npos)
        << g_lines[0];
    EXPECT_NE(g_lines[1].find("Play variant 2: held, swallowed"), std::string::npos) << g_lines[1];
}

TEST_F(AnotherRemoteTest, ARawCaptureTakesEveryCodeAndLeavesTheButtonCaptureAlone) {
    std::vector<std::vector<uint8_t>> raw;
    std::vector<int32_t> ids;
    PressEngineInUse().StartCapture([&](int32_t id) { ids.push_back(id); });
    PressEngineInUse().StartRawCapture(
        [&](const std::vector<uint8_t>& values, uint32_t) { raw.push_back(values); });
    g_lines.clear();
    SetTraceOutput(&Capture);
    SetTraceWatched(true);
    Send(kButtonCodes[Play].variant1);
    env.clock.Advance(500);
    Send("8585858585");  // one of nobody's
    env.clock.Advance(500);
    Send(kTvPlay);
    SetTraceWatched(false);
    SetTraceOutput(nullptr);
    ASSERT_EQ(raw.size(), 3u);
    EXPECT_EQ(raw[1], SequenceValues("8585858585"));
    ASSERT_EQ(g_lines.size(), 3u);
    EXPECT_NE(g_lines[1].find(" | captured (10 values): a remote is being learned"), std::string::npos)
        << g_lines[1];
    EXPECT_TRUE(ids.empty());
    EXPECT_EQ(Batches(), 0u);
    EXPECT_EQ(TheButtonTiming().lastButton, -1);

    PressEngineInUse().StopRawCapture();
    EXPECT_TRUE(PressEngineInUse().Capturing());
    env.clock.Advance(2000);
    Send(kButtonCodes[Next].variant1);
    EXPECT_EQ(ids, std::vector<int32_t>{Next});
    PressEngineInUse().StopCapture();
}

TEST_F(AnotherRemoteTest, TwoPressesGiveTheCodeItsToggleVariantAndTheRepeatFrame) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, uint32_t>> frames;  // code, time since the last
        bool toggles, repeat;
    } cases[] = {
        {"the same twice", {{kTvVolume, 0}, {kTvVolume, 800}}, false, false},
        {"a toggling remote", {{kTvPlay, 0}, {kTvPlayToggled, 800}}, true, false},
        {"held, its own code again", {{kTvPlay, 0}, {kTvPlay, 110}, {kTvPlay, 800}}, false, false},
        {"held, a repeat frame", {{kTvPlay, 0}, {kTvRepeat, 110}, {kTvRepeat, 110}, {kTvPlay, 800}},
         false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoteLearner learner;
        uint32_t tick = 5000;
        for (const auto& [code, gap] : c.frames) {
            EXPECT_NE(learner.Current(), RemoteLearner::Step::Learned);
            tick += gap;
            learner.Feed(SequenceValues(code), tick);
        }
        ASSERT_EQ(learner.Current(), RemoteLearner::Step::Learned);
        const LearnedButton b = learner.Result(Play);
        EXPECT_EQ(b.code.hasAlternate != 0, c.toggles);
        EXPECT_EQ(b.hasRepeat, c.repeat);
        EXPECT_EQ(b.code.MatchCode(Code(c.frames[0].first)), 1);
        if (c.repeat) {
            EXPECT_EQ(b.repeat.MatchCode(Code(kTvRepeat)), 1);
        }
    }
}

TEST_F(AnotherRemoteTest, ACodeThatWouldMeanAnotherButtonIsRefusedWithWhichOne) {
    const LearnedRemotes table = *LearnedRemotesInForce();
    const struct {
        const char* name;
        std::string remote;
        LearnedButton candidate;
        std::string text;
    } cases[] = {
        {"ours", "DVD", Learned(Stop, kButtonCodes[Play].variant2),
         "This code already means Play on the Orbiscope remote."},
        {"ours, by its toggle variant", "DVD", Learned(Stop, "8585858585", kButtonCodes[Mute].variant1),
         "This code already means Mute on the Orbiscope remote."},
        {"ours, by the repeat frame", "DVD", Learned(Stop, "8585858585", nullptr, kButtonCodes[Ok].variant1),
         "This code already means OK on the Orbiscope remote."},
        {"another remote's", "DVD", Learned(Stop, "9944121212181717"),
         "This code is already Volume Up on TV."},
        {"another remote's toggle variant", "DVD", Learned(Stop, kTvPlayToggled),
         "This code is already Play on TV."},
        {"the same remote's other button", "TV", Learned(Stop, kTvPlay), "This code is already Play on TV."},
        {"the button it replaces", "TV", Learned(Play, kTvPlay), ""},
        {"a repeat frame shared with other remotes", "DVD", Learned(Stop, "8585858585", nullptr, kTvRepeat), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CodeClashText(FindCodeClash(TheButtonMap(), table, c.remote, c.candidate)), c.text);
    }
}

TEST(RemoteFiles, ARemoteWrittenReadsBackAsTheSame) {
    LearnedRemote remote{"Living room \"TV\" \xC3\xA9", "x.toml", {}};
    remote.buttons.push_back(Learned(VolumeUp, kTvVolume, nullptr, kTvRepeat));
    LearnedButton wide;
    wide.button = Play;
    const uint8_t v1[] = {200, 100, 12, 12, 12, 40}, v2[] = {200, 100, 12, 12, 40, 40};
    wide.code = CRButton(v1, 6, v2, 6, 1);
    remote.buttons.push_back(wide);
    const std::string text = LearnedRemoteText(remote);
    EXPECT_NE(text.find("code = [200, 100, 12, 12, 12, 40]"), std::string::npos);
    EXPECT_NE(text.find("code = \"9944121212181818\""), std::string::npos);
    RemoteFileProblem problem;
    const auto back = ParseLearnedRemote({"x.toml", text}, problem);
    ASSERT_TRUE(back) << problem.Describe();
    EXPECT_EQ(back->name, remote.name);
    ASSERT_EQ(back->buttons.size(), 2u);
    EXPECT_EQ(back->buttons[0].button, VolumeUp);
    EXPECT_TRUE(back->buttons[0].hasRepeat);
    EXPECT_EQ(back->buttons[1].button, Play);
    EXPECT_EQ(back->buttons[1].code.hasAlternate, 1);
    EXPECT_EQ(back->buttons[1].code.MatchCode(CRButton(v2, 6, nullptr, 0, 0)), 2);
    EXPECT_EQ(LearnedRemoteText(*back), text);
}

TEST(RemoteFiles, EachFaultIsReportedWithItsLine) {
    const struct {
        const char* text;
        int line;
        const char* message;
    } cases[] = {
        {"[buttons.Play]\ncode = \"99441212\"\n", 0, "no [remote] table"},
        {"[remote]\n\n[buttons.Play]\ncode = \"99441212\"\n", 1, "[remote] has no name"},
        {"[remote]\nname = \"TV\"\ncolour = 1\n", 3, "unknown key \"colour\" in [remote]"},
        {"[remote]\nname = \"  \"\n", 2, "the remote's name is empty"},
        {"[remote]\nname = \"TV\"\n[buttons.Plya]\ncode = \"99441212\"\n", 3, "unknown button \"Plya\""},
        {"[remote]\nname = \"TV\"\n[buttons.Play]\ntoggle = \"99441212\"\n", 3, "button Play has no code"},
        {"[remote]\nname = \"TV\"\n[buttons.Play]\ncode = \"9944\"\n", 4, "the code is shorter than 6 values"},
        {"[remote]\nname = \"TV\"\n[buttons.Play]\ncode = \"994412x2\"\n", 4,
         "the code must be digits 1 to 9, or an array of integers"},
        {"[remote]\nname = \"TV\"\n[buttons.Play]\ncode = \"99441212\"\nrepeat = [9, 9, 0, 1, 2, 3]\n", 5,
         "each value of the repeat must be 1 to 255"},
        {"[remote]\nname = \"TV\"\n[buttons.Play]\ncode = \"99441212\"\nhold = 1\n", 5,
         "unknown key \"hold\" in button Play"},
        {"[remote]\nname = \"TV\"\n[program]\n", 3, "unknown table [program]"},
        {"[remote]\nname = \"TV\n", 2, ""},  // the parser's own words
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RemoteFileProblem problem;
        EXPECT_FALSE(ParseLearnedRemote({"tv.toml", c.text}, problem));
        EXPECT_EQ(problem.line, c.line);
        if (*c.message != '\0') {
            EXPECT_EQ(problem.message, c.message);
        }
        EXPECT_FALSE(problem.message.empty());
    }
}

TEST(RemoteFiles, AFileThatClashesIsLeftOutWholeAndTheOthersLoad) {
    TheButtonMap().RemoveAllButtons();
    LoadDefaultButtons();
    const std::string play = kButtonCodes[Play].variant1;
    const LearnedRemotesRead read = ReadLearnedRemotes({
        {"c.toml", "[remote]\nname = \"Radio\"\n[buttons.Stop]\ncode = \"9944121212121213\"\n"},
        {"a.toml", "[remote]\nname = \"TV\"\n[buttons.Play]\ncode = \"" + std::string(kTvPlay) + "\"\n"},
        {"b.toml", "[remote]\nname = \"DVD\"\n[buttons.Next]\ncode = \"8585858585\"\n"
                   "[buttons.Stop]\ncode = \"" + play + "\"\n"},
        {"d.toml", "[remote]\nname = \"TV\"\n"},
        {"e.toml", "not toml ["},
    });
    ASSERT_EQ(read.remotes.size(), 1u);
    EXPECT_EQ(read.remotes[0].name, "TV");
    ASSERT_EQ(read.problems.size(), 4u);
    EXPECT_EQ(read.problems[0].Describe(),
              "learned remote Remotes\\b.toml:5: the code of Stop already means Play on the Orbiscope remote");
    EXPECT_EQ(read.problems[1].Describe(),
              "learned remote Remotes\\c.toml:3: the code of Stop is already Play on TV");
    EXPECT_EQ(read.problems[2].Describe(),
              "learned remote Remotes\\d.toml: the remote \"TV\" is learned in a.toml already");
    EXPECT_EQ(read.problems[3].fileName, "e.toml");
}

TEST_F(AnotherRemoteTest, SavingAndRemovingChangeTheFileAndTheTableInForce) {
    InstallLearnedRemotes({});
    ASSERT_TRUE(SaveLearnedButton(folders, kFolder, " Living room TV ",
                                  Learned(Play, kTvPlay, kTvPlayToggled, kTvRepeat)).ok);
    ASSERT_TRUE(SaveLearnedButton(folders, kFolder, "Living room TV", Learned(VolumeUp, kTvVolume)).ok);
    EXPECT_NE(folders.Bytes(kFolder, "Living room TV.toml").find("[buttons.VolumeUp]"), std::string::npos);
    ASSERT_EQ(LearnedRemotesInForce()->size(), 1u);
    EXPECT_EQ(LearnedRemotesInForce()->at(0).buttons.size(), 2u);

    const std::string before = folders.Bytes(kFolder, "Living room TV.toml");
    const RemoteChange clash = SaveLearnedButton(folders, kFolder, "DVD", Learned(Stop, kTvVolume));
    EXPECT_FALSE(clash.ok);
    EXPECT_EQ(clash.text, "This code is already Volume Up on Living room TV. Nothing was saved.");
    const RemoteChange ours = SaveLearnedButton(folders, kFolder, "DVD", Learned(Stop, kButtonCodes[Play].variant1));
    EXPECT_EQ(ours.text, "This code already means Play on the Orbiscope remote. Nothing was saved.");
    EXPECT_EQ(folders.folders[kFolder].size(), 1u);
    EXPECT_EQ(folders.Bytes(kFolder, "Living room TV.toml"), before);

    ASSERT_TRUE(RemoveLearnedButton(folders, kFolder, "Living room TV", Play).ok);
    EXPECT_EQ(folders.Bytes(kFolder, "Living room TV.toml").find("[buttons.Play]"), std::string::npos);
    env.clock.Advance(2000);
    Send(kTvPlay);
    EXPECT_EQ(TheButtonTiming().lastButton, -1);  // inert again
    ASSERT_TRUE(RemoveLearnedButton(folders, kFolder, "Living room TV", VolumeUp).ok);
    EXPECT_EQ(folders.folders[kFolder].count("Living room TV.toml"), 0u);

    ASSERT_TRUE(SaveLearnedButton(folders, kFolder, "DVD", Learned(Stop, kTvVolume)).ok);
    ASSERT_TRUE(RemoveLearnedRemote(folders, kFolder, "DVD").ok);
    EXPECT_TRUE(folders.folders[kFolder].empty());
    EXPECT_TRUE(LearnedRemotesInForce()->empty());
}

}  // namespace

namespace {

// The code monitor names the learned remote of a match, as the trace does.
TEST_F(AnotherRemoteTest, TheCodeMonitorNamesTheLearnedRemote) {
    const struct {
        const char* sent;
        const char* said;
    } cases[] = {
        {kTvPlay, "-> Play variant 1 (learned remote \"TV\"), new press: accepted"},
        {kTvRepeat, "-> Play variant 1 (learned remote \"TV\", repeat frame), held: swallowed"},
        {"8585858585", "-> no button"},
    };
    for (const auto& c : cases) {
        TheReceiver().valueCount = 0;
        for (uint8_t v : SequenceValues(c.sent)) AppendValue(v);
        env.clock.Advance(114);
        const std::string report = FormatReport(AnalyseCompletedCode());
        EXPECT_NE(report.find(c.said), std::string::npos) << report;
    }
}

}  // namespace
