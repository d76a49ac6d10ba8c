// Where the routing trace goes: the viewers attached to the running program and the
// optional rolling log file. The trace is watched while either is there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

// The log: <local application data>\Orbiscope\Remote\trace.log, at most this size,
// with the file before it kept as trace.old.log.
constexpr int64_t kTraceLogLimitBytes = 1024 * 1024;
// How far it may grow past that while another program keeps it from rolling over.
constexpr int64_t kTraceLogOverrunBytes = 256 * 1024;
// After "-- N": the line that tells of lines the log could not take meanwhile.
extern const char* const kTraceLogDroppedNote;
extern const char* const kTraceLogFolder;   // "Orbiscope\Remote"
extern const char* const kTraceLogName;     // "trace.log"
extern const char* const kTraceLogOldName;  // "trace.old.log"
// "%s" is the folder.
extern const char* const kTraceLogFailedNoticeFormat;

// The pipe the viewers connect to, one per session: "\\.\pipe\OrbiscopeRemoteTrace-1".
// Each line of the trace ends with "\n".
std::string TracePipeName(uint32_t sessionId);
// The pipe server, when another program held the pipe's name before it: the trace is not
// served this session. Said once, in the log when it is on; nobody else is told, as a
// user who never asked for the trace should not hear of it.
void TracePipeTaken();
// Viewers attached at once; one more waits until one of them leaves.
constexpr uint32_t kTraceMaxViewers = 4;
extern const char* const kTracePipeTakenLine;
// The line a viewer gets before its next trace line when lines were dropped for it:
// "#dropped N".
constexpr const char* kTraceDroppedPrefix = "#dropped ";

// The lines waiting for one viewer. Bounded: a viewer that stops reading costs a
// count, never memory, and never holds up the press that made the line. The oldest
// lines go first, so a viewer that reads again sees the latest presses.
class ViewerQueue {
public:
    static constexpr size_t kCapacity = 256;
    explicit ViewerQueue(size_t capacity = kCapacity) : capacity_(capacity) {}
    // False when the queue was full and its oldest line was dropped for this one.
    bool Push(const std::string& line);
    // The next text for the viewer: the drop count first when lines were dropped since
    // the last one (the gap lies just before the lines still queued), then the oldest
    // line. False when there is nothing.
    bool Pop(std::string& out);

private:
    std::mutex lock_;
    std::deque<std::string> lines_;
    size_t capacity_;
    uint64_t dropped_ = 0;
};

// A viewer's reading of the pipe: the bytes as they come, cut into lines. A line longer
// than kMaxLine is cut there and marked, and the rest of it skipped, so a server that
// never ends a line costs the viewer no more than that; control characters arrive
// escaped, so a line cannot steer the viewer's console.
class TraceLineReader {
public:
    static constexpr size_t kMaxLine = 16 * 1024;
    static constexpr const char* kCutMark = " [line cut]";
    explicit TraceLineReader(size_t maxLine = kMaxLine) : maxLine_(maxLine) {}
    // Appends the bytes; every line they complete goes to `line` (without its "\n").
    template <typename Line>
    void Feed(const char* bytes, size_t size, Line&& line) {
        for (size_t i = 0; i < size; ++i) {
            const char c = bytes[i];
            if (c == '\n') {
                if (!skipping_) line(Finish(true));
                skipping_ = false;
                pending_.clear();
            } else if (!skipping_) {
                pending_ += c;
                if (pending_.size() >= maxLine_) {
                    line(Finish(false) + kCutMark);
                    pending_.clear();
                    skipping_ = true;
                }
            }
        }
    }

private:
    // The pending line escaped; at its newline without a Windows line end's "\r".
    std::string Finish(bool atNewline) const;
    size_t maxLine_;
    std::string pending_;
    bool skipping_ = false;
};

// The viewers' side: the pipe server, which reports how many viewers are attached.
class TraceViewers {
public:
    TraceViewers() = default;
    TraceViewers(const TraceViewers&) = delete;
    TraceViewers& operator=(const TraceViewers&) = delete;
    virtual ~TraceViewers() = default;
    // Must not block.
    virtual void Publish(const std::string& line) = 0;
};

// Start-up: the log when asked for (the TraceLog value of the settings key, or "/trace"
// on the command line); a folder that cannot be written leaves it off and says so once
// in a balloon. The trace goes to `viewers` (may be null) while any is attached.
void StartTrace(bool logAsked, TraceViewers* viewers);
// The end of the process: nothing is traced or written after this.
void StopTrace();
// The pipe server, whenever a viewer comes or goes.
void TraceViewerCountChanged(int32_t count);
// A line of its own, not a press's (a profile file that cannot be used): to the viewers
// and the log, when either is there, with its control characters escaped.
void TraceNote(const std::string& line);
bool TraceLogOn();
// The log file's full path ("" before the log was opened).
std::string TraceLogPath();

// Whether the settings key or the command line asks for the log.
bool TraceLogAsked(const std::string& lowerCommandLine);
// Whether the command line alone asks for it ("/trace" among the arguments).
bool CommandLineAsksForTraceLog(const std::string& lowerCommandLine);
// The running program asked by a second copy: the log opens unless it is open already.
void OpenTraceLogOnRequest();
