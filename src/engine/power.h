// The power button and the screen-saver wake-up.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

// Always handled.
int PowerAction(int32_t button);
void ScreenSaverWakeUp();
// The first process in a new snapshot whose lower-cased file name contains part; 0 if none.
ProcessId ProcessIdByName(const std::string& part);

// PowerButtonMode values; anything else starts the screen saver.
constexpr int32_t kPowerStandby = 0, kPowerHibernate = 1, kPowerShutdown = 2,
                  kPowerScreenSaver = 3;

constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";
constexpr const char* kScreenSaverDesktop = "Screen-saver";
constexpr uint32_t kScreenSaverDesktopAccess = 0x81;  // DESKTOP_READOBJECTS | DESKTOP_WRITEOBJECTS
constexpr const char* kScreenSaverClass = "WindowsScreenSaverClass";
constexpr const char* kDefaultScreenSaverClass = "Default Screen Saver";

// ExitWindowsEx flags.
constexpr uint32_t kExitShutdown = 0x1, kExitForce = 0x4, kExitPowerOff = 0x8;

// Windows 98 and Me: the non-NT platform with version 4.10 or 4.90.
bool IsWindows98OrMe(const OsVersion& v);
