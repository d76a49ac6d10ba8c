#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "profiles/catalogue.h"
#include "receiver/remote_button.h"
#include "desktop/window_queries.h"
#include "wine_support.h"

namespace {

// The helper program copied under another file name into a directory of its own and
// started with a window title; ended (and its copy removed) at the end of the test.
class HelperProcess {
public:
    HelperProcess(const std::string& exeName, const std::string& title) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        static int serial = 0;
        dir_ = std::string(temp) + "orbwin" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(++serial);
        CreateDirectoryA(dir_.c_str(), nullptr);
        path_ = dir_ + "\\" + exeName;
        const std::string source = TestProgramDirectory() + "\\windows_helper.exe";
        if (!CopyFileA(source.c_str(), path_.c_str(), FALSE)) return;
        std::string commandLine = "\"" + path_ + "\" " + title;
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        if (!CreateProcessA(path_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            dir_.c_str(), &si, &info_)) {
            info_ = PROCESS_INFORMATION{};
            return;
        }
        PumpUntil([&] {
            window_ = FindWindowA("OrbiscopeWindowsHelper", title.c_str());
            return window_ != nullptr;
        }, 10000);
    }
    ~HelperProcess() {
        if (info_.hProcess != nullptr) {
            if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) {
                TerminateProcess(info_.hProcess, 1);  // our own child, by its handle
                WaitForSingleObject(info_.hProcess, 5000);
            }
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
        }
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    HWND hwnd() const { return window_; }
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }
    DWORD pid() const { return info_.dwProcessId; }

private:
    std::string dir_, path_;
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
};

// The real process list, counting its calls; told to, it pretends the cheap lookup is
// unavailable so that every question walks the list.
class CountingProcessList : public ProcessList {
public:
    int walks = 0, lookups = 0;
    bool lookupWorks = true;
    bool Snapshot(std::vector<ProcessEntry>& out) override {
        ++walks;
        return Win32ProcessList().Snapshot(out);
    }
    bool ImageName(ProcessId pid, std::string& out) override {
        ++lookups;
        return lookupWorks && Win32ProcessList().ImageName(pid, out);
    }
    bool Terminate(ProcessId, uint32_t) override { return false; }
    ProcessId CurrentProcess() override { return Win32ProcessList().CurrentProcess(); }
    Elevation ProcessElevation(ProcessId pid) override {
        return Win32ProcessList().ProcessElevation(pid);
    }
    uint64_t ProcessStartTime(ProcessId pid) override {
        return Win32ProcessList().ProcessStartTime(pid);
    }
};

size_t IndexIn(const std::vector<WindowHandle>& list, HWND h) {
    return static_cast<size_t>(
        std::find(list.begin(), list.end(), reinterpret_cast<WindowHandle>(h)) - list.begin());
}

TEST(WindowsAdapter, TopLevelWindowsComeTopmostFirst) {
    ScopedPlatform real(RealPlatform());
    TestWindow a("Order A"), b("Order B"), c("Order C");
    for (HWND h : {c.hwnd(), b.hwnd(), a.hwnd()}) {
        SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    PumpMessages(50);
    const auto order = Win32Desktop().TopLevelWindows();
    const size_t ia = IndexIn(order, a.hwnd()), ib = IndexIn(order, b.hwnd()),
                 ic = IndexIn(order, c.hwnd());
    ASSERT_LT(ic, order.size());
    EXPECT_LT(ia, ib);
    EXPECT_LT(ib, ic);
    EXPECT_EQ(FindWindowByTitlePart("Order B"), b.handle());
}

TEST(WindowsAdapter, TitleSearchPrefersATopLevelWindowOverAChild) {
    ScopedPlatform real(RealPlatform());
    TestWindow host("Search host"), lower("Search target, top level");
    HWND child = CreateWindowExA(0, "STATIC", "Search target, child", WS_CHILD | WS_VISIBLE, 5, 5,
                                 100, 20, host.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    SetWindowPos(lower.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(host.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PumpMessages(50);
    EXPECT_EQ(FindWindowByTitlePart("Search target"), lower.handle());
    EXPECT_EQ(FindWindowByTitlePart("Search target, child"), reinterpret_cast<WindowHandle>(child));
    EXPECT_EQ(FindDescendantByTitleAndClass(host.handle(), "Static", "Search target, child"),
              reinterpret_cast<WindowHandle>(child));
    EXPECT_EQ(FindDescendantByTitleAndClass(host.handle(), "Button", "Search target, child"), 0u);
}

TEST(WindowsAdapter, ProcessNameOfAHelperUnderACataloguedName) {
    ScopedPlatform real(RealPlatform());
    HelperProcess vlc("vlc.exe", "Helper as vlc");
    ASSERT_NE(vlc.hwnd(), nullptr);
    EXPECT_EQ(ProcessNameOfWindow(vlc.handle()), "vlc.exe");
    EXPECT_TRUE(WindowProcessIs(vlc.handle(), "vlc.exe"));
    EXPECT_EQ(WindowSearchMatch(vlc.handle()), 80);

    // The same answer from the process-list walk.
    CountingProcessList walking;
    walking.lookupWorks = false;
    Platform p = RealPlatform();
    p.processes = &walking;
    ScopedPlatform walkOnly(p);
    EXPECT_EQ(ProcessNameOfWindow(vlc.handle()), "vlc.exe");
    EXPECT_EQ(walking.walks, 1);
}

TEST(WindowsAdapter, ProcessNameKeepsTheCaseOfTheFile) {
    ScopedPlatform real(RealPlatform());
    HelperProcess player("MPlayer2.EXE", "Helper as MPlayer2");
    ASSERT_NE(player.hwnd(), nullptr);
    EXPECT_EQ(ProcessNameOfWindow(player.handle()), "MPlayer2.EXE");
    EXPECT_TRUE(WindowProcessIs(player.handle(), "mplayer2.exe"));
    EXPECT_EQ(WindowSearchMatch(player.handle()), 127);
}

TEST(WindowsAdapter, MinimisedWindowOfAnotherProgramIsRestoredAndActivated) {
    ScopedPlatform real(RealPlatform());
    HelperProcess helper("helper.exe", "Helper to raise");
    ASSERT_NE(helper.hwnd(), nullptr);
    TestWindow front("Window in front");
    ASSERT_TRUE(front.MakeForeground());
    ShowWindow(helper.hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(helper.hwnd()) != FALSE; }));

    BringWindowToFront(helper.handle());
    EXPECT_TRUE(PumpUntil([&] {
        return GetForegroundWindow() == helper.hwnd() && IsIconic(helper.hwnd()) == FALSE;
    }));
    // Nothing is left attached: a second detach finds no attachment to undo.
    const DWORD helperThread = GetWindowThreadProcessId(helper.hwnd(), nullptr);
    EXPECT_FALSE(AttachThreadInput(helperThread, GetCurrentThreadId(), FALSE));
}

TEST(WindowsAdapter, MinimisedOwnWindowIsRestoredAndActivated) {
    ScopedPlatform real(RealPlatform());
    TestWindow behind("Own window behind"), front("Own window in front");
    ASSERT_TRUE(front.MakeForeground());
    ShowWindow(behind.hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(behind.hwnd()) != FALSE; }));
    BringWindowToFront(behind.handle());
    EXPECT_TRUE(PumpUntil([&] {
        return GetForegroundWindow() == behind.hwnd() && IsIconic(behind.hwnd()) == FALSE;
    }));
}

TEST(WindowsAdapter, AutoSwitchRaisesASupportedProgramBehindAnUnsupportedOne) {
    ScopedPlatform real(RealPlatform());
    HelperProcess vlc("vlc.exe", "Helper vlc behind");
    ASSERT_NE(vlc.hwnd(), nullptr);
    TestWindow front("Unsupported program");
    ASSERT_TRUE(front.MakeForeground());
    ShowWindow(vlc.hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(vlc.hwnd()) != FALSE; }));
    // The test program itself is not catalogued; its window in front is not supported.
    ASSERT_FALSE(ForegroundIsSupported());
    AutoSwitch();
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == vlc.hwnd(); }));
    EXPECT_TRUE(ForegroundIsSupported());
    EXPECT_EQ(ForegroundCatalogueRow(), 80);
}

TEST(WindowsAdapter, PostsArriveInOurWindowAndInAnotherProgram) {
    ScopedPlatform real(RealPlatform());
    TestWindow own("Post target");
    EXPECT_TRUE(Win32Desktop().Post(own.handle(), WM_APP + 2, 7, 9));
    ASSERT_TRUE(PumpUntil([&] { return !own.Received(WM_APP + 2).empty(); }));
    EXPECT_EQ(own.Received(WM_APP + 2)[0].wParam, 7u);
    EXPECT_EQ(own.Received(WM_APP + 2)[0].lParam, 9);

    HelperProcess helper("helper.exe", "Helper post target");
    ASSERT_NE(helper.hwnd(), nullptr);
    EXPECT_TRUE(Win32Desktop().Post(helper.handle(), WM_APP + 1, 42, 0));
    EXPECT_TRUE(PumpUntil([&] { return WindowTitle(helper.handle()) == "received 42"; }));
}

TEST(WindowsAdapter, PostToNoWindowFailsAndQueuesNothing) {
    MSG stale;
    while (PeekMessageA(&stale, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) {
    }
    EXPECT_FALSE(Win32Desktop().Post(0, WM_APP + 3, 1, 0));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), WM_APP + 3, WM_APP + 3, PM_REMOVE));
}

TEST(WindowsAdapter, CooperatingFlagsAreReadFromARealTitle) {
    ScopedPlatform real(RealPlatform());
    TestWindow coop("Remote ORBISCOPE#03 -F -P");
    ASSERT_TRUE(coop.MakeForeground());
    EXPECT_TRUE(ForegroundIsCooperating());
    EXPECT_TRUE(FavoritesFlag());
    EXPECT_TRUE(PowerFlag());
    EXPECT_FALSE(NoMouseFlag());
    EXPECT_EQ(ForegroundCatalogueRow(), 1);
    EXPECT_EQ(CooperatingKeyHandler(Play), 1);
    ASSERT_TRUE(PumpUntil([&] { return !coop.Received(WM_KEYUP).empty(); }));
    EXPECT_EQ(coop.Received(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('P'));

    SetWindowTextA(coop.hwnd(), "Orbiscope# remote +FG");
    EXPECT_EQ(CooperatingWindowAskingForFront(), coop.handle());
    EXPECT_EQ(LowerAnsi("NOTEPAD.EXE"), "notepad.exe");
}

// What the most expensive press costs against the real system: printed, for the
// record; the counts show whether a question walked the process list.
TEST(WindowsAdapter, MeasureAnUnsupportedPress) {
    std::vector<std::unique_ptr<TestWindow>> windows;
    for (int i = 0; i < 40; ++i) {
        const std::string title = "Document " + std::to_string(i) + " - Editor";
        windows.push_back(std::make_unique<TestWindow>(title.c_str(), "OrbiscopeTestWindow",
                                                       20 + i * 5, 20 + i * 5, 200, 120));
    }
    ASSERT_TRUE(windows.back()->MakeForeground());
    for (const bool lookup : {true, false}) {
        CountingProcessList counting;
        counting.lookupWorks = lookup;
        Platform p = RealPlatform();
        p.processes = &counting;
        ScopedPlatform scope(p);
        const int kPresses = lookup ? 10 : 1;
        const DWORD start = GetTickCount();
        for (int i = 0; i < kPresses; ++i) {
            AutoSwitch();
            EXPECT_EQ(ForegroundCatalogueRow(), -1);
        }
        const DWORD elapsed = GetTickCount() - start;
        std::printf("unsupported press, %s: %d top-level windows, %.1f walks and %.1f lookups "
                    "per press, %.1f ms per press\n",
                    lookup ? "image-name lookup" : "process-list walk only",
                    static_cast<int>(Win32Desktop().TopLevelWindows().size()),
                    counting.walks / static_cast<double>(kPresses),
                    counting.lookups / static_cast<double>(kPresses),
                    elapsed / static_cast<double>(kPresses));
        EXPECT_EQ(GetForegroundWindow(), windows.back()->hwnd());
        EXPECT_GT(counting.lookups, 0);
        if (!lookup) {
            EXPECT_EQ(counting.walks, counting.lookups);
        }
    }
}

// Our own process stands level with us and has its start time; a process that does not
// exist cannot be asked.
TEST(WindowsAdapter, ElevationOfAProcessComparedWithOurs) {
    ProcessList& processes = Win32ProcessList();
    EXPECT_EQ(processes.ProcessElevation(GetCurrentProcessId()), Elevation::NotElevated);
    EXPECT_EQ(processes.ProcessElevation(0xFFFFFFF0u), Elevation::Unknown);
    FILETIME created{}, exited{}, kernel{}, user{};
    ASSERT_TRUE(GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user));
    EXPECT_EQ(processes.ProcessStartTime(GetCurrentProcessId()),
              (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
    EXPECT_EQ(processes.ProcessStartTime(0xFFFFFFF0u), 0u);
}

}  // namespace
