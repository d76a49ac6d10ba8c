// Looks at other programs' windows for the end-to-end scripts. Each command prints one
// line and exits 0 when what it expects happened within MS milliseconds.
//
//   window_probe wait CLASS MS                  a top-level window of CLASS exists
//   window_probe gone CLASS MS                  no top-level window of CLASS exists
//   window_probe front CLASS MS                 the window in front is of CLASS
//   window_probe text CLASS CHILD EXPECT MS     the first descendant of class CHILD of that
//                                               window holds exactly the text EXPECT
//   window_probe close CLASS                    post the window close message to it
//   window_probe discard CLASS CHILD            mark the CHILD edit unmodified, then close
//   window_probe threads CLASS                  print how many threads the process of that
//                                               window has
//   window_probe trace-cycles N                 connect to this session's trace pipe and
//                                               close again, N times
//   window_probe trace-squat MS                 make this session's trace pipe name first
//                                               and hold it MS milliseconds
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "poll.h"

namespace {

struct ChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK FindChild(HWND h, LPARAM lp) {
    auto* search = reinterpret_cast<ChildSearch*>(lp);
    char name[256] = {};
    GetClassNameA(h, name, sizeof name);
    if (std::strcmp(name, search->className) != 0) return TRUE;
    search->found = h;
    return FALSE;
}

HWND Child(HWND top, const char* className) {
    ChildSearch search{className, nullptr};
    if (top != nullptr) EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Text(HWND h) {
    char buffer[4096] = {};
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::string TracePipe() {
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
    return "\\\\.\\pipe\\OrbiscopeRemoteTrace-" + std::to_string(session);
}

int Usage() {
    std::puts(
        "usage: window_probe wait|gone|front|text|close|discard|threads|trace-cycles|"
        "trace-squat ...");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    const char* cls = argv[2];
    if (command == "wait" && argc == 4) {
        const bool ok = Within(std::strtoul(argv[3], nullptr, 10),
                               [&] { return FindWindowA(cls, nullptr) != nullptr; });
        std::printf("%s window of class %s\n", ok ? "ok" : "no", cls);
        return ok ? 0 : 1;
    }
    if (command == "gone" && argc == 4) {
        const bool ok = Within(std::strtoul(argv[3], nullptr, 10),
                               [&] { return FindWindowA(cls, nullptr) == nullptr; });
        std::printf("%s: class %s %s\n", ok ? "ok" : "no", cls, ok ? "gone" : "still there");
        return ok ? 0 : 1;
    }
    if (command == "front" && argc == 4) {
        char name[256] = {};
        const bool ok = Within(std::strtoul(argv[3], nullptr, 10), [&] {
            name[0] = '\0';
            if (HWND front = GetForegroundWindow()) GetClassNameA(front, name, sizeof name);
            return std::strcmp(name, cls) == 0;
        });
        std::printf("%s window of class %s in front (%s)\n", ok ? "ok" : "no", cls, name);
        return ok ? 0 : 1;
    }
    if (command == "text" && argc == 6) {
        std::string last;
        const bool ok = Within(std::strtoul(argv[5], nullptr, 10), [&] {
            last = Text(Child(FindWindowA(cls, nullptr), argv[3]));
            return last == argv[4];
        });
        std::printf("%s text \"%s\" (expected \"%s\")\n", ok ? "ok" : "no", last.c_str(), argv[4]);
        return ok ? 0 : 1;
    }
    if (command == "close" && argc == 3) {
        const bool ok = PostMessageA(FindWindowA(cls, nullptr), WM_CLOSE, 0, 0) != FALSE;
        std::printf("%s close posted to %s\n", ok ? "ok" : "no", cls);
        return ok ? 0 : 1;
    }
    if (command == "discard" && argc == 4) {
        HWND top = FindWindowA(cls, nullptr);
        HWND edit = Child(top, argv[3]);
        if (edit != nullptr) SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
        const bool ok = top != nullptr && PostMessageA(top, WM_CLOSE, 0, 0) != FALSE;
        std::printf("%s %s closed without its text\n", ok ? "ok" : "no", cls);
        return ok ? 0 : 1;
    }
    if (command == "threads" && argc == 3) {
        DWORD pid = 0;
        HWND top = FindWindowA(cls, nullptr);
        if (top != nullptr) GetWindowThreadProcessId(top, &pid);
        const int count = pid == 0 ? -1 : ThreadsOf(pid);
        std::printf("%d\n", count);
        return count < 0 ? 1 : 0;
    }
    if (command == "trace-cycles" && argc == 3) {
        const std::string pipe = TracePipe();
        const unsigned long n = std::strtoul(argv[2], nullptr, 10);
        for (unsigned long i = 0; i < n; ++i) {
            HANDLE h = INVALID_HANDLE_VALUE;
            for (int tries = 0; tries < 100 && h == INVALID_HANDLE_VALUE; ++tries) {
                h = CreateFileA(pipe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
                if (h != INVALID_HANDLE_VALUE) break;
                // Busy: every instance serves a viewer; not found: between two instances.
                if (GetLastError() == ERROR_PIPE_BUSY) {
                    WaitNamedPipeA(pipe.c_str(), 100);
                } else {
                    Sleep(10);
                }
            }
            if (h == INVALID_HANDLE_VALUE) {
                std::printf("no: cycle %lu could not connect (error %lu)\n", i, GetLastError());
                return 1;
            }
            CloseHandle(h);
        }
        std::printf("ok %lu connect/close cycles on %s\n", n, pipe.c_str());
        return 0;
    }
    if (command == "trace-squat" && argc == 3) {
        HANDLE h =
            CreateNamedPipeA(TracePipe().c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                             PIPE_UNLIMITED_INSTANCES, 4096, 0, 0, nullptr);
        std::printf("%s holding %s\n", h != INVALID_HANDLE_VALUE ? "ok" : "no",
                    TracePipe().c_str());
        std::fflush(stdout);
        if (h == INVALID_HANDLE_VALUE) return 1;
        Sleep(std::strtoul(argv[2], nullptr, 10));
        CloseHandle(h);
        return 0;
    }
    return Usage();
}
