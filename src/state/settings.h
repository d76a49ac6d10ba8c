// The settings record. Written on the main thread (the pages, loads), read live on
// the reader thread; every integer is one atomic 32-bit value and the favourite texts
// are replaced and copied under their own short lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

constexpr int32_t kMacroActionCount = 10;
constexpr int32_t MacroActionCount = kMacroActionCount;

// The defaults come from the settings schema (SettingsSchema below), which also drives
// the load and the save; a new record holds them, with the favourites that apply when
// no installation directory is known.
class RemoteSettings {
public:
    RemoteSettings();
    RemoteSettings(const RemoteSettings&) = delete;
    RemoteSettings& operator=(const RemoteSettings&) = delete;

    std::atomic<int32_t> Macro1{0};
    std::atomic<int32_t> Macro2{0};
    std::atomic<int32_t> Macro3{0};
    std::atomic<int32_t> Macro4{0};
    std::atomic<int32_t> VolumeSensitivity{0};
    std::atomic<int32_t> RepeatDelay{0};
    std::atomic<int32_t> RepeatRate{0};
    std::atomic<int32_t> PowerButtonEnabled{0};
    std::atomic<int32_t> PowerButtonMode{0};
    std::atomic<int32_t> ScreenSaverWakeupEnabled{0};
    std::atomic<int32_t> AutoSwitchEnabled{0};
    std::atomic<int32_t> MouseModeEnabled{0};
    std::atomic<int32_t> ShowUnsupportedDlg{0};
    std::atomic<int32_t> OnScreenDisplay{0};

    // The framework's "modified" flag: set by every setter, cleared by load and save.
    std::atomic<int32_t> modified{0};

    // Favourite n (1..4); "" for any other n.
    std::string GetFavorite(int n) const;
    std::string GetFavorite1() const { return GetFavorite(1); }
    std::string GetFavorite2() const { return GetFavorite(2); }
    std::string GetFavorite3() const { return GetFavorite(3); }
    std::string GetFavorite4() const { return GetFavorite(4); }
    // Stores the text of favourite n without touching the modified flag (loads).
    void StoreFavorite(int n, const std::string& text);

    // Macro value of slot n (1..4), 0 for any other n.
    int32_t GetMacro(int n) const;

    // Setters: store the value unchanged and mark the record modified.
    void SetMacro(int n, int32_t v);
    void SetMacro1(int32_t v) { SetMacro(1, v); }
    void SetMacro2(int32_t v) { SetMacro(2, v); }
    void SetMacro3(int32_t v) { SetMacro(3, v); }
    void SetMacro4(int32_t v) { SetMacro(4, v); }
    void SetFavorite(int n, const std::string& text);
    void SetFavorite1(const std::string& t) { SetFavorite(1, t); }
    void SetFavorite2(const std::string& t) { SetFavorite(2, t); }
    void SetFavorite3(const std::string& t) { SetFavorite(3, t); }
    void SetFavorite4(const std::string& t) { SetFavorite(4, t); }
    void SetVolumeSensitivity(int32_t v) { Set(VolumeSensitivity, v); }
    void SetRepeatDelay(int32_t v) { Set(RepeatDelay, v); }
    void SetRepeatRate(int32_t v) { Set(RepeatRate, v); }
    void SetPowerButtonEnabled(int32_t v) { Set(PowerButtonEnabled, v); }
    void SetPowerButtonMode(int32_t v) { Set(PowerButtonMode, v); }
    void SetScreenSaverWakeupEnabled(int32_t v) { Set(ScreenSaverWakeupEnabled, v); }
    void SetAutoSwitchEnabled(int32_t v) { Set(AutoSwitchEnabled, v); }
    void SetMouseModeEnabled(int32_t v) { Set(MouseModeEnabled, v); }
    void SetShowUnsupportedDlg(int32_t v) { Set(ShowUnsupportedDlg, v); }
    void SetOnScreenDisplay(int32_t v) { Set(OnScreenDisplay, v); }

    bool IsModified() const { return modified.load() != 0; }
    void SetModifiedFlag(bool m) { modified.store(m ? 1 : 0); }

private:
    void Set(std::atomic<int32_t>& field, int32_t v) {
        field.store(v);
        modified.store(1);
    }
    std::atomic<int32_t>* MacroField(int n);

    mutable std::mutex favoritesLock_;
    std::string favorites_[4];
};

// How a stored value is taken when it is loaded.
enum class SettingRule {
    MacroIndex,  // 0..MacroActionCount-1, anything else loads as 0
    Favorite,    // text; "DEFAULT" (exactly) stands for the default text
    Percent,     // clamped into 0..100 on load and on save
    AsStored,
};

// One value of the record and of the per-user settings key. Integers are DWORD values,
// favourites string values.
struct SettingEntry {
    const char* name;
    SettingRule rule;
    std::atomic<int32_t> RemoteSettings::*field;  // null for favourites
    int32_t defaultValue;                         // integers only
    int favorite;                                 // 1..4 for favourites, else 0
};

// In the record's order, which is also the order of the load and of the save.
const SettingEntry* SettingsSchemaBegin();
const SettingEntry* SettingsSchemaEnd();
struct SettingsSchemaRange {
    const SettingEntry* begin() const { return SettingsSchemaBegin(); }
    const SettingEntry* end() const { return SettingsSchemaEnd(); }
};
inline SettingsSchemaRange SettingsSchema() { return {}; }

// The maker's web site; the default favourites 1, 3 and 4 are pages there.
extern const char* const kFavoritesHost;
// Used for favourite 2 when the installation directory cannot be read.
extern const char* const kFallbackHelpPath;
// The help file below the installation directory: favourite 2, the Help command.
extern const char* const kHelpFileSuffix;

// The default text of favourite n (1..4); "" for any other n.
std::string DefaultFavorite(int n, const std::optional<std::string>& lastInstallDir);

// The settings of the one document, or null before the document exists.
RemoteSettings* CurrentSettings();
// Set by the document when it is created and cleared when it goes; tests set their own.
void SetCurrentSettings(RemoteSettings* settings);

// "QuickLaunch...", ... for 0..9; "Error: Undefined" for any other index.
const char* MacroActionName(int32_t index);
