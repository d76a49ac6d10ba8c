// orbsend: plays button presses as the receiver's byte stream, into the virtual
// receiver's named pipe (Windows), a file or standard output.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "platform/receiver_device.h"
#include "receiver/remote_button.h"
#include "receiver/stream.h"
#include "shared/pack.h"
#include "shared/virtual_remote.h"

namespace {

const char* const kUsage =
    "usage: orbsend [options] PRESS...\n"
    "Sends remote button presses as the receiver's byte stream.\n"
    "\n"
    "PRESS is one word per press (read from standard input when none is given):\n"
    "  NAME               one press: one frame (a button name in any case, or its id 0-41)\n"
    "  NAME:hold=600ms    the button held: one frame every 114 ms for that long\n"
    "  NAME:frames=N      the button held for N frames\n"
    "  NAME:variant=2     this press with variant 2 (1 or 2); options combine\n"
    "  NAME:cut=N         only the first N bytes of the (last) frame, then the receiver\n"
    "                     is unplugged; this press ends the words\n"
    "  pause=1.5s         a pause before the next press (also wait=...)\n"
    "  jitter=15ms        from here on, each frame of a held press up to 15 ms sooner or\n"
    "                     later than the remote's spacing, at random (below 114 ms)\n"
    "  seed=N             the random sequence of the jitter (0 without it): the same seed\n"
    "                     sends the same frames\n"
    "  raw=9944121212     a press of another remote: its duration values as digits 1-9,\n"
    "                     or as numbers 1-255 with commas (raw=200,100,12,12,12,4);\n"
    "                     :hold= and :frames= as above, :repeat=VALUES the frame sent after\n"
    "                     the first while it is held, :every=110ms the frames' spacing\n"
    "Each new press toggles the variant, as the remote does; a held button keeps it.\n"
    "\n"
    "options:\n"
#ifdef _WIN32
    "  --pipe NAME        serve the stream on this named pipe (\\\\.\\pipe\\...): waits for\n"
    "                     the reader to connect, sends, then closes the pipe\n"
    "  --virtual          the same, on the pipe named by ORBISCOPE_VIRTUAL_RECEIVER or\n"
    "                     \\\\.\\pipe\\orbiscope-receiver\n"
    "  --linger MS        keep the pipe open this long after the last frame (default 300)\n"
#endif
    "  --out FILE         write to FILE instead of standard output\n"
    "  --fast             no waiting between frames (files, tests)\n"
    "  --stay             after the words, keep the receiver plugged in and send each further\n"
    "                     line of standard input as it arrives (until end of input); with a\n"
    "                     pipe, every new open by the reader is taken, and a line may be\n"
    "                     unplug=DURATION (the receiver gone that long) or stale (the next\n"
    "                     open reads without error and delivers nothing until reopened)\n"
    "  --first-variant N  variant of the first press (default 1)\n"
    "  --times FILE       append the time each frame went out (performance counter, us)\n"
    "  --list             print the button names and exit\n"
    "  --help             this text\n";

class Sink {
public:
    virtual ~Sink() = default;
    virtual bool Write(const std::vector<uint8_t>& bytes) = 0;
    virtual void Finish() {}
};

class FileSink : public Sink {
public:
    explicit FileSink(FILE* f, bool owned) : f_(f), owned_(owned) {}
    ~FileSink() override {
        if (owned_) std::fclose(f_);
    }
    bool Write(const std::vector<uint8_t>& bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), f_) == bytes.size() && std::fflush(f_) == 0;
    }

private:
    FILE* f_;
    bool owned_;
};

#ifdef _WIN32
class PipeSink : public Sink {
public:
    PipeSink(HANDLE pipe, unsigned lingerMs) : pipe_(pipe), linger_(lingerMs) {}
    ~PipeSink() override { CloseHandle(pipe_); }
    bool Write(const std::vector<uint8_t>& bytes) override {
        DWORD written = 0;
        return WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }
    // Closing throws away what the reader has not taken yet: wait for it first.
    void Finish() override {
        FlushFileBuffers(pipe_);
        Sleep(linger_);
    }

private:
    HANDLE pipe_;
    unsigned linger_;
};

// The receiver over a whole session (--stay): every new open of the pipe by the reader is
// the receiver's current connection, as a device reopened after a sleep is, and the
// faults of sleep can be played: the device gone for a while, or a connection that reads
// without error and never delivers.
class PipeServer : public Sink {
public:
    explicit PipeServer(std::string name) : name_(std::move(name)) {
        wake_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        connected_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        written_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~PipeServer() override {
        {
            std::lock_guard<std::mutex> hold(lock_);
            ending_ = true;
        }
        SetEvent(wake_);
        if (acceptor_.joinable()) acceptor_.join();
        std::lock_guard<std::mutex> hold(lock_);
        CloseConnectionsLocked();
        for (HANDLE h : {wake_, connected_, written_})
            if (h != nullptr) CloseHandle(h);
    }
    // Serves the pipe and waits for the first reader.
    bool Start() {
        if (wake_ == nullptr || connected_ == nullptr || written_ == nullptr) return false;
        std::fprintf(stderr, "orbsend: waiting for the reader on %s\n", name_.c_str());
        acceptor_ = std::thread([this] { Accept(); });
        WaitForSingleObject(connected_, INFINITE);
        std::lock_guard<std::mutex> hold(lock_);
        return current_ != INVALID_HANDLE_VALUE;
    }
    // A press nobody can take (no reader, a stale connection) is dropped and said so:
    // the session goes on, as a remote pressed at a sleeping computer does.
    bool Write(const std::vector<uint8_t>& bytes) override {
        std::lock_guard<std::mutex> hold(lock_);
        if (current_ == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "orbsend: %s, frame dropped\n",
                         stale_ != INVALID_HANDLE_VALUE ? "the connection is stale" : "no reader");
            return true;
        }
        OVERLAPPED ov{};
        ov.hEvent = written_;
        ResetEvent(written_);
        DWORD done = 0;
        BOOL ok = WriteFile(current_, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &ov);
        if (!ok && GetLastError() == ERROR_IO_PENDING) ok = TRUE;
        if (ok) ok = GetOverlappedResult(current_, &ov, &done, TRUE);
        if (!ok || done != bytes.size()) {
            std::fprintf(stderr, "orbsend: the reader went away, frame dropped\n");
            CloseHandle(current_);
            current_ = INVALID_HANDLE_VALUE;
        }
        return true;
    }
    void Finish() override {
        std::lock_guard<std::mutex> hold(lock_);
        if (current_ != INVALID_HANDLE_VALUE) FlushFileBuffers(current_);
    }
    // The device is gone for ms: every connection closes, the pipe is not served, then
    // the next reader to open it is taken again.
    void Unplug(uint32_t ms) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            CloseConnectionsLocked();
            absentUntil_ = GetTickCount64() + ms;
        }
        SetEvent(wake_);
        std::fprintf(stderr, "orbsend: receiver unplugged for %u ms\n", ms);
    }
    // The next reader to open the pipe gets a connection that never delivers; the one
    // after it is served again.
    void StaleNext() {
        std::lock_guard<std::mutex> hold(lock_);
        staleNext_ = true;
    }

private:
    void CloseConnectionsLocked() {
        for (HANDLE* h : {&current_, &stale_}) {
            if (*h == INVALID_HANDLE_VALUE) continue;
            DisconnectNamedPipe(*h);
            CloseHandle(*h);
            *h = INVALID_HANDLE_VALUE;
        }
    }
    void Accept() {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        for (;;) {
            uint64_t absentUntil = 0;
            {
                std::lock_guard<std::mutex> hold(lock_);
                if (ending_) break;
                absentUntil = absentUntil_;
                ResetEvent(wake_);
            }
            const uint64_t now = GetTickCount64();
            if (now < absentUntil) {
                WaitForSingleObject(wake_, static_cast<DWORD>(absentUntil - now));
                continue;
            }
            HANDLE pipe = CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                           PIPE_TYPE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                                           4096, 4096, 0, nullptr);
            if (pipe == INVALID_HANDLE_VALUE || event == nullptr) {
                SetEvent(connected_);
                break;
            }
            OVERLAPPED ov{};
            ov.hEvent = event;
            ResetEvent(event);
            bool connected = ConnectNamedPipe(pipe, &ov) != FALSE;
            if (!connected) {
                const DWORD error = GetLastError();
                if (error == ERROR_PIPE_CONNECTED) {
                    connected = true;
                } else if (error == ERROR_IO_PENDING) {
                    HANDLE waits[2] = {event, wake_};
                    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
                        DWORD unused = 0;
                        connected = GetOverlappedResult(pipe, &ov, &unused, FALSE) != FALSE;
                    } else {
                        CancelIo(pipe);
                        DWORD unused = 0;
                        GetOverlappedResult(pipe, &ov, &unused, TRUE);
                    }
                }
            }
            if (!connected) {
                CloseHandle(pipe);
                continue;
            }
            std::lock_guard<std::mutex> hold(lock_);
            if (ending_ || GetTickCount64() < absentUntil_) {
                CloseHandle(pipe);
                continue;
            }
            if (staleNext_) {
                staleNext_ = false;
                CloseConnectionsLocked();
                stale_ = pipe;
                std::fprintf(stderr, "orbsend: reader connected; this connection stays silent\n");
            } else {
                CloseConnectionsLocked();
                current_ = pipe;
                std::fprintf(stderr, "orbsend: reader connected\n");
            }
            SetEvent(connected_);
        }
        if (event != nullptr) CloseHandle(event);
    }

    std::string name_;
    HANDLE wake_ = nullptr, connected_ = nullptr, written_ = nullptr;
    std::thread acceptor_;
    std::mutex lock_;
    HANDLE current_ = INVALID_HANDLE_VALUE;  // guarded by lock_, as everything below
    HANDLE stale_ = INVALID_HANDLE_VALUE;
    bool staleNext_ = false;
    bool ending_ = false;
    uint64_t absentUntil_ = 0;
};

HANDLE ServePipe(const std::string& name) {
    HANDLE pipe = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND,
                                   PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return pipe;
    std::fprintf(stderr, "orbsend: waiting for the reader on %s\n", name.c_str());
    if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) {
        CloseHandle(pipe);
        return INVALID_HANDLE_VALUE;
    }
    return pipe;
}
#endif

// The clock the latency benchmark's target window reads too.
long long NowMicroseconds() {
#ifdef _WIN32
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000000 / frequency.QuadPart;
#else
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
#endif
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "orbsend: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words;
    std::string outPath;
    [[maybe_unused]] std::string pipeName;
    std::string timesPath;
    bool fast = false;
    bool stay = false;
    [[maybe_unused]] unsigned linger = 300;
    int32_t firstVariant = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--list") {
            for (int32_t id = 0; id < kButtonCount; ++id) std::printf("%d %s\n", id, RemoteButtonName(id));
            return 0;
        } else if (a == "--out") {
            if (!value(outPath)) return Fail("--out needs a file");
        } else if (a == "--fast") {
            fast = true;
        } else if (a == "--times") {
            if (!value(timesPath)) return Fail("--times needs a file");
        } else if (a == "--stay") {
            stay = true;
        } else if (a == "--first-variant") {
            if (!value(v) || (v != "1" && v != "2")) return Fail("--first-variant takes 1 or 2");
            firstVariant = v == "1" ? 1 : 2;
#ifdef _WIN32
        } else if (a == "--pipe") {
            if (!value(pipeName)) return Fail("--pipe needs a name");
        } else if (a == "--virtual") {
            char buffer[MAX_PATH] = {};
            const DWORD n = GetEnvironmentVariableA(kVirtualReceiverVariable, buffer, sizeof buffer);
            pipeName = n > 0 && n < sizeof buffer ? std::string(buffer, n) : kDefaultVirtualReceiverPipe;
        } else if (a == "--linger") {
            if (!value(v)) return Fail("--linger needs milliseconds");
            linger = static_cast<unsigned>(std::strtoul(v.c_str(), nullptr, 10));
#endif
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return Fail("unknown option " + a + " (see --help)");
        } else {
            words.push_back(a);
        }
    }
    if (words.empty() && !stay) {
        std::string w;
        while (std::cin >> w) {
            if (w[0] == '#') {
                std::getline(std::cin, w);
                continue;
            }
            words.push_back(w);
        }
    }
    const PressScript script = BuildPressScript(words, firstVariant);
    if (!script.error.empty()) return Fail(script.error);

    std::unique_ptr<Sink> sink;
#ifdef _WIN32
    PipeServer* server = nullptr;
    if (!pipeName.empty() && stay) {
        auto served = std::make_unique<PipeServer>(pipeName);
        if (!served->Start()) return Fail("cannot serve the pipe " + pipeName);
        server = served.get();
        sink = std::move(served);
    } else if (!pipeName.empty()) {
        HANDLE pipe = ServePipe(pipeName);
        if (pipe == INVALID_HANDLE_VALUE) return Fail("cannot serve the pipe " + pipeName);
        sink = std::make_unique<PipeSink>(pipe, linger);
    }
#endif
    if (!sink && !outPath.empty()) {
        FILE* f = std::fopen(outPath.c_str(), "wb");
        if (f == nullptr) return Fail("cannot write " + outPath);
        sink = std::make_unique<FileSink>(f, true);
    }
    if (!sink) {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        sink = std::make_unique<FileSink>(stdout, false);
    }

    FILE* times = nullptr;
    if (!timesPath.empty() && (times = std::fopen(timesPath.c_str(), "a")) == nullptr)
        return Fail("cannot write " + timesPath);
    auto send = [&](const PressScript& presses) {
        const auto start = std::chrono::steady_clock::now();
        for (const RemoteFrame& frame : presses.frames) {
            if (!fast) std::this_thread::sleep_until(start + std::chrono::milliseconds(frame.atMs));
            std::vector<uint8_t> bytes =
                frame.values.empty() ? PackButton(frame.id, frame.variant) : PackCode(frame.values);
            if (frame.cutAfter != 0 && frame.cutAfter < bytes.size()) bytes.resize(frame.cutAfter);
            if (!sink->Write(bytes)) return false;
            if (times != nullptr) {
                std::fprintf(times, "%lld\n", NowMicroseconds());
                std::fflush(times);
            }
        }
        return true;
    };
    if (!send(script)) return Fail("the reader went away");
    // A press cut short unplugs the receiver: the sender ends here.
    const bool unplugged = !script.frames.empty() && script.frames.back().cutAfter != 0;
    if (stay && !unplugged) {
        // The receiver stays plugged in: every further line of standard input is sent as
        // it arrives, each new press toggling the variant from the last one sent.
        int32_t lastVariant = 3 - firstVariant;
        for (const RemoteFrame& frame : script.frames)
            if (frame.values.empty()) lastVariant = frame.variant;
        std::string line;
        while (std::getline(std::cin, line)) {
            std::istringstream in(line.substr(0, line.find('#')));
            std::vector<std::string> more;
            for (std::string w; in >> w;) more.push_back(w);
            if (more.empty()) continue;
            if (more[0] == "stale" || more[0].rfind("unplug=", 0) == 0) {
#ifdef _WIN32
                uint32_t ms = 0;
                if (server == nullptr) {
                    std::fprintf(stderr, "orbsend: %s needs a pipe (nothing done)\n", more[0].c_str());
                } else if (more[0] == "stale") {
                    server->StaleNext();
                } else if (ParseDurationMs(more[0].substr(7), ms)) {
                    server->Unplug(ms);
                } else {
                    std::fprintf(stderr, "orbsend: bad duration in %s (nothing done)\n", more[0].c_str());
                }
#else
                std::fprintf(stderr, "orbsend: %s needs a pipe (nothing done)\n", more[0].c_str());
#endif
                continue;
            }
            const PressScript presses = BuildPressScript(more, 3 - lastVariant);
            if (!presses.error.empty()) {
                std::fprintf(stderr, "orbsend: %s (nothing sent)\n", presses.error.c_str());
                continue;
            }
            if (!send(presses)) return Fail("the reader went away");
            for (const RemoteFrame& frame : presses.frames)
                if (frame.values.empty()) lastVariant = frame.variant;
        }
    }
    sink->Finish();
    return 0;
}
