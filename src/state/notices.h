// Notes for the user that the layers below the shell raise (a program the remote cannot
// reach, the receiver coming and going) and the shell shows as a tray balloon.
#pragma once

#include <string>

using NoticeSink = void (*)(const std::string& text);
// Installed by the shell at start-up; without one, notices go nowhere.
void SetNoticeSink(NoticeSink sink);
void Notice(const std::string& text);

// The pattern with every "%s" replaced by the value.
std::string FillIn(const char* pattern, const std::string& value);
