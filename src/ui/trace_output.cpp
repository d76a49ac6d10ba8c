#include "ui/trace_output.h"

#include <atomic>

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
const char* const kTracePipeName = "\\\\.\\pipe\\OrbiscopeRemoteTrace";

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
// start and the end of the process out of a write.
std::mutex g_logLock;
std::string g_logFolder, g_logPath, g_oldPath;
int64_t g_logSize = 0;

void UpdateWatched() { SetTraceWatched(g_logOn.load() || g_viewerCount.load() > 0); }

// Called with g_logLock held.
void LogFailedLocked() {
    g_logOn = false;
    UpdateWatched();
    std::string text = kTraceLogFailedNoticeFormat;
    const std::string folder =
        g_logFolder.empty() ? std::string("the local application data") : g_logFolder;
    text.replace(text.find("%s"), 2, folder);
    Notice(text);
}

void WriteLogLine(const std::string& line) {
    std::lock_guard<std::mutex> hold(g_logLock);
    LocalFiles* files = Os().files;
    if (!g_logOn.load() || files == nullptr) return;
    const std::string bytes = line + "\r\n";
    if (g_logSize + static_cast<int64_t>(bytes.size()) > kTraceLogLimitBytes && g_logSize > 0) {
        if (!files->Replace(g_logPath, g_oldPath)) return LogFailedLocked();
        g_logSize = 0;
    }
    if (!files->Append(g_logPath, bytes)) return LogFailedLocked();
    g_logSize += static_cast<int64_t>(bytes.size());
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
    g_logOn = true;
    if (g_logFolder.empty() || !files->MakeFolders(g_logFolder)) return LogFailedLocked();
    g_logSize = files->FileSize(g_logPath);
    if (g_logSize < 0) g_logSize = 0;
    // An empty append proves the file can be written before any press needs it.
    if (!files->Append(g_logPath, "")) return LogFailedLocked();
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
}

void TraceViewerCountChanged(int32_t count) {
    g_viewerCount = count;
    UpdateWatched();
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
