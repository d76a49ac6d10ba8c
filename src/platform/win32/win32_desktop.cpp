#include <windows.h>

#include <tlhelp32.h>

#include <vector>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

HWND H(WindowHandle w) { return reinterpret_cast<HWND>(w); }
WindowHandle ToHandle(HWND h) { return reinterpret_cast<WindowHandle>(h); }

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<WindowHandle>*>(lp)->push_back(ToHandle(h));
    return TRUE;
}

class Win32DesktopImpl : public Desktop {
public:
    WindowHandle ForegroundWindow() override { return ToHandle(GetForegroundWindow()); }
    WindowHandle DesktopWindow() override { return ToHandle(GetDesktopWindow()); }

    bool WindowText(WindowHandle w, size_t bufferChars, std::string& out) override {
        out.clear();
        if (w == 0 || !IsWindow(H(w))) return false;
        size_t size = bufferChars;
        if (size == 0) {
            const int length = GetWindowTextLengthA(H(w));
            size = static_cast<size_t>(length < 0 ? 0 : length) + 1;
        }
        std::vector<char> buffer(size + 1, '\0');
        const int n = GetWindowTextA(H(w), buffer.data(), static_cast<int>(size));
        out.assign(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
        return true;
    }

    std::string ClassName(WindowHandle w, size_t bufferChars) override {
        if (w == 0 || bufferChars == 0) return std::string();
        std::vector<char> buffer(bufferChars + 1, '\0');
        const int n = GetClassNameA(H(w), buffer.data(), static_cast<int>(bufferChars));
        return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
    }

    ProcessId WindowProcess(WindowHandle w) override {
        DWORD pid = 0;
        if (w != 0) GetWindowThreadProcessId(H(w), &pid);
        return pid;
    }
    ThreadId WindowThread(WindowHandle w) override {
        return w == 0 ? 0 : GetWindowThreadProcessId(H(w), nullptr);
    }
    uint32_t WindowStyle(WindowHandle w) override {
        return w == 0 ? 0 : static_cast<uint32_t>(GetWindowLongPtrA(H(w), GWL_STYLE));
    }
    bool IsVisible(WindowHandle w) override { return w != 0 && IsWindowVisible(H(w)) != FALSE; }
    bool WindowRect(WindowHandle w, Rect& out) override {
        RECT r{};
        out = Rect{};
        if (w == 0 || !GetWindowRect(H(w), &r)) return false;
        out = Rect{r.left, r.top, r.right, r.bottom};
        return true;
    }
    bool WindowExists(WindowHandle w) override { return w != 0 && IsWindow(H(w)) != FALSE; }

    std::vector<WindowHandle> TopLevelWindows() override {
        std::vector<WindowHandle> out;
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&out));
        return out;
    }
    std::vector<WindowHandle> Descendants(WindowHandle parent) override {
        std::vector<WindowHandle> out;
        if (parent != 0) EnumChildWindows(H(parent), CollectWindow, reinterpret_cast<LPARAM>(&out));
        return out;
    }
    WindowHandle FirstChild(WindowHandle parent) override {
        return parent == 0 ? 0 : ToHandle(GetWindow(H(parent), GW_CHILD));
    }
    WindowHandle NextSibling(WindowHandle w) override {
        return w == 0 ? 0 : ToHandle(GetWindow(H(w), GW_HWNDNEXT));
    }
    WindowHandle FindTopLevelByClass(const std::string& className) override {
        return ToHandle(FindWindowA(className.c_str(), nullptr));
    }
    std::optional<std::vector<WindowHandle>> DesktopWindows(const std::string& name,
                                                             uint32_t access) override {
        HDESK desk = OpenDesktopA(name.c_str(), 0, FALSE, access);
        if (desk == nullptr) return std::nullopt;
        std::vector<WindowHandle> out;
        EnumDesktopWindows(desk, CollectWindow, reinterpret_cast<LPARAM>(&out));
        CloseDesktop(desk);
        return out;
    }

    bool Post(WindowHandle w, MessageId m, WParam wp, LParam lp) override {
        // PostMessage to no window would queue the message on the calling thread (the
        // reader), where nobody expects it: a post to no window is a failed post.
        if (w == 0) return false;
        return PostMessageA(H(w), m, wp, lp) != FALSE;
    }
    bool PostToThread(ThreadId t, MessageId m, WParam wp, LParam lp) override {
        return PostThreadMessageA(t, m, wp, lp) != FALSE;
    }
    LResult Send(WindowHandle w, MessageId m, WParam wp, LParam lp) override {
        return SendMessageA(H(w), m, wp, lp);
    }
    bool SendAbortIfHung(WindowHandle w, MessageId m, WParam wp, LParam lp,
                                uint32_t timeoutMs, LResult* result) override {
        DWORD_PTR r = 0;
        const LRESULT ok = SendMessageTimeoutA(H(w), m, wp, lp, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                                               timeoutMs, &r);
        if (result != nullptr) *result = static_cast<LResult>(r);
        return ok != 0;
    }
    MessageId RegisterMessage(const std::string& name) override {
        return RegisterWindowMessageA(name.c_str());
    }

    ThreadId CurrentThread() override { return GetCurrentThreadId(); }
    bool AttachThreadInput(ThreadId from, ThreadId to, bool attach) override {
        return ::AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
    }
    bool SetForegroundWindow(WindowHandle w) override {
        return ::SetForegroundWindow(H(w)) != FALSE;
    }
    bool ShowWindow(WindowHandle w, int32_t command) override {
        return ::ShowWindow(H(w), command) != FALSE;
    }
    WindowHandle SetFocus(WindowHandle w) override { return ToHandle(::SetFocus(H(w))); }

    Point CursorPos() override {
        POINT p{};
        GetCursorPos(&p);
        return Point{p.x, p.y};
    }
    bool SetCursorPos(int32_t x, int32_t y) override { return ::SetCursorPos(x, y) != FALSE; }
    Point ScreenSize() override {
        return Point{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    std::string LowerCase(const std::string& text) override {
        std::string out = text;
        if (!out.empty()) CharLowerBuffA(out.data(), static_cast<DWORD>(out.size()));
        return out;
    }
    std::string AnsiToUtf8(const std::string& text) override {
        if (text.empty()) return text;
        const int n =
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        if (n <= 0) return text;
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
        return Narrow(wide);
    }
};

std::string AfterLastBackslash(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Win32ProcessListImpl : public ProcessList {
public:
    bool Snapshot(std::vector<ProcessEntry>& out) override {
        out.clear();
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snap == INVALID_HANDLE_VALUE) return false;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
            out.push_back(ProcessEntry{entry.th32ProcessID, entry.szExeFile});
        }
        CloseHandle(snap);
        return true;
    }

    bool ImageName(ProcessId pid, std::string& out) override {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (process == nullptr) return false;
        char path[MAX_PATH * 2] = {};
        DWORD size = sizeof(path);
        const BOOL ok = QueryFullProcessImageNameA(process, 0, path, &size);
        CloseHandle(process);
        if (!ok) return false;
        out = AfterLastBackslash(std::string(path, size));
        return true;
    }

    bool Terminate(ProcessId pid, uint32_t exitCode) override {
        HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
        if (process == nullptr) return false;
        const BOOL ok = TerminateProcess(process, exitCode);
        CloseHandle(process);
        return ok != FALSE;
    }

    ProcessId CurrentProcess() override { return GetCurrentProcessId(); }

    Elevation ProcessElevation(ProcessId pid) override {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (process == nullptr) {
            return GetLastError() == ERROR_ACCESS_DENIED ? Elevation::AccessDenied : Elevation::Unknown;
        }
        DWORD theirs = 0;
        const DWORD status = IntegrityLevel(process, theirs);
        CloseHandle(process);
        if (status == ERROR_ACCESS_DENIED) return Elevation::AccessDenied;
        DWORD ours = 0;
        if (status != ERROR_SUCCESS || IntegrityLevel(GetCurrentProcess(), ours) != ERROR_SUCCESS)
            return Elevation::Unknown;
        return theirs > ours ? Elevation::Elevated : Elevation::NotElevated;
    }

    uint64_t ProcessStartTime(ProcessId pid) override {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (process == nullptr) return 0;
        FILETIME created{}, exited{}, kernel{}, user{};
        const BOOL ok = GetProcessTimes(process, &created, &exited, &kernel, &user);
        CloseHandle(process);
        if (!ok) return 0;
        return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    }

private:
    // The mandatory integrity level of a process's token: the last sub-authority of its
    // label's SID. Answers the error that kept it from being read.
    static DWORD IntegrityLevel(HANDLE process, DWORD& level) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return GetLastError();
        DWORD size = 0;
        (void)GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
        DWORD status = ERROR_INVALID_DATA;
        if (size >= sizeof(TOKEN_MANDATORY_LABEL)) {
            std::vector<BYTE> buffer(size);
            auto* label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data());
            if (!GetTokenInformation(token, TokenIntegrityLevel, label, size, &size)) {
                status = GetLastError();
            } else if (const UCHAR count = *GetSidSubAuthorityCount(label->Label.Sid); count > 0) {
                level = *GetSidSubAuthority(label->Label.Sid, count - 1u);
                status = ERROR_SUCCESS;
            }
        }
        CloseHandle(token);
        return status;
    }
};

}  // namespace

Desktop& Win32Desktop() {
    static Win32DesktopImpl desktop;
    return desktop;
}

ProcessList& Win32ProcessList() {
    static Win32ProcessListImpl processes;
    return processes;
}
