#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/win32/adapters.h"
#include "platform/win32/wide_text.h"

namespace {

const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }

class Win32ShellImpl : public Shell {
public:
    intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int32_t show) override {
        const std::wstring wideVerb = Widen(verb), wideFile = Widen(file),
                           wideParameters = Widen(parameters), wideDirectory = Widen(directory);
        HINSTANCE result =
            ShellExecuteW(reinterpret_cast<HWND>(owner), OrNull(wideVerb), wideFile.c_str(),
                          OrNull(wideParameters), OrNull(wideDirectory), show);
        return reinterpret_cast<intptr_t>(result);
    }

    std::string ModulePath() override {
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            const DWORD n =
                GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0) return std::string();
            if (n < buffer.size() || buffer.size() >= 32768) return Narrow(buffer.data(), n);
            buffer.resize(buffer.size() * 2);
        }
    }
};

}  // namespace

Shell& Win32Shell() {
    static Win32ShellImpl shell;
    return shell;
}
