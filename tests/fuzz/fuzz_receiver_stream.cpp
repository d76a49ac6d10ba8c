// Arbitrary receiver bytes through the unpacker and the event processing: never more
// than 999 values held, never a crash, whatever arrives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "events/events.h"
#include "platform/fake/fake_os.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool loaded = [] {
        LoadDefaultButtons();
        return true;
    }();
    (void)loaded;
    FakeClock clock;
    FakeInput input;
    FakeDesktop desktop;
    FakeProcessList processes;
    FakeUserInterface ui;
    Platform p;
    p.clock = &clock;
    p.input = &input;
    p.desktop = &desktop;
    p.processes = &processes;
    p.ui = &ui;
    ScopedPlatform scope(p);
    IrReceiver& rx = TheReceiver();
    rx.valueCount = 0;
    ResetUnpacker(rx);
    TheButtonTiming() = ButtonTiming{};
    for (size_t i = 0; i < size; ++i) {
        clock.Advance(data[i] & 0x7F);
        if (UnpackByte(data[i])) OnCodeComplete();
        if (rx.valueCount < 0 || rx.valueCount > 999) std::abort();
    }
    return 0;
}
