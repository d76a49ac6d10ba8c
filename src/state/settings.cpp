#include "state/settings.h"

#include <iterator>


const char* const kFavoritesHost = "www.orbiscope.com";
const char* const kFallbackHelpPath = "C:\\Program Files\\Orbiscope\\Remote\\Docs\\index.html";
const char* const kHelpFileSuffix = "\\Docs\\Kestrune.chm";

namespace {
// The document owns the record; every thread (the reader's presses, the windows) reads
// the one in force, and a load swaps it, so one pointer says which.
std::atomic<RemoteSettings*> g_current{nullptr};

std::string FavoritesPage(const char* colour) {
    return std::string("http://") + kFavoritesHost + "/favorites/" + colour + ".html";
}

const char* const kMacroActionNames[kMacroActionCount] = {
    "QuickLaunch...",
    "Toggle Mouse Mode On/Off",
    "Cycle Through Open Windows (\"Alt-Esc\")",
    "Switch Between Two Open Windows (\"Alt-Tab\")",
    "Toggle Full-Screen On/Off (\"Alt-Enter\")",
    "Show/Hide the Start Menu",
    "Browser Forward",
    "XP MCE: Back",
    "XP MCE: Start",
    "XP MCE: Details/More Info",
};
using S = RemoteSettings;
using R = SettingRule;
const SettingEntry kSchema[] = {
    {"Macro1", R::MacroIndex, &S::Macro1, 4, 0},
    {"Macro2", R::MacroIndex, &S::Macro2, 0, 0},
    {"Macro3", R::MacroIndex, &S::Macro3, 0, 0},
    {"Macro4", R::MacroIndex, &S::Macro4, 0, 0},
    {"Favorite1", R::Favorite, nullptr, 0, 1},
    {"Favorite2", R::Favorite, nullptr, 0, 2},
    {"Favorite3", R::Favorite, nullptr, 0, 3},
    {"Favorite4", R::Favorite, nullptr, 0, 4},
    {"VolumeSensitivity", R::Percent, &S::VolumeSensitivity, 50, 0},
    {"RepeatDelay", R::Percent, &S::RepeatDelay, 50, 0},
    {"RepeatRate", R::Percent, &S::RepeatRate, 50, 0},
    {"PowerButtonEnabled", R::AsStored, &S::PowerButtonEnabled, 0, 0},
    {"PowerButtonMode", R::AsStored, &S::PowerButtonMode, 0, 0},
    {"ScreenSaverWakeupEnabled", R::AsStored, &S::ScreenSaverWakeupEnabled, 1, 0},
    {"AutoSwitchEnabled", R::AsStored, &S::AutoSwitchEnabled, 1, 0},
    {"MouseModeEnabled", R::AsStored, &S::MouseModeEnabled, 0, 0},
    {"ShowUnsupportedDlg", R::AsStored, &S::ShowUnsupportedDlg, 1, 0},
    // Off when absent: a new window nobody asked for.
    {"OnScreenDisplay", R::AsStored, &S::OnScreenDisplay, 0, 0},
};

}  // namespace

const SettingEntry* SettingsSchemaBegin() { return std::begin(kSchema); }
const SettingEntry* SettingsSchemaEnd() { return std::end(kSchema); }

std::string DefaultFavorite(int n, const std::optional<std::string>& lastInstallDir) {
    switch (n) {
        case 1: return FavoritesPage("red");
        // The directory is taken as the installer wrote it: a trailing backslash gives
        // two in a row, which the system's path handling accepts.
        case 2: return lastInstallDir ? *lastInstallDir + kHelpFileSuffix : kFallbackHelpPath;
        case 3: return FavoritesPage("yellow");
        case 4: return FavoritesPage("blue");
        default: return std::string();
    }
}

RemoteSettings::RemoteSettings() {
    for (const SettingEntry& entry : SettingsSchema()) {
        if (entry.field != nullptr) (this->*entry.field).store(entry.defaultValue);
        else favorites_[entry.favorite - 1] = DefaultFavorite(entry.favorite, std::nullopt);
    }
}

RemoteSettings* CurrentSettings() { return g_current.load(); }
void SetCurrentSettings(RemoteSettings* settings) { g_current.store(settings); }

const char* MacroActionName(int32_t index) {
    if (index < 0 || index >= kMacroActionCount) return "Error: Undefined";
    return kMacroActionNames[index];
}

std::string RemoteSettings::GetFavorite(int n) const {
    if (n < 1 || n > 4) return std::string();
    std::lock_guard<std::mutex> hold(favoritesLock_);
    return favorites_[n - 1];
}

void RemoteSettings::StoreFavorite(int n, const std::string& text) {
    if (n < 1 || n > 4) return;
    std::lock_guard<std::mutex> hold(favoritesLock_);
    favorites_[n - 1] = text;
}

void RemoteSettings::SetFavorite(int n, const std::string& text) {
    if (n < 1 || n > 4) return;
    StoreFavorite(n, text);
    modified.store(1);
}

std::atomic<int32_t>* RemoteSettings::MacroField(int n) {
    switch (n) {
        case 1: return &Macro1;
        case 2: return &Macro2;
        case 3: return &Macro3;
        case 4: return &Macro4;
        default: return nullptr;
    }
}

int32_t RemoteSettings::GetMacro(int n) const {
    auto* field = const_cast<RemoteSettings*>(this)->MacroField(n);
    return field == nullptr ? 0 : field->load();
}

void RemoteSettings::SetMacro(int n, int32_t v) {
    if (auto* field = MacroField(n)) Set(*field, v);
}
