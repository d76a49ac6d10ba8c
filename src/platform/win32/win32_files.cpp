#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

// The file a handle holds or a path names, told apart from any other.
struct FileIdentity {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const FileIdentity&) const = default;
};

bool IdentityOf(HANDLE file, FileIdentity& out) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return false;
    out = FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

class Win32AppendFile : public LocalFiles::AppendFile {
public:
    Win32AppendFile(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) {}
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

    bool StillAtItsPath() override {
        FILE_STANDARD_INFO standard{};
        if (GetFileInformationByHandleEx(file_, FileStandardInfo, &standard, sizeof standard) &&
            (standard.DeletePending || standard.NumberOfLinks == 0))
            return false;
        // Asking for the attributes alone is never refused for sharing.
        HANDLE named = CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (named == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            // A file deleted while open keeps its name, refusing every open, until the last
            // handle on it is closed.
            return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
                   error != ERROR_ACCESS_DENIED && error != ERROR_DELETE_PENDING;
        }
        FileIdentity held, there;
        const bool same = !IdentityOf(file_, held) || !IdentityOf(named, there) || held == there;
        CloseHandle(named);
        return same;
    }

private:
    HANDLE file_;
    std::wstring path_;
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
        return MakeFolderPath(path);
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
            out = std::make_unique<Win32AppendFile>(file, Widen(path));
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

    bool RunsElevated() override {
        // The user's other programs are started by the desktop shell, with its rights.
        // Without a shell (Wine outside a virtual desktop) there is nobody to compare with.
        DWORD shellPid = 0;
        if (HWND shell = GetShellWindow()) GetWindowThreadProcessId(shell, &shellPid);
        if (shellPid == 0 || shellPid == GetCurrentProcessId()) return false;
        const std::optional<PeerIdentity> ours = ProcessIdentity(GetCurrentProcess());
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellPid);
        if (process == nullptr) return true;  // a shell that cannot be asked runs apart
        const std::optional<PeerIdentity> theirs = ProcessIdentity(process);
        CloseHandle(process);
        if (!theirs || !ours || !theirs->integrityRid || !ours->integrityRid) return true;
        return *ours->integrityRid > *theirs->integrityRid;
    }
};

}  // namespace

LocalFiles& Win32Files() {
    static Win32FilesImpl files;
    return files;
}
