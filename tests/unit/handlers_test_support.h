// Reading keystrokes back out of the injected input, for the handler tests.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ports.h"

// One keystroke as the user would describe it.
struct SeenStroke {
    uint16_t vk = 0;
    bool ctrl = false, alt = false, shift = false;
    uint16_t scan = 0;
    bool extended = false;
    bool operator==(const SeenStroke& o) const {
        return vk == o.vk && ctrl == o.ctrl && alt == o.alt && shift == o.shift &&
               scan == o.scan && extended == o.extended;
    }
};

inline std::string Describe(const SeenStroke& s) {
    std::ostringstream out;
    if (s.ctrl) out << "Ctrl+";
    if (s.alt) out << "Alt+";
    if (s.shift) out << "Shift+";
    out << "0x" << std::hex << s.vk;
    if (s.scan != 0 || s.extended) out << " (scan 0x" << s.scan << (s.extended ? ", ext)" : ")");
    return out.str();
}

inline std::string Describe(const std::vector<SeenStroke>& list) {
    std::string out;
    for (const auto& s : list) out += (out.empty() ? "" : " then ") + Describe(s);
    return out.empty() ? "(nothing)" : out;
}

// A batch holding one keystroke: modifier presses, the key's press and release with
// the same scan code and flags, the modifier releases in reverse order. Anything
// else is reported in `error`.
inline bool DecodeStroke(const std::vector<InputEvent>& batch, SeenStroke& out, std::string& error) {
    constexpr uint16_t kCtrl = 0x11, kAlt = 0x12, kShift = 0x10;
    constexpr uint32_t kUp = 0x2;
    out = SeenStroke{};
    if (batch.size() < 2 || batch.size() % 2 != 0) {
        error = "batch of " + std::to_string(batch.size()) + " events";
        return false;
    }
    for (const InputEvent& e : batch) {
        if (e.kind != InputEvent::Keyboard) {
            error = "mouse event in a keystroke";
            return false;
        }
    }
    const size_t mods = batch.size() / 2 - 1;
    for (size_t i = 0; i < mods; ++i) {
        const InputEvent& down = batch[i];
        const InputEvent& up = batch[batch.size() - 1 - i];
        if ((down.flags & kUp) != 0 || (up.flags & kUp) == 0 || up.virtualKey != down.virtualKey) {
            error = "modifiers not released in reverse order";
            return false;
        }
        if (down.virtualKey == kCtrl) out.ctrl = true;
        else if (down.virtualKey == kAlt) out.alt = true;
        else if (down.virtualKey == kShift) out.shift = true;
        else {
            error = "unknown modifier";
            return false;
        }
    }
    const InputEvent& down = batch[mods];
    const InputEvent& up = batch[mods + 1];
    if ((down.flags & kUp) != 0 || up.flags != (down.flags | kUp) ||
        up.virtualKey != down.virtualKey || up.scanCode != down.scanCode) {
        error = "key press and release differ";
        return false;
    }
    out.vk = down.virtualKey;
    out.scan = down.scanCode;
    out.extended = (down.flags & 0x1) != 0;
    return true;
}

// Every batch decoded; a batch that is not a keystroke fails the whole reading.
inline bool DecodeStrokes(const std::vector<std::vector<InputEvent>>& batches,
                          std::vector<SeenStroke>& out, std::string& error) {
    out.clear();
    for (const auto& batch : batches) {
        SeenStroke s;
        if (!DecodeStroke(batch, s, error)) return false;
        out.push_back(s);
    }
    return true;
}

inline SeenStroke Key(uint16_t vk, bool ctrl = false, bool alt = false, bool shift = false) {
    SeenStroke s;
    s.vk = vk;
    s.ctrl = ctrl;
    s.alt = alt;
    s.shift = shift;
    return s;
}
inline SeenStroke ExtKey(uint16_t vk, uint16_t scan, bool extended, bool ctrl = false,
                         bool alt = false, bool shift = false) {
    SeenStroke s = Key(vk, ctrl, alt, shift);
    s.scan = scan;
    s.extended = extended;
    return s;
}
