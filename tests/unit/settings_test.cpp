#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "fake_env.h"
#include "receiver/button_map.h"
#include "state/settings_store.h"
#include "ui/document.h"

namespace {

const std::string kUser = kSettingsKeyPath;
const std::string kMachine = kMachineSettingsKeyPath;
const std::string kRed = std::string("http://") + kFavoritesHost + "/favorites/red.html";
const std::string kYellow = std::string("http://") + kFavoritesHost + "/favorites/yellow.html";
const std::string kBlue = std::string("http://") + kFavoritesHost + "/favorites/blue.html";
const std::string kFallback = "C:\\Program Files\\Orbiscope\\Remote\\Docs\\index.html";

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        viewId = doc.AddView([this] { ++viewUpdates; });
    }
    RemoteSettings& s() { return doc.Settings(); }
    void SetUserDword(const std::string& name, uint32_t v) {
        env.registry.SetDword(Hive::CurrentUser, kUser, name, v);
    }
    uint32_t UserDword(const std::string& name) {
        uint32_t v = 0xDEADBEEF;
        EXPECT_TRUE(env.registry.GetDword(Hive::CurrentUser, kUser, name, v)) << name;
        return v;
    }
    std::string UserString(const std::string& name) {
        std::string v;
        EXPECT_TRUE(env.registry.GetString(Hive::CurrentUser, kUser, name, v)) << name;
        return v;
    }
    std::string LoadFavorite2WithInstallDir(uint32_t type, const std::vector<uint8_t>& data) {
        env.registry.keys.clear();
        env.registry.SetRaw(Hive::LocalMachine, kMachine, "LastInstallDir", type, data);
        doc.OnOpenDocument(nullptr);
        return s().GetFavorite2();
    }

    FakeEnv env;
    CRemoteDoc doc;
    int viewUpdates = 0;
    int32_t viewId = 0;
};

TEST_F(SettingsStore, EmptyRegistryLoadsDefaultsAndWritesOnlyTheFavourites) {
    s().SetMacro1(7);  // something for the load to replace
    ASSERT_TRUE(doc.OnNewDocument());

    EXPECT_EQ(s().Macro1.load(), 4);
    EXPECT_EQ(s().Macro2.load(), 0);
    EXPECT_EQ(s().Macro3.load(), 0);
    EXPECT_EQ(s().Macro4.load(), 0);
    EXPECT_EQ(s().VolumeSensitivity.load(), 50);
    EXPECT_EQ(s().RepeatDelay.load(), 50);
    EXPECT_EQ(s().RepeatRate.load(), 50);
    EXPECT_EQ(s().PowerButtonEnabled.load(), 0);
    EXPECT_EQ(s().PowerButtonMode.load(), 0);
    EXPECT_EQ(s().ScreenSaverWakeupEnabled.load(), 1);
    EXPECT_EQ(s().AutoSwitchEnabled.load(), 1);
    EXPECT_EQ(s().MouseModeEnabled.load(), 0);
    EXPECT_EQ(s().ShowUnsupportedDlg.load(), 1);
    EXPECT_EQ(s().OnScreenDisplay.load(), 0);  // off when absent
    EXPECT_EQ(s().GetFavorite1(), kRed);
    EXPECT_EQ(s().GetFavorite2(), kFallback);
    EXPECT_EQ(s().GetFavorite3(), kYellow);
    EXPECT_EQ(s().GetFavorite4(), kBlue);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(viewUpdates, 1);
    EXPECT_EQ(TheButtonMap().Count(), 42u);

    // The per-user key was made by the load; only the favourites went into it.
    EXPECT_TRUE(env.registry.HasKey(Hive::CurrentUser, "Software\\OrbiScope"));
    EXPECT_EQ(env.registry.writeLog,
              (std::vector<std::string>{"Favorite1", "Favorite2", "Favorite3", "Favorite4"}));
    EXPECT_EQ(UserString("Favorite1"), kRed);
    EXPECT_EQ(UserString("Favorite2"), kFallback);
    EXPECT_EQ(UserString("Favorite4"), kBlue);
    EXPECT_EQ(env.registry.Find(Hive::CurrentUser, kUser, "Macro1"), nullptr);
    EXPECT_EQ(env.registry.Find(Hive::CurrentUser, kUser, "RepeatRate"), nullptr);

    // A second load finds the favourites and writes nothing.
    env.registry.writeLog.clear();
    doc.OnOpenDocument(nullptr);
    EXPECT_TRUE(env.registry.writeLog.empty());
    EXPECT_EQ(s().GetFavorite1(), kRed);
}

TEST_F(SettingsStore, FavouriteTwoFollowsTheInstallDirectory) {
    const std::string suffix = "\\Docs\\Kestrune.chm";
    auto sz = [](const std::string& text) {
        auto d = Bytes(text);
        d.push_back(0);
        return d;
    };
    struct Case {
        const char* what;
        uint32_t type;
        std::vector<uint8_t> data;
        std::string expected;
    };
    const std::string longest(999, 'x');  // 1000 bytes with the terminator
    const Case cases[] = {
        {"plain", kRegSz, sz("D:\\Apps\\R"), "D:\\Apps\\R" + suffix},
        {"trailing backslash", kRegSz, sz("D:\\Apps\\R\\"), "D:\\Apps\\R\\" + suffix},
        {"expandable", kRegExpandSz, sz("%X%\\R"), "%X%\\R" + suffix},
        {"multi-string", kRegMultiSz, Bytes(std::string("D:\\M\0\0", 6)), "D:\\M" + suffix},
        {"multi-string with one terminator", kRegMultiSz, sz("D:\\M"), kFallback},
        {"no terminator", kRegSz, Bytes("D:\\Apps"), kFallback},
        {"empty data", kRegSz, {}, kFallback},
        {"empty text", kRegSz, sz(""), suffix},
        {"exactly fits", kRegSz, sz(longest), longest + suffix},
        {"one byte too long", kRegSz, sz(longest + "x"), kFallback},
        {"DWORD", kRegDword, {1, 0, 0, 0}, kFallback},
        {"binary text", kRegBinary, sz("D:\\Apps"), kFallback},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadFavorite2WithInstallDir(c.type, c.data), c.expected) << c.what;
    }
}

TEST_F(SettingsStore, InstallDirectoryKeyIsOpenedForReadingOnlyAndRefusalFallsBack) {
    // A user without administrator rights may read the machine key but never write it.
    env.registry.SetString(Hive::LocalMachine, kMachine, "LastInstallDir", "D:\\Apps\\R");
    env.registry.Refuse(Hive::LocalMachine, kMachine, kKeyWrite & ~kKeyRead);  // set value, make keys
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(s().GetFavorite2(), "D:\\Apps\\R\\Docs\\Kestrune.chm");

    bool sawMachineOpen = false;
    for (const auto& call : env.registry.opens) {
        if (call.hive != Hive::LocalMachine) continue;
        sawMachineOpen = true;
        EXPECT_EQ(call.access, kKeyRead);
        EXPECT_FALSE(call.create);
    }
    EXPECT_TRUE(sawMachineOpen);

    env.registry.Refuse(Hive::LocalMachine, kMachine, kKeyRead);
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(s().GetFavorite2(), "D:\\Apps\\R\\Docs\\Kestrune.chm");  // stored at the first load
    env.registry.SetString(Hive::CurrentUser, kUser, "Favorite2", "DEFAULT");
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(s().GetFavorite2(), kFallback);

    // A missing machine key is not created and also falls back.
    env.registry.keys.clear();
    env.registry.refusedAccess.clear();
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(s().GetFavorite2(), kFallback);
    EXPECT_FALSE(env.registry.HasKey(Hive::LocalMachine, kMachine));
}

// Setup leaves its choices machine-wide; each user takes them once per installation.
TEST_F(SettingsStore, SetupChoicesReachEachUserOncePerInstallation) {
    auto setup = [&](const char* stamp, uint32_t cancelSlideshow, uint32_t cancelPlugIn) {
        env.registry.SetString(Hive::LocalMachine, kMachine, "InstallStamp", stamp);
        env.registry.SetDword(Hive::LocalMachine, kMachine, "CancelSlideshow", cancelSlideshow);
        env.registry.SetDword(Hive::LocalMachine, kMachine, "CancelPlugInWindow", cancelPlugIn);
    };
    EXPECT_FALSE(AdoptSetupChoices());  // never installed: nothing to take
    EXPECT_FALSE(env.registry.Find(Hive::CurrentUser, kUser, "InstallJustRan"));

    setup("first", 1, 0);
    EXPECT_TRUE(AdoptSetupChoices());
    EXPECT_EQ(UserDword("InstallJustRan"), 1u);
    EXPECT_EQ(UserDword("CancelSlideshow"), 1u);
    EXPECT_EQ(UserDword("CancelPlugInWindow"), 0u);
    EXPECT_EQ(UserString("InstallStamp"), "first");

    // The first-run steps reset the values; the same installation does not set them again.
    SetUserDword("InstallJustRan", 0);
    SetUserDword("CancelSlideshow", 0);
    EXPECT_FALSE(AdoptSetupChoices());
    EXPECT_EQ(UserDword("InstallJustRan"), 0u);

    EXPECT_FALSE(env.registry.Find(Hive::CurrentUser, kUser, "OnScreenDisplay"));  // not asked

    setup("second", 0, 1);
    env.registry.SetDword(Hive::LocalMachine, kMachine, "OnScreenDisplay", 1);
    EXPECT_TRUE(AdoptSetupChoices());
    EXPECT_EQ(UserDword("InstallJustRan"), 1u);
    EXPECT_EQ(UserDword("CancelSlideshow"), 0u);
    EXPECT_EQ(UserDword("CancelPlugInWindow"), 1u);
    EXPECT_EQ(UserDword("OnScreenDisplay"), 1u);

    // A copy that could not be written is done again at the next start.
    setup("third", 1, 1);
    env.registry.failWrites = true;
    EXPECT_FALSE(AdoptSetupChoices());
    env.registry.failWrites = false;
    EXPECT_TRUE(AdoptSetupChoices());
    EXPECT_EQ(UserString("InstallStamp"), "third");
}

TEST_F(SettingsStore, MacroValuesOutsideTheTableLoadAsZero) {
    struct Case {
        uint32_t stored;
        int32_t loaded;
    };
    for (const Case& c : {Case{10, 0}, Case{4294967295u, 0}, Case{9, 9}, Case{0, 0}, Case{3, 3},
                          Case{0x80000000u, 0}}) {
        SetUserDword("Macro3", c.stored);
        doc.OnOpenDocument(nullptr);
        EXPECT_EQ(s().Macro3.load(), c.loaded) << c.stored;
        // Corrections are not written back.
        EXPECT_EQ(UserDword("Macro3"), c.stored);
    }
}

TEST_F(SettingsStore, DwordOfAnotherTypeOrSizeLoadsTheDefault) {
    struct Case {
        const char* what;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {"text", kRegSz, {'2', 0}},
        {"binary of four bytes", kRegBinary, {2, 0, 0, 0}},
        {"eight-byte number", 11, {2, 0, 0, 0, 0, 0, 0, 0}},
        {"short DWORD", kRegDword, {2, 0}},
        {"long DWORD", kRegDword, {2, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        env.registry.SetRaw(Hive::CurrentUser, kUser, "Macro1", c.type, c.data);
        env.registry.SetRaw(Hive::CurrentUser, kUser, "ScreenSaverWakeupEnabled", c.type, c.data);
        doc.OnOpenDocument(nullptr);
        EXPECT_EQ(s().Macro1.load(), 4) << c.what;
        EXPECT_EQ(s().ScreenSaverWakeupEnabled.load(), 1) << c.what;
    }
}

TEST_F(SettingsStore, SlidersAreClampedOnLoadAndFlagsTakenAsStored) {
    SetUserDword("RepeatRate", 250);
    SetUserDword("RepeatDelay", 100);
    SetUserDword("VolumeSensitivity", static_cast<uint32_t>(-5));
    SetUserDword("PowerButtonEnabled", 2);
    SetUserDword("PowerButtonMode", 7);
    SetUserDword("ShowUnsupportedDlg", 0);
    SetUserDword("MouseModeEnabled", 0xFFFFFFFF);
    SetUserDword("OnScreenDisplay", 1);
    // Key names ignore case: the company key may be spelt either way.
    env.registry.SetDword(Hive::CurrentUser, "software\\orbiscope\\orbiscope remote\\SETTINGS",
                          "autoswitchenabled", 0);
    doc.OnOpenDocument(nullptr);

    EXPECT_EQ(s().RepeatRate.load(), 100);
    EXPECT_EQ(s().RepeatDelay.load(), 100);
    EXPECT_EQ(s().VolumeSensitivity.load(), 0);
    EXPECT_EQ(s().PowerButtonEnabled.load(), 2);
    EXPECT_EQ(s().PowerButtonMode.load(), 7);
    EXPECT_EQ(s().ShowUnsupportedDlg.load(), 0);
    EXPECT_EQ(s().MouseModeEnabled.load(), -1);
    EXPECT_EQ(s().OnScreenDisplay.load(), 1);
    EXPECT_EQ(s().AutoSwitchEnabled.load(), 0);
    EXPECT_EQ(UserDword("RepeatRate"), 250u);

    // The save writes what the record holds, so the registry follows only then.
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.SaveModified());
    EXPECT_EQ(UserDword("RepeatRate"), 100u);
    EXPECT_EQ(UserDword("VolumeSensitivity"), 0u);
    EXPECT_EQ(UserDword("PowerButtonMode"), 7u);
}

TEST_F(SettingsStore, OnlyTheExactDefaultMarkerIsReplaced) {
    env.registry.SetString(Hive::CurrentUser, kUser, "Favorite4", "DEFAULT");
    env.registry.SetString(Hive::CurrentUser, kUser, "Favorite3", "default");
    env.registry.SetString(Hive::CurrentUser, kUser, "Favorite1", "");
    env.registry.SetString(Hive::CurrentUser, kUser, "Favorite2", "C:\\Music\\list.m3u",
                           kRegExpandSz);
    doc.OnOpenDocument(nullptr);

    EXPECT_EQ(s().GetFavorite4(), kBlue);
    EXPECT_EQ(UserString("Favorite4"), kBlue);
    EXPECT_EQ(s().GetFavorite3(), "default");
    EXPECT_EQ(UserString("Favorite3"), "default");
    EXPECT_EQ(s().GetFavorite1(), "");
    EXPECT_EQ(s().GetFavorite2(), "C:\\Music\\list.m3u");
    EXPECT_EQ(env.registry.writeLog, std::vector<std::string>{"Favorite4"});
}

TEST_F(SettingsStore, FavouriteOfANonTextTypeIsReplacedByItsDefault) {
    env.registry.SetDword(Hive::CurrentUser, kUser, "Favorite2", 5);
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(s().GetFavorite2(), kFallback);
    EXPECT_EQ(UserString("Favorite2"), kFallback);
}

TEST(MacroActionNames, EveryNameAndUndefinedOutsideTheTable) {
    // Every name as the combo box shows it, written out here, not taken from the table.
    const char* const names[] = {
        "QuickLaunch...",
        "Toggle Mouse Mode On/Off",
        "Cycle Through Open Windows (\"Alt-Esc\")",
        "Switch Between Two Open Windows (\"Alt-Tab\")",
        "Toggle Full-Screen On/Off (\"Alt-Enter\")",
        "Show/Hide the Start Menu",
        "Browser Forward",
        "XP MCE: Back",
        "XP MCE: Start",
        "XP MCE: Details/More Info",
    };
    for (int32_t i = 0; i < 10; ++i) EXPECT_STREQ(MacroActionName(i), names[i]) << i;
    for (int32_t i : {10, -1, INT_MIN, INT_MAX})
        EXPECT_STREQ(MacroActionName(i), "Error: Undefined") << i;
    EXPECT_EQ(MacroActionCount, 10);
}

TEST_F(SettingsStore, SaveWritesEveryValueInOrderAndClampsTheSlidersInTheRecord) {
    doc.OnOpenDocument(nullptr);
    env.registry.writeLog.clear();
    s().SetMacro2(12);  // setters store unchecked
    s().SetFavorite3("C:\\Games\\start.exe");
    s().SetRepeatDelay(-20);
    s().SetRepeatRate(300);
    s().SetVolumeSensitivity(75);
    s().SetPowerButtonMode(3);
    ASSERT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(nullptr));

    EXPECT_EQ(env.registry.writeLog,
              (std::vector<std::string>{"Macro1", "Macro2", "Macro3", "Macro4", "Favorite1",
                                        "Favorite2", "Favorite3", "Favorite4", "VolumeSensitivity",
                                        "RepeatDelay", "RepeatRate", "PowerButtonEnabled",
                                        "PowerButtonMode", "ScreenSaverWakeupEnabled",
                                        "AutoSwitchEnabled", "MouseModeEnabled",
                                        "ShowUnsupportedDlg", "OnScreenDisplay"}));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(s().RepeatDelay.load(), 0);
    EXPECT_EQ(s().RepeatRate.load(), 100);
    EXPECT_EQ(UserDword("RepeatDelay"), 0u);
    EXPECT_EQ(UserDword("RepeatRate"), 100u);
    EXPECT_EQ(UserDword("VolumeSensitivity"), 75u);
    EXPECT_EQ(UserDword("Macro2"), 12u);
    EXPECT_EQ(UserDword("PowerButtonMode"), 3u);
    EXPECT_EQ(UserString("Favorite3"), "C:\\Games\\start.exe");

    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(s().Macro2.load(), 0);
    EXPECT_EQ(s().GetFavorite3(), "C:\\Games\\start.exe");
    EXPECT_EQ(s().VolumeSensitivity.load(), 75);
}

TEST_F(SettingsStore, ReloadAfterAChangeRestoresTheStoredValues) {
    SetUserDword("RepeatRate", 30);
    env.registry.SetString(Hive::CurrentUser, kUser, "Favorite1", "C:\\a.mp3");
    doc.OnOpenDocument(nullptr);
    const int updatesAfterLoad = viewUpdates;

    s().SetRepeatRate(90);
    s().SetFavorite1("C:\\b.mp3");
    s().SetMouseModeEnabled(1);
    ASSERT_TRUE(doc.IsModified());
    doc.OnOpenDocument(nullptr);

    EXPECT_EQ(s().RepeatRate.load(), 30);
    EXPECT_EQ(s().GetFavorite1(), "C:\\a.mp3");
    EXPECT_EQ(s().MouseModeEnabled.load(), 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(viewUpdates, updatesAfterLoad + 1);
    EXPECT_EQ(TheButtonMap().Count(), 42u);
}

TEST_F(SettingsStore, WriteFailuresKeepTheRecordAndClearModified) {
    doc.OnOpenDocument(nullptr);
    env.registry.failWrites = true;
    s().SetFavorite1("C:\\new.m3u");
    s().SetRepeatRate(20);
    ASSERT_TRUE(doc.SaveModified());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(s().GetFavorite1(), "C:\\new.m3u");
    EXPECT_EQ(s().RepeatRate.load(), 20);
    EXPECT_EQ(UserString("Favorite1"), kRed);
    EXPECT_EQ(env.registry.Find(Hive::CurrentUser, kUser, "RepeatRate"), nullptr);

    // A refused per-user key: defaults, nothing written, still a clean record.
    env.registry.keys.clear();
    env.registry.failWrites = false;
    env.registry.Refuse(Hive::CurrentUser, kUser, kKeyRead | kKeyWrite);
    s().SetMacro1(1);
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(s().Macro1.load(), 4);
    EXPECT_EQ(s().GetFavorite4(), kBlue);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SettingsStore, SaveModifiedWritesOnlyAModifiedRecord) {
    doc.OnOpenDocument(nullptr);
    env.registry.writeLog.clear();
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(env.registry.writeLog.empty());
    s().SetShowUnsupportedDlg(0);
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(env.registry.writeLog.size(), 18u);
    EXPECT_EQ(UserDword("ShowUnsupportedDlg"), 0u);
}

// The reader thread changes a setting in the middle of a save: before its value was
// written it goes into this save; after, the record stays modified for the next one.
TEST_F(SettingsStore, AChangeDuringASaveIsNeverLost) {
    doc.OnOpenDocument(nullptr);
    s().SetRepeatRate(20);
    env.registry.afterWrite = [&](const std::string& name) {
        if (name == "RepeatDelay") s().SetShowUnsupportedDlg(0);       // written later in the save
        if (name == "ShowUnsupportedDlg") s().SetMouseModeEnabled(1);  // written already
    };
    ASSERT_TRUE(doc.SaveModified());
    env.registry.afterWrite = nullptr;
    EXPECT_EQ(UserDword("ShowUnsupportedDlg"), 0u);
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.SaveModified());
    EXPECT_EQ(UserDword("MouseModeEnabled"), 1u);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SettingsStore, StartupValuesLiveInThePerUserKey) {
    EXPECT_EQ(ReadStartupValue("InstallJustRan"), 0);
    EXPECT_TRUE(env.registry.HasKey(Hive::CurrentUser, kUser));  // made by the read
    WriteStartupValue("CancelSlideshow", 1);
    EXPECT_EQ(ReadStartupValue("CancelSlideshow"), 1);
    EXPECT_EQ(UserDword("CancelSlideshow"), 1u);
    env.registry.SetString(Hive::CurrentUser, kUser, "CancelPlugInWindow", "1");
    EXPECT_EQ(ReadStartupValue("CancelPlugInWindow"), 0);
    // The settings save leaves them alone.
    doc.SetModifiedFlag(true);
    doc.SaveModified();
    EXPECT_EQ(ReadStartupValue("CancelSlideshow"), 1);
}

TEST_F(SettingsStore, DocumentOwnsTheCurrentSettingsAndTheButtonMapContents) {
    EXPECT_EQ(CurrentSettings(), &doc.Settings());
    doc.OnOpenDocument(nullptr);
    EXPECT_EQ(TheButtonMap().Count(), 42u);
    doc.DeleteContents();
    EXPECT_EQ(TheButtonMap().Count(), 0u);
    doc.OnOpenDocument(nullptr);
    doc.RemoveView(viewId);
    doc.OnCloseDocument();  // no receiver running: only the contents go
    EXPECT_EQ(TheButtonMap().Count(), 0u);
    const int before = viewUpdates;
    doc.UpdateAllViews();
    EXPECT_EQ(viewUpdates, before);
    {
        CRemoteDoc other;
        EXPECT_EQ(CurrentSettings(), &other.Settings());
    }
    EXPECT_EQ(CurrentSettings(), nullptr);
    LoadDefaultButtons();  // for the suites that follow
}

}  // namespace
