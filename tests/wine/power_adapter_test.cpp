#include <gtest/gtest.h>

#include "engine/power.h"
#include "wine_support.h"

namespace {

// Only the harmless calls are made here: nothing suspends, hibernates or shuts down.

TEST(PowerAdapter, VersionAgreesWithTheOlderQuery) {
    const OsVersion v = Win32Power().Version();
    ASSERT_TRUE(v.ok);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    const DWORD packed = GetVersion();
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    EXPECT_EQ(v.major, LOBYTE(LOWORD(packed)));
    EXPECT_EQ(v.minor, HIBYTE(LOWORD(packed)));
    EXPECT_EQ(v.platformId, (packed & 0x80000000u) == 0 ? kPlatformNt : kPlatformWin9x);
    EXPECT_FALSE(IsWindows98OrMe(v));
}

TEST(PowerAdapter, EnablesTheShutdownPrivilegeButNoInventedOne) {
    EXPECT_TRUE(Win32Power().EnablePrivilege("SeShutdownPrivilege"));
    EXPECT_FALSE(Win32Power().EnablePrivilege("SeNoSuchThingPrivilege"));
}

TEST(PowerAdapter, DisplayPowerQueriesMatchTheSystemParameters) {
    BOOL low = FALSE, off = FALSE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETLOWPOWERACTIVE, 0, &low, 0));
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETPOWEROFFACTIVE, 0, &off, 0));
    EXPECT_EQ(Win32Power().LowPowerActive(), low != FALSE);
    EXPECT_EQ(Win32Power().PowerOffActive(), off != FALSE);
    Win32Power().SetDisplayRequired();  // resets the display's idle timer, nothing more
}

TEST(PowerAdapter, WakeUpWithoutAScreenSaverDesktopClosesOnlyScreenSaverWindows) {
    Platform p = RealPlatform();
    p.power = &Win32Power();
    ScopedPlatform real(p);
    EXPECT_FALSE(Win32Desktop().DesktopWindows("Screen-saver", 0x81).has_value());
    TestWindow ordinary("Ordinary window", "OrbiscopeTestWindow");
    TestWindow saver("Saver", "WindowsScreenSaverClass", 200, 200, 200, 100);
    ScreenSaverWakeUp();
    EXPECT_TRUE(PumpUntil([&] { return !saver.Received(WM_CLOSE).empty(); }));
    PumpMessages(100);
    EXPECT_TRUE(ordinary.Received(WM_CLOSE).empty());
}

TEST(PowerAdapter, ProcessIdByNameFindsThisProgram) {
    ScopedPlatform real(RealPlatform());
    EXPECT_EQ(ProcessIdByName("wine_tests.exe"), GetCurrentProcessId());
    EXPECT_EQ(ProcessIdByName("no-such-program-anywhere.exe"), 0u);
}

}  // namespace
