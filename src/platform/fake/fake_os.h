// In-memory stand-ins for the operating system, for the tests. They simulate rather
// than record: windows have titles, classes, owners and a z-order, keys have a state.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ports.h"

class FakeClock : public Clock {
public:
    uint32_t now = 0;
    uint32_t TickCount() override { return now; }
    // Sleeping advances the fake time at once.
    void Sleep(uint32_t ms) override {
        now += ms;
        sleeps.push_back(ms);
    }
    void Advance(uint32_t ms) { now += ms; }
    std::vector<uint32_t> sleeps;
};

// Records every batch, keeps the state of each key, and can be told to insert only
// part of a batch (as the system does when input is blocked).
class FakeInput : public InputInjector {
public:
    uint32_t Inject(const std::vector<InputEvent>& batch) override;

    std::vector<std::vector<InputEvent>> batches;
    // Events from here on are dropped; <0: insert everything.
    int32_t acceptLimit = -1;
    bool keyDown[256] = {};
    // Where each mouse event happened (the cursor position of the desktop, if set).
    std::vector<Point> clickPoints;
    Desktop* desktop = nullptr;

    std::vector<InputEvent> AllEvents() const;
    // The virtual keys of every key-down event, in order.
    std::vector<uint16_t> KeysDown() const;
    void Clear() { batches.clear(); clickPoints.clear(); }
};

struct FakeWindow {
    WindowHandle handle = 0;
    WindowHandle parent = 0;  // 0: top-level
    std::string title;
    std::string className;
    ProcessId pid = 0;
    ThreadId thread = 0;
    uint32_t style = 0x10000000;  // WS_VISIBLE
    Rect rect{0, 0, 100, 100};
    bool minimized = false;
    bool hung = false;  // SendMessage* with abort-if-hung gives up
    // Answers no message, not yet reported hung: a bounded send waits out its time on
    // the clock, then gives up.
    bool busy = false;
    std::string desktopName = "Default";
};

struct FakeMessage {
    WindowHandle window = 0;  // 0 for thread messages
    ThreadId thread = 0;
    MessageId message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    bool sent = false;
    bool operator==(const FakeMessage& o) const {
        return window == o.window && thread == o.thread && message == o.message &&
               wParam == o.wParam && lParam == o.lParam && sent == o.sent;
    }
};

class FakeDesktop : public Desktop {
public:
    FakeDesktop();

    // Adds a window at the top of the z-order (top-level) or as the last child of its
    // parent; returns its handle.
    WindowHandle Add(FakeWindow w);
    FakeWindow* Find(WindowHandle w);
    void Remove(WindowHandle w);
    void BringToTop(WindowHandle w);
    // The messages posted or sent to one window, in order.
    std::vector<FakeMessage> MessagesTo(WindowHandle w) const;

    WindowHandle foreground = 0;
    Point cursor{500, 400};
    Point screen{1024, 768};
    ThreadId currentThread = 1;
    std::vector<FakeMessage> messages;
    std::vector<std::string> calls;  // activation and attachment calls, in order
    int32_t attachBalance = 0;       // attaches minus detaches
    std::function<LResult(const FakeMessage&)> onSend;
    std::map<std::string, MessageId> registered;
    bool refuseForeground = false;
    int32_t desktopOpenFailures = 0;
    std::vector<std::string> openedDesktops;

    WindowHandle ForegroundWindow() override { return foreground; }
    WindowHandle DesktopWindow() override { return kDesktopHandle; }
    bool WindowText(WindowHandle w, size_t bufferChars, std::string& out) override;
    std::string ClassName(WindowHandle w, size_t bufferChars) override;
    ProcessId WindowProcess(WindowHandle w) override;
    ThreadId WindowThread(WindowHandle w) override;
    uint32_t WindowStyle(WindowHandle w) override;
    bool IsVisible(WindowHandle w) override;
    bool WindowRect(WindowHandle w, Rect& out) override;
    bool WindowExists(WindowHandle w) override { return Find(w) != nullptr; }
    std::vector<WindowHandle> TopLevelWindows() override;
    std::vector<WindowHandle> Descendants(WindowHandle parent) override;
    WindowHandle FirstChild(WindowHandle parent) override;
    WindowHandle NextSibling(WindowHandle w) override;
    WindowHandle FindTopLevelByClass(const std::string& className) override;
    std::optional<std::vector<WindowHandle>> DesktopWindows(const std::string& name,
                                                             uint32_t access) override;
    bool Post(WindowHandle w, MessageId m, WParam wp, LParam lp) override;
    bool PostToThread(ThreadId t, MessageId m, WParam wp, LParam lp) override;
    LResult Send(WindowHandle w, MessageId m, WParam wp, LParam lp) override;
    bool SendAbortIfHung(WindowHandle w, MessageId m, WParam wp, LParam lp,
                                uint32_t timeoutMs, LResult* result) override;
    MessageId RegisterMessage(const std::string& name) override;
    ThreadId CurrentThread() override { return currentThread; }
    bool AttachThreadInput(ThreadId from, ThreadId to, bool attach) override;
    bool SetForegroundWindow(WindowHandle w) override;
    bool ShowWindow(WindowHandle w, int32_t command) override;
    WindowHandle SetFocus(WindowHandle w) override;
    Point CursorPos() override { return cursor; }
    bool SetCursorPos(int32_t x, int32_t y) override;
    Point ScreenSize() override { return screen; }
    std::string LowerCase(const std::string& text) override;
    std::string AnsiToUtf8(const std::string& text) override;

    std::vector<Point> cursorMoves;
    WindowHandle focus = 0;
    static constexpr WindowHandle kDesktopHandle = 0x10010;

private:
    std::vector<FakeWindow> windows_;  // z-order: front first
    WindowHandle next_ = 0x1000;
    MessageId nextMessage_ = 0xC000;
};

class FakeProcessList : public ProcessList {
public:
    std::vector<ProcessEntry> processes;
    bool snapshotFails = false;
    bool imageNameWorks = true;
    int32_t snapshots = 0;  // number of Snapshot calls
    int32_t lookups = 0;    // number of ImageName calls
    std::vector<std::pair<ProcessId, uint32_t>> terminated;
    ProcessId self = 0;  // this program's own process id
    std::map<ProcessId, Elevation> elevation;  // NotElevated for any other
    std::map<ProcessId, uint64_t> startTimes;  // 1 for any other
    int32_t elevationQueries = 0;

    // Adds a process; returns its id.
    ProcessId Add(const std::string& exeFile);

    bool Snapshot(std::vector<ProcessEntry>& out) override;
    bool ImageName(ProcessId pid, std::string& out) override;
    bool Terminate(ProcessId pid, uint32_t exitCode) override;
    ProcessId CurrentProcess() override { return self; }
    Elevation ProcessElevation(ProcessId pid) override {
        ++elevationQueries;
        const auto it = elevation.find(pid);
        return it == elevation.end() ? Elevation::NotElevated : it->second;
    }
    uint64_t ProcessStartTime(ProcessId pid) override {
        const auto it = startTimes.find(pid);
        return it == startTimes.end() ? 1 : it->second;
    }

private:
    ProcessId next_ = 100;
};

// Message boxes and dialogs answer as the test scripts them; timers are recorded.
class FakeUserInterface : public UserInterface {
public:
    struct Box {
        WindowHandle owner;
        std::string text;
        std::string caption;
        uint32_t flags;
    };
    std::vector<Box> boxes;
    std::vector<int32_t> boxAnswers;  // answered in order; kIdOk (or kIdYes) once empty
    std::vector<std::string> unsupportedShown;
    UnsupportedAnswer unsupportedAnswer;
    std::map<uintptr_t, uint32_t> timers;  // running timers: id -> period
    std::vector<std::string> timerCalls;
    bool timersFail = false;
    // Run while a box or the warning is open (what happens meanwhile, e.g. presses).
    std::function<void()> whileBoxOpen;
    std::function<void()> whileUnsupportedOpen;
    // The warning stays open until CloseUnsupportedDialog, as a user who never answers.
    bool unsupportedWaitsForClose = false;
    std::atomic<int32_t> unsupportedOpen{0};
    std::atomic<int32_t> unsupportedCloses{0};

    int32_t ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           uint32_t flags) override {
        boxes.push_back(Box{owner, text, caption, flags});
        if (whileBoxOpen) whileBoxOpen();
        if (boxAnswers.empty()) return (flags & 0xF) == kMbYesNo ? kIdYes : kIdOk;
        const int32_t answer = boxAnswers.front();
        boxAnswers.erase(boxAnswers.begin());
        return answer;
    }
    UnsupportedAnswer ShowUnsupportedDialog(const std::string& message) override {
        unsupportedShown.push_back(message);
        if (whileUnsupportedOpen) whileUnsupportedOpen();
        if (unsupportedWaitsForClose) {
            std::unique_lock<std::mutex> hold(closeLock_);
            ++unsupportedOpen;
            closed_.wait(hold, [&] { return closeAsked_; });
            closeAsked_ = false;
            --unsupportedOpen;
            return UnsupportedAnswer{};
        }
        return unsupportedAnswer;
    }
    void CloseUnsupportedDialog() override {
        std::lock_guard<std::mutex> hold(closeLock_);
        ++unsupportedCloses;
        if (unsupportedOpen.load() == 0) return;
        closeAsked_ = true;
        closed_.notify_all();
    }
    bool SetTimer(WindowHandle, uintptr_t id, uint32_t ms) override {
        timerCalls.push_back("set " + std::to_string(id));
        if (timersFail) return false;
        timers[id] = ms;
        return true;
    }
    bool KillTimer(WindowHandle, uintptr_t id) override {
        timerCalls.push_back("kill " + std::to_string(id));
        return timers.erase(id) != 0;
    }
    // Nothing is ever sent to a fake window by another thread: a plain sleep.
    void WaitServingSentMessages(uint32_t ms) override;

private:
    std::mutex closeLock_;
    std::condition_variable closed_;
    bool closeAsked_ = false;
};
