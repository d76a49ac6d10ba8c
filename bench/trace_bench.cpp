// What the routing trace costs a press. The press: Rewind with Notepad in front
// (catalogue row 125: the button message posted, Ctrl+Alt+Left typed), from the
// received code through the repeat filter, the dispatcher and the input, each
// iteration a new press.
//
// BM_Press/0 is the press with nobody watching (no viewer, log off), BM_Press/1 the
// same press with a viewer (its line built and handed over). BM_TraceHooksOfAPress runs,
// with nobody watching, exactly the trace's share of such a press: the record's open and
// close, the match, and one hook per step and action the watched press recorded. Its
// counter "pct_of_press" relates that to BM_Press/0 minus it (the press without the
// trace) from the same run, in CPU time; the goal is at most 1%.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "notepad_press.h"
#include "state/trace.h"

namespace {

double g_unwatchedPressNs = 0;
size_t g_hooksPerPress = 0;
std::string g_lastLine;
void Keep(const std::string& line) { g_lastLine = line; }


void BM_Press(benchmark::State& state) {
    NotepadPress s;
    const bool watched = state.range(0) != 0;
    SetTraceOutput(&Keep);
    SetTraceWatched(watched);
    int i = 0;
    for (auto _ : state) s.Press(i++);
    SetTraceWatched(false);
    SetTraceOutput(nullptr);
    state.SetLabel(watched ? "a viewer attached" : "nobody watching");
    if (watched) {
        // Every step and action the line names passed one hook.
        size_t parts = 0;
        for (const char* sep : {", then ", "; "}) {
            for (size_t at = g_lastLine.find(sep); at != std::string::npos;
                 at = g_lastLine.find(sep, at + 1))
                ++parts;
        }
        g_hooksPerPress = parts + 2;
        state.counters["hooks/press"] = static_cast<double>(g_hooksPerPress);
    }
}
BENCHMARK(BM_Press)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Registered after BM_Press and run after it: the time of BM_Press/0 is known by then.
void BM_TraceHooksOfAPress(benchmark::State& state) {
    SetTraceWatched(false);
    const size_t hooks = g_hooksPerPress == 0 ? 8 : g_hooksPerPress;
    for (auto _ : state) {
        CodeTrace trace(24);
        trace.Match(Rewind, 1, RepeatDecision::NewPress);
        for (size_t h = 0; h < hooks; ++h)
            TraceStep([] { return TraceFact(TraceKind::MouseMode); });
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TraceHooksOfAPress)->Unit(benchmark::kNanosecond);

// Collects BM_Press/0's time per press and turns the hooks' time into its share.
class ShareReporter : public benchmark::ConsoleReporter {
public:
    ShareReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> out = runs;
        for (Run& r : out) {
            // CPU time: the machine's other load does not belong to either side.
            const double ns =
                r.GetAdjustedCPUTime() * (r.time_unit == benchmark::kMicrosecond ? 1000.0 : 1.0);
            if (r.benchmark_name() == "BM_Press/0") g_unwatchedPressNs = ns;
            if (r.benchmark_name() == "BM_TraceHooksOfAPress" && g_unwatchedPressNs > ns)
                r.counters["pct_of_press"] = 100.0 * ns / (g_unwatchedPressNs - ns);
        }
        ConsoleReporter::ReportRuns(out);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
