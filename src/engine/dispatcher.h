// What one accepted button event does.
#pragma once

#include <cstdint>

#include "platform/types.h"

// True when the button was handled; false lets the default keystroke follow.
// Runs on the reader thread only; not re-entrant.
bool ButtonDispatcher(int32_t button, int32_t variant);

// The message number registered for plug-in windows; 0 until registered.
MessageId ButtonMessage();
// Registers kButtonMessageName with the system (start-up).
void RegisterButtonMessage();

constexpr const char* kButtonMessageName = "6B1D07E2-95A3-4f1e-B8C4-2E7A5D90C613";
constexpr MessageId kGirderMessage = 0x500;

constexpr const char* kGirderClass = "Orbiscope.Girder";
constexpr const char* kWmxClass = "Orbiscope.WMX";
constexpr const char* kWmxaClass = "Orbiscope.WMXA";

// "%s" is the foreground program's file name.
constexpr const char* kUnsupportedMessageFormat =
    "The program window you are currenty trying to control (%s), is not supported by the "
    "Orbiscope drivers you have installed.";

// "%s" (both) is the program in front: its file name, or its title.
constexpr const char* kElevatedNoticeFormat =
    "Orbiscope Remote cannot control %s because it runs as administrator. Start %s normally, "
    "or start Orbiscope Remote as administrator too.";
// Forgets which programs the elevation notice has named (a new session; tests).
void ForgetElevatedPrograms();

// The cursor-movement memory of mouse mode, kept for the whole process.
struct MouseModeState {
    int32_t lastButton = 0;
    int32_t lastVariant = 0;
    uint32_t lastMoveTime = 0;
    float acceleration = 0.0f;
    uint32_t repressCount = 0;
    bool fastMode = false;
};
MouseModeState& TheMouseModeState();

// Mouse mode's share of the decision: true when it handled the button.
bool MouseModeAction(int32_t button, int32_t variant);

// Pixel steps of mouse mode.
constexpr int32_t kSlowStep = 2, kMediumStep = 15, kLargeStep = 25, kFastStep = 50;
