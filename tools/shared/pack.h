// The receiver's side of the byte stream, for the tools that play it: codes packed as
// the receiver sends them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The bytes the receiver sends for one code: the values as the unpacker reads them
// back, then the end mark. Empty when the code cannot be sent: no values, or a last
// value (a pulse) above 14, which only a nibble can carry before the end mark.
std::vector<uint8_t> PackCode(const uint8_t* values, size_t count);
std::vector<uint8_t> PackCode(const std::vector<uint8_t>& values);

// A button's stored sequence of variant 1 or 2, packed; empty for an unknown id or
// variant.
std::vector<uint8_t> PackButton(int32_t id, int32_t variant);
