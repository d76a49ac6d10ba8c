#include <gtest/gtest.h>

#include "wine_support.h"

namespace {

TEST(ClockAdapter, TickCountIsTheSystemsAndSleepWaits) {
    Clock& clock = Win32Clock();
    const uint32_t system = GetTickCount();
    const uint32_t before = clock.TickCount();
    EXPECT_LE(before - system, 50u);
    clock.Sleep(120);
    const uint32_t slept = clock.TickCount() - before;
    EXPECT_GE(slept, 100u);  // the tick has a granularity of about 16 ms
}

}  // namespace
