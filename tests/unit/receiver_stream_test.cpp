#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "receiver/stream.h"
#include "shared/pack.h"

namespace {

struct Unpacked {
    std::vector<std::vector<uint8_t>> codes;  // the values at each end of code
    std::vector<uint8_t> rest;                // collected after the last end
};

Unpacked Unpack(const std::vector<uint8_t>& bytes) {
    IrReceiver rx;
    Unpacked out;
    for (uint8_t b : bytes) {
        if (UnpackByte(rx, b)) {
            out.codes.emplace_back(rx.values, rx.values + rx.valueCount);
            rx.valueCount = 0;
        }
    }
    out.rest.assign(rx.values, rx.values + rx.valueCount);
    return out;
}

struct ByteCase {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<std::vector<uint8_t>> codes;
    std::vector<uint8_t> rest;
};

TEST(ReceiverStream, UnpacksTheReceiversByteForms) {
    const ByteCase cases[] = {
        {"two nibbles, then a low escape ending the code", {0x33, 0x6F, 0x50}, {{3, 3, 6}}, {}},
        {"low escape with a whole value up to 64", {0x3F, 0x40}, {}, {3, 64}},
        {"low escape with 65 ends the code", {0x3F, 0x41}, {{3}}, {}},
        {"high escape: whole value, next high nibble unused", {0xF2, 0x90, 0x35}, {}, {0x90, 5}},
        {"0xFF is a high escape", {0xFF, 0x07, 0x21}, {}, {7, 1}},
        {"a high escape's value is never an end mark", {0xFF, 0x50, 0x3F, 0x50}, {{80, 3}}, {}},
        {"a low escape clears the unused-nibble flag", {0xF0, 0x20, 0x4F, 0x10, 0x56}, {}, {32, 4, 16, 5, 6}},
        {"values after an end start a new code", {0x36, 0x3F, 0xFF, 0x63, 0x6F, 0x99}, {{3, 6, 3}, {6, 3, 6}}, {}},
        {"a zero byte is two zero values", {0x00}, {}, {0, 0}},
    };
    for (const ByteCase& c : cases) {
        const Unpacked u = Unpack(c.bytes);
        EXPECT_EQ(u.codes, c.codes) << c.what;
        EXPECT_EQ(u.rest, c.rest) << c.what;
    }
}

TEST(ReceiverStream, HoldsAtMost999ValuesAndDropsThemAllOnTheThousandth) {
    IrReceiver rx;
    for (int i = 0; i < 999; ++i) AppendValue(rx, static_cast<uint8_t>(i % 7));
    EXPECT_EQ(rx.valueCount, 999);
    EXPECT_EQ(rx.values[998], 998 % 7);
    AppendValue(rx, 9);
    EXPECT_EQ(rx.valueCount, 0);

    // Over the stream: a code without an end mark is dropped, the next one is whole.
    std::vector<uint8_t> bytes(500, 0x33);
    const std::vector<uint8_t> play = PackButton(6, 1);
    bytes.insert(bytes.end(), play.begin(), play.end());
    const Unpacked u = Unpack(bytes);
    ASSERT_EQ(u.codes.size(), 1u);
    EXPECT_EQ(u.codes[0], SequenceValues(kButtonCodes[6].variant1));
}

TEST(ReceiverStream, AnEscapeSplitAcrossReadsStillUnpacks) {
    IrReceiver rx;
    EXPECT_FALSE(UnpackByte(rx, 0x3F));
    // ... the reader pauses here, the end mark arrives in the next slice ...
    EXPECT_TRUE(UnpackByte(rx, 0x50));
    EXPECT_EQ(rx.valueCount, 1);

    rx.valueCount = 0;
    EXPECT_FALSE(UnpackByte(rx, 0xF0));
    ResetUnpacker(rx);  // the whole value was discarded with the queued input
    EXPECT_FALSE(UnpackByte(rx, 0x36));
    EXPECT_EQ(std::vector<uint8_t>(rx.values, rx.values + rx.valueCount),
              (std::vector<uint8_t>{3, 6}));
}

TEST(ReceiverStream, EveryButtonPacksAsTwoValuesAByteAndUnpacksToItsSequence) {
    for (const ButtonCode& code : kButtonCodes) {
        for (int variant = 1; variant <= 2; ++variant) {
            const std::vector<uint8_t> values =
                SequenceValues(variant == 1 ? code.variant1 : code.variant2);
            const std::vector<uint8_t> bytes = PackButton(code.id, variant);
            // Odd lengths: pairs, then the last pulse before the end mark.
            EXPECT_EQ(bytes.size(), (values.size() - 1) / 2 + 2) << code.name;
            const Unpacked u = Unpack(bytes);
            ASSERT_EQ(u.codes.size(), 1u) << code.name << " " << variant;
            EXPECT_EQ(u.codes[0], values) << code.name << " " << variant;
            EXPECT_TRUE(u.rest.empty());
        }
    }
    EXPECT_TRUE(PackButton(42, 1).empty());
    EXPECT_TRUE(PackButton(-1, 1).empty());
    EXPECT_TRUE(PackButton(6, 3).empty());
}

TEST(ReceiverStream, AnySendableCodeRoundTrips) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> length(1, 60);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> small(0, 14);
    std::uniform_int_distribution<int> kind(0, 3);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> values(static_cast<size_t>(length(rng)));
        for (uint8_t& v : values) {
            // Mix nibble values, whole values up to 64 and above.
            v = static_cast<uint8_t>(kind(rng) == 0 ? any(rng) : small(rng));
        }
        values.back() = static_cast<uint8_t>(small(rng));
        const Unpacked u = Unpack(PackCode(values));
        ASSERT_EQ(u.codes.size(), 1u) << round;
        ASSERT_EQ(u.codes[0], values) << round;
        ASSERT_TRUE(u.rest.empty()) << round;
    }
}

TEST(ReceiverStream, CodesThatCannotEndAreNotPacked) {
    EXPECT_TRUE(PackCode(std::vector<uint8_t>{}).empty());
    EXPECT_TRUE(PackCode(std::vector<uint8_t>{3, 6, 15}).empty());
    EXPECT_FALSE(PackCode(std::vector<uint8_t>{200, 14}).empty());
}

}  // namespace
