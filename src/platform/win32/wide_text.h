// The core keeps text as UTF-8 in std::string; the system's wide (UTF-16) calls take it
// at the boundary, so that a path in any script survives the round trip.
#pragma once

#include <string>

// UTF-8 to UTF-16. Text that is not valid UTF-8 (a value some other program wrote
// through an ANSI call) is read in the system's ANSI code page instead, as it was meant.
std::wstring Widen(const std::string& text);
// UTF-16 to UTF-8; embedded terminators are kept.
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text, size_t length);

// Makes the folder of a UTF-8 path and every missing folder above it; true when it
// exists afterwards. The drive's root and a "\\server" prefix are never made.
bool MakeFolderPath(const std::string& path);
