// Runs the scenarios in tests/scenarios/*.press: each file sets up the windows in front
// and behind and the settings, presses buttons and waits, and lists what the trace
// shows for each press. A scenario that differs fails with the lines side by side.
//
//   # a comment
//   front notepad.exe "Untitled - Notepad" Notepad   the window in front (class optional)
//   behind girder.exe "" Orbiscope.Girder            a window behind it
//   set MouseModeEnabled 1                           a settings value by its registry name
//   no settings                                      no settings record exists yet
//   cursor 300 200                                   the mouse pointer
//   it runs as administrator                         the program in front (or: it cannot be asked)
//   press Play                                       one new press (the other variant than
//                                                    the press before; or "variant 2")
//   hold Up 400ms                                    frames every 114 ms for that long
//   hold Up 12 frames                                or for that many frames
//   repeat Play                                      one more frame of the press before
//   clock 0xFFFFFF00                                 the system's tick count now
//   wait 1.5s                                        time passes
//   > Play variant 1: new press, accepted | ...      a trace line, without its times
//   > notice: ...                                    a balloon the press raised
//   > warning: ...                                   the unsupported-program warning's text
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fake_env.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "state/notices.h"
#include "state/settings.h"
#include "state/trace.h"

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

class Scenario : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheReceiver().valueCount = 0;
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
        g_seen = nullptr;
    }

    // Runs one line; false (with why) for a line the runner does not understand.
    bool Run(const std::string& line, std::string& why) {
        const std::vector<std::string> w = Words(line);
        const std::string& verb = w[0];
        if ((verb == "front" || verb == "behind") && (w.size() == 3 || w.size() == 4)) {
            const std::string cls = w.size() == 4 ? w[3] : "AppClass";
            if (verb == "front") {
                env.Foreground(w[1], w[2], cls);
            } else {
                env.AddWindow(w[1], w[2], cls);
            }
            return true;
        }
        if (verb == "set" && w.size() == 3) {
            for (const SettingEntry& e : SettingsSchema()) {
                if (e.field != nullptr && w[1] == e.name) {
                    (env.settings.get()->*e.field) = std::stoi(w[2]);
                    return true;
                }
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
        if (line == "it runs as administrator" || line == "it cannot be asked") {
            const FakeWindow* front = env.desktop.Find(env.desktop.foreground);
            if (front == nullptr) {
                why = "no window in front";
                return false;
            }
            env.processes.elevation[front->pid] =
                line == "it runs as administrator" ? Elevation::Elevated : Elevation::AccessDenied;
            return true;
        }
        if (verb == "repeat" && w.size() == 2) {
            const int32_t id = RemoteButtonFromName(w[1].c_str());
            if (id < 0 || lastVariant == 0) {
                why = id < 0 ? "no button " + w[1] : "nothing pressed to repeat";
                return false;
            }
            env.Receive(id, lastVariant);
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
            env.Receive(id, variant);
            for (uint32_t t = kFrameMs; t <= holdMs; t += kFrameMs) {
                env.clock.now += kFrameMs;
                env.Receive(id, variant);
            }
            return true;
        }
        if (verb == "clock" && w.size() == 2) {
            env.clock.now = static_cast<uint32_t>(std::stoul(w[1], nullptr, 0));
            return true;
        }
        if (verb == "wait" && w.size() == 2) {
            env.clock.now += Millis(w[1]);
            return true;
        }
        why = "cannot read: " + line;
        return false;
    }

    static constexpr uint32_t kFrameMs = 114;  // a held button's frame period
    FakeEnv env;
    std::vector<std::string> seen;
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
        const size_t warningsBefore = env.ui.unsupportedShown.size();
        ASSERT_TRUE(Run(line, why)) << file.filename().string() << ":" << number << ": " << why;
        // The warning's text, after the press that showed it.
        for (size_t i = warningsBefore; i < env.ui.unsupportedShown.size(); ++i)
            seen.push_back("warning: " + env.ui.unsupportedShown[i]);
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
