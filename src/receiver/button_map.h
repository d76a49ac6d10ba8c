// The reference codes of the remote's buttons and the comparison that recognises a
// received code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "receiver/archive.h"

constexpr int32_t kSequenceBytes = 1000;

// The reference code of one button (or, filled with the primary sequence only, a
// received code).
class CRButton {
public:
    uint8_t primarySequence[kSequenceBytes] = {};
    uint8_t alternateSequence[kSequenceBytes] = {};
    int32_t hasAlternate = 0;
    int32_t primaryLength = 0;
    int32_t alternateLength = 0;

    CRButton() = default;
    // Copies at most 1000 bytes of each sequence, whatever length is given; a negative
    // length copies nothing.
    CRButton(const uint8_t* sequence1, int32_t length1, const uint8_t* sequence2, int32_t length2,
             int32_t withAlternate);

    // 0 no match, 1 variant 1 matches (it wins when both do), 2 variant 2 matches.
    int MatchCode(const CRButton& received) const;
};

// The one button map of the process: button id to record. The map owns its records.
class CButtonMap : public CObject {
public:
    CButtonMap() = default;
    ~CButtonMap() override;
    CButtonMap(const CButtonMap&) = delete;
    CButtonMap& operator=(const CButtonMap&) = delete;

    const CRuntimeClass* GetRuntimeClass() const override;
    void Serialize(CArchive& ar) override;

    void AddButton(int32_t id, CRButton* record);
    CRButton* FindButton(int32_t id) const;
    void RemoveButton(int32_t id);
    void RemoveAllButtons();
    int MatchButton(const CRButton& received, int32_t id) const;
    size_t Count() const { return buttons_.size(); }

    // Held while the map is rebuilt and while a received code is matched, so that
    // a code meets either the whole old map or the whole new one.
    std::recursive_mutex& Lock() const { return lock_; }

    static const CRuntimeClass classCButtonMap;

private:
    std::map<int32_t, CRButton*> buttons_;
    mutable std::recursive_mutex lock_;
};

CButtonMap& TheButtonMap();

// One row of the built-in code table.
struct ButtonCode {
    int32_t id;
    const char* name;
    const char* variant1;  // one digit per duration value
    const char* variant2;
};
extern const ButtonCode kButtonCodes[42];

// A stored sequence as duration values (digits '3' -> 3).
std::vector<uint8_t> SequenceValues(const char* digits);

// Builds the 42 records from the built-in table into the map (after it was emptied).
void LoadDefaultButtons(CButtonMap& map);
void LoadDefaultButtons();
