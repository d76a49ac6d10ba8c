#include <gtest/gtest.h>

#include <thread>

#include "fake_env.h"
#include "platform/vk.h"
#include "receiver/remote_button.h"
#include "engine/dispatcher.h"
#include "engine/mouse_mode.h"
#include "desktop/input.h"

namespace {

InputEvent KeyEv(uint16_t vkCode, uint16_t scan, uint32_t flags) {
    return InputEvent{InputEvent::Keyboard, vkCode, scan, flags};
}
InputEvent MouseEv(uint32_t flags) { return InputEvent{InputEvent::Mouse, 0, 0, flags}; }

TEST(Keystrokes, ModifiersPressInOrderAndReleaseInReverseInOneBatch) {
    FakeEnv env;
    SendKeystroke(0x41, true, false, true);
    ASSERT_EQ(env.input.batches.size(), 1u);
    EXPECT_EQ(env.input.batches[0],
              (std::vector<InputEvent>{KeyEv(0x11, 0x1D, 0), KeyEv(0x10, 0x2A, 0), KeyEv(0x41, 0, 0),
                                       KeyEv(0x41, 0, kKeyUp), KeyEv(0x10, 0x2A, kKeyUp),
                                       KeyEv(0x11, 0x1D, kKeyUp)}));
}

TEST(Keystrokes, AllThreeModifiersMakeEightEvents) {
    FakeEnv env;
    SendKeystroke('M', true, true, true);
    ASSERT_EQ(env.input.batches.size(), 1u);
    const auto& b = env.input.batches[0];
    ASSERT_EQ(b.size(), 8u);
    EXPECT_EQ(b[1], KeyEv(0x12, 0x38, 0));
    EXPECT_EQ(b[5], KeyEv(0x10, 0x2A, kKeyUp));
    EXPECT_EQ(b[6], KeyEv(0x12, 0x38, kKeyUp));
    for (int k = 0; k < 256; ++k) EXPECT_FALSE(env.input.keyDown[k]) << k;
}

TEST(Keystrokes, ExtendedKeyCarriesScanCodeOnBothEvents) {
    FakeEnv env;
    SendKeystrokeEx(0xB3, false, false, false, 0x22, 1);
    ASSERT_EQ(env.input.batches.size(), 1u);
    EXPECT_EQ(env.input.batches[0], (std::vector<InputEvent>{KeyEv(0xB3, 0x22, 1),
                                                             KeyEv(0xB3, 0x22, 1 | kKeyUp)}));
}

TEST(Keystrokes, AltWinEnter) {
    FakeEnv env;
    SendAltWinEnter();
    ASSERT_EQ(env.input.batches.size(), 1u);
    EXPECT_EQ(env.input.batches[0],
              (std::vector<InputEvent>{KeyEv(0x12, 0x38, 0), KeyEv(0x5B, 0, 0), KeyEv(0x0D, 0, 0),
                                       KeyEv(0x0D, 0, kKeyUp), KeyEv(0x5B, 0, kKeyUp),
                                       KeyEv(0x12, 0x38, kKeyUp)}));
}

TEST(Keystrokes, NoInjectorIsHarmless) {
    FakeEnv env;
    env.platform.input = nullptr;
    env.Install();
    SendKeystroke('A');
    ClickLeftAtCursor();
    EXPECT_TRUE(env.input.batches.empty());
}

TEST(Clicks, AtCursorLeavesCursorAlone) {
    FakeEnv env;
    ClickLeftAtCursor();
    ClickRightAtCursor();
    ASSERT_EQ(env.input.batches.size(), 2u);
    EXPECT_EQ(env.input.batches[0], (std::vector<InputEvent>{MouseEv(2), MouseEv(4)}));
    EXPECT_EQ(env.input.batches[1], (std::vector<InputEvent>{MouseEv(8), MouseEv(0x10)}));
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
}

struct ClickCase {
    const char* name;
    void (*op)(WindowHandle w);
    Point target;
    uint32_t down;
    bool putBack;
};

TEST(Clicks, OffsetOperationsClickThereAndPutTheCursorBack) {
    const ClickCase cases[] = {
        {"ClickInWindow", [](WindowHandle w) { ClickInWindow(8, 50, w); }, {108, 150}, 2, true},
        {"ClickInWindowFromBottom", [](WindowHandle w) { ClickInWindowFromBottom(10, -20, w); },
         {110, 280}, 2, true},
        {"RightClickInWindow", [](WindowHandle w) { RightClickInWindow(50, 50, w); }, {150, 150}, 8,
         true},
        {"ClickInForegroundWindow", [](WindowHandle) { ClickInForegroundWindow(1, 1); }, {101, 101},
         2, true},
        {"RightClickInForegroundWindow", [](WindowHandle) { RightClickInForegroundWindow(30, 30); },
         {130, 130}, 8, true},
    };
    for (const auto& c : cases) {
        FakeEnv env;
        FakeWindow w;
        w.rect = Rect{100, 100, 300, 300};
        const WindowHandle h = env.desktop.Add(w);
        env.desktop.foreground = h;
        env.desktop.cursor = Point{7, 9};
        c.op(h);
        ASSERT_EQ(env.input.clickPoints.size(), 2u) << c.name;
        EXPECT_EQ(env.input.clickPoints[0], c.target) << c.name;
        EXPECT_EQ(env.input.batches[0][0].flags, c.down) << c.name;
        EXPECT_EQ(env.desktop.cursor, (Point{7, 9})) << c.name;
    }
}

TEST(Clicks, MoveCursorToWindowStaysThereWithoutClicking) {
    FakeEnv env;
    FakeWindow w;
    w.rect = Rect{40, 60, 300, 300};
    const WindowHandle h = env.desktop.Add(w);
    MoveCursorToWindow(0, 0, h);
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_EQ(env.desktop.cursor, (Point{40, 60}));
}

TEST(Clicks, ScreenBoundsAreInclusiveAndOnePixelBeyondIsRefused) {
    FakeEnv env;
    FakeWindow w;
    w.rect = Rect{0, 0, 10, 10};
    const WindowHandle h = env.desktop.Add(w);
    ClickInWindow(1024, 768, h);
    EXPECT_EQ(env.input.batches.size(), 1u);
    ClickInWindow(1025, 10, h);
    ClickInWindow(10, 769, h);
    ClickInWindow(-1, 10, h);
    ClickInWindow(10, -1, h);
    EXPECT_EQ(env.input.batches.size(), 1u);
}

TEST(Clicks, HugeOffsetsDoNotWrapOntoTheScreen) {
    FakeEnv env;
    FakeWindow w;
    w.rect = Rect{100, 100, 10, 10};
    const WindowHandle h = env.desktop.Add(w);
    ClickInWindow(INT32_MAX, 10, h);
    ClickInWindowFromBottom(10, INT32_MIN, h);
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
}

TEST(Clicks, MissingWindowGetsNoInput) {
    FakeEnv env;
    ClickInWindow(10, 10, 0);
    ClickInWindow(10, 10, 0x7777);
    env.desktop.foreground = 0;
    ClickInForegroundWindow(5, 5);
    EXPECT_TRUE(env.input.batches.empty());
    EXPECT_TRUE(env.desktop.cursorMoves.empty());
}

// The focus-request poll clicks on the main thread while mouse mode moves the cursor on
// the reader thread: every click lands where it was aimed and the cursor comes back.
TEST(CursorThreads, ClicksAndMouseModeMovesNeverInterleave) {
    FakeEnv env;
    const WindowHandle target = env.Foreground("player.exe");
    env.desktop.cursor = Point{300, 300};
    std::thread reader([] {
        for (int i = 0; i < 300; ++i) MouseModeAction(i % 2 != 0 ? Left : Right, 1);
    });
    for (int i = 0; i < 300; ++i) ClickInWindow(8, 50, target);
    reader.join();
    ASSERT_EQ(env.input.clickPoints.size(), 600u);
    for (const Point& p : env.input.clickPoints) EXPECT_EQ(p, (Point{108, 150}));
    EXPECT_EQ(env.desktop.cursor, (Point{300, 300}));
}

}  // namespace
