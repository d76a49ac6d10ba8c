// Suspend and resume: the reader closes the receiver for the sleep, opens it again on a
// widening schedule, throws away what was queued meanwhile, reopens one that stays
// silent, and the Power button does nothing right after the wake. The reader runs on
// the test's thread with a fake clock whose sleeps move the scene on.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_env.h"
#include "platform/fake/fake_notify_icon.h"
#include "platform/fake/fake_receiver.h"
#include "platform/vk.h"
#include "receiver/stream.h"
#include "shared/pack.h"
#include "engine/power.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/trace.h"
#include "ui/osd.h"
#include "ui/shell.h"
#include "ui/tray_icon.h"

namespace {

const std::string kPath = "\\\\?\\usb#vid_0000&pid_0001#1#{receiver}";

// Every sleep of the reader lets the test act at the time it reaches.
class SceneClock : public FakeClock {
public:
    std::function<void(uint32_t now)> onSleep;
    void Sleep(uint32_t ms) override {
        now += ms;
        if (onSleep) onSleep(now);
    }
};

// Records when each open was attempted, successful or not.
class TimedDevice : public FakeReceiverDevice {
public:
    ReceiverHandle* Open(const std::string& path) override {
        attempts.push_back(TickNow());
        return FakeReceiverDevice::Open(path);
    }
    std::vector<uint32_t> attempts;
};

std::vector<std::string> g_lines;
void Capture(const std::string& line) { g_lines.push_back(line); }

bool AnyLineHas(const std::string& text) {
    for (const std::string& l : g_lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

class SleepTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.platform.clock = &clock;
        env.platform.receiver = &device;
        env.platform.notifyIcon = &tray;
        env.Install();
        clock.now = 100000;
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        IrReceiver& rx = TheReceiver();
        rx.valueCount = 0;
        rx.reconnect = 0;
        ResetUnpacker(rx);
        TheTrayIcon().Reset();
        FakeWindow main;
        main.className = kMainWindowClass;
        main.style = 0;
        mainWindow = env.desktop.Add(main);
        TheTrayIcon().SetWindow(mainWindow);
        env.Foreground("unknown.exe");
        device.AddInterface(kPath);
        g_lines.clear();
        SetTraceOutput(&Capture);
        SetTraceNoteOutput(&Capture);
        SetTraceWatched(true);
    }
    void TearDown() override {
        SetTraceWatched(false);
        SetTraceOutput(nullptr);
        SetTraceNoteOutput(nullptr);
        clock.onSleep = nullptr;
        CloseReceiver();
        TheTrayIcon().Reset();
    }
    // The reader over an open receiver, shown available, until it loses the receiver.
    void RunReader() {
        ASSERT_TRUE(OpenReceiver());
        TheTrayIcon().SetState(TrayAvailable);
        (void)TheTrayIcon().Announce(true);
        TheReceiver().readerRunning = 1;
        TheReceiver().readerStopped = 0;
        ReaderThread(mainWindow);
    }
    std::vector<uint32_t> SinceResume(uint32_t resumedAt) const {
        std::vector<uint32_t> out;
        for (uint32_t t : device.attempts) out.push_back(t - resumedAt);
        return out;
    }
    std::vector<std::string> Balloons() const {
        std::vector<std::string> out;
        for (const auto& c : tray.Calls())
            if (c.data.flags == kNifInfo) out.push_back(c.data.info);
        return out;
    }
    bool Pressed(uint16_t key) const {
        for (const auto& batch : env.input.batches)
            for (const InputEvent& e : batch)
                if (e.virtualKey == key) return true;
        return false;
    }

    FakeEnv env;
    SceneClock clock;
    TimedDevice device;
    FakeNotifyIcon tray;
    WindowHandle mainWindow = 0;
};

// The receiver gone for the sleep and back a minute after the wake: tried at once, then
// after 0.5, 1, 2, 5, 10 and 30 s; what it queued meanwhile (a Stop) is thrown away, the
// next press (Play) is read. The icon says "not available" from the suspend to the reopen,
// and nobody gets a balloon about the sleep.
TEST_F(SleepTest, ReopensOnTheScheduleAndDropsWhatWasQueuedMeanwhile) {
    const uint32_t suspendAt = clock.now + 1000;
    const uint32_t resumeAt = suspendAt + 5000;
    int32_t trayWhileAsleep = -1;
    clock.onSleep = [&](uint32_t now) {
        if (now == suspendAt) ReceiverSuspending();
        if (now == suspendAt + 1000) {
            trayWhileAsleep = TheTrayIcon().State();
            device.refuseOpen = true;
            device.Queue(kPath, PackButton(Stop, 1));
        }
        if (now == resumeAt) ReceiverResumed();
        if (now == resumeAt + 60000) device.refuseOpen = false;
        if (now == resumeAt + 90000) {
            device.Queue(kPath, PackButton(Play, 2));
            device.QueueUnplug(kPath);
        }
    };
    RunReader();
    // The first open is the test's own.
    ASSERT_EQ(device.attempts.size(), 9u);
    device.attempts.erase(device.attempts.begin());
    EXPECT_EQ(SinceResume(resumeAt),
              (std::vector<uint32_t>{0, 500, 1500, 3500, 8500, 18500, 48500, 78500}));
    EXPECT_EQ(trayWhileAsleep, TrayNotAvailable);
    EXPECT_FALSE(Pressed(vk::MEDIA_STOP));
    EXPECT_TRUE(Pressed(vk::MEDIA_PLAY_PAUSE));
    // Only the unplug at the end is news.
    EXPECT_EQ(Balloons(), std::vector<std::string>{kReceiverRemovedNotice});
    EXPECT_TRUE(AnyLineHas("suspend: receiver closed"));
    EXPECT_TRUE(AnyLineHas("receiver did not open 0.0 s after resume; next try in 0.5 s"));
    EXPECT_TRUE(AnyLineHas("receiver reopened 78.5 s after resume"));
}

// A receiver that opens after the wake but delivers nothing is reopened on the same
// schedule until its first byte; one that stays silent, only within ten minutes of the
// resume; and without a resume an idle receiver is never reopened.
TEST_F(SleepTest, ASilentReceiverIsReopenedOnlyUntilItSpeaksOrTheWatchEnds) {
    struct Case {
        const char* name;
        bool resume;
        uint32_t pressAt;  // after the resume; 0: never
        size_t reopens;
    };
    const Case cases[] = {
        {"speaks after 20 s", true, 20000, 6},
        {"stays silent", true, 0, 25},
        {"no resume", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device.attempts.clear();
        env.input.batches.clear();
        TheButtonTiming() = ButtonTiming{};
        const uint32_t resumeAt = clock.now + 1000;
        clock.onSleep = [&](uint32_t now) {
            if (c.resume && now == resumeAt) ReceiverResumed();
            if (c.pressAt != 0 && now == resumeAt + c.pressAt) device.Queue(kPath, PackButton(Play, 1));
            if (now == resumeAt + 15 * 60 * 1000) device.QueueUnplug(kPath);
        };
        RunReader();
        device.Plug(kPath);
        ASSERT_FALSE(device.attempts.empty());
        EXPECT_EQ(device.attempts.size() - 1, c.reopens);
        if (c.reopens > 0) {
            EXPECT_LT(device.attempts.back() - resumeAt, kStaleWatchMs);
        }
        EXPECT_EQ(Pressed(vk::MEDIA_PLAY_PAUSE), c.pressAt != 0);
        // Let the next case's resume be one of its own.
        clock.now += kResumeMergeMs;
    }
    EXPECT_TRUE(AnyLineHas("receiver silent 0.5 s after resume: reopened"));
}

// The receiver is no longer listed after the wake: the ordinary wait takes over, and the
// reader it starts finishes the resume (the queue is dropped, the trace says when).
TEST_F(SleepTest, AReceiverGoneAfterTheWakeIsLeftToTheOrdinaryWait) {
    const uint32_t resumeAt = clock.now + 1000;
    clock.onSleep = [&](uint32_t now) {
        if (now == resumeAt - 500) {
            ReceiverSuspending();
        }
        if (now == resumeAt - 200) device.Unplug(kPath);
        if (now == resumeAt) ReceiverResumed();
    };
    RunReader();
    EXPECT_EQ(TheTrayIcon().State(), TrayNotAvailable);
    EXPECT_TRUE(AnyLineHas("receiver not found 0.0 s after resume: waiting for it"));
    EXPECT_EQ(Balloons(), std::vector<std::string>{kReceiverRemovedNotice});

    clock.onSleep = nullptr;
    clock.now = resumeAt + 2000;
    device.Plug(kPath);
    device.Queue(kPath, PackButton(Stop, 1));
    ASSERT_TRUE(OpenReceiver());  // as the wait thread does
    clock.onSleep = [&](uint32_t now) {
        if (now == resumeAt + 2500) {
            device.Queue(kPath, PackButton(Play, 1));
            device.QueueUnplug(kPath);
        }
    };
    TheReceiver().readerRunning = 1;
    ReaderThread(mainWindow);
    EXPECT_FALSE(Pressed(vk::MEDIA_STOP));
    EXPECT_TRUE(Pressed(vk::MEDIA_PLAY_PAUSE));
    EXPECT_TRUE(AnyLineHas("receiver reopened 2.0 s after resume"));
}

// A suspend notice whose resume never comes: after 30 s seen awake the reader reads
// again, as after a resume; time that jumps (a real sleep) does not count.
TEST_F(SleepTest, AMissingResumeNoticeDoesNotLeaveTheRemoteDead) {
    const uint32_t suspendAt = clock.now + 1000;
    uint32_t readAgainAt = 0;
    clock.onSleep = [&](uint32_t now) {
        if (now == suspendAt) ReceiverSuspending();
        if (now == suspendAt + 10000) clock.now += 3600000;  // asleep for an hour
        if (readAgainAt == 0 && TheReceiver().asleep.load() == 0 && now > suspendAt) {
            readAgainAt = now;
            device.Queue(kPath, PackButton(Play, 1));
            device.QueueUnplug(kPath);
        }
    };
    RunReader();
    EXPECT_EQ(readAgainAt - (suspendAt + 3600000 + 10000), kMissedResumeMs + 100);
    EXPECT_TRUE(Pressed(vk::MEDIA_PLAY_PAUSE));
    EXPECT_TRUE(AnyLineHas("no resume notice 30.0 s after the suspend: reading again"));
}

class PowerGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        env.settings->PowerButtonEnabled = 1;
        env.settings->PowerButtonMode = kPowerScreenSaver;
        env.Foreground("editor.exe");
        g_lines.clear();
        SetTraceOutput(&Capture);
        SetTraceNoteOutput(&Capture);
        SetTraceWatched(true);
    }
    void TearDown() override {
        SetOnScreenDisplay(false);
        SetTraceWatched(false);
        SetTraceOutput(nullptr);
        SetTraceNoteOutput(nullptr);
    }
    int ScreenSaverStarts() const {
        int n = 0;
        for (const auto& m : env.desktop.messages)
            n += m.message == wm::SYSCOMMAND && m.wParam == kScScreenSave;
        return n;
    }
    FakeEnv env;
};

TEST_F(PowerGuardTest, PowerDoesNothingForThreeSecondsAfterAResume) {
    SetOnScreenDisplay(true);
    struct Case {
        uint32_t after;
        bool acts;
    } cases[] = {{0, false}, {1200, false}, {2999, false}, {3000, true}, {60000, true}};
    int variant = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        env.clock.now += kResumeMergeMs;
        ReceiverSuspending();
        ReceiverResumed();
        env.clock.now += c.after;
        const int before = ScreenSaverStarts();
        g_lines.clear();
        env.Receive(Power, variant = 3 - variant);
        EXPECT_EQ(ScreenSaverStarts() - before, c.acts ? 1 : 0);
        ASSERT_EQ(g_lines.size(), 1u);
        EXPECT_EQ(g_lines[0].find("ignored: " + SecondsText(c.after) + " after resume") !=
                      std::string::npos,
                  !c.acts)
            << g_lines[0];
        // The display shows only a Power press that acted.
        const std::optional<OsdPanel> panel = TakeOsdPanel();
        EXPECT_EQ(panel.has_value(), c.acts);
    }
    // Other buttons are not held back.
    env.clock.now += kResumeMergeMs;
    ReceiverResumed();
    env.Receive(Play, 1);
    EXPECT_FALSE(env.input.batches.empty());
}

// A sleep ends the press in progress: the same button and variant after the wake is a new
// press, however short the sleep looked to the tick count.
TEST(SleepForgetsThePress, TheSameCodeAfterTheWakeIsANewPress) {
    FakeEnv env;
    TheButtonMap().RemoveAllButtons();
    LoadDefaultButtons();
    env.Foreground("editor.exe");
    env.Receive(Play, 1);
    env.clock.Advance(100);
    env.Receive(Play, 1);
    ASSERT_EQ(env.input.batches.size(), 1u);  // held: swallowed
    ReceiverSuspending();
    env.clock.Advance(100);
    ReceiverResumed();
    env.Receive(Play, 1);
    EXPECT_EQ(env.input.batches.size(), 2u);
}

// The notices of one wake arrive in several ways; only the first counts, unless a suspend
// came between. The display coming back counts only where the system sleeps with it and
// no code arrived meanwhile.
TEST(SleepNotices, OneWakeIsOneResume) {
    FakeEnv env;
    struct Host : WindowlessShellHost {
        void ReleaseEndpoint() override {}
    } host;
    auto broadcast = [&](uint32_t event) {
        const ShellReply r = OnShellMessage(host, wm::POWERBROADCAST, event, 0, 0);
        EXPECT_TRUE(r.handled);
        EXPECT_EQ(r.result, 1);
    };
    IrReceiver& rx = TheReceiver();
    broadcast(kPbtSuspend);
    EXPECT_EQ(rx.asleep.load(), 1);
    broadcast(kPbtResumeAutomatic);
    broadcast(kPbtResumeSuspend);
    EXPECT_EQ(rx.asleep.load(), 0);
    EXPECT_EQ(rx.resumes.load(), 1u);
    env.clock.Advance(kResumeMergeMs - 1);
    broadcast(kPbtResumeCritical);
    EXPECT_EQ(rx.resumes.load(), 1u);
    env.clock.Advance(1);
    broadcast(kPbtResumeCritical);  // a sleep that could not be announced
    EXPECT_EQ(rx.resumes.load(), 2u);
    broadcast(kPbtSuspend);
    broadcast(kPbtResumeAutomatic);
    EXPECT_EQ(rx.resumes.load(), 3u);
    broadcast(0xA);  // battery status: nothing
    EXPECT_EQ(rx.resumes.load(), 3u);

    struct Case {
        bool sleepsWithDisplay;
        bool codeWhileOff;
        bool resumes;
    } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
    for (const Case& c : cases) {
        env.clock.Advance(kResumeMergeMs);
        const uint32_t before = rx.resumes.load();
        ReceiverDisplayState(false, c.sleepsWithDisplay);
        if (c.codeWhileOff) rx.codesDelivered.fetch_add(1);
        ReceiverDisplayState(true, c.sleepsWithDisplay);
        env.clock.Advance(kResumeMergeMs);
        ReceiverDisplayState(true, c.sleepsWithDisplay);  // dimmed and back: no new wake
        EXPECT_EQ(rx.resumes.load() - before, c.resumes ? 1u : 0u)
            << c.sleepsWithDisplay << c.codeWhileOff;
    }
}

}  // namespace
