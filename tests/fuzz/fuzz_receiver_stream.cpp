// The receiver's byte stream on a fake machine whose settings record, system version,
// program in front and program behind come from the input: whole button frames and
// arbitrary bytes run through the unpacker, the event processing, the dispatcher, the
// catalogue's handlers, macros, power and volume. Never more than 999 values held,
// never a crash, and after every code no input attachment left and no key held down.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "fuzz/fuzz_machine.h"
#include "profiles/catalogue.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/stream.h"
#include "shared/pack.h"
#include "engine/dispatcher.h"

namespace {

// A program that one clause of a catalogue row recognises (or one the catalogue does not
// know), with cooperating-window flags in its title, a plug-in class or this program's
// own process as the input's bits say.
void AddProgram(FuzzMachine& m, FuzzedDataProvider& in, bool front) {
    FakeWindow w;
    w.title = "Untitled";
    w.className = "AppClass";
    std::string exe = "other.exe";
    if (const int row = in.ConsumeIntegralInRange(0, kCatalogueRows); row > 0) {
        const catalogue::Rule& rule = CatalogueRow(row).rule;
        const catalogue::Clause& clause = rule.clauses[in.ConsumeIntegralInRange(0, rule.count - 1)];
        for (uint8_t i = 0; i < clause.count; ++i) {
            const catalogue::Condition& c = clause.conditions[i];
            if (c.negated) continue;
            switch (c.test) {
                case catalogue::Test::ProcessIs:
                case catalogue::Test::ProcessContains: exe = c.Text(); break;
                case catalogue::Test::ClassIs: w.className = c.Text(); break;
                default: w.title = c.Text(); break;
            }
        }
    }
    static const char* const kMarks[] = {" Orbiscope#02", " Orbiscope#03", " -ms", " -f", " -p", " +fg"};
    const uint8_t marks = in.ConsumeIntegral<uint8_t>();
    for (size_t i = 0; i < std::size(kMarks); ++i) {
        if ((marks & (1u << i)) != 0) w.title += kMarks[i];
    }
    if ((marks & 0x40) != 0) w.className = "Orbiscope.WMPlugin";
    const WindowHandle h = m.AddWindow(w, exe, (marks & 0x80) != 0);
    if (front) m.env.desktop.foreground = h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool loaded = [] {
        LoadDefaultButtons();
        return true;
    }();
    (void)loaded;
    FuzzedDataProvider in(data, size);
    FuzzMachine m(in);
    AddProgram(m, in, false);
    AddProgram(m, in, true);
    // Now and then a window that takes every button before the catalogue does.
    static const char* const kTakers[] = {kGirderClass, kWmxClass, kWmxaClass, "Winamp v1.x"};
    if (const size_t taker = in.ConsumeIntegralInRange<size_t>(0, 15); taker < std::size(kTakers)) {
        FakeWindow w;
        w.className = kTakers[taker];
        m.AddWindow(w, "taker.exe");
    }

    IrReceiver& rx = TheReceiver();
    rx.valueCount = 0;
    ResetUnpacker(rx);
    auto feed = [&](uint8_t b) {
        if (UnpackByte(b)) {
            OnCodeComplete();
            m.CheckAfterPress();
        }
        Check(rx.valueCount >= 0 && rx.valueCount <= 999);
    };
    while (in.remaining_bytes() > 0) {
        const uint8_t op = in.ConsumeIntegral<uint8_t>();
        if (op < 2 * kButtonCount) {
            // A whole frame of one button, up to 2.55 s after the one before.
            m.env.clock.Advance(10u * in.ConsumeIntegral<uint8_t>());
            for (const uint8_t b : PackButton(op / 2, op % 2 + 1)) feed(b);
        } else if (op == 2 * kButtonCount) {
            LetterEntryTimer();  // the main window's timer, whether it runs or not
            m.CheckAfterPress();
        } else {
            for (const uint8_t b : in.ConsumeBytes<uint8_t>(op - 2 * kButtonCount)) {
                m.env.clock.Advance(b & 0x7F);
                feed(b);
            }
        }
    }
    return 0;
}
