// What happens to one complete received code: recognition, the repeat filter, the
// screen-saver wake-up, the dispatcher and the default keystroke.
#pragma once

#include <cstdint>
#include <string>

#include "receiver/remote_button.h"
#include "state/trace.h"

class CRButton;

// A code needs at least this many values.
constexpr int32_t kShortestCode = 6;
// The same button and variant after a longer silence is a new press.
constexpr uint32_t kLostContactMs = 1200;

// The variant (0: none) of every button for a received code, all matched under the
// button map's lock, so that a settings load rebuilding the map is never half seen.
void MatchReceivedCode(const CRButton& received, int (&variants)[kButtonCount]);

// The repeat filter's state (the press engine holds it).
struct ButtonTiming {
    int32_t lastButton = -1;
    int32_t lastVariant = -1;
    uint32_t pressStart = 0;
    uint32_t lastAccepted = 0;
    uint32_t lastSeen = 0;
};

// The timing of the engine in use.
ButtonTiming& TheButtonTiming();

constexpr bool IsFastRepeatButton(int32_t id) {
    return id == VolumeUp || id == VolumeDown || id == Rewind || id == FastForward;
}

// True when the event is to be acted on, false for a repeat to swallow.
bool AcceptButtonTiming(int32_t id, int32_t variant);
// The same filter, saying which of its rules decided; without a timing, on the engine
// in use's.
RepeatDecision RepeatFilter(ButtonTiming& timing, int32_t id, int32_t variant);
RepeatDecision RepeatFilter(int32_t id, int32_t variant);

// The engine in use processes the code collected in the receiver it serves.
void OnCodeComplete();

// Sends the button's default keystroke; nothing for buttons without one.
bool HasDefaultKeystroke(int32_t id);
void SendDefaultKeystroke(int32_t id);
// The default keystroke by the names the trace uses ("Alt+F4", "Play/Pause"); "" for none.
std::string DefaultKeystrokeName(int32_t id);

// The two repeat intervals for stored settings values, in milliseconds.
uint32_t RepeatDelayMs(int32_t repeatDelay);
uint32_t RepeatRateMs(int32_t repeatRate);
