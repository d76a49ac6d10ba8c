// Runs the scenarios in tests/scenarios/*.press: each file sets up the windows in front
// and behind and the settings, presses buttons and waits, and lists after each line what
// the trace shows for it. Every run starts from the program's defaults. Each line's
// expectations are checked against what that line produced, so a line that comes a step
// early or late fails; a file the runner cannot read fails at its line, before it runs.
//
//   # a comment
//   front notepad.exe "Untitled - Notepad" Notepad   the window in front (class optional),
//   behind girder.exe "" Orbiscope.Girder            a window behind it; either may end in
//   behind vlc.exe "VLC" QWidget minimized           "minimized", "hidden" or
//   behind aolmn.exe "AOL" at 20 30 420 530          "at left top right bottom"
//   control "Play" Button at 200 100 230 120         a control in the last window above
//   window "Winamp" stops answering                  sends to it wait out their bound
//   window "Winamp" answers again                    (the window named by its title)
//   set ShowUnsupportedDlg 0                         a settings value by its registry name
//   set Favorite2 "missing.exe"                      (a favourite's text too)
//   no settings                                      no settings record exists yet
//   cursor 300 200                                   the mouse pointer
//   sound output at 50%                              a sound output at that level (without
//                                                    one the level cannot be read)
//   it runs as administrator                         the program in front (or: it cannot be
//                                                    asked; it has just exited; it is this
//                                                    program, Orbiscope Remote itself)
//   system version 5.1                               the Windows version (or: unknown)
//   timers fail                                      the system sets no more timers
//   the next launch fails                            the next program or file opened is
//                                                    not found
//   answer the warning with OK ticked                how the unsupported-program warning is
//                                                    closed from now on: OK or Close, with
//                                                    "do not show again" ticked or not
//   press Play                                       one new press (the other variant than
//   press Play variant 1                             the press before, or the one named)
//   hold Up 400ms                                    frames every 114 ms for that long
//   hold Up 12 frames                                or for that many frames (a variant too)
//   repeat Play                                      one more frame of the press before
//   clock 0xFFFFFF00                                 the system's tick count now
//   wait 1.5s                                        time passes (ms or s); the main
//                                                    window's timers that fall due
//                                                    meanwhile run (in a hold too)
//   look at the front window                         what the user sees now: the window in
//   look at the focus                                front, the control with the focus,
//   look at the cursor                               the mouse pointer, the input the last
//   look at the keys                                 press or wait sent with scan codes,
//   look at the sound                                the output's level and mute, what the
//   look at the power                                last press or wait asked of the power
//                                                    service
//   > Play variant 1: new press, accepted | ...      a trace line of the line above it,
//                                                    without its times
//   > took 1000 ms                                   a press that held the remote that long
//   > letter-entry timer: key B                      what a timer did as it ran
//   > notice: ...                                    a balloon the press raised
//   > warning: ...                                   the unsupported-program warning's text
//   > box "Error": ...                               a message box's caption and text
//   > in front: vlc.exe "VLC media player"           (and the other lines "look" gives)
//   profile user vlc.toml                            a profile file (user or shipped), its
//   | [program]                                      lines each after "|"; "load profiles"
//   load profiles                                    puts the files given so far in force
//   > profile problem: user profile vlc.toml:3: ...  (or "load profiles as administrator")
//   profile shipped mpv.toml from resources          the file the setup installs, as it is
//                                                    in resources/profiles
//
// A word the runner does not know, a number or duration with anything after it, a hold
// without its length or a quote left open fails the file with its line number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/power.h"
#include "fake_env.h"
#include "platform/fake/fake_volume.h"
#include "platform/vk.h"
#include "profiles/profile_files.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "state/key_names.h"
#include "state/messages.h"
#include "state/notices.h"
#include "state/settings.h"
#include "state/trace.h"
#include "ui/shell.h"
#include "volume/volume.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string>* g_seen = nullptr;
void SeeLine(const std::string& line) {
    // The time of day and the final timing vary; the route between them is the story.
    const size_t first = line.find(" | ");
    const size_t last = line.rfind(" | ");
    g_seen->push_back(first == std::string::npos || last == first
                          ? "(malformed) " + line
                          : line.substr(first + 3, last - first - 3));
}
void SeeNotice(const std::string& text) { g_seen->push_back("notice: " + text); }
uint64_t g_micros = 0;
uint64_t StepMicros() { return g_micros += 500; }

// The build names the folder; a test run from anywhere finds it.
fs::path ScenarioDir() { return fs::path(ORB_SCENARIO_DIR); }

std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    if (!fs::is_directory(ScenarioDir())) return names;
    for (const auto& e : fs::directory_iterator(ScenarioDir()))
        if (e.path().extension() == ".press") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

using Words = std::vector<std::string>;

// The words of a line; "quoted text" is one word, and ends where its word ends.
std::optional<Words> SplitWords(const std::string& line, std::string& why) {
    Words words;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) return words;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos) {
                why = "a quote is not closed";
                return std::nullopt;
            }
            if (close + 1 < line.size() && line[close + 1] != ' ') {
                why = "no space after the quoted \"" + line.substr(i + 1, close - i - 1) + "\"";
                return std::nullopt;
            }
            words.push_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            const size_t end = std::min(line.find(' ', i), line.size());
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
}

// The whole word as a number within [low, high], decimal or 0x hexadecimal.
std::optional<int64_t> Number(const std::string& word, int64_t low, int64_t high) {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* first = word.data() + (hex ? 2 : 0);
    const char* last = word.data() + word.size();
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc() || end != last || value < low || value > high)
        return std::nullopt;
    return value;
}

// "250ms", "5s" or "1.5s" (at most three decimals), in milliseconds.
std::optional<uint32_t> Duration(const std::string& word) {
    constexpr int64_t kDay = 24 * 3600 * 1000;
    if (word.size() > 2 && word.compare(word.size() - 2, 2, "ms") == 0) {
        const auto ms = Number(word.substr(0, word.size() - 2), 0, kDay);
        if (!ms) return std::nullopt;
        return static_cast<uint32_t>(*ms);
    }
    if (word.size() < 2 || word.back() != 's') return std::nullopt;
    const std::string number = word.substr(0, word.size() - 1);
    const size_t dot = number.find('.');
    const std::string whole = number.substr(0, dot);
    const std::string part = dot == std::string::npos ? "" : number.substr(dot + 1);
    if (dot != std::string::npos && (part.empty() || part.size() > 3)) return std::nullopt;
    if (whole.find_first_not_of("0123456789") != std::string::npos ||
        part.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto seconds = Number(whole, 0, kDay / 1000);
    if (!seconds) return std::nullopt;
    int64_t ms = *seconds * 1000;
    if (!part.empty())
        ms += *Number(part, 0, 999) * (part.size() == 1 ? 100 : part.size() == 2 ? 10 : 1);
    return static_cast<uint32_t>(ms);
}

// The lines of both, the ones only expected marked "-", the ones only seen "+": the
// longest run they share stays in place, so one missing line shows as one.
std::string Diff(const std::vector<std::string>& want, const std::vector<std::string>& got) {
    const size_t n = want.size(), m = got.size();
    std::vector<std::vector<size_t>> common(n + 1, std::vector<size_t>(m + 1, 0));
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            common[i][j] = want[i] == got[j] ? common[i + 1][j + 1] + 1
                                             : std::max(common[i + 1][j], common[i][j + 1]);
    std::string out;
    size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && want[i] == got[j]) {
            out += "  " + want[i++] + "\n";
            ++j;
        } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
            out += "+ " + got[j++] + "\n";
        } else {
            out += "- " + want[i++] + "\n";
        }
    }
    return out;
}

// Input that remembers when each batch came, for the keys' timing.
class TimedInput : public FakeInput {
public:
    uint32_t Inject(const std::vector<InputEvent>& batch) override {
        times.push_back(clock != nullptr ? clock->now : 0);
        return FakeInput::Inject(batch);
    }
    FakeClock* clock = nullptr;
    std::vector<uint32_t> times;  // one per batch
};

// Timers that fall due as the fake time passes, as WM_TIMER would reach their window.
class TimedUserInterface : public FakeUserInterface {
public:
    struct Due {
        WindowHandle window;
        uint32_t period;
        uint32_t at;
    };
    bool SetTimer(WindowHandle w, uintptr_t id, uint32_t ms) override {
        if (!FakeUserInterface::SetTimer(w, id, ms)) return false;
        // The system rounds a shorter period up to 10 ms.
        const uint32_t period = ms < 10 ? 10 : ms;
        due[id] = Due{w, period, clock->now + period};
        return true;
    }
    bool KillTimer(WindowHandle w, uintptr_t id) override {
        due.erase(id);
        return FakeUserInterface::KillTimer(w, id);
    }
    FakeClock* clock = nullptr;
    std::map<uintptr_t, Due> due;
};

const char* TimerName(uintptr_t id) {
    switch (id) {
        case kFocusPollTimer: return "focus-poll timer";
        case kShowSettingsTimer: return "show-settings timer";
        case kLetterEntryTimer: return "letter-entry timer";
        case kTrayRestoreTimer: return "tray-restore timer";
        default: return "timer";
    }
}

std::string Hex2(uint32_t v) {
    std::ostringstream out;
    out << "0x" << std::uppercase << std::hex << (v < 0x10 ? "0" : "") << v;
    return out.str();
}

// One keyboard event with what the trace leaves out: its scan code and extended flag. A
// key pressed and released alike in one batch is named once.
std::string DescribeKeys(const std::vector<InputEvent>& batch) {
    std::string out;
    for (size_t i = 0; i < batch.size(); ++i) {
        const InputEvent& e = batch[i];
        if (!out.empty()) out += ", ";
        if (e.kind != InputEvent::Keyboard) {
            out += "mouse";
            continue;
        }
        const bool up = (e.flags & kKeyUp) != 0;
        const bool tapped = !up && i + 1 < batch.size() && batch[i + 1].kind == e.kind &&
                            batch[i + 1].virtualKey == e.virtualKey &&
                            batch[i + 1].scanCode == e.scanCode &&
                            batch[i + 1].flags == (e.flags | kKeyUp);
        out += KeyName(e.virtualKey);
        if (!tapped) out += up ? " up" : " down";
        if (e.scanCode != 0 || (e.flags & kKeyExtended) != 0) {
            out += " (";
            if (e.scanCode != 0) out += "scan " + Hex2(e.scanCode);
            if ((e.flags & kKeyExtended) != 0) out += e.scanCode != 0 ? ", extended" : "extended";
            out += ")";
        }
        if (tapped) ++i;
    }
    return out;
}

// The main frame as its timers see it: only the window's handle is asked for.
constexpr WindowHandle kMainWindow = 0x4242;
class FrameHost : public WindowlessShellHost {
public:
    WindowHandle Frame() override { return kMainWindow; }
    void ReleaseEndpoint() override {}
};

constexpr uint32_t kFrameMs = 114;  // a held button's frame period

// A window as a file describes it.
struct WindowDraft {
    bool control = false;
    bool front = false;
    std::string exe;
    std::string title;
    std::string className;
    std::optional<Rect> rect;
    bool minimized = false;
    bool hidden = false;
};

// The fake machine a scenario runs on, as the program finds it at start: default
// settings, a new engine, no sound output, nothing muted.
class Machine {
public:
    Machine() {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheReceiver().valueCount = 0;
        input.desktop = &env.desktop;
        input.clock = &env.clock;
        ui.clock = &env.clock;
        env.platform.input = &input;
        env.platform.ui = &ui;
        env.platform.endpoint = &endpoint;
        env.Install();
        UnmuteOutput();
        savedMain = MainWindowHandle();
        SetMainWindowHandle(kMainWindow);
        g_seen = &seen;
        g_micros = 0;
        SetNoticeSink(&SeeNotice);
        SetTraceClock(TraceClock{nullptr, &StepMicros});
        SetTraceOutput(&SeeLine);
        // What a timer did that no code's line tells: a note of its own.
        SetTraceNoteOutput(&SeeLine);
        SetTraceWatched(true);
    }
    ~Machine() {
        (void)InstallProfiles({}, {});
        SetProfilesElevated(false);
        SetTraceWatched(false);
        SetTraceOutput(nullptr);
        SetTraceNoteOutput(nullptr);
        SetTraceClock(TraceClock{});
        SetNoticeSink(nullptr);
        SetMainWindowHandle(savedMain);
        ReleaseEndpointVolume();
        UnmuteOutput();
        g_seen = nullptr;
    }
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // A press or wait starts what "look at the keys" and "look at the power" describe.
    void StartActing() {
        actedFrom = input.batches.size();
        powerFrom = env.power.calls.size();
    }

    // One code as the reader delivers it; a press that held the remote says how long.
    void Receive(int32_t id, int variant) {
        const uint32_t before = env.clock.now;
        env.Receive(id, variant);
        if (env.clock.now != before)
            seen.push_back("took " + std::to_string(env.clock.now - before) + " ms");
    }

    // Each new press sends the other variant than the press before it, as the remote
    // does (variant 0); a held button repeats its variant every frame.
    void Press(int32_t id, int variant, uint32_t holdMs) {
        StartActing();
        if (variant == 0) variant = lastVariant == 1 ? 2 : 1;
        lastVariant = variant;
        Receive(id, variant);
        for (uint32_t t = kFrameMs; t <= holdMs; t += kFrameMs) {
            PassTime(kFrameMs);
            Receive(id, variant);
        }
    }

    bool Repeat(int32_t id, std::string& why) {
        if (lastVariant == 0) {
            why = "nothing pressed to repeat";
            return false;
        }
        StartActing();
        Receive(id, lastVariant);
        return true;
    }

    void Wait(uint32_t ms) {
        StartActing();
        PassTime(ms);
    }

    // Time passes; each main-window timer that falls due meanwhile runs at its time, as
    // the frame runs it, and says what it did.
    void PassTime(uint32_t ms) {
        uint32_t left = ms;
        for (;;) {
            auto next = ui.due.end();
            for (auto it = ui.due.begin(); it != ui.due.end(); ++it) {
                if (it->second.window != kMainWindow) continue;  // never reaches the frame
                const uint32_t in = it->second.at - env.clock.now;
                if (in <= left && (next == ui.due.end() || in < next->second.at - env.clock.now))
                    next = it;
            }
            if (next == ui.due.end()) break;
            const uint32_t in = next->second.at - env.clock.now;
            env.clock.now += in;
            left -= in;
            next->second.at += next->second.period;
            const uintptr_t id = next->first;
            const size_t from = input.batches.size();
            FrameHost host;
            (void)OnShellMessage(host, wm::TIMER, id, 0, 0);
            std::string did;
            for (size_t i = from; i < input.batches.size(); ++i)
                did +=
                    (did.empty() ? "" : "; ") + DescribeInput(input.batches[i], env.desktop.cursor);
            seen.push_back(std::string(TimerName(id)) + ": " + (did.empty() ? "no action" : did));
        }
        env.clock.now += left;
    }

    FakeWindow* FrontWindow() { return env.desktop.Find(env.desktop.foreground); }

    std::string ExeOf(ProcessId pid) const {
        for (const ProcessEntry& p : env.processes.processes)
            if (p.pid == pid) return p.exeFile;
        return "(no process)";
    }

    bool AddWindow(const WindowDraft& draft, std::string& why) {
        FakeWindow win;
        win.title = draft.title;
        win.className = draft.className.empty() && !draft.control ? "AppClass" : draft.className;
        if (draft.front) win.rect = Rect{100, 100, 500, 400};
        if (draft.rect) win.rect = *draft.rect;
        win.minimized = draft.minimized;
        if (draft.hidden) win.style = 0;
        if (draft.control) {
            const FakeWindow* parent = env.desktop.Find(lastTopLevel);
            if (parent == nullptr) {
                why = "no window for the control";
                return false;
            }
            win.parent = lastTopLevel;
            win.pid = parent->pid;
            win.thread = parent->thread;
        } else {
            win.pid = env.processes.Add(draft.exe);
            win.thread = win.pid + 1;
        }
        const WindowHandle h = env.desktop.Add(win);
        if (!draft.control) lastTopLevel = h;
        if (draft.front) env.desktop.foreground = h;
        added.push_back(h);
        return true;
    }

    FakeWindow* WindowTitled(const std::string& title) {
        for (const WindowHandle h : added)
            if (FakeWindow* w = env.desktop.Find(h); w != nullptr && w->title == title) return w;
        return nullptr;
    }

    std::string Look(const std::string& what) {
        if (what == "the front window") {
            const FakeWindow* front = FrontWindow();
            if (front == nullptr) return "in front: nothing";
            return "in front: " + ExeOf(front->pid) + " \"" + front->title + "\"" +
                   (front->minimized ? ", minimized" : "");
        }
        if (what == "the focus") {
            const FakeWindow* focus = env.desktop.Find(env.desktop.focus);
            if (focus == nullptr) return "focus: nowhere";
            std::string text = "focus: " + focus->className;
            if (!focus->title.empty()) text += " \"" + focus->title + "\"";
            if (const FakeWindow* parent = env.desktop.Find(focus->parent)) {
                const std::vector<WindowHandle> kids = env.desktop.Descendants(focus->parent);
                const size_t n = static_cast<size_t>(
                    std::find(kids.begin(), kids.end(), focus->handle) - kids.begin());
                text += ", control " + std::to_string(n + 1) + " of \"" + parent->title + "\"";
            }
            return text;
        }
        if (what == "the cursor") {
            return "cursor at (" + std::to_string(env.desktop.cursor.x) + ", " +
                   std::to_string(env.desktop.cursor.y) + ")";
        }
        if (what == "the keys") {
            std::string text;
            for (size_t i = actedFrom; i < input.batches.size(); ++i) {
                if (!text.empty()) text += "; ";
                if (i > actedFrom && input.times[i] != input.times[i - 1])
                    text += std::to_string(input.times[i] - input.times[i - 1]) + " ms later: ";
                text += DescribeKeys(input.batches[i]);
            }
            return "keys: " + (text.empty() ? std::string("none") : text);
        }
        if (what == "the sound") {
            // The output itself, not what the program believes of it.
            if (EndpointInterface() == 0) return "sound: no output";
            return "sound: " + std::to_string(static_cast<int>(endpoint.level * 100.0f + 0.5f)) +
                   "%" + (endpoint.muted ? ", muted" : "");
        }
        return LookAtPower();
    }

    // Every request to the power service since the last press or wait, in order.
    std::string LookAtPower() const {
        const FakePower& power = env.power;
        size_t state = 0, exit = 0;
        for (size_t i = 0; i < powerFrom; ++i) {
            if (power.calls[i] == "suspend" || power.calls[i] == "hibernate") ++state;
            if (power.calls[i].rfind("exit ", 0) == 0) ++exit;
        }
        std::string text;
        for (size_t i = powerFrom; i < power.calls.size(); ++i) {
            const std::string& call = power.calls[i];
            if (!text.empty()) text += "; ";
            if (call == "suspend" || call == "hibernate") {
                text += call + (power.powerStates[state++].force ? ", forced" : "");
            } else if (call.rfind("exit ", 0) == 0) {
                const uint32_t flags = power.exits[exit++];
                std::string how;
                if ((flags & kExitShutdown) != 0) how += ", shut down";
                if ((flags & kExitPowerOff) != 0) how += ", power off";
                if ((flags & kExitForce) != 0) how += ", forced";
                text += "exit Windows" + how;
            } else {
                text += call;
            }
        }
        return "power: " + (text.empty() ? std::string("nothing asked") : text);
    }

    // The profile files the scenario gives inline, by layer (user, shipped) and name; a
    // file given again replaces its text. None stay in force after the scenario.
    std::map<std::string, std::string> profileFiles[2];
    std::string* writingProfile = nullptr;

    FakeEndpointVolume endpoint;
    TimedInput input;
    TimedUserInterface ui;
    FakeEnv env;  // after the ports it uses, so that it uninstalls them first
    WindowHandle savedMain = 0;
    std::vector<std::string> seen;
    std::vector<WindowHandle> added;  // the windows the file set up, in order
    WindowHandle lastTopLevel = 0;
    size_t actedFrom = 0;  // the first input batch of the last press or wait
    size_t powerFrom = 0;  // the first power request of the last press or wait
    int lastVariant = 0;
};

// What one line does to the machine; false, with why, when the machine cannot do it.
using Action = std::function<bool(Machine&, std::string& why)>;

std::string Joined(const Words& w, size_t from) {
    std::string text;
    for (size_t i = from; i < w.size(); ++i) text += (i > from ? " " : "") + w[i];
    return text;
}

// Each reader takes the words of a line that starts with its verb and gives the action,
// or nothing with why when a word is wrong or missing.
Action ReadWindow(const Words& w, std::string& why) {
    WindowDraft draft;
    draft.control = w[0] == "control";
    draft.front = w[0] == "front";
    const size_t first = draft.control ? 2 : 3;  // the first word after the title
    if (w.size() < first) {
        why = draft.control ? "a control needs its title" : "a window needs its program and title";
        return {};
    }
    if (!draft.control) draft.exe = w[1];
    draft.title = w[first - 1];
    for (size_t i = first; i < w.size(); ++i) {
        if (w[i] == "at") {
            int64_t edge[4];
            for (int k = 0; k < 4; ++k) {
                const auto n = i + 1 + k < w.size() ? Number(w[i + 1 + k], INT32_MIN, INT32_MAX)
                                                    : std::nullopt;
                if (!n) {
                    why = "\"at\" needs four whole numbers: left top right bottom";
                    return {};
                }
                edge[k] = *n;
            }
            draft.rect = Rect{static_cast<int32_t>(edge[0]), static_cast<int32_t>(edge[1]),
                              static_cast<int32_t>(edge[2]), static_cast<int32_t>(edge[3])};
            i += 4;
        } else if (w[i] == "minimized" && !draft.control) {
            draft.minimized = true;
        } else if (w[i] == "hidden") {
            draft.hidden = true;
        } else if (i == first) {
            draft.className = w[i];
        } else {
            why = "unknown word \"" + w[i] + "\"";
            return {};
        }
    }
    return [draft](Machine& m, std::string& why) { return m.AddWindow(draft, why); };
}

Action ReadWindowState(const Words& w, std::string& why) {
    const std::string state = Joined(w, 2);
    if (w.size() != 4 || (state != "stops answering" && state != "answers again")) {
        why = "a window \"stops answering\" or \"answers again\"";
        return {};
    }
    const std::string title = w[1];
    const bool busy = state == "stops answering";
    return [title, busy](Machine& m, std::string& why) {
        FakeWindow* win = m.WindowTitled(title);
        if (win == nullptr) {
            why = "no window titled \"" + title + "\"";
            return false;
        }
        win->busy = busy;
        return true;
    };
}

Action ReadSet(const Words& w, std::string& why) {
    if (w.size() != 3) {
        why = "set needs a setting's name and one value";
        return {};
    }
    for (const SettingEntry& e : SettingsSchema()) {
        if (w[1] != e.name) continue;
        if (e.field == nullptr) {
            const int n = e.favorite;
            const std::string text = w[2];
            return [n, text](Machine& m, std::string&) {
                m.env.settings->StoreFavorite(n, text);
                return true;
            };
        }
        const auto value = Number(w[2], INT32_MIN, INT32_MAX);
        if (!value) {
            why = "not a whole number: \"" + w[2] + "\"";
            return {};
        }
        const auto field = e.field;
        return [field, v = static_cast<int32_t>(*value)](Machine& m, std::string&) {
            (m.env.settings.get()->*field) = v;
            return true;
        };
    }
    why = "no setting " + w[1];
    return {};
}

// Lines that are one fixed phrase.
Action ReadPhrase(const Words& w, std::string& why) {
    const std::string line = Joined(w, 0);
    if (line == "no settings")
        return [](Machine&, std::string&) {
            SetCurrentSettings(nullptr);
            return true;
        };
    if (line == "timers fail")
        return [](Machine& m, std::string&) {
            m.ui.timersFail = true;
            return true;
        };
    if (line == "the next launch fails")
        return [](Machine& m, std::string&) {
            m.env.shell.results.push_back(2);  // the system cannot find the file
            return true;
        };
    why = "unknown words \"" + line + "\"";
    return {};
}

Action ReadCursor(const Words& w, std::string& why) {
    const auto x = w.size() == 3 ? Number(w[1], INT32_MIN, INT32_MAX) : std::nullopt;
    const auto y = w.size() == 3 ? Number(w[2], INT32_MIN, INT32_MAX) : std::nullopt;
    if (!x || !y) {
        why = "the cursor needs two whole numbers";
        return {};
    }
    const Point at{static_cast<int32_t>(*x), static_cast<int32_t>(*y)};
    return [at](Machine& m, std::string&) {
        m.env.desktop.cursor = at;
        return true;
    };
}

Action ReadSound(const Words& w, std::string& why) {
    const std::string& level = w.size() == 4 ? w[3] : std::string();
    const auto percent = level.size() > 1 && level.back() == '%'
                             ? Number(level.substr(0, level.size() - 1), 0, 100)
                             : std::nullopt;
    if (w.size() != 4 || Joined(w, 1).rfind("output at ", 0) != 0 || !percent) {
        why = "\"sound output at\" a level from 0% to 100%";
        return {};
    }
    const float share = static_cast<float>(*percent) / 100.0f;
    return [share](Machine& m, std::string&) {
        m.endpoint.level = share;
        CreateEndpointVolume();
        return true;
    };
}

Action ReadIt(const Words& w, std::string& why) {
    const std::string what = Joined(w, 1);
    if (what != "runs as administrator" && what != "cannot be asked" && what != "has just exited" &&
        what != "is this program") {
        why = "unknown word \"" + what + "\"";
        return {};
    }
    return [what](Machine& m, std::string& why) {
        FakeWindow* front = m.FrontWindow();
        if (front == nullptr) {
            why = "no window in front";
            return false;
        }
        if (what == "has just exited") {
            auto& list = m.env.processes.processes;
            list.erase(std::remove_if(list.begin(), list.end(),
                                      [&](const ProcessEntry& p) { return p.pid == front->pid; }),
                       list.end());
        } else if (what == "is this program") {
            m.env.processes.self = front->pid;
        } else {
            m.env.processes.elevation[front->pid] =
                what == "runs as administrator" ? Elevation::Elevated : Elevation::AccessDenied;
        }
        return true;
    };
}

Action ReadSystem(const Words& w, std::string& why) {
    if (w.size() != 3 || w[1] != "version") {
        why = "\"system version\" and a version";
        return {};
    }
    OsVersion version{false, kPlatformNt, 0, 0};
    if (w[2] != "unknown") {
        const size_t dot = w[2].find('.');
        const auto major = Number(w[2].substr(0, dot), 0, 99);
        const auto minor =
            dot == std::string::npos ? std::nullopt : Number(w[2].substr(dot + 1), 0, 99);
        if (!major || !minor) {
            why = "not a version: \"" + w[2] + "\"";
            return {};
        }
        version = OsVersion{true, kPlatformNt, static_cast<uint32_t>(*major),
                            static_cast<uint32_t>(*minor)};
    }
    return [version](Machine& m, std::string&) {
        m.env.power.version = version;
        return true;
    };
}

Action ReadAnswer(const Words& w, std::string& why) {
    if (w.size() < 5 || Joined(w, 1).rfind("the warning with ", 0) != 0 ||
        (w[4] != "OK" && w[4] != "Close") || (w.size() == 6 && w[5] != "ticked") || w.size() > 6) {
        why = "\"answer the warning with\" OK or Close, then \"ticked\" or nothing";
        return {};
    }
    const UnsupportedAnswer answer{w[4] == "OK", w.size() == 6};
    return [answer](Machine& m, std::string&) {
        m.ui.unsupportedAnswer = answer;
        return true;
    };
}

Action ReadLook(const Words& w, std::string& why) {
    const std::string what = Joined(w, 2);
    static const char* const kSights[] = {"the front window", "the focus", "the cursor",
                                          "the keys",         "the sound", "the power"};
    if (w.size() < 3 || w[1] != "at" ||
        std::find(std::begin(kSights), std::end(kSights), what) == std::end(kSights)) {
        why = "cannot look at \"" + what + "\"";
        return {};
    }
    return [what](Machine& m, std::string&) {
        m.seen.push_back(m.Look(what));
        return true;
    };
}

// press BUTTON [variant N]; hold BUTTON (DURATION | N frames) [variant N]; repeat BUTTON
Action ReadPress(const Words& w, std::string& why) {
    const std::string& verb = w[0];
    const int32_t id = w.size() >= 2 ? RemoteButtonFromName(w[1].c_str()) : -1;
    if (id < 0) {
        why = w.size() < 2 ? verb + " needs a button" : "no button " + w[1];
        return {};
    }
    if (verb == "repeat") {
        if (w.size() != 2) {
            why = "unknown word \"" + w[2] + "\" after repeat " + w[1];
            return {};
        }
        return [id](Machine& m, std::string& why) { return m.Repeat(id, why); };
    }
    int variant = 0;
    std::optional<uint32_t> holdMs;
    for (size_t i = 2; i < w.size(); ++i) {
        if (w[i] == "variant") {
            const auto n = i + 1 < w.size() ? Number(w[i + 1], 1, 2) : std::nullopt;
            if (!n || variant != 0) {
                why = "a variant is 1 or 2, named once";
                return {};
            }
            variant = static_cast<int>(*n);
            ++i;
        } else if (verb == "hold" && !holdMs && i + 1 < w.size() && w[i + 1] == "frames") {
            const auto n = Number(w[i], 1, 100000);
            if (!n) {
                why = "not a number of frames: \"" + w[i] + "\"";
                return {};
            }
            holdMs = static_cast<uint32_t>(*n - 1) * kFrameMs;
            ++i;
        } else if (verb == "hold" && !holdMs && Duration(w[i])) {
            holdMs = Duration(w[i]);
        } else {
            why = "unknown word \"" + w[i] + "\" after " + verb + " " + w[1];
            return {};
        }
    }
    if (verb == "hold" && !holdMs) {
        why = "hold " + w[1] + " needs how long: a duration or a number of frames";
        return {};
    }
    return [id, variant, ms = holdMs.value_or(0)](Machine& m, std::string&) {
        m.Press(id, variant, ms);
        return true;
    };
}

Action ReadClock(const Words& w, std::string& why) {
    const auto now = w.size() == 2 ? Number(w[1], 0, UINT32_MAX) : std::nullopt;
    if (!now) {
        why = "the clock needs one tick count";
        return {};
    }
    return [now = static_cast<uint32_t>(*now)](Machine& m, std::string&) {
        m.env.clock.now = now;
        return true;
    };
}

Action ReadWait(const Words& w, std::string& why) {
    const auto ms = w.size() == 2 ? Duration(w[1]) : std::nullopt;
    if (!ms) {
        why = w.size() == 2 ? "not a duration: \"" + w[1] + "\"" : "wait needs one duration";
        return {};
    }
    return [ms = *ms](Machine& m, std::string&) {
        m.Wait(ms);
        return true;
    };
}

// profile (user | shipped) NAME; profile shipped NAME from resources;
// load profiles [as administrator]
Action ReadProfile(const Words& w, std::string& why) {
    if (w[0] == "profile" && w.size() == 5 && w[1] == "shipped" && Joined(w, 3) == "from resources") {
        std::ifstream in(fs::path(ORB_SHIPPED_PROFILES_DIR) / w[2], std::ios::binary);
        std::ostringstream text;
        if (!(text << in.rdbuf())) {
            why = "no file " + w[2] + " in resources/profiles";
            return {};
        }
        return [name = w[2], text = text.str()](Machine& m, std::string&) {
            m.profileFiles[1][name] = text;
            m.writingProfile = nullptr;
            return true;
        };
    }
    if (w[0] == "profile") {
        if (w.size() != 3 || (w[1] != "user" && w[1] != "shipped")) {
            why = "profile needs user or shipped and a file name";
            return {};
        }
        return [layer = w[1] == "user" ? 0 : 1, name = w[2]](Machine& m, std::string&) {
            m.writingProfile = &m.profileFiles[layer][name];
            m.writingProfile->clear();
            return true;
        };
    }
    const std::string rest = Joined(w, 1);
    if (rest != "profiles" && rest != "profiles as administrator") {
        why = "load what: \"" + rest + "\"";
        return {};
    }
    return [elevated = rest != "profiles"](Machine& m, std::string&) {
        m.writingProfile = nullptr;
        std::vector<ProfileText> texts[2];
        for (int layer = 0; layer < 2; ++layer)
            for (const auto& [name, text] : m.profileFiles[layer])
                texts[layer].push_back({name, text});
        SetProfilesElevated(elevated);
        for (const ProfileProblem& p : InstallProfiles(texts[0], texts[1]))
            m.seen.push_back("profile problem: " + p.Describe());
        return true;
    };
}

// "| TEXT": one line of the profile file being given, as written (no words to split).
Action ReadProfileLine(const std::string& line) {
    return [text = line.size() > 2 ? line.substr(2) : std::string()](Machine& m,
                                                                      std::string& why) {
        if (m.writingProfile == nullptr) {
            why = "a profile line with no profile above it";
            return false;
        }
        *m.writingProfile += text + "\n";
        return true;
    };
}

// Every verb a file may use, by the first word of its line.
struct Verb {
    const char* word;
    Action (*read)(const Words& w, std::string& why);
};
constexpr Verb kVerbs[] = {
    {"front", ReadWindow},       {"behind", ReadWindow}, {"control", ReadWindow},
    {"window", ReadWindowState}, {"set", ReadSet},       {"no", ReadPhrase},
    {"cursor", ReadCursor},      {"sound", ReadSound},   {"it", ReadIt},
    {"system", ReadSystem},      {"timers", ReadPhrase}, {"the", ReadPhrase},
    {"answer", ReadAnswer},      {"look", ReadLook},     {"press", ReadPress},
    {"hold", ReadPress},         {"repeat", ReadPress},  {"clock", ReadClock},
    {"wait", ReadWait},         {"profile", ReadProfile}, {"load", ReadProfile},
};

// One line that does something, with the lines expected to come of it.
struct Step {
    int line;
    std::string text;
    Action act;
    std::vector<std::string> expected;
};

struct Script {
    std::vector<Step> steps;
    std::vector<std::string> lines;  // the file as written, for the transcript
    std::string error;               // "LINE: why" for a file that cannot be run
};

// Reads the whole file before anything runs, so a mistake late in it is not hidden by
// a failure earlier.
Script ReadScript(std::istream& in) {
    Script script;
    std::string raw;
    while (std::getline(in, raw)) {
        script.lines.push_back(raw);
        const int number = static_cast<int>(script.lines.size());
        std::string line = raw;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line[start] == '#') continue;
        line = line.substr(start);
        std::string why;
        if (line.rfind("> ", 0) == 0) {
            if (script.steps.empty()) {
                why = "a line expected before anything happened";
            } else {
                script.steps.back().expected.push_back(line.substr(2));
                continue;
            }
        }
        Action act;
        if (why.empty() && (line == "|" || line.rfind("| ", 0) == 0)) {
            act = ReadProfileLine(line);
        } else if (why.empty()) {
            if (const auto words = SplitWords(line, why)) {
                const auto verb =
                    std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                 [&](const Verb& v) { return (*words)[0] == v.word; });
                if (verb == std::end(kVerbs)) {
                    why = "unknown word \"" + (*words)[0] + "\"";
                } else {
                    act = verb->read(*words, why);
                }
            }
        }
        if (!act) {
            script.error = std::to_string(number) + ": " + why + " in: " + line;
            return script;
        }
        script.steps.push_back(Step{number, line, std::move(act), {}});
    }
    return script;
}

// Runs a file on a new machine; what failed, naming the line, or "" when all was seen
// as expected. With ORB_SCENARIO_SEEN set a failing file's transcript (the file with
// what was seen) goes to `seenFile`.
std::string RunScript(const std::string& name, std::istream& in, const fs::path& seenFile = {}) {
    const Script script = ReadScript(in);
    if (!script.error.empty()) return name + ":" + script.error;
    Machine m;
    std::map<int, std::vector<std::string>> seenAt;  // by line
    std::string failures;
    int failed = 0;
    for (const Step& step : script.steps) {
        std::string why;
        const size_t before = m.seen.size();
        const size_t warningsBefore = m.ui.unsupportedShown.size();
        const size_t boxesBefore = m.ui.boxes.size();
        if (!step.act(m, why))
            return name + ":" + std::to_string(step.line) + ": " + why + " in: " + step.text;
        // The warning's text and the boxes, after the press that showed them.
        for (size_t i = warningsBefore; i < m.ui.unsupportedShown.size(); ++i)
            m.seen.push_back("warning: " + m.ui.unsupportedShown[i]);
        for (size_t i = boxesBefore; i < m.ui.boxes.size(); ++i)
            m.seen.push_back("box \"" + m.ui.boxes[i].caption + "\": " + m.ui.boxes[i].text);
        const std::vector<std::string> seen(m.seen.begin() + static_cast<ptrdiff_t>(before),
                                            m.seen.end());
        seenAt[step.line] = seen;
        if (seen == step.expected) continue;
        // The first few steps that differ; later ones often only follow from them.
        if (++failed <= 3)
            failures += name + ":" + std::to_string(step.line) + ": after \"" + step.text +
                        "\" the trace differs (- expected, + seen):\n" + Diff(step.expected, seen);
    }
    if (failed == 0) return "";
    if (failed > 3) failures += "(" + std::to_string(failed - 3) + " more steps differ)\n";
    if (!seenFile.empty() && std::getenv("ORB_SCENARIO_SEEN") != nullptr) {
        std::ofstream out(seenFile);
        for (size_t i = 0; i < script.lines.size(); ++i) {
            const std::string& raw = script.lines[i];
            if (const size_t at = raw.find_first_not_of(' ');
                at != std::string::npos && raw.compare(at, 2, "> ") == 0)
                continue;
            out << raw << "\n";
            if (const auto it = seenAt.find(static_cast<int>(i) + 1); it != seenAt.end())
                for (const std::string& s : it->second) out << "> " << s << "\n";
        }
    }
    return failures;
}

std::string RunText(const std::string& text) {
    std::istringstream in(text);
    return RunScript("text", in);
}

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, ShowsWhatTheUserSaw) {
    const fs::path file = ScenarioDir() / (GetParam() + ".press");
    std::ifstream in(file);
    ASSERT_TRUE(in) << "cannot read " << file;
    const std::string failure =
        RunScript(file.filename().string(), in, fs::path(file).replace_extension(".seen"));
    if (!failure.empty()) ADD_FAILURE() << failure;
}

// A runner that finds no files would pass with nothing run.
TEST(Scenarios, AreFound) { EXPECT_GE(ScenarioNames().size(), 40u) << ScenarioDir(); }

INSTANTIATE_TEST_SUITE_P(Press, Scenario, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// A misread line would run as something else and could still pass: each fails the file
// at its line, naming what is wrong, and nothing of the file runs.
TEST(ScenarioRunner, RefusesWhatItCannotReadAtItsLine) {
    const std::string front = "front notepad.exe \"Untitled - Notepad\" Notepad\n";
    const struct {
        std::string text;
        std::string error;  // how the error starts: the line, then what is wrong
    } cases[] = {
        {front + "press Play 400ms\n", "text:2: unknown word \"400ms\" after press Play"},
        {front + "press Play\n> x\nhold Up\n", "text:4: hold Up needs how long"},
        {front + "wait 2min\n", "text:2: not a duration: \"2min\""},
        {"wait 1.5xs\n", "text:1: not a duration"},
        {front + "hold Up 1x frames\n", "text:2: not a number of frames: \"1x\""},
        {front + "hold Up 3 frames 400ms\n", "text:2: unknown word \"400ms\""},
        {"set MouseModeEnabled 1x\n", "text:1: not a whole number: \"1x\""},
        {"set MouseModeEnabled\n", "text:1: set needs"},
        {"clock 0xFFFFFF00z\n", "text:1: the clock needs"},
        {"cursor 300 200px\n", "text:1: the cursor needs"},
        {"\n# a comment\nfront notepad.exe \"Untitled\n", "text:3: a quote is not closed"},
        {"front notepad.exe \"Untitled\"Notepad\n", "text:1: no space after the quoted"},
        {"press Play variant 3\n", "text:1: a variant is 1 or 2"},
        {"press Plya\n", "text:1: no button Plya"},
        {"pres Play\n", "text:1: unknown word \"pres\""},
        {"look at the moon\n", "text:1: cannot look at \"the moon\""},
        {"timers fail now\n", "text:1: unknown words \"timers fail now\""},
        {"> Play variant 1: new press, accepted\n", "text:1: a line expected before"},
        {"sound output at 50\n", "text:1: \"sound output at\""},
        {front + "wait 1s\nrepeat Play 2\n", "text:3: unknown word \"2\""},
        {"profile vlc.toml\n", "text:1: profile needs user or shipped"},
        {"profile shipped none.toml from resources\n", "text:1: no file none.toml in resources"},
    };
    for (const auto& c : cases) {
        const std::string failure = RunText(c.text);
        EXPECT_EQ(failure.rfind(c.error, 0), 0u) << c.text << "gave: " << failure;
    }
}

// The letter typed 700 ms after the last tap: the runner must fail a file that expects it
// a step early or late, and pass the one that places it where it comes.
TEST(ScenarioRunner, ChecksEachLineAtItsStep) {
    const std::string start =
        "set AutoSwitchEnabled 0\n"
        "front notepad.exe \"Untitled - Notepad\" Notepad\n"
        "press Digit2\n"
        "> Digit2 variant 1: new press, accepted | catalogue row 125 notepad.exe | post to "
        "Notepad: message 0xC000 wParam 22 lParam 0\n";
    const std::string letter = "> letter-entry timer: key A\n";
    EXPECT_EQ(RunText(start + "wait 699ms\nwait 1ms\n" + letter), "");
    EXPECT_EQ(RunText(start + "wait 699ms\n" + letter + "wait 1ms\n")
                  .rfind("text:5: after \"wait 699ms\" the trace differs", 0),
              0u);
    EXPECT_EQ(RunText(start + "wait 700ms\nwait 1ms\n" + letter)
                  .rfind("text:5: after \"wait 700ms\" the trace differs", 0),
              0u);
}

}  // namespace
