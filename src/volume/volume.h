// The output volume: the default render endpoint on Windows 6.x, the master and wave
// mixer lines elsewhere.
#pragma once

#include <cstdint>

bool IsWindowsVersion6();
void CreateEndpointVolume();
void ReleaseEndpointVolume();
void SetEndpointLevel(float level);
float GetEndpointLevel();
void SetEndpointMute(bool mute);

void RaiseVolume(float step);
void LowerVolume(float step);
void UnmuteOutput();
void MuteOutput();
bool OutputUnmuted();

// Button actions: always handled.
int OnVolumeUp(int32_t button);
int OnVolumeDown(int32_t button);
int OnMute(int32_t button);
