#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ui/win32/power_notices.h"
#include "wine_support.h"

namespace {

// The registrations the main window makes: each one the system offers takes, and
// taking them again or dropping them twice is harmless.
TEST(PowerNotices, RegistersWhatTheSystemOffers) {
    TestWindow window("Power notices", "OrbiscopeTestWindow");
    const bool offered =
        GetProcAddress(GetModuleHandleA("user32.dll"), "RegisterSuspendResumeNotification") != nullptr;
    PowerNotices notices;
    notices.Register(window.hwnd());
    EXPECT_EQ(notices.SuspendResumeRegistered(), offered);
    EXPECT_TRUE(notices.DisplayStateRegistered());
    notices.Register(window.hwnd());
    notices.Unregister();
    notices.Unregister();
    EXPECT_FALSE(notices.SuspendResumeRegistered());
    EXPECT_FALSE(notices.DisplayStateRegistered());
    // A virtual machine's desktop has no modern standby.
    EXPECT_FALSE(PowerNotices::SleepsWithDisplay());
}

std::vector<BYTE> Setting(const GUID& guid, DWORD length, DWORD value) {
    std::vector<BYTE> bytes(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
    auto* s = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes.data());
    s->PowerSetting = guid;
    s->DataLength = length;
    std::memcpy(s->Data, &value, sizeof value);
    return bytes;
}

TEST(PowerNotices, ReadsTheConsoleDisplayStateAndNothingElse) {
    const GUID other = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
    struct Case {
        GUID guid;
        DWORD length;
        DWORD value;
        bool read;
        bool on;
    } cases[] = {
        {kConsoleDisplayStateSetting, 4, 0, true, false},
        {kConsoleDisplayStateSetting, 4, 1, true, true},
        {kConsoleDisplayStateSetting, 4, 2, true, true},  // dimmed
        {kConsoleDisplayStateSetting, 2, 1, false, false},
        {other, 4, 0, false, false},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bytes = Setting(c.guid, c.length, c.value);
        bool on = false;
        EXPECT_EQ(ConsoleDisplayState(reinterpret_cast<LPARAM>(bytes.data()), on), c.read) << c.value;
        if (c.read) {
            EXPECT_EQ(on, c.on) << c.value;
        }
    }
    bool on = false;
    EXPECT_FALSE(ConsoleDisplayState(0, on));
}

}  // namespace
