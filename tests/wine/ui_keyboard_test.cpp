// The settings window and the hardware-wait window driven by real key input (SendInput),
// through the program's own message loop: the outcome of each key is checked in the
// settings record, the sheet and the focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "../../resources/resource.h"
#include "platform/fake/fake_os.h"
#include "platform/fake/fake_system.h"
#include "state/messages.h"
#include "ui/document.h"
#include "receiver/remote_button.h"
#include "ui/pages.h"
#include "ui/win32/settings_window.h"
#include "wine_support.h"

namespace {

// As the program's loop: the dialog keys first, then the usual translation and dispatch.
template <typename Pred>
bool PumpLoop(HWND plugInWait, SettingsView* settings, Pred pred, DWORD ms = 3000) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsSettingsDialogMessage(&msg, plugInWait, settings)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (pred()) return true;
        if (GetTickCount() - start > ms) return pred();
        Sleep(5);
    }
}

class SettingsKeys : public ::testing::Test {
protected:
    void SetUp() override {
        platform = RealPlatform();
        platform.registry = &Win32Registry();
        platform.ui = &Win32UserInterface();
        platform.shell = &shell;
        scope = std::make_unique<ScopedPlatform>(platform);
        saved = CurrentSettings();
        doc = std::make_unique<CRemoteDoc>();
        ASSERT_TRUE(doc->OnNewDocument());
        // Macros page: only row 2 takes a QuickLaunch target, so row 4's combo is the
        // page's last control that Tab reaches.
        Settings().Macro1 = 1;
        Settings().Macro2 = 0;
        Settings().Macro3 = 2;
        Settings().Macro4 = 3;
        Settings().MouseModeEnabled = 0;
        // The main frame passes its focus on to the form.
        frame.onMessage = [this](UINT m) {
            if (m == WM_SETFOCUS && settings) settings->Focus();
        };
        settings = CreateSettingsView(frame.hwnd(), *doc);
        ASSERT_NE(settings, nullptr);
        view = settings->Window();
        settings->PrepareForShow();
        ASSERT_TRUE(frame.MakeForeground());
    }
    void TearDown() override {
        settings.reset();
        doc.reset();
        SetCurrentSettings(saved);
    }

    RemoteSettings& Settings() { return doc->Settings(); }
    HWND Sheet() const { return settings->SheetWindow(); }
    HWND Page(int index) const {
        return reinterpret_cast<HWND>(SendMessageA(Sheet(), PSM_INDEXTOHWND, index, 0));
    }
    int ActivePage() const {
        const auto page = SendMessageA(Sheet(), PSM_GETCURRENTPAGEHWND, 0, 0);
        return static_cast<int>(SendMessageA(Sheet(), PSM_HWNDTOINDEX, page, 0));
    }
    HWND TabStrip() const {
        return reinterpret_cast<HWND>(SendMessageA(Sheet(), PSM_GETTABCONTROL, 0, 0));
    }
    HWND Button(int id) const { return GetDlgItem(view, id); }
    void ShowPage(int index) {
        SendMessageA(Sheet(), PSM_SETCURSEL, index, 0);
        ASSERT_EQ(ActivePage(), index);
    }

    TestWindow frame{"Orbiscope Remote Settings", "OrbiscopeKeysTestFrame", 40, 40, 200, 100};
    FakeShell shell;
    Platform platform;
    std::unique_ptr<ScopedPlatform> scope;
    RemoteSettings* saved = nullptr;
    std::unique_ptr<CRemoteDoc> doc;
    std::unique_ptr<SettingsView> settings;
    HWND view = nullptr;

    template <typename Pred>
    bool PumpLoopUntil(Pred pred, DWORD ms = 3000) {
        return PumpLoop(nullptr, settings.get(), pred, ms);
    }
};

TEST_F(SettingsKeys, EscapeCancelsLikeTheCancelButton) {
    const int32_t stored = Settings().RepeatDelay.load();
    ASSERT_NE(stored, 100);
    ShowPage(1);
    HWND slider = GetDlgItem(Page(1), IDC_REPEAT_DELAY_SLIDER);
    SetFocus(slider);
    PressKeys({VK_HOME});  // the slider's "Slow" end
    ASSERT_TRUE(PumpLoopUntil([&] { return Settings().RepeatDelay.load() == 100; }));
    ASSERT_TRUE(doc->IsModified());

    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(PumpLoopUntil([&] { return !frame.Received(WM_REMOTE_HIDESETTINGS).empty(); }));
    EXPECT_EQ(Settings().RepeatDelay.load(), stored);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 100 - stored);
}

TEST_F(SettingsKeys, ControlKeysTurnThePagesFromAnywhereInTheWindow) {
    struct Step {
        std::vector<WORD> keys;
        int page;
    };
    const Step steps[] = {{{VK_CONTROL, VK_TAB}, 1},  {{VK_CONTROL, VK_TAB}, 2},
                          {{VK_CONTROL, VK_TAB}, 3},  {{VK_CONTROL, VK_TAB}, 0},
                          {{VK_CONTROL, VK_SHIFT, VK_TAB}, 3},
                          {{VK_CONTROL, VK_NEXT}, 0}, {{VK_CONTROL, VK_PRIOR}, 3},
                          {{VK_CONTROL, VK_PRIOR}, 2}};
    // Once from OK, once from a control of the page that is turned away.
    for (HWND from : {Button(IDC_FORM_OK), GetDlgItem(Page(0), IDC_MACRO2_EDIT)}) {
        ShowPage(0);
        SetFocus(from);
        for (size_t i = 0; i < std::size(steps); ++i) {
            PressKeys(steps[i].keys);
            EXPECT_TRUE(PumpLoopUntil([&] { return ActivePage() == steps[i].page; }))
                << "step " << i;
            // The focus never stays behind on a hidden page.
            EXPECT_TRUE(IsWindowVisible(GetFocus())) << "step " << i;
        }
        EXPECT_EQ(GetFocus(), from == Button(IDC_FORM_OK) ? from : TabStrip());
    }
}

TEST_F(SettingsKeys, TabRunsFromTheTabStripThroughThePageToTheButtons) {
    HWND tab = TabStrip();
    HWND first = GetDlgItem(Page(0), IDC_MACRO1_COMBO);
    HWND edit = GetDlgItem(Page(0), IDC_MACRO2_EDIT);
    HWND last = GetDlgItem(Page(0), IDC_MACRO4_COMBO);
    HWND ok = Button(IDC_FORM_OK), cancel = Button(IDC_FORM_CANCEL), help = Button(IDC_FORM_HELP);
    struct Case {
        HWND from;
        bool shift;
        HWND to;
    };
    const Case cases[] = {{tab, false, first},
                          {first, false, GetDlgItem(Page(0), IDC_MACRO2_COMBO)},
                          {edit, false, GetDlgItem(Page(0), IDC_MACRO2_BROWSE)},
                          {last, false, ok},
                          {ok, false, cancel},
                          {help, false, tab},
                          {tab, true, help},
                          {first, true, tab},
                          {ok, true, last}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SetFocus(cases[i].from);
        if (cases[i].shift) {
            PressKeys({VK_SHIFT, VK_TAB});
        } else {
            PressKeys({VK_TAB});
        }
        EXPECT_TRUE(PumpLoopUntil([&] { return GetFocus() == cases[i].to; })) << "case " << i;
    }
    // Leaving a Browse button hands the default-button look back to OK.
    EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
}

TEST_F(SettingsKeys, ProgramsPageByKeyboardAlone) {
    ShowPage(2);
    HWND page = Page(2);
    const auto item = [page](int id) { return GetDlgItem(page, id); };
    HWND list = item(IDC_PROGRAMS_LIST);
    // Tab runs through the search, the two commands, the lists, Teach a button, another
    // remote's button and on to OK.
    const HWND order[] = {TabStrip(), item(IDC_PROGRAMS_SEARCH), item(IDC_PROGRAMS_COPY),
                          item(IDC_PROGRAMS_OPEN), list, item(IDC_PROGRAMS_BUTTONS),
                          item(IDC_PROGRAMS_PROBLEMS), item(IDC_PROGRAMS_TEACH),
                          item(IDC_PROGRAMS_ANOTHER_REMOTE),
                          Button(IDC_FORM_OK)};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        SetFocus(order[i]);
        PressKeys({VK_TAB});
        EXPECT_TRUE(PumpLoopUntil([&] { return GetFocus() == order[i + 1]; })) << "stop " << i;
    }
    // Typed into the search box, the list narrows to the matching program.
    SetFocus(item(IDC_PROGRAMS_SEARCH));
    PressKeys({'V'});
    PressKeys({'L'});
    PressKeys({'C'});
    EXPECT_TRUE(PumpLoopUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    // Alt+R goes to the list; the arrows choose, and the buttons follow the choice.
    SetFocus(item(IDC_PROGRAMS_SEARCH));
    SetDlgItemTextA(page, IDC_PROGRAMS_SEARCH, "");
    PressKeys({VK_MENU, 'R'});
    ASSERT_TRUE(PumpLoopUntil([&] { return GetFocus() == list; }));
    const auto chosen = [list] {
        return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    };
    const auto firstButtonDoes = [&] {
        char text[128] = {};
        LVITEMA lv{};
        lv.iSubItem = 2;
        lv.pszText = text;
        lv.cchTextMax = sizeof(text);
        SendDlgItemMessageA(page, IDC_PROGRAMS_BUTTONS, LVM_GETITEMTEXTA, Play,
                            reinterpret_cast<LPARAM>(&lv));
        return std::string(text);
    };
    const LRESULT before = chosen();
    for (int i = 0; i < 3; ++i) PressKeys({VK_DOWN});
    EXPECT_TRUE(PumpLoopUntil([&] { return chosen() == before + 3; }));
    char source[32] = {};
    LVITEMA name{};
    name.iSubItem = 1;
    name.pszText = source;
    name.cchTextMax = sizeof(source);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(chosen()), reinterpret_cast<LPARAM>(&name));
    // The buttons shown are the chosen program's: its row decides Play, or the default key.
    const std::string row = std::string(source).substr(std::string("Built-in row ").size());
    const std::string from = firstButtonDoes();
    EXPECT_TRUE(from == "built-in row " + row || from == "default key") << from << " for " << source;
}

TEST_F(SettingsKeys, FocusComesBackToTheCheckBoxAfterTheTip) {
    ShowPage(1);
    HWND check = GetDlgItem(Page(1), IDC_MOUSE_MODE_CHECK);
    SetFocus(check);
    std::atomic<bool> answered{false};
    std::thread user([&] {
        // Once the tip is in front, Enter is its OK.
        for (int i = 0; i < 800 && !answered; ++i) {
            HWND box = FindWindowA("#32770", kMouseTipCaption);
            if (box != nullptr && GetForegroundWindow() == box) {
                PressKeys({VK_RETURN});
                answered = true;
            }
            Sleep(10);
        }
    });
    PressKeys({VK_SPACE});
    const bool back = PumpLoopUntil(
        [&] {
            return answered && FindWindowA("#32770", kMouseTipCaption) == nullptr &&
                   GetFocus() == check;
        },
        10000);
    user.join();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(back);
    EXPECT_EQ(Settings().MouseModeEnabled.load(), 1);
}

TEST_F(SettingsKeys, EnterOnTheAboutLinkOpensTheMakersSite) {
    ShowPage(3);
    HWND link = GetDlgItem(Page(3), IDC_ABOUT_LINK);
    ASSERT_NE(link, nullptr);
    char cls[32] = {};
    GetClassNameA(link, cls, sizeof(cls));
    EXPECT_STREQ(cls, "SysLink");
    SetFocus(link);
    PressKeys({VK_RETURN});
    ASSERT_TRUE(PumpLoopUntil([&] { return !shell.calls.empty(); }));
    EXPECT_EQ(shell.calls[0].verb, "open");
    EXPECT_EQ(shell.calls[0].file, "http://www.orbiscope.com/");
    // The link took the Enter, not the default button.
    PumpLoopUntil([] { return false; }, 200);
    EXPECT_TRUE(frame.Received(WM_REMOTE_HIDESETTINGS).empty());
    EXPECT_EQ(shell.calls.size(), 1u);
}

TEST(HardwareWaitKeys, EscapeClosesItWithoutAsking) {
    FakeUserInterface ui;
    Platform platform = RealPlatform();
    platform.ui = &ui;
    ScopedPlatform scope(platform);
    TestWindow frame("frame", "OrbiscopeKeysTestFrame2");
    HWND wait = CreatePlugInDialog(frame.hwnd());
    ASSERT_NE(wait, nullptr);
    SetForegroundWindow(wait);
    ASSERT_TRUE(PumpLoop(wait, nullptr, [&] { return GetForegroundWindow() == wait; }));
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(PumpLoop(wait, nullptr, [&] { return !IsWindow(wait); }));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(frame.Received(WM_REMOTE_PLUGINWAITCLOSED).size(), 1u);
}

}  // namespace
