#include "state/settings_store.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "state/settings.h"

const char* const kSettingsKeyPath = "Software\\OrbiScope\\Orbiscope Remote\\Settings";
const char* const kMachineSettingsKeyPath = "Software\\Orbiscope\\Orbiscope Remote\\Settings";
const char* const kDefaultFavoriteMarker = "DEFAULT";

namespace {

std::string UpToTerminator(const std::vector<uint8_t>& data) {
    const auto end = std::find(data.begin(), data.end(), uint8_t{0});
    return std::string(data.begin(), end);
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

std::unique_ptr<RegistryKey> OpenUserSettingsKey() {
    Registry* registry = Os().registry;
    if (registry == nullptr) return nullptr;
    return registry->Open(Hive::CurrentUser, kSettingsKeyPath, kKeyRead | kKeyWrite, true);
}

std::unique_ptr<RegistryKey> OpenMachineSettingsKey() {
    Registry* registry = Os().registry;
    if (registry == nullptr) return nullptr;
    return registry->Open(Hive::LocalMachine, kMachineSettingsKeyPath, kKeyRead, false);
}

std::optional<std::string> ReadLastInstallDir(RegistryKey& machineKey) {
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    if (machineKey.Query("LastInstallDir", kInstallDirBufferBytes, type, data) != RegStatus::Ok)
        return std::nullopt;
    if (data.size() > kInstallDirBufferBytes) return std::nullopt;
    const size_t terminators = type == kRegMultiSz ? 2 : 1;
    if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) return std::nullopt;
    if (data.size() < terminators) return std::nullopt;
    for (size_t i = 0; i < terminators; ++i) {
        if (data[data.size() - 1 - i] != 0) return std::nullopt;
    }
    return UpToTerminator(data);
}

int32_t ReadDwordValue(RegistryKey* key, const char* name, int32_t defaultValue) {
    if (key == nullptr) return defaultValue;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    if (key->Query(name, 4, type, data) != RegStatus::Ok) return defaultValue;
    if (type != kRegDword || data.size() != 4) return defaultValue;
    uint32_t v = 0;
    std::memcpy(&v, data.data(), 4);
    return static_cast<int32_t>(v);
}

std::string ReadStringValue(RegistryKey* key, const char* name, const std::string& defaultValue) {
    if (key == nullptr) return defaultValue;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    if (key->QueryAll(name, type, data) != RegStatus::Ok) return defaultValue;
    if (type != kRegSz && type != kRegExpandSz) return defaultValue;
    return UpToTerminator(data);
}

bool WriteDwordValue(RegistryKey* key, const char* name, int32_t value) {
    if (key == nullptr) return false;
    std::vector<uint8_t> data(4);
    const uint32_t v = static_cast<uint32_t>(value);
    std::memcpy(data.data(), &v, 4);
    return key->Set(name, kRegDword, data);
}

bool WriteStringValue(RegistryKey* key, const char* name, const std::string& text) {
    if (key == nullptr) return false;
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return key->Set(name, kRegSz, data);
}

void LoadSettingsValues(RemoteSettings& settings, RegistryKey* userKey,
                        const std::string defaults[4]) {
    for (const SettingEntry& entry : SettingsSchema()) {
        if (entry.rule == SettingRule::Favorite) {
            std::string text = ReadStringValue(userKey, entry.name, kDefaultFavoriteMarker);
            if (text == kDefaultFavoriteMarker) {
                text = defaults[entry.favorite - 1];
                (void)WriteStringValue(userKey, entry.name, text);
            }
            settings.StoreFavorite(entry.favorite, text);
            continue;
        }
        int32_t v = ReadDwordValue(userKey, entry.name, entry.defaultValue);
        switch (entry.rule) {
            case SettingRule::MacroIndex:
                if (v < 0 || v > MacroActionCount - 1) v = 0;
                break;
            case SettingRule::Percent: v = Clamp(v, 0, 100); break;
            default: break;
        }
        (settings.*entry.field).store(v);
    }
}

void SaveSettingsValues(RemoteSettings& settings, RegistryKey* userKey) {
    for (const SettingEntry& entry : SettingsSchema()) {
        if (entry.rule == SettingRule::Favorite) {
            (void)WriteStringValue(userKey, entry.name, settings.GetFavorite(entry.favorite));
            continue;
        }
        std::atomic<int32_t>& field = settings.*entry.field;
        if (entry.rule == SettingRule::Percent) field.store(Clamp(field.load(), 0, 100));
        (void)WriteDwordValue(userKey, entry.name, field.load());
    }
}

int32_t ReadStartupValue(const char* name) { return ReadSettingsKeyValue(name, 0); }

int32_t ReadSettingsKeyValue(const char* name, int32_t defaultValue) {
    auto key = OpenUserSettingsKey();
    return ReadDwordValue(key.get(), name, defaultValue);
}

void WriteStartupValue(const char* name, int32_t value) {
    auto key = OpenUserSettingsKey();
    (void)WriteDwordValue(key.get(), name, value);
}

bool AdoptSetupChoices() {
    auto machineKey = OpenMachineSettingsKey();
    if (!machineKey) return false;
    const std::string stamp = ReadStringValue(machineKey.get(), "InstallStamp", "");
    if (stamp.empty()) return false;
    auto userKey = OpenUserSettingsKey();
    if (!userKey || ReadStringValue(userKey.get(), "InstallStamp", "") == stamp) return false;
    const int32_t cancelSlideshow = ReadDwordValue(machineKey.get(), "CancelSlideshow", 0);
    const int32_t cancelPlugInWindow = ReadDwordValue(machineKey.get(), "CancelPlugInWindow", 0);
    // The display's choice is there only when the setup's page was shown.
    const int32_t display = ReadDwordValue(machineKey.get(), "OnScreenDisplay", -1);
    if (!WriteDwordValue(userKey.get(), "InstallJustRan", 1) ||
        !WriteDwordValue(userKey.get(), "CancelSlideshow", cancelSlideshow) ||
        !WriteDwordValue(userKey.get(), "CancelPlugInWindow", cancelPlugInWindow) ||
        (display >= 0 && !WriteDwordValue(userKey.get(), "OnScreenDisplay", display != 0 ? 1 : 0)))
        return false;
    return WriteStringValue(userKey.get(), "InstallStamp", stamp);
}
