// What the volume buttons do: the sound of the machine, or the keys of the programs
// that take them themselves.
#pragma once

#include <cstdint>

// Button actions: always handled.
int OnVolumeUp(int32_t button);
int OnVolumeDown(int32_t button);
int OnMute(int32_t button);
