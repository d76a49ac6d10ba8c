#include "volume/volume.h"

bool IsWindowsVersion6() { return false; }
void CreateEndpointVolume() {}
void ReleaseEndpointVolume() {}
void SetEndpointLevel(float) {}
float GetEndpointLevel() { return 0.0f; }
void SetEndpointMute(bool) {}
void RaiseVolume(float) {}
void LowerVolume(float) {}
void UnmuteOutput() {}
void MuteOutput() {}
bool OutputUnmuted() { return true; }
int OnVolumeUp(int32_t) { return 1; }
int OnVolumeDown(int32_t) { return 1; }
int OnMute(int32_t) { return 1; }
