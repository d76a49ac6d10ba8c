// Keystroke tables: for each remote button an ordered list of keystrokes that a
// program binds to the function. A button absent from a table is unmapped (the
// handler answers 0 and the default key follows); a button present with an empty
// list is swallowed (answers 1, sends nothing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "platform/vk.h"
#include "receiver/remote_button.h"

namespace keys {

enum Modifier : uint8_t { kNone = 0, kCtrl = 1, kAlt = 2, kShift = 4 };

// One SendKeystroke, or a SendKeystrokeEx when scan or extended is given.
struct Stroke {
    uint8_t vk = 0;
    uint8_t mods = 0;
    uint8_t scan = 0;
    bool extended = false;

    constexpr bool UsesScan() const { return scan != 0 || extended; }
    constexpr bool operator==(const Stroke& o) const {
        return vk == o.vk && mods == o.mods && scan == o.scan && extended == o.extended;
    }
};

constexpr Stroke K(uint8_t key, uint8_t mods = kNone) { return Stroke{key, mods, 0, false}; }
constexpr Stroke Ctrl(uint8_t key) { return K(key, kCtrl); }
constexpr Stroke Alt(uint8_t key) { return K(key, kAlt); }
constexpr Stroke Shift(uint8_t key) { return K(key, kShift); }
constexpr Stroke CtrlShift(uint8_t key) { return K(key, kCtrl | kShift); }
constexpr Stroke CtrlAlt(uint8_t key) { return K(key, kCtrl | kAlt); }
constexpr Stroke AltShift(uint8_t key) { return K(key, kAlt | kShift); }
// A keystroke with a hardware scan code, optionally marked extended.
constexpr Stroke Scan(uint8_t key, uint8_t scan, bool extended = false, uint8_t mods = kNone) {
    return Stroke{key, mods, scan, extended};
}

constexpr size_t kMaxStrokes = 8;

// Never defined: reaching it while building a constant table stops the compilation,
// so a sequence longer than kMaxStrokes is never cut short without notice.
void KeySequenceIsTooLong();

// A fixed-capacity sequence of keystrokes, sent one after another.
struct Strokes {
    Stroke items[kMaxStrokes] = {};
    uint8_t count = 0;

    constexpr Strokes() = default;
    constexpr Strokes(std::initializer_list<Stroke> list) {
        for (const Stroke& s : list) {
            if (count == kMaxStrokes) KeySequenceIsTooLong();
            items[count++] = s;
        }
    }
    constexpr const Stroke* begin() const { return items; }
    constexpr const Stroke* end() const { return items + count; }
};

// A stroke repeated n times (row tables such as "Alt+Left six times").
constexpr Strokes Repeat(Stroke s, int n) {
    Strokes out;
    for (int i = 0; i < n; ++i) {
        if (out.count == kMaxStrokes) KeySequenceIsTooLong();
        out.items[out.count++] = s;
    }
    return out;
}

struct ButtonKeys {
    RemoteButton button;
    Strokes strokes;
};

// A whole table, as referenced from the catalogue.
struct KeyMap {
    const ButtonKeys* entries = nullptr;
    size_t count = 0;

    template <size_t N>
    constexpr KeyMap(const ButtonKeys (&table)[N]) : entries(table), count(N) {}
    constexpr KeyMap() = default;

    // The entry of a button, or null when the table does not map it.
    constexpr const ButtonKeys* Find(int32_t button) const {
        for (size_t i = 0; i < count; ++i) {
            if (entries[i].button == button) return &entries[i];
        }
        return nullptr;
    }
};

}  // namespace keys
