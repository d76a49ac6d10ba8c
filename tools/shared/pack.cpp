#include "shared/pack.h"

#include "receiver/button_map.h"
#include "receiver/remote_button.h"
#include "receiver/stream.h"

std::vector<uint8_t> PackCode(const uint8_t* values, size_t count) {
    std::vector<uint8_t> out;
    if (count == 0 || values[count - 1] > kMaxNibbleValue) return out;
    const size_t last = count - 1;
    // Mirrors the unpacker: after a high-nibble escape the next byte's high nibble is
    // not read, so only one value fits in it.
    bool highNibbleUnused = false;
    size_t i = 0;
    while (i < last) {
        const uint8_t a = values[i];
        const bool hasNext = i + 1 < last;
        const uint8_t next = hasNext ? values[i + 1] : 0;
        if (a > kMaxNibbleValue) {
            out.push_back(0xF0);
            out.push_back(a);
            highNibbleUnused = true;
            i += 1;
        } else if (!highNibbleUnused && hasNext && next <= kMaxNibbleValue) {
            out.push_back(static_cast<uint8_t>(a << 4 | next));
            i += 2;
        } else if (hasNext && next > kMaxNibbleValue && next < kFirstEndMark) {
            out.push_back(static_cast<uint8_t>(a << 4 | kEscape));
            out.push_back(next);
            highNibbleUnused = false;
            i += 2;
        } else if (highNibbleUnused) {
            out.push_back(a);
            highNibbleUnused = false;
            i += 1;
        } else {
            // A lone small value: before the last one, or before a value that only a
            // high-nibble escape can carry.
            out.push_back(0xF0);
            out.push_back(a);
            highNibbleUnused = true;
            i += 1;
        }
    }
    out.push_back(static_cast<uint8_t>(values[last] << 4 | kEscape));
    out.push_back(kEndOfCodeMark);
    return out;
}

std::vector<uint8_t> PackCode(const std::vector<uint8_t>& values) {
    return PackCode(values.data(), values.size());
}

std::vector<uint8_t> PackButton(int32_t id, int32_t variant) {
    if (id < 0 || id >= kButtonCount || (variant != 1 && variant != 2)) return {};
    const ButtonCode& code = kButtonCodes[id];
    return PackCode(SequenceValues(variant == 1 ? code.variant1 : code.variant2));
}
