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

// What the receiver hands to the layers above it, installed at start-up by the shell
// (ConnectShellLinks): each complete code to the sink (the press engine), whether the
// receiver is available (the tray icon), the start-up values it consults (InstallJustRan,
// CancelPlugInWindow) and the hardware-wait window. Whatever is not installed is left
// out: a code then goes nowhere, a start-up value reads 0.
struct ReceiverLinks {
    std::shared_ptr<CodeSink> codeSink;
    void (*availability)(bool available) = nullptr;
    int32_t (*startupValue)(const char* name) = nullptr;
    void (*showPluginWait)(WindowHandle mainWindow) = nullptr;
};
void SetReceiverLinks(const ReceiverLinks& links);
// Takes the sink out of the receiver if it is the one installed: no code is handed to it
// after this returns (a code being handed over now ends on the receiver's share).
void ForgetCodeSink(IrReceiver& rx, const CodeSink* sink);
