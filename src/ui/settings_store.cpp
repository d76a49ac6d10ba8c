#include "ui/settings_store.h"

const char* const kSettingsKeyPath = "Software\\OrbiScope\\Orbiscope Remote\\Settings";
const char* const kMachineSettingsKeyPath = "Software\\Orbiscope\\Orbiscope Remote\\Settings";

int32_t ReadStartupValue(const char*) { return 0; }
void WriteStartupValue(const char*, int32_t) {}
