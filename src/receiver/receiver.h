// The receiver: discovery by device-interface class, the wait and reader threads,
// the unpacking of the byte stream into duration values.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/types.h"

constexpr int32_t kMaxValues = 1000;

class ReceiverHandle;

// Takes each complete code from the receiver it serves: the values are in that
// receiver's object, and the sink empties them. The receiver holds a share of the sink
// while it calls it, so whoever installed it may go at any time.
class CodeSink {
public:
    virtual void OnCodeComplete() = 0;

protected:
    ~CodeSink() = default;
};

// The shell's first-run steps, run by the wait thread right after the receiver opened
// when InstallJustRan is set.
using FirstRunHook = void (*)(WindowHandle mainWindow);

// The one receiver object of the process: the values of the code being read, the
// threads' hand-over, and what the shell installed for it.
struct IrReceiver {
    std::atomic<int32_t> reconnect{0};
    std::atomic<ReceiverHandle*> handle{nullptr};
    uint8_t values[kMaxValues] = {};
    int32_t valueCount = 0;
    int32_t fullValuePending = 0;

    // Which byte the unpacker waits for after an escape (see stream.h).
    enum EscapeState : int32_t { kNoEscape = 0, kAwaitingWholeValue = 1, kAwaitingWholeOrEnd = 2 };
    int32_t escapeState = kNoEscape;

    // Installed by SetReceiverLinks and SetFirstRunHook. The reader takes its own share
    // of the sink under the lock, and calls it outside.
    std::mutex sinkLock;
    std::shared_ptr<CodeSink> codeSink;  // guarded by sinkLock
    std::atomic<void (*)(bool)> availability{nullptr};
    std::atomic<void (*)(bool)> quietAvailability{nullptr};
    std::atomic<void (*)(const std::string&)> note{nullptr};
    std::atomic<int32_t (*)(const char*)> startupValue{nullptr};
    std::atomic<void (*)(WindowHandle)> showPluginWait{nullptr};
    std::atomic<FirstRunHook> firstRunHook{nullptr};

    // The threads' flags (initially: not running, and none runs).
    std::atomic<int32_t> readerRunning{0};
    std::atomic<int32_t> readerStopped{1};
    std::atomic<int32_t> waitKeepRunning{0};
    std::atomic<int32_t> waitFinished{1};

    // Starting and stopping the threads: once stopping, nothing starts them again.
    std::mutex startLock;
    bool stopping = false;  // guarded by startLock

    // Suspend and resume as the main window hears of them; the reader acts on them at
    // its next step, so the window procedure never waits for the device.
    std::atomic<int32_t> asleep{0};
    std::atomic<uint32_t> resumes{0};     // resumes acted on so far
    std::atomic<uint32_t> resumeTick{0};  // when the latest was noticed
    // Bumped by every suspend and resume: a press in progress across one is forgotten.
    std::atomic<uint32_t> sleeps{0};
    std::atomic<uint32_t> codesDelivered{0};
    std::atomic<int32_t> displayOff{0};
    std::atomic<uint32_t> codesAtDisplayOff{0};
    std::mutex sleepLock;  // orders the notices of the main thread and the Power button

    // The reader's own progress through a resume (the reader thread only; it outlives a
    // reader that lost the receiver, so the next one carries on).
    struct Recovery {
        uint32_t handledResumes = 0;
        uint32_t resumeTick = 0;
        bool reopening = false;  // since the resume, until the receiver opens
        bool watching = false;   // opened after a resume, and silent since
        uint32_t attempts = 0;
        uint32_t lastAttempt = 0;
        // Time the reader has seen pass awake since the suspend notice.
        bool sittingOut = false;
        uint32_t lastAsleepTick = 0;
        uint32_t awakeWhileAsleep = 0;
    } recovery;

    ~IrReceiver();
};

IrReceiver& TheReceiver();

// Appends one duration value; past 999 values everything collected is dropped.
void AppendValue(IrReceiver& rx, uint8_t v);
void AppendValue(uint8_t v);

// One present device interface of the receiver class.
struct CDeviceListEntry {
    std::string devicePath;
    std::string description;
};

// The interface class looked for, and the interfaces found.
struct DeviceInterfaceList {
    std::string classGuid;
    std::vector<CDeviceListEntry> entries;
};

// {5c3e9a71-2b84-4d0f-a6c2-71e0d94b3f28}
extern const char* const kReceiverInterfaceClass;

constexpr uint32_t kWaitPollMs = 150;
constexpr uint32_t kReadSliceMs = 100;
constexpr uint32_t kReadPauseMs = 100;
constexpr uint32_t kStopPollMs = 100;
// How long a stop waits for the threads at most; one that has not ended by then is left
// to the end of the process.
constexpr uint32_t kStopLimitMs = 10000;

int EnumerateInterfaces(DeviceInterfaceList& list);
bool OpenReceiver();
// Called once by the shell with reconnect = 1 and the main window.
void StartReceiver(int32_t reconnect, WindowHandle mainWindow);
// Thread procedures; each hands over to the other as its last step.
int ReceiverWaitThread(WindowHandle mainWindow);
int ReaderThread(WindowHandle mainWindow);
// Never from the reader or the wait thread itself. An unsupported-program warning the
// reader shows is closed. False when a thread did not end within kStopLimitMs: no thread
// starts after it, and the receiver stays open under it.
bool StopReceiverThreads();
void CloseReceiver();
void DiscardPendingInput();

void SetFirstRunHook(FirstRunHook hook);

// Sleep and resume. A handle kept across a sleep may fail, or worse, go on reading
// without error and deliver nothing, and the receiver may have queued the presses made
// meanwhile (the one that woke the computer among them). So on suspend the reader closes
// the receiver and reads nothing; on resume it opens it again, throws away whatever was
// queued, and tries again on a widening schedule (ReopenDelayMs) while the open fails.
// A receiver interface that is no longer listed is left to the ordinary wait.
//
// A receiver that opens after a resume but stays silent is reopened on the same schedule,
// until it delivers its first byte or kStaleWatchMs have passed since the resume: a
// silent receiver cannot be told from an idle one, so reopening is confined to the time
// right after a resume, when a stale handle is likely and a reopen costs nothing.
constexpr uint32_t kStaleWatchMs = 10 * 60 * 1000;
// A resume notice this soon after the last one, with no suspend between, is the same
// wake: the system sends both "resumed automatically" and "resumed by the user", and
// the Power button's own standby reports its return too.
constexpr uint32_t kResumeMergeMs = 10000;
// The Power button does nothing this long after a resume: the press that woke the
// computer must not send it back to sleep.
constexpr uint32_t kPowerGuardMs = 3000;
// A suspend notice whose resume never comes would leave the remote dead: once the reader
// has seen this much time pass awake (its pauses ending on time, which they do not across
// a sleep) since the notice, it reads again as after a resume.
constexpr uint32_t kMissedResumeMs = 30000;

// The wait after the n-th open attempt (n from 1) before the next: 0.5, 1, 2, 5, 10 s,
// then 30 s.
uint32_t ReopenDelayMs(uint32_t attempt);
// From the main window (and the Power button's standby, once it returns).
void ReceiverSuspending();
void ReceiverResumed();
// The console display went off or on. Where the system sleeps with its display
// (modern standby, which sends no suspend notice), the display coming back on counts as
// a resume, unless the receiver delivered a code while it was off: that press is what
// lit it, so the receiver plainly works.
void ReceiverDisplayState(bool on, bool sleepsWithDisplay);
// True while the Power button is to be ignored; sinceMs is the time since the resume.
bool WithinResumeGuard(uint32_t now, uint32_t& sinceMs);
// "1.4 s".
std::string SecondsText(uint32_t ms);

// What the receiver hands to the layers above it, installed at start-up by the shell
// (ConnectShellLinks): each complete code to the sink (the press engine), whether the
// receiver is available (the tray icon), the start-up values it consults (InstallJustRan,
// CancelPlugInWindow) and the hardware-wait window. Whatever is not installed is left
// out: a code then goes nowhere, a start-up value reads 0.
struct ReceiverLinks {
    std::shared_ptr<CodeSink> codeSink;
    void (*availability)(bool available) = nullptr;
    // The same for what sleep does to the receiver: the icon follows, nobody is told.
    void (*quietAvailability)(bool available) = nullptr;
    // A line for the trace about the receiver itself (a resume, a reopen), from the
    // reader thread.
    void (*note)(const std::string& text) = nullptr;
    int32_t (*startupValue)(const char* name) = nullptr;
    void (*showPluginWait)(WindowHandle mainWindow) = nullptr;
};
void SetReceiverLinks(const ReceiverLinks& links);
// Takes the sink out of the receiver if it is the one installed: no code is handed to it
// after this returns (a code being handed over now ends on the receiver's share).
void ForgetCodeSink(IrReceiver& rx, const CodeSink* sink);
