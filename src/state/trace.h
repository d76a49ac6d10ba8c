// The routing trace: for each received code, which button it matched, what the repeat
// filter decided, which dispatcher step took the press and the actions really taken.
// Every layer that contributes reports a typed fact here; the shell decides where the
// finished records go: as one line of text (viewers, the log file) and to the on-screen
// display, each rendered from the same facts.
//
// When nobody watches, each hook costs one relaxed atomic load and nothing is built.
// A record exists only on a thread inside a traced span: the reader thread for the span
// of a code, the main thread for a timer that finishes an earlier press (TimerTrace);
// hooks elsewhere record nothing.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"
#include "platform/types.h"

// What the repeat filter made of one matched code.
enum class RepeatDecision { MouseModeBypass, NewPress, AfterPause, HeldAccepted, Swallowed };

// What a message meant to the press that sent it.
enum class MessageRole : uint8_t {
    Handler,           // a catalogue row's message: the press's effect on the program
    ButtonNotice,      // the program in front hears of the button; the press goes on
    PluginButton,      // a plug-in window takes the button
    ScreenSaverStart,  // the power button's screen-saver mode
    ScreenSaverClose,  // the wake-up before every press
    BrowserForward,    // the macros that page a browser
    BrowserBack,
};

struct TraceMessageFact {
    bool sent = false;   // sent and waited for; else posted
    std::string target;  // the window's class, "window 0x...", or "no window"
    MessageId message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    bool ok = true;  // posted, or answered in time
    MessageRole role = MessageRole::Handler;
};

// What one entry of a press's record states. Steps (which part of the dispatcher took
// the press) and actions (what it did) share the type; each kind uses the fields named
// beside it. Kinds marked "unlined" tell the display something the line leaves to
// other entries, and add nothing to the line.
enum class TraceKind : uint8_t {
    // Steps
    PluginWindow,        // name: its class; flag: it takes only the power button
    NoSettings,
    MouseMode,
    GlobalButton,        // number: the button
    OwnWindow,
    AutoSwitch,          // name: the program brought forward; number: its row, 0 a plug-in window;
                         // arguments: the profile file that knows it, when one does
    PluginInFront,       // name: its class
    CatalogueRow,        // number: the row; name: the program's file; shownName
    NotHandledByRow,
    NoCatalogueRow,      // name: the program's file; flag: it is this program
    UnsupportedWarning,
    DefaultKey,
    NoDefaultKey,
    Elevated,            // unlined; name: the program in front, which runs as administrator
    Profile,             // name: the file and line that decided, as the line says it;
                         // shownName: the program the file names; number: for an action
                         // that waited for the press (the hold action, or the press
                         // action once the press ended), how long the press had lasted
                         // in ms; -1 for the step that makes a press wait to see whether
                         // it is held; else 0; flag: the hold action
    Note,                // name: what happened, as the line says it (steps and actions that
                         // tell the display nothing)
    // Actions
    Keys,                 // input (point: the cursor, for mouse buttons)
    Message,              // message
    Open,                 // name: the file or address; arguments; flag: opened; number: the
                          // shell's answer when not
    Offline,              // unlined (its box says it); name: the web favourite not opened
    Standby,
    Hibernate,
    ShutDown,
    AdministratorNotice,  // name: the program
    FastStepsEnd,
    CursorTo,             // point
    MouseModeSwitched,    // flag: on
    WarningClosed,        // flag: not to be shown again
    VolumeStep,           // flag: up; number: the step in percent
    VolumeLevel,          // number: the level after the change in percent, -1 unknown
    SoundMuted,
    SoundUnmuted,
    LetterChosen,         // unlined; number: the letter a tap selects, still to be typed
    LetterTyped,          // unlined (its key is in the line); number: the letter
};

struct TraceFact {
    TraceFact() = default;
    explicit TraceFact(TraceKind k, std::string n = {}, int32_t num = 0, bool f = false)
        : kind(k), name(std::move(n)), number(num), flag(f) {}

    TraceKind kind{};
    std::string name;
    // The program's name for the display where the step that decided the press brings
    // one of its own (a profile names its program); empty: made from `name`.
    std::string shownName;
    std::string arguments;
    int32_t number = 0;
    bool flag = false;
    Point point;
    std::vector<InputEvent> input;
    TraceMessageFact message;
};

// What became of what a press did: it reached its target, it went out to a program that
// Windows keeps it from (one running as administrator), it failed, or nothing was done.
enum class TraceOutcome : uint8_t { Nothing, Sent, Blocked, Failed };

namespace trace_detail {
bool Active();  // a record is open on this thread
void Step(TraceFact fact);
void Action(TraceFact fact);
void Keys(const std::vector<InputEvent>& batch);
void Message(MessageRole role, bool sent, WindowHandle window, MessageId message, WParam wParam,
             LParam lParam, bool ok);
void ShowNow();
}  // namespace trace_detail

// Someone watches: a viewer is attached, the log is on or the on-screen display wants
// the records.
inline bool TraceWatched();
inline bool Tracing() { return TraceWatched() && trace_detail::Active(); }
// Whether the lines are wanted (viewers, the log).
void SetTraceWatched(bool watched);
// Whether the finished records are wanted (the on-screen display); independent of the
// lines, so that each side can come and go without turning the other off.
void SetTraceShown(bool shown);

// Receives the finished line of every code (no line end). Installed by the shell; it
// runs on the reader thread and must not block.
using TraceOutput = void (*)(const std::string& line);
void SetTraceOutput(TraceOutput output);

// Receives the lines about something other than a code (the shell's TraceNote, which
// says each once to the log and the viewers); from any thread.
using TraceNoteOutput = void (*)(const std::string& line);
void SetTraceNoteOutput(TraceNoteOutput output);
// A line of its own rather than a code's, while the lines are wanted, from any thread:
// "21:04:05.123 | receiver reopened 1.4 s after resume | receiver", the last field saying
// what spoke (the receiver, the main window's timer). Nothing is kept for later: an event
// nobody watched has passed.
void TraceTimedNote(const std::string& text, const char* source);

struct TraceRecord;
// Receives every finished record while the records are shown, on the reader thread,
// before its line is made; it must not block.
using TraceRecordOutput = void (*)(const TraceRecord& record);
void SetTraceRecordOutput(TraceRecordOutput output);

// The time source of the records: wall-clock for the line's time of day, a steady
// microsecond count for the delay to the last action. Tests install fixed ones.
struct TraceClock {
    std::chrono::system_clock::time_point (*wall)() = nullptr;
    uint64_t (*micros)() = nullptr;
};
void SetTraceClock(const TraceClock& clock);  // {} restores the real clocks

namespace trace_detail {
// Where the trace goes and who watches: the one global state of the trace. The hooks are
// plain functions called from every layer and from the reader and main threads, with no
// context to carry it; the shell sets it up once and tests install their own outlets.
struct Switchboard {
    // The union of the two reasons to build records, kept under the lock so that two
    // switches at once cannot leave it stale; every hook reads it first.
    std::atomic<bool> watched{false};
    std::atomic<bool> linesOn{false};
    std::mutex lock;
    bool linesWanted = false;
    bool recordsShown = false;
    std::atomic<TraceOutput> output{nullptr};
    std::atomic<TraceRecordOutput> recordOutput{nullptr};
    std::atomic<TraceNoteOutput> noteOutput{nullptr};
    // Null: the real clocks.
    std::atomic<std::chrono::system_clock::time_point (*)()> wall{nullptr};
    std::atomic<uint64_t (*)()> micros{nullptr};
};
extern Switchboard g_switchboard;
}  // namespace trace_detail

inline bool TraceWatched() {
    return trace_detail::g_switchboard.watched.load(std::memory_order_relaxed);
}

struct TracePress {
    int32_t button = 0;
    int32_t variant = 0;
    RepeatDecision decision = RepeatDecision::NewPress;
    std::vector<TraceFact> steps;
    std::vector<TraceFact> actions;
};

struct TraceRecord {
    std::chrono::system_clock::time_point when;
    uint64_t startUs = 0;
    std::optional<uint64_t> lastActionUs;
    int32_t values = 0;
    std::vector<TracePress> presses;
    // A TimerTrace's record: one press entry, without a button unless told, for the
    // display alone (the lines are of received codes).
    bool timer = false;
    // Handed to the display already (TraceShowNow), with nothing added since.
    bool shown = false;
    // Taken whole by a remote being learned: matched against nothing.
    bool learning = false;
};

// The outcome of one fact, and of a whole press: Blocked where the press knew its
// program runs as administrator, else Sent if anything reached its target, else Failed
// if something was tried, else Nothing. Notices (the button message to the program in
// front, the screen-saver wake-up, the warnings' and notices' own windows) are no outcome.
TraceOutcome FactOutcome(const TraceFact& fact);
TraceOutcome PressOutcome(const TracePress& press);

// The fact as the line says it; empty for the unlined kinds.
std::string DescribeFact(const TraceFact& fact);

// "21:04:05.123 | Play variant 2: new press, accepted | catalogue row 125 notepad.exe |
// post to Notepad: message 0xC0DE wParam 6 lParam 0; key Space | last action after 0.412 ms"
// Class names, titles and process names come from other programs, so every line is
// escaped (EscapeTraceText): no text can end a log line early, forge the next one, reach
// a viewer's console as an escape sequence or reorder what the line shows.
std::string FormatTraceRecord(const TraceRecord& record);
// The trace's escapes, each unambiguous: "\\" for a backslash; "\x1b" for a byte
// that is a C0 control, DEL or not part of well-formed UTF-8; "\u0085" for a C1 control
// or a bidirectional formatting character. Everything else passes as it is, so a line
// is always well-formed UTF-8.
std::string EscapeTraceText(const std::string& text);
// The same without the backslash's: for text escaped once already (a line the viewer
// reads), which it leaves as it is.
std::string EscapeControlCharacters(const std::string& text);
// A title, class or process name as the ANSI calls read it (and as the catalogue matches
// it), in the UTF-8 the trace keeps: a line never mixes two encodings.
std::string TraceTextFromAnsi(const std::string& ansi);

// One received code, from its end mark to its last action: opens the record when
// someone watches and hands its line to the output when it goes out of scope.
class CodeTrace {
public:
    explicit CodeTrace(int32_t valueCount);
    ~CodeTrace();
    CodeTrace(const CodeTrace&) = delete;
    CodeTrace& operator=(const CodeTrace&) = delete;

    // A button the code matched and the repeat filter's decision on it.
    void Match(int32_t button, int32_t variant, RepeatDecision decision) {
        if (record_) MatchSlow(button, variant, decision);
    }
    // The code went to a remote being learned.
    void Learning() {
        if (record_) record_->learning = true;
    }

private:
    void MatchSlow(int32_t button, int32_t variant, RepeatDecision decision);
    std::optional<TraceRecord> record_;
    TraceRecord* outer_ = nullptr;
};

// A main-window timer that finishes what earlier presses began (the letter entry's
// commit, a press that waited to see whether it was held), or an earlier press that the
// next code finishes inside that code's span: its facts go to the display when someone
// shows the records; it makes no line of its own (inside a code's span, its actions join
// that code's line).
class TimerTrace {
public:
    TimerTrace();
    ~TimerTrace();
    TimerTrace(const TimerTrace&) = delete;
    TimerTrace& operator=(const TimerTrace&) = delete;

private:
    std::optional<TraceRecord> record_;
    TraceRecord* outer_ = nullptr;
};

namespace trace_detail {
// A fact, or words that tell the line something and the display nothing.
inline TraceFact AsFact(TraceFact fact) { return fact; }
inline TraceFact AsFact(std::string words) { return TraceFact(TraceKind::Note, std::move(words)); }
}  // namespace trace_detail

// The hooks. `make` builds the fact (or a Note's words) and runs only while a record is
// open.
template <typename Make>
inline void TraceStep(Make&& make) {
    if (Tracing()) trace_detail::Step(trace_detail::AsFact(std::forward<Make>(make)()));
}
inline void TraceStep(TraceKind kind) {
    if (Tracing()) trace_detail::Step(TraceFact(kind));
}
template <typename Make>
inline void TraceAction(Make&& make) {
    if (Tracing()) trace_detail::Action(trace_detail::AsFact(std::forward<Make>(make)()));
}
inline void TraceAction(TraceKind kind) {
    if (Tracing()) trace_detail::Action(TraceFact(kind));
}
// Keys by name with their modifiers; mouse buttons with the cursor's position.
inline void TraceInput(const std::vector<InputEvent>& batch) {
    if (Tracing()) trace_detail::Keys(batch);
}
// A posted (sent = false) or sent message, with its target's class.
inline void TraceMessage(MessageRole role, bool sent, WindowHandle window, MessageId message,
                         WParam wParam, LParam lParam, bool ok) {
    if (Tracing()) trace_detail::Message(role, sent, window, message, wParam, lParam, ok);
}
// A TimerTrace's record: the button whose earlier press it finishes (its one press entry
// has none until told).
void TraceTimerButton(int32_t button);
// Hands the record so far to the display at once: the press is about to block (the
// computer goes to sleep), and its panel belongs before that, not after.
inline void TraceShowNow() {
    if (Tracing()) trace_detail::ShowNow();
}

// "key Ctrl+Shift+A", "key Play/Pause", "key Win" (KeyName), "left click at (7, 9)":
// one batch of keyboard and mouse events.
std::string DescribeInput(const std::vector<InputEvent>& batch, Point cursor);
// The keys alone, for people: "Ctrl+Shift+A", "Play/Pause"; empty without keys.
std::string InputKeyNames(const std::vector<InputEvent>& batch);
