// What setup needs of Windows beyond its own script, run from its temporary folder (the
// uninstaller carries it too, for unmake):
//
//   setuphelper start <program>   starts the program as the user signed in at this
//                                 desktop, through the desktop shell, so that it gets
//                                 the shell's (unelevated) token and never the setup's.
//                                 Exit 0 started; 1 not started: setup runs as SYSTEM,
//                                 in session 0, or no desktop shell answers (the
//                                 user's logon start takes over).
//   setuphelper writable <folder> whether setup could make or write the folder, found
//                                 without making it: a file of a name nobody else uses
//                                 is made and removed in it when it is there, else a
//                                 folder of such a name, protected from the start, in
//                                 the nearest folder above it that is. Exit 0 yes, 1 no.
//   setuphelper check <folder> [<report>]
//                                 whether an installation there would be safe from the
//                                 other accounts of the computer: no folder on the way
//                                 may be a link to another place, or be renamed,
//                                 deleted or re-permissioned by anyone else; the folder
//                                 itself, when it is there, and everything in it may be
//                                 changed by nobody else. Exit 0 safe; 5 not, with the
//                                 reason as a "why|" line in the report.
//   setuphelper make <folder> <report>
//                                 check, then makes every missing folder of the path
//                                 and its Docs folder, each with the protected list in
//                                 the same call (SYSTEM and Administrators full control,
//                                 Users read and run, owned by the Administrators). A
//                                 folder that is there by the time it is made was made
//                                 by someone else: refused. The report lists the
//                                 folders made, outermost first, as the install log's
//                                 "folder|" lines. Exit 0 made; 5 refused and 1 failed,
//                                 each with a "why|" line and nothing left behind.
//   setuphelper unmake <folder>   removes the folder's install log and then the empty
//                                 folders it lists that setup may have made there (the
//                                 folder, its Docs and folders above it); every other
//                                 line is passed over. Exit 0.
// The rules themselves live in setup_rules.cpp, where the unit tests reach them.
#include <windows.h>

#include <aclapi.h>
#include <exdisp.h>
#include <sddl.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "platform/win32/system_dlls.h"
#include "setup_rules.h"

namespace {

// {4C96BE40-915C-11CF-99D3-00AA004AE837}
const GUID kTopLevelBrowser = {
    0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};

template <class T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() { return p; }
    explicit operator bool() const { return p != nullptr; }
};

bool SetupRunsAsSystemOrInSessionZero() {
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0) return true;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
    std::vector<BYTE> buffer(256);
    DWORD size = 0;
    bool system = true;
    if (GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()),
                            &size)) {
        system = IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                WinLocalSystemSid) != FALSE;
    }
    CloseHandle(token);
    return system;
}

// The desktop's folder view runs in the signed-in user's shell; its ShellExecute starts
// programs there, with the shell's token.
bool StartThroughDesktopShell(const std::wstring& program) {
    Com<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                reinterpret_cast<void**>(&windows))))
        return false;
    VARIANT location, root;
    VariantInit(&location);
    VariantInit(&root);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    long hwnd = 0;
    Com<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &desktop) !=
            S_OK ||
        !desktop)
        return false;
    Com<IServiceProvider> services;
    Com<IShellBrowser> browser;
    Com<IShellView> view;
    Com<IDispatch> background;
    Com<IShellFolderViewDual> folderView;
    Com<IDispatch> application;
    Com<IShellDispatch2> shell;
    if (FAILED(
            desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services))) ||
        FAILED(services->QueryService(kTopLevelBrowser, IID_IShellBrowser,
                                      reinterpret_cast<void**>(&browser))) ||
        FAILED(browser->QueryActiveShellView(&view)) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                   reinterpret_cast<void**>(&background))) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual,
                                          reinterpret_cast<void**>(&folderView))) ||
        FAILED(folderView->get_Application(&application)) ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(&shell))))
        return false;

    std::wstring folder = program;
    const size_t slash = folder.find_last_of(L'\\');
    folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
    BSTR file = SysAllocString(program.c_str());
    VARIANT arguments, directory, operation, show;
    VariantInit(&arguments);
    VariantInit(&directory);
    VariantInit(&operation);
    VariantInit(&show);
    directory.vt = VT_BSTR;
    directory.bstrVal = SysAllocString(folder.c_str());
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    const HRESULT hr = shell->ShellExecute(file, arguments, directory, operation, show);
    SysFreeString(file);
    VariantClear(&directory);
    return SUCCEEDED(hr);
}

int Start(const std::wstring& program) {
    if (SetupRunsAsSystemOrInSessionZero()) return 1;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const bool started = StartThroughDesktopShell(program);
    CoUninitialize();
    return started ? 0 : 1;
}

// --- Folder permissions --------------------------------------------------------------

using setup_rules::Who;

// SYSTEM and Administrators full control, Users read and run, protected from what the
// parent passes on, owned by the Administrators: what every folder setup makes gets in
// the call that makes it. Without the owner when the system will not take it (setup
// run by an account that may not name the Administrators as owner); the folder is then
// the creator's, which the check after making it judges like any other owner.
const wchar_t* const kProtected =
    L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
const wchar_t* const kProtectedNoOwner =
    L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
const wchar_t* const kInstallLog = L"OrbiscopeRemote-install.log";

class Descriptor {
public:
    explicit Descriptor(const wchar_t* sddl) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd_,
                                                                  nullptr))
            sd_ = nullptr;
    }
    ~Descriptor() {
        if (sd_) LocalFree(sd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    SECURITY_ATTRIBUTES* Attributes() {
        attributes_ = {sizeof(attributes_), sd_, FALSE};
        return sd_ ? &attributes_ : nullptr;
    }

private:
    PSECURITY_DESCRIPTOR sd_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Whether the account running setup counts as the administrators do. Not when it holds a
// split token (User Account Control elevated it, the usual case): its own unelevated
// programs, and with over-the-shoulder elevation that account's, have the same account
// but not the administrators' rights, and what they could change would run for every
// user. Only when each of its programs runs with the full administrator token (User
// Account Control off, or the system): then it adds nobody. And under Wine, where every
// file belongs to the one account Wine has and the Unix rights of everyone else appear
// as Everyone, so that there is no other account to keep out.
bool SelfIsAnAdministratorEverywhere(HANDLE token) {
    if (UnderWine()) return true;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size) ||
        type != TokenElevationTypeDefault)
        return false;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(sid);
    BOOL member = FALSE;
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) &&
           CheckTokenMembership(nullptr, sid, &member) && member;
}

class Accounts {
public:
    Accounts() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        std::vector<BYTE> buffer(256);
        DWORD size = 0;
        if (SelfIsAnAdministratorEverywhere(token) &&
            GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()),
                                &size)) {
            const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
            self_.assign(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + GetLengthSid(sid));
        }
        CloseHandle(token);
    }

    // Who may change what is installed anyway: the system, the administrators, the
    // installer service (and the account running setup, as above). CREATOR OWNER stands
    // for whoever makes a new file, in a folder where only those may; OWNER RIGHTS for
    // the owner, judged as the owner is.
    Who Classify(PSID sid, Who owner) const {
        static const WELL_KNOWN_SID_TYPE kTrusted[] = {
            WinLocalSystemSid, WinBuiltinAdministratorsSid, WinCreatorOwnerSid};
        for (WELL_KNOWN_SID_TYPE type : kTrusted) {
            if (IsWellKnownSid(sid, type)) return Who::kTrusted;
        }
        if (Is(sid, L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"))
            return Who::kTrusted;               // TrustedInstaller
        if (Is(sid, L"S-1-3-4")) return owner;  // OWNER RIGHTS
        if (!self_.empty() && EqualSid(sid, const_cast<BYTE*>(self_.data()))) return Who::kTrusted;
        return Who::kOther;
    }

    // "DOMAIN\name", or the SID's text when it names no account this computer knows.
    static std::wstring Name(PSID sid) {
        wchar_t name[256], domain[256];
        DWORD nameLength = 256, domainLength = 256;
        SID_NAME_USE use;
        if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
            return domainLength > 0 && domain[0] != L'\0' ? std::wstring(domain) + L"\\" + name
                                                          : std::wstring(name);
        }
        LPWSTR text = nullptr;
        if (!ConvertSidToStringSidW(sid, &text)) return L"an unknown account";
        std::wstring out = text;
        LocalFree(text);
        return out;
    }

private:
    static bool Is(PSID sid, const wchar_t* text) {
        PSID other = nullptr;
        if (!ConvertStringSidToSidW(text, &other)) return false;
        const bool same = EqualSid(sid, other) != FALSE;
        LocalFree(other);
        return same;
    }
    std::vector<BYTE> self_;  // empty unless SelfIsAnAdministratorEverywhere
};

// The account an entry names, or nullptr for a kind whose layout is not read here.
PSID SidOf(const ACE_HEADER* header) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(header);
    size_t offset = 0;
    switch (header->AceType) {
        case setup_rules::kAllowed:
        case setup_rules::kDenied:
        case setup_rules::kAllowedCallback:
        case setup_rules::kDeniedCallback:
            offset = 8;  // header, mask
            break;
        case setup_rules::kAllowedObject:
        case setup_rules::kDeniedObject:
        case setup_rules::kAllowedCallbackObject:
        case setup_rules::kDeniedCallbackObject: {
            if (header->AceSize < 12) return nullptr;
            DWORD flags = 0;
            memcpy(&flags, bytes + 8, sizeof(flags));
            offset = 12 + ((flags & ACE_OBJECT_TYPE_PRESENT) ? 16 : 0) +
                     ((flags & ACE_INHERITED_OBJECT_TYPE_PRESENT) ? 16 : 0);
            break;
        }
        default: return nullptr;
    }
    if (offset + 8 > header->AceSize) return nullptr;
    PSID sid = const_cast<BYTE*>(bytes + offset);
    if (!IsValidSid(sid) || offset + GetLengthSid(sid) > header->AceSize) return nullptr;
    return sid;
}

struct Security {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    Security() = default;
    Security(const Security&) = delete;
    Security& operator=(const Security&) = delete;
    ~Security() {
        if (descriptor) LocalFree(descriptor);
    }
};

// What setup refuses and why, in words for the message box.
struct Refusal {
    int code = 0;  // 0 none, 5 others could change it, 1 failed
    std::wstring why;
};

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }
bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

Refusal Link(const std::wstring& path) {
    return {5, path +
                   L" is a link to another place (a junction, a symbolic link or a mounted "
                   L"drive), which could be pointed elsewhere."};
}

// Whether anyone but the trusted accounts may use one of the rights on path (or, with
// inheritedToo, on what it passes on). Links are refused without being followed: the
// handle that is judged is the one whose kind was read.
Refusal Inspect(const std::wstring& path, uint32_t rights, bool inheritedToo,
                const Accounts& accounts) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {5, L"Setup could not read who may change " + path + L"."};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Link(path);
    HANDLE handle =
        CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {5, L"Setup could not read who may change " + path + L"."};
    BY_HANDLE_FILE_INFORMATION information{};
    Security s;
    const bool read =
        GetFileInformationByHandle(handle, &information) &&
        GetSecurityInfo(handle, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &s.owner, nullptr,
                        &s.dacl, nullptr, &s.descriptor) == ERROR_SUCCESS;
    CloseHandle(handle);
    if (!read) return {5, L"Setup could not read who may change " + path + L"."};
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return Link(path);

    const Who owner = s.owner != nullptr ? accounts.Classify(s.owner, Who::kOther) : Who::kOther;
    setup_rules::Acl acl;
    std::vector<PSID> sids;
    acl.present = s.dacl != nullptr;
    for (DWORD i = 0; acl.present && i < s.dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(s.dacl, i, &ace))
            return {5, L"Setup could not read who may change " + path + L"."};
        const auto* header = static_cast<ACE_HEADER*>(ace);
        setup_rules::Ace rule;
        rule.type = header->AceType;
        rule.flags = header->AceFlags;
        if (header->AceSize >= 8)
            memcpy(&rule.mask, static_cast<BYTE*>(ace) + 4, sizeof(rule.mask));
        const PSID sid = SidOf(header);
        rule.who = sid != nullptr ? accounts.Classify(sid, owner) : Who::kOther;
        acl.aces.push_back(rule);
        sids.push_back(sid);
    }
    const setup_rules::Finding f = setup_rules::OthersMay(owner, acl, rights, inheritedToo);
    switch (f.verdict) {
        case setup_rules::Verdict::kSafe: return {};
        case setup_rules::Verdict::kOwnedByOther:
            return {5, path + L" belongs to " +
                           (s.owner ? Accounts::Name(s.owner) : std::wstring(L"nobody")) +
                           L", who can change who may use it."};
        case setup_rules::Verdict::kNoList:
            return {5, L"Everyone can change " + path + L": it has no list of who may."};
        case setup_rules::Verdict::kGranted:
            return {5, Accounts::Name(sids[f.ace]) + L" can change " + path +
                           (inheritedToo ? L" or what is in it." : L".")};
        case setup_rules::Verdict::kUnknownEntry: break;
    }
    return {5, path +
                   L" has a permission entry of a kind setup does not read, which could let "
                   L"others change it."};
}

// Everything already in an existing installation folder: whatever runs from there must
// not have been left by anyone else, nor be changeable by them.
Refusal InspectContents(const std::wstring& folder, const Accounts& accounts) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return {};
    Refusal r;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            r = Link(path);
            break;
        }
        const bool folderToo = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        r = Inspect(path, setup_rules::kWriteRights, folderToo, accounts);
        if (r.code == 0 && folderToo) r = InspectContents(path, accounts);
    } while (r.code == 0 && FindNextFileW(find, &data));
    FindClose(find);
    return r;
}

Refusal NotADrivePath(const std::wstring& path) {
    return {5, path +
                   L" is not a folder on a drive of this computer (such as C:\\Program "
                   L"Files\\Orbiscope\\Remote)."};
}

// Every existing folder on the way to the installation folder: none may be a link, be
// renamed or re-permissioned by others, nor may others rename what lies in it. The
// installation folder itself, when it is there, and all it holds: nobody else may
// change any of it. A folder others can change is refused, never repaired: what they
// may have put there already would stay.
Refusal Check(const std::wstring& target, const Accounts& accounts) {
    if (!setup_rules::IsPlainDrivePath(target) || setup_rules::IsRoot(target))
        return NotADrivePath(target);
    for (std::wstring path = setup_rules::Parent(target); !path.empty();
         path = setup_rules::Parent(path)) {
        if (!Exists(path)) continue;
        const uint32_t rights = setup_rules::IsRoot(path)
                                    ? setup_rules::kRenameChildRights
                                    : setup_rules::kRenameRights | setup_rules::kRenameChildRights;
        Refusal r = Inspect(path, rights, false, accounts);
        if (r.code != 0) return r;
    }
    if (!Exists(target)) return {};
    Refusal r = Inspect(target, setup_rules::kWriteRights, true, accounts);
    if (r.code != 0) return r;
    if ((Attributes(target) & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return {1, target + L" is a file, not a folder."};
    return InspectContents(target, accounts);
}

bool WriteReport(const std::wstring& report, const std::vector<std::wstring>& lines) {
    if (report.empty()) return true;
    const std::string bytes = setup_rules::LogBytes(lines);
    HANDLE file = CreateFileW(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

int Refuse(const Refusal& r, const std::wstring& report) {
    WriteReport(report, {L"why|" + r.why});
    return r.code;
}

// One folder, made with the protected list in the same call. A folder that is there
// already was made by someone else since the check: refused, and left as it is.
Refusal MakeOne(const std::wstring& path, const Accounts& accounts) {
    Descriptor owned(kProtected);
    BOOL made = CreateDirectoryW(path.c_str(), owned.Attributes());
    DWORD error = made ? ERROR_SUCCESS : GetLastError();
    if (!made && error == ERROR_INVALID_OWNER) {
        Descriptor plain(kProtectedNoOwner);
        made = CreateDirectoryW(path.c_str(), plain.Attributes());
        error = made ? ERROR_SUCCESS : GetLastError();
    }
    if (!made && error == ERROR_ALREADY_EXISTS)
        return {5, path + L" appeared while setup was making it: someone else made it first."};
    if (!made)
        return {1, L"Setup could not make " + path + L" (error " + std::to_wstring(error) + L")."};
    Refusal r = Inspect(path, setup_rules::kWriteRights, true, accounts);
    if (r.code != 0) RemoveDirectoryW(path.c_str());
    return r;
}

int Make(const std::wstring& target, const std::wstring& report, const Accounts& accounts) {
    Refusal r = Check(target, accounts);
    if (r.code != 0) return Refuse(r, report);
    std::vector<std::wstring> missing = setup_rules::MissingFolders(target, Exists);
    const std::wstring docs = target + L"\\Docs";
    if (!missing.empty() || !Exists(docs)) missing.push_back(docs);
    std::vector<std::wstring> made, lines;
    for (const std::wstring& path : missing) {
        r = MakeOne(path, accounts);
        if (r.code != 0) break;
        made.push_back(path);
        lines.push_back(L"folder|" + path);
    }
    if (r.code == 0 && !WriteReport(report, lines))
        r = {1, L"Setup could not write its report " + report + L"."};
    if (r.code != 0) {
        for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
        return Refuse(r, report);
    }
    return 0;
}

// Found without making the folder: in the folder itself when it is there, else in the
// nearest folder above it that is, something of a name nobody else uses, protected from
// the start, is made and removed at once.
int Writable(const std::wstring& target) {
    if (!setup_rules::IsPlainDrivePath(target)) return 0;  // check says why not
    std::wstring existing = target;
    while (!existing.empty() && !Exists(existing)) existing = setup_rules::Parent(existing);
    if (existing.empty() || (Attributes(existing) & FILE_ATTRIBUTE_DIRECTORY) == 0) return 1;
    const std::wstring probe = (setup_rules::IsRoot(existing) ? existing : existing + L"\\") +
                               L"~orbiscope-setup-" + std::to_wstring(GetCurrentProcessId()) +
                               L"-" + std::to_wstring(GetTickCount64()) + L".tmp";
    Descriptor descriptor(kProtectedNoOwner);
    if (existing == target) {
        HANDLE file =
            CreateFileW(probe.c_str(), GENERIC_WRITE, 0, descriptor.Attributes(), CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        CloseHandle(file);
        return 0;
    }
    if (!CreateDirectoryW(probe.c_str(), descriptor.Attributes())) return 1;
    RemoveDirectoryW(probe.c_str());
    return 0;
}

std::string ReadSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (bytes.size() < (1u << 20) && ReadFile(file, buffer, sizeof(buffer), &got, nullptr) &&
           got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

int Unmake(const std::wstring& folder) {
    const std::wstring log = folder + L"\\" + kInstallLog;
    const std::string bytes = ReadSmallFile(log);
    DeleteFileW(log.c_str());
    for (const std::wstring& made :
         setup_rules::FoldersToRemove(setup_rules::LogLines(bytes), folder))
        RemoveDirectoryW(made.c_str());
    return 0;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::vector<wchar_t> full(size);
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    return setup_rules::Trimmed(std::wstring(full.data(), length));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    LoadDllsOnlyFromSystem32();
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count < 3 || count > 4) return 2;
    const std::wstring verb = args[1], path = args[2], report = count == 4 ? args[3] : L"";
    LocalFree(args);
    if (verb == L"start" && count == 3) return Start(path);
    const std::wstring folder = FullPath(path);
    if (verb == L"writable" && count == 3) return Writable(folder);
    if (verb == L"unmake" && count == 3) return Unmake(folder);
    const Accounts accounts;
    if (verb == L"check") {
        const Refusal r = Check(folder, accounts);
        return r.code != 0 ? Refuse(r, report) : (WriteReport(report, {}), 0);
    }
    if (verb == L"make" && count == 4) return Make(folder, report, accounts);
    return 2;
}
