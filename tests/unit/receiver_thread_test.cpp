#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/macros.h"
#include "fake_env.h"
#include "platform/fake/fake_notify_icon.h"
#include "platform/fake/fake_receiver.h"
#include "platform/fake/fake_volume.h"
#include "platform/steady_clock.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/stream.h"
#include "shared/pack.h"
#include "state/messages.h"
#include "state/settings_store.h"
#include "ui/shell.h"
#include "ui/tray_icon.h"
#include "volume/volume.h"

namespace {

const std::string kFirst = "\\\\?\\usb#vid_0000&pid_0001#1#{receiver}";
const std::string kSecond = "\\\\?\\usb#vid_0000&pid_0001#2#{receiver}";

template <typename Pred>
bool WaitFor(Pred pred) {
    for (int i = 0; i < 1000 && !pred(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return pred();
}

std::vector<uint8_t> Code(int32_t id, int variant) { return PackButton(id, variant); }

// The receiver, the tray and the button map reset around each test; the threads, if
// any were started, stopped and the receiver closed afterwards.
class ReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.platform.receiver = &device;
        env.platform.notifyIcon = &tray;
        env.Install();
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
        kMainWindow = env.desktop.Add(main);
        TheTrayIcon().SetWindow(kMainWindow);
        env.Foreground("unknown.exe");
    }
    void TearDown() override {
        CloseReceiver();
        TheTrayIcon().Reset();
        SetFirstRunHook(nullptr);
    }
    // Threads need a clock whose sleeps pass.
    void UseRealTime() {
        env.platform.clock = &steady;
        env.Install();
    }
    // Runs the reader on this thread over an already opened receiver.
    void RunReaderHere() {
        ASSERT_TRUE(OpenReceiver());
        TheTrayIcon().SetState(TrayNotAvailable);
        TheReceiver().readerRunning = 1;
        TheReceiver().readerStopped = 0;
        ReaderThread(kMainWindow);
    }
    // The reader has taken everything and gone back to idle reads.
    bool Drained() {
        if (!WaitFor([&] { return device.QueuedBytes(kFirst) == 0; })) return false;
        const int32_t idle = device.IdleReads();
        return WaitFor([&] { return device.IdleReads() > idle; });
    }

    FakeEnv env;
    WindowHandle kMainWindow = 0;
    SteadyClock steady;
    FakeReceiverDevice device;
    FakeNotifyIcon tray;
};

TEST(ReceiverStop, WithNoThreadRunningReturnsAtOnce) {
    FakeEnv env;
    ASSERT_EQ(TheReceiver().readerStopped.load(), 1);
    ASSERT_EQ(TheReceiver().waitFinished.load(), 1);
    StopReceiverThreads();
    CloseReceiver();
    EXPECT_TRUE(env.clock.sleeps.empty());
}

TEST_F(ReceiverTest, DiscardWithoutReceiverOnlyEmptiesTheValues) {
    device.AddInterface(kFirst);
    device.Queue(kFirst, {0x33, 0x33});
    TheReceiver().valueCount = 7;
    DiscardPendingInput();
    EXPECT_EQ(TheReceiver().valueCount, 0);
    EXPECT_EQ(device.Reads(), 0);
}

TEST_F(ReceiverTest, DiscardReadsEverythingQueuedAndForgetsAHalfCode) {
    device.AddInterface(kFirst);
    ASSERT_TRUE(OpenReceiver());
    device.Queue(kFirst, std::vector<uint8_t>(2500, 0x36));
    EXPECT_FALSE(UnpackByte(0xF0));  // a whole value announced, then thrown away
    TheReceiver().valueCount = 12;
    DiscardPendingInput();
    EXPECT_EQ(device.QueuedBytes(kFirst), 0u);
    EXPECT_EQ(device.Reads(), 4);  // 1000 + 1000 + 500, then nothing
    EXPECT_EQ(TheReceiver().valueCount, 0);
    EXPECT_FALSE(UnpackByte(0x36));
    EXPECT_EQ(TheReceiver().valueCount, 2);
}

TEST_F(ReceiverTest, InterfaceDescriptionsFallBackToThePath) {
    const std::string longPath(300, 'p');
    device.AddInterface(kFirst, std::string("Receiver"), std::string("USB device"));
    device.AddInterface(kSecond, std::nullopt, std::string("USB device"));
    device.AddInterface(longPath);
    DeviceInterfaceList list;
    list.classGuid = kReceiverInterfaceClass;
    ASSERT_EQ(EnumerateInterfaces(list), 3);
    EXPECT_EQ(list.entries[0].devicePath, kFirst);
    EXPECT_EQ(list.entries[0].description, "Receiver");
    EXPECT_EQ(list.entries[1].description, "USB device");
    EXPECT_EQ(list.entries[2].devicePath, longPath);
    EXPECT_EQ(list.entries[2].description, std::string(255, 'p'));
    EXPECT_EQ(device.ClassesAsked(), std::vector<std::string>{"{5c3e9a71-2b84-4d0f-a6c2-71e0d94b3f28}"});

    device.deviceSetFails = true;
    DeviceInterfaceList none;
    EXPECT_EQ(EnumerateInterfaces(none), 0);
}

TEST_F(ReceiverTest, OpensTheFirstOfTwoInterfaces) {
    device.AddInterface(kFirst);
    device.AddInterface(kSecond);
    ASSERT_TRUE(OpenReceiver());
    EXPECT_EQ(device.OpenedPaths(), std::vector<std::string>{kFirst});
    // Opening again closes the handle held first.
    ASSERT_TRUE(OpenReceiver());
    EXPECT_EQ(device.OpenHandles(), 1);
}

TEST_F(ReceiverTest, OpenFailsWithoutAnInterfaceOrWhenRefused) {
    EXPECT_FALSE(OpenReceiver());
    EXPECT_EQ(TheReceiver().handle.load(), nullptr);
    device.AddInterface(kFirst);
    device.refuseOpen = true;
    EXPECT_FALSE(OpenReceiver());
    EXPECT_EQ(TheReceiver().handle.load(), nullptr);
    device.refuseOpen = false;
    device.Unplug(kFirst);
    EXPECT_FALSE(OpenReceiver());
}

TEST_F(ReceiverTest, ReaderDeliversCodesThenGivesUpWhenTheReceiverGoes) {
    device.AddInterface(kFirst);
    device.Queue(kFirst, Code(Play, 2));
    device.QueueUnplug(kFirst);
    RunReaderHere();
    EXPECT_EQ(TheButtonTiming().lastButton, Play);
    EXPECT_EQ(TheButtonTiming().lastVariant, 2);
    EXPECT_EQ(TheReceiver().handle.load(), nullptr);
    EXPECT_EQ(device.OpenHandles(), 0);
    EXPECT_EQ(TheTrayIcon().State(), TrayNotAvailable);
    EXPECT_EQ(TheReceiver().readerStopped.load(), 1);
    EXPECT_EQ(TheReceiver().readerRunning.load(), 0);
    EXPECT_EQ(TheReceiver().waitFinished.load(), 1);  // no reconnect asked for: no wait begins
}

TEST_F(ReceiverTest, AFailedReadAfterAnEscapeIsGivenOneMoreRead) {
    device.AddInterface(kFirst);
    std::vector<uint8_t> bytes = Code(Stop, 1);
    // Up to and including the last pulse's escape, a failure, then the end mark.
    device.Queue(kFirst, std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
    device.QueueReadFailure(kFirst);
    device.Queue(kFirst, {bytes.back()});
    device.QueueUnplug(kFirst);
    RunReaderHere();
    EXPECT_EQ(TheButtonTiming().lastButton, Stop);
    EXPECT_EQ(TheReceiver().handle.load(), nullptr);
}

TEST_F(ReceiverTest, AFailedReadElsewhereLosesTheReceiverAtOnce) {
    device.AddInterface(kFirst);
    const std::vector<uint8_t> bytes = Code(Stop, 1);
    device.Queue(kFirst, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 3));
    device.QueueReadFailure(kFirst);
    device.Queue(kFirst, std::vector<uint8_t>(bytes.begin() + 3, bytes.end()));
    RunReaderHere();
    EXPECT_EQ(TheButtonTiming().lastButton, -1);
    EXPECT_EQ(device.QueuedBytes(kFirst), bytes.size() - 3);
    EXPECT_EQ(TheTrayIcon().State(), TrayNotAvailable);
}

// Unplugged after any byte of a code and plugged in again: the half code is forgotten,
// the first whole press after the replug is the one recognised, and only it.
TEST_F(ReceiverTest, AReplugMidCodeNeverLosesTheNextPressNorDeliversTheHalfOne) {
    device.AddInterface(kFirst);
    device.Queue(kFirst, Code(Stop, 2));
    device.QueueUnplug(kFirst);
    RunReaderHere();
    const std::vector<uint16_t> stopKeys = env.input.KeysDown();
    ASSERT_FALSE(stopKeys.empty());
    device.Plug(kFirst);
    const std::vector<uint8_t> cut = Code(Play, 1);
    for (size_t k = 0; k < cut.size(); ++k) {
        env.input.Clear();
        TheButtonTiming() = ButtonTiming{};
        device.Queue(kFirst, std::vector<uint8_t>(cut.begin(), cut.begin() + k));
        device.QueueUnplug(kFirst);
        RunReaderHere();
        device.Plug(kFirst);
        device.Queue(kFirst, Code(Stop, 2));
        device.QueueUnplug(kFirst);
        RunReaderHere();
        EXPECT_EQ(env.input.KeysDown(), stopKeys) << "cut after " << k;
        device.Plug(kFirst);
    }
}

// The end of the process while the reader is busy with a held volume button, as after
// a quit posted from outside: the threads end before the volume interface goes, and a
// release that comes while the reader still runs waits for the reader's call to finish.
// (Under ThreadSanitizer, either order fault shows as a race on the interface.)
class ReleasingHost : public WindowlessShellHost {
public:
    void ReleaseEndpoint() override {
        readerEndedFirst =
            TheReceiver().readerStopped.load() == 1 && TheReceiver().waitFinished.load() == 1;
        ReleaseEndpointVolume();
    }
    bool readerEndedFirst = false;
};

TEST_F(ReceiverTest, TheVolumeInterfaceOutlivesEveryCallTheReaderMakesThroughIt) {
    UseRealTime();
    FakeEndpointVolume endpoint;
    env.platform.endpoint = &endpoint;
    env.power.version = OsVersion{true, kPlatformNt, 6, 0};
    env.Install();
    device.AddInterface(kFirst);
    std::vector<uint8_t> held;
    for (int i = 0; i < 400; ++i) {
        const std::vector<uint8_t> frame = Code(VolumeUp, 1);
        held.insert(held.end(), frame.begin(), frame.end());
    }
    for (const bool releaseWhileReading : {true, false}) {
        CreateEndpointVolume();
        ASSERT_EQ(endpoint.live, 1);
        device.Queue(kFirst, held);
        StartReceiver(1, kMainWindow);
        ASSERT_TRUE(WaitFor([&] { return device.QueuedBytes(kFirst) < held.size() - 50; }));
        if (releaseWhileReading) {
            ReleaseEndpointVolume();
            CloseReceiver();
        } else {
            ReleasingHost host;
            ExitShell(host);
            EXPECT_TRUE(host.readerEndedFirst);
        }
        EXPECT_EQ(endpoint.live, 0);
        EXPECT_EQ(TheReceiver().readerStopped.load(), 1);
    }
}

// The engine's owner goes while the reader is inside a press (held in a message box, as
// when a stop gave up on it): the press ends on a living engine, which goes with it, and
// no later code is handed to it; the receiver stops after.
TEST_F(ReceiverTest, AnEngineWhoseOwnerWentIsNeverHandedACode) {
    UseRealTime();
    device.AddInterface(kFirst);
    auto owner = std::make_unique<PressEngineOwner>(TheReceiver());
    ConnectShellLinks(owner->shared());
    const std::weak_ptr<PressEngine> engine = owner->shared();
    env.settings->SetMacro(1, kMacroQuickLaunch);
    env.settings->SetFavorite(1, "C:\\gone.avi");
    env.shell.defaultResult = 2;  // the launch fails, and its box holds the reader
    std::atomic<bool> boxOpen{false}, closeBox{false};
    env.ui.whileBoxOpen = [&] {
        boxOpen = true;
        while (!closeBox) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    StartReceiver(1, kMainWindow);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));
    device.Queue(kFirst, Code(MacroButton1, 1));
    ASSERT_TRUE(WaitFor([&] { return boxOpen.load(); }));

    owner.reset();
    EXPECT_FALSE(engine.expired());
    closeBox = true;
    ASSERT_TRUE(WaitFor([&] { return engine.expired(); }));
    env.input.Clear();
    device.Queue(kFirst, Code(Play, 1));
    ASSERT_TRUE(Drained());
    CloseReceiver();
    EXPECT_EQ(TheReceiver().readerStopped.load(), 1);
    EXPECT_TRUE(env.input.batches.empty());
}

// ReceiverNotifications (default 1, no page shows it) switches the balloons off.
TEST_F(ReceiverTest, ReceiverNotificationsCanBeSwitchedOff) {
    device.AddInterface(kFirst);
    for (const bool on : {true, false}) {
        if (!on) env.registry.SetDword(Hive::CurrentUser, kSettingsKeyPath, "ReceiverNotifications", 0);
        ConnectShellLinks(env.engine.shared());
        TheTrayIcon().Reset();
        TheTrayIcon().SetWindow(kMainWindow);
        tray.calls.clear();
        for (int plugged = 0; plugged < 2; ++plugged) {
            device.Queue(kFirst, Code(Play, 1 + plugged));
            device.QueueUnplug(kFirst);
            RunReaderHere();
            device.Plug(kFirst);
        }
        std::vector<std::string> balloons;
        for (const auto& c : tray.Calls()) {
            if (c.data.flags == kNifInfo) balloons.push_back(c.data.info);
        }
        const std::vector<std::string> expected{kReceiverRemovedNotice, kReceiverConnectedNotice,
                                                kReceiverRemovedNotice};
        EXPECT_EQ(balloons, on ? expected : std::vector<std::string>{});
    }
}

TEST_F(ReceiverTest, ReaderStartedWithoutItsFlagEndsAtOnce) {
    TheReceiver().readerRunning = 0;
    TheReceiver().readerStopped = 0;
    EXPECT_EQ(ReaderThread(kMainWindow), 0);
    EXPECT_EQ(TheReceiver().readerStopped.load(), 1);
    EXPECT_EQ(device.Reads(), 0);
}

TEST_F(ReceiverTest, WaitsForTheReceiverThenReadsIt) {
    UseRealTime();
    StartReceiver(1, kMainWindow);
    const std::vector<FakeNotifyIcon::Call> first = tray.Calls();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].op, NotifyIcon::Op::Add);
    EXPECT_EQ(first[0].data.tip, kTipNotAvailable);
    // No receiver: the wait thread keeps asking.
    EXPECT_TRUE(WaitFor([&] { return device.ClassesAsked().size() >= 3; }));
    EXPECT_EQ(TheReceiver().waitFinished.load(), 0);
    EXPECT_EQ(TheTrayIcon().State(), TrayNotAvailable);

    device.AddInterface(kFirst);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));
    device.Queue(kFirst, Code(Next, 1));
    ASSERT_TRUE(Drained());
    CloseReceiver();
    EXPECT_EQ(TheButtonTiming().lastButton, Next);
    EXPECT_EQ(device.OpenHandles(), 0);
    EXPECT_EQ(TheReceiver().readerStopped.load(), 1);
    EXPECT_EQ(TheReceiver().waitFinished.load(), 1);
}

TEST_F(ReceiverTest, LostReceiverIsWaitedForAndReadAgain) {
    UseRealTime();
    device.AddInterface(kFirst);
    StartReceiver(1, kMainWindow);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));

    device.Unplug(kFirst);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayNotAvailable; }));
    EXPECT_TRUE(WaitFor([&] { return device.OpenHandles() == 0; }));
    const size_t asked = device.ClassesAsked().size();
    EXPECT_TRUE(WaitFor([&] { return device.ClassesAsked().size() > asked + 1; }));

    device.Plug(kFirst);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));
    device.Queue(kFirst, Code(Rewind, 2));
    ASSERT_TRUE(Drained());
    CloseReceiver();
    EXPECT_EQ(device.OpenedPaths().size(), 2u);
    EXPECT_EQ(TheButtonTiming().lastButton, Rewind);
    EXPECT_EQ(TheButtonTiming().lastVariant, 2);

    // The icon went not available -> available -> not available -> available.
    std::vector<std::string> tips, balloons;
    for (const auto& c : tray.Calls()) {
        if (c.data.flags == kNifInfo) {
            balloons.push_back(c.data.info);
        } else {
            tips.push_back(c.data.tip);
        }
    }
    // A balloon for each change after start-up, none for the first connection.
    EXPECT_EQ(balloons, (std::vector<std::string>{kReceiverRemovedNotice, kReceiverConnectedNotice}));
    EXPECT_EQ(tips, (std::vector<std::string>{kTipNotAvailable, kTipAvailable, kTipNotAvailable,
                                              kTipAvailable}));
}

// The receiver comes straight back after each failed read, so the wait thread reopens
// it and starts the next reader while the reader that lost it is still ending: the
// ending reader must not clear the flags the next one runs on.
TEST_F(ReceiverTest, AReceiverThatComesStraightBackIsReadByTheNextReader) {
    UseRealTime();
    device.AddInterface(kFirst);
    StartReceiver(1, kMainWindow);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));
    for (int round = 0; round < 6; ++round) {
        const size_t opened = device.OpenedPaths().size();
        device.QueueReadFailure(kFirst);
        ASSERT_TRUE(WaitFor([&] { return device.OpenedPaths().size() > opened; })) << round;
        const int variant = 1 + round % 2;
        device.Queue(kFirst, Code(Digit5, variant));
        // Idle again, so the next queued failure meets the reader, not a discard.
        ASSERT_TRUE(Drained()) << round;
        ASSERT_EQ(TheButtonTiming().lastVariant, variant) << round;
        EXPECT_EQ(TheButtonTiming().lastButton, Digit5);
        EXPECT_EQ(TheReceiver().readerRunning.load(), 1) << round;
        EXPECT_EQ(TheReceiver().readerStopped.load(), 0) << round;
        EXPECT_TRUE(WaitFor([] { return TheReceiver().waitFinished.load() == 1; })) << round;
    }
    CloseReceiver();
    EXPECT_EQ(device.OpenHandles(), 0);
    EXPECT_EQ(TheReceiver().readerStopped.load(), 1);
    EXPECT_EQ(TheReceiver().waitFinished.load(), 1);
}

TEST_F(ReceiverTest, WithoutReconnectALostReceiverEndsTheThreads) {
    UseRealTime();
    device.AddInterface(kFirst);
    StartReceiver(0, kMainWindow);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));
    device.Unplug(kFirst);
    ASSERT_TRUE(WaitFor([] {
        return TheReceiver().readerStopped.load() == 1 && TheReceiver().waitFinished.load() == 1;
    }));
    EXPECT_EQ(TheTrayIcon().State(), TrayNotAvailable);
    EXPECT_EQ(TheReceiver().handle.load(), nullptr);
}

TEST_F(ReceiverTest, StopEndsTheWaitForAMissingReceiver) {
    UseRealTime();
    StartReceiver(1, kMainWindow);
    ASSERT_TRUE(WaitFor([&] { return device.ClassesAsked().size() >= 2; }));
    StopReceiverThreads();
    EXPECT_EQ(TheReceiver().waitFinished.load(), 1);
    EXPECT_EQ(TheReceiver().waitKeepRunning.load(), 0);
    // Stopped threads are gone for good: a receiver plugged in now is not opened.
    device.AddInterface(kFirst);
    StopReceiverThreads();
    EXPECT_TRUE(device.OpenedPaths().empty());
}

// The reader shows the unsupported-program warning and nobody answers it: the stop
// closes it and the threads end, rather than the stop waiting for the user.
TEST_F(ReceiverTest, StopClosesAnOpenWarningAndEnds) {
    UseRealTime();
    env.settings->ShowUnsupportedDlg = 1;
    env.ui.unsupportedWaitsForClose = true;
    device.AddInterface(kFirst);
    StartReceiver(1, kMainWindow);
    ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));
    device.Queue(kFirst, Code(Play, 1));
    ASSERT_TRUE(WaitFor([&] { return env.ui.unsupportedOpen.load() == 1; }));
    EXPECT_TRUE(StopReceiverThreads());
    EXPECT_EQ(env.ui.unsupportedOpen.load(), 0);
    EXPECT_GE(env.ui.unsupportedCloses.load(), 1);
    EXPECT_EQ(TheReceiver().readerStopped.load(), 1);
    EXPECT_EQ(TheReceiver().waitFinished.load(), 1);
}

TEST_F(ReceiverTest, HardwareWaitWindowOnlyRightAfterAnInstall) {
    UseRealTime();
    struct Case {
        int32_t installJustRan;
        int32_t cancelPlugInWindow;
        bool shown;
    };
    const Case cases[] = {{0, 0, false}, {1, 0, true}, {1, 1, false}, {0, 1, false}, {7, 0, true}};
    for (const Case& c : cases) {
        env.registry.SetDword(Hive::CurrentUser, kSettingsKeyPath, "InstallJustRan",
                              static_cast<uint32_t>(c.installJustRan));
        env.registry.SetDword(Hive::CurrentUser, kSettingsKeyPath, "CancelPlugInWindow",
                              static_cast<uint32_t>(c.cancelPlugInWindow));
        env.desktop.messages.clear();
        StartReceiver(1, kMainWindow);
        CloseReceiver();
        const FakeMessage sent{kMainWindow, 0, WM_REMOTE_SHOWPLUGINWAIT, 0, 0, true};
        const bool found = std::find(env.desktop.messages.begin(), env.desktop.messages.end(),
                                     sent) != env.desktop.messages.end();
        EXPECT_EQ(found, c.shown) << c.installJustRan << " " << c.cancelPlugInWindow;
    }
}

std::atomic<int32_t> g_hookCalls{0};
std::atomic<WindowHandle> g_hookWindow{0};
std::atomic<int32_t> g_trayDuringHook{-1};
void RecordFirstRun(WindowHandle w) {
    ++g_hookCalls;
    g_hookWindow = w;
    g_trayDuringHook = TheTrayIcon().State();
}

TEST_F(ReceiverTest, FirstRunStepsRunOnceTheReceiverOpensAfterAnInstall) {
    UseRealTime();
    SetFirstRunHook(RecordFirstRun);
    device.AddInterface(kFirst);
    for (int32_t installJustRan : {0, 1}) {
        g_hookCalls = 0;
        env.registry.SetDword(Hive::CurrentUser, kSettingsKeyPath, "InstallJustRan",
                              static_cast<uint32_t>(installJustRan));
        StartReceiver(1, kMainWindow);
        ASSERT_TRUE(WaitFor([] { return TheTrayIcon().State() == TrayAvailable; }));
        CloseReceiver();
        EXPECT_EQ(g_hookCalls.load(), installJustRan);
        if (installJustRan != 0) {
            EXPECT_EQ(g_hookWindow.load(), kMainWindow);
            EXPECT_EQ(g_trayDuringHook.load(), TrayNotAvailable);  // before the reader
        }
        TheTrayIcon().Reset();
        TheTrayIcon().SetWindow(kMainWindow);
    }
}

}  // namespace
