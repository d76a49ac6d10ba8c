// The user-interface adapter against the real API: message boxes, the unsupported
// dialog's route, and the main window's timers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "wine_support.h"

namespace {

// Answers the first message box with that caption by pressing one of its buttons.
std::thread AnswerBox(const char* caption, int button, std::atomic<bool>& found) {
    return std::thread([caption, button, &found] {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 10000) {
            if (HWND box = FindWindowA("#32770", caption)) {
                found = true;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                return;
            }
            Sleep(20);
        }
    });
}

TEST(UserInterfaceAdapter, MessageBoxReturnsTheButtonPressed) {
    UserInterface& ui = Win32UserInterface();
    std::atomic<bool> found{false};
    std::thread answer = AnswerBox("Orbiscope adapter question", IDNO, found);
    const int32_t result = ui.ShowMessageBox(0, "Shall we?", "Orbiscope adapter question",
                                             kMbYesNo | kMbIconExclamation);
    answer.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(result, kIdNo);
}

UnsupportedAnswer Scripted(const std::string& message) {
    UnsupportedAnswer a;
    a.closedWithOk = message == "route me";
    a.dontShowAgain = true;
    return a;
}

TEST(UserInterfaceAdapter, UnsupportedWarningGoesToTheProgramsDialog) {
    SetUnsupportedDialog(&Scripted);
    const UnsupportedAnswer a = Win32UserInterface().ShowUnsupportedDialog("route me");
    SetUnsupportedDialog(nullptr);
    EXPECT_TRUE(a.closedWithOk);
    EXPECT_TRUE(a.dontShowAgain);
}

TEST(UserInterfaceAdapter, WithoutTheDialogTheWarningIsAPlainBoxThatTicksNothing) {
    std::atomic<bool> found{false};
    std::thread answer = AnswerBox("Orbiscope Warning", IDOK, found);
    const UnsupportedAnswer a = Win32UserInterface().ShowUnsupportedDialog("not supported");
    answer.join();
    EXPECT_TRUE(found);
    EXPECT_TRUE(a.closedWithOk);
    EXPECT_FALSE(a.dontShowAgain);
}

// The program's stop closes the warning from another thread while nobody answers it.
TEST(UserInterfaceAdapter, AnOpenWarningIsClosedFromAnotherThread) {
    std::atomic<bool> done{false};
    std::thread shower([&] {
        (void)Win32UserInterface().ShowUnsupportedDialog("nobody answers");
        done = true;
    });
    const DWORD start = GetTickCount();
    while (FindWindowA("#32770", "Orbiscope Warning") == nullptr && GetTickCount() - start < 10000)
        Sleep(20);
    EXPECT_NE(FindWindowA("#32770", "Orbiscope Warning"), nullptr);
    while (!done && GetTickCount() - start < 20000) {
        Win32UserInterface().CloseUnsupportedDialog();
        Sleep(50);
    }
    EXPECT_TRUE(done);
    if (!done) {
        // Left to the end of the test run rather than hanging it.
        shower.detach();
        return;
    }
    shower.join();
}

TEST(UserInterfaceAdapter, TimersTickOnTheWindowUntilKilled) {
    UserInterface& ui = Win32UserInterface();
    TestWindow window;
    ASSERT_TRUE(ui.SetTimer(window.handle(), 102, 50));
    ASSERT_TRUE(PumpUntil([&] { return window.Received(WM_TIMER).size() >= 2; }));
    for (const auto& m : window.Received(WM_TIMER)) EXPECT_EQ(m.wParam, 102u);
    EXPECT_TRUE(ui.KillTimer(window.handle(), 102));
    PumpMessages(100);  // a tick queued before the kill may still arrive
    const size_t ticks = window.Received(WM_TIMER).size();
    PumpMessages(300);
    EXPECT_EQ(window.Received(WM_TIMER).size(), ticks);
    EXPECT_FALSE(ui.KillTimer(window.handle(), 103));  // never started
}

// The end of the process waits for the wait thread while that thread shows a message
// box owned by the main window (the first-run steps do): the box can only come up if
// the owner's thread answers what the box sends it, so the wait must serve those.
TEST(UserInterfaceAdapter, AWaitServingSentMessagesLetsABoxOwnedByThisThreadComeUp) {
    UserInterface& ui = Win32UserInterface();
    TestWindow owner;
    std::atomic<bool> boxEnded{false};
    std::thread other([&] {
        (void)ui.ShowMessageBox(owner.handle(), "first run", "Orbiscope owned box", kMbOk);
        boxEnded = true;
    });
    bool boxSeen = false;
    for (int i = 0; i < 100 && !boxEnded; ++i) {
        ui.WaitServingSentMessages(100);
        if (HWND box = FindWindowA("#32770", "Orbiscope owned box")) {
            boxSeen = true;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(boxEnded);
    if (!boxEnded) {
        // Let it end before the window goes, whatever happened.
        PumpUntil([&] { return boxEnded.load(); });
    }
    other.join();
}

}  // namespace
