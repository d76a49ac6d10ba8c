// The registry side of the settings: the per-user settings key (which also holds the
// start-up values), the machine-wide installation directory, and the typed reads and
// writes the load and the save are made of.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/ports.h"
#include "state/settings.h"

class RemoteSettings;

// HKEY_CURRENT_USER, created at the first access.
extern const char* const kSettingsKeyPath;  // Software\OrbiScope\Orbiscope Remote\Settings
extern const char* const
    kMachineSettingsKeyPath;  // HKLM Software\Orbiscope\Orbiscope Remote\Settings

// The text every favourite read falls back to, replaced by the real default at once.
extern const char* const kDefaultFavoriteMarker;  // "DEFAULT"

// The per-user settings key, made with every missing key above it; null when the
// registry refuses it (or no registry port is installed).
std::unique_ptr<RegistryKey> OpenUserSettingsKey();
// The machine-wide settings key, opened for reading only (never created): a user
// without administrator rights may read it, and nothing here writes it.
std::unique_ptr<RegistryKey> OpenMachineSettingsKey();

// LastInstallDir read into a 1000-byte buffer: only a string type that fits with its
// terminator and ends with it (a multi-string with two) counts; the text is up to the
// first terminator.
constexpr size_t kInstallDirBufferBytes = 1000;
std::optional<std::string> ReadLastInstallDir(RegistryKey& machineKey);

// A DWORD value; the default when missing, unreadable, or of another type or size.
int32_t ReadDwordValue(RegistryKey* key, const char* name, int32_t defaultValue);
// A text value (REG_SZ or REG_EXPAND_SZ, taken verbatim up to the first terminator);
// the default when missing, unreadable or of another type.
std::string ReadStringValue(RegistryKey* key, const char* name, const std::string& defaultValue);
// False when the write failed (callers here ignore it, as the system does).
bool WriteDwordValue(RegistryKey* key, const char* name, int32_t value);
bool WriteStringValue(RegistryKey* key, const char* name, const std::string& text);

// The record's values from the key, in schema order, with the four default favourites
// already built: the macro and slider rules applied, favourites stored as "DEFAULT"
// (or missing) replaced by their default and written back at once.
void LoadSettingsValues(RemoteSettings& settings, RegistryKey* userKey,
                        const std::string defaults[4]);
// Every value to the key in schema order, sliders clamped in the record first; write
// failures are ignored.
void SaveSettingsValues(RemoteSettings& settings, RegistryKey* userKey);

// InstallJustRan, CancelSlideshow, CancelPlugInWindow: DWORD, default 0.
int32_t ReadStartupValue(const char* name);
// A DWORD of the settings key that the pages do not show (ReceiverNotifications).
int32_t ReadSettingsKeyValue(const char* name, int32_t defaultValue);
void WriteStartupValue(const char* name, int32_t value);

// Setup runs as an administrator, who may not be the user who runs the program, so it
// leaves its choices machine-wide, beside LastInstallDir: InstallStamp (a text unique
// to each installation), CancelSlideshow and CancelPlugInWindow. At the first start
// after an installation each user takes them into the own settings key, once per
// stamp: InstallJustRan 1, the two choices, and InstallStamp last, so that an
// interrupted copy is done again. True when they were taken.
bool AdoptSetupChoices();
