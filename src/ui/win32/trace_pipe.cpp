#include "ui/win32/trace_pipe.h"

#include <atomic>

struct TracePipeServer::Viewer {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE wake = nullptr;
    ViewerQueue queue;
    std::thread writer;
    std::atomic<bool> gone{false};
    ~Viewer() {
        if (pipe != INVALID_HANDLE_VALUE) {
            DisconnectNamedPipe(pipe);
            CloseHandle(pipe);
        }
        if (wake != nullptr) CloseHandle(wake);
    }
};

namespace {

constexpr DWORD kPipeBufferBytes = 4096;

// Waits for an overlapped operation or the stop event; false when stopped or failed.
bool Finish(HANDLE handle, OVERLAPPED& ov, HANDLE stop) {
    const HANDLE waits[2] = {ov.hEvent, stop};
    const DWORD w = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    DWORD n = 0;
    if (w != WAIT_OBJECT_0) {
        CancelIo(handle);
        GetOverlappedResult(handle, &ov, &n, TRUE);
        return false;
    }
    return GetOverlappedResult(handle, &ov, &n, FALSE) != FALSE;
}

}  // namespace

TracePipeServer::TracePipeServer(std::string pipeName) : name_(std::move(pipeName)) {}

TracePipeServer::~TracePipeServer() { Stop(); }

bool TracePipeServer::Start() {
    if (stop_ != nullptr) return true;
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) return false;
    try {
        acceptor_ = std::thread([this] { AcceptLoop(); });
    } catch (...) {
        CloseHandle(stop_);
        stop_ = nullptr;
        return false;
    }
    return true;
}

void TracePipeServer::Stop() {
    if (stop_ == nullptr) return;
    SetEvent(stop_);
    if (acceptor_.joinable()) acceptor_.join();
    std::vector<std::shared_ptr<Viewer>> viewers;
    {
        std::lock_guard<std::mutex> hold(lock_);
        viewers.swap(viewers_);
    }
    for (auto& v : viewers) {
        if (v->writer.joinable()) v->writer.join();
    }
    viewers.clear();
    CloseHandle(stop_);
    stop_ = nullptr;
    TraceViewerCountChanged(0);
}

void TracePipeServer::Publish(const std::string& line) {
    std::lock_guard<std::mutex> hold(lock_);
    for (const auto& v : viewers_) {
        if (v->gone.load()) continue;
        v->queue.Push(line);
        SetEvent(v->wake);
    }
}

void TracePipeServer::ReapLocked() {
    int32_t live = 0;
    for (auto it = viewers_.begin(); it != viewers_.end();) {
        if ((*it)->gone.load()) {
            if ((*it)->writer.joinable()) (*it)->writer.join();
            it = viewers_.erase(it);
        } else {
            ++live;
            ++it;
        }
    }
    if (live != reported_) {
        reported_ = live;
        TraceViewerCountChanged(live);
    }
}

void TracePipeServer::AcceptLoop() {
    while (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
        HANDLE pipe = CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                       PIPE_TYPE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                                       kPipeBufferBytes, 0, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE) {
            // Another program holds the name, or the system is short of something:
            // try again later, the trace is only a view.
            if (WaitForSingleObject(stop_, 1000) == WAIT_OBJECT_0) break;
            continue;
        }
        OVERLAPPED ov{};
        ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        bool connected = false;
        if (ov.hEvent != nullptr) {
            if (ConnectNamedPipe(pipe, &ov)) {
                connected = true;
            } else if (GetLastError() == ERROR_PIPE_CONNECTED) {
                connected = true;
            } else if (GetLastError() == ERROR_IO_PENDING) {
                connected = Finish(pipe, ov, stop_);
            }
            CloseHandle(ov.hEvent);
        }
        if (!connected) {
            CloseHandle(pipe);
            if (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) Sleep(50);
            continue;
        }
        auto viewer = std::make_shared<Viewer>();
        viewer->pipe = pipe;
        viewer->wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        std::lock_guard<std::mutex> hold(lock_);
        if (viewer->wake == nullptr) continue;  // the viewer's pipe closes with it
        try {
            viewer->writer = std::thread([this, viewer] { WriteLoop(viewer); });
        } catch (...) {
            continue;
        }
        viewers_.push_back(viewer);
        ReapLocked();
    }
}

void TracePipeServer::WriteLoop(const std::shared_ptr<Viewer>& viewer) {
    OVERLAPPED ov{};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::string text;
    while (ov.hEvent != nullptr) {
        if (!viewer->queue.Pop(text)) {
            const HANDLE waits[2] = {viewer->wake, stop_};
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) break;
            continue;
        }
        text += '\n';
        ResetEvent(ov.hEvent);
        DWORD written = 0;
        if (!WriteFile(viewer->pipe, text.data(), static_cast<DWORD>(text.size()), &written, &ov)) {
            if (GetLastError() != ERROR_IO_PENDING || !Finish(viewer->pipe, ov, stop_)) break;
        }
    }
    if (ov.hEvent != nullptr) CloseHandle(ov.hEvent);
    // Marked under the lock, so whoever joins this thread afterwards finds it ending
    // without needing the lock again; the count drops at once.
    std::lock_guard<std::mutex> hold(lock_);
    viewer->gone = true;
    int32_t live = 0;
    for (const auto& v : viewers_) live += v->gone.load() ? 0 : 1;
    if (live != reported_ && WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
        reported_ = live;
        TraceViewerCountChanged(live);
    }
}
