// What profile files cost. BM_PressWithProfiles: Rewind with Notepad in front (catalogue
// row 125), each iteration a new press, with no profile file (/0) and with 200 user and
// shipped files for other programs (/200), which the press looks through before the row
// takes it; "extra_us" of /200 is its CPU time over /0 in the same run (the goal is at
// most 100 us). BM_Load200Files: reading 200 files of the size the shipped ones have and
// putting them in force (the goal is under 50 ms).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "notepad_press.h"
#include "profiles/profile_files.h"

namespace {

double g_noneUs = 0;

// A file for a program of its own, with a title and a class to ask about and most buttons.
std::string File(int n) {
    const std::string exe = "player" + std::to_string(n) + ".exe";
    std::string text = "# a player of the benchmark\n[program]\nname = \"Player " +
                       std::to_string(n) + "\"\nmatch = [{ process = \"" + exe +
                       "\" }, { process = \"" + exe + "\", title_contains = \"movie\", class = \"Wnd\" }]\n"
                       "takes_global = [\"VolumeUp\"]\n[buttons]\n";
    const char* const lines[] = {
        "Play = \"Space\"", "Pause = \"Space\"", "Stop = \"Ctrl+S\"", "Next = \"Shift+Period\"",
        "Previous = \"Shift+Comma\"", "Ok = [\"Ctrl+L\", \"Enter\"]",
        "Menu = { app_command = \"MEDIA_PLAY_PAUSE\" }", "Record = { keys = \"Left\", scancode = true }",
        "Exit = \"none\"", "Rewind = \"Left\"", "FastForward = \"Right\"", "VolumeUp = \"Up\"",
        "ChannelUp = { message = 0x111, wparam = 40045, class = \"Winamp v1.x\" }",
        "Digit1 = \"1\"", "Digit2 = \"2\"", "Digit3 = \"3\"", "Digit4 = \"4\"", "Digit5 = \"5\"",
    };
    for (const char* line : lines) text += std::string(line) + "\n";
    return text;
}

std::vector<ProfileText> Files(int count, int from) {
    std::vector<ProfileText> files;
    for (int i = 0; i < count; ++i)
        files.push_back({"player" + std::to_string(from + i) + ".toml", File(from + i)});
    return files;
}

void BM_PressWithProfiles(benchmark::State& state) {
    NotepadPress s;
    const int count = static_cast<int>(state.range(0));
    if (!InstallProfiles(Files(count / 2, 0), Files(count - count / 2, count / 2)).empty())
        state.SkipWithError("a file was refused");
    int i = 0;
    for (auto _ : state) s.Press(i++);
    (void)InstallProfiles({}, {});
}
BENCHMARK(BM_PressWithProfiles)->Arg(0)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_Load200Files(benchmark::State& state) {
    const std::vector<ProfileText> user = Files(100, 0), shipped = Files(100, 100);
    for (auto _ : state) {
        if (!InstallProfiles(user, shipped).empty()) state.SkipWithError("a file was refused");
    }
    (void)InstallProfiles({}, {});
}
BENCHMARK(BM_Load200Files)->Unit(benchmark::kMillisecond);

class ExtraReporter : public benchmark::ConsoleReporter {
public:
    ExtraReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> out = runs;
        for (Run& r : out) {
            // In the benchmark's own unit, microseconds.
            const double us = r.GetAdjustedCPUTime();
            if (r.benchmark_name() == "BM_PressWithProfiles/0") g_noneUs = us;
            if (r.benchmark_name() == "BM_PressWithProfiles/200" && g_noneUs > 0)
                r.counters["extra_us"] = us - g_noneUs;
        }
        ConsoleReporter::ReportRuns(out);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ExtraReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
