#include <windows.h>

#include "platform/win32/adapters.h"

namespace {

class Win32Key : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }

    RegStatus Query(const std::string& name, size_t bufferBytes, uint32_t& type,
                    std::vector<uint8_t>& data) override {
        if (bufferBytes == 0) {
            // A null buffer would make the system report success with the size only.
            DWORD size = 0;
            DWORD t = REG_NONE;
            const LONG r = RegQueryValueExA(key_, name.c_str(), nullptr, &t, nullptr, &size);
            type = t;
            data.clear();
            if (r == ERROR_FILE_NOT_FOUND) return RegStatus::Missing;
            if (r != ERROR_SUCCESS) return RegStatus::Error;
            return size == 0 ? RegStatus::Ok : RegStatus::MoreData;
        }
        data.assign(bufferBytes, 0);
        DWORD size = static_cast<DWORD>(bufferBytes);
        DWORD t = REG_NONE;
        const LONG r = RegQueryValueExA(key_, name.c_str(), nullptr, &t,
                                        data.empty() ? nullptr : data.data(), &size);
        type = t;
        if (r == ERROR_FILE_NOT_FOUND) {
            data.clear();
            return RegStatus::Missing;
        }
        if (r == ERROR_MORE_DATA) {
            data.clear();
            return RegStatus::MoreData;
        }
        if (r != ERROR_SUCCESS) {
            data.clear();
            return RegStatus::Error;
        }
        data.resize(size);
        return RegStatus::Ok;
    }

    RegStatus QueryAll(const std::string& name, uint32_t& type,
                       std::vector<uint8_t>& data) override {
        // The value may grow between asking for its size and reading it: ask again.
        for (int attempt = 0; attempt < 8; ++attempt) {
            DWORD size = 0;
            DWORD t = REG_NONE;
            LONG r = RegQueryValueExA(key_, name.c_str(), nullptr, &t, nullptr, &size);
            type = t;
            data.clear();
            if (r == ERROR_FILE_NOT_FOUND) return RegStatus::Missing;
            if (r != ERROR_SUCCESS) return RegStatus::Error;
            if (size == 0) return RegStatus::Ok;
            data.assign(size, 0);
            r = RegQueryValueExA(key_, name.c_str(), nullptr, &t, data.data(), &size);
            type = t;
            if (r == ERROR_MORE_DATA) continue;
            if (r == ERROR_FILE_NOT_FOUND) {
                data.clear();
                return RegStatus::Missing;
            }
            if (r != ERROR_SUCCESS) {
                data.clear();
                return RegStatus::Error;
            }
            data.resize(size);
            return RegStatus::Ok;
        }
        data.clear();
        return RegStatus::Error;
    }

    bool Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        return RegSetValueExA(key_, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
};

class Win32RegistryImpl : public Registry {
public:
    std::unique_ptr<RegistryKey> Open(Hive hive, const std::string& path, uint32_t access,
                                      bool create) override {
        HKEY root = hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        // The machine-wide values come from the 32-bit installer, so they live in the
        // 32-bit view of a 64-bit system, whichever build of the program reads them.
        if (hive == Hive::LocalMachine) access |= KEY_WOW64_32KEY;
        HKEY key = nullptr;
        LONG r;
        if (create) {
            DWORD disposition = 0;
            r = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                nullptr, &key, &disposition);
        } else {
            r = RegOpenKeyExA(root, path.c_str(), 0, access, &key);
        }
        if (r != ERROR_SUCCESS) return nullptr;
        return std::make_unique<Win32Key>(key);
    }
};

}  // namespace

Registry& Win32Registry() {
    static Win32RegistryImpl registry;
    return registry;
}
