#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

#include "registry_keys.h"
#include "wine_support.h"

namespace {

const char* const kTestRoot = "Software\\OrbiScope Adapter Test";
const char* const kTestKey = "Software\\OrbiScope Adapter Test\\Deeper\\Settings";

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class RegistryAdapter : public ::testing::Test {
protected:
    RegistryKeyGuard user{HKEY_CURRENT_USER, kTestRoot};
    RegistryKeyGuard machine{MachineSoftware32(), kTestRoot + strlen("Software\\")};
    Registry& registry = Win32Registry();
};

TEST_F(RegistryAdapter, CreateMakesEveryMissingKeyAndOpenDoesNot) {
    ASSERT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kTestRoot));
    EXPECT_EQ(registry.Open(Hive::CurrentUser, kTestKey, kKeyRead | kKeyWrite, false), nullptr);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kTestRoot));

    auto key = registry.Open(Hive::CurrentUser, kTestKey, kKeyRead | kKeyWrite, true);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\OrbiScope Adapter Test\\Deeper"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kTestKey));
    // Key names ignore case.
    EXPECT_NE(registry.Open(Hive::CurrentUser, "SOFTWARE\\orbiscope adapter test\\deeper\\settings",
                            kKeyRead, false),
              nullptr);

    auto machineKey = registry.Open(Hive::LocalMachine, kTestKey, kKeyRead | kKeyWrite, true);
    ASSERT_NE(machineKey, nullptr);
    // Machine-wide keys live in the 32-bit view, where the 32-bit installer writes.
    EXPECT_TRUE(RegistryKeyExists(MachineSoftware32(), kTestKey + strlen("Software\\")));
}

TEST_F(RegistryAdapter, EveryValueTypeRoundTrips) {
    struct Case {
        const char* name;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    std::vector<uint8_t> big(100000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    const Case cases[] = {
        {"Text", kRegSz, Bytes(std::string("D:\\Apps\\R\0", 10))},
        {"Expandable", kRegExpandSz, Bytes(std::string("%TEMP%\\x\0", 9))},
        {"Multi", kRegMultiSz, Bytes(std::string("one\0two\0\0", 9))},
        {"Binary", kRegBinary, {0, 1, 2, 0xFF}},
        {"Number", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"EmptyText", kRegSz, Bytes(std::string("\0", 1))},
        {"Nothing", kRegNone, {}},
        {"Big", kRegBinary, big},
    };
    auto key = registry.Open(Hive::CurrentUser, kTestKey, kKeyRead | kKeyWrite, true);
    ASSERT_NE(key, nullptr);
    for (const Case& c : cases) ASSERT_TRUE(key->Set(c.name, c.type, c.data)) << c.name;

    for (const Case& c : cases) {
        uint32_t type = 0;
        std::vector<uint8_t> data{9, 9};
        ASSERT_EQ(key->QueryAll(c.name, type, data), RegStatus::Ok) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(data, c.data) << c.name;

        data = {9, 9};
        ASSERT_EQ(key->Query(c.name, c.data.size() + 10, type, data), RegStatus::Ok) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(data, c.data) << c.name;

        // The system holds exactly what was written.
        DWORD rawType = 0;
        std::vector<BYTE> raw;
        ASSERT_TRUE(RawValue(HKEY_CURRENT_USER, kTestKey, c.name, rawType, raw)) << c.name;
        EXPECT_EQ(rawType, c.type) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(raw.begin(), raw.end()), c.data) << c.name;
    }
}

TEST_F(RegistryAdapter, SmallBuffersAndMissingValues) {
    auto key = registry.Open(Hive::CurrentUser, kTestKey, kKeyRead | kKeyWrite, true);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->Set("Text", kRegSz, Bytes(std::string("0123456789\0", 11))));
    ASSERT_TRUE(key->Set("Empty", kRegBinary, {}));

    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(key->Query("Text", 10, type, data), RegStatus::MoreData);
    EXPECT_EQ(type, kRegSz);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(key->Query("Text", 11, type, data), RegStatus::Ok);
    EXPECT_EQ(data.size(), 11u);
    EXPECT_EQ(key->Query("Text", 0, type, data), RegStatus::MoreData);
    EXPECT_EQ(key->Query("Empty", 0, type, data), RegStatus::Ok);
    EXPECT_TRUE(data.empty());

    EXPECT_EQ(key->Query("Absent", 100, type, data), RegStatus::Missing);
    EXPECT_EQ(key->QueryAll("Absent", type, data), RegStatus::Missing);
    EXPECT_TRUE(data.empty());
}

TEST_F(RegistryAdapter, ReadOnlyKeyRefusesWrites) {
    ASSERT_NE(registry.Open(Hive::CurrentUser, kTestKey, kKeyRead | kKeyWrite, true), nullptr);
    auto key = registry.Open(Hive::CurrentUser, kTestKey, kKeyRead, false);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->Set("Text", kRegSz, Bytes(std::string("x\0", 2))));
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(key->QueryAll("Text", type, data), RegStatus::Missing);
}

}  // namespace
