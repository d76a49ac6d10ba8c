// The message handlers against real windows: one in this process, and a helper
// program's window that answers or stops answering.
#include <gtest/gtest.h>

#include <string>

#include "profiles/handlers.h"
#include "receiver/remote_button.h"
#include "wine_support.h"

namespace {

// The helper program with its window of class "Winamp v1.x", ended at scope exit.
class MessageTarget {
public:
    explicit MessageTarget(const char* mode) {
        const std::string eventName = "OrbiscopeMessageTarget-" + std::to_string(GetCurrentProcessId());
        ready_ = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
        const std::string exe = TestProgramDirectory() + "\\message_target_helper.exe";
        std::string commandLine = "\"" + exe + "\" " + mode + " " + eventName;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &si, &process_)) {
            CloseHandle(process_.hThread);
            started_ = WaitForSingleObject(ready_, 15000) == WAIT_OBJECT_0;
        }
    }
    ~MessageTarget() {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, 10000);
            }
            CloseHandle(process_.hProcess);
        }
        if (ready_ != nullptr) CloseHandle(ready_);
    }
    bool started() const { return started_; }
    // The exit code once the program has ended, within ms; -1 while it runs.
    long ExitCodeWithin(DWORD ms) const {
        if (WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION process_{};
    HANDLE ready_ = nullptr;
    bool started_ = false;
};

TEST(ClassicPlayerMessages, PlaySendsCommand40045ToTheMainWindow) {
    ScopedPlatform os(RealPlatform());
    ResetHandlerState();
    MessageTarget target("answer");
    ASSERT_TRUE(target.started());
    ASSERT_NE(FindWindowA("Winamp v1.x", nullptr), nullptr);

    EXPECT_EQ(HandleRow148(Play), 1);
    // The send waited for the window procedure, which ends the helper with the
    // command it received.
    EXPECT_EQ(target.ExitCodeWithin(10000), 40045);
}

TEST(ClassicPlayerMessages, GivesUpOnAHelperThatStopsAnswering) {
    ScopedPlatform os(RealPlatform());
    ResetHandlerState();
    MessageTarget target("hang");
    ASSERT_TRUE(target.started());
    ASSERT_NE(FindWindowA("Winamp v1.x", nullptr), nullptr);

    // Returns (handled) although the window never processes the message.
    EXPECT_EQ(HandleRow148(Stop), 1);
    EXPECT_EQ(HandleRow148(Pause), 1);
    EXPECT_EQ(target.ExitCodeWithin(0), -1) << "the helper was meant to be still hanging";
}

TEST(ClassicPlayerMessages, NoMainWindowLeavesTheButtonToTheDefault) {
    ScopedPlatform os(RealPlatform());
    ASSERT_EQ(FindWindowA("Winamp v1.x", nullptr), nullptr);
    EXPECT_EQ(HandleRow148(Play), 0);
}

TEST(TouchToneMessages, PostsToTheRealWindow) {
    ScopedPlatform os(RealPlatform());
    TestWindow window("TouchTone", "TouchTone Main");
    EXPECT_EQ(HandleRow006(Play), 1);
    EXPECT_EQ(HandleRow006(ChannelUp), 1);
    ASSERT_TRUE(PumpUntil([&] { return window.Received(WM_USER).size() >= 2; }));
    const auto got = window.Received(WM_USER);
    EXPECT_EQ(got[0].wParam, 1u);
    EXPECT_EQ(got[0].lParam, 0);
    EXPECT_EQ(got[1].wParam, 400u);
}

}  // namespace
