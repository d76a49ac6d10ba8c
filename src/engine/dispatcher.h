// What one accepted button event does.
#pragma once

#include <cstdint>

#include "platform/types.h"

class PressEngine;

// True when the button was handled; false lets the default keystroke follow. The
// press changes the engine's state; without one, the engine in use's.
// Runs on the reader thread only; not re-entrant.
bool ButtonDispatcher(PressEngine& engine, int32_t button, int32_t variant);
bool ButtonDispatcher(int32_t button, int32_t variant);

// The message number registered for plug-in windows; 0 until registered.
MessageId ButtonMessage();
// Registers kButtonMessageName with the system for the engine in use (start-up, after
// the engine is installed).
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
