#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/pipe_peer.h"
#include "platform/vk.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "state/key_names.h"
#include "state/notices.h"
#include "state/settings_store.h"
#include "state/trace.h"
#include "ui/trace_output.h"

namespace {

std::vector<std::string> g_lines;
void Capture(const std::string& line) { g_lines.push_back(line); }

std::vector<std::string> g_notices;
void CaptureNotice(const std::string& text) { g_notices.push_back(text); }

uint64_t g_micros = 0;
uint64_t StepMicros() { return g_micros += 500; }

std::string Hex(uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%04X", v);
    return b;
}

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheReceiver().valueCount = 0;
        front = env.Foreground("unknown.exe", "Some Editor");
        env.platform.files = &files;
        env.Install();
        g_lines.clear();
        g_notices.clear();
        SetNoticeSink(&CaptureNotice);
        SetTraceClock(TraceClock{nullptr, &StepMicros});
        SetTraceOutput(&Capture);
        SetTraceWatched(true);
    }
    void TearDown() override {
        StopTrace();
        SetTraceClock(TraceClock{});
    }

    void Receive(int32_t id, int variant) { env.Receive(id, variant); }

    WindowHandle AddWindow(const std::string& exe, const std::string& title,
                           const std::string& className) {
        return env.AddWindow(exe, title, className);
    }

    // The line without its time of day and its final timing.
    static std::string Route(const std::string& line) {
        const size_t first = line.find(" | ");
        const size_t last = line.rfind(" | ");
        if (first == std::string::npos || last == first) return "(malformed) " + line;
        return line.substr(first + 3, last - first - 3);
    }

    FakeEnv env;
    FakeFiles files;
    WindowHandle front = 0;
};

// One press for each dispatcher step: the route the trace gives it.
TEST_F(TraceTest, OnePressPerDispatcherStep) {
    const std::string bm = Hex(ButtonMessage());
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int32_t button;
        std::string route;
    };
    const Case cases[] = {
        {"plug-in window by class", [&] { AddWindow("girder.exe", "", kGirderClass); }, Play,
         "Play variant 1: new press, accepted | plug-in window Orbiscope.Girder | "
         "post to Orbiscope.Girder: message 0x0500 wParam 6 lParam 0"},
        {"mouse mode",
         [&] {
             env.settings->MouseModeEnabled = 1;
             env.desktop.cursor = Point{300, 200};
         },
         Up, "Up variant 1: mouse-mode arrow, not filtered | mouse mode | cursor to (300, 198)"},
        {"mouse mode click",
         [&] {
             env.settings->MouseModeEnabled = 1;
             env.desktop.cursor = Point{500, 400};
         },
         Exit, "Exit variant 1: new press, accepted | mouse mode | right click at (500, 400)"},
        {"global button", [] {}, VolumeUp,
         "VolumeUp variant 1: new press, accepted | global button VolumeUp | volume up 8%; volume "
         "level unknown"},
        {"macro button", [] {}, MacroButton1,
         "MacroButton1 variant 1: new press, accepted | global button MacroButton1 | key "
         "Alt+Enter"},
        {"auto-switch", [&] { AddWindow("notepad.exe", "Untitled - Notepad", "Notepad"); }, Play,
         "Play variant 1: new press, accepted | auto-switch to notepad.exe (row 125), then "
         "catalogue row 125 notepad.exe | post to Notepad: message " +
             bm + " wParam 6 lParam 0; key Space"},
        {"plug-in window in front",
         [&] { env.Foreground("plugin.exe", "Plug-in", "Orbiscope.WMPlugin"); }, Play,
         "Play variant 1: new press, accepted | plug-in window in front (Orbiscope.WMPlugin) | "
         "post to Orbiscope.WMPlugin: message " +
             bm + " wParam 6 lParam 0"},
        {"catalogue row", [&] { env.Foreground("notepad.exe", "Notepad", "Notepad"); }, Rewind,
         "Rewind variant 1: new press, accepted | catalogue row 125 notepad.exe | post to "
         "Notepad: message " +
             bm + " wParam 12 lParam 0; key Ctrl+Alt+Left"},
        {"unsupported-program warning", [&] { env.settings->ShowUnsupportedDlg = 1; }, Play,
         "Play variant 1: new press, accepted | no catalogue row for unknown.exe, then "
         "unsupported-program warning, then default key | post to AppClass: message " +
             bm + " wParam 6 lParam 0; unsupported-program warning closed; key Play/Pause"},
        {"default key", [&] { env.settings->ShowUnsupportedDlg = 0; }, Exit,
         "Exit variant 1: new press, accepted | no catalogue row for unknown.exe, then default "
         "key | post to AppClass: message " +
             bm + " wParam 20 lParam 0; key Alt+F4"},
        {"no default key", [&] { env.settings->ShowUnsupportedDlg = 0; }, Record,
         "Record variant 1: new press, accepted | no catalogue row for unknown.exe, then no "
         "default key | post to AppClass: message " +
             bm + " wParam 9 lParam 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        env.desktop.foreground = front;
        env.settings = std::make_unique<RemoteSettings>();
        env.settings->ShowUnsupportedDlg = 0;
        SetCurrentSettings(env.settings.get());
        TheButtonTiming() = ButtonTiming{};
        c.arrange();
        g_lines.clear();
        Receive(c.button, 1);
        ASSERT_EQ(g_lines.size(), 1u);
        EXPECT_EQ(Route(g_lines[0]), c.route);
        // The plug-in windows of one case must not take the next case's press.
        for (const char* cls : {kGirderClass, "Orbiscope.WMPlugin", "Notepad"}) {
            while (const WindowHandle w = env.desktop.FindTopLevelByClass(cls))
                env.desktop.Remove(w);
        }
    }
}

TEST_F(TraceTest, UnmatchedAndSwallowedCodesAndTheTimeToTheLastAction) {
    env.settings->ShowUnsupportedDlg = 0;
    for (int i = 0; i < 30; ++i) AppendValue(3);
    OnCodeComplete();
    Receive(Play, 1);
    Receive(Play, 1);  // the same variant at once: the button held
    ASSERT_EQ(g_lines.size(), 3u);
    EXPECT_NE(g_lines[0].find(" | no match (30 values) | no action"), std::string::npos)
        << g_lines[0];
    EXPECT_NE(g_lines[2].find(" | Play variant 1: held, swallowed | no action"), std::string::npos)
        << g_lines[2];
    // The clock moves 0.5 ms per reading: the start, then two actions (post, key).
    const std::string tail = " | last action after 1.000 ms";
    EXPECT_EQ(g_lines[1].substr(g_lines[1].size() - tail.size()), tail) << g_lines[1];
}

TEST_F(TraceTest, NothingIsBuiltWhileNobodyWatches) {
    SetTraceWatched(false);
    env.settings->ShowUnsupportedDlg = 0;
    const uint64_t before = g_micros;
    Receive(Play, 1);
    Receive(Play, 2);
    EXPECT_TRUE(g_lines.empty());
    EXPECT_EQ(g_micros, before);  // not even the clock was read
    EXPECT_EQ(env.input.batches.size(), 2u);
}

// Other programs name the windows and processes in a line: their control characters
// must neither split the line, nor reach a console as escape sequences, nor reorder what
// it shows; and an escape in the line must never be text that looked like one.
TEST(TraceEscaping, EveryEscapeIsUnambiguousAndTheLineWellFormed) {
    const struct {
        std::string in, traced, viewed;  // EscapeTraceText, EscapeControlCharacters
    } cases[] = {
        {"Notepad", "Notepad", "Notepad"},
        {"a\r\n12:00:00.000 | forged", "a\\x0d\\x0a12:00:00.000 | forged",
         "a\\x0d\\x0a12:00:00.000 | forged"},
        {"\x1b[2J\x1b]0;title\x07", "\\x1b[2J\\x1b]0;title\\x07", "\\x1b[2J\\x1b]0;title\\x07"},
        {std::string("nul\0tab\tdel\x7f", 12), "nul\\x00tab\\x09del\\x7f",
         "nul\\x00tab\\x09del\\x7f"},
        // A backslash in the text, and text that reads like an escape.
        {"C:\\Program Files\\caf\xc3\xa9.exe ~", "C:\\\\Program Files\\\\caf\xc3\xa9.exe ~",
         "C:\\Program Files\\caf\xc3\xa9.exe ~"},
        {"\\x1b", "\\\\x1b", "\\x1b"},
        // C1 controls as characters (U+009B is a console's CSI) and as stray bytes.
        {"a\xc2\x9b[2Jb\xc2\x85", "a\\u009b[2Jb\\u0085", "a\\u009b[2Jb\\u0085"},
        {"\x9b[2J\x85", "\\x9b[2J\\x85", "\\x9b[2J\\x85"},
        {"\xc2\xa0\xc2\x7f", "\xc2\xa0\\xc2\\x7f", "\xc2\xa0\\xc2\\x7f"},
        // The bidirectional controls that reorder a line; other formatting stays.
        {"evil\xe2\x80\xaetxt.exe", "evil\\u202etxt.exe", "evil\\u202etxt.exe"},
        {"\xe2\x80\x8e\xe2\x80\x8f\xe2\x80\xaa\xe2\x81\xa6\xe2\x81\xa9\xd8\x9c",
         "\\u200e\\u200f\\u202a\\u2066\\u2069\\u061c",
         "\\u200e\\u200f\\u202a\\u2066\\u2069\\u061c"},
        {"\xe2\x80\x8d\xe2\x81\xaa", "\xe2\x80\x8d\xe2\x81\xaa", "\xe2\x80\x8d\xe2\x81\xaa"},
        // Not well-formed: overlong, surrogate, beyond U+10FFFF, cut off at the end.
        {"\xc0\xaf\xed\xa0\x80", "\\xc0\\xaf\\xed\\xa0\\x80", "\\xc0\\xaf\\xed\\xa0\\x80"},
        {"\xf4\x90\x80\x80 \xf0\x9f\x8e\xb5 \xe2\x80",
         "\\xf4\\x90\\x80\\x80 \xf0\x9f\x8e\xb5 \\xe2\\x80",
         "\\xf4\\x90\\x80\\x80 \xf0\x9f\x8e\xb5 \\xe2\\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeTraceText(c.in), c.traced) << c.traced;
        EXPECT_EQ(EscapeControlCharacters(c.in), c.viewed) << c.viewed;
        // The viewer leaves a line the program escaped as it was.
        EXPECT_EQ(EscapeControlCharacters(c.traced), c.traced) << c.traced;
    }
}

TEST_F(TraceTest, TheAdministratorNoticeIsTracedWhenItIsGiven) {
    env.settings->ShowUnsupportedDlg = 0;
    env.settings->AutoSwitchEnabled = 0;
    const WindowHandle vlc = env.Foreground("vlc.exe", "VLC media player");
    env.processes.elevation[env.desktop.Find(vlc)->pid] = Elevation::Elevated;
    Receive(Play, 1);
    Receive(Stop, 1);  // told once per program and session
    ASSERT_EQ(g_lines.size(), 2u);
    EXPECT_NE(g_lines[0].find("administrator notice for vlc.exe"), std::string::npos) << g_lines[0];
    EXPECT_EQ(g_lines[1].find("administrator notice"), std::string::npos) << g_lines[1];
}

TEST_F(TraceTest, AWindowClassCannotForgeALogLine) {
    env.settings->ShowUnsupportedDlg = 0;
    env.Foreground("evil.exe", "Evil", "Evil\r\n00:00:00.000 | forged\x1b[2J");
    Receive(Exit, 1);
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0].find_first_of("\r\n\x1b"), std::string::npos) << g_lines[0];
    EXPECT_NE(g_lines[0].find("post to Evil\\x0d\\x0a00:00:00.000 | forged\\x1b[2J:"),
              std::string::npos)
        << g_lines[0];
}

// Other programs' names come through the ANSI calls the catalogue matches on; the line
// holds them in UTF-8 like the rest of its text (here Windows-1252, the fake's code page).
TEST_F(TraceTest, WindowAndProcessTextReachTheLineAsUtf8) {
    env.settings->ShowUnsupportedDlg = 0;
    env.Foreground("Caf\xe9\x80.exe", "Menu", "\xc9tude\x9b");
    Receive(Exit, 1);
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_NE(g_lines[0].find("no catalogue row for caf\xc3\xa9\xe2\x82\xac.exe"),
              std::string::npos)
        << g_lines[0];
    EXPECT_NE(g_lines[0].find("post to \xc3\x89tude\xe2\x80\xba:"), std::string::npos)
        << g_lines[0];
}

TEST(TraceDescribeInput, KeysWithModifiersAndClicks) {
    auto k = [](uint16_t key, bool up = false) {
        return InputEvent{InputEvent::Keyboard, key, 0, up ? kKeyUp : 0u};
    };
    auto m = [](uint32_t flags) { return InputEvent{InputEvent::Mouse, 0, 0, flags}; };
    struct Case {
        std::vector<InputEvent> batch;
        const char* text;
    };
    const Case cases[] = {
        {{k(vk::CONTROL), k(vk::SHIFT), k('A'), k('A', true), k(vk::SHIFT, true),
          k(vk::CONTROL, true)},
         "key Ctrl+Shift+A"},
        {{k(vk::MENU), k(vk::LWIN), k(vk::RETURN), k(vk::RETURN, true), k(vk::LWIN, true),
          k(vk::MENU, true)},
         "key Alt+Win+Enter"},
        {{k(vk::LWIN), k(vk::LWIN, true)}, "key Win"},
        {{k(vk::CONTROL)}, "key Ctrl down"},
        {{k('L')}, "key L down"},
        {{k(vk::CONTROL, true)}, "key Ctrl up"},
        {{k(vk::MEDIA_PLAY_PAUSE), k(vk::MEDIA_PLAY_PAUSE, true), k(0xE7), k(0xE7, true)},
         "key Play/Pause; key key 0x00E7"},
        {{m(kMouseLeftDown), m(kMouseLeftUp)}, "left click at (7, 9)"},
        {{m(kMouseRightDown)}, "right down at (7, 9)"},
    };
    for (const Case& c : cases) EXPECT_EQ(DescribeInput(c.batch, Point{7, 9}), c.text);
}

// The trace and the help name keys from one table, each in its own spelling.
TEST(KeyNames, TheTraceIsShortTheHelpSpellsOut) {
    const struct {
        uint16_t key;
        const char* trace;
        const char* help;
    } cases[] = {
        {vk::NUMPAD0, "Num0", "Num 0"}, {vk::PRIOR, "PageUp", "Page Up"},
        {vk::UP, "Up", "Up arrow"},     {vk::F1 + 11, "F12", "F12"},
        {0x5C, "RightWin", "key 0x5C"}, {0xA6, "key 0x00A6", "Browser Back key"},
        {vk::OEM_5, "\\", "\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyName(c.key), c.trace);
        EXPECT_EQ(HelpKeyName(c.key), c.help);
    }
}

TEST(TraceViewerQueue, DropsTheOldestWhenFullAndTellsTheCountFirst) {
    ViewerQueue q(2);
    for (const char* line : {"a", "b", "c", "d", "e"}) q.Push(line);
    std::string out;
    std::vector<std::string> got;
    while (q.Pop(out)) got.push_back(out);
    EXPECT_EQ(got, (std::vector<std::string>{"#dropped 3", "d", "e"}));
    EXPECT_TRUE(q.Push("f"));
    ASSERT_TRUE(q.Pop(out));
    EXPECT_EQ(out, "f");  // the count was told once
}

// Whom the virtual receiver and the trace viewer read from: only their own user at their
// own integrity level or above; whatever the system cannot tell is refused.
TEST(PipeServerCheck, OnlyTheSameUserAtTheSameLevelOrAboveIsRead) {
    const std::string me = "S-1-5-21-1-2-3-1001", other = "S-1-5-21-1-2-3-1002";
    const PeerIdentity self{me, 0x2000};
    const struct {
        std::optional<PeerIdentity> server;
        PipeServerVerdict verdict;
    } cases[] = {
        {PeerIdentity{me, 0x2000}, PipeServerVerdict::Trusted},
        {PeerIdentity{me, 0x3000}, PipeServerVerdict::Trusted},
        {PeerIdentity{me, 0x1000}, PipeServerVerdict::LowerIntegrity},
        {PeerIdentity{other, 0x3000}, PipeServerVerdict::AnotherUser},
        {PeerIdentity{"S-1-5-18", 0x4000}, PipeServerVerdict::AnotherUser},
        {PeerIdentity{me, std::nullopt}, PipeServerVerdict::Unknown},
        {PeerIdentity{"", 0x2000}, PipeServerVerdict::Unknown},
        {std::nullopt, PipeServerVerdict::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JudgePipeServer(c.server, self), c.verdict) << static_cast<int>(c.verdict);
    EXPECT_EQ(JudgePipeServer(PeerIdentity{me, 0x2000}, std::nullopt), PipeServerVerdict::Unknown);
    EXPECT_EQ(JudgePipeServer(PeerIdentity{me, 0x2000}, PeerIdentity{me, std::nullopt}),
              PipeServerVerdict::Unknown);
}

// The viewer's reading: lines split across reads, a line that never ends cut at the
// limit, control characters escaped.
TEST(TraceLineReader, SplitsCutsAndEscapes) {
    TraceLineReader reader(8);
    std::vector<std::string> got;
    auto take = [&](const std::string& line) { got.push_back(line); };
    for (const char* chunk :
         {"ab", "c\nde\r\n", "0123456789abcdef", "ghi", "\nx\x1b[2Jy\n", "tail"})
        reader.Feed(chunk, std::strlen(chunk), take);
    EXPECT_EQ(got, (std::vector<std::string>{"abc", "de", "01234567 [line cut]", "x\\x1b[2Jy"}));
}

TEST_F(TraceTest, LogRollsOverAtItsLimitKeepingOneOlderFile) {
    SetTraceWatched(false);
    const std::string folder = files.appData + "\\Orbiscope\\Remote";
    const std::string log = folder + "\\trace.log", old = folder + "\\trace.old.log";
    files.folders.insert(folder);
    files.files[old] = "oldest";
    files.files[log] = std::string(kTraceLogLimitBytes - 10, 'x');
    env.settings->ShowUnsupportedDlg = 0;
    StartTrace(true, nullptr);
    ASSERT_TRUE(TraceLogOn());
    EXPECT_TRUE(TraceWatched());
    EXPECT_EQ(TraceLogPath(), log);
    Receive(Play, 1);
    EXPECT_EQ(files.files[old].size(), static_cast<size_t>(kTraceLogLimitBytes - 10));
    EXPECT_NE(files.files[log].find("Play variant 1: new press, accepted"), std::string::npos);
    EXPECT_EQ(files.files[log].substr(files.files[log].size() - 2), "\r\n");
    Receive(Stop, 1);
    EXPECT_NE(files.files[log].find("Stop variant 1"), std::string::npos);
    EXPECT_EQ(files.files[old].size(), static_cast<size_t>(kTraceLogLimitBytes - 10));
    EXPECT_TRUE(g_notices.empty());
}

// A tool following the log without sharing deletion keeps it from rolling over: the log
// grows on (up to its overrun, then counts what it loses), stays on without a balloon, and
// rolls over at the first line after the tool let go. One handle serves all the lines.
TEST_F(TraceTest, LogHeldByAnotherProgramRollsOverOnceReleased) {
    SetTraceWatched(false);
    env.settings->ShowUnsupportedDlg = 0;
    const std::string folder = files.appData + "\\Orbiscope\\Remote";
    const std::string log = folder + "\\trace.log", old = folder + "\\trace.old.log";
    files.folders.insert(folder);
    files.files[log] = std::string(kTraceLogLimitBytes - 10, 'x');
    files.heldWithoutDeleteSharing.insert(log);
    StartTrace(true, nullptr);
    Receive(Play, 1);
    Receive(Stop, 1);
    EXPECT_TRUE(TraceLogOn());
    EXPECT_EQ(files.files.count(old), 0u);
    EXPECT_NE(files.files[log].find("Stop variant 1"), std::string::npos);
    EXPECT_EQ(files.opens, 1);

    files.files[log].append(kTraceLogOverrunBytes, 'y');  // grown to its overrun meanwhile
    Receive(Play, 2);
    EXPECT_EQ(files.files[log].find("Play variant 2"), std::string::npos);

    files.heldWithoutDeleteSharing.clear();
    Receive(Stop, 2);
    EXPECT_TRUE(TraceLogOn());
    EXPECT_TRUE(g_notices.empty());
    EXPECT_NE(files.files[old].find("Stop variant 1"), std::string::npos);
    EXPECT_EQ(files.files[log].rfind("-- 1 lines not logged", 0), 0u) << files.files[log];
    EXPECT_NE(files.files[log].find("Stop variant 2"), std::string::npos);
    EXPECT_EQ(files.opens, 2);
    EXPECT_EQ(files.openFiles, 1);
}

// A program that holds the log so that it cannot even be opened keeps it waiting, not off.
TEST_F(TraceTest, LogHeldExclusivelyIsOpenedOnceReleased) {
    SetTraceWatched(false);
    env.settings->ShowUnsupportedDlg = 0;
    const std::string log = files.appData + "\\Orbiscope\\Remote\\trace.log";
    files.heldExclusively.insert(log);
    StartTrace(true, nullptr);
    Receive(Play, 1);
    EXPECT_TRUE(TraceLogOn());
    EXPECT_TRUE(g_notices.empty());
    EXPECT_EQ(files.files.count(log), 0u);
    files.heldExclusively.clear();
    Receive(Stop, 1);
    EXPECT_EQ(files.files[log].rfind("-- 1 lines not logged", 0), 0u) << files.files[log];
    EXPECT_NE(files.files[log].find("Stop variant 1"), std::string::npos);
}

// Deleted by another program while the log holds it: the lines would go on into a file
// nobody can open, and it could never roll over. The log starts a new file instead, and
// a note said before the log opened is in it.
TEST_F(TraceTest, LogDeletedWhileHeldStartsANewFile) {
    SetTraceWatched(false);
    env.settings->ShowUnsupportedDlg = 0;
    TraceNote("-- a note from start-up --");
    StartTrace(true, nullptr);
    const std::string log = TraceLogPath();
    Receive(Play, 1);
    EXPECT_EQ(files.files[log].rfind("-- a note from start-up --\r\n", 0), 0u);
    files.DeleteUnderHandles(log);
    Receive(Stop, 1);
    ASSERT_EQ(files.files.count(log), 1u);
    EXPECT_NE(files.files[log].find("Stop variant 1"), std::string::npos);
    EXPECT_EQ(files.files[log].find("Play variant 1"), std::string::npos);
    EXPECT_EQ(files.opens, 2);
    EXPECT_EQ(files.openFiles, 1);
    EXPECT_TRUE(TraceLogOn());
    EXPECT_TRUE(g_notices.empty());
}

// A line of the receiver's or a timer's own reaches the log as the session's notes do,
// escaped, but only while someone watches: an event nobody saw is not kept for later.
TEST_F(TraceTest, TimedNotesReachTheLogOnlyWhileWatched) {
    SetTraceWatched(false);
    StartTrace(false, nullptr);
    TraceTimedNote("receiver reopened 0.5 s after resume", "receiver");
    OpenTraceLogOnRequest();
    TraceTimedNote("C:\\x let go", "timer");
    const std::string text = files.files[TraceLogPath()];
    EXPECT_EQ(text.find("after resume"), std::string::npos) << text;
    EXPECT_NE(text.find(" | C:\\\\x let go | timer\r\n"), std::string::npos) << text;
}

// Elevated, the log would follow a link the user's unelevated programs can plant in its
// folder. It stays off, without a balloon; the first viewer to attach is told, once.
TEST_F(TraceTest, LogStaysOffWhileElevatedAndTheViewersAreToldOnce) {
    struct Viewers : TraceViewers {
        void Publish(const std::string& line) override { lines.push_back(line); }
        std::vector<std::string> lines;
    } viewers;
    SetTraceWatched(false);
    files.elevated = true;
    StartTrace(true, &viewers);
    OpenTraceLogOnRequest();
    EXPECT_FALSE(TraceLogOn());
    EXPECT_TRUE(files.folders.empty());
    EXPECT_EQ(files.opens, 0);
    EXPECT_TRUE(g_notices.empty());
    TraceViewerCountChanged(1);
    TraceViewerCountChanged(2);
    EXPECT_EQ(viewers.lines, std::vector<std::string>{kTraceLogElevatedLine});
}

TEST_F(TraceTest, UnwritableFolderTurnsTheLogOffWithOneBalloon) {
    SetTraceWatched(false);
    env.settings->ShowUnsupportedDlg = 0;
    files.unwritable.push_back(files.appData);
    StartTrace(true, nullptr);
    EXPECT_FALSE(TraceLogOn());
    EXPECT_FALSE(TraceWatched());
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_NE(g_notices[0].find(files.appData + "\\Orbiscope\\Remote"), std::string::npos);
    Receive(Play, 1);
    EXPECT_EQ(env.input.batches.size(), 1u);

    // Writable at start, then no longer: off after the first failed write, told once.
    files.unwritable.clear();
    g_notices.clear();
    StartTrace(true, nullptr);
    ASSERT_TRUE(TraceLogOn());
    files.unwritable.push_back(files.appData);
    Receive(Play, 2);
    Receive(Play, 1);
    EXPECT_FALSE(TraceLogOn());
    EXPECT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(env.input.batches.size(), 3u);
}

TEST_F(TraceTest, ASecondCopysRequestOpensTheLogOfTheRunningOneOnce) {
    SetTraceWatched(false);
    env.settings->ShowUnsupportedDlg = 0;
    StartTrace(false, nullptr);
    EXPECT_FALSE(TraceLogOn());
    OpenTraceLogOnRequest();
    ASSERT_TRUE(TraceLogOn());
    Receive(Play, 1);
    OpenTraceLogOnRequest();  // already open: the file goes on
    Receive(Stop, 1);
    const std::string log = TraceLogPath();
    EXPECT_NE(files.files[log].find("Play variant 1"), std::string::npos);
    EXPECT_NE(files.files[log].find("Stop variant 1"), std::string::npos);
}

TEST_F(TraceTest, LogIsAskedForByTheSettingsKeyOrTheCommandLine) {
    EXPECT_FALSE(TraceLogAsked("\"c:\\orbiscope\\orbiscoperemote.exe\""));
    EXPECT_FALSE(TraceLogAsked("c:/trace/orbiscoperemote.exe /s"));
    EXPECT_TRUE(TraceLogAsked("orbiscoperemote.exe /trace"));
    ASSERT_TRUE(WriteDwordValue(OpenUserSettingsKey().get(), "TraceLog", 1));
    EXPECT_TRUE(TraceLogAsked("orbiscoperemote.exe"));
}

}  // namespace
