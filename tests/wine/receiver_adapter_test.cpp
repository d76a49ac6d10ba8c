#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/events.h"
#include "engine/press_engine.h"
#include "platform/fake/fake_notify_icon.h"
#include "platform/fake/fake_os.h"
#include "platform/receiver_device.h"
#include "platform/win32/adapters.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "receiver/stream.h"
#include "ui/shell.h"
#include "ui/trace_output.h"
#include "ui/tray_icon.h"
#include "wine_support.h"

namespace {

// The real adapter, with its enumerations counted.
class CountingDevice : public ReceiverDevice {
public:
    explicit CountingDevice(ReceiverDevice& real) : real_(real) {}
    std::optional<std::vector<DeviceInterfaceInfo>> PresentInterfaces(
        const std::string& classGuid) override {
        ++enumerations;
        return real_.PresentInterfaces(classGuid);
    }
    ReceiverHandle* Open(const std::string& path) override {
        ++opens;
        return real_.Open(path);
    }
    ReadResult Read(ReceiverHandle* h, uint8_t* b, size_t n) override { return real_.Read(h, b, n); }
    void Close(ReceiverHandle* h) override { real_.Close(h); }
    std::atomic<int32_t> enumerations{0};
    std::atomic<int32_t> opens{0};

private:
    ReceiverDevice& real_;
};

std::string UniquePipe(const char* what) {
    return "\\\\.\\pipe\\orbiscope-test-" + std::string(what) + "-" +
           std::to_string(GetCurrentProcessId());
}

// The pipe's real server as the check would see it from another account, or from a
// sandbox of this one.
std::optional<PeerIdentity> SeenAsAnotherUser(HANDLE pipe) {
    std::optional<PeerIdentity> server = PipeServerIdentity(pipe);
    if (server) server->userSid += "-1";
    return server;
}
std::optional<PeerIdentity> SeenBelowThisProgram(HANDLE pipe) {
    std::optional<PeerIdentity> server = PipeServerIdentity(pipe);
    if (server && server->integrityRid) *server->integrityRid -= 0x1000;
    return server;
}

struct NoteViewers : TraceViewers {
    void Publish(const std::string& line) override {
        std::lock_guard<std::mutex> hold(lock);
        lines.push_back(line);
    }
    size_t Count() {
        std::lock_guard<std::mutex> hold(lock);
        return lines.size();
    }
    std::mutex lock;
    std::vector<std::string> lines;
};

std::string FindOrbsend() {
    char buffer[MAX_PATH] = {};
    if (GetEnvironmentVariableA("ORBSEND_EXE", buffer, sizeof buffer) > 0) return buffer;
    const std::string dir = TestProgramDirectory();
    for (const char* rel : {"\\..\\orbsend.exe", "\\..\\tools\\orbsend.exe", "\\orbsend.exe"}) {
        const std::string path = dir + rel;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
    }
    return "";
}

// Fakes for everything a recognised button may touch; the real clock and receiver.
class WineReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.clock = &Win32Clock();
        platform.receiver = &device;
        platform.notifyIcon = &tray;
        platform.input = &input;
        platform.desktop = &desktop;
        platform.processes = &processes;
        platform.ui = &ui;
        scope = std::make_unique<ScopedPlatform>(platform);
        engine = std::make_unique<PressEngineOwner>(TheReceiver());
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        TheButtonTiming() = ButtonTiming{};
        TheReceiver().valueCount = 0;
        ResetUnpacker(TheReceiver());
        TheTrayIcon().Reset();
        TheTrayIcon().SetWindow(0x1234);
        SetEnvironmentVariableA(kVirtualReceiverVariable, nullptr);
        ConnectShellLinks(engine->shared());
    }
    void TearDown() override {
        CloseReceiver();
        engine.reset();
        TheTrayIcon().Reset();
        SetEnvironmentVariableA(kVirtualReceiverVariable, nullptr);
        scope.reset();
    }
    bool WaitFor(const std::function<bool()>& pred, DWORD ms = 10000) {
        const DWORD start = GetTickCount();
        while (!pred()) {
            if (GetTickCount() - start > ms) return pred();
            Sleep(10);
        }
        return true;
    }
    bool TrayWasAvailable() {
        for (const auto& c : tray.Calls())
            if (c.data.tip == kTipAvailable) return true;
        return false;
    }

    CountingDevice device{Win32ReceiverDevice()};
    FakeNotifyIcon tray;
    FakeInput input;
    FakeDesktop desktop;
    FakeProcessList processes;
    FakeUserInterface ui;
    Platform platform;
    std::unique_ptr<ScopedPlatform> scope;
    std::unique_ptr<PressEngineOwner> engine;
};

TEST_F(WineReceiverTest, WithoutAReceiverNothingIsFoundAndTheWaitKeepsPolling) {
    DeviceInterfaceList list;
    list.classGuid = kReceiverInterfaceClass;
    EXPECT_EQ(EnumerateInterfaces(list), 0);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_FALSE(OpenReceiver());

    StartReceiver(1, 0);
    const int32_t before = device.enumerations.load();
    EXPECT_TRUE(WaitFor([&] { return device.enumerations.load() >= before + 4; }));
    EXPECT_EQ(TheReceiver().waitFinished.load(), 0);
    EXPECT_EQ(TheTrayIcon().State(), TrayNotAvailable);
    StopReceiverThreads();
    EXPECT_EQ(TheReceiver().waitFinished.load(), 1);
}

TEST_F(WineReceiverTest, PipeReadsAreIdleThenDataThenFailedOnceTheWriterLeaves) {
    const std::string name = UniquePipe("reads");
    ReceiverDevice& real = Win32ReceiverDevice();
    EXPECT_EQ(real.Open(name), nullptr);  // no server yet

    HANDLE server = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    ReceiverHandle* h = real.Open(name);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PIPE_CONNECTED));

    uint8_t b[8] = {};
    EXPECT_EQ(real.Read(h, b, 1).status, ReadStatus::NoData);
    const uint8_t bytes[] = {0x33, 0x6F, 0x50};
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server, bytes, sizeof bytes, &written, nullptr));
    ReadResult r = real.Read(h, b, 1);
    EXPECT_EQ(r.status, ReadStatus::Data);
    EXPECT_EQ(r.bytes, 1u);
    EXPECT_EQ(b[0], 0x33);
    r = real.Read(h, b, sizeof b);
    EXPECT_EQ(r.bytes, 2u);
    EXPECT_EQ(real.Read(h, b, 1).status, ReadStatus::NoData);

    CloseHandle(server);
    EXPECT_EQ(real.Read(h, b, 1).status, ReadStatus::Failed);
    real.Close(h);
}

TEST_F(WineReceiverTest, TheEnvironmentNamesOnlyPipes) {
    SetEnvironmentVariableA(kVirtualReceiverVariable, "C:\\not-a-pipe");
    DeviceInterfaceList files;
    EXPECT_EQ(EnumerateInterfaces(files), 0);
    const std::string name = UniquePipe("listed");
    SetEnvironmentVariableA(kVirtualReceiverVariable, name.c_str());
    DeviceInterfaceList pipes;
    ASSERT_EQ(EnumerateInterfaces(pipes), 1);
    EXPECT_EQ(pipes.entries[0].devicePath, name);
}

TEST_F(WineReceiverTest, ButtonSentThroughThePipeArrivesAndClosingItRestartsTheWait) {
    const std::string orbsend = FindOrbsend();
    ASSERT_FALSE(orbsend.empty()) << "orbsend.exe not found next to the tests (build it first)";
    const std::string name = UniquePipe("send");
    SetEnvironmentVariableA(kVirtualReceiverVariable, name.c_str());
    StartReceiver(1, 0);

    std::string command = "\"" + orbsend + "\" --pipe " + name + " --linger 200 Play:variant=2";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    const DWORD waited = WaitForSingleObject(pi.hProcess, 20000);
    DWORD exitCode = 1;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(exitCode, 0u);

    // The reader took the frame, then lost the writer and handed back to the wait.
    ASSERT_TRUE(WaitFor([&] { return TrayWasAvailable() && TheTrayIcon().State() == TrayNotAvailable; }));
    ASSERT_TRUE(WaitFor([] { return TheReceiver().readerStopped.load() == 1; }));
    EXPECT_EQ(TheButtonTiming().lastButton, Play);
    EXPECT_EQ(TheButtonTiming().lastVariant, 2);
    EXPECT_EQ(TheReceiver().handle.load(), nullptr);
    const int32_t polled = device.enumerations.load();
    EXPECT_TRUE(WaitFor([&] { return device.enumerations.load() >= polled + 2; }));
    EXPECT_EQ(TheReceiver().waitFinished.load(), 0);
}

// The release program keeps the virtual receiver, so a pipe of that name served by a
// program of another user, or of a lower integrity level, must give no presses: it is
// given up once, said once in the trace, and the real receiver is waited for.
TEST_F(WineReceiverTest, AServerThatFailsTheCheckGivesNoPresses) {
    const std::string orbsend = FindOrbsend();
    ASSERT_FALSE(orbsend.empty()) << "orbsend.exe not found next to the tests (build it first)";
    const struct {
        PipeServerIdentityFn seen;
        const char* note;
    } cases[] = {{&SeenAsAnotherUser, "served by a program of another user"},
                 {&SeenBelowThisProgram, "served by a program with fewer rights"}};
    for (const auto& c : cases) {
        std::unique_ptr<ReceiverDevice> checked = MakeWin32ReceiverDevice(c.seen);
        CountingDevice counted{*checked};
        Platform mine = platform;
        mine.receiver = &counted;
        ScopedPlatform scope(mine);
        NoteViewers viewers;
        StartTrace(false, &viewers);
        TraceViewerCountChanged(1);
        TheButtonTiming() = ButtonTiming{};
        const std::string name = UniquePipe("refused");
        SetEnvironmentVariableA(kVirtualReceiverVariable, name.c_str());

        std::string command = "\"" + orbsend + "\" --pipe " + name + " --linger 200 Play:variant=2";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        StartReceiver(1, 0);
        EXPECT_TRUE(WaitFor([&] { return viewers.Count() > 0; })) << c.note;
        const int32_t opened = counted.opens.load();
        const int32_t polled = counted.enumerations.load();
        EXPECT_TRUE(WaitFor([&] { return counted.enumerations.load() >= polled + 3; }));
        StopReceiverThreads();
        if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);

        EXPECT_EQ(TheButtonTiming().lastButton, -1) << c.note;
        EXPECT_EQ(input.batches.size(), 0u) << c.note;
        EXPECT_EQ(counted.opens.load(), opened) << "the pipe was tried again: " << c.note;
        ASSERT_EQ(viewers.lines.size(), 1u) << c.note;
        EXPECT_NE(viewers.lines[0].find(c.note), std::string::npos) << viewers.lines[0];
        StopTrace();
    }
}

}  // namespace
