// The settings record. Written on the main thread (the pages, loads), read live on
// the reader thread; every integer is one atomic 32-bit value and the favourite texts
// are replaced and copied under their own short lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

constexpr int32_t kMacroActionCount = 10;

class RemoteSettings {
public:
    std::atomic<int32_t> Macro1{4};
    std::atomic<int32_t> Macro2{0};
    std::atomic<int32_t> Macro3{0};
    std::atomic<int32_t> Macro4{0};
    std::atomic<int32_t> VolumeSensitivity{50};
    std::atomic<int32_t> RepeatDelay{50};
    std::atomic<int32_t> RepeatRate{50};
    std::atomic<int32_t> PowerButtonEnabled{0};
    std::atomic<int32_t> PowerButtonMode{0};
    std::atomic<int32_t> ScreenSaverWakeupEnabled{1};
    std::atomic<int32_t> AutoSwitchEnabled{1};
    std::atomic<int32_t> MouseModeEnabled{0};
    std::atomic<int32_t> ShowUnsupportedDlg{1};

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

// The settings of the one document, or null before the document exists.
RemoteSettings* CurrentSettings();
// Set by the document when it is created and cleared when it goes; tests set their own.
void SetCurrentSettings(RemoteSettings* settings);

// "QuickLaunch...", ... for 0..9; "Error: Undefined" for any other index.
const char* MacroActionName(int32_t index);
