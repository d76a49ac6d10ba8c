#include "setup_rules.h"

#include <algorithm>

namespace setup_rules {

Finding OthersMay(Who owner, const Acl& acl, uint32_t rights, bool inheritedToo) {
    if (owner != Who::kTrusted) return {Verdict::kOwnedByOther, 0};
    if (!acl.present) return {Verdict::kNoList, 0};
    for (size_t i = 0; i < acl.aces.size(); ++i) {
        const Ace& ace = acl.aces[i];
        switch (ace.type) {
            case kDenied:
            case kDeniedObject:
            case kDeniedCallback:
            case kDeniedCallbackObject: continue;  // takes rights away, never gives any
            case kAllowed:
            case kAllowedObject:
            case kAllowedCallback:
            case kAllowedCallbackObject: break;
            default:
                // A compound entry, or one of a kind that came after this was written:
                // whatever it grants, and to whom, is not read here.
                return {Verdict::kUnknownEntry, i};
        }
        const bool inheritOnly = (ace.flags & kInheritOnly) != 0;
        if (inheritOnly && !inheritedToo) continue;
        // An inherit-only entry that passes nothing on grants nothing.
        if (inheritOnly && (ace.flags & (kObjectInherit | kContainerInherit)) == 0) continue;
        if ((ace.mask & rights) == 0) continue;
        if (ace.who != Who::kTrusted) return {Verdict::kGranted, i};
    }
    return {};
}

std::wstring Parent(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return std::wstring();
    if (slash == 2 && path.size() > 1 && path[1] == L':')
        return path.size() > 3 ? path.substr(0, 3) : std::wstring();
    return path.substr(0, slash);
}

bool IsRoot(const std::wstring& path) {
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

std::wstring Trimmed(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

bool IsPlainDrivePath(const std::wstring& path) {
    if (path.size() < 3) return false;
    const wchar_t drive = path[0];
    if (!((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z'))) return false;
    if (path[1] != L':' || path[2] != L'\\') return false;
    size_t start = 3;
    while (start < path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring name = path.substr(start, end - start);
        if (name.empty() && end != path.size()) return false;  // "C:\A\\B"
        if (name == L"." || name == L"..") return false;
        for (wchar_t c : name) {
            if (c < 0x20 || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' ||
                c == L'<' || c == L'>' || c == L'|')
                return false;
        }
        start = end + 1;
    }
    return true;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const std::wstring x = Trimmed(a), y = Trimmed(b);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
        wchar_t p = x[i], q = y[i];
        if (p >= L'a' && p <= L'z') p = static_cast<wchar_t>(p - L'a' + L'A');
        if (q >= L'a' && q <= L'z') q = static_cast<wchar_t>(q - L'a' + L'A');
        if (p != q) return false;
    }
    return true;
}

std::vector<std::wstring> MissingFolders(const std::wstring& path,
                                         const std::function<bool(const std::wstring&)>& exists) {
    std::vector<std::wstring> missing;
    for (std::wstring p = Trimmed(path); !p.empty() && !IsRoot(p) && !exists(p); p = Parent(p))
        missing.push_back(p);
    std::reverse(missing.begin(), missing.end());
    return missing;
}

std::vector<std::wstring> LogLines(const std::string& bytes) {
    size_t i = 0;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        i = 2;
    std::vector<std::wstring> lines;
    std::wstring line;
    bool any = false;
    for (; i + 1 < bytes.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                               (static_cast<unsigned char>(bytes[i + 1]) << 8));
        any = true;
        if (c == L'\n') {
            if (!line.empty() && line.back() == L'\r') line.pop_back();
            lines.push_back(line);
            line.clear();
            any = false;
        } else {
            line.push_back(c);
        }
    }
    if (any) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string LogBytes(const std::vector<std::wstring>& lines) {
    std::string bytes = "\xFF\xFE";
    auto put = [&bytes](wchar_t c) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    };
    for (const std::wstring& line : lines) {
        for (wchar_t c : line) put(c);
        put(L'\r');
        put(L'\n');
    }
    return bytes;
}

std::vector<std::wstring> FoldersToRemove(const std::vector<std::wstring>& logLines,
                                          const std::wstring& installDir) {
    const std::wstring install = Trimmed(installDir);
    std::vector<std::wstring> allowed;
    if (!IsPlainDrivePath(install) || IsRoot(install)) return {};
    allowed.push_back(install + L"\\Docs");
    allowed.push_back(install + L"\\Profiles");
    for (std::wstring p = install; !p.empty() && !IsRoot(p); p = Parent(p)) allowed.push_back(p);

    const std::wstring prefix = L"folder|";
    std::vector<std::wstring> folders;
    for (const std::wstring& line : logLines) {
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        const std::wstring named = line.substr(prefix.size());
        if (!IsPlainDrivePath(named)) continue;
        for (const std::wstring& a : allowed) {
            if (!SamePath(named, a)) continue;
            const bool twice = std::any_of(folders.begin(), folders.end(),
                                           [&a](const std::wstring& f) { return f == a; });
            if (!twice) folders.push_back(a);
            break;
        }
    }
    // Docs and Profiles lie inside the install folder, which lies inside the rest: the
    // longer path is the inner one.
    std::stable_sort(
        folders.begin(), folders.end(),
        [](const std::wstring& x, const std::wstring& y) { return x.size() > y.size(); });
    return folders;
}

}  // namespace setup_rules
