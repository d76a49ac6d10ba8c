// The power button and the screen-saver wake-up.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

int PowerAction(int32_t button);
void ScreenSaverWakeUp();
ProcessId ProcessIdByName(const std::string& part);
