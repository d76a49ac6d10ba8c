// What the program makes of each received code, for the monitor: the values, the
// buttons they match and the repeat filter's decision, without acting on any of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ports.h"

struct MonitorMatch {
    int32_t id = 0;
    int32_t variant = 0;
    enum Kind { NewPress, AfterPause, Held } kind = NewPress;
    bool accepted = false;
    // A learned code of another remote: its name ("" for ours), and whether the code was
    // its repeat frame.
    std::string remote;
    bool repeatFrame = false;
};

struct MonitorReport {
    std::vector<uint8_t> values;
    bool tooShort = false;  // 5 values or fewer: dropped unmatched
    std::vector<MonitorMatch> matches;
};

// Takes the code collected in TheReceiver() (and empties it), matches it against the
// button map and runs the repeat filter on TheButtonTiming() at Os().clock's time, in
// the event processing's order: ids ascending, the scan ending at a swallowed repeat.
// A code none of ours matches is matched against the learned remotes in force, as the
// program does.
MonitorReport AnalyseCompletedCode();

// "23 values 3 3 ... -> Play variant 2, held: swallowed"
std::string FormatReport(const MonitorReport& report);

// Time as a stream without timestamps tells it: each completed code comes one frame
// period after the one before.
class FrameClock : public Clock {
public:
    explicit FrameClock(uint32_t periodMs) : period_(periodMs) {}
    uint32_t TickCount() override { return now_; }
    void Sleep(uint32_t ms) override { now_ += ms; }
    void NextCode() { now_ += period_; }

private:
    uint32_t period_;
    uint32_t now_ = 0;
};
