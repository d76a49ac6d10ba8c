#include <gtest/gtest.h>

#include <cstring>

#include "receiver/button_map.h"
#include "receiver/remote_button.h"

namespace {

CRButton Received(std::vector<uint8_t> values) {
    return CRButton(values.data(), static_cast<int32_t>(values.size()), nullptr, 0, 0);
}

class ButtonMapTest : public ::testing::Test {
protected:
    void SetUp() override { LoadDefaultButtons(map); }
    CButtonMap map;
};

TEST_F(ButtonMapTest, EveryStoredSequenceIsRecognisedAsItsOwnButtonAndVariant) {
    for (const ButtonCode& code : kButtonCodes) {
        for (int variant = 1; variant <= 2; ++variant) {
            const auto values = SequenceValues(variant == 1 ? code.variant1 : code.variant2);
            const CRButton rx = Received(values);
            for (int32_t id = 0; id < kButtonCount; ++id) {
                const int m = map.MatchButton(rx, id);
                if (id == code.id) {
                    EXPECT_EQ(m, variant) << code.name;
                } else {
                    EXPECT_EQ(m, 0) << code.name << " also matches " << RemoteButtonName(id);
                }
            }
        }
    }
}

TEST_F(ButtonMapTest, ToleranceIsPlusOrMinusTwo) {
    auto values = SequenceValues(kButtonCodes[Play].variant1);
    for (auto& v : values) v = static_cast<uint8_t>(v + 2);
    EXPECT_EQ(map.MatchButton(Received(values), Play), 1);
    for (auto& v : values) v = static_cast<uint8_t>(v - 4);
    EXPECT_EQ(map.MatchButton(Received(values), Play), 1);
    values[5] = static_cast<uint8_t>(values[5] - 1);  // one value now 3 below
    EXPECT_EQ(map.MatchButton(Received(values), Play), 0);
}

TEST_F(ButtonMapTest, LengthMustBeExact) {
    auto values = SequenceValues(kButtonCodes[Stop].variant1);
    values.push_back(3);
    EXPECT_EQ(map.MatchButton(Received(values), Stop), 0);
    values.pop_back();
    values.pop_back();
    EXPECT_EQ(map.MatchButton(Received(values), Stop), 0);
}

TEST(CodeMatch, VariantOneWinsWhenBothHold) {
    const uint8_t a[] = {3, 3, 3, 3, 3, 3};
    const uint8_t b[] = {4, 4, 4, 4, 4, 4};
    CRButton stored(a, 6, b, 6, 1);
    const uint8_t rx[] = {4, 4, 4, 4, 4, 4};
    EXPECT_EQ(stored.MatchCode(CRButton(rx, 6, nullptr, 0, 0)), 1);
    const uint8_t rx2[] = {6, 6, 6, 6, 6, 6};
    EXPECT_EQ(stored.MatchCode(CRButton(rx2, 6, nullptr, 0, 0)), 2);
    CRButton noAlt(a, 6, b, 6, 0);
    EXPECT_EQ(noAlt.MatchCode(CRButton(rx2, 6, nullptr, 0, 0)), 0);
}

TEST(CodeMatch, FoursAndFivesSitBetweenThreeAndSix) {
    const uint8_t three[] = {3, 3, 3, 3, 3, 3};
    const uint8_t six[] = {6, 6, 6, 6, 6, 6};
    const uint8_t seven[] = {7, 7, 7, 7, 7, 7};
    const uint8_t fours[] = {4, 5, 4, 5, 4, 5};
    const uint8_t fives[] = {5, 5, 5, 5, 5, 5};
    CRButton r4(fours, 6, nullptr, 0, 0), r5(fives, 6, nullptr, 0, 0);
    EXPECT_EQ(CRButton(three, 6, nullptr, 0, 0).MatchCode(r4), 1);
    EXPECT_EQ(CRButton(six, 6, nullptr, 0, 0).MatchCode(r4), 1);
    EXPECT_EQ(CRButton(seven, 6, nullptr, 0, 0).MatchCode(r5), 1);
    EXPECT_EQ(CRButton(three, 6, nullptr, 0, 0).MatchCode(r5), 1);
}

TEST(CodeMatch, ReceivedValuesAreCompared0To255) {
    const uint8_t low[] = {0, 0, 0, 0, 0, 1};
    const uint8_t high[] = {255, 254, 253, 255, 255, 255};
    CRButton stored(low, 6, nullptr, 0, 0);
    EXPECT_EQ(stored.MatchCode(CRButton(high, 6, nullptr, 0, 0)), 0);
    EXPECT_EQ(CRButton(high, 6, nullptr, 0, 0).MatchCode(CRButton(high, 6, nullptr, 0, 0)), 1);
}

TEST_F(ButtonMapTest, IdsOutsideTheTableMatchNothing) {
    const auto values = SequenceValues(kButtonCodes[0].variant1);
    EXPECT_EQ(map.MatchButton(Received(values), -1), 0);
    EXPECT_EQ(map.MatchButton(Received(values), 42), 0);
    EXPECT_EQ(map.MatchButton(Received(values), 1000000), 0);
}

TEST_F(ButtonMapTest, SecondLoadLeavesExactlyFortyTwoFreshRecords) {
    EXPECT_EQ(map.Count(), 42u);
    const CRButton* first = map.FindButton(Play);
    map.RemoveAllButtons();
    EXPECT_EQ(map.Count(), 0u);
    EXPECT_EQ(map.FindButton(Play), nullptr);
    LoadDefaultButtons(map);
    EXPECT_EQ(map.Count(), 42u);
    LoadDefaultButtons(map);  // even without emptying first, each id holds one record
    EXPECT_EQ(map.Count(), 42u);
    (void)first;
}

TEST_F(ButtonMapTest, RemoveButtonDropsOneId) {
    map.RemoveButton(Mute);
    map.RemoveButton(Mute);
    EXPECT_EQ(map.Count(), 41u);
    EXPECT_EQ(map.MatchButton(Received(SequenceValues(kButtonCodes[Mute].variant1)), Mute), 0);
}

TEST(CRButtonConstruction, CopiesAtMostAThousandBytes) {
    std::vector<uint8_t> big(5000, 3);
    CRButton b(big.data(), 5000, big.data(), 5000, 1);
    EXPECT_EQ(b.primaryLength, 1000);
    EXPECT_EQ(b.alternateLength, 1000);
    CRButton neg(big.data(), -5, nullptr, 0, 0);
    EXPECT_EQ(neg.primaryLength, 0);
    CRButton noAlt(big.data(), 10, big.data(), 10, 0);
    EXPECT_EQ(noAlt.alternateLength, 0);
    EXPECT_EQ(noAlt.alternateSequence[0], 0);
}

TEST_F(ButtonMapTest, ArchiveRoundTripsAndNamesItsClass) {
    EXPECT_STREQ(map.GetRuntimeClass()->className, "CButtonMap");
    CArchive out;
    map.Serialize(out);
    EXPECT_EQ(out.Bytes().size(), 4u + 42u * (4 + 1000 + 4 + 1000 + 4 + 4));
    // Layout: count, then id, primary bytes, primary length, alternate bytes, ...
    int32_t count;
    std::memcpy(&count, out.Bytes().data(), 4);
    EXPECT_EQ(count, 42);
    int32_t primaryLength;
    std::memcpy(&primaryLength, out.Bytes().data() + 4 + 4 + 1000, 4);
    EXPECT_EQ(primaryLength, 21);  // Power, variant 1

    CButtonMap copy;
    CArchive in(out.Bytes());
    copy.Serialize(in);
    ASSERT_EQ(copy.Count(), 42u);
    for (const ButtonCode& code : kButtonCodes) {
        EXPECT_EQ(copy.MatchButton(Received(SequenceValues(code.variant2)), code.id), 2);
    }
}

TEST_F(ButtonMapTest, CorruptArchivesLoadNothingPastTheDamage) {
    CArchive out;
    map.Serialize(out);
    const std::vector<uint8_t> good = out.Bytes();
    const size_t entry = 4 + 1000 + 4 + 1000 + 4 + 4;

    {  // truncated in the third entry: two entries survive
        std::vector<uint8_t> bytes(good.begin(), good.begin() + 4 + 2 * entry + 100);
        CButtonMap m;
        CArchive in(bytes);
        m.Serialize(in);
        EXPECT_EQ(m.Count(), 2u);
    }
    {  // a length outside 0..1000 in the second entry
        std::vector<uint8_t> bytes = good;
        const int32_t bad = 5000;
        std::memcpy(bytes.data() + 4 + entry + 4 + 1000, &bad, 4);
        CButtonMap m;
        CArchive in(bytes);
        m.Serialize(in);
        EXPECT_EQ(m.Count(), 1u);
        const int32_t negative = -1;
        std::memcpy(bytes.data() + 4 + entry + 4 + 1000, &negative, 4);
        CButtonMap m2;
        CArchive in2(bytes);
        m2.Serialize(in2);
        EXPECT_EQ(m2.Count(), 1u);
    }
    {  // a count far larger than the data
        std::vector<uint8_t> bytes = good;
        const int32_t huge = 0x7FFFFFFF;
        std::memcpy(bytes.data(), &huge, 4);
        CButtonMap m;
        CArchive in(bytes);
        m.Serialize(in);
        EXPECT_EQ(m.Count(), 42u);
    }
    {  // empty stream
        CButtonMap m;
        CArchive in(std::vector<uint8_t>{});
        m.Serialize(in);
        EXPECT_EQ(m.Count(), 0u);
    }
}

TEST(ButtonNames, FixedIdsAndNames) {
    EXPECT_STREQ(RemoteButtonName(0), "Power");
    EXPECT_STREQ(RemoteButtonName(30), "Digit0");
    EXPECT_STREQ(RemoteButtonName(41), "Extra41");
    EXPECT_STREQ(RemoteButtonName(42), "");
    EXPECT_EQ(RemoteButtonFromName("MacroButton4"), 34);
    EXPECT_EQ(RemoteButtonFromName("macrobutton4"), -1);
}

}  // namespace
