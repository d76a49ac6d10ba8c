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

std::atomic<TraceViewers*> g_viewers{nullptr};
std::atomic<int32_t> g_viewerCount{0};
std::atomic<bool> g_logOn{false};

// The log is written by the thread that processes codes; the lock only keeps the
// start and the end of the process out of a write. One handle stays open while the log
// is on; it is closed and the next one opened only at a roll-over.
std::mutex g_logLock;
std::string g_logFolder, g_logPath, g_oldPath;
std::unique_ptr<LocalFiles::AppendFile> g_log;
int64_t g_logSize = 0;
// Lines lost while another program kept the file from being opened, or from rolling over
// once it had grown to its limit and its overrun; told in the log when it takes lines again.
uint64_t g_logDropped = 0;

void UpdateWatched() { SetTraceWatched(g_logOn.load() || g_viewerCount.load() > 0); }

// Called with g_logLock held.
void LogFailedLocked() {
    g_log.reset();
    g_logOn = false;
    UpdateWatched();
    std::string text = kTraceLogFailedNoticeFormat;
    const std::string folder =
        g_logFolder.empty() ? std::string("the local application data") : g_logFolder;
    text.replace(text.find("%s"), 2, folder);
    Notice(text);
}

// Opens the log when it is not open. False while it cannot be; a folder that cannot be
// written turns the log off, a file another program holds is tried again at the next line.
bool OpenLogLocked(LocalFiles& files) {
    if (g_log) return true;
    std::unique_ptr<LocalFiles::AppendFile> file;
    switch (files.OpenAppend(g_logPath, file)) {
        case LocalFiles::OpenStatus::Opened: break;
        case LocalFiles::OpenStatus::Busy: return false;
        default: LogFailedLocked(); return false;
    }
    g_log = std::move(file);
    g_logSize = g_log->Size();
    if (g_logSize < 0) g_logSize = 0;
    return true;
}

// At its limit the log becomes trace.old.log. A program that holds either file without
// letting it be renamed keeps that from happening: the log grows on by up to
// kTraceLogOverrunBytes meanwhile and the roll-over is tried again at every line.
bool RollOverLocked(LocalFiles& files) {
    if (!files.Replace(g_logPath, g_oldPath)) return false;
    g_log.reset();
    g_logSize = 0;
    return true;
}

bool WriteLocked(const std::string& bytes) {
    if (!g_log->Write(bytes)) return false;
    g_logSize += static_cast<int64_t>(bytes.size());
    return true;
}

void WriteLogLine(const std::string& line) {
    std::lock_guard<std::mutex> hold(g_logLock);
    LocalFiles* files = Os().files;
    if (!g_logOn.load() || files == nullptr) return;
    if (!OpenLogLocked(*files)) {
        if (g_logOn.load()) ++g_logDropped;
        return;
    }
    std::string bytes;
    if (g_logDropped != 0)
        bytes = "-- " + std::to_string(g_logDropped) + kTraceLogDroppedNote + "\r\n";
    bytes += line + "\r\n";
    const int64_t size = static_cast<int64_t>(bytes.size());
    // Near the limit the file itself is asked: others may write to it, or empty it.
    if (g_logSize + size > kTraceLogLimitBytes) {
        const int64_t real = g_log->Size();
        if (real >= 0) g_logSize = real;
    }
    if (g_logSize + size > kTraceLogLimitBytes && g_logSize > 0 && RollOverLocked(*files) &&
        !OpenLogLocked(*files)) {
        if (g_logOn.load()) ++g_logDropped;
        return;
    }
    if (g_logSize + size > kTraceLogLimitBytes + kTraceLogOverrunBytes && g_logSize > 0) {
        ++g_logDropped;
        return;
    }
    if (!WriteLocked(bytes)) {
        // Once more on a fresh handle before the log counts as unwritable.
        g_log.reset();
        if (!OpenLogLocked(*files)) {
            if (g_logOn.load()) ++g_logDropped;
            return;
        }
        if (!WriteLocked(bytes)) return LogFailedLocked();
    }
    g_logDropped = 0;
}

void Deliver(const std::string& line) {
    if (g_viewerCount.load() > 0) {
        if (TraceViewers* viewers = g_viewers.load()) viewers->Publish(line);
    }
    if (g_logOn.load()) WriteLogLine(line);
}

void OpenLog() {
    std::lock_guard<std::mutex> hold(g_logLock);
    LocalFiles* files = Os().files;
    const std::string base = files == nullptr ? std::string() : files->LocalAppDataFolder();
    g_logFolder = base.empty() ? std::string() : base + "\\" + kTraceLogFolder;
    g_logPath = g_logFolder + "\\" + kTraceLogName;
    g_oldPath = g_logFolder + "\\" + kTraceLogOldName;
    g_log.reset();
    g_logSize = 0;
    g_logDropped = 0;
    g_logOn = true;
    if (g_logFolder.empty() || !files->MakeFolders(g_logFolder)) return LogFailedLocked();
    // Opened now, so a folder that cannot be written is told before any press needs it.
    (void)OpenLogLocked(*files);
    UpdateWatched();
}

}  // namespace

void StartTrace(bool logAsked, TraceViewers* viewers) {
    g_viewers = viewers;
    SetTraceOutput(&Deliver);
    if (logAsked) OpenLog();
    UpdateWatched();
}

void StopTrace() {
    SetTraceWatched(false);
    SetTraceOutput(nullptr);
    g_viewers = nullptr;
    g_viewerCount = 0;
    std::lock_guard<std::mutex> hold(g_logLock);
    g_logOn = false;
    g_log.reset();
}

void TraceViewerCountChanged(int32_t count) {
    g_viewerCount = count;
    UpdateWatched();
}

void TracePipeTaken() {
    if (g_logOn.load()) WriteLogLine(kTracePipeTakenLine);
}

bool TraceLogOn() { return g_logOn.load(); }

std::string TraceLogPath() {
    std::lock_guard<std::mutex> hold(g_logLock);
    return g_logPath;
}

bool CommandLineAsksForTraceLog(const std::string& lowerCommandLine) {
    return CommandLineArguments(lowerCommandLine).find("/trace") != std::string::npos;
}

bool TraceLogAsked(const std::string& lowerCommandLine) {
    return ReadSettingsKeyValue("TraceLog", 0) != 0 || CommandLineAsksForTraceLog(lowerCommandLine);
}

void OpenTraceLogOnRequest() {
    if (!g_logOn.load()) OpenLog();
}
