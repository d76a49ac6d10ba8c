// Drives a running OrbiscopeRemote.exe from another process for the end-to-end tests:
// finds its window, sends it messages, answers its dialogs, plays the receiver over the
// virtual receiver's pipe, probes the notification icon and reads the settings back.
// Each command prints one line and exits 0 when what it expects happened.
//
//   shell_driver window MS                 the main window exists (prints its facts)
//   shell_driver origin MS                 the running program's parent process and
//                                          whether its token is elevated
//   shell_driver count EXPECT MS           that many windows of the class exist
//   shell_driver hidden | visible MS       the main window becomes hidden / visible
//   shell_driver gone MS                   the main window has gone
//   shell_driver query EXPECT MS           WM_REMOTE_QUERYRECEIVER answers EXPECT
//   shell_driver post MESSAGE [WPARAM [LPARAM]]  post a message to the main window
//   shell_driver send MESSAGE [WPARAM [LPARAM]]  send it and print the answer
//   shell_driver menu KEY MS               right-click the icon (as its notification),
//                                          wait for the menu, type KEY into it (a letter,
//                                          or "esc"), and wait until it has closed
//   shell_driver dialog TITLE MS [BUTTON]  a window with that title appears; press BUTTON
//   shell_driver no-dialog TITLE MS        no window with that title appears meanwhile
//   shell_driver icon EXPECT MS [HWND]     the notification icon of the main window (or of
//                                          HWND, once the window is gone) is there (1) or not (0)
//   shell_driver wait-window EXPECT MS     the program's hardware-wait window (a topmost
//                                          dialog at 0,0) is open (1) or not (0)
//   shell_driver icon-delete               take the icon out of the notification area
//   shell_driver taskbar-created           broadcast "TaskbarCreated"
//   shell_driver reg NAME                  print a per-user settings DWORD
//   shell_driver receiver PIPE MS EVENT    serve the virtual receiver on PIPE (the program
//                                          must open it within MS) until EVENT is set
//   shell_driver stop EVENT                set EVENT: the receiver above is unplugged
//   shell_driver check ID STATE            tick (1) or clear (0) check box ID in the
//                                          settings pages as a click would
//   shell_driver checked ID                print the state of check box ID
//   shell_driver form BUTTON               press a button of the settings form
//   shell_driver page INDEX                turn the settings sheet to page INDEX (0 first)
//   shell_driver keys TITLE CHORD MS       once the window titled TITLE is in front, type
//                                          CHORD into it with SendInput ("ctrl+shift+p",
//                                          "enter", "esc", "tab")
//   shell_driver text TITLE ID EXPECT MS   control ID of the window titled TITLE comes to
//                                          hold text containing EXPECT (prints its text)
//   shell_driver choose TITLE ID START     in that window's combo box ID, choose the item
//                                          starting with START, as the user would
//   shell_driver click ID                  press button ID of the settings pages (posted:
//                                          it may open a modal dialog)
//   shell_driver control TITLE ID ACTION [ARG]  in the window titled TITLE (waited for
//                                          10 s), control ID: settext TEXT, select INDEX
//                                          (a combo box), row INDEX (a list box), click,
//                                          text (prints it), rows (prints a list box's)
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "poll.h"

namespace {

constexpr const char* kClass = "Orbiscope.Remote";
constexpr UINT kQueryReceiver = 0x507;
constexpr UINT kTrayIconId = 1024;
constexpr const char* kSettingsKey = "Software\\OrbiScope\\Orbiscope Remote\\Settings";

HWND Frame() { return FindWindowA(kClass, nullptr); }

int Fail(const std::string& what) {
    std::printf("FAIL %s\n", what.c_str());
    std::fflush(stdout);
    return 1;
}

int Pass(const std::string& what) {
    std::printf("ok %s\n", what.c_str());
    std::fflush(stdout);
    return 0;
}

DWORD Num(const std::string& s) { return static_cast<DWORD>(std::strtoul(s.c_str(), nullptr, 0)); }

// Whether the icon (frame, 1024) is in the notification area: a modify that changes
// nothing succeeds only for an icon that is there.
bool IconPresent(HWND frame) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = frame;
    nid.uID = kTrayIconId;
    nid.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

struct FindTitle {
    const char* title;
    HWND found;
};

BOOL CALLBACK FindByTitle(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<FindTitle*>(lp);
    char text[256] = {};
    GetWindowTextA(w, text, sizeof(text));
    if (std::strcmp(text, f->title) == 0 && IsWindowVisible(w)) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND TopLevelTitled(const char* title) {
    FindTitle f{title, nullptr};
    EnumWindows(FindByTitle, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

struct FindWait {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindWaitWindow(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<FindWait*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof(cls));
    RECT r{};
    GetWindowRect(w, &r);
    if (pid == f->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && r.left == 0 &&
        r.top == 0 && (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

struct FindControl {
    int id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindById(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<FindControl*>(lp);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    if (GetDlgCtrlID(w) == f->id && _stricmp(cls, f->cls) == 0) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND Control(HWND frame, int id, const char* cls) {
    FindControl f{id, cls, nullptr};
    EnumChildWindows(frame, FindById, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

int ServeReceiver(const std::string& pipeName, DWORD ms, const std::string& eventName) {
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    if (stop == nullptr) return Fail("cannot create event " + eventName);
    HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND,
                                   PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return Fail("cannot create " + pipeName);
    // Non-blocking: ConnectNamedPipe reports a client by ERROR_PIPE_CONNECTED.
    const bool connected = Within(ms, [&] {
        if (ConnectNamedPipe(pipe, nullptr)) return true;
        return GetLastError() == ERROR_PIPE_CONNECTED;
    });
    if (!connected) {
        CloseHandle(pipe);
        return Fail("the program never opened the receiver " + pipeName);
    }
    Pass("receiver connected on " + pipeName);
    WaitForSingleObject(stop, INFINITE);
    DisconnectNamedPipe(pipe);
    CloseHandle(pipe);
    CloseHandle(stop);
    return Pass("receiver unplugged");
}

// The image name of a process and its parent's id, from one snapshot.
bool ProcessFacts(DWORD pid, std::string& image, DWORD& parent) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof(e);
    bool found = false;
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) {
        if (e.th32ProcessID != pid) continue;
        image = e.szExeFile;
        parent = e.th32ParentProcessID;
        found = true;
        break;
    }
    CloseHandle(snap);
    return found;
}

// "full" when the process holds an administrator's whole token, "limited" or "default".
std::string Elevation(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return "unknown";
    HANDLE token = nullptr;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    std::string result = "unknown";
    if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
        if (GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size)) {
            result = type == TokenElevationTypeFull      ? "full"
                     : type == TokenElevationTypeLimited ? "limited"
                                                         : "default";
        }
        CloseHandle(token);
    }
    CloseHandle(process);
    return result;
}

int Run(const std::vector<std::string>& a) {
    if (a.empty()) return Fail("no command");
    const std::string& c = a[0];
    auto arg = [&](size_t i) { return i < a.size() ? a[i] : std::string(); };

    if (c == "origin") {
        // Who started the running program, and with which token.
        HWND w = nullptr;
        if (!Within(Num(arg(1)), [&] { return (w = Frame()) != nullptr; })) {
            return Fail("no window of class Orbiscope.Remote");
        }
        DWORD pid = 0, parent = 0, grandparent = 0;
        GetWindowThreadProcessId(w, &pid);
        std::string image, parentImage = "?";
        if (!ProcessFacts(pid, image, parent)) return Fail("no such process");
        (void)ProcessFacts(parent, parentImage, grandparent);
        std::printf("origin parent=%s elevation=%s shell=%s\n", parentImage.c_str(),
                    Elevation(pid).c_str(), Elevation(parent).c_str());
        return Pass("origin");
    }
    if (c == "window") {
        HWND w = nullptr;
        if (!Within(Num(arg(1)), [&] { return (w = Frame()) != nullptr; })) {
            return Fail("no window of class Orbiscope.Remote");
        }
        char title[256] = {};
        GetWindowTextA(w, title, sizeof(title));
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        std::printf("window hwnd=%#llx title=\"%s\" visible=%d style=%08lx\n",
                    static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)), title,
                    IsWindowVisible(w) ? 1 : 0, static_cast<unsigned long>(style));
        if (std::strcmp(title, "Orbiscope Remote Settings") != 0) return Fail("title");
        if (GetAncestor(w, GA_PARENT) != GetDesktopWindow()) return Fail("not a top-level window");
        if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) return Fail("frame style");
        return Pass("window");
    }
    if (c == "hidden") {
        return Within(Num(arg(1)), [] { HWND w = Frame(); return w && !IsWindowVisible(w); })
                   ? Pass("hidden")
                   : Fail("the main window is not hidden");
    }
    if (c == "visible") {
        return Within(Num(arg(1)), [] { HWND w = Frame(); return w && IsWindowVisible(w); })
                   ? Pass("visible")
                   : Fail("the settings window did not show");
    }
    if (c == "gone") {
        return Within(Num(arg(1)), [] { return Frame() == nullptr; }) ? Pass("gone")
                                                                       : Fail("window still there");
    }
    if (c == "query") {
        const LRESULT expect = static_cast<LRESULT>(Num(arg(1)));
        LRESULT last = -1;
        const bool ok = Within(Num(arg(2)), [&] {
            DWORD_PTR result = 0;
            HWND w = Frame();
            if (w == nullptr ||
                !SendMessageTimeoutA(w, kQueryReceiver, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) {
                return false;
            }
            last = static_cast<LRESULT>(result);
            return last == expect;
        });
        std::printf("query answered %ld\n", static_cast<long>(last));
        return ok ? Pass("query") : Fail("query did not answer " + arg(1));
    }
    if (c == "post") {
        HWND w = Frame();
        if (w == nullptr) return Fail("no window");
        return PostMessageA(w, Num(arg(1)), Num(arg(2)), static_cast<LPARAM>(Num(arg(3))))
                   ? Pass("posted " + arg(1))
                   : Fail("post " + arg(1));
    }
    if (c == "send") {
        HWND w = Frame();
        if (w == nullptr) return Fail("no window");
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(w, Num(arg(1)), Num(arg(2)), static_cast<LPARAM>(Num(arg(3))),
                                 SMTO_ABORTIFHUNG, 10000, &result)) {
            return Fail("send " + arg(1));
        }
        std::printf("%lld\n", static_cast<long long>(result));
        return 0;
    }
    if (c == "menu") {
        HWND w = Frame();
        if (w == nullptr) return Fail("no window");
        const DWORD ms = Num(arg(2));
        PostMessageA(w, 0x500, kTrayIconId, WM_RBUTTONUP);
        HWND menu = nullptr;
        if (!Within(ms, [&] {
                menu = FindWindowA("#32768", nullptr);
                return menu != nullptr && IsWindowVisible(menu);
            })) {
            return Fail("no menu");
        }
        const std::string key = arg(1);
        const WORD vk = key == "esc" ? VK_ESCAPE : static_cast<WORD>(VkKeyScanA(key[0]) & 0xFF);
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        if (!Within(ms, [&] { return !IsWindow(menu) || !IsWindowVisible(menu); })) {
            return Fail("the menu stayed open");
        }
        return Pass("menu closed with " + key);
    }
    if (c == "dialog") {
        HWND d = nullptr;
        const std::string title = arg(1);
        if (!Within(Num(arg(2)), [&] { return (d = TopLevelTitled(title.c_str())) != nullptr; })) {
            return Fail("no window titled \"" + title + "\"");
        }
        if (!arg(3).empty()) {
            const int button = static_cast<int>(Num(arg(3)));
            HWND b = GetDlgItem(d, button);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(b));
            if (!Within(5000, [&] { return !IsWindow(d) || !IsWindowVisible(d); })) {
                return Fail("\"" + title + "\" did not close");
            }
        }
        return Pass("dialog \"" + title + "\"");
    }
    if (c == "no-dialog") {
        const std::string title = arg(1);
        return Within(Num(arg(2)), [&] { return TopLevelTitled(title.c_str()) != nullptr; })
                   ? Fail("unexpected window \"" + title + "\"")
                   : Pass("no \"" + title + "\"");
    }
    if (c == "icon") {
        const bool expect = Num(arg(1)) != 0;
        HWND w = arg(3).empty() ? Frame()
                                : reinterpret_cast<HWND>(static_cast<uintptr_t>(
                                      std::strtoull(arg(3).c_str(), nullptr, 0)));
        if (w == nullptr) return Fail("no window");
        return Within(Num(arg(2)), [&] { return IconPresent(w) == expect; })
                   ? Pass(expect ? "icon shown" : "icon absent")
                   : Fail(expect ? "icon missing" : "icon still there");
    }
    if (c == "wait-window") {
        const bool expect = Num(arg(1)) != 0;
        return Within(Num(arg(2)), [&] {
                   HWND frame = Frame();
                   if (frame == nullptr) return false;
                   FindWait f{0, nullptr};
                   GetWindowThreadProcessId(frame, &f.pid);
                   EnumWindows(FindWaitWindow, reinterpret_cast<LPARAM>(&f));
                   return (f.found != nullptr) == expect;
               })
                   ? Pass(expect ? "hardware-wait window open" : "no hardware-wait window")
                   : Fail(expect ? "no hardware-wait window" : "hardware-wait window still open");
    }
    if (c == "icon-delete") {
        NOTIFYICONDATAA nid{};
        nid.cbSize = sizeof(nid);
        nid.hWnd = Frame();
        nid.uID = kTrayIconId;
        return Shell_NotifyIconA(NIM_DELETE, &nid) ? Pass("icon deleted") : Fail("icon delete");
    }
    if (c == "taskbar-created") {
        const UINT m = RegisterWindowMessageA("TaskbarCreated");
        return PostMessageA(HWND_BROADCAST, m, 0, 0) ? Pass("broadcast") : Fail("broadcast");
    }
    if (c == "reg") {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return Fail("no settings key");
        }
        DWORD value = 0, size = sizeof(value), type = 0;
        const LONG r = RegQueryValueExA(key, arg(1).c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        if (r != ERROR_SUCCESS || type != REG_DWORD) return Fail("no value " + arg(1));
        std::printf("%lu\n", static_cast<unsigned long>(value));
        return 0;
    }
    if (c == "check") {
        HWND frame = Frame();
        HWND box = frame ? Control(frame, static_cast<int>(Num(arg(1))), "Button") : nullptr;
        if (box == nullptr) return Fail("no check box " + arg(1));
        const WPARAM state = Num(arg(2)) ? BST_CHECKED : BST_UNCHECKED;
        SendMessageA(box, BM_SETCHECK, state, 0);
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), BN_CLICKED),
                     reinterpret_cast<LPARAM>(box));
        return Pass("check " + arg(1) + "=" + arg(2));
    }
    if (c == "checked") {
        HWND frame = Frame();
        HWND box = frame ? Control(frame, static_cast<int>(Num(arg(1))), "Button") : nullptr;
        if (box == nullptr) return Fail("no check box " + arg(1));
        std::printf("%ld\n", static_cast<long>(SendMessageA(box, BM_GETCHECK, 0, 0)));
        return 0;
    }
    if (c == "form") {
        HWND frame = Frame();
        const int id = static_cast<int>(Num(arg(1)));
        HWND view = frame ? GetWindow(frame, GW_CHILD) : nullptr;
        HWND button = view ? GetDlgItem(view, id) : nullptr;
        if (button == nullptr) return Fail("no form button " + arg(1));
        // Posted: OK and Cancel may raise their own boxes, which must not block us.
        PostMessageA(view, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return Pass("form " + arg(1));
    }
    if (c == "click") {
        HWND frame = Frame();
        HWND button = frame ? Control(frame, static_cast<int>(Num(arg(1))), "Button") : nullptr;
        if (button == nullptr) return Fail("no button " + arg(1));
        PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return Pass("click " + arg(1));
    }
    if (c == "control") {
        HWND d = nullptr;
        const std::string title = arg(1);
        if (!Within(10000, [&] { return (d = TopLevelTitled(title.c_str())) != nullptr; }))
            return Fail("no window titled \"" + title + "\"");
        const int id = static_cast<int>(Num(arg(2)));
        HWND item = GetDlgItem(d, id);
        if (item == nullptr) return Fail("no control " + arg(2) + " in \"" + title + "\"");
        const std::string action = arg(3);
        if (action == "settext") {
            SetWindowTextA(item, arg(4).c_str());
            return Pass("text of " + arg(2) + " set");
        }
        if (action == "select") {
            SendMessageA(item, CB_SETCURSEL, Num(arg(4)), 0);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
            return Pass("item " + arg(4) + " of " + arg(2) + " chosen");
        }
        if (action == "row") {
            SendMessageA(item, LB_SETCURSEL, Num(arg(4)), 0);
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(item));
            return Pass("row " + arg(4) + " of " + arg(2) + " chosen");
        }
        if (action == "click") {
            PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
            return Pass("click " + arg(2));
        }
        if (action == "text") {
            char text[1024] = {};
            GetWindowTextA(item, text, sizeof(text));
            std::printf("%s\n", text);
            return 0;
        }
        if (action == "rows") {
            // The list is a Unicode window: its rows are read as such.
            const LRESULT n = SendMessageW(item, LB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < n; ++i) {
                wchar_t text[512] = {};
                if (SendMessageW(item, LB_GETTEXTLEN, i, 0) < 512)
                    SendMessageW(item, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
                char narrow[1024] = {};
                WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
                std::printf("%s\n", narrow);
            }
            return 0;
        }
        return Fail("unknown action " + action);
    }
    if (c == "receiver") return ServeReceiver(arg(1), Num(arg(2)), arg(3));
    if (c == "stop") {
        HANDLE e = OpenEventA(EVENT_MODIFY_STATE, FALSE, arg(1).c_str());
        if (e == nullptr) return Fail("no event " + arg(1));
        SetEvent(e);
        CloseHandle(e);
        return Pass("stop " + arg(1));
    }
    if (c == "count") {
        const int expect = static_cast<int>(Num(arg(1)));
        int n = 0;
        const bool ok = Within(Num(arg(2)), [&] {
            n = 0;
            HWND w = nullptr;
            while ((w = FindWindowExA(nullptr, w, kClass, nullptr)) != nullptr) ++n;
            return n == expect;
        });
        std::printf("%d windows of class %s\n", n, kClass);
        return ok ? Pass("count") : Fail("window count");
    }
    if (c == "page") {
        HWND frame = Frame();
        HWND tab = frame ? Control(frame, 0x3020, "SysTabControl32") : nullptr;
        if (tab == nullptr) return Fail("no settings sheet");
        SendMessageA(GetParent(tab), PSM_SETCURSEL, Num(arg(1)), 0);
        return Pass("page " + arg(1));
    }
    if (c == "keys") {
        const std::string title = arg(1);
        HWND w = nullptr;
        if (!Within(Num(arg(3)), [&] {
                w = TopLevelTitled(title.c_str());
                return w != nullptr && GetForegroundWindow() == w;
            })) {
            return Fail("\"" + title + "\" is not in front");
        }
        std::vector<WORD> held;
        WORD key = 0;
        std::string chord = arg(2);
        for (size_t start = 0; start <= chord.size();) {
            const size_t plus = chord.find('+', start);
            const std::string part = chord.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
            start = plus == std::string::npos ? chord.size() + 1 : plus + 1;
            if (part == "ctrl") held.push_back(VK_CONTROL);
            else if (part == "alt") held.push_back(VK_MENU);
            else if (part == "shift") held.push_back(VK_SHIFT);
            else if (part == "enter") key = VK_RETURN;
            else if (part == "esc") key = VK_ESCAPE;
            else if (part == "tab") key = VK_TAB;
            else if (part.size() == 1) key = static_cast<WORD>(VkKeyScanA(part[0]) & 0xFF);
            else return Fail("unknown key " + part);
        }
        std::vector<INPUT> in;
        auto push = [&](WORD vk, bool up) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = vk;
            i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
            i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            in.push_back(i);
        };
        for (WORD m : held) push(m, false);
        push(key, false);
        push(key, true);
        for (auto m = held.rbegin(); m != held.rend(); ++m) push(*m, true);
        const UINT sent = SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
        return sent == in.size() ? Pass("keys " + chord) : Fail("SendInput sent " + std::to_string(sent));
    }
    if (c == "text") {
        const std::string title = arg(1), expect = arg(3);
        std::string got;
        const bool ok = Within(Num(arg(4)), [&] {
            HWND w = TopLevelTitled(title.c_str());
            HWND item = w ? GetDlgItem(w, static_cast<int>(Num(arg(2)))) : nullptr;
            if (item == nullptr) return false;
            // Asked of the control itself: an edit keeps its text apart from the window's
            // own, which is all GetWindowText reads in another process.
            wchar_t text[1024] = {};
            DWORD_PTR copied = 0;
            SendMessageTimeoutW(item, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 2000, &copied);
            char utf8[4096] = {};
            WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
            got = utf8;
            return got.find(expect) != std::string::npos;
        });
        std::printf("%s\n", got.c_str());
        return ok ? Pass("text of " + arg(2)) : Fail("text of " + arg(2) + " lacks \"" + expect + "\"");
    }
    if (c == "choose") {
        HWND w = TopLevelTitled(arg(1).c_str());
        const int id = static_cast<int>(Num(arg(2)));
        HWND combo = w ? GetDlgItem(w, id) : nullptr;
        if (combo == nullptr) return Fail("no combo box " + arg(2));
        // The dialog's items are Unicode: asked for in Unicode, they cross over whole.
        wchar_t start[512] = {};
        MultiByteToWideChar(CP_UTF8, 0, arg(3).c_str(), -1, start, 512);
        const LRESULT at = SendMessageW(combo, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(start));
        if (at == CB_ERR) {
            const LRESULT n = SendMessageW(combo, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < n; ++i) {
                wchar_t item[512] = {};
                char utf8[1536] = {};
                if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 512)
                    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                WideCharToMultiByte(CP_UTF8, 0, item, -1, utf8, sizeof utf8, nullptr, nullptr);
                std::printf("item %ld: %s\n", static_cast<long>(i), utf8);
            }
            return Fail("no item starting with \"" + arg(3) + "\"");
        }
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return Pass("chose item " + std::to_string(at));
    }
    if (c == "sleep") {
        Sleep(Num(arg(1)));
        return 0;
    }
    return Fail("unknown command " + c);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    return Run(a);
}
