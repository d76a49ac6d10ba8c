#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "fake_env.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "desktop/window_queries.h"

namespace {

std::string H(WindowHandle w) { return std::to_string(w); }

// A desktop on which the system refuses some input attachments.
class RefusingDesktop : public FakeDesktop {
public:
    std::set<std::pair<ThreadId, ThreadId>> refused;
    bool AttachThreadInput(ThreadId from, ThreadId to, bool attach) override {
        if (attach && refused.count({from, to}) != 0) {
            calls.push_back("refused " + std::to_string(from) + "->" + std::to_string(to));
            return false;
        }
        return FakeDesktop::AttachThreadInput(from, to, attach);
    }
};

TEST(BringToFront, AttachesActivatesRestoresAndDetachesInOrder) {
    FakeEnv env;
    const WindowHandle behind = env.Foreground("vlc.exe");
    env.desktop.Find(behind)->minimized = true;
    const WindowHandle front = env.Foreground("editor.exe");
    const ThreadId fgThread = env.desktop.WindowThread(front);
    const ThreadId winThread = env.desktop.WindowThread(behind);
    const std::string self = std::to_string(env.desktop.currentThread);

    BringWindowToFront(behind);

    const std::string fg = std::to_string(fgThread), win = std::to_string(winThread);
    EXPECT_EQ(env.desktop.calls,
              (std::vector<std::string>{"attach " + self + "->" + fg, "attach " + win + "->" + fg,
                                        "foreground " + H(behind), "show " + H(behind) + " 9",
                                        "detach " + self + "->" + fg,
                                        "detach " + win + "->" + fg}));
    EXPECT_EQ(env.desktop.attachBalance, 0);
    EXPECT_EQ(env.desktop.foreground, behind);
    EXPECT_FALSE(env.desktop.Find(behind)->minimized);
    ASSERT_EQ(env.desktop.messages.size(), 1u);
    EXPECT_EQ(env.desktop.messages[0], (FakeMessage{0, winThread, wm::SETFOCUS, 0, 0, false}));
}

TEST(BringToFront, WindowAlreadyInFrontIsOnlyRestored) {
    FakeEnv env;
    const WindowHandle w = env.Foreground("vlc.exe");
    BringWindowToFront(w);
    EXPECT_EQ(env.desktop.calls, (std::vector<std::string>{"show " + H(w) + " 9"}));
}

TEST(BringToFront, RefusedActivationStillDetachesAndIsTriedOnceMoreAfterwards) {
    FakeEnv env;
    const WindowHandle behind = env.Foreground("vlc.exe");
    env.Foreground("editor.exe");
    env.desktop.refuseForeground = true;
    BringWindowToFront(behind);
    EXPECT_EQ(env.desktop.attachBalance, 0);
    const auto& calls = env.desktop.calls;
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].rfind("attach", 0), 0u);
    EXPECT_EQ(calls[1].rfind("attach", 0), 0u);
    EXPECT_EQ(calls[2], "foreground " + H(behind));
    EXPECT_EQ(calls[4].rfind("detach", 0), 0u);
    EXPECT_EQ(calls[5].rfind("detach", 0), 0u);
    EXPECT_EQ(calls[6], "foreground " + H(behind));
}

TEST(BringToFront, OnlyAttachmentsThatWereMadeAreUndone) {
    FakeEnv env;
    RefusingDesktop desktop;
    env.platform.desktop = &desktop;
    env.Install();
    FakeWindow a;
    a.pid = 10;
    a.thread = 11;
    const WindowHandle behind = desktop.Add(a);
    FakeWindow b;
    b.pid = 20;
    b.thread = 21;
    desktop.foreground = desktop.Add(b);
    desktop.refused.insert({desktop.currentThread, 21});

    BringWindowToFront(behind);

    const std::string self = std::to_string(desktop.currentThread);
    EXPECT_EQ(desktop.calls,
              (std::vector<std::string>{"refused " + self + "->21", "attach 11->21",
                                        "foreground " + H(behind), "show " + H(behind) + " 9",
                                        "detach 11->21"}));
    EXPECT_EQ(desktop.attachBalance, 0);
}

TEST(BringToFront, NoThreadIsAttachedToItselfOrToNoThread) {
    FakeEnv env;
    // Our own window behind, no foreground window at all.
    FakeWindow own;
    own.thread = env.desktop.currentThread;
    const WindowHandle w = env.desktop.Add(own);
    env.desktop.foreground = 0;
    BringWindowToFront(w);
    for (const std::string& c : env.desktop.calls) EXPECT_EQ(c.find("attach"), std::string::npos) << c;
    EXPECT_EQ(env.desktop.foreground, w);

    // Our own window behind another thread's window in front: one attachment only.
    env.desktop.calls.clear();
    env.Foreground("editor.exe");
    BringWindowToFront(w);
    EXPECT_EQ(std::count_if(env.desktop.calls.begin(), env.desktop.calls.end(),
                            [](const std::string& c) { return c.rfind("attach", 0) == 0; }),
              1);
    EXPECT_EQ(env.desktop.attachBalance, 0);
}

TEST(Focus, AttachesSetsFocusAndDetaches) {
    FakeEnv env;
    const WindowHandle front = env.Foreground("host.exe");
    FakeWindow child;
    child.parent = front;
    child.thread = 77;
    const WindowHandle target = env.desktop.Add(child);
    const std::string self = std::to_string(env.desktop.currentThread);
    const std::string fg = std::to_string(env.desktop.WindowThread(front));
    FocusWindow(target);
    EXPECT_EQ(env.desktop.calls,
              (std::vector<std::string>{"attach " + self + "->" + fg, "attach 77->" + fg,
                                        "focus " + H(target), "detach " + self + "->" + fg,
                                        "detach 77->" + fg}));
    EXPECT_EQ(env.desktop.focus, target);
    EXPECT_EQ(env.desktop.attachBalance, 0);
}

TEST(AutoSwitch, SupportedProgramInFrontStaysThere) {
    FakeEnv env;
    env.Foreground("vlc.exe");  // behind
    const WindowHandle front = env.Foreground("wmplayer.exe", "Media Player");
    AutoSwitch();
    EXPECT_TRUE(env.desktop.calls.empty());
    EXPECT_EQ(env.desktop.foreground, front);
}

TEST(AutoSwitch, MinimisedSupportedProgramBehindIsRestoredAndActivated) {
    FakeEnv env;
    const WindowHandle player = env.Foreground("VLC.exe", "VLC media player");
    env.desktop.Find(player)->minimized = true;
    env.Foreground("unknown.exe", "Spreadsheet");
    AutoSwitch();
    EXPECT_EQ(env.desktop.foreground, player);
    EXPECT_FALSE(env.desktop.Find(player)->minimized);
    EXPECT_EQ(env.desktop.attachBalance, 0);
}

TEST(AutoSwitch, TakesTheTopmostVisibleSupportedWindow) {
    FakeEnv env;
    const WindowHandle lower = env.Foreground("winamp.exe", "Winamp");
    const WindowHandle upper = env.Foreground("unknown.exe", "Orbiscope# helper");
    const WindowHandle hidden = env.Foreground("vlc.exe");
    env.desktop.Find(hidden)->style = 0;
    env.Foreground("unknown.exe", "Spreadsheet");
    AutoSwitch();
    EXPECT_EQ(env.desktop.foreground, upper);
    (void)lower;
}

TEST(AutoSwitch, PluginWindowCountsAsSupportedBothInFrontAndBehind) {
    FakeEnv env;
    const WindowHandle plugin = env.Foreground("host.exe", "Plug-in", "Orbiscope.WMX");
    AutoSwitch();
    EXPECT_TRUE(env.desktop.calls.empty());
    env.Foreground("unknown.exe", "Spreadsheet");
    AutoSwitch();
    EXPECT_EQ(env.desktop.foreground, plugin);
}

TEST(AutoSwitch, NothingSupportedAnywhereChangesNothing) {
    FakeEnv env;
    for (int i = 0; i < 5; ++i) env.Foreground("tool" + std::to_string(i) + ".exe", "Tool");
    const WindowHandle front = env.desktop.foreground;
    AutoSwitch();
    EXPECT_TRUE(env.desktop.calls.empty());
    EXPECT_EQ(env.desktop.foreground, front);
}

TEST(AutoSwitch, ReadsTheCurrentStateAtEveryCall) {
    FakeEnv env;
    env.Foreground("unknown.exe", "Spreadsheet");
    AutoSwitch();
    EXPECT_TRUE(env.desktop.calls.empty());
    // A supported program started between two presses is seen at the next one.
    const WindowHandle player = env.Foreground("vlc.exe");
    env.desktop.BringToTop(player);
    env.Foreground("unknown.exe", "Spreadsheet");
    AutoSwitch();
    EXPECT_EQ(env.desktop.foreground, player);
}

}  // namespace
