#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cwctype>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

bool EndsWithIgnoringCase(const std::wstring& name, const std::wstring& suffix) {
    if (name.size() < suffix.size()) return false;
    const size_t from = name.size() - suffix.size();
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (std::towlower(name[from + i]) != std::towlower(suffix[i])) return false;
    }
    return true;
}

uint64_t Combine(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

class Win32FolderFilesImpl : public FolderFiles {
public:
    std::string RoamingAppDataFolder() override {
        PWSTR path = nullptr;
        if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) {
            CoTaskMemFree(path);
            return std::string();
        }
        std::string folder = Narrow(path);
        CoTaskMemFree(path);
        return folder;
    }

    bool List(const std::string& folder, const std::string& suffix,
              std::vector<FolderEntry>& out) override {
        out.clear();
        WIN32_FIND_DATAW found{};
        // Every name, matched here against the long name alone: the system's own
        // patterns also look at the short (8.3) names.
        HANDLE find = FindFirstFileExW(Widen(folder + "\\*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
        if (find == INVALID_HANDLE_VALUE) return false;
        const std::wstring wideSuffix = Widen(suffix);
        do {
            if ((found.dwFileAttributes &
                 (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
                continue;
            const std::wstring name = found.cFileName;
            if (!EndsWithIgnoringCase(name, wideSuffix)) continue;
            FolderEntry entry;
            entry.name = Narrow(name);
            entry.size = Combine(found.nFileSizeHigh, found.nFileSizeLow);
            entry.lastWrite =
                Combine(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
            out.push_back(std::move(entry));
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return true;
    }

    bool Read(const std::string& path, size_t maxBytes, std::string& out) override {
        out.clear();
        // The link itself, never what it points at: a link in the folder could otherwise
        // lead the program to a file the folder's owner may not even read.
        HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        BY_HANDLE_FILE_INFORMATION info{};
        bool ok = GetFileInformationByHandle(file, &info) != FALSE &&
                  (info.dwFileAttributes &
                   (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
        char buffer[16 * 1024];
        while (ok && out.size() < maxBytes) {
            const size_t want = std::min(sizeof(buffer), maxBytes - out.size());
            DWORD got = 0;
            if (!ReadFile(file, buffer, static_cast<DWORD>(want), &got, nullptr)) {
                ok = false;
            } else if (got == 0) {
                break;
            } else {
                out.append(buffer, got);
            }
        }
        CloseHandle(file);
        if (!ok) out.clear();
        return ok;
    }

    bool MakeFolders(const std::string& path) override {
        return MakeFolderPath(path);
    }

    CreateStatus WriteNew(const std::string& path, const std::string& bytes) override {
        const std::wstring wide = Widen(path);
        // CREATE_NEW fails on any name already taken, a dangling link's included.
        HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS
                       ? CreateStatus::Exists
                       : CreateStatus::Failed;
        }
        size_t done = 0;
        bool ok = true;
        while (ok && done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
            DWORD written = 0;
            ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) != FALSE &&
                 written == chunk;
            done += written;
        }
        ok = CloseHandle(file) != FALSE && ok;
        if (!ok) {
            DeleteFileW(wide.c_str());
            return CreateStatus::Failed;
        }
        return CreateStatus::Written;
    }

    bool ReplaceExisting(const std::string& path, const std::string& bytes) override {
        const std::wstring wide = Widen(path);
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
            return false;
        // Beside the file, so that the move stays within its volume and is one step; the
        // name ends in no suffix the folder's readers look for. One left by an earlier
        // failure goes first (a link of that name is removed, never followed).
        const std::string fresh = path + ".new~";
        DeleteFileW(Widen(fresh).c_str());
        if (WriteNew(fresh, bytes) != CreateStatus::Written) return false;
        if (!MoveFileExW(Widen(fresh).c_str(), wide.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            DeleteFileW(Widen(fresh).c_str());
            return false;
        }
        return true;
    }

    bool DeleteExisting(const std::string& path) override {
        const std::wstring wide = Widen(path);
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
            return false;
        return DeleteFileW(wide.c_str()) != FALSE;
    }

    bool ProcessElevated() override {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
        TOKEN_ELEVATION elevation{};
        DWORD size = 0;
        const bool elevated = GetTokenInformation(token, TokenElevation, &elevation,
                                                  sizeof(elevation), &size) != FALSE &&
                              elevation.TokenIsElevated != 0;
        CloseHandle(token);
        return elevated;
    }
};

}  // namespace

FolderFiles& Win32FolderFiles() {
    static Win32FolderFilesImpl folders;
    return folders;
}
