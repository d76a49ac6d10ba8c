// The macro buttons: fixed desktop actions, favourites opened through the shell, and
// the internet check before a web favourite.
#pragma once

#include <cstdint>
#include <string>

int MacroButtonAction(int slot, int32_t button);
int MacroAction(int32_t index);
int QuickLaunch(const std::string& text);
bool IsInternetReachable();

// The host the internet check connects to on port 80.
extern const char* const kInternetCheckHost;
