// The on-screen display's panel window against the real window manager: shown without
// taking the activation, updated in place, hidden by its timer, drawn in the
// high-contrast colours when they are on.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "receiver/remote_button.h"
#include "state/trace.h"
#include "ui/osd.h"
#include "ui/win32/osd_window.h"
#include "wine_support.h"

namespace {

class OsdWindow_ : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(osd.Start(GetModuleHandleW(nullptr))); }
    void TearDown() override { osd.Stop(); }

    static std::wstring Text(HWND w) {
        wchar_t buffer[256] = {};
        GetWindowTextW(w, buffer, 256);
        return buffer;
    }

    OsdWindow osd;
};

TEST_F(OsdWindow_, ShowsWithoutActivationUpdatesInPlaceAndGoesAway) {
    TestWindow front;
    ASSERT_TRUE(front.MakeForeground());
    SetFocus(front.hwnd());
    HWND panel = osd.hwnd();
    ASSERT_NE(panel, nullptr);
    const LONG_PTR wanted =
        WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED;
    EXPECT_EQ(GetWindowLongPtrW(panel, GWL_EXSTYLE) & wanted, wanted);

    osd.Show(OsdPanel{"Play \xC2\xB7 VLC", -1});
    PumpMessages(100);
    EXPECT_TRUE(IsWindowVisible(panel));
    // No shell gives it a taskbar button: Windows none to a tool window or an owned one
    // (unless it asks with WS_EX_APPWINDOW), Wine's taskbar none to an owned one; the
    // owner is never shown.
    EXPECT_EQ(GetWindow(panel, GW_OWNER), osd.owner());
    EXPECT_NE(osd.owner(), nullptr);
    EXPECT_FALSE(IsWindowVisible(osd.owner()));
    EXPECT_EQ(GetWindowLongPtrW(panel, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(Text(panel), L"Play \x00B7 VLC");
    EXPECT_EQ(GetForegroundWindow(), front.hwnd());
    EXPECT_EQ(GetFocus(), front.hwnd());
    RECT small{};
    GetWindowRect(panel, &small);

    // A held button: the same window takes the new words and grows for its bar.
    osd.Show(OsdPanel{"Volume 45%", 45});
    PumpMessages(100);
    EXPECT_EQ(osd.hwnd(), panel);
    EXPECT_EQ(Text(panel), L"Volume 45%");
    RECT withBar{};
    GetWindowRect(panel, &withBar);
    EXPECT_GT(withBar.bottom - withBar.top, small.bottom - small.top);
    EXPECT_EQ(GetForegroundWindow(), front.hwnd());
    EXPECT_EQ(front.Received(WM_KILLFOCUS).size(), 0u);

    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(panel); }, 5000));
}

TEST_F(OsdWindow_, APressOnAnotherThreadOnlyPostsAndThePanelShowsHere) {
    SetOnScreenDisplay(true);
    // A press as the reader thread traces it: its record, when it closes, leaves the
    // words and posts; this thread, which owns the window, draws.
    std::thread reader([] {
        CodeTrace trace(24);
        trace.Match(Next, 1, RepeatDecision::NewPress);
        TraceStep([] { return TraceFact(TraceKind::CatalogueRow, "wmplayer.exe", 150); });
        TraceInput({InputEvent{InputEvent::Keyboard, 0xB0, 0, 0}});
    });
    reader.join();
    EXPECT_FALSE(IsWindowVisible(osd.hwnd()));  // nothing drawn before the post is read
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(osd.hwnd()) != FALSE; }, 2000));
    EXPECT_EQ(Text(osd.hwnd()), L"Next \x00B7 Windows Media Player");
}

// The window reaches its object through its own data: one destroyed elsewhere is
// forgotten, so Start makes a new one, and the owner takes its window along when it goes.
TEST(OsdWindowOwner, NeitherOutlivesTheOther) {
    HWND second = nullptr, owner = nullptr;
    {
        OsdWindow osd;
        ASSERT_TRUE(osd.Start(GetModuleHandleW(nullptr)));
        DestroyWindow(osd.hwnd());
        EXPECT_EQ(osd.hwnd(), nullptr);
        osd.Show(OsdPanel{"Muted", -1});
        ASSERT_TRUE(osd.Start(GetModuleHandleW(nullptr)));
        second = osd.hwnd();
        ASSERT_TRUE(IsWindow(second));
        owner = osd.owner();
    }
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(IsWindow(owner));
}

bool g_contrast = false;
bool Contrast() { return g_contrast; }

// The system's switch cannot be turned on under Wine; the panel's own question is
// answered here, and what it draws is read back from the screen.
TEST_F(OsdWindow_, DrawsInTheHighContrastColoursWhenTheyAreOn) {
    osd.SetHighContrastQuery(&Contrast);
    struct Case {
        bool on;
        COLORREF edge, inside;
    };
    const Case cases[] = {
        {false, RGB(24, 24, 24), RGB(24, 24, 24)},
        {true, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.on);
        g_contrast = c.on;
        osd.Show(OsdPanel{"Muted", -1});
        PumpMessages(200);
        HWND panel = osd.hwnd();
        HDC dc = GetDC(panel);
        RECT r{};
        GetClientRect(panel, &r);
        EXPECT_EQ(GetPixel(dc, 0, 0), c.edge);
        EXPECT_EQ(GetPixel(dc, r.right / 2, r.bottom - 5), c.inside);
        ReleaseDC(panel, dc);
    }
}

}  // namespace
