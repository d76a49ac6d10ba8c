// The decisions of setuphelper that need no Windows, so that the unit tests can make
// them too (tests/unit/setup_rules_test.cpp): whether an access list lets anyone but
// the administrators change a folder, which folders of a path are missing, and which
// folders of an install log the uninstaller may remove. setuphelper.cpp reads the
// system's lists and classifies the accounts in them; the rules live here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace setup_rules {

// --- Access lists --------------------------------------------------------------------

// The kinds of entry an access list can hold (the values of ACE_HEADER::AceType).
enum AceType : uint8_t {
    kAllowed = 0x0,
    kDenied = 0x1,
    kAllowedCompound = 0x4,
    kAllowedObject = 0x5,
    kDeniedObject = 0x6,
    kAllowedCallback = 0x9,
    kDeniedCallback = 0xA,
    kAllowedCallbackObject = 0xB,
    kDeniedCallbackObject = 0xC,
};
constexpr uint8_t kInheritOnly = 0x08;  // INHERIT_ONLY_ACE
constexpr uint8_t kObjectInherit = 0x01;
constexpr uint8_t kContainerInherit = 0x02;

// The rights (FILE_* and the generic and standard rights) that let someone change a folder
// or what is in it: add, rename, delete, re-permission or take it.
constexpr uint32_t kFileAddFile = 0x0002, kFileAddSubdirectory = 0x0004, kFileWriteEa = 0x0010,
                   kFileDeleteChild = 0x0040, kFileWriteAttributes = 0x0100, kDelete = 0x00010000,
                   kWriteDac = 0x00040000, kWriteOwner = 0x00080000, kMaximumAllowed = 0x02000000,
                   kGenericAll = 0x10000000, kGenericWrite = 0x40000000;
// Any change to the folder itself or to what it holds.
constexpr uint32_t kWriteRights = kFileAddFile | kFileAddSubdirectory | kFileWriteEa |
                                  kFileDeleteChild | kFileWriteAttributes | kDelete | kWriteDac |
                                  kWriteOwner | kGenericAll | kGenericWrite | kMaximumAllowed;
// Enough to rename or replace a folder on the way, or to give oneself that right.
constexpr uint32_t kRenameRights =
    kDelete | kWriteDac | kWriteOwner | kGenericAll | kMaximumAllowed;
// Enough to rename or replace what lies in a folder on the way.
constexpr uint32_t kRenameChildRights =
    kFileDeleteChild | kWriteDac | kWriteOwner | kGenericAll | kMaximumAllowed;

// Who an account is to setup: one that may change what is installed anyway (the system,
// the administrators, the installer service), or anyone else.
enum class Who { kTrusted, kOther };

struct Ace {
    uint8_t type = kAllowed;
    uint8_t flags = 0;
    uint32_t mask = 0;
    Who who = Who::kOther;  // the account the entry names, where its kind names one
};

struct Acl {
    bool present = true;  // false: no list at all, which lets everyone do everything
    std::vector<Ace> aces;
};

enum class Verdict {
    kSafe,
    kOwnedByOther,  // the owner may always rewrite the list
    kNoList,        // no list: everyone may
    kGranted,       // an entry grants an account setup does not trust one of the rights
    kUnknownEntry,  // an entry of a kind setup does not read, which could grant anything
};

struct Finding {
    Verdict verdict = Verdict::kSafe;
    size_t ace = 0;  // the entry, for kGranted and kUnknownEntry
};

// Whether anyone setup does not trust may use one of the rights: on the object itself,
// or, with inheritedToo, also on what it passes on to new files and folders. Entries
// that only deny are passed over (they can only take rights away); every other kind of
// entry that setup does not read field by field counts as one that grants.
Finding OthersMay(Who owner, const Acl& acl, uint32_t rights, bool inheritedToo);

// --- Paths ---------------------------------------------------------------------------

// "C:\A\B" -> "C:\A" -> "C:\" -> "".
std::wstring Parent(const std::wstring& path);
bool IsRoot(const std::wstring& path);
// Without the trailing backslashes (a root keeps its own).
std::wstring Trimmed(std::wstring path);
// A path setup installs into: a drive letter, a colon, a backslash, and folder names that
// are neither "." nor ".." nor hold a slash, a colon or a wildcard. Network paths and
// device paths are not taken.
bool IsPlainDrivePath(const std::wstring& path);
// The same folder, whatever the case of its ASCII letters and its trailing backslashes.
bool SamePath(const std::wstring& a, const std::wstring& b);

// The folders of path that are missing, outermost first, as `exists` sees them (a drive's
// root is never one: it cannot be made).
std::vector<std::wstring> MissingFolders(const std::wstring& path,
                                         const std::function<bool(const std::wstring&)>& exists);

// --- The install log -----------------------------------------------------------------

// The lines of a UTF-16LE text (with or without its byte order mark), without their line
// ends. Every code unit is kept as one wchar_t.
std::vector<std::wstring> LogLines(const std::string& bytes);
std::string LogBytes(const std::vector<std::wstring>& lines);  // with the mark, CR LF ends

// The folders the uninstaller may remove, innermost first: the "folder|" lines that name
// installDir, installDir\Docs, installDir\Profiles or a folder above installDir (setup
// made those, and logged them outermost first). Every other line is passed over, whatever it names:
// the log must not be able to point the administrator's uninstaller at other folders.
std::vector<std::wstring> FoldersToRemove(const std::vector<std::wstring>& logLines,
                                          const std::wstring& installDir);

}  // namespace setup_rules
