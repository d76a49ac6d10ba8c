#include "receiver/receiver.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/ports.h"
#include "platform/receiver_device.h"
#include "receiver/stream.h"

const char* const kReceiverInterfaceClass = "{5c3e9a71-2b84-4d0f-a6c2-71e0d94b3f28}";

namespace {

constexpr size_t kDescriptionChars = 255;
constexpr size_t kDiscardChunk = 1000;

void CodeComplete() {
    IrReceiver& rx = TheReceiver();
    std::shared_ptr<CodeSink> sink;
    {
        std::lock_guard<std::mutex> hold(rx.sinkLock);
        sink = rx.codeSink;
    }
    if (sink) {
        sink->OnCodeComplete();
    } else {
        rx.valueCount = 0;
    }
}

void SetAvailable(bool available) {
    if (void (*tell)(bool) = TheReceiver().availability.load()) tell(available);
}

int32_t StartupValue(const char* name) {
    int32_t (*read)(const char*) = TheReceiver().startupValue.load();
    return read != nullptr ? read(name) : 0;
}

// A thread is only started while no stop is under way, and its "ended" flag is
// cleared before it starts: a stop that finds both flags set finds no thread running
// and none about to start.


void SleepMs(uint32_t ms) {
    if (Clock* clock = Os().clock) {
        clock->Sleep(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

// The stop's wait on the main thread answers what other threads send its windows
// meanwhile: the first-run steps may be showing a message box owned by the main window,
// and a box that cannot reach its owner never comes up, so the wait thread would never end.
void WaitForThreadToEnd() {
    if (UserInterface* ui = Os().ui) {
        ui->WaitServingSentMessages(kStopPollMs);
    } else {
        SleepMs(kStopPollMs);
    }
}

ReceiverDevice* Device() { return Os().receiver; }

ReadResult ReadInto(uint8_t* buffer, size_t size) {
    ReceiverDevice* device = Device();
    ReceiverHandle* h = TheReceiver().handle.load();
    if (device == nullptr || h == nullptr) return ReadResult{};
    return device->Read(h, buffer, size);
}

// A code cut off by an unplugged receiver never completes: its values and a pending
// escape would otherwise run into the first code of the next receiver, losing that
// press or delivering the half one.
void ForgetHalfCode(IrReceiver& rx) {
    rx.valueCount = 0;
    ResetUnpacker(rx);
}

void CloseReceiverHandle() {
    ReceiverHandle* h = TheReceiver().handle.exchange(nullptr);
    if (h == nullptr) return;
    if (ReceiverDevice* device = Device()) device->Close(h);
}

// Both with the receiver's startLock held.
bool StartReaderThreadLocked(WindowHandle mainWindow) {
    if (TheReceiver().stopping) return false;
    TheReceiver().readerStopped = 0;
    TheReceiver().readerRunning = 1;
    try {
        std::thread(ReaderThread, mainWindow).detach();
    } catch (const std::system_error&) {
        TheReceiver().readerRunning = 0;
        TheReceiver().readerStopped = 1;
        return false;
    }
    return true;
}

bool StartWaitThreadLocked(WindowHandle mainWindow) {
    if (TheReceiver().stopping) return false;
    TheReceiver().waitFinished = 0;
    TheReceiver().waitKeepRunning = 1;
    try {
        std::thread(ReceiverWaitThread, mainWindow).detach();
    } catch (const std::system_error&) {
        TheReceiver().waitKeepRunning = 0;
        TheReceiver().waitFinished = 1;
        return false;
    }
    return true;
}

bool StartWaitThread(WindowHandle mainWindow) {
    std::lock_guard<std::mutex> hold(TheReceiver().startLock);
    return StartWaitThreadLocked(mainWindow);
}

// The reader's last step. The wait thread it starts may reopen the receiver and start
// the next reader at once; that reader's flags are set under the same lock, so this
// reader's "ended" flags are in place before them and never overwrite them.
void ReaderEnds(WindowHandle mainWindow) {
    CloseReceiverHandle();
    ForgetHalfCode(TheReceiver());
    SetAvailable(false);
    std::lock_guard<std::mutex> hold(TheReceiver().startLock);
    TheReceiver().readerRunning = 0;
    if (TheReceiver().reconnect.load() != 0) StartWaitThreadLocked(mainWindow);
    TheReceiver().readerStopped = 1;
}

}  // namespace

IrReceiver& TheReceiver() {
    static IrReceiver receiver;
    return receiver;
}

IrReceiver::~IrReceiver() {
    if (this == &TheReceiver() &&
        (handle.load() != nullptr || readerStopped.load() == 0 || waitFinished.load() == 0))
        CloseReceiver();
}

void AppendValue(IrReceiver& rx, uint8_t v) {
    if (rx.valueCount + 1 >= kMaxValues) {
        rx.valueCount = 0;
        return;
    }
    rx.values[rx.valueCount++] = v;
}

void AppendValue(uint8_t v) { AppendValue(TheReceiver(), v); }

int EnumerateInterfaces(DeviceInterfaceList& list) {
    ReceiverDevice* device = Device();
    if (device == nullptr) return 0;
    const std::optional<std::vector<DeviceInterfaceInfo>> found =
        device->PresentInterfaces(list.classGuid);
    if (!found) return 0;
    for (const DeviceInterfaceInfo& info : *found) {
        CDeviceListEntry entry;
        entry.devicePath = info.devicePath;
        if (info.friendlyName) {
            entry.description = *info.friendlyName;
        } else if (info.deviceDescription) {
            entry.description = *info.deviceDescription;
        } else {
            entry.description = info.devicePath.substr(0, kDescriptionChars);
        }
        list.entries.push_back(std::move(entry));
    }
    return static_cast<int>(list.entries.size());
}

bool OpenReceiver() {
    CloseReceiverHandle();
    DeviceInterfaceList list;
    list.classGuid = kReceiverInterfaceClass;
    ReceiverDevice* device = Device();
    if (EnumerateInterfaces(list) == 0 || device == nullptr) return false;
    ReceiverHandle* h = device->Open(list.entries.front().devicePath);
    if (h != nullptr) ForgetHalfCode(TheReceiver());
    TheReceiver().handle = h;
    return h != nullptr;
}

void StartReceiver(int32_t reconnect, WindowHandle mainWindow) {
    TheReceiver().reconnect = reconnect;
    const int32_t installJustRan = StartupValue("InstallJustRan");
    const int32_t cancelPlugInWindow = StartupValue("CancelPlugInWindow");
    if (installJustRan != 0 && cancelPlugInWindow == 0) {
        if (void (*show)(WindowHandle) = TheReceiver().showPluginWait.load()) show(mainWindow);
    }
    SetAvailable(false);
    StartWaitThread(mainWindow);
}

int ReceiverWaitThread(WindowHandle mainWindow) {
    while (TheReceiver().waitKeepRunning.load() != 0) {
        TheReceiver().waitFinished = 0;
        if (OpenReceiver()) {
            if (StartupValue("InstallJustRan") != 0) {
                if (FirstRunHook hook = TheReceiver().firstRunHook.load()) hook(mainWindow);
            }
            // Likewise: the reader may lose the receiver and start the next wait thread
            // at once, whose flags must not be overwritten by this one's end.
            std::lock_guard<std::mutex> hold(TheReceiver().startLock);
            StartReaderThreadLocked(mainWindow);
            TheReceiver().waitFinished = 1;
            return 0;
        }
        SleepMs(kWaitPollMs);
    }
    TheReceiver().waitFinished = 1;
    return 0;
}

int ReaderThread(WindowHandle mainWindow) {
    if (TheReceiver().readerRunning.load() == 0) {
        TheReceiver().readerStopped = 1;
        return 0;
    }
    IrReceiver& rx = TheReceiver();
    for (;;) {
        TheReceiver().readerStopped = 0;
        SetAvailable(true);
        const uint32_t t0 = TickNow();
        bool lost = false;
        // A failed read right after an escape byte is given one more read within the
        // slice before the receiver counts as lost.
        bool failureForgiven = false;
        uint8_t b = 0;
        ReadResult r = ReadInto(&b, 1);
        for (;;) {
            if (r.status == ReadStatus::Failed) {
                if (rx.escapeState != IrReceiver::kNoEscape && !failureForgiven &&
                    TickNow() - t0 < kReadSliceMs) {
                    failureForgiven = true;
                    r = ReadInto(&b, 1);
                    continue;
                }
                lost = true;
                break;
            }
            if (r.status == ReadStatus::NoData) break;
            failureForgiven = false;
            if (UnpackByte(rx, b)) CodeComplete();
            if (TickNow() - t0 >= kReadSliceMs) break;
            r = ReadInto(&b, 1);
        }
        if (lost) break;
        SleepMs(kReadPauseMs);
        if (TheReceiver().readerRunning.load() == 0) {
            TheReceiver().readerStopped = 1;
            return 0;
        }
    }
    ReaderEnds(mainWindow);
    return 0;
}

bool StopReceiverThreads() {
    {
        std::lock_guard<std::mutex> hold(TheReceiver().startLock);
        if (TheReceiver().stopping) return false;  // an earlier stop gave up on a thread: no new wait
        TheReceiver().stopping = true;
    }
    uint32_t polls = 0;
    constexpr uint32_t kMaxPolls = kStopLimitMs / kStopPollMs;
    if (TheReceiver().readerStopped.load() == 0) {
        TheReceiver().readerRunning = 0;
        while (TheReceiver().readerStopped.load() == 0 && polls++ < kMaxPolls) {
            // The reader may be showing the warning, which nobody may answer now; one it
            // is about to show is closed at the next poll.
            if (UserInterface* ui = Os().ui) ui->CloseUnsupportedDialog();
            WaitForThreadToEnd();
        }
    }
    if (TheReceiver().waitFinished.load() == 0) {
        TheReceiver().waitKeepRunning = 0;
        while (TheReceiver().waitFinished.load() == 0 && polls++ < kMaxPolls) WaitForThreadToEnd();
    }
    if (TheReceiver().readerStopped.load() == 0 || TheReceiver().waitFinished.load() == 0) return false;
    std::lock_guard<std::mutex> hold(TheReceiver().startLock);
    TheReceiver().stopping = false;
    return true;
}

void CloseReceiver() {
    if (StopReceiverThreads()) CloseReceiverHandle();
}

void DiscardPendingInput() {
    IrReceiver& rx = TheReceiver();
    if (rx.handle.load() != nullptr) {
        uint8_t scratch[kDiscardChunk];
        for (;;) {
            const ReadResult r = ReadInto(scratch, sizeof scratch);
            if (r.status != ReadStatus::Data || r.bytes == 0) break;
        }
    }
    rx.valueCount = 0;
    ResetUnpacker(rx);
}

void SetFirstRunHook(FirstRunHook hook) { TheReceiver().firstRunHook = hook; }

void SetReceiverLinks(const ReceiverLinks& links) {
    {
        std::lock_guard<std::mutex> hold(TheReceiver().sinkLock);
        TheReceiver().codeSink = links.codeSink;
    }
    TheReceiver().availability = links.availability;
    TheReceiver().startupValue = links.startupValue;
    TheReceiver().showPluginWait = links.showPluginWait;
}

void ForgetCodeSink(IrReceiver& rx, const CodeSink* sink) {
    std::shared_ptr<CodeSink> gone;
    {
        std::lock_guard<std::mutex> hold(rx.sinkLock);
        if (rx.codeSink.get() != sink) return;
        gone = std::move(rx.codeSink);
    }
    // The last share may end the sink here, outside the lock.
}
