#include "receiver/receiver.h"

#include <chrono>
#include <iterator>
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
    rx.codesDelivered.fetch_add(1);
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

void SetQuietlyAvailable(bool available) {
    if (void (*tell)(bool) = TheReceiver().quietAvailability.load()) tell(available);
}

void Note(const std::string& text) {
    if (void (*note)(const std::string&) = TheReceiver().note.load()) note(text);
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

bool InterfaceListed() {
    DeviceInterfaceList list;
    list.classGuid = kReceiverInterfaceClass;
    return EnumerateInterfaces(list) > 0;
}

bool PowerEventPending(const IrReceiver& rx) {
    return rx.asleep.load() != 0 || rx.resumes.load() != rx.recovery.handledResumes;
}

enum class PowerStep { Read, Lost, Stop };

// Between two read cycles: sits out a suspend, and after a resume opens the receiver
// again on the schedule, or reopens one that stays silent. Lost hands over to the
// ordinary wait; Stop ends the reader.
PowerStep FollowPowerEvents(IrReceiver& rx) {
    IrReceiver::Recovery& r = rx.recovery;
    for (;;) {
        if (rx.readerRunning.load() == 0) return PowerStep::Stop;
        if (rx.asleep.load() != 0) {
            if (rx.handle.load() != nullptr) {
                CloseReceiverHandle();
                ForgetHalfCode(rx);
                SetQuietlyAvailable(false);
                Note("suspend: receiver closed, reading stopped until the resume");
            }
            r.reopening = r.watching = false;
            const uint32_t now = TickNow();
            if (!r.sittingOut) {
                r.sittingOut = true;
                r.awakeWhileAsleep = 0;
            } else if (now - r.lastAsleepTick < 10 * kReadPauseMs) {
                r.awakeWhileAsleep += now - r.lastAsleepTick;
            } else {
                r.awakeWhileAsleep = 0;  // the computer slept in between
            }
            r.lastAsleepTick = now;
            if (r.awakeWhileAsleep >= kMissedResumeMs) {
                Note("no resume notice " + SecondsText(r.awakeWhileAsleep) +
                     " after the suspend: reading again");
                ReceiverResumed();
                continue;
            }
            SleepMs(kReadPauseMs);
            continue;
        }
        r.sittingOut = false;
        const uint32_t resumes = rx.resumes.load();
        if (resumes != r.handledResumes) {
            r.handledResumes = resumes;
            r.resumeTick = rx.resumeTick.load();
            r.reopening = true;
            r.watching = false;
            r.attempts = 0;
            // A handle from before the sleep is not trusted, even one that still reads.
            CloseReceiverHandle();
            ForgetHalfCode(rx);
            SetQuietlyAvailable(false);
            Note("resume: reopening the receiver");
        }
        const uint32_t now = TickNow();
        const uint32_t sinceResume = now - r.resumeTick;
        if (r.watching && sinceResume >= kStaleWatchMs) r.watching = false;
        const bool due = r.attempts == 0 || now - r.lastAttempt >= ReopenDelayMs(r.attempts);
        if (r.reopening && rx.handle.load() != nullptr) {
            // The ordinary wait found it meanwhile.
        } else if ((r.reopening || r.watching) && due) {
            ++r.attempts;
            r.lastAttempt = now;
            if (!OpenReceiver()) {
                if (!InterfaceListed()) {
                    Note("receiver not found " + SecondsText(sinceResume) +
                         " after resume: waiting for it");
                    r.watching = false;
                    r.reopening = true;
                    return PowerStep::Lost;
                }
                Note("receiver did not open " + SecondsText(sinceResume) +
                     " after resume; next try in " + SecondsText(ReopenDelayMs(r.attempts)));
                r.reopening = true;
                r.watching = false;
                SleepMs(kReadPauseMs);
                continue;
            }
            if (!r.reopening) {
                Note("receiver silent " + SecondsText(sinceResume) + " after resume: reopened");
                return PowerStep::Read;
            }
        } else if (r.reopening) {
            SleepMs(kReadPauseMs);
            continue;
        } else {
            return PowerStep::Read;
        }
        // Opened after the resume: what it queued while the computer slept belongs to
        // nobody.
        DiscardPendingInput();
        r.reopening = false;
        r.watching = true;
        Note("receiver reopened " + SecondsText(sinceResume) + " after resume");
        return PowerStep::Read;
    }
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
        const PowerStep next = FollowPowerEvents(rx);
        if (next == PowerStep::Stop) {
            TheReceiver().readerStopped = 1;
            return 0;
        }
        if (next == PowerStep::Lost) break;
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
            rx.recovery.watching = false;
            if (UnpackByte(rx, b)) {
                CodeComplete();
                // What follows a suspend or resume noticed meanwhile is not read on.
                if (PowerEventPending(rx)) break;
            }
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

uint32_t ReopenDelayMs(uint32_t attempt) {
    constexpr uint32_t kSchedule[] = {500, 1000, 2000, 5000, 10000};
    constexpr uint32_t kThenEvery = 30000;
    if (attempt == 0) return 0;
    return attempt <= std::size(kSchedule) ? kSchedule[attempt - 1] : kThenEvery;
}

void ReceiverSuspending() {
    IrReceiver& rx = TheReceiver();
    std::lock_guard<std::mutex> hold(rx.sleepLock);
    if (rx.asleep.exchange(1) == 0) rx.sleeps.fetch_add(1);
}

void ReceiverResumed() {
    IrReceiver& rx = TheReceiver();
    std::lock_guard<std::mutex> hold(rx.sleepLock);
    const uint32_t now = TickNow();
    const bool wasAsleep = rx.asleep.load() != 0;
    if (!wasAsleep && rx.resumes.load() != 0 && now - rx.resumeTick.load() < kResumeMergeMs)
        return;
    // The tick before the count: the reader reads the count first.
    rx.resumeTick = now;
    rx.resumes.fetch_add(1);
    rx.sleeps.fetch_add(1);
    rx.asleep = 0;
}

void ReceiverDisplayState(bool on, bool sleepsWithDisplay) {
    IrReceiver& rx = TheReceiver();
    if (!sleepsWithDisplay) return;
    if (!on) {
        if (rx.displayOff.exchange(1) == 0) rx.codesAtDisplayOff = rx.codesDelivered.load();
        return;
    }
    if (rx.displayOff.exchange(0) == 0) return;
    if (rx.codesDelivered.load() == rx.codesAtDisplayOff.load()) ReceiverResumed();
}

bool WithinResumeGuard(uint32_t now, uint32_t& sinceMs) {
    const IrReceiver& rx = TheReceiver();
    if (rx.resumes.load() == 0) return false;
    sinceMs = now - rx.resumeTick.load();
    return sinceMs < kPowerGuardMs;
}

std::string SecondsText(uint32_t ms) {
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
}

void SetReceiverLinks(const ReceiverLinks& links) {
    {
        std::lock_guard<std::mutex> hold(TheReceiver().sinkLock);
        TheReceiver().codeSink = links.codeSink;
    }
    TheReceiver().availability = links.availability;
    TheReceiver().quietAvailability = links.quietAvailability;
    TheReceiver().note = links.note;
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
