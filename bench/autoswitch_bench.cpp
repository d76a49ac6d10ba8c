// The most expensive press: an unsupported program in front, AutoSwitchEnabled on and
// no supported program anywhere, so every catalogue row is asked about the foreground
// window and about each of 40 visible top-level windows, with 300 processes running.
// The counters say how many process-list walks and image-name lookups one press costs.
// The last benchmark compares presses taken by catalogue rows 1, 80 and 150.
#include <benchmark/benchmark.h>

#include "fake_env.h"
#include "profiles/catalogue.h"
#include "engine/dispatcher.h"
#include "desktop/window_queries.h"

namespace {

void Populate(FakeEnv& env) {
    std::vector<ProcessId> owners;
    for (int i = 0; i < 300; ++i) {
        owners.push_back(env.processes.Add("service" + std::to_string(i) + ".exe"));
    }
    for (int i = 0; i < 40; ++i) {
        FakeWindow w;
        w.pid = owners[static_cast<size_t>(i * 7)];
        w.thread = w.pid + 1;
        w.title = "Document " + std::to_string(i) + " - Editor";
        w.className = "EditorFrame";
        env.desktop.foreground = env.desktop.Add(w);
    }
}

void Report(benchmark::State& state, const FakeEnv& env) {
    const double presses = static_cast<double>(state.iterations());
    state.counters["walks/press"] = benchmark::Counter(env.processes.snapshots / presses);
    state.counters["lookups/press"] = benchmark::Counter(env.processes.lookups / presses);
}

// The catalogue side of a press: the automatic switch, then the dispatch walk.
void CataloguePress() {
    AutoSwitch();
    benchmark::DoNotOptimize(ForegroundCatalogueRow());
}

void BM_UnsupportedPress(benchmark::State& state) {
    FakeEnv env;
    Populate(env);
    const WindowHandle front = env.desktop.foreground;
    env.processes.snapshots = env.processes.lookups = 0;
    for (auto _ : state) CataloguePress();
    if (env.desktop.foreground != front) state.SkipWithError("something was supported");
    Report(state, env);
}
BENCHMARK(BM_UnsupportedPress)->Unit(benchmark::kMicrosecond);

// Where the system cannot name a process directly, each question walks the list.
void BM_UnsupportedPressWithoutImageNames(benchmark::State& state) {
    FakeEnv env;
    Populate(env);
    env.processes.imageNameWorks = false;
    env.processes.snapshots = env.processes.lookups = 0;
    for (auto _ : state) CataloguePress();
    Report(state, env);
}
BENCHMARK(BM_UnsupportedPressWithoutImageNames)->Unit(benchmark::kMicrosecond);

// The whole press through the dispatcher (its warning answered by the fake).
void BM_UnsupportedPressThroughDispatcher(benchmark::State& state) {
    FakeEnv env;
    Populate(env);
    env.settings->ShowUnsupportedDlg = 0;
    env.processes.snapshots = env.processes.lookups = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ButtonDispatcher(Play, 1));
    Report(state, env);
}
BENCHMARK(BM_UnsupportedPressThroughDispatcher)->Unit(benchmark::kMicrosecond);

// A press taken by catalogue row 1, 80 or 150, with the program of that row in front
// and 40 other windows behind it: the automatic switch's check and the dispatch walk
// share one read of the foreground's facts, so the last row costs the lookups of the
// first. "wine_us/press" adds the lookups at the 150 µs each measured under Wine.
struct RowProgram {
    int row;
    const char* exe;
    const char* title;
};
constexpr RowProgram kRowPrograms[] = {
    {1, "host.exe", "Game ORBISCOPE#03"}, {80, "vlc.exe", "Window"}, {150, "wmplayer.exe", "Window"}};

void BM_PressAtRow(benchmark::State& state) {
    const RowProgram& p = kRowPrograms[state.range(0)];
    FakeEnv env;
    Populate(env);
    env.Foreground(p.exe, p.title);
    env.settings->ShowUnsupportedDlg = 0;
    {
        const ForegroundPressScope press;
        if (ForegroundCatalogueRow() != p.row) state.SkipWithError("the program is not that row's");
    }
    env.processes.snapshots = env.processes.lookups = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ButtonDispatcher(Play, 1));
        env.input.Clear();
    }
    Report(state, env);
    state.SetLabel("row " + std::to_string(p.row) + " " + p.exe);
    state.counters["wine_us/press"] = benchmark::Counter(
        150.0 * env.processes.lookups / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PressAtRow)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
