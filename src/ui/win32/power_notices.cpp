#include "ui/win32/power_notices.h"

#include "platform/win32/system_dlls.h"

#include <string>

namespace {

// Looked up at run time: the program runs on Windows 7, which has neither.
using RegisterSuspendResume = HPOWERNOTIFY(WINAPI*)(HANDLE, DWORD);
using UnregisterSuspendResume = BOOL(WINAPI*)(HPOWERNOTIFY);
// CallNtPowerInformation, from a library the program does not import.
using PowerInformation = LONG(WINAPI*)(int, PVOID, ULONG, PVOID, ULONG);
constexpr int kPlatformInformation = 61;  // POWER_INFORMATION_LEVEL PlatformInformation
struct PowerPlatformInformation {
    BOOLEAN aoac;
};
// GUID_CONSOLE_DISPLAY_STATE (Windows 8), named here so no library must provide it.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0,
                                       {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

FARPROC User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 == nullptr ? nullptr : GetProcAddress(user32, name);
}

}  // namespace

const GUID kConsoleDisplayStateSetting = kConsoleDisplayState;

void PowerNotices::Register(HWND window) {
    Unregister();
    if (auto reg = reinterpret_cast<RegisterSuspendResume>(
            reinterpret_cast<void*>(User32Function("RegisterSuspendResumeNotification")))) {
        suspendResume_ = reg(window, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    displayState_ =
        RegisterPowerSettingNotification(window, &kConsoleDisplayState,
                                         DEVICE_NOTIFY_WINDOW_HANDLE);
}

void PowerNotices::Unregister() {
    if (suspendResume_ != nullptr) {
        if (auto unreg = reinterpret_cast<UnregisterSuspendResume>(
                reinterpret_cast<void*>(User32Function("UnregisterSuspendResumeNotification"))))
            unreg(suspendResume_);
        suspendResume_ = nullptr;
    }
    if (displayState_ != nullptr) {
        UnregisterPowerSettingNotification(displayState_);
        displayState_ = nullptr;
    }
}

bool PowerNotices::SleepsWithDisplay() {
    // By its full path in the system folder, never found by a search a planted file could
    // answer.
    HMODULE powrprof = LoadSystemDll(L"powrprof.dll");
    if (powrprof == nullptr) return false;
    bool aoac = false;
    if (auto query = reinterpret_cast<PowerInformation>(
            reinterpret_cast<void*>(GetProcAddress(powrprof, "CallNtPowerInformation")))) {
        PowerPlatformInformation info{};
        // Older systems do not know the level and fail: they have no modern standby.
        if (query(kPlatformInformation, nullptr, 0, &info, sizeof info) == 0) aoac = info.aoac != 0;
    }
    FreeLibrary(powrprof);
    return aoac;
}

bool ConsoleDisplayState(LPARAM lParam, bool& on) {
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (setting == nullptr || !IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
        setting->DataLength < sizeof(DWORD))
        return false;
    DWORD state = 0;
    CopyMemory(&state, setting->Data, sizeof state);
    on = state != 0;  // 0 off, 1 on, 2 dimmed
    return true;
}
