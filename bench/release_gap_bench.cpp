// How soon the end of a held press can be known. A held button sends a frame every
// 114 ms and the reader polls: a read slice, then a 100 ms pause. A frame that arrives
// just after the reader went to sleep waits for the next cycle, so the frames of one held
// press reach the engine further apart than they were sent. The release gap (no frame
// for that long: the button was let go) must exceed the longest of these gaps, or a held
// button would seem let go in the middle of its press.
//
// The real reader thread reads a receiver fed in real time: held presses of 15 frames,
// sent at the remote's spacing (the virtual receiver's own script of "Play:frames=15")
// with up to 5 ms of jitter a frame, each press starting at a different phase of the
// reader's cycle. The benchmark prints the longest gap between two frames of one press
// as the engine saw them, and its 99th percentile.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "platform/fake/fake_receiver.h"
#include "platform/steady_clock.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "shared/pack.h"
#include "shared/virtual_remote.h"

namespace {

const char* const kPath = "\\\\?\\usb#vid_0000&pid_0001#gap#{receiver}";

class Arrivals : public CodeSink {
public:
    void OnCodeComplete() override {
        std::lock_guard<std::mutex> hold(lock_);
        ticks_.push_back(TickNow());
        TheReceiver().valueCount = 0;
    }
    std::vector<uint32_t> Ticks() {
        std::lock_guard<std::mutex> hold(lock_);
        return ticks_;
    }

private:
    std::mutex lock_;
    std::vector<uint32_t> ticks_;
};

void BM_ReleaseGap(benchmark::State& state) {
    constexpr int kPresses = 8;
    constexpr int kFrames = 15;
    SteadyClock clock;
    FakeReceiverDevice device;
    Platform ports;
    ports.clock = &clock;
    ports.receiver = &device;
    ScopedPlatform scope(ports);
    const auto arrivals = std::make_shared<Arrivals>();
    ReceiverLinks links;
    links.codeSink = arrivals;
    SetReceiverLinks(links);
    device.AddInterface(kPath);

    std::vector<uint32_t> gaps;
    for (auto _ : state) {
        StartReceiver(0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        std::mt19937 random(31);
        std::uniform_int_distribution<int> jitter(0, 5), phase(0, static_cast<int>(kFramePeriodMs));
        const PressScript press = BuildPressScript({"Play:frames=" + std::to_string(kFrames)});
        for (int p = 0; p < kPresses; ++p) {
            const auto start = std::chrono::steady_clock::now();
            for (const RemoteFrame& frame : press.frames) {
                std::this_thread::sleep_until(
                    start + std::chrono::milliseconds(frame.atMs + static_cast<uint32_t>(jitter(random))));
                device.Queue(kPath, PackButton(frame.id, 1 + p % 2));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(400 + phase(random)));
        }
        CloseReceiver();
        const std::vector<uint32_t> ticks = arrivals->Ticks();
        if (ticks.size() != static_cast<size_t>(kPresses * kFrames)) {
            state.SkipWithError("the reader did not deliver every frame");
            break;
        }
        for (int p = 0; p < kPresses; ++p)
            for (int f = 1; f < kFrames; ++f)
                gaps.push_back(ticks[static_cast<size_t>(p * kFrames + f)] -
                               ticks[static_cast<size_t>(p * kFrames + f - 1)]);
    }
    SetReceiverLinks(ReceiverLinks{});
    if (gaps.empty()) return;
    std::sort(gaps.begin(), gaps.end());
    const uint32_t longest = gaps.back();
    const uint32_t p99 = gaps[gaps.size() * 99 / 100];
    state.counters["longest_gap_ms"] = longest;
    state.counters["p99_gap_ms"] = p99;
    state.counters["shortest_gap_ms"] = gaps.front();
    std::printf(
        "frames every %u ms, read pause %u ms: %zu gaps between the frames of held presses as "
        "the engine saw them; shortest %u ms, 99th percentile %u ms, longest %u ms\n",
        kFramePeriodMs, kReadPauseMs, gaps.size(), gaps.front(), p99, longest);
}
BENCHMARK(BM_ReleaseGap)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
