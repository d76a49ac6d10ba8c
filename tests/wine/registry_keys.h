// Registry keys made by a test are removed again when it ends; a key that was there
// before is put back with the values it had.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class RegistryKeyGuard {
public:
    RegistryKeyGuard(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
        HKEY key = nullptr;
        existed_ = RegOpenKeyExA(root_, path_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (existed_) {
            Save(key, "");
            RegCloseKey(key);
            RegDeleteTreeA(root_, path_.c_str());
        }
    }
    ~RegistryKeyGuard() {
        RegDeleteTreeA(root_, path_.c_str());
        RegDeleteKeyA(root_, path_.c_str());
        if (!existed_) return;
        for (const Saved& v : saved_) {
            HKEY key = nullptr;
            const std::string path = v.subkey.empty() ? path_ : path_ + "\\" + v.subkey;
            if (RegCreateKeyExA(root_, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr) != ERROR_SUCCESS)
                continue;
            if (v.hasValue)
                RegSetValueExA(key, v.name.c_str(), 0, v.type, v.data.data(),
                               static_cast<DWORD>(v.data.size()));
            RegCloseKey(key);
        }
    }
    RegistryKeyGuard(const RegistryKeyGuard&) = delete;
    RegistryKeyGuard& operator=(const RegistryKeyGuard&) = delete;

private:
    struct Saved {
        std::string subkey;
        bool hasValue = false;
        std::string name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };

    void Save(HKEY key, const std::string& subkey) {
        Saved keyOnly;
        keyOnly.subkey = subkey;
        saved_.push_back(keyOnly);
        for (DWORD i = 0;; ++i) {
            char name[16384];
            DWORD nameChars = sizeof(name);
            DWORD type = 0, size = 0;
            if (RegEnumValueA(key, i, name, &nameChars, nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS)
                break;
            Saved v;
            v.subkey = subkey;
            v.hasValue = true;
            v.name = name;
            v.type = type;
            v.data.assign(size, 0);
            DWORD got = size;
            RegQueryValueExA(key, name, nullptr, nullptr, v.data.empty() ? nullptr : v.data.data(),
                             &got);
            v.data.resize(got);
            saved_.push_back(std::move(v));
        }
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameChars = sizeof(name);
            if (RegEnumKeyExA(key, i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            HKEY child = nullptr;
            if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
            Save(child, subkey.empty() ? name : subkey + "\\" + name);
            RegCloseKey(child);
        }
    }

    HKEY root_;
    std::string path_;
    bool existed_ = false;
    std::vector<Saved> saved_;
};

inline bool RegistryKeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The value as the system holds it; false when missing.
inline bool RawValue(HKEY root, const char* path, const char* name, DWORD& type,
                     std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (r == ERROR_SUCCESS) {
        data.assign(size, 0);
        r = RegQueryValueExA(key, name, nullptr, &type, data.empty() ? nullptr : data.data(),
                             &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

inline void SetRawValue(HKEY root, const char* path, const char* name, DWORD type,
                        const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, data.empty() ? nullptr : data.data(),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

// HKLM\Software as a 32-bit program sees it on a 64-bit system (what `reg add ... /reg:32`
// writes to): paths below it go without the leading "Software\".
inline HKEY MachineSoftware32() {
    static HKEY key = [] {
        HKEY k = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0,
                        KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &k, nullptr);
        return k;
    }();
    return key;
}
