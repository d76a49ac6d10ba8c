#include "ui/profile_watch.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_folders.h"
#include "state/notices.h"
#include "state/settings_store.h"
#include "ui/trace_output.h"
#include "unit/fake_env.h"

namespace {

const char* const kUser = "C:\\Users\\me\\AppData\\Roaming\\Orbiscope\\Remote\\Profiles";
const char* const kShipped = "C:\\Program Files\\Orbiscope\\Remote\\Profiles";

std::string Names(const std::vector<ProfileText>& texts) {
    std::string names;
    for (const ProfileText& t : texts) names += (names.empty() ? "" : " ") + t.fileName;
    return names;
}

// The profiles as the watch sees them: every install recorded, with the problems a
// test scripts for it.
struct WatchEnv {
    FakeEnv env;
    FakeFolderFiles folders;
    std::vector<std::pair<std::vector<ProfileText>, std::vector<ProfileText>>> installs;
    std::vector<ProfileProblem> problems;
    std::vector<std::string> told;
    ProfileWatch watch{[this](std::vector<ProfileText> user, std::vector<ProfileText> shipped) {
                           installs.emplace_back(std::move(user), std::move(shipped));
                           return problems;
                       },
                       [this](const ProfileProblem& p) { told.push_back(p.fileName + ": " + p.message); }};

    WatchEnv() {
        env.platform.folders = &folders;
        env.shell.modulePath = "C:\\Program Files\\Orbiscope\\Remote\\OrbiscopeRemote.exe";
        env.Install();
        folders.folders[kShipped];
    }
    void Start() { watch.Start(CurrentProfileFolders()); }
};

TEST(ProfileWatch, StartMakesTheUserFolderAndInstallsBothFoldersByName) {
    WatchEnv w;
    w.folders.Put(kShipped, "spotify.toml", "s");
    w.folders.Put(kShipped, "mpv.TOML", "m");
    w.folders.Put(kShipped, "readme.txt", "not a profile");
    w.Start();
    ASSERT_EQ(w.folders.folders.count(kUser), 1u);
    ASSERT_EQ(w.installs.size(), 1u);
    EXPECT_EQ(Names(w.installs[0].first), "");
    EXPECT_EQ(Names(w.installs[0].second), "mpv.TOML spotify.toml");
    EXPECT_EQ(w.installs[0].second[1].text, "s");
}

TEST(ProfileWatch, AnyChangeInEitherFolderReloadsBoth) {
    const struct {
        const char* what;
        std::function<void(FakeFolderFiles&)> change;
        const char* user;
        const char* shipped;
    } cases[] = {
        {"nothing", [](FakeFolderFiles&) {}, nullptr, nullptr},
        {"a user file edited", [](FakeFolderFiles& f) { f.Put(kUser, "vlc.toml", "v2"); }, "vlc.toml", "mpv.toml"},
        {"saved unchanged", [](FakeFolderFiles& f) { f.Put(kUser, "vlc.toml", "v"); }, "vlc.toml", "mpv.toml"},
        {"a shipped file added", [](FakeFolderFiles& f) { f.Put(kShipped, "kodi.toml", "k"); }, "vlc.toml", "kodi.toml mpv.toml"},
        {"a user file removed", [](FakeFolderFiles& f) { f.Remove(kUser, "vlc.toml"); }, "", "mpv.toml"},
        {"the user folder removed", [](FakeFolderFiles& f) { f.folders.erase(kUser); }, "", "mpv.toml"},
        {"another kind of file", [](FakeFolderFiles& f) { f.Put(kUser, "vlc.toml.bak", "v"); }, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WatchEnv w;
        w.folders.Put(kUser, "vlc.toml", "v");
        w.folders.Put(kShipped, "mpv.toml", "m");
        w.Start();
        EXPECT_FALSE(w.watch.Poll());
        c.change(w.folders);
        EXPECT_EQ(w.watch.Poll(), c.user != nullptr);
        if (c.user == nullptr) continue;
        ASSERT_EQ(w.installs.size(), 2u);
        EXPECT_EQ(Names(w.installs[1].first), c.user);
        EXPECT_EQ(Names(w.installs[1].second), c.shipped);
        EXPECT_FALSE(w.watch.Poll());
    }
}

TEST(ProfileWatch, AProblemIsToldOncePerVersionOfItsFile) {
    WatchEnv w;
    w.folders.Put(kUser, "vlc.toml", "[buttons]\nPlya = \"Space\"\n");
    w.problems = {ProfileProblem{ProfileLayer::User, "vlc.toml", 2, "unknown button \"Plya\""}};
    w.Start();
    EXPECT_EQ(w.told, std::vector<std::string>{"vlc.toml: unknown button \"Plya\""});

    // Another file changes: the broken one is read again, but it is the same version.
    w.folders.Put(kShipped, "mpv.toml", "m");
    EXPECT_TRUE(w.watch.Poll());
    EXPECT_EQ(w.told.size(), 1u);
    // A shipped file of the same name is another file.
    w.problems.push_back(ProfileProblem{ProfileLayer::Shipped, "vlc.toml", 1, "bad"});
    w.folders.Put(kShipped, "vlc.toml", "x");
    EXPECT_TRUE(w.watch.Poll());
    EXPECT_EQ(w.told.size(), 2u);
    // Saved again, still broken: a new version, told again.
    w.folders.Put(kUser, "vlc.toml", "[buttons]\nPlya = \"Space\"\n");
    EXPECT_TRUE(w.watch.Poll());
    EXPECT_EQ(w.told.size(), 3u);
}

TEST(ProfileWatch, AFileHeldWhileSavedIsReadAgainBeforeItIsLeftOut) {
    WatchEnv w;
    w.folders.Put(kUser, "vlc.toml", "v");
    w.Start();
    w.folders.Put(kUser, "vlc.toml", "v2");
    w.folders.folders[kUser]["vlc.toml"].unreadable = true;
    for (int32_t i = 0; i < kProfileReadRetries; ++i) EXPECT_FALSE(w.watch.Poll());
    EXPECT_EQ(w.installs.size(), 1u);
    EXPECT_TRUE(w.told.empty());

    EXPECT_TRUE(w.watch.Poll());
    ASSERT_EQ(w.installs.size(), 2u);
    EXPECT_EQ(Names(w.installs[1].first), "");
    EXPECT_EQ(w.told, std::vector<std::string>{std::string("vlc.toml: ") + kProfileUnreadableText});

    // Readable again, unchanged: it comes in without waiting for an edit, told no more.
    w.folders.folders[kUser]["vlc.toml"].unreadable = false;
    for (int32_t i = 0; i <= kProfileReadRetries && w.installs.size() == 2; ++i) (void)w.watch.Poll();
    ASSERT_EQ(w.installs.size(), 3u);
    EXPECT_EQ(Names(w.installs[2].first), "vlc.toml");
    EXPECT_EQ(w.told.size(), 1u);
}

TEST(ProfileWatch, AFileOverTheLimitReachesTheProfilesOneByteOver) {
    WatchEnv w;
    w.folders.Put(kUser, "big.toml", std::string(kMaxProfileBytes + 5000, '#'));
    w.Start();
    ASSERT_EQ(w.installs.size(), 1u);
    EXPECT_EQ(w.installs[0].first[0].text.size(), kMaxProfileBytes + 1);
}

struct RecordingViewers : TraceViewers {
    std::vector<std::string> lines;
    void Publish(const std::string& line) override { lines.push_back(line); }
};
std::vector<std::string> g_balloons;

TEST(ProfileWatch, ProblemsGoToTheTraceAlwaysAndToABalloonOnlyWithNotificationsOn) {
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        FakeEnv env;
        if (!on) env.registry.SetDword(Hive::CurrentUser, kSettingsKeyPath, "ReceiverNotifications", 0);
        RecordingViewers viewers;
        StartTrace(false, &viewers);
        TraceViewerCountChanged(1);
        g_balloons.clear();
        SetNoticeSink([](const std::string& text) { g_balloons.push_back(text); });
        const ProfileProblem problem{ProfileLayer::User, "vlc\x1b.toml", 3, "unknown key"};
        TellProfileProblem(problem);
        StopTrace();
        SetNoticeSink(nullptr);
        ASSERT_EQ(viewers.lines.size(), 1u);
        EXPECT_EQ(viewers.lines[0], "-- " + EscapeControlCharacters(problem.Describe()) + " --");
        EXPECT_EQ(g_balloons.size(), on ? 1u : 0u);
    }
}

TEST(ProfileWatch, ExportSwitchTakesTheNextWordOrQuotedName) {
    const struct {
        const char* line;
        std::optional<std::string> value;
    } cases[] = {
        {"OrbiscopeRemote.exe /exportprofile 80", "80"},
        {"\"C:\\Program Files\\x\\OrbiscopeRemote.exe\" /ExportProfile VLC.exe /trace", "VLC.exe"},
        {"OrbiscopeRemote.exe /exportprofile \"Media Player.exe\"", "Media Player.exe"},
        {"OrbiscopeRemote.exe /exportprofile", ""},
        {"OrbiscopeRemote.exe /exportprofile   ", ""},
        {"OrbiscopeRemote.exe /s", std::nullopt},
        {"OrbiscopeRemote.exe /exportprofiles 80", std::nullopt},
        {"C:/exportprofile/OrbiscopeRemote.exe /s", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ExportProfileArgument(c.line), c.value);
    }
}

TEST(ProfileWatch, ExportNamesAreFileNamesOfTheFolderAndNeverItsParents) {
    const std::pair<const char*, const char*> cases[] = {
        {"vlc.toml", "vlc.toml"},     {"VLC.TOML", "VLC.toml"},
        {"..\\..\\x.toml", "_.._x.toml"}, {"a/b:c*?.toml", "a_b_c__.toml"},
        {"...", "profile.toml"},      {"", "profile.toml"},
        {"con. .toml", "_con.toml"},  {"Lpt1.x.toml", "_Lpt1.x.toml"},
        {"console.toml", "console.toml"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(SafeProfileFileName(in), out) << in;
}

TEST(ProfileWatch, ExportWritesANewFileBesideTheOnesThereAndSaysWhere) {
    WatchEnv w;
    w.folders.Put(kUser, "vlc.toml", "mine");
    std::vector<std::string> asked;
    auto exporter = [&](const std::string& what) {
        asked.push_back(what + " after " + std::to_string(w.installs.size()) + " install");
        ProfileExport e;
        e.ok = what != "nope.exe";
        e.fileName = "vlc.toml";
        e.text = "[program]\n";
        e.notes = {"Digit2: letter entry stays with the built-in row"};
        e.error = "no row or profile for nope.exe";
        return e;
    };
    const ProfileWatch::Install install = [&](std::vector<ProfileText> u, std::vector<ProfileText> s) {
        w.installs.emplace_back(std::move(u), std::move(s));
        return std::vector<ProfileProblem>{};
    };
    const ProfileFolderPaths paths = CurrentProfileFolders();
    ExportReport first = ExportProfileToUserFolder("80", w.folders, paths, install, exporter);
    ExportReport second = ExportProfileToUserFolder("vlc.exe", w.folders, paths, install, exporter);
    EXPECT_TRUE(first.ok);
    EXPECT_EQ(first.path, std::string(kUser) + "\\vlc-2.toml");
    EXPECT_EQ(second.path, std::string(kUser) + "\\vlc-3.toml");
    EXPECT_EQ(w.folders.Bytes(kUser, "vlc.toml"), "mine");
    EXPECT_EQ(w.folders.Bytes(kUser, "vlc-2.toml"), "[program]\n");
    EXPECT_NE(first.text.find(first.path), std::string::npos);
    EXPECT_NE(first.text.find("Digit2: letter entry"), std::string::npos);
    // The files in force were installed before the export was asked for.
    EXPECT_EQ(asked, (std::vector<std::string>{"80 after 1 install", "vlc.exe after 2 install"}));

    const ExportReport failed = ExportProfileToUserFolder("nope.exe", w.folders, paths, install, exporter);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.text.find("no row or profile for nope.exe"), std::string::npos);
    EXPECT_FALSE(ExportProfileToUserFolder("", w.folders, paths, install, exporter).ok);
    w.folders.unwritable.insert(kUser);
    const ExportReport refused = ExportProfileToUserFolder("80", w.folders, paths, install, exporter);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(w.folders.folders[kUser].size(), 3u);

    // The user's own file in force is named, not copied.
    w.folders.Put(kUser, "vlc.toml", "[program]\n");
    const ExportReport own = ExportProfileToUserFolder("vlc.exe", w.folders, paths, install, exporter);
    EXPECT_TRUE(own.ok);
    EXPECT_EQ(own.path, std::string(kUser) + "\\vlc.toml");
    EXPECT_EQ(w.folders.folders[kUser].size(), 3u);
}

}  // namespace
