// A settings load (the user pressing Cancel) rebuilds the button map while the reader
// thread matches codes. Run under ThreadSanitizer too: no code may meet an empty or
// half-built map, and nothing may race.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "fake_env.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "state/settings_store.h"
#include "ui/document.h"

namespace {

TEST(SettingsRace, ReloadWhileTheReaderMatchesNeverMissesACode) {
    FakeEnv env;
    env.Foreground("unknown.exe");
    CRemoteDoc doc;
    doc.OnOpenDocument(nullptr);
    env.registry.SetDword(Hive::CurrentUser, kSettingsKeyPath, "RepeatRate", 20);

    // Buttons whose only effect for an unknown program is their default keystroke.
    const int32_t buttons[] = {Play, Stop, Previous, Next, Ok, Menu, Digit0, Digit1, Digit5, Digit9};
    constexpr int kCodes = 1500;

    std::atomic<bool> readerDone{false};
    std::atomic<int> loads{0};
    int unrecognised = 0;
    std::thread reader([&] {
        int variant = 1;
        for (int i = 0; i < kCodes; ++i) {
            const int32_t id = buttons[i % std::size(buttons)];
            variant = 3 - variant;
            const auto values = SequenceValues(variant == 1 ? kButtonCodes[id].variant1
                                                            : kButtonCodes[id].variant2);
            TheButtonTiming().lastButton = -1;
            TheReceiver().valueCount = 0;
            for (uint8_t v : values) AppendValue(v);
            OnCodeComplete();
            // The repeat filter records every press it was asked about: a code that
            // matched nothing leaves it untouched.
            if (TheButtonTiming().lastButton != id || TheButtonTiming().lastVariant != variant)
                ++unrecognised;
        }
        readerDone = true;
    });
    while (!readerDone.load()) {
        doc.Settings().SetRepeatRate(loads.load() % 100);
        doc.OnOpenDocument(nullptr);
        ++loads;
        // Loads come from the user, not back to back: without a pause here the lock
        // passes straight back to this thread and the reader starves.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    reader.join();

    EXPECT_EQ(unrecognised, 0);
    EXPECT_GT(loads.load(), 1);
    EXPECT_EQ(TheButtonMap().Count(), 42u);
    EXPECT_EQ(doc.Settings().RepeatRate.load(), 20);
}

}  // namespace
