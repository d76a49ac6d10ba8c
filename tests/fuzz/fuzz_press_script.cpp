// The sender's press scripts, the packer and the code monitor's reading. Words from the
// input make a script; an understood one keeps the remote's rhythm, and each frame's
// packed code unpacks to exactly the button's stored values, which the monitor reads
// back as that button alone, a new press never swallowed. Any values that fit in one
// code pack to bytes that unpack to exactly those values, ending at the last byte. For
// any byte stream the monitor reports each code's values as collected, its matches in
// id order, with only the last one possibly swallowed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shared/code_monitor.h"
#include "engine/events.h"
#include "platform/fake/fake_os.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/stream.h"
#include "shared/pack.h"
#include "shared/virtual_remote.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

std::vector<uint8_t> Collected() {
    const IrReceiver& rx = TheReceiver();
    return std::vector<uint8_t>(rx.values, rx.values + rx.valueCount);
}

void PlayScript(const PressScript& script) {
    FakeClock clock;
    Platform ports;
    ports.clock = &clock;
    ScopedPlatform scope(ports);
    TheButtonTiming() = ButtonTiming{};
    const RemoteFrame* previous = nullptr;
    for (const RemoteFrame& frame : script.frames) {
        Check(frame.id >= 0 && frame.id < kButtonCount && (frame.variant == 1 || frame.variant == 2));
        if (previous != nullptr) Check(frame.atMs >= previous->atMs + kFramePeriodMs);
        // Playing a few frames shows the rhythm; a held button would repeat the same.
        if (previous == nullptr || frame.id != previous->id || frame.variant != previous->variant ||
            &frame - script.frames.data() < 16) {
            clock.now = frame.atMs;
            const std::vector<uint8_t> bytes = PackButton(frame.id, frame.variant);
            Check(!bytes.empty());
            for (size_t i = 0; i < bytes.size(); ++i) Check(UnpackByte(bytes[i]) == (i + 1 == bytes.size()));
            const ButtonCode& code = kButtonCodes[frame.id];
            Check(Collected() == SequenceValues(frame.variant == 1 ? code.variant1 : code.variant2));
            const MonitorReport report = AnalyseCompletedCode();
            Check(report.matches.size() == 1 && report.matches[0].id == frame.id &&
                  report.matches[0].variant == frame.variant);
            const bool newPress = previous == nullptr || frame.id != previous->id ||
                                  frame.variant != previous->variant;
            if (newPress) Check(report.matches[0].kind == MonitorMatch::NewPress && report.matches[0].accepted);
        }
        previous = &frame;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool loaded = [] {
        LoadDefaultButtons();
        return true;
    }();
    (void)loaded;
    FuzzedDataProvider in(data, size);
    IrReceiver& rx = TheReceiver();
    rx.valueCount = 0;
    ResetUnpacker(rx);

    // A few words only: a word may ask for a day of frames.
    std::vector<std::string> words(in.ConsumeIntegralInRange(0, 6));
    for (std::string& word : words) word = in.ConsumeRandomLengthString(40);
    const PressScript script = BuildPressScript(words, in.ConsumeIntegralInRange(0, 3));
    if (script.error.empty()) PlayScript(script);
    rx.valueCount = 0;
    ResetUnpacker(rx);

    const std::vector<uint8_t> values = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 999));
    const std::vector<uint8_t> packed = PackCode(values);
    Check(packed.empty() == (values.empty() || values.back() > 14));
    for (size_t i = 0; i < packed.size(); ++i) Check(UnpackByte(packed[i]) == (i + 1 == packed.size()));
    if (!packed.empty()) Check(Collected() == values);
    rx.valueCount = 0;
    ResetUnpacker(rx);

    // The rest as the monitor reads a file: one frame period from code to code.
    FrameClock clock(kFramePeriodMs);
    Platform ports;
    ports.clock = &clock;
    ScopedPlatform scope(ports);
    TheButtonTiming() = ButtonTiming{};
    for (const uint8_t b : in.ConsumeRemainingBytes<uint8_t>()) {
        if (!UnpackByte(b)) continue;
        clock.NextCode();
        const std::vector<uint8_t> collected = Collected();
        const MonitorReport report = AnalyseCompletedCode();
        Check(rx.valueCount == 0 && report.values == collected &&
              report.tooShort == (collected.size() < kShortestCode));
        for (size_t i = 0; i < report.matches.size(); ++i) {
            if (i > 0) Check(report.matches[i].id > report.matches[i - 1].id);
            if (i + 1 < report.matches.size()) Check(report.matches[i].accepted);
        }
        Check(FormatReport(report).rfind(std::to_string(collected.size()) + " values", 0) == 0);
    }
    return 0;
}
