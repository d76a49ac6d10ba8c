#include "platform/win32/wide_text.h"

#include <windows.h>

namespace {

std::wstring Decode(UINT codePage, DWORD flags, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), length, out.data(), n);
    return out;
}

}  // namespace

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    std::wstring wide = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    if (!wide.empty()) return wide;
    return Decode(CP_ACP, 0, text);
}

std::string Narrow(const wchar_t* text, size_t length) {
    if (length == 0) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }

bool MakeFolderPath(const std::string& path) {
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
        if (at == 0 || path[at - 1] == ':' || path[at - 1] == '\\') continue;
        CreateDirectoryW(Widen(path.substr(0, at)).c_str(), nullptr);
    }
    const std::wstring wide = Widen(path);
    CreateDirectoryW(wide.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
