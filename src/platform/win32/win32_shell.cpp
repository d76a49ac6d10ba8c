#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/win32/adapters.h"

namespace {

const char* OrNull(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

class Win32ShellImpl : public Shell {
public:
    intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int32_t show) override {
        HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(owner), OrNull(verb), file.c_str(),
                                         OrNull(parameters), OrNull(directory), show);
        return reinterpret_cast<intptr_t>(result);
    }

    std::string ModulePath() override {
        std::vector<char> buffer(MAX_PATH);
        for (;;) {
            const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0) return std::string();
            if (n < buffer.size()) return std::string(buffer.data(), n);
            if (buffer.size() >= 32768) return std::string(buffer.data(), n);
            buffer.resize(buffer.size() * 2);
        }
    }
};

}  // namespace

Shell& Win32Shell() {
    static Win32ShellImpl shell;
    return shell;
}
