// The receiver's byte stream: two 4-bit duration values a byte, high nibble first; a
// nibble of 0xF is an escape. In the low nibble the next byte is a whole value, or,
// from 65 up, the end of the code; in the high nibble the next byte is a whole value
// and the high nibble of the byte after it is not used.
#pragma once

#include <cstdint>

struct IrReceiver;

// The whole value that ends a code: the gap after the last pulse, longer than the
// receiver counts.
constexpr uint8_t kEndOfCodeMark = 0xFF;
constexpr uint8_t kFirstEndMark = 65;
// A nibble of this value escapes; nibbles up to kMaxNibbleValue are durations.
constexpr uint8_t kEscape = 0xF;
constexpr uint8_t kMaxNibbleValue = 14;

// Feeds one byte into the receiver's collected values (TheReceiver() by default).
// Returns true when the byte ended a code: the values then hold that code and the
// caller processes and empties them. An escape whose second byte has not arrived yet
// is remembered, so a code split across reads unpacks as if read in one go.
bool UnpackByte(IrReceiver& rx, uint8_t b);
bool UnpackByte(uint8_t b);

// Forgets a half-read escape and the unused-nibble flag (the bytes they belong to
// were thrown away).
void ResetUnpacker(IrReceiver& rx);
