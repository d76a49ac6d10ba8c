// The macro buttons: fixed desktop actions, favourites opened through the shell, and
// the internet check before a web favourite.
#pragma once

#include <cstdint>
#include <string>

// slot 1..4; button is the macro button pressed.
int MacroButtonAction(int slot, int32_t button);
// Index 1..9 of the macro-action list; 0 only when there is no settings record.
int MacroAction(int32_t index);
// Handled when the shell accepted the favourite.
int QuickLaunch(const std::string& text);

// Whether port 80 of kInternetCheckHost answers, waiting at most kInternetCheckLimitMs.
bool IsInternetReachable();
// The same with another limit. The probe thread is abandoned at the limit; it then
// finishes on its own and touches only state it shares with nobody's stack.
bool IsInternetReachableWithin(uint32_t limitMs);
// Blocks until every probe thread started so far has ended (tests).
void WaitForInternetProbes();
// The same for at most limitMs (the end of the process); true when none runs any more.
// A probe still running then was abandoned already: it holds no registry key and
// touches only the state it shares with nobody.
bool WaitForInternetProbesFor(uint32_t limitMs);

// The host the internet check connects to on port 80.
extern const char* const kInternetCheckHost;
constexpr uint16_t kInternetCheckPort = 80;
constexpr uint32_t kInternetCheckLimitMs = 10000;
constexpr const char* kInternetSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kEnableAutodialValue = "EnableAutodial";

// The favourite without white space at either end.
std::string TrimFavorite(const std::string& text);
// "www." or "http:" at the very start, case as written.
bool IsWebFavorite(const std::string& trimmed);
// File and parameters of a trimmed, non-web favourite.
void SplitFavorite(const std::string& trimmed, std::string& file, std::string& parameters);
// The message for a shell result of 32 or less.
const char* QuickLaunchErrorText(intptr_t result);

constexpr const char* kOfflineWarningText =
    "Error: You have tried to use a Macro QuickLaunch button that requires an Internet "
    "connection.\nHowever it appears that you are not connected to the Internet.";
constexpr const char* kWarningCaption = "Orbiscope Remote Warning";
constexpr const char* kErrorCaption = "Orbiscope Remote Error";

// Macro-action indices.
constexpr int32_t kMacroQuickLaunch = 0, kMacroToggleMouseMode = 1, kMacroAltEsc = 2,
                  kMacroAltTab = 3, kMacroAltEnter = 4, kMacroStartMenu = 5,
                  kMacroBrowserForward = 6, kMacroMceBack = 7, kMacroMceStart = 8,
                  kMacroMceDetails = 9;
constexpr intptr_t kAppCommandBrowserForward = 0x10020000;
constexpr intptr_t kAppCommandBrowserBackward = 0x10010000;
