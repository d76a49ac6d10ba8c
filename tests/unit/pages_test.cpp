// The settings pages against fake controls: what a fill shows and what each control
// change writes into the settings record.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "fake_env.h"
#include "engine/macros.h"
#include "platform/fake/fake_folders.h"
#include "profiles/catalogue.h"
#include "state/messages.h"
#include "state/settings_store.h"
#include "ui/document.h"
#include "ui/osd.h"
#include "ui/pages.h"
#include "ui/profile_watch.h"
#include "platform/vk.h"
#include "receiver/button_map.h"
#include "ui/teach.h"
#include "ui/teach_flow.h"

namespace {

using pagemsg::BN_CLICKED_;
using pagemsg::CB_NONE;
using pagemsg::CBN_SELCHANGE_;
using pagemsg::EN_UPDATE_;

// Controls that behave like the system's: a slider clamps to 0..100, setting an edit's
// text raises EN_UPDATE like WM_SETTEXT does, selecting past the end selects nothing.
class FakeControls : public PageControls {
public:
    struct Control {
        std::vector<std::string> items;
        int32_t selection = CB_NONE;
        bool enabled = true;
        std::string text;
        int32_t pos = 0;
        bool checked = false;
        std::vector<std::vector<std::string>> rows;
    };
    std::map<int32_t, Control> controls;
    std::function<void(int32_t, uint32_t)> notify;
    std::vector<std::optional<std::string>> fileAnswers;
    int32_t fileDialogs = 0;

    WindowHandle window = 0x4242;
    WindowHandle Window() override { return window; }
    void AddComboItem(int32_t id, const std::string& text) override {
        controls[id].items.push_back(text);
    }
    int32_t ComboCount(int32_t id) override {
        return static_cast<int32_t>(controls[id].items.size());
    }
    std::string ComboItem(int32_t id, int32_t index) override { return controls[id].items.at(index); }
    void SetComboSelection(int32_t id, int32_t index) override {
        Control& c = controls[id];
        c.selection = index >= 0 && index < ComboCount(id) ? index : CB_NONE;
    }
    int32_t ComboSelection(int32_t id) override { return controls[id].selection; }
    void SetEnabled(int32_t id, bool enabled) override { controls[id].enabled = enabled; }
    void SetText(int32_t id, const std::string& text) override {
        controls[id].text = text;
        if (notify) notify(id, EN_UPDATE_);
    }
    std::string Text(int32_t id) override { return controls[id].text; }
    void SetSliderPos(int32_t id, int32_t pos) override {
        controls[id].pos = std::clamp(pos, 0, 100);
    }
    int32_t SliderPos(int32_t id) override { return controls[id].pos; }
    void SetChecked(int32_t id, bool checked) override { controls[id].checked = checked; }
    bool Checked(int32_t id) override { return controls[id].checked; }
    void SetListRows(int32_t id, const std::vector<std::vector<std::string>>& rows) override {
        controls[id].rows = rows;
        controls[id].selection = CB_NONE;
    }
    int32_t ListSelection(int32_t id) override { return controls[id].selection; }
    void SetListSelection(int32_t id, int32_t index) override {
        Control& c = controls[id];
        c.selection = index >= 0 && static_cast<size_t>(index) < c.rows.size() ? index : CB_NONE;
    }
    std::optional<std::string> ChooseExistingFile() override {
        ++fileDialogs;
        if (fileAnswers.empty()) return std::nullopt;
        auto answer = fileAnswers.front();
        fileAnswers.erase(fileAnswers.begin());
        return answer;
    }

    // The user's own actions, with the notification the system would send.
    void Select(int32_t id, int32_t index, const std::function<bool(int32_t, uint32_t)>& page) {
        SetComboSelection(id, index);
        page(id, CBN_SELCHANGE_);
    }
    void Type(int32_t id, const std::string& text, const std::function<bool(int32_t, uint32_t)>& page) {
        controls[id].text = text;
        page(id, EN_UPDATE_);
    }
    void Click(int32_t id, const std::function<bool(int32_t, uint32_t)>& page) {
        controls[id].checked = !controls[id].checked;
        page(id, BN_CLICKED_);
    }
};

class CountingDoc : public CDocument {
public:
    int saves = 0, reloads = 0;
    bool modified = false;
    bool IsModified() const override { return modified; }
    bool SaveModified() override {
        ++saves;
        return true;
    }
    bool OnOpenDocument(const char*) override {
        ++reloads;
        return true;
    }
};

class MacrosPage : public ::testing::Test {
protected:
    MacrosPage() {
        controls.notify = [this](int32_t id, uint32_t code) { page.OnCommand(id, code); };
    }
    RemoteSettings& s() { return *env.settings; }
    std::function<bool(int32_t, uint32_t)> Handler() {
        return [this](int32_t id, uint32_t code) { return page.OnCommand(id, code); };
    }
    FakeEnv env;
    FakeControls controls;
    CountingDoc doc;
    MacrosPageLogic page{controls, &doc};
};

TEST_F(MacrosPage, FillShowsEachRowsActionTargetAndEnabling) {
    s().Macro1 = 4;
    s().Macro2 = 0;
    s().Macro3 = 9;
    s().Macro4 = 0;
    for (int n = 1; n <= 4; ++n) s().StoreFavorite(n, "target " + std::to_string(n));
    page.Initialize();

    const int32_t expected[4] = {4, 0, 9, 0};
    for (int n = 1; n <= 4; ++n) {
        const MacroRow& row = kMacroRows[n - 1];
        SCOPED_TRACE(n);
        ASSERT_EQ(controls.ComboCount(row.combo), kMacroActionCount);
        EXPECT_EQ(controls.ComboItem(row.combo, 2), MacroActionName(2));
        EXPECT_EQ(controls.ComboSelection(row.combo), expected[n - 1]);
        EXPECT_EQ(controls.controls[row.edit].enabled, expected[n - 1] == 0);
        EXPECT_EQ(controls.controls[row.browse].enabled, expected[n - 1] == 0);
        EXPECT_EQ(controls.Text(row.edit), "target " + std::to_string(n));
    }
    // Writing the edits during the fill is not the user typing.
    EXPECT_FALSE(s().IsModified());
}

TEST_F(MacrosPage, MacroValueOutsideTheActionsSelectsNothing) {
    page.Initialize();
    controls.SetComboSelection(IDC_MACRO2_COMBO, 3);
    for (int32_t bad : {-1, 10, 1000}) {
        s().Macro2 = bad;
        ASSERT_TRUE(page.Fill());
        EXPECT_EQ(controls.ComboSelection(IDC_MACRO2_COMBO), CB_NONE) << bad;
        EXPECT_FALSE(controls.controls[IDC_MACRO2_EDIT].enabled);
    }
}

TEST_F(MacrosPage, ChoosingAnActionStoresItAndEnablesTheTargetOnlyForQuickLaunch) {
    page.Initialize();
    s().StoreFavorite(3, "C:\\music.m3u");
    ASSERT_TRUE(page.Fill());
    s().SetModifiedFlag(false);

    controls.Select(IDC_MACRO3_COMBO, 0, Handler());
    EXPECT_EQ(s().Macro3.load(), 0);
    EXPECT_TRUE(s().IsModified());
    EXPECT_TRUE(controls.controls[IDC_MACRO3_EDIT].enabled);
    EXPECT_TRUE(controls.controls[IDC_MACRO3_BROWSE].enabled);

    controls.Select(IDC_MACRO3_COMBO, 5, Handler());
    EXPECT_EQ(s().Macro3.load(), 5);
    EXPECT_FALSE(controls.controls[IDC_MACRO3_EDIT].enabled);
    EXPECT_FALSE(controls.controls[IDC_MACRO3_BROWSE].enabled);
    EXPECT_EQ(controls.Text(IDC_MACRO3_EDIT), "C:\\music.m3u");  // kept while disabled
    // Only its own row changed.
    EXPECT_EQ(s().Macro1.load(), 4);
    EXPECT_EQ(s().Macro2.load(), 0);
    EXPECT_EQ(s().Macro4.load(), 0);
}

TEST_F(MacrosPage, EveryKeystrokeInAnEditIsTheRowsFavouriteAtOnce) {
    s().StoreFavorite(1, "first");
    page.Initialize();
    controls.Type(IDC_MACRO4_EDIT, "h", Handler());
    EXPECT_EQ(s().GetFavorite4(), "h");
    controls.Type(IDC_MACRO4_EDIT, "http://a", Handler());
    EXPECT_EQ(s().GetFavorite4(), "http://a");
    controls.Type(IDC_MACRO4_EDIT, "", Handler());
    EXPECT_EQ(s().GetFavorite4(), "");
    EXPECT_TRUE(s().IsModified());
    EXPECT_EQ(s().GetFavorite1(), "first");
}

TEST_F(MacrosPage, BrowsedFileBecomesTheFavouriteAndTheViewsAreUpdated) {
    int views = 0;
    doc.AddView([&] {
        ++views;
        page.Fill();
    });
    page.Initialize();
    s().StoreFavorite(1, "old");

    controls.fileAnswers = {std::nullopt};
    controls.Click(IDC_MACRO1_BROWSE, Handler());
    EXPECT_EQ(controls.fileDialogs, 1);
    EXPECT_EQ(s().GetFavorite1(), "old");
    EXPECT_EQ(views, 0);
    EXPECT_FALSE(s().IsModified());

    controls.fileAnswers = {std::string("C:\\Users\\me\\movie.avi")};
    controls.Click(IDC_MACRO1_BROWSE, Handler());
    EXPECT_EQ(s().GetFavorite1(), "C:\\Users\\me\\movie.avi");
    EXPECT_EQ(views, 1);
    EXPECT_EQ(controls.Text(IDC_MACRO1_EDIT), "C:\\Users\\me\\movie.avi");
}

TEST_F(MacrosPage, ForeignControlsAreNotThePages) {
    page.Initialize();
    EXPECT_FALSE(page.OnCommand(1 /* OK */, BN_CLICKED_));
    EXPECT_FALSE(page.OnCommand(IDC_MACROS_TITLE, BN_CLICKED_));
    // A combo's other notifications change nothing.
    s().SetModifiedFlag(false);
    controls.SetComboSelection(IDC_MACRO1_COMBO, 1);
    EXPECT_TRUE(page.OnCommand(IDC_MACRO1_COMBO, 3 /* CBN_SETFOCUS */));
    EXPECT_EQ(s().Macro1.load(), 4);
    EXPECT_FALSE(s().IsModified());
}

TEST(MacrosPageWithoutSettings, NothingIsFilledOrStored) {
    FakeEnv env;
    SetCurrentSettings(nullptr);
    FakeControls controls;
    MacrosPageLogic page(controls, nullptr);
    page.Initialize();
    EXPECT_FALSE(page.Fill());
    controls.SetComboSelection(IDC_MACRO1_COMBO, 0);
    EXPECT_TRUE(page.OnCommand(IDC_MACRO1_COMBO, CBN_SELCHANGE_));
    EXPECT_TRUE(page.OnCommand(IDC_MACRO1_EDIT, EN_UPDATE_));
}

class AdvancedPage : public ::testing::Test {
protected:
    RemoteSettings& s() { return *env.settings; }
    std::function<bool(int32_t, uint32_t)> Handler() {
        return [this](int32_t id, uint32_t code) { return page.OnCommand(id, code); };
    }
    FakeEnv env;
    FakeControls controls;
    AdvancedPageLogic page{controls};
};

TEST_F(AdvancedPage, FillShowsSlidersReversedForTheRepeatTimes) {
    s().VolumeSensitivity = 30;
    s().RepeatDelay = 20;
    s().RepeatRate = 85;
    s().PowerButtonEnabled = 1;
    s().ScreenSaverWakeupEnabled = 0;
    s().AutoSwitchEnabled = 1;
    s().MouseModeEnabled = 0;
    s().PowerButtonMode = 3;
    page.Initialize();

    EXPECT_EQ(controls.SliderPos(IDC_VOLUME_SLIDER), 30);
    EXPECT_EQ(controls.SliderPos(IDC_REPEAT_DELAY_SLIDER), 80);
    EXPECT_EQ(controls.SliderPos(IDC_REPEAT_RATE_SLIDER), 15);
    EXPECT_TRUE(controls.Checked(IDC_POWER_BUTTON_CHECK));
    EXPECT_FALSE(controls.Checked(IDC_SAVER_WAKEUP_CHECK));
    EXPECT_TRUE(controls.Checked(IDC_AUTOSWITCH_CHECK));
    EXPECT_FALSE(controls.Checked(IDC_MOUSE_MODE_CHECK));
    ASSERT_EQ(controls.ComboCount(IDC_POWER_MODE_COMBO), 4);
    EXPECT_EQ(controls.ComboItem(IDC_POWER_MODE_COMBO, 3), "Activate Screensaver");
    EXPECT_EQ(controls.ComboSelection(IDC_POWER_MODE_COMBO), 3);
    EXPECT_FALSE(s().IsModified());
}

TEST_F(AdvancedPage, PowerModeOutsideTheListSelectsNothingAndStaysUntilPicked) {
    page.Initialize();
    s().PowerButtonMode = 7;
    ASSERT_TRUE(page.Fill());
    EXPECT_EQ(controls.ComboSelection(IDC_POWER_MODE_COMBO), CB_NONE);
    EXPECT_EQ(s().PowerButtonMode.load(), 7);

    controls.Select(IDC_POWER_MODE_COMBO, 1, Handler());
    EXPECT_EQ(s().PowerButtonMode.load(), 1);
    // The mode can be chosen whether or not the power button is enabled.
    EXPECT_EQ(s().PowerButtonEnabled.load(), 0);
    EXPECT_TRUE(controls.controls[IDC_POWER_MODE_COMBO].enabled);
}

TEST_F(AdvancedPage, ScrollStoresAllThreeSlidersWithTheRepeatTimesReversed) {
    page.Initialize();
    struct Case {
        int32_t volume, delay, rate;
        int32_t storedVolume, storedDelay, storedRate;
    };
    const Case cases[] = {
        {100, 100, 100, 100, 0, 0},  // all at "Fast"
        {0, 0, 0, 0, 100, 100},      // all at "Slow"
        {37, 60, 5, 37, 40, 95},
    };
    for (const Case& c : cases) {
        controls.SetSliderPos(IDC_VOLUME_SLIDER, c.volume);
        controls.SetSliderPos(IDC_REPEAT_DELAY_SLIDER, c.delay);
        controls.SetSliderPos(IDC_REPEAT_RATE_SLIDER, c.rate);
        page.OnHScroll();
        EXPECT_EQ(s().VolumeSensitivity.load(), c.storedVolume);
        EXPECT_EQ(s().RepeatDelay.load(), c.storedDelay);
        EXPECT_EQ(s().RepeatRate.load(), c.storedRate);
    }
    EXPECT_TRUE(s().IsModified());
}

TEST_F(AdvancedPage, CheckBoxesStoreTheirStateAndOnlyTwoSpeakWhenTicked) {
    page.Initialize();
    struct Case {
        int32_t id;
        std::atomic<int32_t>* field;
        const char* text;  // the message box on ticking, or null
        const char* caption;
        uint32_t flags;
    };
    const Case cases[] = {
        {IDC_POWER_BUTTON_CHECK, &s().PowerButtonEnabled, kPowerWarningText, "Orbiscope Warning",
         kMbOk | kMbIconExclamation},
        {IDC_MOUSE_MODE_CHECK, &s().MouseModeEnabled, kMouseTipText, "Orbiscope Tip",
         kMbOk | kMbIconInformation},
        {IDC_SAVER_WAKEUP_CHECK, &s().ScreenSaverWakeupEnabled, nullptr, nullptr, 0},
        {IDC_AUTOSWITCH_CHECK, &s().AutoSwitchEnabled, nullptr, nullptr, 0},
        {IDC_OSD_CHECK, &s().OnScreenDisplay, nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const bool initially = controls.Checked(c.id);
        for (int round = 0; round < 4; ++round) {
            env.ui.boxes.clear();
            controls.Click(c.id, Handler());
            const bool ticked = controls.Checked(c.id);
            EXPECT_EQ(ticked, (round % 2 == 0) != initially);
            EXPECT_EQ(c.field->load(), ticked ? 1 : 0);
            if (c.id == IDC_OSD_CHECK) {
                EXPECT_EQ(OnScreenDisplayOn(), ticked);
            }
            if (c.text != nullptr && ticked) {
                ASSERT_EQ(env.ui.boxes.size(), 1u);
                EXPECT_EQ(env.ui.boxes[0].text, c.text);
                EXPECT_EQ(env.ui.boxes[0].caption, c.caption);
                EXPECT_EQ(env.ui.boxes[0].flags, c.flags);
                EXPECT_EQ(env.ui.boxes[0].owner, controls.Window());
            } else {
                EXPECT_TRUE(env.ui.boxes.empty());
            }
        }
    }
}

TEST(PageTexts, MessageBoxTextsAreTheProgramsOwn) {
    EXPECT_STREQ(kPowerWarningText,
                 "Warning: If you press the Power button on your remote, your computer/monitor "
                 "will now turn off.");
    EXPECT_STREQ(kMouseTipText,
                 "Tip: Now you can use the arrow buttons to control your mouse cursor.\nPress "
                 "\"OK\" to left-click and \"Exit\" to right-click.\nYou can also use a macro "
                 "button to turn on/off mouse mode.\nCheck the Orbiscope Help for tips and "
                 "tricks on mouse control.");
}

TEST(UnsupportedDialog, TheBoxCountsOnlyWhenClosedWithOk) {
    struct Case {
        bool ok, checked, expectDontShow;
    };
    for (const Case& c : {Case{true, true, true}, Case{true, false, false},
                          Case{false, true, false}, Case{false, false, false}}) {
        const UnsupportedAnswer a = UnsupportedDialogResult(c.ok, c.checked);
        EXPECT_EQ(a.closedWithOk, c.ok);
        EXPECT_EQ(a.dontShowAgain, c.expectDontShow) << c.ok << c.checked;
    }
}

TEST(PlugInWait, CancelAsksAndGoesOnlyOnYes) {
    FakeEnv env;
    env.ui.boxAnswers = {kIdNo, kIdYes};
    EXPECT_FALSE(ConfirmPlugInCancel(0x77));
    EXPECT_TRUE(ConfirmPlugInCancel(0x77));
    ASSERT_EQ(env.ui.boxes.size(), 2u);
    EXPECT_EQ(env.ui.boxes[0].owner, 0x77u);
    EXPECT_EQ(env.ui.boxes[0].caption, "Orbiscope");
    EXPECT_EQ(env.ui.boxes[0].flags, kMbYesNo);
    EXPECT_EQ(env.ui.boxes[0].text,
              "Are you sure you want to Cancel?  Windows can take a minute or longer (on slow "
              "systems) to detect new hardware.");
}

class SettingsForm : public ::testing::Test {
protected:
    SettingsForm() {
        FakeWindow w;
        w.title = "Orbiscope Remote Settings";
        frame = env.desktop.Add(w);
    }
    std::vector<FakeMessage> Hides() const {
        std::vector<FakeMessage> out;
        for (const auto& m : env.desktop.messages) {
            if (m.message == WM_REMOTE_HIDESETTINGS) out.push_back(m);
        }
        return out;
    }
    FakeEnv env;
    WindowHandle frame = 0;
};

TEST_F(SettingsForm, OkSavesAndHides) {
    CountingDoc doc;
    FormOk(doc, frame);
    EXPECT_EQ(doc.saves, 1);
    EXPECT_EQ(doc.reloads, 0);
    ASSERT_EQ(Hides().size(), 1u);
    EXPECT_EQ(Hides()[0].window, frame);
    EXPECT_FALSE(Hides()[0].sent);
}

TEST_F(SettingsForm, CancelReloadsOnlyWhenModified) {
    CountingDoc doc;
    FormCancel(doc, frame);
    EXPECT_EQ(doc.reloads, 0);
    doc.modified = true;
    FormCancel(doc, frame);
    EXPECT_EQ(doc.reloads, 1);
    EXPECT_EQ(doc.saves, 0);
    EXPECT_EQ(Hides().size(), 2u);
}

// Typing in a row's edit is live for the macro buttons, and Cancel brings back what the
// registry holds; OK writes it.
TEST_F(SettingsForm, TypedFavouriteIsLiveUntilCancelRestoresTheRegistry) {
    CRemoteDoc doc;
    env.registry.SetString(Hive::CurrentUser, kSettingsKeyPath, "Favorite2", "C:\\saved.mp3");
    ASSERT_TRUE(doc.OnOpenDocument(nullptr));
    FakeControls controls;
    MacrosPageLogic page(controls, &doc);
    controls.notify = [&](int32_t id, uint32_t code) { page.OnCommand(id, code); };
    doc.AddView([&] { page.Fill(); });
    page.Initialize();
    ASSERT_EQ(controls.Text(IDC_MACRO2_EDIT), "C:\\saved.mp3");

    controls.Type(IDC_MACRO2_EDIT, "C:\\typed.mp3", [&](int32_t id, uint32_t code) {
        return page.OnCommand(id, code);
    });
    EXPECT_EQ(CurrentSettings()->GetFavorite2(), "C:\\typed.mp3");

    FormCancel(doc, frame);
    EXPECT_EQ(CurrentSettings()->GetFavorite2(), "C:\\saved.mp3");
    EXPECT_EQ(controls.Text(IDC_MACRO2_EDIT), "C:\\saved.mp3");
    EXPECT_FALSE(doc.IsModified());

    controls.Type(IDC_MACRO2_EDIT, "C:\\kept.mp3", [&](int32_t id, uint32_t code) {
        return page.OnCommand(id, code);
    });
    FormOk(doc, frame);
    std::string stored;
    ASSERT_TRUE(env.registry.GetString(Hive::CurrentUser, kSettingsKeyPath, "Favorite2", stored));
    EXPECT_EQ(stored, "C:\\kept.mp3");
}

}  // namespace

namespace {

const char* const kUserFolder = "C:\\Users\\me\\AppData\\Roaming\\Orbiscope\\Remote\\Profiles";
const char* const kShippedFolder = "C:\\Program Files\\Orbiscope\\Remote\\Profiles";

// The Programs page over the user's and the shipped folders, as the program reads them.
class ProgramsPage : public ::testing::Test {
protected:
    ProgramsPage() {
        env.platform.folders = &folders;
        env.shell.modulePath = "C:\\Program Files\\Orbiscope\\Remote\\OrbiscopeRemote.exe";
        env.Install();
        folders.Put(kUserFolder, "vlc.toml",
                    "# my own keys\n[program]\nname = \"VLC\"\nmatch = { process = \"vlc.exe\" }\n"
                    "[buttons]\nPlay = \"Ctrl+P\"\nVolumeUp = \"Up\"\n");
        folders.Put(kShippedFolder, "vlc.toml",
                    "[program]\nname = \"VLC media player\"\nmatch = { process = \"vlc.exe\" }\n"
                    "[buttons]\nStop = \"none\"\nNext = { app_command = \"MEDIA_NEXTTRACK\" }\n");
        folders.Put(kShippedFolder, "broken.toml", "[program]\nname = \"x\"\n");
        Reload();
        controls.notify = [this](int32_t id, uint32_t code) { page.OnCommand(id, code); };
        page.Initialize();
    }
    ~ProgramsPage() override { (void)InstallProfiles({}, {}); }
    void Reload() {
        ProfileFolderTexts texts = ReadProfileFolders(folders, CurrentProfileFolders());
        (void)InstallProfiles(std::move(texts.user), std::move(texts.shipped));
    }
    std::function<bool(int32_t, uint32_t)> Handler() {
        return [this](int32_t id, uint32_t code) { return page.OnCommand(id, code); };
    }
    const std::vector<std::vector<std::string>>& Rows(int32_t id) { return controls.controls[id].rows; }
    void Search(const std::string& text) { controls.Type(IDC_PROGRAMS_SEARCH, text, Handler()); }
    void Choose(const std::string& source) {
        const auto& rows = Rows(IDC_PROGRAMS_LIST);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i][1] != source) continue;
            controls.SetListSelection(IDC_PROGRAMS_LIST, static_cast<int32_t>(i));
            page.OnCommand(IDC_PROGRAMS_LIST, pagemsg::LIST_SELCHANGE_);
            return;
        }
        FAIL() << "not listed: " << source;
    }
    std::vector<std::string> Button(int32_t b) { return Rows(IDC_PROGRAMS_BUTTONS).at(static_cast<size_t>(b)); }

    FakeEnv env;
    FakeFolderFiles folders;
    FakeControls controls;
    ProgramsPageLogic page{controls};
};

TEST_F(ProgramsPage, ListsEveryProgramBySourceAndTheFilesNotLoaded) {
    const auto& rows = Rows(IDC_PROGRAMS_LIST);
    ASSERT_EQ(rows.size(), static_cast<size_t>(kCatalogueRows) + 2);
    int user = 0, shipped = 0, builtIn = 0;
    for (const auto& row : rows) {
        user += row[1] == "My profile vlc.toml";
        shipped += row[1] == "Shipped vlc.toml";
        builtIn += row[1].rfind("Built-in row ", 0) == 0;
    }
    EXPECT_EQ(user, 1);
    EXPECT_EQ(shipped, 1);
    EXPECT_EQ(builtIn, kCatalogueRows);
    ASSERT_EQ(Rows(IDC_PROGRAMS_PROBLEMS).size(), 1u);
    EXPECT_NE(Rows(IDC_PROGRAMS_PROBLEMS)[0][0].find("shipped profile broken.toml"), std::string::npos);
    EXPECT_EQ(controls.Text(IDC_PROGRAMS_PROBLEMS_LABEL), "Files &not loaded (1):");

    folders.Remove(kShippedFolder, "broken.toml");
    Reload();
    page.Fill();
    EXPECT_TRUE(Rows(IDC_PROGRAMS_PROBLEMS).empty());
    EXPECT_EQ(controls.Text(IDC_PROGRAMS_PROBLEMS_LABEL), kNoProblemsText);
}

TEST_F(ProgramsPage, SearchNarrowsTheListAndKeepsTheSelection) {
    Search("VLC");
    ASSERT_EQ(Rows(IDC_PROGRAMS_LIST).size(), 3u);  // both files and row 80
    Choose("Built-in row 80");
    Search("vlc.exe");
    ASSERT_EQ(Rows(IDC_PROGRAMS_LIST).size(), 3u);
    EXPECT_EQ(Rows(IDC_PROGRAMS_LIST)[static_cast<size_t>(controls.ListSelection(IDC_PROGRAMS_LIST))][1],
              "Built-in row 80");
    Search("no such program");
    EXPECT_TRUE(Rows(IDC_PROGRAMS_LIST).empty());
    EXPECT_TRUE(Rows(IDC_PROGRAMS_BUTTONS).empty());
    EXPECT_FALSE(controls.controls[IDC_PROGRAMS_COPY].enabled);
}

TEST_F(ProgramsPage, EachButtonSaysWhatItDoesAndWhichLayerDecides) {
    env.settings->PowerButtonEnabled = 0;
    env.settings->Macro2 = 4;
    Search("vlc");
    const struct {
        const char* source;
        int32_t button;
        const char* does;
        const char* from;
    } cases[] = {
        {"Built-in row 80", Play, "Ctrl+P", "user profile vlc.toml:6"},
        {"Built-in row 80", Stop, "nothing", "shipped profile vlc.toml:5"},
        {"Built-in row 80", Next, "app command MEDIA_NEXTTRACK", "shipped profile vlc.toml:6"},
        {"Built-in row 80", Rewind, "Alt+Left", "built-in row 80"},
        {"Built-in row 80", Exit, "Alt+F4", "default key"},
        {"Built-in row 80", Extra35, "nothing", "default key"},
        // A file takes a global button only when it says so.
        {"Built-in row 80", VolumeUp, "volume up", "global button"},
        {"Built-in row 80", Power, "nothing (the power button is off)", "global button"},
        {"Built-in row 80", MacroButton2, MacroActionName(4), "global button"},
        // Either file's entry shows the same program: the user's file still comes first.
        {"Shipped vlc.toml", Play, "Ctrl+P", "user profile vlc.toml:6"},
        {"Shipped vlc.toml", Previous, "P", "built-in row 80"},
    };
    for (const auto& c : cases) {
        Choose(c.source);
        const std::vector<std::string> row = Button(c.button);
        EXPECT_EQ(row[0], RemoteButtonName(c.button));
        EXPECT_EQ(row[1], c.does) << c.source << " " << RemoteButtonName(c.button);
        EXPECT_EQ(row[2], c.from) << c.source << " " << RemoteButtonName(c.button);
    }
}

TEST_F(ProgramsPage, CopyWritesTheProgramIntoTheUsersFolderAndListsIt) {
    folders.Remove(kUserFolder, "vlc.toml");
    Reload();
    page.Fill();
    Search("Built-in row 80");
    Choose("Built-in row 80");
    controls.Click(IDC_PROGRAMS_COPY, Handler());
    const std::string written = folders.Bytes(kUserFolder, "vlc.toml");
    EXPECT_EQ(written, ExportProfile("80").text);
    ASSERT_EQ(env.ui.boxes.size(), 1u);
    EXPECT_NE(env.ui.boxes[0].text.find(std::string(kUserFolder) + "\\vlc.toml"), std::string::npos);
    // The new file is in force and selected at once.
    const auto& rows = Rows(IDC_PROGRAMS_LIST);
    EXPECT_EQ(controls.Text(IDC_PROGRAMS_SEARCH), "");
    ASSERT_GE(controls.ListSelection(IDC_PROGRAMS_LIST), 0);
    EXPECT_EQ(rows[static_cast<size_t>(controls.ListSelection(IDC_PROGRAMS_LIST))][1],
              "My profile vlc.toml");

    // Copying again adds no second copy of the user's own file, and the shipped one's
    // program is the same program.
    Choose("Shipped vlc.toml");
    controls.Click(IDC_PROGRAMS_COPY, Handler());
    EXPECT_EQ(folders.folders[kUserFolder].size(), 1u);
    EXPECT_EQ(folders.Bytes(kUserFolder, "vlc.toml"), written);
}

TEST_F(ProgramsPage, OpenMyProfilesFolderMakesItFirst) {
    folders.folders.erase(kUserFolder);
    controls.Click(IDC_PROGRAMS_OPEN, Handler());
    EXPECT_EQ(folders.folders.count(kUserFolder), 1u);
    ASSERT_EQ(env.shell.calls.size(), 1u);
    EXPECT_EQ(env.shell.calls[0].verb, "open");
    EXPECT_EQ(env.shell.calls[0].file, kUserFolder);

    folders.unwritable.insert(kUserFolder);
    folders.folders.erase(kUserFolder);
    controls.Click(IDC_PROGRAMS_OPEN, Handler());
    EXPECT_EQ(env.shell.calls.size(), 1u);
    ASSERT_EQ(env.ui.boxes.size(), 1u);
    EXPECT_EQ(env.ui.boxes[0].caption, kErrorCaption);
}

TEST_F(ProgramsPage, ATaughtButtonGoesIntoTheUsersFileForThatProgram) {
    KnownProgram vlc;
    vlc.name = "vlc.exe";
    vlc.process = "vlc.exe";
    vlc.row = 80;
    const std::string before = folders.Bytes(kUserFolder, "vlc.toml");
    TaughtSave save = SaveTaughtButton(folders, CurrentProfileFolders(), vlc, Stop, "\"Ctrl+S\"");
    ASSERT_TRUE(save.ok) << save.text;
    EXPECT_EQ(save.path, std::string(kUserFolder) + "\\vlc.toml");
    // Only the new line: the user's comment and buttons stay as written.
    std::string expected = before;
    expected += "Stop = \"Ctrl+S\"\n";
    EXPECT_EQ(folders.Bytes(kUserFolder, "vlc.toml"), expected);
    // In force at once, before the shipped file's Stop.
    EXPECT_EQ(ButtonsOf(vlc)[Stop].from, "user profile vlc.toml:8");

    // A program without a file of the user's gets one of its own.
    KnownProgram mpc;
    mpc.name = "mpc-hc.exe";
    mpc.process = "mpc-hc.exe";
    save = SaveTaughtButton(folders, CurrentProfileFolders(), mpc, Play, "{ app_command = \"MEDIA_PLAY\" }");
    ASSERT_TRUE(save.ok) << save.text;
    EXPECT_EQ(ButtonsOf(mpc)[Play].action, "app command MEDIA_PLAY");
    EXPECT_NE(folders.Bytes(kUserFolder, "mpc-hc.toml").find("match = { process = \"mpc-hc.exe\" }"),
              std::string::npos);

    // A user's file that cannot be read as a profile is left as it is.
    folders.Put(kUserFolder, "vlc.toml", "[program]\nname = 1\n");
    Reload();
    save = SaveTaughtButton(folders, CurrentProfileFolders(), vlc, Play, "\"Space\"");
    EXPECT_FALSE(save.ok);
    EXPECT_EQ(folders.Bytes(kUserFolder, "vlc.toml"), "[program]\nname = 1\n");
}

// Teaching a button from the page: what a chord or a list choice writes, which program a
// window or a program's file means, and the dialog's steps from the capture to the save.
TEST(TeachActions, ChordsAreWrittenAsFilesNameThemAndEveryChoiceLoads) {
    using namespace teachmod;
    const struct {
        uint32_t modifiers;
        uint16_t key;
        const char* chord;
    } cases[] = {
        {Ctrl | Shift, 'P', "Ctrl+Shift+P"},
        {Ctrl | Alt | Shift | Win, vk::F5, "Ctrl+Alt+Shift+Win+F5"},
        {Alt, vk::OEM_PERIOD, "Alt+Period"},
        {0, vk::MEDIA_PLAY_PAUSE, "Play/Pause"},
        {0, 0xA6, "BrowserBack"},  // an app-command key
        {Shift, vk::NUMPAD4, "Shift+Num4"},
        // A modifier alone is no chord yet; a key a file cannot name is none at all.
        {Ctrl, vk::CONTROL, ""},
        {Shift, 0xA1, ""},
        {Win, vk::LWIN, ""},
        {0, 0xE5, ""},
    };
    std::vector<std::string> actions;
    for (const auto& c : cases) {
        EXPECT_EQ(ChordText(c.modifiers, c.key), c.chord) << c.key;
        if (*c.chord) actions.push_back(std::string("\"") + c.chord + "\"");
    }
    const std::vector<TeachChoice> choices = TeachChoices();
    EXPECT_GT(choices.size(), 30u);
    for (const TeachChoice& choice : choices) actions.push_back(choice.action);
    // The loader reads back whatever the dialog can write.
    const ProfileText file{"t.toml", "[program]\nname = \"t\"\nmatch = { process = \"t.exe\" }\n"};
    for (const std::string& action : actions) {
        const TaughtText taught = TeachButtonInText(file, Play, action);
        EXPECT_TRUE(taught.ok) << action << ": " << taught.error;
    }
}

class TeachDialog : public ProgramsPage {
protected:
    TeachDialog() {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        env.processes.self = env.processes.Add("OrbiscopeRemote.exe");
        FakeWindow own;
        own.pid = env.processes.self;
        own.title = "Teach a Button";
        dialog.window = env.desktop.Add(own);
    }
    std::function<bool(int32_t, uint32_t)> Teach() {
        return [this](int32_t id, uint32_t code) { return teach.OnCommand(id, code); };
    }
    const FakeControls::Control& At(int32_t id) { return dialog.controls[id]; }

    FakeControls dialog;
    TeachDialogLogic teach{dialog};
};

TEST_F(TeachDialog, AWindowOrAProgramsFileMeansTheProgramTheRemoteKnowsByItsProcess) {
    const struct {
        const char* processOrPath;
        ProgramSource source;
        const char* name;
        const char* process;
    } cases[] = {
        {"C:\\Program Files\\VideoLAN\\VLC\\VLC.EXE", ProgramSource::User, "VLC", "vlc.exe"},
        {"D:/Games/Target.exe", ProgramSource::BuiltIn, "target.exe", "target.exe"},
        {"", ProgramSource::BuiltIn, "", ""},
    };
    for (const auto& c : cases) {
        const KnownProgram p = ProgramOfProcess(c.processOrPath);
        EXPECT_EQ(p.source, c.source) << c.processOrPath;
        EXPECT_EQ(p.name, c.name) << c.processOrPath;
        EXPECT_EQ(p.process, c.process) << c.processOrPath;
    }

    env.AddWindow("notepad.exe", "Untitled - Notepad", "Notepad");
    env.AddWindow("notepad.exe", "Untitled - Notepad", "Notepad");  // the same to the user
    env.AddWindow("vlc.exe", "", "Hidden");
    const WindowHandle hidden = env.AddWindow("mpc-hc.exe", "Hidden player", "Player");
    env.desktop.Find(hidden)->style = 0;
    std::vector<std::string> listed;
    for (const OpenProgramWindow& w : OpenProgramWindows()) listed.push_back(w.title + "|" + w.process);
    EXPECT_EQ(listed, std::vector<std::string>{"Untitled - Notepad|notepad.exe"});
}

TEST_F(TeachDialog, APressIsCapturedThenTheChordIsSavedIntoTheUsersFileAlone) {
    Search("vlc");
    Choose("My profile vlc.toml");
    env.AddWindow("target.exe", "Target", "TargetClass");
    teach.Initialize(page.SelectedProgram());
    EXPECT_EQ(At(IDC_TEACH_PROGRAM).items,
              (std::vector<std::string>{"VLC (vlc.exe), chosen on the page", "Target (target.exe)"}));
    EXPECT_EQ(At(IDC_TEACH_PROGRAM).selection, 0);

    // Waiting: a press goes to the dialog and does nothing else.
    ASSERT_TRUE(PressEngineInUse().Capturing());
    EXPECT_EQ(At(IDC_TEACH_BUTTON_TEXT).text, kTeachWaitingText);
    EXPECT_FALSE(At(IDC_TEACH_SAVE).enabled);
    EXPECT_FALSE(At(IDC_TEACH_KEYS).enabled);
    env.Receive(Play, 1);
    EXPECT_TRUE(env.input.batches.empty());
    ASSERT_EQ(env.desktop.MessagesTo(dialog.Window()).size(), 1u);
    EXPECT_EQ(env.desktop.MessagesTo(dialog.Window())[0].message, kTeachCapturedMessage);
    EXPECT_EQ(env.desktop.MessagesTo(dialog.Window())[0].wParam, static_cast<WParam>(Play));
    teach.OnButtonCaptured(Play);
    EXPECT_FALSE(PressEngineInUse().Capturing());
    teach.OnButtonCaptured(Stop);  // a press caught before the capture ended
    EXPECT_EQ(At(IDC_TEACH_BUTTON_TEXT).text, "The remote's button: Play");
    EXPECT_EQ(teach.step(), TeachDialogLogic::Step::ChoosingAction);

    teach.OnKeyPressed(teachmod::Ctrl, vk::CONTROL);
    EXPECT_FALSE(At(IDC_TEACH_SAVE).enabled);
    teach.OnKeyPressed(teachmod::Ctrl | teachmod::Shift, 'P');
    EXPECT_EQ(At(IDC_TEACH_KEYS).text, "Ctrl+Shift+P");
    EXPECT_EQ(At(IDC_TEACH_LINE).text, "The line: Play = \"Ctrl+Shift+P\"");
    ASSERT_TRUE(At(IDC_TEACH_SAVE).enabled);

    std::string expected = folders.Bytes(kUserFolder, "vlc.toml");
    expected.replace(expected.find("Play = \"Ctrl+P\""), 15, "Play = \"Ctrl+Shift+P\"");
    dialog.Click(IDC_TEACH_SAVE, Teach());
    EXPECT_EQ(folders.Bytes(kUserFolder, "vlc.toml"), expected);
    EXPECT_NE(At(IDC_TEACH_RESULT).text.find(std::string(kUserFolder) + "\\vlc.toml"), std::string::npos);
    EXPECT_EQ(teach.step(), TeachDialogLogic::Step::Saved);
    EXPECT_TRUE(teach.SavedAny());
    EXPECT_EQ(ButtonsOf(ProgramOfProcess("vlc.exe"))[Play].action, "Ctrl+Shift+P");

    // Another button, for the open window's program, from the list: a file of its own.
    dialog.Click(IDC_TEACH_AGAIN, Teach());
    EXPECT_TRUE(PressEngineInUse().Capturing());
    EXPECT_FALSE(At(IDC_TEACH_SAVE).enabled);
    teach.OnButtonCaptured(Stop);
    dialog.Select(IDC_TEACH_PROGRAM, 1, Teach());
    const std::vector<TeachChoice> choices = TeachChoices();
    const auto stop = std::find_if(choices.begin(), choices.end(), [](const TeachChoice& c) {
        return c.label == "app command MEDIA_STOP";
    });
    ASSERT_NE(stop, choices.end());
    dialog.Select(IDC_TEACH_LIST, static_cast<int32_t>(stop - choices.begin()), Teach());
    EXPECT_EQ(At(IDC_TEACH_KEYS).text, "");
    dialog.Click(IDC_TEACH_SAVE, Teach());
    EXPECT_EQ(ButtonsOf(ProgramOfProcess("target.exe"))[Stop].action, "app command MEDIA_STOP");
    EXPECT_EQ(folders.Bytes(kUserFolder, "vlc.toml"), expected);
    EXPECT_TRUE(env.ui.boxes.empty());
}

TEST_F(TeachDialog, AProgramBrowsedForIsOfferedAndEveryWayOutEndsTheCapture) {
    teach.Initialize(nullptr);
    dialog.fileAnswers = {std::nullopt, std::string("C:\\Tools\\Viewer.exe")};
    dialog.Click(IDC_TEACH_BROWSE, Teach());
    EXPECT_TRUE(At(IDC_TEACH_PROGRAM).items.empty());
    EXPECT_EQ(At(IDC_TEACH_PROGRAM).selection, CB_NONE);
    dialog.Click(IDC_TEACH_BROWSE, Teach());
    EXPECT_EQ(At(IDC_TEACH_PROGRAM).items,
              std::vector<std::string>{"viewer.exe, chosen from its file"});
    EXPECT_EQ(At(IDC_TEACH_PROGRAM).selection, 0);
    {
        FakeControls other;
        TeachDialogLogic closed{other};
        closed.Initialize(nullptr);
        EXPECT_TRUE(PressEngineInUse().Capturing());
    }
    EXPECT_FALSE(PressEngineInUse().Capturing());

    // A file the loader cannot read is left alone, and the box says why.
    teach.OnButtonCaptured(Play);
    folders.Put(kUserFolder, "viewer.toml", "[program]\nname = 1\n");
    Reload();
    teach.OnKeyPressed(0, vk::SPACE);
    dialog.Click(IDC_TEACH_SAVE, Teach());
    EXPECT_EQ(folders.Bytes(kUserFolder, "viewer.toml"), "[program]\nname = 1\n");
    ASSERT_EQ(env.ui.boxes.size(), 1u);
    EXPECT_EQ(env.ui.boxes[0].caption, kErrorCaption);
    EXPECT_FALSE(teach.SavedAny());
}

}  // namespace
