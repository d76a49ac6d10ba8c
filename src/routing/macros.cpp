#include "routing/macros.h"

const char* const kInternetCheckHost = "";
int MacroButtonAction(int, int32_t) { return 1; }
int MacroAction(int32_t) { return 1; }
int QuickLaunch(const std::string&) { return 0; }
bool IsInternetReachable() { return false; }
