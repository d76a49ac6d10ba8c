// orbmonitor: reads the receiver's byte stream and prints, for every completed code,
// its values, the button and variant it matches and what the repeat filter decides.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "shared/code_monitor.h"
#include "platform/ports.h"
#include "platform/receiver_device.h"
#include "platform/steady_clock.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/stream.h"
#include "shared/virtual_remote.h"
#include "state/settings.h"
#include "ui/another_remote.h"
#include "ui/trace_output.h"

#ifdef _WIN32
#include "platform/win32/adapters.h"
#endif

namespace {

const char* const kUsage =
    "usage: orbmonitor [options] [FILE | -]\n"
    "Reads the receiver's byte stream (a file, or standard input when FILE is - or\n"
    "missing) and prints one line per completed code: its duration values, the button\n"
    "and variant it matches (or that it matches none), and whether the repeat filter\n"
    "accepts it or swallows it as a repeat.\n"
    "\n"
    "options:\n"
#ifdef _WIN32
    "  --device           read the receiver itself (the first interface of its class,\n"
    "                     or the pipe named by ORBISCOPE_VIRTUAL_RECEIVER)\n"
    "  --pipe NAME        read a virtual receiver's named pipe\n"
    "  --attach           show the routing trace of the running program instead: one\n"
    "                     line per received code with its time, the button and variant\n"
    "                     (or no match), the repeat filter's decision, the dispatcher\n"
    "                     step that took it, the keys, messages, clicks and shell\n"
    "                     executions it caused and the time to the last of them;\n"
    "                     --count N stops after N lines. Up to 4 viewers may attach.\n"
    "  --pause            with --attach: after the first line, stop reading until a line\n"
    "                     is typed on standard input, as a viewer that falls behind\n"
    "                     would; the program drops the lines this viewer cannot take,\n"
    "                     and it shows how many once it reads on\n"
#endif
    "  --clock real       time codes by the clock as they arrive (default for a device)\n"
    "  --clock frames     take each code to arrive one frame period after the one\n"
    "                     before (default for files and standard input, which carry no\n"
    "                     time)\n"
    "  --frame-ms N       that period (default 114, the remote's own)\n"
    "  --repeat-delay N   the stored RepeatDelay setting, 0-100 (default 50)\n"
    "  --repeat-rate N    the stored RepeatRate setting, 0-100 (default 50)\n"
    "  --count N          stop after N codes\n"
#ifdef _WIN32
    "  --remotes FOLDER   the learned remotes of this folder (default: the user's own,\n"
    "                     %APPDATA%\\Orbiscope\\Remote\\Profiles\\Remotes, as the program reads)\n"
#endif
    "  --help             this text\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "orbmonitor: %s\n", message.c_str());
    return 2;
}

#ifdef _WIN32
// The trace of the running program, line by line, until it ends or --count is reached.
int Attach(long maxLines, bool pause) {
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
    const std::string name = TracePipeName(session);
    HANDLE pipe = INVALID_HANDLE_VALUE;
    const DWORD start = GetTickCount();
    for (;;) {
        // At identification level: whoever serves the pipe may learn who reads it, never
        // act as that user.
        pipe = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) break;
        const DWORD error = GetLastError();
        if (GetTickCount() - start > 5000) {
            if (error == ERROR_PIPE_BUSY)
                return Fail("the routing trace already has its " +
                            std::to_string(kTraceMaxViewers) + " viewers");
            return Fail("no running Orbiscope Remote serves its trace (error " +
                        std::to_string(error) + ")");
        }
        if (error == ERROR_PIPE_BUSY) {
            WaitNamedPipeA(name.c_str(), 500);
        } else {
            Sleep(200);
        }
    }
    // A pipe whose name another program took first must not get to see this user's
    // trace requests, nor feed the viewer lines a sandboxed program made up.
    switch (CheckPipeServer(pipe)) {
        case PipeServerVerdict::Trusted: break;
        case PipeServerVerdict::AnotherUser:
            CloseHandle(pipe);
            return Fail("the trace's pipe " + name +
                        " is served by a program of another user; not reading it");
        case PipeServerVerdict::LowerIntegrity:
            CloseHandle(pipe);
            return Fail("the trace's pipe " + name +
                        " is served by a program with fewer rights than this one; not reading it");
        default:
            CloseHandle(pipe);
            return Fail("who serves the trace's pipe " + name + " cannot be told; not reading it");
    }
    std::printf("attached to the routing trace\n");
    std::fflush(stdout);
    TraceLineReader reader;
    unsigned long long droppedInAll = 0;
    long lines = 0;
    bool paused = !pause;
    bool more = true;
    auto show = [&](const std::string& line) {
        if (!more) return;
        if (line.rfind(kTraceDroppedPrefix, 0) == 0) {
            const unsigned long long dropped =
                std::strtoull(line.c_str() + std::strlen(kTraceDroppedPrefix), nullptr, 10);
            droppedInAll += dropped;
            std::printf("-- %llu lines dropped: this viewer fell behind (%llu in all) --\n",
                        dropped, droppedInAll);
        } else {
            std::printf("%s\n", line.c_str());
            ++lines;
        }
        std::fflush(stdout);
        more = maxLines < 0 || lines < maxLines;
        if (!paused) {
            paused = true;
            char typed[256];
            (void)std::fgets(typed, sizeof typed, stdin);
        }
    };
    char buffer[4096];
    while (more) {
        DWORD n = 0;
        if (!ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) || n == 0) {
            std::printf("the program ended the trace\n");
            break;
        }
        reader.Feed(buffer, n, show);
    }
    CloseHandle(pipe);
    return 0;
}
#endif

bool SettingValue(const char* text, int32_t& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v > 100) return false;
    out = static_cast<int32_t>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input = "-";
    std::string clockMode;
    std::string pipeName;
    std::string remotesFolder;
    bool device = false;
    bool attach = false;
    bool pause = false;
    uint32_t frameMs = kFramePeriodMs;
    long maxCodes = -1;
    RemoteSettings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        int32_t n = 0;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--clock" && next != nullptr) {
            clockMode = argv[++i];
            if (clockMode != "real" && clockMode != "frames") return Fail("--clock is real or frames");
        } else if (a == "--frame-ms" && next != nullptr) {
            frameMs = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--repeat-delay" && next != nullptr && SettingValue(next, n)) {
            settings.RepeatDelay = n;
            ++i;
        } else if (a == "--repeat-rate" && next != nullptr && SettingValue(next, n)) {
            settings.RepeatRate = n;
            ++i;
        } else if (a == "--count" && next != nullptr) {
            maxCodes = std::strtol(argv[++i], nullptr, 10);
        } else if (a == "--remotes" && next != nullptr) {
            remotesFolder = argv[++i];
        } else if (a == "--attach") {
            attach = true;
        } else if (a == "--pause") {
            pause = true;
        } else if (a == "--device") {
            device = true;
        } else if (a == "--pipe" && next != nullptr) {
            pipeName = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return Fail("not understood: " + a + " (see --help)");
        } else {
            input = a;
        }
    }
    const bool live = device || !pipeName.empty();
#ifndef _WIN32
    if (live) return Fail("no receiver on this system: read a file or standard input");
    (void)pause;
    if (attach) return Fail("the running program's trace is served on Windows only");
#else
    if (attach) return Attach(maxCodes, pause);
#endif
    if (clockMode.empty()) clockMode = live ? "real" : "frames";

    LoadDefaultButtons();
    SetCurrentSettings(&settings);
#ifdef _WIN32
    // Another remote's codes, read as the program reads them.
    {
        Platform files;
        files.folders = &Win32FolderFiles();
        files.shell = &Win32Shell();
        ScopedPlatform scope(files);
        if (remotesFolder.empty()) remotesFolder = LearnedRemotesFolder(CurrentProfileFolders());
        for (const RemoteFileProblem& problem : ReloadLearnedRemotes(*files.folders, remotesFolder))
            std::printf("not loaded: %s\n", problem.Describe().c_str());
        for (const LearnedRemote& remote : *LearnedRemotesInForce())
            std::printf("learned remote \"%s\": %zu buttons\n", remote.name.c_str(), remote.buttons.size());
    }
#endif
    SteadyClock realClock;
    FrameClock frameClock(frameMs);
    Platform platform;
    platform.clock = clockMode == "real" ? static_cast<Clock*>(&realClock) : &frameClock;
    bool firstCode = true;
    uint32_t firstTick = 0;
    long codes = 0;
    auto onByte = [&](uint8_t b) {
        if (!UnpackByte(b)) return true;
        if (!firstCode) frameClock.NextCode();
        if (firstCode) firstTick = platform.clock->TickCount();
        firstCode = false;
        const uint32_t t = platform.clock->TickCount() - firstTick;
        std::printf("code %ld at %u ms: %s\n", ++codes, static_cast<unsigned>(t),
                    FormatReport(AnalyseCompletedCode()).c_str());
        std::fflush(stdout);
        return maxCodes < 0 || codes < maxCodes;
    };

#ifdef _WIN32
    if (live) {
        platform.receiver = &Win32ReceiverDevice();
        ScopedPlatform scope(platform);
        IrReceiver& rx = TheReceiver();
        if (device) {
            if (!OpenReceiver()) return Fail("no receiver found");
        } else {
            rx.handle = platform.receiver->Open(pipeName);
            if (rx.handle.load() == nullptr) return Fail("cannot open " + pipeName);
        }
        uint8_t buffer[1000];
        for (;;) {
            const ReadResult r = platform.receiver->Read(rx.handle.load(), buffer, sizeof buffer);
            if (r.status == ReadStatus::Failed) {
                std::printf("receiver lost\n");
                break;
            }
            if (r.status == ReadStatus::NoData) {
                realClock.Sleep(20);
                continue;
            }
            bool more = true;
            for (size_t i = 0; i < r.bytes && more; ++i) more = onByte(buffer[i]);
            if (!more) break;
        }
        CloseReceiver();
        SetCurrentSettings(nullptr);
        return 0;
    }
#endif
    ScopedPlatform scope(platform);
    FILE* f = stdin;
    if (input != "-") {
        f = std::fopen(input.c_str(), "rb");
        if (f == nullptr) return Fail("cannot read " + input);
    } else {
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY);
#endif
    }
    bool more = true;
    int c = 0;
    while (more && (c = std::fgetc(f)) != EOF) more = onByte(static_cast<uint8_t>(c));
    if (TheReceiver().valueCount > 0)
        std::printf("end of stream: %d values of an unfinished code\n", TheReceiver().valueCount);
    if (f != stdin) std::fclose(f);
    SetCurrentSettings(nullptr);
    return 0;
}
