#include <windows.h>

#include "platform/win32/adapters.h"

namespace {

class Win32PowerImpl : public SystemPower {
public:
    OsVersion Version() override {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof(info);
        OsVersion v;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
        v.ok = GetVersionExA(&info) != FALSE;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        if (v.ok) {
            v.platformId = info.dwPlatformId;
            v.major = info.dwMajorVersion;
            v.minor = info.dwMinorVersion;
        }
        return v;
    }

    bool EnablePrivilege(const std::string& name) override {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
            return false;
        TOKEN_PRIVILEGES privileges{};
        bool ok = LookupPrivilegeValueA(nullptr, name.c_str(), &privileges.Privileges[0].Luid) != FALSE;
        if (ok) {
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            // AdjustTokenPrivileges succeeds even when it assigned nothing.
            ok = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE &&
                 GetLastError() == ERROR_SUCCESS;
        }
        CloseHandle(token);
        return ok;
    }

    bool SetSystemPowerState(bool suspend, bool force) override {
        return ::SetSystemPowerState(suspend ? TRUE : FALSE, force ? TRUE : FALSE) != FALSE;
    }

    bool ExitSystem(uint32_t flags) override { return ExitWindowsEx(flags, 0) != FALSE; }

    bool LowPowerActive() override { return QueryFlag(SPI_GETLOWPOWERACTIVE); }
    bool PowerOffActive() override { return QueryFlag(SPI_GETPOWEROFFACTIVE); }

    void SetDisplayRequired() override { SetThreadExecutionState(ES_DISPLAY_REQUIRED); }

private:
    static bool QueryFlag(UINT action) {
        BOOL on = FALSE;
        return SystemParametersInfoA(action, 0, &on, 0) != FALSE && on != FALSE;
    }
};

}  // namespace

SystemPower& Win32Power() {
    static Win32PowerImpl power;
    return power;
}
