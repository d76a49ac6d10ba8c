// Loads the settings from a registry built out of the input: any content at all must
// load to values within their rules, keep what the user stored in the right form, and
// survive a save and a reload unchanged. The document loads once; the reloads read the
// store as the document does, leaving out the button map, which no registry content
// changes and whose rebuild would cost more than everything else here.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_registry.h"
#include "state/settings.h"
#include "state/settings_store.h"
#include "ui/document.h"

namespace {

const char* const kNames[] = {
    "Macro1", "Macro2", "Macro3", "Macro4", "Favorite1", "Favorite2", "Favorite3", "Favorite4",
    "VolumeSensitivity", "RepeatDelay", "RepeatRate", "PowerButtonEnabled", "PowerButtonMode",
    "ScreenSaverWakeupEnabled", "AutoSwitchEnabled", "MouseModeEnabled", "ShowUnsupportedDlg",
    "LastInstallDir", "InstallJustRan", "macro1", "FAVORITE2",
};

struct Snapshot {
    std::vector<int32_t> numbers;
    std::string favorites[4];
    bool operator==(const Snapshot& o) const {
        if (numbers != o.numbers) return false;
        for (int i = 0; i < 4; ++i) {
            if (favorites[i] != o.favorites[i]) return false;
        }
        return true;
    }
};

Snapshot Take(const RemoteSettings& s) {
    Snapshot snap;
    for (const SettingEntry& entry : SettingsSchema()) {
        if (entry.field != nullptr) snap.numbers.push_back((s.*entry.field).load());
    }
    for (int i = 0; i < 4; ++i) snap.favorites[i] = s.GetFavorite(i + 1);
    return snap;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

// The values as the document's load reads them.
void LoadFromStore(RemoteSettings& s) {
    std::optional<std::string> installDir;
    if (const auto machineKey = OpenMachineSettingsKey()) installDir = ReadLastInstallDir(*machineKey);
    const std::string defaults[4] = {DefaultFavorite(1, installDir), DefaultFavorite(2, installDir),
                                     DefaultFavorite(3, installDir), DefaultFavorite(4, installDir)};
    LoadSettingsValues(s, OpenUserSettingsKey().get(), defaults);
}

std::vector<uint8_t> Data(FuzzedDataProvider& in, uint32_t type) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: {  // a well-formed value of its type
            if (type == kRegDword) {
                const uint32_t v = in.ConsumeIntegral<uint32_t>();
                return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
            }
            std::string text = in.ConsumeBool() ? "DEFAULT" : in.ConsumeRandomLengthString(1200);
            std::vector<uint8_t> d(text.begin(), text.end());
            d.push_back(0);
            if (type == kRegMultiSz) d.push_back(0);
            return d;
        }
        case 1: return in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 8));
        case 2: return in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(990, 1010));
        default: return in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 5000));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider in(bytes, size);
    FakeRegistry reg;
    if (in.ConsumeBool()) reg.Refuse(Hive::LocalMachine, kMachineSettingsKeyPath, kKeyWrite);
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0)
        reg.Refuse(Hive::CurrentUser, kSettingsKeyPath, kKeyRead | kKeyWrite);
    while (in.remaining_bytes() > 0) {
        const Hive hive = in.ConsumeBool() ? Hive::CurrentUser : Hive::LocalMachine;
        const std::string path =
            hive == Hive::CurrentUser ? kSettingsKeyPath : kMachineSettingsKeyPath;
        const size_t pick = in.ConsumeIntegralInRange<size_t>(0, std::size(kNames));
        const std::string name =
            pick < std::size(kNames) ? kNames[pick] : in.ConsumeRandomLengthString(40);
        const uint32_t types[] = {kRegNone, kRegSz, kRegExpandSz, kRegBinary, kRegDword,
                                  5, kRegMultiSz, 11};
        const uint32_t type = in.PickValueInArray(types);
        reg.SetRaw(hive, path, name, type, Data(in, type));
    }
    const std::map<std::string, FakeRegistry::Key> stored = reg.keys;
    auto storedValue = [&](const char* name) -> const FakeRegistry::Value* {
        auto k = stored.find(FakeRegistry::KeyName(Hive::CurrentUser, kSettingsKeyPath));
        if (k == stored.end()) return nullptr;
        auto v = k->second.find(FakeRegistry::Lower(name));
        return v == k->second.end() ? nullptr : &v->second;
    };

    Platform ports;
    ports.registry = &reg;
    ScopedPlatform scope(ports);

    CRemoteDoc first;
    first.OnOpenDocument(nullptr);
    const RemoteSettings& s = first.Settings();
    const Snapshot loaded = Take(s);

    // Within the rules.
    for (const SettingEntry& entry : SettingsSchema()) {
        if (entry.field == nullptr) {
            Check(s.GetFavorite(entry.favorite) != kDefaultFavoriteMarker);
            continue;
        }
        const int32_t v = (s.*entry.field).load();
        if (entry.rule == SettingRule::MacroIndex) Check(v >= 0 && v <= 9);
        if (entry.rule == SettingRule::Percent) Check(v >= 0 && v <= 100);
    }
    Check(!first.IsModified());

    // What the user stored in its proper form is what the record holds.
    const bool userKeyReadable = reg.refusedAccess.count(
                                     FakeRegistry::KeyName(Hive::CurrentUser, kSettingsKeyPath)) == 0;
    if (userKeyReadable) {
        for (const SettingEntry& entry : SettingsSchema()) {
            const FakeRegistry::Value* v = storedValue(entry.name);
            if (v == nullptr) continue;
            if (entry.field == nullptr) {
                if (v->type != kRegSz && v->type != kRegExpandSz) continue;
                std::string text(v->data.begin(), v->data.end());
                text = text.substr(0, text.find('\0'));
                if (text != kDefaultFavoriteMarker) Check(s.GetFavorite(entry.favorite) == text);
            } else if (entry.rule == SettingRule::AsStored && v->type == kRegDword &&
                       v->data.size() == 4) {
                const uint32_t raw = uint32_t(v->data[0]) | uint32_t(v->data[1]) << 8 |
                                     uint32_t(v->data[2]) << 16 | uint32_t(v->data[3]) << 24;
                Check((s.*entry.field).load() == static_cast<int32_t>(raw));
            }
        }
    }

    // A second load from what the first one left behind changes nothing and writes nothing.
    const size_t writesAfterFirst = reg.writeLog.size();
    {
        RemoteSettings second;
        LoadFromStore(second);
        Check(Take(second) == loaded);
        Check(reg.writeLog.size() == writesAfterFirst);
    }

    // Saved and loaded again, the record comes back as it was.
    first.SetModifiedFlag(true);
    first.SaveModified();
    Check(!first.IsModified());
    Check(Take(first.Settings()) == loaded);
    {
        RemoteSettings third;
        LoadFromStore(third);
        Check(Take(third) == loaded);
    }
    return 0;
}
