#include <windows.h>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Text values travel as UTF-16 in the system and as UTF-8 here, terminators included,
// so a value an ANSI program stored reads with the letters it meant.
std::vector<uint8_t> TextToUtf8(const std::vector<uint8_t>& utf16) {
    const size_t chars = utf16.size() / 2;
    std::wstring wide(chars, L'\0');
    if (chars > 0) memcpy(wide.data(), utf16.data(), chars * 2);
    const std::string utf8 = Narrow(wide);
    return std::vector<uint8_t>(utf8.begin(), utf8.end());
}

std::vector<uint8_t> TextToUtf16(const std::vector<uint8_t>& utf8) {
    const std::wstring wide = Widen(std::string(utf8.begin(), utf8.end()));
    std::vector<uint8_t> out(wide.size() * 2);
    if (!wide.empty()) memcpy(out.data(), wide.data(), out.size());
    return out;
}

class Win32Key : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }

    RegStatus Query(const std::string& name, size_t bufferBytes, uint32_t& type,
                    std::vector<uint8_t>& data) override {
        // The whole value is read and then held against the buffer, so that a text
        // value's limit counts the bytes the caller receives.
        const RegStatus status = QueryAll(name, type, data);
        if (status != RegStatus::Ok) return status;
        if (data.size() > bufferBytes) {
            data.clear();
            return RegStatus::MoreData;
        }
        return RegStatus::Ok;
    }

    RegStatus QueryAll(const std::string& name, uint32_t& type,
                       std::vector<uint8_t>& data) override {
        const std::wstring wideName = Widen(name);
        // The value may grow between asking for its size and reading it: ask again.
        for (int attempt = 0; attempt < 8; ++attempt) {
            DWORD size = 0;
            DWORD t = REG_NONE;
            LONG r = RegQueryValueExW(key_, wideName.c_str(), nullptr, &t, nullptr, &size);
            type = t;
            data.clear();
            if (r == ERROR_FILE_NOT_FOUND) return RegStatus::Missing;
            if (r != ERROR_SUCCESS) return RegStatus::Error;
            if (size == 0) return RegStatus::Ok;
            data.assign(size, 0);
            r = RegQueryValueExW(key_, wideName.c_str(), nullptr, &t, data.data(), &size);
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
            if (IsText(t)) data = TextToUtf8(data);
            return RegStatus::Ok;
        }
        data.clear();
        return RegStatus::Error;
    }

    bool Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        const std::vector<uint8_t> stored = IsText(type) ? TextToUtf16(data) : data;
        return RegSetValueExW(key_, Widen(name).c_str(), 0, type,
                              stored.empty() ? nullptr : stored.data(),
                              static_cast<DWORD>(stored.size())) == ERROR_SUCCESS;
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
        const std::wstring widePath = Widen(path);
        HKEY key = nullptr;
        LONG r;
        if (create) {
            DWORD disposition = 0;
            r = RegCreateKeyExW(root, widePath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                nullptr, &key, &disposition);
        } else {
            r = RegOpenKeyExW(root, widePath.c_str(), 0, access, &key);
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
