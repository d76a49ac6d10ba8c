#include <windows.h>

#include <shlobj.h>

#include <memory>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

class Win32AppendFile : public LocalFiles::AppendFile {
public:
    explicit Win32AppendFile(HANDLE file) : file_(file) {}
    ~Win32AppendFile() override { CloseHandle(file_); }
    Win32AppendFile(const Win32AppendFile&) = delete;
    Win32AppendFile& operator=(const Win32AppendFile&) = delete;

    bool Write(const std::string& bytes) override {
        if (bytes.empty()) return true;
        DWORD written = 0;
        return WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) != FALSE &&
               written == bytes.size();
    }

    int64_t Size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_, &size) ? static_cast<int64_t>(size.QuadPart) : -1;
    }

private:
    HANDLE file_;
};

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

    OpenStatus OpenAppend(const std::string& path, std::unique_ptr<AppendFile>& out) override {
        // Sharing deletion lets the file be renamed under this handle: a log that rolls
        // over, or is cleared by the user, while it is open.
        HANDLE file = CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                       ? OpenStatus::Busy
                       : OpenStatus::Failed;
        }
        try {
            out = std::make_unique<Win32AppendFile>(file);
        } catch (...) {
            CloseHandle(file);
            return OpenStatus::Failed;
        }
        return OpenStatus::Opened;
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
