// The per-user settings key and the start-up values kept there beside the settings.
#pragma once

#include <cstdint>
#include <string>

// HKEY_CURRENT_USER, created at the first access.
extern const char* const kSettingsKeyPath;       // Software\OrbiScope\Orbiscope Remote\Settings
extern const char* const kMachineSettingsKeyPath;  // HKLM Software\Orbiscope\Orbiscope Remote\Settings

// InstallJustRan, CancelSlideshow, CancelPlugInWindow: DWORD, default 0.
int32_t ReadStartupValue(const char* name);
void WriteStartupValue(const char* name, int32_t value);
