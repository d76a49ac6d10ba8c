#include "routing/power.h"

void ScreenSaverWakeUp() {}
int PowerAction(int32_t) { return 1; }
ProcessId ProcessIdByName(const std::string&) { return 0; }
