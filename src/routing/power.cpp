#include "routing/power.h"

void ScreenSaverWakeUp() {}
