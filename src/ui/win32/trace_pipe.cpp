#include "ui/win32/trace_pipe.h"

namespace {

constexpr DWORD kPipeBufferBytes = 4096;
constexpr DWORD kRetryMs = 1000;

// One of the process token's SIDs (its user, or its integrity level's label); empty when
// the token cannot be read.
std::vector<BYTE> TokenSid(TOKEN_INFORMATION_CLASS what) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    (void)GetTokenInformation(token, what, nullptr, 0, &size);
    std::vector<BYTE> info(size);
    std::vector<BYTE> sid;
    if (size >= sizeof(SID_AND_ATTRIBUTES) &&
        GetTokenInformation(token, what, info.data(), size, &size)) {
        // TOKEN_USER and TOKEN_MANDATORY_LABEL both begin with one SID_AND_ATTRIBUTES.
        PSID p = reinterpret_cast<SID_AND_ATTRIBUTES*>(info.data())->Sid;
        if (p != nullptr && IsValidSid(p)) {
            sid.resize(GetLengthSid(p));
            if (!CopySid(static_cast<DWORD>(sid.size()), sid.data(), p)) sid.clear();
        }
    }
    CloseHandle(token);
    return sid;
}

}  // namespace

std::unique_ptr<TracePipeSecurity> TracePipeSecurity::ForThisUser() {
    std::unique_ptr<TracePipeSecurity> s(new TracePipeSecurity());
    s->user_ = TokenSid(TokenUser);
    if (s->user_.empty()) return nullptr;
    PSID user = s->user_.data();
    s->dacl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user));
    auto* dacl = reinterpret_cast<ACL*>(s->dacl_.data());
    if (!InitializeAcl(dacl, static_cast<DWORD>(s->dacl_.size()), ACL_REVISION) ||
        !AddAccessAllowedAce(dacl, ACL_REVISION, FILE_ALL_ACCESS, user) ||
        !InitializeSecurityDescriptor(&s->descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&s->descriptor_, TRUE, dacl, FALSE) ||
        !SetSecurityDescriptorControl(&s->descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return nullptr;
    // Labelled at the program's own integrity level, which a process may always give what
    // it makes: a sandboxed process of the same user cannot read the presses either.
    s->label_ = TokenSid(TokenIntegrityLevel);
    if (!s->label_.empty()) {
        PSID label = s->label_.data();
        s->sacl_.resize(sizeof(ACL) + sizeof(SYSTEM_MANDATORY_LABEL_ACE) + GetLengthSid(label));
        auto* sacl = reinterpret_cast<ACL*>(s->sacl_.data());
        if (!InitializeAcl(sacl, static_cast<DWORD>(s->sacl_.size()), ACL_REVISION) ||
            !AddMandatoryAce(sacl, ACL_REVISION, 0,
                             SYSTEM_MANDATORY_LABEL_NO_WRITE_UP | SYSTEM_MANDATORY_LABEL_NO_READ_UP,
                             label) ||
            !SetSecurityDescriptorSacl(&s->descriptor_, TRUE, sacl, FALSE))
            return nullptr;
    }
    s->attributes_.nLength = sizeof(SECURITY_ATTRIBUTES);
    s->attributes_.lpSecurityDescriptor = &s->descriptor_;
    s->attributes_.bInheritHandle = FALSE;
    return s;
}

std::string ThisSessionTracePipeName() {
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
    return TracePipeName(session);
}

struct TracePipeServer::Viewer {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    // A read that never gets data: it ends when the viewer closes its end.
    OVERLAPPED readOv{};
    char readByte = 0;
    bool reading = false;
    OVERLAPPED writeOv{};
    bool writing = false;
    bool broken = false;  // a write failed at once
    std::string sending;
    ViewerQueue queue;

    Viewer() {
        readOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        writeOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~Viewer() {
        if (pipe != INVALID_HANDLE_VALUE) {
            // Nothing may still write into this object once it is gone.
            CancelIo(pipe);
            DWORD n = 0;
            if (reading) (void)GetOverlappedResult(pipe, &readOv, &n, TRUE);
            if (writing) (void)GetOverlappedResult(pipe, &writeOv, &n, TRUE);
            DisconnectNamedPipe(pipe);
            CloseHandle(pipe);
        }
        if (readOv.hEvent != nullptr) CloseHandle(readOv.hEvent);
        if (writeOv.hEvent != nullptr) CloseHandle(writeOv.hEvent);
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // False when the viewer is already gone.
    bool StartWatching() {
        if (readOv.hEvent == nullptr || writeOv.hEvent == nullptr) return false;
        if (ReadFile(pipe, &readByte, 1, nullptr, &readOv)) return false;
        reading = GetLastError() == ERROR_IO_PENDING;
        return reading;
    }
};

TracePipeServer::TracePipeServer(std::string pipeName, CreatePipeFn create)
    : name_(std::move(pipeName)), create_(create) {}

TracePipeServer::~TracePipeServer() { Stop(); }

bool TracePipeServer::Start() {
    if (stop_ != nullptr) return true;
    security_ = TracePipeSecurity::ForThisUser();
    if (!security_) return false;
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    try {
        viewers_.reserve(kMaxViewers);  // adding a viewer never allocates
        if (stop_ != nullptr && wake_ != nullptr) {
            server_ = std::thread([this] { Serve(); });
            return true;
        }
    } catch (...) {
    }
    if (stop_ != nullptr) CloseHandle(stop_);
    if (wake_ != nullptr) CloseHandle(wake_);
    stop_ = wake_ = nullptr;
    return false;
}

void TracePipeServer::Stop() {
    if (stop_ == nullptr) return;
    SetEvent(stop_);
    if (server_.joinable()) server_.join();
    CloseHandle(stop_);
    CloseHandle(wake_);
    stop_ = wake_ = nullptr;
    TraceViewerCountChanged(0);
}

void TracePipeServer::Publish(const std::string& line) {
    std::lock_guard<std::mutex> hold(lock_);
    bool queued = false;
    for (const auto& v : viewers_) {
        try {
            v->queue.Push(line);
            queued = true;
        } catch (...) {
            // Short of memory: this viewer misses the line.
        }
    }
    if (queued) SetEvent(wake_);
}

int32_t TracePipeServer::ViewerCount() {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int32_t>(viewers_.size());
}

void TracePipeServer::ReportCount() {
    const int32_t live = ViewerCount();
    if (live != reported_) {
        reported_ = live;
        TraceViewerCountChanged(live);
    }
}

void TracePipeServer::Drop(size_t index) {
    std::unique_ptr<Viewer> gone;
    {
        std::lock_guard<std::mutex> hold(lock_);
        gone = std::move(viewers_[index]);
        viewers_.erase(viewers_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    gone.reset();
    ReportCount();
}

void TracePipeServer::SendNext(Viewer& viewer) {
    if (viewer.writing || !viewer.queue.Pop(viewer.sending)) return;
    viewer.sending += '\n';
    ResetEvent(viewer.writeOv.hEvent);
    // Completed at once or pending, the event tells.
    if (!WriteFile(viewer.pipe, viewer.sending.data(), static_cast<DWORD>(viewer.sending.size()),
                   nullptr, &viewer.writeOv) &&
        GetLastError() != ERROR_IO_PENDING) {
        viewer.broken = true;
        return;
    }
    viewer.writing = true;
}

// A new instance waiting for a viewer. The first of our instances is made only if the
// name is free: a program that made it before us would otherwise get our viewers.
HANDLE TracePipeServer::Listen(bool first, OVERLAPPED& ov, bool& failed, bool& connected) {
    failed = false;
    connected = false;
    HANDLE pipe = create_(
        name_.c_str(),
        PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, kMaxViewers,
        kPipeBufferBytes, 16, 0, security_->Attributes());
    if (pipe == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (first && (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY)) {
            taken_ = true;
        } else {
            failed = true;  // short of something: tried again later
        }
        return INVALID_HANDLE_VALUE;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        ResetEvent(ov.hEvent);
        if (ConnectNamedPipe(pipe, &ov)) return pipe;  // the event is set
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) return pipe;
        if (error == ERROR_PIPE_CONNECTED) {
            // Between the making and the wait: nothing is pending, the event is ours.
            connected = true;
            SetEvent(ov.hEvent);
            return pipe;
        }
        // A viewer that came and went before the wait: the instance waits again.
        if (error != ERROR_NO_DATA || !DisconnectNamedPipe(pipe)) break;
    }
    CloseHandle(pipe);
    failed = true;
    return INVALID_HANDLE_VALUE;
}

void TracePipeServer::Serve() {
    OVERLAPPED connectOv{};
    connectOv.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (connectOv.hEvent == nullptr) return;
    HANDLE listening = INVALID_HANDLE_VALUE;
    bool retryLater = false;
    bool connectedAtOnce = false;
    while (!taken_.load()) {
        try {
            if (listening == INVALID_HANDLE_VALUE && !retryLater && viewers_.size() < kMaxViewers)
                listening = Listen(viewers_.empty(), connectOv, retryLater, connectedAtOnce);
            if (taken_.load()) {
                TracePipeTaken();
                break;
            }
            HANDLE waits[3 + 2 * kMaxViewers];
            DWORD n = 0;
            waits[n++] = stop_;
            waits[n++] = wake_;
            const DWORD connectAt = n;
            if (listening != INVALID_HANDLE_VALUE) waits[n++] = connectOv.hEvent;
            const DWORD viewersAt = n;
            for (const auto& v : viewers_) {
                waits[n++] = v->readOv.hEvent;
                waits[n++] = v->writeOv.hEvent;
            }
            // The write event is set only while a write is in flight or just done.
            const DWORD w =
                WaitForMultipleObjects(n, waits, FALSE, retryLater ? kRetryMs : INFINITE);
            if (w == WAIT_OBJECT_0) break;
            if (w == WAIT_TIMEOUT) {
                retryLater = false;
                continue;
            }
            if (w == WAIT_OBJECT_0 + 1) {
                for (const auto& v : viewers_) SendNext(*v);
                for (size_t i = viewers_.size(); i-- > 0;) {
                    if (viewers_[i]->broken) Drop(i);
                }
                continue;
            }
            if (w == WAIT_OBJECT_0 + connectAt && listening != INVALID_HANDLE_VALUE) {
                DWORD bytes = 0;
                HANDLE pipe = listening;
                listening = INVALID_HANDLE_VALUE;
                const bool connected =
                    connectedAtOnce || GetOverlappedResult(pipe, &connectOv, &bytes, FALSE);
                // The next instance first, so the name never lapses while this one is
                // looked at.
                if (viewers_.size() + 1 < kMaxViewers)
                    listening = Listen(false, connectOv, retryLater, connectedAtOnce);
                std::unique_ptr<Viewer> viewer;
                if (connected) {
                    try {
                        viewer = std::make_unique<Viewer>();
                    } catch (...) {
                    }
                }
                if (!viewer) {
                    DisconnectNamedPipe(pipe);
                    CloseHandle(pipe);
                    continue;
                }
                viewer->pipe = pipe;
                if (!viewer->StartWatching()) continue;  // already gone: closed with it
                {
                    std::lock_guard<std::mutex> hold(lock_);
                    viewers_.push_back(std::move(viewer));  // reserved: never throws
                }
                ReportCount();
                continue;
            }
            if (w >= WAIT_OBJECT_0 + viewersAt && w < WAIT_OBJECT_0 + n) {
                const size_t index = (w - WAIT_OBJECT_0 - viewersAt) / 2;
                Viewer& v = *viewers_[index];
                if ((w - WAIT_OBJECT_0 - viewersAt) % 2 == 0) {
                    // The viewer closed its end (or wrote, which no viewer does).
                    v.reading = false;
                    Drop(index);
                    continue;
                }
                DWORD written = 0;
                v.writing = false;
                if (!GetOverlappedResult(v.pipe, &v.writeOv, &written, FALSE)) {
                    Drop(index);
                    continue;
                }
                ResetEvent(v.writeOv.hEvent);
                SendNext(v);
                if (v.broken) Drop(index);
                continue;
            }
            // WAIT_FAILED: should never happen; do not spin.
            if (WaitForSingleObject(stop_, kRetryMs) == WAIT_OBJECT_0) break;
        } catch (...) {
            // Short of memory: the serving goes on, a little later.
            if (WaitForSingleObject(stop_, 100) == WAIT_OBJECT_0) break;
        }
    }
    if (listening != INVALID_HANDLE_VALUE) {
        CancelIo(listening);
        DWORD n = 0;
        (void)GetOverlappedResult(listening, &connectOv, &n, TRUE);
        CloseHandle(listening);
    }
    std::vector<std::unique_ptr<Viewer>> gone;
    {
        std::lock_guard<std::mutex> hold(lock_);
        gone.swap(viewers_);
    }
    gone.clear();
    CloseHandle(connectOv.hEvent);
}
