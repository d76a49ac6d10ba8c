#include "ui/trace_output.h"

#include <atomic>
#include <memory>

#include "platform/ports.h"
#include "state/notices.h"
#include "state/settings_store.h"
#include "state/trace.h"
#include "ui/shell.h"

const char* const kTraceLogFolder = "Orbiscope\\Remote";
const char* const kTraceLogName = "trace.log";
const char* const kTraceLogOldName = "trace.old.log";
const char* const kTraceLogFailedNoticeFormat =
    "The routing trace cannot be written in %s. The trace log is off.";
const char* const kTraceLogDroppedNote = " lines not logged: another program held the trace log --";
const char* const kTracePipeTakenLine =
    "-- another program holds the name of the trace's pipe: no viewer can attach this "
    "session --";

std::string TracePipeName(uint32_t sessionId) {
    return "\\\\.\\pipe\\OrbiscopeRemoteTrace-" + std::to_string(sessionId);
}

std::string TraceLineReader::Finish(bool atNewline) const {
    const bool cr = atNewline && !pending_.empty() && pending_.back() == '\r';
    return EscapeControlCharacters(cr ? pending_.substr(0, pending_.size() - 1) : pending_);
}

bool ViewerQueue::Push(const std::string& line) {
    std::lock_guard<std::mutex> hold(lock_);
    const bool full = lines_.size() >= capacity_;
    if (full) {
        lines_.pop_front();
        ++dropped_;
    }
    lines_.push_back(line);
    return !full;
}

bool ViewerQueue::Pop(std::string& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (dropped_ != 0) {
        out = kTraceDroppedPrefix + std::to_string(dropped_);
        dropped_ = 0;
        return true;
    }
    if (lines_.empty()) return false;
    out = std::move(lines_.front());
    lines_.pop_front();
    return true;
}

namespace {

// Where the lines go: the viewers attached to the pipe, and the log file. One per
// process and global because the trace hands each line to a plain function (Deliver)
// on the reader thread, with no context to find it by.
struct TraceOutlets {
    std::atomic<TraceViewers*> viewers{nullptr};
    std::atomic<int32_t> viewerCount{0};
    std::atomic<bool> logOn{false};

    // The log is written by the thread that processes codes; the lock only keeps the
    // start and the end of the process out of a write. One handle stays open while the
    // log is on; it is closed and the next one opened only at a roll-over.
    std::mutex logLock;
    std::string logFolder, logPath, oldPath;
    std::unique_ptr<LocalFiles::AppendFile> log;
    int64_t logSize = 0;
    // Lines lost while another program kept the file from being opened, or from rolling
    // over once it had grown to its limit and its overrun; told in the log when it takes
    // lines again.
    uint64_t logDropped = 0;
};
TraceOutlets g_outlets;

void UpdateWatched() {
    SetTraceWatched(g_outlets.logOn.load() || g_outlets.viewerCount.load() > 0);
}

// Called with g_outlets.logLock held.
void LogFailedLocked() {
    g_outlets.log.reset();
    g_outlets.logOn = false;
    UpdateWatched();
    std::string text = kTraceLogFailedNoticeFormat;
    const std::string folder = g_outlets.logFolder.empty()
                                   ? std::string("the local application data")
                                   : g_outlets.logFolder;
    text.replace(text.find("%s"), 2, folder);
    Notice(text);
}

// Opens the log when it is not open. False while it cannot be; a folder that cannot be
// written turns the log off, a file another program holds is tried again at the next line.
bool OpenLogLocked(LocalFiles& files) {
    if (g_outlets.log) return true;
    std::unique_ptr<LocalFiles::AppendFile> file;
    switch (files.OpenAppend(g_outlets.logPath, file)) {
        case LocalFiles::OpenStatus::Opened: break;
        case LocalFiles::OpenStatus::Busy: return false;
        default: LogFailedLocked(); return false;
    }
    g_outlets.log = std::move(file);
    g_outlets.logSize = g_outlets.log->Size();
    if (g_outlets.logSize < 0) g_outlets.logSize = 0;
    return true;
}

// At its limit the log becomes trace.old.log. A program that holds either file without
// letting it be renamed keeps that from happening: the log grows on by up to
// kTraceLogOverrunBytes meanwhile and the roll-over is tried again at every line.
bool RollOverLocked(LocalFiles& files) {
    if (!files.Replace(g_outlets.logPath, g_outlets.oldPath)) return false;
    g_outlets.log.reset();
    g_outlets.logSize = 0;
    return true;
}

bool WriteLocked(const std::string& bytes) {
    if (!g_outlets.log->Write(bytes)) return false;
    g_outlets.logSize += static_cast<int64_t>(bytes.size());
    return true;
}

void WriteLogLine(const std::string& line) {
    std::lock_guard<std::mutex> hold(g_outlets.logLock);
    LocalFiles* files = Os().files;
    if (!g_outlets.logOn.load() || files == nullptr) return;
    if (!OpenLogLocked(*files)) {
        if (g_outlets.logOn.load()) ++g_outlets.logDropped;
        return;
    }
    std::string bytes;
    if (g_outlets.logDropped != 0)
        bytes = "-- " + std::to_string(g_outlets.logDropped) + kTraceLogDroppedNote + "\r\n";
    bytes += line + "\r\n";
    const int64_t size = static_cast<int64_t>(bytes.size());
    // Near the limit the file itself is asked: others may write to it, or empty it.
    if (g_outlets.logSize + size > kTraceLogLimitBytes) {
        const int64_t real = g_outlets.log->Size();
        if (real >= 0) g_outlets.logSize = real;
    }
    if (g_outlets.logSize + size > kTraceLogLimitBytes && g_outlets.logSize > 0 &&
        RollOverLocked(*files) && !OpenLogLocked(*files)) {
        if (g_outlets.logOn.load()) ++g_outlets.logDropped;
        return;
    }
    if (g_outlets.logSize + size > kTraceLogLimitBytes + kTraceLogOverrunBytes &&
        g_outlets.logSize > 0) {
        ++g_outlets.logDropped;
        return;
    }
    if (!WriteLocked(bytes)) {
        // Once more on a fresh handle before the log counts as unwritable.
        g_outlets.log.reset();
        if (!OpenLogLocked(*files)) {
            if (g_outlets.logOn.load()) ++g_outlets.logDropped;
            return;
        }
        if (!WriteLocked(bytes)) return LogFailedLocked();
    }
    g_outlets.logDropped = 0;
}

void Deliver(const std::string& line) {
    if (g_outlets.viewerCount.load() > 0) {
        if (TraceViewers* viewers = g_outlets.viewers.load()) viewers->Publish(line);
    }
    if (g_outlets.logOn.load()) WriteLogLine(line);
}

void OpenLog() {
    std::lock_guard<std::mutex> hold(g_outlets.logLock);
    LocalFiles* files = Os().files;
    const std::string base = files == nullptr ? std::string() : files->LocalAppDataFolder();
    g_outlets.logFolder = base.empty() ? std::string() : base + "\\" + kTraceLogFolder;
    g_outlets.logPath = g_outlets.logFolder + "\\" + kTraceLogName;
    g_outlets.oldPath = g_outlets.logFolder + "\\" + kTraceLogOldName;
    g_outlets.log.reset();
    g_outlets.logSize = 0;
    g_outlets.logDropped = 0;
    g_outlets.logOn = true;
    if (g_outlets.logFolder.empty() || !files->MakeFolders(g_outlets.logFolder))
        return LogFailedLocked();
    // Opened now, so a folder that cannot be written is told before any press needs it.
    (void)OpenLogLocked(*files);
    UpdateWatched();
}

}  // namespace

void StartTrace(bool logAsked, TraceViewers* viewers) {
    g_outlets.viewers = viewers;
    SetTraceOutput(&Deliver);
    if (logAsked) OpenLog();
    UpdateWatched();
}

void StopTrace() {
    SetTraceWatched(false);
    SetTraceOutput(nullptr);
    g_outlets.viewers = nullptr;
    g_outlets.viewerCount = 0;
    std::lock_guard<std::mutex> hold(g_outlets.logLock);
    g_outlets.logOn = false;
    g_outlets.log.reset();
}

void TraceViewerCountChanged(int32_t count) {
    g_outlets.viewerCount = count;
    UpdateWatched();
}

void TracePipeTaken() {
    if (g_outlets.logOn.load()) WriteLogLine(kTracePipeTakenLine);
}

void TraceNote(const std::string& line) { Deliver(EscapeControlCharacters(line)); }

bool TraceLogOn() { return g_outlets.logOn.load(); }

std::string TraceLogPath() {
    std::lock_guard<std::mutex> hold(g_outlets.logLock);
    return g_outlets.logPath;
}

bool CommandLineAsksForTraceLog(const std::string& lowerCommandLine) {
    return CommandLineArguments(lowerCommandLine).find("/trace") != std::string::npos;
}

bool TraceLogAsked(const std::string& lowerCommandLine) {
    return ReadSettingsKeyValue("TraceLog", 0) != 0 || CommandLineAsksForTraceLog(lowerCommandLine);
}

void OpenTraceLogOnRequest() {
    if (!g_outlets.logOn.load()) OpenLog();
}
