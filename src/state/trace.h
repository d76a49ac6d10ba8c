// The routing trace: for each received code, which button it matched, what the repeat
// filter decided, which dispatcher step took the press and the actions really taken,
// as one line of text. Every layer that contributes reports here; the shell decides
// where the lines go (viewers, the log file) and whether anyone watches.
//
// When nobody watches, each hook costs one relaxed atomic load and nothing is built.
// A record exists only on the thread processing a code (the reader thread), for the
// span of that code; hooks on other threads (a main-thread timer) record nothing.
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

namespace trace_detail {
bool Active();  // a record is open on this thread
void Step(std::string text);
void Action(std::string text);
void Keys(const std::vector<InputEvent>& batch);
void Message(bool sent, WindowHandle window, MessageId message, WParam wParam, LParam lParam,
             bool ok);
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
    std::vector<std::string> steps;
    std::vector<std::string> actions;
};

struct TraceRecord {
    std::chrono::system_clock::time_point when;
    uint64_t startUs = 0;
    std::optional<uint64_t> lastActionUs;
    int32_t values = 0;
    std::vector<TracePress> presses;
};

// "21:04:05.123 | Play variant 2: new press, accepted | catalogue row 125 notepad.exe |
// post to Notepad: message 0xC0DE wParam 6 lParam 0; key Space | last action after 0.412 ms"
// Class names, titles and process names come from other programs: their control
// characters (C0 and DEL) are written as "\x1b", so no text can end a log line early,
// forge the next one or reach a viewer's console as an escape sequence.
std::string FormatTraceRecord(const TraceRecord& record);
std::string EscapeControlCharacters(const std::string& text);

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

private:
    void MatchSlow(int32_t button, int32_t variant, RepeatDecision decision);
    std::optional<TraceRecord> record_;
    TraceRecord* outer_ = nullptr;
};

// The hooks. `make` builds the text and runs only while a record is open.
template <typename Make>
inline void TraceStep(Make&& make) {
    if (Tracing()) trace_detail::Step(std::forward<Make>(make)());
}
template <typename Make>
inline void TraceAction(Make&& make) {
    if (Tracing()) trace_detail::Action(std::forward<Make>(make)());
}
// Keys by name with their modifiers; mouse buttons with the cursor's position.
inline void TraceInput(const std::vector<InputEvent>& batch) {
    if (Tracing()) trace_detail::Keys(batch);
}
// A posted (sent = false) or sent message, with its target's class.
inline void TraceMessage(bool sent, WindowHandle window, MessageId message, WParam wParam,
                         LParam lParam, bool ok) {
    if (Tracing()) trace_detail::Message(sent, window, message, wParam, lParam, ok);
}

// A line of its own rather than a code's, for the viewers and the log, from any thread:
// "21:04:05.123 | receiver reopened 1.4 s after resume | receiver", the last field saying
// what spoke (the receiver, the main window's timer).
void TraceNote(const std::string& text, const char* source);

// "Ctrl+Shift+A", "Play/Pause", "Win" (KeyName); one batch of keyboard and mouse events.
std::string DescribeInput(const std::vector<InputEvent>& batch, Point cursor);
