// What the on-screen display costs a press: Rewind with Notepad in front (catalogue row
// 125), from the received code to the keys, each iteration a new press, nobody watching
// the trace.
//
// BM_PressWithDisplay/0 is the press with the display off: the trace's one relaxed load
// per hook, nothing built. BM_PressWithDisplay/1 has it on: the record is built, its
// words made and left for the user-interface thread, and the window woken (here a
// counter stands in for the window's PostMessage). The counter "extra_pct" of /1 is its
// cost over /0 in the same run, in CPU time. The drawing is not on the press's thread
// and not measured here.
#include <benchmark/benchmark.h>

#include <atomic>
#include <vector>

#include "notepad_press.h"
#include "state/trace.h"
#include "ui/osd.h"

namespace {

std::atomic<int> g_wakes{0};
void CountWake() { g_wakes.fetch_add(1, std::memory_order_relaxed); }
double g_offNs = 0;


void BM_PressWithDisplay(benchmark::State& state) {
    NotepadPress s;
    const bool on = state.range(0) != 0;
    SetTraceWatched(false);
    SetOsdWake(&CountWake);
    SetOnScreenDisplay(on);
    g_wakes = 0;
    int i = 0;
    for (auto _ : state) s.Press(i++);
    SetOnScreenDisplay(false);
    SetOsdWake(nullptr);
    state.SetLabel(on ? "display on" : "display off");
    if (on && g_wakes.load() != i) state.SkipWithError("a press left no panel");
    if (!on && g_wakes.load() != 0) state.SkipWithError("the display woke while off");
}
BENCHMARK(BM_PressWithDisplay)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

class ExtraReporter : public benchmark::ConsoleReporter {
public:
    ExtraReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> out = runs;
        for (Run& r : out) {
            const double ns = r.GetAdjustedCPUTime();
            if (r.benchmark_name() == "BM_PressWithDisplay/0") g_offNs = ns;
            if (r.benchmark_name() == "BM_PressWithDisplay/1" && g_offNs > 0)
                r.counters["extra_pct"] = 100.0 * (ns - g_offNs) / g_offNs;
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
