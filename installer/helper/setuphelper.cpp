// What setup needs of Windows beyond its own script, run from its temporary folder:
//
//   setuphelper start <program>   starts the program as the user signed in at this
//                                 desktop, through the desktop shell, so that it gets
//                                 the shell's (unelevated) token and never the setup's.
//                                 Exit 0 started; 1 not started: setup runs as SYSTEM,
//                                 in session 0, or no desktop shell answers (the
//                                 user's logon start takes over).
//   setuphelper check <folder>    whether an installation there would be safe from the
//                                 other users of the computer: no existing folder on
//                                 the way to it may be renamed, deleted or
//                                 re-permissioned by anyone else (the folder itself is
//                                 protect's). Exit 0 safe, 5 open to others.
//   setuphelper protect <folder>  when others may change the folder or what it passes
//                                 on to its files, gives it an explicit, protected
//                                 list: SYSTEM and Administrators full control, Users
//                                 read and run. Exit 0 safe afterwards, 1 failed.
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

constexpr DWORD kWriteRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA |
                               FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC |
                               WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
// Enough to rename or replace a folder on the way, or to give oneself that right.
constexpr DWORD kRenameRights = DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;
constexpr DWORD kRenameChildRights = FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

const wchar_t* const kProtected = L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

struct Security {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    ~Security() {
        if (descriptor) LocalFree(descriptor);
    }
    bool Read(const std::wstring& path) {
        return GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                                     OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                     nullptr, &dacl, nullptr, &descriptor) == ERROR_SUCCESS;
    }
};

// Who may change what is installed anyway: the system, the administrators, the
// installer service, the owner of what an administrator creates, and the administrator
// running this setup.
bool Trusted(PSID sid) {
    static const WELL_KNOWN_SID_TYPE kTrusted[] = {WinLocalSystemSid, WinBuiltinAdministratorsSid,
                                                   WinCreatorOwnerSid};
    for (WELL_KNOWN_SID_TYPE type : kTrusted) {
        if (IsWellKnownSid(sid, type)) return true;
    }
    PSID installer = nullptr;
    if (ConvertStringSidToSidW(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",
                               &installer)) {
        const bool same = EqualSid(sid, installer) != FALSE;
        LocalFree(installer);
        if (same) return true;
    }
    bool self = false;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        std::vector<BYTE> buffer(256);
        DWORD size = 0;
        if (GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()),
                                &size))
            self = EqualSid(sid, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) != FALSE;
        CloseHandle(token);
    }
    return self;
}

// Whether anyone untrusted is granted any of the rights: on the object itself, or, with
// inherited set, also on what it passes on to new files and folders.
bool OthersMay(const Security& s, DWORD rights, bool inherited) {
    if (s.owner != nullptr && !Trusted(s.owner)) return true;  // an owner may rewrite the list
    if (s.dacl == nullptr) return true;                        // no list: everyone may
    for (DWORD i = 0; i < s.dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(s.dacl, i, &ace)) return true;
        const auto* header = static_cast<ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        if ((header->AceFlags & INHERIT_ONLY_ACE) != 0 && !inherited) continue;
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & rights) == 0) continue;
        if (!Trusted(const_cast<DWORD*>(&allowed->SidStart))) return true;
    }
    return false;
}

std::wstring Parent(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    if (slash == 2 && path[1] == L':') return path.size() > 3 ? path.substr(0, 3) : std::wstring();
    return path.substr(0, slash);
}

bool IsRoot(const std::wstring& path) { return path.size() == 3 && path[1] == L':'; }

std::wstring Trimmed(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

bool Exists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Every existing folder on the way to the installation folder: none may be renamed or
// re-permissioned by others, nor may others rename what lies in it. The installation
// folder itself is left to Protect.
int Check(const std::wstring& folder) {
    const std::wstring target = Trimmed(folder);
    for (std::wstring path = Parent(target); !path.empty(); path = Parent(path)) {
        if (!Exists(path)) continue;
        Security s;
        if (!s.Read(path)) return 5;
        if (!IsRoot(path) && OthersMay(s, kRenameRights, false)) return 5;
        if (OthersMay(s, kRenameChildRights, false)) return 5;
        if (IsRoot(path)) break;
    }
    return 0;
}

int Protect(const std::wstring& folder) {
    {
        Security s;
        if (s.Read(folder) && !OthersMay(s, kWriteRights, true)) return 0;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProtected, SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return 1;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    DWORD r = ERROR_INVALID_ACL;
    if (GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present) {
        std::vector<wchar_t> path(folder.begin(), folder.end());
        path.push_back(L'\0');
        r = SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, dacl, nullptr);
    }
    LocalFree(descriptor);
    if (r != ERROR_SUCCESS) return 1;
    Security s;
    return s.Read(folder) && !OthersMay(s, kWriteRights, true) ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count != 3) return 2;
    const std::wstring verb = args[1], path = args[2];
    LocalFree(args);
    if (verb == L"start") return Start(path);
    if (verb == L"check") return Check(path);
    if (verb == L"protect") return Protect(Trimmed(path));
    return 2;
}
