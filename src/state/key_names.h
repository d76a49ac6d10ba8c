// The names of the keys: short in the trace ("PageUp", "Num0"), spelled out in the help
// ("Page Up", "Num 0", "Up arrow").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "Ctrl", "F5", "Num0"; "key 0x00A6" for a key without a name.
std::string KeyName(uint16_t virtualKey);
// "Ctrl", "F5", "Num 0", "Page Up"; "key 0xA6" for a key without a name.
std::string HelpKeyName(uint16_t virtualKey);

// The key's name in a profile file ("Period" where the trace shows "."); "" for a key a
// file cannot name.
std::string FileKeyName(uint16_t virtualKey);
// The key a profile file's name stands for, in any case and with the accepted second
// spellings ("Escape", "PgUp"); -1 when it names none.
int KeyFromFileName(std::string_view name);
