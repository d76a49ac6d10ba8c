// An in-memory registry: keys by hive and path (case-insensitive, as the system's),
// typed values, and the refusals and wrong types that real registries hold.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"

class FakeRegistry : public Registry {
public:
    struct Value {
        uint32_t type = kRegNone;
        std::vector<uint8_t> data;
    };
    using Key = std::map<std::string, Value>;  // value names are case-insensitive too

    std::unique_ptr<RegistryKey> Open(Hive hive, const std::string& path, uint32_t access,
                                      bool create) override;

    // Direct access for tests.
    void SetDword(Hive hive, const std::string& path, const std::string& name, uint32_t v);
    void SetString(Hive hive, const std::string& path, const std::string& name,
                   const std::string& text, uint32_t type = kRegSz);
    void SetRaw(Hive hive, const std::string& path, const std::string& name, uint32_t type,
                std::vector<uint8_t> data);
    bool HasKey(Hive hive, const std::string& path) const;
    const Value* Find(Hive hive, const std::string& path, const std::string& name) const;
    // The DWORD or string stored there (tests); false when missing or of another type.
    bool GetDword(Hive hive, const std::string& path, const std::string& name, uint32_t& v) const;
    bool GetString(Hive hive, const std::string& path, const std::string& name, std::string& s) const;

    // Opening a key with any of these access bits fails for the keys listed (KeyName).
    std::map<std::string, uint32_t> refusedAccess;
    void Refuse(Hive hive, const std::string& path, uint32_t access) {
        refusedAccess[KeyName(hive, path)] = access;
    }
    bool failWrites = false;
    int32_t writes = 0;
    std::atomic<int32_t> openKeys{0};  // keys handed out and not yet closed
    // Called after each value written: another thread acting in the middle of a save.
    std::function<void(const std::string& name)> afterWrite;

    // Every Open, in order, with what it asked for.
    struct OpenCall {
        Hive hive;
        std::string path;
        uint32_t access;
        bool create;
    };
    std::vector<OpenCall> opens;
    // The value names written, in order (failed writes included, marked "!name").
    std::vector<std::string> writeLog;

    std::map<std::string, Key> keys;  // "HKCU\\path" lower-cased

    static std::string KeyName(Hive hive, const std::string& path);
    static std::string Lower(const std::string& s);
};
