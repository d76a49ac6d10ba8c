// What one accepted button event does.
#pragma once

#include <cstdint>

#include "platform/types.h"

// True when the button was handled; false lets the default keystroke follow.
bool ButtonDispatcher(int32_t button, int32_t variant);

// The message number registered for plug-in windows; 0 until registered.
MessageId ButtonMessage();
void RegisterButtonMessage();

constexpr MessageId kGirderMessage = 0x500;
