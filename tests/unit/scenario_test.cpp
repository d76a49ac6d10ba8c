// Runs the scenarios in tests/scenarios/*.press: each file sets up the windows in front
// and behind and the settings, presses buttons and waits, and lists what the trace
// shows for each press. A scenario that differs fails with the lines side by side.
//
//   # a comment
//   front notepad.exe "Untitled - Notepad" Notepad   the window in front (class optional),
//   behind girder.exe "" Orbiscope.Girder            a window behind it; either may end in
//   behind vlc.exe "VLC" QWidget minimized           "minimized", "hidden" or
//   behind aolmn.exe "AOL" at 20 30 420 530          "at left top right bottom"
//   control "Play" Button at 200 100 230 120         a control in the last window above
//   window "Winamp" stops answering                  sends to it wait out their bound
//   window "Winamp" answers again                    (the window named by its title)
//   set MouseModeEnabled 1                           a settings value by its registry name
//   set Favorite2 "missing.exe"                      (a favourite's text too)
//   no settings                                      no settings record exists yet
//   cursor 300 200                                   the mouse pointer
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
//                                                    the press before; or "variant 2")
//   hold Up 400ms                                    frames every 114 ms for that long
//   hold Up 12 frames                                or for that many frames
//   repeat Play                                      one more frame of the press before
//   clock 0xFFFFFF00                                 the system's tick count now
//   wait 1.5s                                        time passes; the main window's timers
//                                                    that fall due meanwhile run (in a
//                                                    hold too)
//   look at the front window                         what the user sees now: the window in
//   look at the focus                                front, the control with the focus,
//   look at the cursor                               the mouse pointer, the input the last
//   look at the keys                                 press or wait sent, with scan codes
//   > Play variant 1: new press, accepted | ...      a trace line, without its times
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
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/vk.h"
#include "profiles/profile_files.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "state/key_names.h"
#include "state/messages.h"
#include "state/notices.h"
#include "state/settings.h"
#include "state/trace.h"
#include "ui/shell.h"

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

// The words of a line; "quoted text" is one word.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> std::ws && !in.eof()) {
        if (in.peek() == '"') {
            in.get();
            std::getline(in, w, '"');
        } else {
            in >> w;
        }
        words.push_back(w);
    }
    return words;
}

uint32_t Millis(const std::string& word) {
    if (word.size() > 2 && word.substr(word.size() - 2) == "ms")
        return static_cast<uint32_t>(std::stoul(word.substr(0, word.size() - 2)));
    if (word.size() > 1 && word.back() == 's')
        return static_cast<uint32_t>(std::stod(word.substr(0, word.size() - 1)) * 1000.0 + 0.5);
    return static_cast<uint32_t>(std::stoul(word));
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

class Scenario : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheReceiver().valueCount = 0;
        input.desktop = &env.desktop;
        input.clock = &env.clock;
        ui.clock = &env.clock;
        env.platform.input = &input;
        env.platform.ui = &ui;
        env.Install();
        savedMain = MainWindowHandle();
        SetMainWindowHandle(kMainWindow);
        env.settings->ShowUnsupportedDlg = 0;
        g_seen = &seen;
        g_micros = 0;
        SetNoticeSink(&SeeNotice);
        SetTraceClock(TraceClock{nullptr, &StepMicros});
        SetTraceOutput(&SeeLine);
        SetTraceWatched(true);
    }
    void TearDown() override {
        SetTraceWatched(false);
        SetTraceOutput(nullptr);
        SetTraceClock(TraceClock{});
        SetNoticeSink(nullptr);
        SetMainWindowHandle(savedMain);
        g_seen = nullptr;
    }

    // One code as the reader delivers it; a press that held the remote says how long.
    void Receive(int32_t id, int variant) {
        const uint32_t before = env.clock.now;
        env.Receive(id, variant);
        if (env.clock.now != before)
            seen.push_back("took " + std::to_string(env.clock.now - before) + " ms");
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

    // "front"/"behind" exe title [class] [at l t r b] [minimized] [hidden], or
    // "control" title [class] [at l t r b] [hidden] in the last window above.
    bool AddWindow(const std::vector<std::string>& w, std::string& why) {
        const bool control = w[0] == "control";
        const size_t first = control ? 2 : 3;  // the first word after the title
        if (w.size() < first) {
            why = "no title: " + w[0];
            return false;
        }
        FakeWindow win;
        win.title = w[first - 1];
        win.className = control ? "" : "AppClass";
        if (w[0] == "front") win.rect = Rect{100, 100, 500, 400};
        for (size_t i = first; i < w.size(); ++i) {
            if (w[i] == "at" && i + 4 < w.size()) {
                win.rect = Rect{std::stoi(w[i + 1]), std::stoi(w[i + 2]), std::stoi(w[i + 3]),
                                std::stoi(w[i + 4])};
                i += 4;
            } else if (w[i] == "minimized") {
                win.minimized = true;
            } else if (w[i] == "hidden") {
                win.style = 0;
            } else if (i == first) {
                win.className = w[i];
            } else {
                why = "cannot read: " + w[i];
                return false;
            }
        }
        if (control) {
            if (lastTopLevel == 0) {
                why = "no window for the control";
                return false;
            }
            win.parent = lastTopLevel;
            win.pid = env.desktop.Find(lastTopLevel)->pid;
            win.thread = env.desktop.Find(lastTopLevel)->thread;
        } else {
            win.pid = env.processes.Add(w[1]);
            win.thread = win.pid + 1;
        }
        const WindowHandle h = env.desktop.Add(win);
        if (!control) lastTopLevel = h;
        if (w[0] == "front") env.desktop.foreground = h;
        added.push_back(h);
        return true;
    }

    FakeWindow* WindowTitled(const std::string& title) {
        for (const WindowHandle h : added)
            if (FakeWindow* w = env.desktop.Find(h); w != nullptr && w->title == title) return w;
        return nullptr;
    }

    std::string Look(const std::string& what, std::string& why) {
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
        why = "cannot look at " + what;
        return "";
    }

    // The profile files a scenario gives inline, by layer and name; a file given again
    // replaces its text. None are left in force after the scenario.
    struct InlineProfiles {
        std::map<std::string, std::string> files[2];
        std::string* writing = nullptr;
        ~InlineProfiles() {
            (void)InstallProfiles({}, {});
            SetProfilesElevated(false);
        }
        // False when the line is none of the profile lines.
        bool Run(const std::string& line, std::vector<std::string>& seen, std::string& why) {
            if (line == "|" || line.rfind("| ", 0) == 0) {
                if (writing == nullptr) why = "no profile for: " + line;
                if (writing != nullptr) *writing += (line.size() > 2 ? line.substr(2) : "") + "\n";
                return true;
            }
            const std::vector<std::string> w = Words(line);
            if (w.size() == 3 && w[0] == "profile" && (w[1] == "user" || w[1] == "shipped")) {
                writing = &files[w[1] == "user" ? 0 : 1][w[2]];
                writing->clear();
                return true;
            }
            if (line != "load profiles" && line != "load profiles as administrator") return false;
            writing = nullptr;
            std::vector<ProfileText> texts[2];
            for (int layer = 0; layer < 2; ++layer)
                for (const auto& [name, text] : files[layer]) texts[layer].push_back({name, text});
            SetProfilesElevated(line == "load profiles as administrator");
            for (const ProfileProblem& p : InstallProfiles(texts[0], texts[1]))
                seen.push_back("profile problem: " + p.Describe());
            return true;
        }
    } profiles;

    // Runs one line; false (with why) for a line the runner does not understand.
    bool Run(const std::string& line, std::string& why) {
        if (profiles.Run(line, seen, why)) return why.empty();
        const std::vector<std::string> w = Words(line);
        const std::string& verb = w[0];
        if (verb == "press" || verb == "hold" || verb == "repeat" || verb == "wait")
            actedFrom = input.batches.size();
        if (verb == "front" || verb == "behind" || verb == "control") return AddWindow(w, why);
        if (verb == "window" && w.size() == 4) {
            FakeWindow* win = WindowTitled(w[1]);
            const std::string state = w[2] + " " + w[3];
            if (win == nullptr || (state != "stops answering" && state != "answers again")) {
                why = win == nullptr ? "no window titled " + w[1] : "cannot read: " + line;
                return false;
            }
            win->busy = state == "stops answering";
            return true;
        }
        if (verb == "set" && w.size() == 3) {
            for (const SettingEntry& e : SettingsSchema()) {
                if (w[1] != e.name) continue;
                if (e.field != nullptr) {
                    (env.settings.get()->*e.field) = std::stoi(w[2]);
                } else {
                    env.settings->StoreFavorite(e.favorite, w[2]);
                }
                return true;
            }
            why = "no setting " + w[1];
            return false;
        }
        if (line == "no settings") {
            SetCurrentSettings(nullptr);
            return true;
        }
        if (verb == "cursor" && w.size() == 3) {
            env.desktop.cursor = Point{std::stoi(w[1]), std::stoi(w[2])};
            return true;
        }
        if (verb == "it") {
            FakeWindow* front = FrontWindow();
            if (front == nullptr) {
                why = "no window in front";
                return false;
            }
            if (line == "it runs as administrator" || line == "it cannot be asked") {
                env.processes.elevation[front->pid] = line == "it runs as administrator"
                                                          ? Elevation::Elevated
                                                          : Elevation::AccessDenied;
            } else if (line == "it has just exited") {
                auto& list = env.processes.processes;
                list.erase(
                    std::remove_if(list.begin(), list.end(),
                                   [&](const ProcessEntry& p) { return p.pid == front->pid; }),
                    list.end());
            } else if (line == "it is this program") {
                env.processes.self = front->pid;
            } else {
                why = "cannot read: " + line;
                return false;
            }
            return true;
        }
        if (verb == "system" && w.size() == 3 && w[1] == "version") {
            const size_t dot = w[2].find('.');
            env.power.version =
                w[2] == "unknown"
                    ? OsVersion{false, kPlatformNt, 0, 0}
                    : OsVersion{true, kPlatformNt, static_cast<uint32_t>(std::stoul(w[2])),
                                static_cast<uint32_t>(std::stoul(w[2].substr(dot + 1)))};
            return true;
        }
        if (line == "timers fail") {
            ui.timersFail = true;
            return true;
        }
        if (line == "the next launch fails") {
            env.shell.results.push_back(2);  // the system cannot find the file
            return true;
        }
        if (line.rfind("answer the warning with ", 0) == 0 && w.size() >= 5 &&
            (w[4] == "OK" || w[4] == "Close") &&
            (w.size() == 5 || (w.size() == 6 && w[5] == "ticked"))) {
            ui.unsupportedAnswer = UnsupportedAnswer{w[4] == "OK", w.size() == 6};
            return true;
        }
        if (line.rfind("look at ", 0) == 0) {
            const std::string text = Look(line.substr(8), why);
            if (text.empty()) return false;
            seen.push_back(text);
            return true;
        }
        if (verb == "repeat" && w.size() == 2) {
            const int32_t id = RemoteButtonFromName(w[1].c_str());
            if (id < 0 || lastVariant == 0) {
                why = id < 0 ? "no button " + w[1] : "nothing pressed to repeat";
                return false;
            }
            Receive(id, lastVariant);
            return true;
        }
        if ((verb == "press" || verb == "hold") && w.size() >= 2) {
            const int32_t id = RemoteButtonFromName(w[1].c_str());
            if (id < 0) {
                why = "no button " + w[1];
                return false;
            }
            // Each new press sends the other variant than the press before it, as the
            // remote does; a held button repeats its variant.
            int variant = lastVariant == 1 ? 2 : 1;
            uint32_t holdMs = 0;
            for (size_t i = 2; i + 1 < w.size() + 1; ++i) {
                if (w[i] == "variant" && i + 1 < w.size()) {
                    variant = std::stoi(w[++i]);
                } else if (verb == "hold" && i + 1 < w.size() && w[i + 1] == "frames") {
                    holdMs = (static_cast<uint32_t>(std::stoul(w[i])) - 1) * kFrameMs;
                    ++i;
                } else if (verb == "hold") {
                    holdMs = Millis(w[i]);
                }
            }
            lastVariant = variant;
            Receive(id, variant);
            for (uint32_t t = kFrameMs; t <= holdMs; t += kFrameMs) {
                PassTime(kFrameMs);
                Receive(id, variant);
            }
            return true;
        }
        if (verb == "clock" && w.size() == 2) {
            env.clock.now = static_cast<uint32_t>(std::stoul(w[1], nullptr, 0));
            return true;
        }
        if (verb == "wait" && w.size() == 2) {
            PassTime(Millis(w[1]));
            return true;
        }
        why = "cannot read: " + line;
        return false;
    }

    static constexpr uint32_t kFrameMs = 114;  // a held button's frame period
    TimedInput input;
    TimedUserInterface ui;
    FakeEnv env;  // after the ports it uses, so that it uninstalls them first
    WindowHandle savedMain = 0;
    std::vector<std::string> seen;
    std::vector<WindowHandle> added;  // the windows the file set up, in order
    WindowHandle lastTopLevel = 0;
    size_t actedFrom = 0;  // the first input batch of the last press or wait
    int lastVariant = 0;
};

TEST_P(Scenario, ShowsWhatTheUserSaw) {
    const fs::path file = ScenarioDir() / (GetParam() + ".press");
    std::ifstream in(file);
    ASSERT_TRUE(in) << "cannot read " << file;
    std::vector<std::string> expected;
    std::string line, transcript;  // the file as the run would have written it
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const size_t at = line.find_first_not_of(' ');
            at == std::string::npos || line.compare(at, 2, "> ") != 0)
            transcript += line + "\n";
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line[start] == '#') continue;
        line = line.substr(start);
        if (line.rfind("> ", 0) == 0) {
            expected.push_back(line.substr(2));
            continue;
        }
        std::string why;
        const size_t before = seen.size();
        const size_t warningsBefore = ui.unsupportedShown.size();
        const size_t boxesBefore = ui.boxes.size();
        ASSERT_TRUE(Run(line, why)) << file.filename().string() << ":" << number << ": " << why;
        // The warning's text and the boxes, after the press that showed them.
        for (size_t i = warningsBefore; i < ui.unsupportedShown.size(); ++i)
            seen.push_back("warning: " + ui.unsupportedShown[i]);
        for (size_t i = boxesBefore; i < ui.boxes.size(); ++i)
            seen.push_back("box \"" + ui.boxes[i].caption + "\": " + ui.boxes[i].text);
        for (size_t i = before; i < seen.size(); ++i) transcript += "> " + seen[i] + "\n";
    }
    if (seen == expected) return;
    const std::string diff = Diff(expected, seen);
    // For whoever writes a scenario: the file with what was seen, to compare and adopt.
    if (std::getenv("ORB_SCENARIO_SEEN") != nullptr)
        std::ofstream(fs::path(file).replace_extension(".seen")) << transcript;
    ADD_FAILURE() << file.filename().string() << ": the trace differs (- expected, + seen):\n"
                  << diff;
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

}  // namespace
