// One press, from the complete code to the key, and everything a press changes: the
// repeat filter's timing, mouse mode's movement, the programs the elevation notice has
// named, the handlers' memory. The shell owns one engine and installs it as the
// receiver's code sink; a new engine is a process that has seen no press.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/elevation_notice.h"
#include "engine/events.h"
#include "engine/mouse_mode.h"
#include "profiles/handler_memory.h"
#include "receiver/learned_codes.h"
#include "receiver/receiver.h"

class PressEngine final : public CodeSink {
public:
    explicit PressEngine(IrReceiver& receiver)
        : receiver_(receiver), sleepsSeen_(receiver.sleeps.load()) {}
    PressEngine(const PressEngine&) = delete;
    PressEngine& operator=(const PressEngine&) = delete;

    // Processes the values collected in the receiver this engine serves, and empties them:
    // recognition, the repeat filter, the wake-up, the dispatcher, the default key.
    void OnCodeComplete() override;

    ButtonTiming timing;
    MouseModeState mouse;
    ElevationMemory elevation;
    HandlerMemory handlers;
    // The message the system registered for plug-in windows (the same number for every
    // program that asks by its name): registered on the main thread at start-up, read
    // by the reader thread.
    std::atomic<MessageId> buttonMessage{0};

    // Teaching a button: while a capture is on, each new press of a button is handed to
    // it (on the reader thread) and does nothing else: no file, row, global action,
    // wake-up or default key; its repeats are swallowed as well.
    using CaptureSink = std::function<void(int32_t button)>;
    void StartCapture(CaptureSink sink);
    void StopCapture();
    bool Capturing();

    // Learning another remote: while a raw capture is on, every complete code, matched
    // or not, is handed to it (on the reader thread) as its duration values with the
    // tick it came at, and does nothing else. It comes before a button capture, which
    // it leaves as it is.
    using RawCaptureSink = std::function<void(const std::vector<uint8_t>& values, uint32_t tick)>;
    void StartRawCapture(RawCaptureSink sink);
    void StopRawCapture();
    bool RawCapturing();

private:
    CaptureSink Capture();
    RawCaptureSink RawCapture();

    IrReceiver& receiver_;
    // The receiver's count of suspends and resumes when the last code came: a press in
    // progress when the computer went to sleep is over, whatever the tick count says.
    uint32_t sleepsSeen_;
    // Without a capture, a press pays one relaxed load, not a lock.
    std::atomic<bool> capturing_{false};
    std::mutex captureGuard_;
    CaptureSink capture_;
    std::atomic<bool> rawCapturing_{false};
    RawCaptureSink rawCapture_;  // guarded by captureGuard_
    // The learned button of the last code, whose repeat frames stand for it; when it came.
    HeldAlias heldAlias_;
    uint32_t heldAliasTick_ = 0;
};

// The engine the program's callbacks without a context of their own reach (the main
// window's timer, the catalogue's handlers, the functions below that name no engine).
// Null puts back an engine of its own for programs that install none (the tools).
void InstallPressEngine(PressEngine* engine);
PressEngine& PressEngineInUse();

// The program's engine from start-up to the end, installed while its owner lives. The
// receiver it is given to (the shell's links) holds a share while it hands a code over,
// so a press still running when the owner goes (a reader held in a message box by a
// stop that gave up) ends on a living engine. The owner takes the engine out of the
// receiver and out of use before its own share goes: no code reaches it after.
class PressEngineOwner {
public:
    explicit PressEngineOwner(IrReceiver& receiver);
    ~PressEngineOwner();
    PressEngineOwner(const PressEngineOwner&) = delete;
    PressEngineOwner& operator=(const PressEngineOwner&) = delete;

    PressEngine& engine() const { return *engine_; }
    const std::shared_ptr<PressEngine>& shared() const { return engine_; }

private:
    IrReceiver& receiver_;
    std::shared_ptr<PressEngine> engine_;
};
