#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "receiver/button_map.h"
#include "registry_keys.h"
#include "state/settings_store.h"
#include "ui/document.h"
#include "wine_support.h"

namespace {

std::string Text(const std::vector<BYTE>& data) {
    std::string s(data.begin(), data.end());
    return s.substr(0, s.find('\0'));
}

std::vector<BYTE> Sz(const std::string& s, int terminators = 1) {
    std::vector<BYTE> d(s.begin(), s.end());
    for (int i = 0; i < terminators; ++i) d.push_back(0);
    return d;
}

DWORD Dword(const std::vector<BYTE>& data) {
    DWORD v = 0;
    if (data.size() == 4) memcpy(&v, data.data(), 4);
    return v;
}

class RegistrySettings : public ::testing::Test {
protected:
    static Platform WithRegistry() {
        Platform p = RealPlatform();
        p.registry = &Win32Registry();
        return p;
    }
    RegistryKeyGuard user{HKEY_CURRENT_USER, "Software\\OrbiScope"};
    RegistryKeyGuard machine{MachineSoftware32(), "Orbiscope"};
    RegistryKeyGuard machine64{HKEY_LOCAL_MACHINE, "Software\\Orbiscope"};
    ScopedPlatform scope{WithRegistry()};
};

TEST_F(RegistrySettings, FirstLoadCreatesTheUserKeyAndWritesOnlyTheFavourites) {
    ASSERT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\OrbiScope"));
    CRemoteDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKeyPath));

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Favorite1", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Text(data), std::string("http://") + kFavoritesHost + "/favorites/red.html");
    ASSERT_TRUE(RawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Favorite2", type, data));
    EXPECT_EQ(Text(data), "C:\\Program Files\\Orbiscope\\Remote\\Docs\\index.html");
    EXPECT_FALSE(RawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Macro1", type, data));
    EXPECT_EQ(doc.Settings().Macro1.load(), 4);
    EXPECT_EQ(TheButtonMap().Count(), 42u);
}

TEST_F(RegistrySettings, SaveAndReloadThroughTheRealRegistry) {
    {
        CRemoteDoc doc;
        doc.OnOpenDocument(nullptr);
        RemoteSettings& s = doc.Settings();
        s.SetMacro1(9);
        s.SetMacro4(2);
        s.SetFavorite3("C:\\Music\\Best of.m3u");
        s.SetVolumeSensitivity(80);
        s.SetRepeatDelay(150);
        s.SetRepeatRate(10);
        s.SetPowerButtonEnabled(1);
        s.SetPowerButtonMode(3);
        s.SetScreenSaverWakeupEnabled(0);
        s.SetAutoSwitchEnabled(0);
        s.SetMouseModeEnabled(1);
        s.SetShowUnsupportedDlg(0);
        ASSERT_TRUE(doc.SaveModified());
        EXPECT_FALSE(doc.IsModified());
    }
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "RepeatDelay", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Dword(data), 100u);
    ASSERT_TRUE(RawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "PowerButtonMode", type, data));
    EXPECT_EQ(Dword(data), 3u);

    CRemoteDoc again;
    again.OnOpenDocument(nullptr);
    const RemoteSettings& s = again.Settings();
    EXPECT_EQ(s.Macro1.load(), 9);
    EXPECT_EQ(s.Macro4.load(), 2);
    EXPECT_EQ(s.GetFavorite3(), "C:\\Music\\Best of.m3u");
    EXPECT_EQ(s.VolumeSensitivity.load(), 80);
    EXPECT_EQ(s.RepeatDelay.load(), 100);
    EXPECT_EQ(s.RepeatRate.load(), 10);
    EXPECT_EQ(s.PowerButtonEnabled.load(), 1);
    EXPECT_EQ(s.PowerButtonMode.load(), 3);
    EXPECT_EQ(s.ScreenSaverWakeupEnabled.load(), 0);
    EXPECT_EQ(s.AutoSwitchEnabled.load(), 0);
    EXPECT_EQ(s.MouseModeEnabled.load(), 1);
    EXPECT_EQ(s.ShowUnsupportedDlg.load(), 0);
}

TEST_F(RegistrySettings, StoredValuesOutOfRangeAndTheDefaultMarker) {
    SetRawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Macro3", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
    SetRawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "RepeatRate", REG_DWORD, {250, 0, 0, 0});
    SetRawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Favorite4", REG_SZ, Sz("DEFAULT"));
    SetRawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Favorite3", REG_SZ, Sz("default"));
    CRemoteDoc doc;
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(doc.Settings().Macro3.load(), 0);
    EXPECT_EQ(doc.Settings().RepeatRate.load(), 100);
    EXPECT_EQ(doc.Settings().GetFavorite3(), "default");

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(RawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "RepeatRate", type, data));
    EXPECT_EQ(Dword(data), 250u);
    ASSERT_TRUE(RawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Favorite4", type, data));
    EXPECT_EQ(Text(data), std::string("http://") + kFavoritesHost + "/favorites/blue.html");
}

TEST_F(RegistrySettings, HelpFavouriteComesFromTheMachineWideInstallDirectory) {
    struct Case {
        DWORD type;
        std::vector<BYTE> data;
        std::string expected;
    };
    const std::string fallback = "C:\\Program Files\\Orbiscope\\Remote\\Docs\\index.html";
    const Case cases[] = {
        {REG_SZ, Sz("D:\\Apps\\R"), "D:\\Apps\\R\\Docs\\Kestrune.chm"},
        {REG_SZ, Sz("D:\\Apps\\R\\"), "D:\\Apps\\R\\\\Docs\\Kestrune.chm"},
        {REG_MULTI_SZ, Sz("E:\\Remote", 2), "E:\\Remote\\Docs\\Kestrune.chm"},
        {REG_SZ, Sz(std::string(1200, 'x')), fallback},
        {REG_DWORD, {1, 0, 0, 0}, fallback},
    };
    // The 32-bit installer writes the folder into the 32-bit view; the same value in the
    // 64-bit view alone is not the installer's and is not read.
    const char* const path32 = kMachineSettingsKeyPath + strlen("Software\\");
    SetRawValue(HKEY_LOCAL_MACHINE, kMachineSettingsKeyPath, "LastInstallDir", REG_SZ,
                Sz("F:\\Wrong view"));
    for (const Case& c : cases) {
        SetRawValue(MachineSoftware32(), path32, "LastInstallDir", c.type, c.data);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OrbiScope");
        CRemoteDoc doc;
        doc.OnOpenDocument(nullptr);
        EXPECT_EQ(doc.Settings().GetFavorite2(), c.expected) << c.expected;
    }
    RegDeleteTreeA(MachineSoftware32(), "Orbiscope");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OrbiScope");
    CRemoteDoc doc;
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(doc.Settings().GetFavorite2(), fallback);
    EXPECT_FALSE(RegistryKeyExists(MachineSoftware32(), path32));
}

TEST_F(RegistrySettings, StartupValuesReadAndWritten) {
    EXPECT_EQ(ReadStartupValue("InstallJustRan"), 0);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kSettingsKeyPath));
    WriteStartupValue("InstallJustRan", 1);
    EXPECT_EQ(ReadStartupValue("InstallJustRan"), 1);
    SetRawValue(HKEY_CURRENT_USER, kSettingsKeyPath, "CancelSlideshow", REG_DWORD, {1, 0, 0, 0});
    EXPECT_EQ(ReadStartupValue("CancelSlideshow"), 1);
}

}  // namespace
