// Profile files: the loader's errors with their lines, what a press sends for each kind
// of action, matching, and the export of built-in rows.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fake_env.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "profiles/profile_files.h"
#include "state/key_names.h"
#include "state/trace.h"

namespace {

// Puts the files back to none, whatever the test left.
struct Profiles {
    ~Profiles() {
        (void)InstallProfiles({}, {});
        SetProfilesElevated(false);
    }
    std::vector<ProfileProblem> User(const std::string& name, const std::string& text) {
        return InstallProfiles({{name, text}}, {});
    }
};

constexpr const char* kHead =
    "[program]\nname = \"Player\"\nmatch = { process = \"player.exe\" }\n";

struct BadFile {
    const char* what;
    std::string text;
    int line;
    const char* message;  // a part of the message
};

TEST(ProfileLoader, SkipsAFileWithAnErrorAndSaysWhereItIs) {
    const std::string big(kMaxProfileBytes + 1, '#');
    const BadFile cases[] = {
        {"syntax", std::string(kHead) + "[buttons]\nPlay = \"Space\n", 5, ""},
        {"array closed by a brace", std::string(kHead) + "[buttons]\nOk = [}\n", 5, ""},
        {"no program", "[buttons]\nPlay = \"Space\"\n", 0, "no [program] table"},
        {"no name", "[program]\nmatch = { process = \"p.exe\" }\n", 1, "has no name"},
        {"no match", "[program]\nname = \"P\"\n", 1, "has no match"},
        {"match without process", "[program]\nname = \"P\"\n\nmatch = { class = \"C\" }\n", 4,
         "a match without \"process\""},
        {"unknown table", std::string(kHead) + "[buttonz]\n", 4, "unknown table [buttonz]"},
        {"unknown top key", "x = 1\n" + std::string(kHead), 1, "unknown key \"x\""},
        {"unknown program key", "[program]\nname = \"P\"\nnmae = \"Q\"\n", 3,
         "unknown key \"nmae\" in [program]"},
        {"unknown match key",
         "[program]\nname = \"P\"\nmatch = { process = \"p.exe\", titel = \"x\" }\n", 3,
         "unknown key \"titel\" in a match"},
        {"unknown button", std::string(kHead) + "[buttons]\nPlay = \"Space\"\nPlya = \"P\"\n", 6,
         "unknown button \"Plya\""},
        {"button in the wrong case", std::string(kHead) + "[buttons]\nplay = \"P\"\n", 5,
         "did you mean Play?"},
        {"unknown key name", std::string(kHead) + "[buttons]\nPlay = \"Ctrl+Spcae\"\n", 5,
         "unknown key name \"Spcae\" in \"Ctrl+Spcae\""},
        {"unknown modifier", std::string(kHead) + "[buttons]\nPlay = \"Super+P\"\n", 5,
         "unknown modifier \"Super\""},
        {"empty chord part", std::string(kHead) + "[buttons]\nPlay = \"Ctrl++P\"\n", 5,
         "empty part"},
        {"unknown app command",
         std::string(kHead) + "[buttons]\nMenu = { app_command = \"MEDIA_PLAYY\" }\n", 5,
         "unknown app command \"MEDIA_PLAYY\""},
        {"unknown action table", std::string(kHead) + "[buttons]\nMenu = { run = \"x\" }\n", 5,
         "unknown action"},
        {"two actions in one table",
         std::string(kHead) + "[buttons]\nMenu = { app_command = \"HELP\", keys = \"A\" }\n", 5,
         "more than one action"},
        {"number for an action", std::string(kHead) + "[buttons]\nMenu = 5\n", 5, "unknown action"},
        {"none in a sequence", std::string(kHead) + "[buttons]\nOk = [\"A\",\n  \"none\"]\n", 6,
         "cannot be part of a sequence"},
        {"sequence too long",
         std::string(kHead) + "[buttons]\nOk = [\"A\",\"A\",\"A\",\"A\",\"A\",\"A\",\"A\",\"A\","
                              "\"A\",\"A\",\"A\",\"A\",\"A\",\"A\",\"A\",\"A\",\"A\"]\n",
         5, "at most 16"},
        {"hold_ms too short",
         "[program]\nname = \"P\"\nmatch = { process = \"p.exe\" }\nhold_ms = 399\n", 4,
         "hold_ms 399 is out of range"},
        {"message out of range", std::string(kHead) + "[buttons]\nOk = { message = 0x10000 }\n", 5,
         "message 65536 is out of range"},
        {"lparam out of range",
         std::string(kHead) + "[buttons]\nOk = { message = 1, lparam = 4294967296 }\n", 5,
         "lparam 4294967296 is out of range"},
        {"name too long", "[program]\nname = \"" + std::string(65, 'n') + "\"\n", 2,
         "longer than 64 characters"},
        {"takes Power", std::string(kHead) + "takes_global = [\"VolumeUp\", \"Power\"]\n", 4,
         "takes_global cannot name Power"},
        {"takes a plain button", std::string(kHead) + "takes_global = [\"Play\"]\n", 4,
         "Play, which is not a global button"},
        {"over 256 KB", big, 0, "over 256 KB"},
        {"not UTF-8", std::string(kHead) + "# caf\xE9\n", 4, "not UTF-8"},
        {"control character", std::string(kHead) + "# \x03\n", 4, "a control character (0x03)"},
        // One that the parser itself would trip over.
        {"control character in a header", std::string("[\x03p\0[\x03powerdvd.e", 16), 1,
         "a control character (0x03)"},
        {"table header without a name", std::string(kHead) + "\n  [[ }\n", 5,
         "a table name must follow \"[\""},
        {"letter beyond ASCII outside a string",
         std::string(kHead) +
             "# caf\xC3\xA9 \"\n[buttons]\nOk = \"\"\"\\\"x\n\xC3\xA9\"\"\"\n\xC3\xA9)\n",
         8, "beyond ASCII outside a string or comment"},
        {"overlong UTF-8", std::string(kHead) + "\n# \xC0\xAF\n", 5, "not UTF-8"},
    };
    for (const BadFile& c : cases) {
        Profiles profiles;
        const std::vector<ProfileProblem> problems = profiles.User("bad.toml", c.text);
        ASSERT_EQ(problems.size(), 1u) << c.what;
        EXPECT_EQ(problems[0].line, c.line) << c.what << ": " << problems[0].Describe();
        EXPECT_NE(problems[0].message.find(c.message), std::string::npos)
            << c.what << ": " << problems[0].Describe();
        EXPECT_EQ(ProfilesInForce(), nullptr) << c.what;
    }
}

// The format page's example, as a user would copy it, with a hold and a message beside.
TEST(ProfileLoader, TakesTheDocumentedExample) {
    Profiles profiles;
    const auto problems = profiles.User(
        "mpv.toml",
        R"(# mpv: keys from "mpv manual, INTERACTIVE CONTROL, Keyboard Control" (checked with mpv 0.37)
[program]
name  = "mpv"                         # shown in the trace, the on-screen display and the settings
match = { process = "mpv.exe" }
hold_ms = 800

[buttons]
Play        = "Space"                 # a key chord
Pause       = "Space"
Next        = "Shift+Period"          # a key, not a character: ">" on a US layout
Ok          = ["Ctrl+L", "Enter"]     # a sequence, sent in order
Menu        = { app_command = "MEDIA_PLAY_PAUSE" }
Record      = { keys = "Left", scancode = true }   # for programs that read scan codes
Exit        = "none"                  # swallow the press
Stop        = "default"               # what would happen without this file
ChannelUp   = { message = 0x111, wparam = 40045, lparam = 0, class = "Winamp v1.x" }
Digit1      = { open = "C:\\Users\\me\\Music\\party.m3u" }

[hold]
Play        = "Ctrl+Q"
)");
    EXPECT_TRUE(problems.empty()) << problems.at(0).Describe();
}

TEST(ProfileLoader, OpenAndTakesGlobalOnlyInTheUsersOwnFiles) {
    Profiles profiles;
    const std::string opens = std::string(kHead) + "[buttons]\nMenu = { open = \"C:\\\\x.m3u\" }\n";
    const std::string takes =
        "[program]\nname = \"P\"\nmatch = { process = \"p.exe\" }\ntakes_global = [\"Mute\"]\n";
    const auto problems = InstallProfiles({{"mine.toml", opens}, {"takes.toml", takes}},
                                          {{"shipped.toml", opens}, {"takes.toml", takes}});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].Describe(),
              "shipped profile shipped.toml:5: \"open\" is for the user's own files only");
    EXPECT_EQ(problems[1].Describe(),
              "shipped profile takes.toml:4: takes_global is for the user's own files only");
}

// What the setup installs: every file loads in the shipped layer, where the actions only
// a user's file may use are refused, and opens with the comment lines the help shows as
// its source.
TEST(ShippedProfiles, EveryFileLoadsWithoutAProblem) {
    Profiles profiles;
    std::vector<ProfileText> shipped;
    for (const auto& e : std::filesystem::directory_iterator(ORB_SHIPPED_PROFILES_DIR)) {
        if (e.path().extension() != ".toml") continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        shipped.push_back({e.path().filename().string(), text.str()});
        EXPECT_EQ(shipped.back().text.rfind("# ", 0), 0u) << shipped.back().fileName;
    }
    EXPECT_GE(shipped.size(), 30u);
    std::string told;
    for (const ProfileProblem& p : InstallProfiles({}, shipped)) told += p.Describe() + "\n";
    EXPECT_EQ(told, "");
}

// The help's view of a file: matches as written, the buttons it decides ("default" is
// none of them) and where its messages go.
TEST(ProfileOutline, SaysWhatTheFileDecidesAsWritten) {
    Profiles profiles;
    const std::string file =
        "[program]\nname = \"P\"\nmatch = [{ process = \"Zoom.exe\", title_contains = \"Meet - \" "
        "},\n"
        "  { process = \"p.exe\", class = \"Wnd\" }]\nhold_ms = 700\n[buttons]\nPlay = \"Space\"\n"
        "Stop = \"none\"\nNext = \"default\"\nOk = { message = 0x111, class = \"Winamp v1.x\" }\n"
        "[hold]\nPlay = \"Ctrl+Q\"\nRecord = \"default\"\n";
    ASSERT_TRUE(InstallProfiles({}, {{"p.toml", file}}).empty());
    const std::vector<ProfileOutline> outline = OutlineProfiles(ProfilesInForce());
    ASSERT_EQ(outline.size(), 1u);
    const ProfileOutline& o = outline[0];
    ASSERT_EQ(o.matches.size(), 2u);
    EXPECT_EQ(o.matches[0].process + "|" + o.matches[0].title + "|" + o.matches[0].className,
              "Zoom.exe|Meet - |");
    EXPECT_EQ(o.matches[1].className, "Wnd");
    EXPECT_EQ(o.pressed, (std::vector<int32_t>{Play, Stop, Ok}));
    EXPECT_EQ(o.held, (std::vector<int32_t>{Play}));
    EXPECT_EQ(o.holdMs, 700);
    EXPECT_EQ(o.messageClasses, (std::vector<std::string>{"Winamp v1.x"}));
}

// Names, processes and titles the program writes into files read back as they were; a
// title with a line break in it is escaped, so the file still reads and the loader says
// what is wrong with the title rather than where the string broke.
TEST(ProfileOutline, WrittenStringsReadBackAsTheyWere) {
    Profiles profiles;
    const auto file = [](const std::string& title) {
        return "[program]\nname = " + TomlQuoted(title) + "\nmatch = { process = \"p.exe\", " +
               "title_contains = " + TomlQuoted(title) + " }\n[buttons]\nPlay = \"Space\"\n";
    };
    const std::string title = "a \"quoted\" \\ title and \xC3\xA9";
    ASSERT_TRUE(InstallProfiles({{"p.toml", file(title)}}, {}).empty());
    const std::vector<ProfileOutline> outline = OutlineProfiles(ProfilesInForce());
    ASSERT_EQ(outline.size(), 1u);
    ASSERT_EQ(outline[0].matches.size(), 1u);
    EXPECT_EQ(outline[0].matches[0].title, title);
    const std::vector<ProfileProblem> problems =
        InstallProfiles({{"p.toml", file("two\nlines")}}, {});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Describe(),
              "user profile p.toml:3: title_contains holds a control character");
}

TEST(ProfileLoader, TheLaterFileByNameLosesAMatchClaimedTwice) {
    Profiles profiles;
    const std::string a = "[program]\nname = \"A\"\nmatch = { process = \"P.exe\" }\n";
    const std::string b =
        "[program]\nname = \"B\"\nmatch = [{ process = \"q.exe\" },\n"
        "  { process = \"p.EXE\" }]\n";
    // Broken files claim nothing: "0.toml" would come first.
    const auto problems =
        InstallProfiles({{"b.toml", b}, {"0.toml", "[program"}, {"A.toml", a}}, {{"c.toml", a}});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].Describe().rfind("user profile 0.toml:1: ", 0), 0u);
    EXPECT_EQ(problems[1].Describe(), "user profile b.toml:4: the same match as A.toml");
    EXPECT_NE(ProfilesInForce(), nullptr);
}

TEST(ProfileKeyNames, EveryNameAFileWritesReadsBackInAnyCase) {
    int named = 0;
    for (int k = 1; k < 256; ++k) {
        const std::string name = FileKeyName(static_cast<uint16_t>(k));
        if (name.empty()) continue;
        ++named;
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(KeyFromFileName(name), k) << name;
        EXPECT_EQ(KeyFromFileName(lower), k) << lower;
    }
    EXPECT_GE(named, 36 + 24 + 10 + 5 + 11 + 10 + 16);
    const std::pair<const char*, int> aliases[] = {{"Escape", vk::ESCAPE},
                                                   {"Return", vk::RETURN},
                                                   {"PgUp", vk::PRIOR},
                                                   {"PgDn", vk::NEXT},
                                                   {"Num*", -1},
                                                   {"F25", -1},
                                                   {"F01", -1},
                                                   {";", -1}};
    for (const auto& [name, key] : aliases) EXPECT_EQ(KeyFromFileName(name), key) << name;
}

class ProfilePress : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        env.settings->ShowUnsupportedDlg = 1;
    }
    // The keys the press sent, as the trace names them.
    std::string Press(int32_t button) {
        env.input.batches.clear();
        env.desktop.messages.clear();
        env.Receive(button, ++variant % 2 + 1);
        std::string keys;
        for (const auto& batch : env.input.batches)
            keys += (keys.empty() ? "" : "; ") + DescribeInput(batch, Point{});
        return keys;
    }
    std::vector<FakeMessage> Posted(MessageId message) const {
        std::vector<FakeMessage> out;
        for (const FakeMessage& m : env.desktop.messages)
            if (m.message == message) out.push_back(m);
        return out;
    }
    FakeEnv env;
    Profiles profiles;
    int variant = 0;
};

TEST_F(ProfilePress, EachKindOfActionSendsWhatTheFileSays) {
    const WindowHandle target = env.AddWindow("other.exe", "Target", "Winamp v1.x");
    const WindowHandle front = env.Foreground("Player.exe");
    ASSERT_TRUE(profiles
                    .User("player.toml", std::string(kHead) + R"([buttons]
Play = "ctrl+shift+p"
Next = "Shift+Period"
Ok = ["Ctrl+L", "Enter"]
Menu = { app_command = "MEDIA_PLAY_PAUSE" }
Record = { keys = "Win+Left", scancode = true }
Stop = { message = 0x111, wparam = 40045, class = "Winamp v1.x" }
Pause = { message = 0x8001, lparam = -1 }
Exit = "none"
Up = "default"
Digit1 = "NumMultiply"
)")
                    .empty());
    EXPECT_EQ(Press(Play), "key Ctrl+Shift+P");
    EXPECT_EQ(Press(Next), "key Shift+.");
    EXPECT_EQ(Press(Ok), "key Ctrl+L; key Enter");
    EXPECT_EQ(Press(Digit1), "key Num*");
    EXPECT_EQ(Press(Exit), "");
    EXPECT_EQ(Press(Up), "key Up");  // the default key: no row knows player.exe
    EXPECT_TRUE(env.ui.unsupportedShown.empty());

    EXPECT_EQ(Press(Record), "key Win+Left");
    const std::vector<InputEvent> win = env.input.batches.at(0);
    ASSERT_EQ(win.size(), 4u);
    EXPECT_EQ(win[0], (InputEvent{InputEvent::Keyboard, vk::LWIN, 0x5B, kKeyExtended}));
    EXPECT_EQ(win[1], (InputEvent{InputEvent::Keyboard, vk::LEFT, 0x4B, kKeyExtended}));

    Press(Menu);
    ASSERT_EQ(Posted(wm::APPCOMMAND).size(), 1u);
    EXPECT_EQ(Posted(wm::APPCOMMAND)[0].window, front);
    EXPECT_EQ(Posted(wm::APPCOMMAND)[0].lParam, LParam{14} << 16);
    Press(Stop);
    ASSERT_EQ(Posted(0x111).size(), 1u);
    EXPECT_EQ(Posted(0x111)[0].window, target);
    EXPECT_EQ(Posted(0x111)[0].wParam, 40045u);
    EXPECT_FALSE(Posted(0x111)[0].sent);
    Press(Pause);
    ASSERT_EQ(Posted(0x8001).size(), 1u);
    EXPECT_EQ(Posted(0x8001)[0].window, front);
    EXPECT_EQ(Posted(0x8001)[0].lParam, -1);
}

TEST_F(ProfilePress, APackagedAppIsMatchedByItsOwnProcess) {
    const WindowHandle frame =
        env.Foreground("ApplicationFrameHost.exe", "Media Player", "ApplicationFrameWindow");
    FakeWindow core;
    core.parent = frame;
    core.className = "Windows.UI.Core.CoreWindow";
    core.pid = env.processes.Add("Microsoft.Media.Player.exe");
    env.desktop.Add(core);
    ASSERT_TRUE(InstallProfiles({{"player.toml", R"([program]
name = "Media Player"
match = { process = "microsoft.media.player.exe", title_contains = "media" }
[buttons]
Play = "Ctrl+P"
)"},
                                 {"host.toml", R"([program]
name = "Frame host"
match = { process = "ApplicationFrameHost.exe" }
[buttons]
Play = "F5"
)"}},
                                {})
                    .empty());
    EXPECT_EQ(Press(Play), "key Ctrl+P");
}

TEST_F(ProfilePress, TheMostSpecificMatchWinsThenTheFirstName) {
    env.Foreground("player.exe", "Movie - Player", "PlayerWnd");
    const auto file = [](const char* match, const char* key) {
        return std::string("[program]\nname = \"P\"\nmatch = ") + match + "\n[buttons]\nPlay = \"" +
               key + "\"\n";
    };
    const std::string plain = file("{ process = \"player.exe\" }", "A");
    const std::string titled =
        file("{ process = \"player.exe\", title_contains = \"MOVIE\" }", "B");
    const std::string classed = file("{ process = \"player.exe\", class = \"playerwnd\" }", "C");
    const std::string both = file(
        "{ process = \"player.exe\", class = \"PlayerWnd\", title_contains = \"movie\" }", "D");
    const std::string otherTitle =
        file("{ process = \"player.exe\", title_contains = \"music\" }", "E");
    const std::string otherLength =
        file("{ process = \"player.exe\", title_contains = \"layer\" }", "F");

    ASSERT_TRUE(InstallProfiles({{"a.toml", plain}, {"z.toml", titled}}, {}).empty());
    EXPECT_EQ(Press(Play), "key B");
    ASSERT_TRUE(InstallProfiles({{"a.toml", plain}, {"e.toml", otherTitle}}, {}).empty());
    EXPECT_EQ(Press(Play), "key A");
    ASSERT_TRUE(InstallProfiles({{"a.toml", classed}, {"z.toml", titled}}, {}).empty());
    EXPECT_EQ(Press(Play), "key B");  // a title's text outranks no title
    ASSERT_TRUE(InstallProfiles({{"y.toml", otherLength}, {"x.toml", titled}}, {}).empty());
    EXPECT_EQ(Press(Play), "key B");  // titles as long: the first name
    // A file's better table counts, though its plainer one came first.
    const std::string twoTables = file(
        "[{ process = \"player.exe\" },"
        " { process = \"player.exe\", title_contains = \"movie - player\" }]",
        "G");
    ASSERT_TRUE(InstallProfiles({{"a.toml", twoTables}, {"b.toml", titled}}, {}).empty());
    EXPECT_EQ(Press(Play), "key G");
    ASSERT_TRUE(InstallProfiles({{"b.toml", titled}, {"w.toml", both}}, {}).empty());
    EXPECT_EQ(Press(Play), "key D");
    // The user's file, however plain, comes before any shipped file.
    ASSERT_TRUE(InstallProfiles({{"a.toml", plain}}, {{"w.toml", both}}).empty());
    EXPECT_EQ(Press(Play), "key A");
}

// Two sites in one browser: a video's name may hold another site's title text; the
// longer text the title holds decides, counted in characters, whichever file sorts first.
TEST_F(ProfilePress, TheLongerTitleTextWinsBetweenEquals) {
    const auto site = [](const std::string& title, const char* key) {
        return "[program]\nname = \"S\"\nmatch = [{ process = \"chrome.exe\", title_contains = \"" +
               title + "\" }]\n[buttons]\nPlay = \"" + key + "\"\n";
    };
    struct Case {
        const char* tab;
        const char* want;
    } cases[] = {
        {"Netflix trailer - YouTube - Google Chrome", "key Y"},
        {"Netflix - Google Chrome", "key N"},
        {"Meet \xE2\x80\x93 Netflix night - Google Chrome",
         "key N"},  // 7 characters each: the first name
    };
    ASSERT_TRUE(InstallProfiles({}, {{"a-netflix.toml", site("Netflix", "N")},
                                     {"b-meet.toml", site("Meet \xE2\x80\x93 ", "M")},
                                     {"z-youtube.toml", site("- YouTube", "Y")}})
                    .empty());
    for (const Case& c : cases) {
        env.Foreground("chrome.exe", c.tab);
        EXPECT_EQ(Press(Play), c.want) << c.tab;
    }
}

TEST_F(ProfilePress, LettersBeyondAsciiInStringsAreTakenAsWritten) {
    env.Foreground("player.exe", "Caf\xC3\xA9 \xE2\x80\x93 Player");
    const char* const files[] = {
        "[program] # caf\xC3\xA9\nname = 'Caf\xC3\xA9'\n"
        "match = { process = \"player.exe\", title_contains = '\xC3\xA9 \xE2\x80\x93' }\n"
        "[buttons]\nPlay = \"F5\"\n",
        "[program]\nname = \"\xC3\xA9\"\n"
        "match = { process = \"player.exe\", title_contains = \"\xC3\xA9 \xE2\x80\x93\" }\n"
        "[buttons]\nPlay = \"F5\"\n"};
    for (const char* file : files) {
        ASSERT_TRUE(profiles.User("p.toml", file).empty()) << file;
        EXPECT_EQ(Press(Play), "key F5") << file;
    }
}

TEST_F(ProfilePress, OpenIsRefusedWhileElevated) {
    env.Foreground("player.exe");
    ASSERT_TRUE(profiles
                    .User("p.toml", std::string(kHead) +
                                        "[buttons]\nMenu = { open = \"https://example.org\" }\n")
                    .empty());
    Press(Menu);
    ASSERT_EQ(env.shell.calls.size(), 1u);
    EXPECT_EQ(env.shell.calls[0].file, "https://example.org");
    SetProfilesElevated(true);
    Press(Menu);
    EXPECT_EQ(env.shell.calls.size(), 1u);
}

TEST_F(ProfilePress, AProgramAFileDescribesIsBroughtForward) {
    env.settings->AutoSwitchEnabled = 1;
    env.Foreground("unknown.exe");
    const WindowHandle player = env.AddWindow("player.exe", "Player", "PlayerWnd");
    ASSERT_TRUE(profiles.User("p.toml", std::string(kHead) + "[buttons]\nPlay = \"F5\"\n").empty());
    EXPECT_EQ(Press(Play), "key F5");
    EXPECT_EQ(env.desktop.foreground, player);
    EXPECT_TRUE(env.ui.unsupportedShown.empty());
}

// The folder watcher loads on its own thread while presses run: each press sees one set.
TEST_F(ProfilePress, LoadsWhilePressesRunLeaveEachPressWhole) {
    env.Foreground("player.exe");
    const auto file = [](const char* key) {
        return std::string(kHead) + "[buttons]\nPlay = \"" + key + "\"\n";
    };
    const std::vector<ProfileText> f5 = {{"p.toml", file("F5")}}, f6 = {{"p.toml", file("F6")}};
    (void)InstallProfiles(f5, {});
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; !done.load(); ++i) (void)InstallProfiles(i % 2 == 0 ? f6 : f5, {});
    });
    for (int i = 0; i < 200; ++i) {
        const std::string keys = Press(Play);
        ASSERT_TRUE(keys == "key F5" || keys == "key F6") << keys;
    }
    done = true;
    loader.join();
}

// The first process a row recognises its program by.
std::string ProcessOf(const AppProfile& row) {
    for (uint8_t c = 0; c < row.rule.count; ++c) {
        const catalogue::Clause& clause = row.rule.clauses[c];
        for (uint8_t i = 0; i < clause.count; ++i) {
            if (clause.conditions[i].test == catalogue::Test::ProcessIs)
                return clause.conditions[i].text;
        }
    }
    return "";
}

// A row exported and loaded alone sends, for every button it wrote, what the row sends.
TEST(ProfileExport, RowsLoadedBackSendWhatTheRowSends) {
    TheButtonMap().RemoveAllButtons();
    LoadDefaultButtons();
    int exported = 0;
    for (int row = 2; row <= kCatalogueRows; ++row) {
        const AppProfile& profile = CatalogueRow(row);
        const ProfileExport out = ExportProfile(std::to_string(row));
        if (!out.ok || profile.table == nullptr) continue;
        ++exported;
        for (size_t e = 0; e < profile.table->count; ++e) {
            const int32_t b = profile.table->entries[e].button;
            FakeEnv env;
            env.Foreground(ProcessOf(profile));
            env.Receive(b, 1);
            const std::vector<InputEvent> fromRow = env.input.AllEvents();
            ASSERT_EQ(fromRow.empty(), profile.table->entries[e].strokes.count == 0) << row;
            env.input.batches.clear();
            Profiles profiles;
            ASSERT_TRUE(profiles.User(out.fileName, out.text).empty()) << out.text;
            env.Receive(b, 2);
            EXPECT_EQ(env.input.AllEvents(), fromRow) << "row " << row << " button " << b;
        }
    }
    EXPECT_GT(exported, 110);
}

TEST(ProfileExport, SaysWhatItCannotExport) {
    const ProfileExport clicks = ExportProfile("138");
    ASSERT_TRUE(clicks.ok);
    ASSERT_FALSE(clicks.notes.empty());
    EXPECT_EQ(clicks.notes.back(), "Menu: one click; stays with the built-in row");
    const ProfileExport letters = ExportProfile("notepad.exe");
    ASSERT_TRUE(letters.ok);
    EXPECT_EQ(letters.fileName, "itunes.toml");
    EXPECT_NE(letters.text.find("letter entry"), std::string::npos);
    EXPECT_FALSE(ExportProfile("1").ok);  // recognised by its title alone
    EXPECT_FALSE(ExportProfile("156").ok);
    EXPECT_FALSE(ExportProfile("nothing.exe").ok);

    Profiles profiles;
    const std::string mine = std::string(kHead) + "[buttons]\nPlay = \"F5\"\n";
    ASSERT_TRUE(profiles.User("mine.toml", mine).empty());
    const ProfileExport inForce = ExportProfile("PLAYER.exe");
    EXPECT_EQ(inForce.fileName, "mine.toml");
    EXPECT_EQ(inForce.text, mine);
}

}  // namespace

namespace {

const std::string kMine =
    "# my VLC, as I like it\n[program]\nname = \"VLC\"\nmatch = { process = \"vlc.exe\" }\n";

TEST(TeachButton, ChangesOnlyThatButtonAndKeepsEverythingWrittenByHand) {
    const struct {
        const char* what;
        std::string before;
        int32_t button;
        std::string action;
        std::string after;
    } cases[] = {
        {"a line of its own, with its comment",
         kMine + "\n[buttons]\nPlay = \"Space\"   # the space bar\nStop = \"S\" # stop\n", Play,
         "\"Ctrl+P\"",
         kMine + "\n[buttons]\nPlay = \"Ctrl+P\"  # the space bar\nStop = \"S\" # stop\n"},
        {"a quoted key, a # inside the old value",
         kMine + "[buttons]\n\"Next\" = { message = 0x111, class = \"a#b\" }\n", Next, "\"none\"",
         kMine + "[buttons]\n\"Next\" = \"none\"\n"},
        {"a new button after the table's last line, before the next table",
         kMine + "[buttons]\nPlay = \"Space\"\n\n# held longer\n[hold]\nStop = \"Esc\"\n", Stop,
         "{ app_command = \"MEDIA_STOP\" }",
         kMine + "[buttons]\nPlay = \"Space\"\nStop = { app_command = \"MEDIA_STOP\" }\n\n# held "
                 "longer\n[hold]\nStop = \"Esc\"\n"},
        {"no [buttons] table yet, no line break at the end", kMine + "hold_ms = 600", Menu,
         "\"F10\"", kMine + "hold_ms = 600\n\n[buttons]\nMenu = \"F10\"\n"},
        {"Windows line breaks stay",
         "[program]\r\nname = \"VLC\"\r\nmatch = { process = \"vlc.exe\" }\r\n[buttons]\r\nPlay = "
         "\"Space\"\r\n",
         Play, "\"Ctrl+P\"",
         "[program]\r\nname = \"VLC\"\r\nmatch = { process = \"vlc.exe\" }\r\n[buttons]\r\nPlay = "
         "\"Ctrl+P\"\r\n"},
    };
    for (const auto& c : cases) {
        const TaughtText taught = TeachButtonInText({"vlc.toml", c.before}, c.button, c.action);
        EXPECT_TRUE(taught.ok) << c.what << ": " << taught.error;
        EXPECT_EQ(taught.text, c.after) << c.what;
    }
}

TEST(TeachButton, LeavesAFileItCannotChangeSafelyAsItIs) {
    const struct {
        const char* what;
        std::string before;
        std::string action;
        const char* error;
    } cases[] = {
        {"the file has an error", kMine + "[buttons]\nPlya = \"Space\"\n", "\"Ctrl+P\"",
         "user profile vlc.toml:6: unknown button"},
        {"the value runs over several lines",
         kMine + "[buttons]\nPlay = [\n  \"Ctrl+L\",\n  \"Enter\",\n]\n", "\"Ctrl+P\"",
         "add the line yourself: Play = \"Ctrl+P\""},
        {"the buttons as dotted keys", "buttons.Play = \"Space\"\n" + kMine, "\"Ctrl+P\"",
         "add the line yourself"},
        {"an action no file can hold", kMine + "[buttons]\n", "\"Ctrl+Nothing\"",
         "is not one a file can hold"},
    };
    for (const auto& c : cases) {
        const TaughtText taught = TeachButtonInText({"vlc.toml", c.before}, Play, c.action);
        EXPECT_FALSE(taught.ok) << c.what;
        EXPECT_NE(taught.error.find(c.error), std::string::npos) << c.what << ": " << taught.error;
    }
}

}  // namespace
