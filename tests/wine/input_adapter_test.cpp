#include <gtest/gtest.h>

#include "desktop/input.h"
#include "wine_support.h"

namespace {

TEST(InputAdapter, KeystrokeArrivesWithItsVirtualKeyAndScanCode) {
    ScopedPlatform real(RealPlatform());
    TestWindow window;
    ASSERT_TRUE(window.MakeForeground());
    SendKeystrokeEx('Q', false, false, false, 0x10, 0);
    ASSERT_TRUE(PumpUntil([&] { return window.Received(WM_KEYUP).size() >= 1; }));
    const auto downs = window.Received(WM_KEYDOWN);
    ASSERT_FALSE(downs.empty());
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>('Q'));
    EXPECT_EQ((downs[0].lParam >> 16) & 0xFF, 0x10);
}

TEST(InputAdapter, ModifiedKeystrokeArrivesAsOneSequence) {
    ScopedPlatform real(RealPlatform());
    TestWindow window;
    ASSERT_TRUE(window.MakeForeground());
    SendKeystroke('P', true, false, false);
    ASSERT_TRUE(PumpUntil([&] { return window.Received(WM_KEYUP).size() >= 2; }));
    const auto downs = window.Received(WM_KEYDOWN);
    ASSERT_GE(downs.size(), 2u);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(VK_CONTROL));
    EXPECT_EQ(downs[1].wParam, static_cast<WPARAM>('P'));
    EXPECT_EQ((GetAsyncKeyState(VK_CONTROL) & 0x8000), 0);
}

TEST(InputAdapter, ClickInWindowClicksAtTheOffsetAndPutsTheCursorBack) {
    ScopedPlatform real(RealPlatform());
    TestWindow window("Click target", "OrbiscopeTestWindow", 100, 100, 300, 200);
    ASSERT_TRUE(window.MakeForeground());
    SetCursorPos(700, 600);
    PumpMessages(50);
    RECT r;
    GetWindowRect(window.hwnd(), &r);
    // An offset inside the client area: 40 right of the left edge, 80 below the top.
    ClickInWindow(40, 80, window.handle());
    ASSERT_TRUE(PumpUntil([&] { return !window.Received(WM_LBUTTONUP).empty(); }));
    const auto downs = window.Received(WM_LBUTTONDOWN);
    ASSERT_FALSE(downs.empty());
    POINT p{static_cast<short>(LOWORD(downs[0].lParam)), static_cast<short>(HIWORD(downs[0].lParam))};
    ClientToScreen(window.hwnd(), &p);
    EXPECT_EQ(p.x, r.left + 40);
    EXPECT_EQ(p.y, r.top + 80);
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.x, 700);
    EXPECT_EQ(now.y, 600);
}

TEST(InputAdapter, TargetOnePixelOffTheScreenIsNotClicked) {
    ScopedPlatform real(RealPlatform());
    const int width = GetSystemMetrics(SM_CXSCREEN);
    TestWindow window("Edge target", "OrbiscopeTestWindow", width - 200, 100, 200, 200);
    ASSERT_TRUE(window.MakeForeground());
    SetCursorPos(10, 10);
    RECT r;
    GetWindowRect(window.hwnd(), &r);
    ClickInWindow(width - r.left + 1, 50, window.handle());
    PumpMessages(300);
    EXPECT_TRUE(window.Received(WM_LBUTTONDOWN).empty());
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.x, 10);
    EXPECT_EQ(now.y, 10);
}

}  // namespace
