// The settings window and dialogs under Wine: built from the real templates, driven by
// the messages the controls send, observed through the settings record.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "../../resources/resource.h"
#include "platform/fake/fake_os.h"
#include "platform/fake/fake_system.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"
#include "profiles/profile_files.h"
#include "receiver/remote_button.h"
#include "state/messages.h"
#include "ui/document.h"
#include "ui/pages.h"
#include "ui/profile_watch.h"
#include "ui/win32/settings_window.h"
#include "wine_support.h"

namespace {

class CountingDoc : public CDocument {
public:
    int saves = 0;
    bool SaveModified() override {
        ++saves;
        return true;
    }
};

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        platform = RealPlatform();
        platform.ui = &ui;
        scope = std::make_unique<ScopedPlatform>(platform);
        saved = CurrentSettings();
        SetCurrentSettings(&settings);
        settings.Macro1 = 4;
        settings.Macro2 = 0;
        settings.StoreFavorite(2, "C:\\music\\party.m3u");
        settings.RepeatDelay = 30;
        settingsView = CreateSettingsView(frame.hwnd(), doc);
        ASSERT_NE(settingsView, nullptr);
        view = settingsView->Window();
        ASSERT_NE(Sheet(), nullptr);
    }
    void TearDown() override {
        settingsView.reset();
        SetCurrentSettings(saved);
    }
    HWND Sheet() const { return settingsView->SheetWindow(); }
    HWND Page(int index) const {
        return reinterpret_cast<HWND>(
            SendMessageA(Sheet(), PSM_INDEXTOHWND, static_cast<WPARAM>(index), 0));
    }
    // What a user's change does: the control changes, then notifies its page.
    void Command(HWND page, int id, UINT code) {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }

    TestWindow frame{"Orbiscope Remote Settings", "OrbiscopeUiTestFrame", 50, 50, 200, 100};
    FakeUserInterface ui;
    Platform platform;
    std::unique_ptr<ScopedPlatform> scope;
    RemoteSettings settings;
    RemoteSettings* saved = nullptr;
    CountingDoc doc;
    std::unique_ptr<SettingsView> settingsView;
    HWND view = nullptr;
};

TEST_F(SettingsWindow, AllFourPagesExistAndShowTheSettings) {
    EXPECT_EQ(GetParent(view), frame.hwnd());
    EXPECT_EQ(GetParent(Sheet()), view);
    for (int i = 0; i < 4; ++i) EXPECT_NE(Page(i), nullptr) << i;
    HWND macros = Page(0);
    EXPECT_EQ(SendDlgItemMessageA(macros, IDC_MACRO1_COMBO, CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(SendDlgItemMessageA(macros, IDC_MACRO1_COMBO, CB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(SendDlgItemMessageA(macros, IDC_MACRO2_COMBO, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(macros, IDC_MACRO1_EDIT)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(macros, IDC_MACRO2_EDIT)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(macros, IDC_MACRO2_BROWSE)));
    char text[256] = {};
    GetDlgItemTextA(macros, IDC_MACRO2_EDIT, text, sizeof(text));
    EXPECT_STREQ(text, "C:\\music\\party.m3u");
    HWND advanced = Page(1);
    EXPECT_EQ(SendDlgItemMessageA(advanced, IDC_REPEAT_DELAY_SLIDER, TBM_GETPOS, 0, 0), 70);
    EXPECT_EQ(SendDlgItemMessageA(advanced, IDC_REPEAT_DELAY_SLIDER, TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(SendDlgItemMessageA(advanced, IDC_POWER_MODE_COMBO, CB_GETCOUNT, 0, 0), 4);
    // The About page's version is the one the build was made with (the VERSION file).
    std::string about;
    for (HWND child = GetWindow(Page(3), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowTextA(child, text, sizeof(text));
        if (std::string(text).rfind("Orbiscope Remote Drivers", 0) == 0) about = text;
    }
    EXPECT_EQ(about,
              std::string("Orbiscope Remote Drivers\nVersion ") + ORB_VERSION_TEXT_FOR_TESTS);
    // Filling the pages is not an edit.
    EXPECT_FALSE(settings.IsModified());
    // The frame was fitted around the form.
    RECT client{}, form{};
    GetClientRect(frame.hwnd(), &client);
    GetWindowRect(view, &form);
    EXPECT_EQ(client.right, form.right - form.left);
    EXPECT_EQ(client.bottom, form.bottom - form.top);
}

TEST_F(SettingsWindow, PageHandlersWriteTheRecord) {
    HWND advanced = Page(1);
    HWND delay = GetDlgItem(advanced, IDC_REPEAT_DELAY_SLIDER);
    SendMessageA(delay, TBM_SETPOS, TRUE, 100);
    SendMessageA(advanced, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 100),
                 reinterpret_cast<LPARAM>(delay));
    EXPECT_EQ(settings.RepeatDelay.load(), 0);
    EXPECT_TRUE(settings.IsModified());

    SendDlgItemMessageA(advanced, IDC_SAVER_WAKEUP_CHECK, BM_CLICK, 0, 0);
    EXPECT_EQ(settings.ScreenSaverWakeupEnabled.load(), 0);
    EXPECT_TRUE(ui.boxes.empty());

    SendDlgItemMessageA(advanced, IDC_POWER_BUTTON_CHECK, BM_CLICK, 0, 0);
    EXPECT_EQ(settings.PowerButtonEnabled.load(), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].owner, reinterpret_cast<WindowHandle>(advanced));
    EXPECT_EQ(ui.boxes[0].caption, "Orbiscope Warning");

    SendDlgItemMessageA(advanced, IDC_POWER_MODE_COMBO, CB_SETCURSEL, 2, 0);
    Command(advanced, IDC_POWER_MODE_COMBO, CBN_SELCHANGE);
    EXPECT_EQ(settings.PowerButtonMode.load(), 2);

    HWND macros = Page(0);
    SendDlgItemMessageA(macros, IDC_MACRO1_COMBO, CB_SETCURSEL, 0, 0);
    Command(macros, IDC_MACRO1_COMBO, CBN_SELCHANGE);
    EXPECT_EQ(settings.Macro1.load(), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(macros, IDC_MACRO1_EDIT)));
    // Typing into the edit: the edit itself tells the page before drawing.
    HWND edit = GetDlgItem(macros, IDC_MACRO1_EDIT);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("http://a.example/"));
    EXPECT_EQ(settings.GetFavorite1(), "http://a.example/");
}

TEST_F(SettingsWindow, OkSavesAndHidesAndShowingAgainStartsOnTheFirstPage) {
    SendMessageA(Sheet(), PSM_SETCURSEL, 1, 0);
    SendDlgItemMessageA(view, IDC_FORM_OK, BM_CLICK, 0, 0);
    EXPECT_EQ(doc.saves, 1);
    EXPECT_TRUE(PumpUntil([&] { return !frame.Received(WM_REMOTE_HIDESETTINGS).empty(); }));

    settingsView->PrepareForShow();
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(Sheet(), PSM_GETCURRENTPAGEHWND, 0, 0)), Page(0));
    EXPECT_EQ(GetWindowLongA(GetDlgItem(view, IDC_FORM_OK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(view, IDC_FORM_CANCEL), GWL_STYLE) & 0xF, BS_PUSHBUTTON);
}

// Its owner releasing the view takes the form and the sheet away, and the document no
// longer calls a view that is gone.
TEST_F(SettingsWindow, ReleasingTheViewDestroysItsWindows) {
    HWND sheet = Sheet();
    settingsView.reset();
    EXPECT_FALSE(IsWindow(view));
    EXPECT_FALSE(IsWindow(sheet));
    doc.UpdateAllViews();
}

TEST_F(SettingsWindow, DocumentUpdateRefillsThePages) {
    settings.Macro3 = 0;
    settings.StoreFavorite(3, "D:\\film.avi");
    settings.MouseModeEnabled = 1;
    doc.UpdateAllViews();
    char text[256] = {};
    GetDlgItemTextA(Page(0), IDC_MACRO3_EDIT, text, sizeof(text));
    EXPECT_STREQ(text, "D:\\film.avi");
    EXPECT_EQ(IsDlgButtonChecked(Page(1), IDC_MOUSE_MODE_CHECK), BST_CHECKED);
}

// A list view's rows as the user sees them: each row's columns joined by " | ".
std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < count; ++r) {
        std::string row;
        for (int c = 0; c < columns; ++c) {
            char text[256] = {};
            LVITEMA item{};
            item.iSubItem = c;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
            row += (c == 0 ? "" : " | ") + std::string(text);
        }
        rows.push_back(row);
    }
    return rows;
}

TEST_F(SettingsWindow, ProgramsPageListsTheProgramsAndTheChosenOnesButtons) {
    (void)InstallProfiles({{"vlc.toml", "[program]\nname = \"VLC\"\nmatch = { process = \"vlc.exe\" }\n"
                                        "[buttons]\nPlay = \"Ctrl+P\"\n"},
                           {"bad.toml", "[program]\n"}},
                          {});
    SendMessageA(Sheet(), PSM_SETCURSEL, 2, 0);  // turning to the page reads the files again
    HWND page = Page(2);
    char caption[64] = {};
    TCITEMA tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption;
    tab.cchTextMax = sizeof(caption);
    SendMessageA(reinterpret_cast<HWND>(SendMessageA(Sheet(), PSM_GETTABCONTROL, 0, 0)), TCM_GETITEMA,
                 2, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(caption, "Programs");
    HWND list = GetDlgItem(page, IDC_PROGRAMS_LIST);
    EXPECT_EQ(ListRows(list).size(), 155u + 1u);
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_PROGRAMS_PROBLEMS, LB_GETCOUNT, 0, 0), 1);

    // The search box narrows the list as the user types; the first program is chosen.
    SetDlgItemTextA(page, IDC_PROGRAMS_SEARCH, "vlc");
    const std::vector<std::string> rows = ListRows(list);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "VLC (vlc.exe) | My profile vlc.toml");
    EXPECT_EQ(rows[1], "vlc.exe | Built-in row 80");
    const std::vector<std::string> buttons = ListRows(GetDlgItem(page, IDC_PROGRAMS_BUTTONS));
    ASSERT_EQ(buttons.size(), 42u);
    EXPECT_EQ(buttons[Play], "Play | Ctrl+P | user profile vlc.toml:5");

    // A click on another row shows that program's buttons.
    LVITEMA select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(ListRows(GetDlgItem(page, IDC_PROGRAMS_BUTTONS))[Stop], "Stop | S | built-in row 80");
    (void)InstallProfiles({}, {});
}

TEST_F(SettingsWindow, ProgramsPageCopiesIntoTheUsersFolderAndOpensIt) {
    FakeShell shell;
    platform.shell = &shell;
    platform.folders = &Win32FolderFiles();
    scope.reset();
    scope = std::make_unique<ScopedPlatform>(platform);
    const std::string folder = CurrentProfileFolders().user;
    ASSERT_FALSE(folder.empty());
    const std::string written = folder + "\\vlc.toml";
    DeleteFileW(Widen(written).c_str());

    SendMessageA(Sheet(), PSM_SETCURSEL, 2, 0);
    HWND page = Page(2);
    SetDlgItemTextA(page, IDC_PROGRAMS_SEARCH, "vlc.exe");
    ASSERT_EQ(ListRows(GetDlgItem(page, IDC_PROGRAMS_LIST)), std::vector<std::string>{"vlc.exe | Built-in row 80"});
    Command(page, IDC_PROGRAMS_COPY, BN_CLICKED);
    std::string text;
    EXPECT_TRUE(Win32FolderFiles().Read(written, 1 << 20, text));
    EXPECT_EQ(text, ExportProfile("80").text);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find(written), std::string::npos);
    // The new file is listed and chosen at once.
    HWND list = GetDlgItem(page, IDC_PROGRAMS_LIST);
    const auto chosen = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    ASSERT_GE(chosen, 0);
    EXPECT_EQ(ListRows(list)[static_cast<size_t>(chosen)], "vlc (vlc.exe) | My profile vlc.toml");

    Command(page, IDC_PROGRAMS_OPEN, BN_CLICKED);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].verb, "open");
    EXPECT_EQ(shell.calls[0].file, folder);
    DeleteFileW(Widen(written).c_str());
    (void)InstallProfiles({}, {});
}

// Runs a modal dialog on its own thread, as the reader thread does.
template <typename Result>
struct ModalRun {
    std::atomic<bool> done{false};
    Result result{};
    std::thread thread;
    template <typename F>
    explicit ModalRun(F f)
        : thread([this, f] {
              result = f();
              done = true;
          }) {}
    ~ModalRun() {
        if (thread.joinable()) thread.join();
    }
};

HWND WaitForDialog(const char* caption) {
    HWND found = nullptr;
    // Visible: the dialog has been initialised by then.
    PumpUntil(
        [&] {
            found = FindWindowA("#32770", caption);
            return found != nullptr && IsWindowVisible(found);
        },
        5000);
    return found;
}

TEST(UnsupportedWarning, BoxIsReadBackOnlyWhenClosedWithOk) {
    struct Case {
        bool tick;
        UINT close;  // IDOK, IDCANCEL (Escape) or WM_CLOSE (close box)
        bool expectDontShow;
    };
    const Case cases[] = {
        {true, IDOK, true}, {false, IDOK, false}, {true, IDCANCEL, false}, {true, WM_CLOSE, false}};
    for (const Case& c : cases) {
        ModalRun<UnsupportedAnswer> run(
            [] { return ShowUnsupportedDialogModal("The program window (notepad.exe)"); });
        HWND dlg = WaitForDialog("Orbiscope Warning");
        ASSERT_NE(dlg, nullptr);
        char text[256] = {};
        GetDlgItemTextA(dlg, IDC_UNSUPPORTED_TEXT, text, sizeof(text));
        EXPECT_STREQ(text, "The program window (notepad.exe)");
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_UNSUPPORTED_DONT_SHOW), BST_UNCHECKED);
        if (c.tick) SendDlgItemMessageA(dlg, IDC_UNSUPPORTED_DONT_SHOW, BM_CLICK, 0, 0);
        if (c.close == WM_CLOSE) {
            PostMessageA(dlg, WM_CLOSE, 0, 0);
        } else {
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(c.close, BN_CLICKED), 0);
        }
        ASSERT_TRUE(PumpUntil([&] { return run.done.load(); }, 5000));
        run.thread.join();
        EXPECT_EQ(run.result.closedWithOk, c.close == IDOK);
        EXPECT_EQ(run.result.dontShowAgain, c.expectDontShow) << c.tick << " " << c.close;
    }
}

TEST(HardwareError, ShowsItsTextsAndClosesWithOk) {
    ModalRun<int> run([] {
        ShowNoIRDialog();
        return 1;
    });
    HWND dlg = WaitForDialog("Hardware Error");
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(GetWindowLongA(dlg, GWL_STYLE) & DS_SYSMODAL);
    bool sawIcon = false, sawText = false;
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char text[300] = {};
        GetWindowTextA(c, text, sizeof(text));
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) sawIcon = true;
        if (std::string(text) ==
            "A Orbiscope(tm) Infrared Receiver cannot be found on this computer.")
            sawText = true;
    }
    EXPECT_TRUE(sawIcon);
    EXPECT_TRUE(sawText);
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(PumpUntil([&] { return run.done.load(); }, 5000));
}

class HardwareWait : public ::testing::Test {
protected:
    void SetUp() override {
        platform = RealPlatform();
        platform.ui = &ui;
        scope = std::make_unique<ScopedPlatform>(platform);
    }
    size_t Closed() const { return frame.Received(WM_REMOTE_PLUGINWAITCLOSED).size(); }
    TestWindow frame{"frame", "OrbiscopeUiTestFrame2"};
    FakeUserInterface ui;
    Platform platform;
    std::unique_ptr<ScopedPlatform> scope;
};

TEST_F(HardwareWait, TopmostAtTheCornerWithItsPicture) {
    HWND wait = CreatePlugInDialog(frame.hwnd());
    ASSERT_NE(wait, nullptr);
    RECT r{};
    GetWindowRect(wait, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_TRUE(GetWindowLongA(wait, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(wait));
    bool picture = false;
    for (HWND c = GetWindow(wait, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0) picture = true;
    }
    EXPECT_TRUE(picture);
    SendMessageA(wait, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(wait));
    EXPECT_EQ(Closed(), 1u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(HardwareWait, ThinBorderNoCaptionAndTheTemplatesSize) {
    HWND wait = CreatePlugInDialog(frame.hwnd());
    ASSERT_NE(wait, nullptr);
    const LONG style = GetWindowLongA(wait, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(wait, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, WS_BORDER);  // a border, no title bar
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(exStyle & WS_EX_DLGMODALFRAME);
    RECT want{0, 0, 316, 205};
    ASSERT_TRUE(MapDialogRect(wait, &want));
    RECT client{};
    GetClientRect(wait, &client);
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);
    SendMessageA(wait, WM_CLOSE, 0, 0);
}

TEST_F(HardwareWait, CancelAsksFirst) {
    HWND wait = CreatePlugInDialog(frame.hwnd());
    ASSERT_NE(wait, nullptr);
    ui.boxAnswers = {kIdNo, kIdYes};
    SendDlgItemMessageA(wait, IDC_PLUGIN_CANCEL, BM_CLICK, 0, 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "Orbiscope");
    EXPECT_TRUE(IsWindow(wait));
    EXPECT_EQ(Closed(), 0u);

    SendDlgItemMessageA(wait, IDC_PLUGIN_CANCEL, BM_CLICK, 0, 0);
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_FALSE(IsWindow(wait));
    EXPECT_EQ(Closed(), 1u);
}

TEST(Resources, OneManifestTheBitmapsMenuAndCaption) {
    int manifests = 0;
    EnumResourceNamesA(
        nullptr, RT_MANIFEST,
        [](HMODULE, LPCSTR, LPSTR, LONG_PTR count) -> BOOL {
            ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(manifests, 1);
    for (int id : {IDB_PLUGIN_WAIT, IDB_ABOUT}) {
        HANDLE bmp =
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0);
        EXPECT_NE(bmp, nullptr) << id;
        if (bmp) DeleteObject(bmp);
    }
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_TRAY_SETTINGS));
    EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(ID_TRAY_SHUTDOWN));
    EXPECT_EQ(GetMenuItemID(popup, 3), static_cast<UINT>(ID_TRAY_HELP));
    DestroyMenu(menu);
    char caption[64] = {};
    LoadStringA(GetModuleHandleA(nullptr), IDS_SHEET_CAPTION, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Orbiscope Remote Settings");
}

}  // namespace
