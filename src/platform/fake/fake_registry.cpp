#include "platform/fake/fake_registry.h"

#include <cstring>

namespace {

class FakeKey : public RegistryKey {
public:
    FakeKey(FakeRegistry& reg, std::string key) : reg_(reg), key_(std::move(key)) { ++reg_.openKeys; }
    ~FakeKey() override { --reg_.openKeys; }

    RegStatus Query(const std::string& name, size_t bufferBytes, uint32_t& type,
                    std::vector<uint8_t>& data) override {
        data.clear();
        type = kRegNone;
        auto k = reg_.keys.find(key_);
        if (k == reg_.keys.end()) return RegStatus::Error;
        auto v = k->second.find(FakeRegistry::Lower(name));
        if (v == k->second.end()) return RegStatus::Missing;
        type = v->second.type;
        if (v->second.data.size() > bufferBytes) return RegStatus::MoreData;
        data = v->second.data;
        return RegStatus::Ok;
    }

    RegStatus QueryAll(const std::string& name, uint32_t& type,
                       std::vector<uint8_t>& data) override {
        return Query(name, static_cast<size_t>(-1), type, data);
    }

    bool Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        if (reg_.failWrites) {
            reg_.writeLog.push_back("!" + name);
            return false;
        }
        reg_.writeLog.push_back(name);
        auto k = reg_.keys.find(key_);
        if (k == reg_.keys.end()) return false;
        k->second[FakeRegistry::Lower(name)] = FakeRegistry::Value{type, data};
        ++reg_.writes;
        if (reg_.afterWrite) reg_.afterWrite(name);
        return true;
    }

private:
    FakeRegistry& reg_;
    std::string key_;
};

}  // namespace

std::string FakeRegistry::Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

std::string FakeRegistry::KeyName(Hive hive, const std::string& path) {
    return Lower((hive == Hive::CurrentUser ? "HKCU\\" : "HKLM\\") + path);
}

std::unique_ptr<RegistryKey> FakeRegistry::Open(Hive hive, const std::string& path,
                                                uint32_t access, bool create) {
    opens.push_back(OpenCall{hive, path, access, create});
    const std::string name = KeyName(hive, path);
    auto refused = refusedAccess.find(name);
    if (refused != refusedAccess.end() && (refused->second & access) != 0) return nullptr;
    if (keys.find(name) == keys.end()) {
        if (!create) return nullptr;
        // Creating a key creates every missing key above it.
        std::string partial;
        size_t pos = 0;
        while (pos != std::string::npos) {
            pos = name.find('\\', pos + 1);
            partial = name.substr(0, pos);
            keys.emplace(partial, Key{});
        }
    }
    return std::make_unique<FakeKey>(*this, name);
}

void FakeRegistry::SetRaw(Hive hive, const std::string& path, const std::string& name,
                          uint32_t type, std::vector<uint8_t> data) {
    keys[KeyName(hive, path)][Lower(name)] = Value{type, std::move(data)};
}

void FakeRegistry::SetDword(Hive hive, const std::string& path, const std::string& name,
                            uint32_t v) {
    std::vector<uint8_t> d(4);
    std::memcpy(d.data(), &v, 4);
    SetRaw(hive, path, name, kRegDword, d);
}

void FakeRegistry::SetString(Hive hive, const std::string& path, const std::string& name,
                             const std::string& text, uint32_t type) {
    std::vector<uint8_t> d(text.begin(), text.end());
    d.push_back(0);
    SetRaw(hive, path, name, type, d);
}

bool FakeRegistry::HasKey(Hive hive, const std::string& path) const {
    return keys.count(KeyName(hive, path)) != 0;
}

const FakeRegistry::Value* FakeRegistry::Find(Hive hive, const std::string& path,
                                              const std::string& name) const {
    auto k = keys.find(KeyName(hive, path));
    if (k == keys.end()) return nullptr;
    auto v = k->second.find(Lower(name));
    return v == k->second.end() ? nullptr : &v->second;
}

bool FakeRegistry::GetDword(Hive hive, const std::string& path, const std::string& name,
                            uint32_t& v) const {
    const Value* value = Find(hive, path, name);
    if (value == nullptr || value->type != kRegDword || value->data.size() != 4) return false;
    std::memcpy(&v, value->data.data(), 4);
    return true;
}

bool FakeRegistry::GetString(Hive hive, const std::string& path, const std::string& name,
                             std::string& s) const {
    const Value* value = Find(hive, path, name);
    if (value == nullptr || value->type != kRegSz) return false;
    s.assign(value->data.begin(), value->data.end());
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return true;
}
