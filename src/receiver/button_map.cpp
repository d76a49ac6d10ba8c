#include "receiver/button_map.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "receiver/remote_button.h"

namespace {

int32_t ClampLength(int32_t n) { return std::clamp(n, 0, kSequenceBytes); }

bool SequenceMatches(const uint8_t* stored, int32_t storedLength, const CRButton& received) {
    const int32_t n = received.primaryLength;
    if (storedLength != n || n < 0 || n > kSequenceBytes) return false;
    for (int32_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(received.primarySequence[i]) - static_cast<int>(stored[i]);
        if (d > 2 || d < -2) return false;
    }
    return true;
}

}  // namespace

CRButton::CRButton(const uint8_t* sequence1, int32_t length1, const uint8_t* sequence2,
                   int32_t length2, int32_t withAlternate) {
    primaryLength = ClampLength(length1);
    if (sequence1 != nullptr && primaryLength > 0)
        std::memcpy(primarySequence, sequence1, static_cast<size_t>(primaryLength));
    hasAlternate = withAlternate;
    if (withAlternate != 0) {
        alternateLength = ClampLength(length2);
        if (sequence2 != nullptr && alternateLength > 0)
            std::memcpy(alternateSequence, sequence2, static_cast<size_t>(alternateLength));
    }
}

int CRButton::MatchCode(const CRButton& received) const {
    const bool first = SequenceMatches(primarySequence, primaryLength, received);
    if (hasAlternate == 0) return first ? 1 : 0;
    if (first) return 1;
    return SequenceMatches(alternateSequence, alternateLength, received) ? 2 : 0;
}

const CRuntimeClass CButtonMap::classCButtonMap = {"CButtonMap"};

const CRuntimeClass* CButtonMap::GetRuntimeClass() const { return &classCButtonMap; }

CButtonMap::~CButtonMap() { RemoveAllButtons(); }

void CButtonMap::AddButton(int32_t id, CRButton* record) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    CRButton*& slot = buttons_[id];
    // The map owns its records: a record replaced here would otherwise never be freed.
    if (slot != record) delete slot;
    slot = record;
}

CRButton* CButtonMap::FindButton(int32_t id) const {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

void CButtonMap::RemoveButton(int32_t id) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    auto it = buttons_.find(id);
    if (it == buttons_.end()) return;
    delete it->second;
    buttons_.erase(it);
}

void CButtonMap::RemoveAllButtons() {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    for (auto& entry : buttons_) delete entry.second;
    buttons_.clear();
}

int CButtonMap::MatchButton(const CRButton& received, int32_t id) const {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    const CRButton* record = FindButton(id);
    return record == nullptr ? 0 : record->MatchCode(received);
}

void CButtonMap::Serialize(CArchive& ar) {
    std::lock_guard<std::recursive_mutex> hold(lock_);
    if (ar.IsStoring()) {
        ar.WriteInt(static_cast<int32_t>(buttons_.size()));
        for (const auto& [id, record] : buttons_) {
            ar.WriteInt(id);
            ar.WriteBytes(record->primarySequence, kSequenceBytes);
            ar.WriteInt(record->primaryLength);
            ar.WriteBytes(record->alternateSequence, kSequenceBytes);
            ar.WriteInt(record->alternateLength);
            ar.WriteInt(record->hasAlternate);
        }
        return;
    }
    // Loading stops at the first damaged entry: a short stream, or a length that no
    // record can hold, keeps only the entries read whole before it.
    int32_t count = 0;
    if (!ar.ReadInt(count) || count < 0) return;
    for (int32_t i = 0; i < count; ++i) {
        auto* record = new (std::nothrow) CRButton();
        if (record == nullptr) return;
        int32_t id = 0;
        bool ok = ar.ReadInt(id) && ar.ReadBytes(record->primarySequence, kSequenceBytes) &&
                  ar.ReadInt(record->primaryLength) &&
                  ar.ReadBytes(record->alternateSequence, kSequenceBytes) &&
                  ar.ReadInt(record->alternateLength) && ar.ReadInt(record->hasAlternate);
        ok = ok && record->primaryLength >= 0 && record->primaryLength <= kSequenceBytes &&
             record->alternateLength >= 0 && record->alternateLength <= kSequenceBytes;
        if (!ok) {
            delete record;
            return;
        }
        AddButton(id, record);
    }
}

CButtonMap& TheButtonMap() {
    static CButtonMap map;
    return map;
}

const ButtonCode kButtonCodes[42] = {
    {0, "Power", "333333733336337336666", "3376633336336337666"},
    {1, "VolumeUp", "336673333633733633763", "33333363333633633633763"},
    {2, "VolumeDown", "3333337333363373363333333", "33766333363373363333333"},
    {3, "Mute", "33333373333633633666333", "336673333633633666333"},
    {4, "ChannelUp", "336673333633633633633", "33333373333633633633633"},
    {5, "ChannelDown", "33333363333633633633336", "336673333633633633336"},
    {6, "Play", "33333363333633766633333", "336673333633666633333"},
    {7, "Pause", "33333363333633663363333", "336663333633663373333"},
    {8, "Stop", "336673333633763373363", "33333363333633663373363"},
    {9, "Record", "33333363333633663333633", "336663333633663333633"},
    {10, "Previous", "333333633336337633667", "3366733336337633667"},
    {11, "Next", "33333363333633663376333", "336763333633663376333"},
    {12, "Rewind", "33333363333633763333663", "337663333633663333663"},
    {13, "FastForward", "33333373333633763333336", "336663333633663333336"},
    {14, "Up", "33333363333633666333333", "336673333633666333333"},
    {15, "Down", "333333733336337666633", "3376633336336676633"},
    {16, "Left", "33333373333633667333363", "336663333633676333363"},
    {17, "Right", "33333373333633766336333", "337663333633666336333"},
    {18, "Ok", "333333633336336663366", "3366733336337663376"},
    {19, "Menu", "333333733336336676663", "3367633336336676663"},
    {20, "Exit", "333333633337336676336", "3366733336337666337"},
    {21, "Digit1", "3333337333363373333333373", "33666333363363333333363"},
    {22, "Digit2", "33333373333633633333366", "336663333633633333367"},
    {23, "Digit3", "33666333363363333336333", "3333336333363363333336333"},
    {24, "Digit4", "336673333633733336733", "33333363333633733336633"},
    {25, "Digit5", "337663333633633336663", "33333363333633633336663"},
    {26, "Digit6", "336663333633633336336", "33333363333633633336336"},
    {27, "Digit7", "33667333363373333633333", "3333336333363363333633333"},
    {28, "Digit8", "337663333633633673333", "33333373333633733663333"},
    {29, "Digit9", "336673333633733663363", "33333363333633633673363"},
    {30, "Digit0", "33666333363363333333333", "3333336333363363333333333"},
    {31, "MacroButton1", "3333337333363333633333333", "33667333363333733333333"},
    {32, "MacroButton2", "3333336333363333633333363", "33766333363333733333363"},
    {33, "MacroButton3", "337663333633336333367", "33333363333633337333367"},
    {34, "MacroButton4", "3333336333363333733336333", "33666333363333733336333"},
    {35, "Extra35", "3333336333363366333333333", "33666333363366333333333"},
    {36, "Extra36", "33333363333633336336633", "336663333633336336633"},
    {37, "Extra37", "33333363333633336336663", "336663333633336336663"},
    {38, "Extra38", "33333363333633336336336", "336663333633336336336"},
    {39, "Extra39", "33666333363333633633333", "3333336333363333633633333"},
    {40, "Extra40", "336663333633336663333", "33333363333633336663333"},
    {41, "Extra41", "336663333633336663363", "33333363333633336663363"},
};

std::vector<uint8_t> SequenceValues(const char* digits) {
    std::vector<uint8_t> out;
    for (const char* p = digits; *p != '\0'; ++p) out.push_back(static_cast<uint8_t>(*p - '0'));
    return out;
}

void LoadDefaultButtons(CButtonMap& map) {
    std::lock_guard<std::recursive_mutex> hold(map.Lock());
    for (const ButtonCode& code : kButtonCodes) {
        const std::vector<uint8_t> v1 = SequenceValues(code.variant1);
        const std::vector<uint8_t> v2 = SequenceValues(code.variant2);
        auto* record = new (std::nothrow) CRButton(v1.data(), static_cast<int32_t>(v1.size()),
                                                   v2.data(), static_cast<int32_t>(v2.size()), 1);
        if (record != nullptr) map.AddButton(code.id, record);
    }
}

void LoadDefaultButtons() { LoadDefaultButtons(TheButtonMap()); }

const char* RemoteButtonName(int32_t id) {
    return id >= 0 && id < kButtonCount ? kButtonCodes[id].name : "";
}

int32_t RemoteButtonFromName(const char* name) {
    if (name == nullptr) return -1;
    for (const ButtonCode& code : kButtonCodes) {
        if (std::strcmp(code.name, name) == 0) return code.id;
    }
    return -1;
}
