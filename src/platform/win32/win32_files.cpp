#include <windows.h>

#include <shlobj.h>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

class Win32FilesImpl : public LocalFiles {
public:
    std::string LocalAppDataFolder() override {
        wchar_t path[MAX_PATH] = {};
        if (FAILED(
                SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
            return std::string();
        return Narrow(path);
    }

    bool MakeFolders(const std::string& path) override {
        for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
            if (at == 0 || path[at - 1] == ':') continue;  // the root, or "\\server"
            CreateDirectoryW(Widen(path.substr(0, at)).c_str(), nullptr);
        }
        const std::wstring wide = Widen(path);
        CreateDirectoryW(wide.c_str(), nullptr);
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool Append(const std::string& path, const std::string& bytes) override {
        HANDLE file =
            CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const BOOL ok =
            bytes.empty() ||
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return ok != FALSE && written == bytes.size();
    }

    int64_t FileSize(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return -1;
        return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    bool Replace(const std::string& from, const std::string& to) override {
        return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) !=
               FALSE;
    }
};

}  // namespace

LocalFiles& Win32Files() {
    static Win32FilesImpl files;
    return files;
}
