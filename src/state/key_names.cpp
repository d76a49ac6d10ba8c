#include "state/key_names.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/vk.h"

namespace {

struct NamedKey {
    uint16_t key;
    const char* trace;  // null: the trace shows the code
    const char* help;   // null: the help shows the code
    // A profile file writes a word where the trace shows a character; null: as the
    // trace, "": a file cannot name the key.
    const char* file = nullptr;
    const char* fileAlias = nullptr;  // a second spelling a file may use
};

constexpr NamedKey kNamedKeys[] = {
    {vk::BACK, "Backspace", "Backspace"},
    {vk::TAB, "Tab", "Tab"},
    {vk::RETURN, "Enter", "Enter", nullptr, "Return"},
    {vk::SHIFT, "Shift", "Shift"},
    {vk::CONTROL, "Ctrl", "Ctrl"},
    {vk::MENU, "Alt", "Alt"},
    {vk::PAUSE, "Pause", "Pause"},
    {vk::ESCAPE, "Esc", "Esc", nullptr, "Escape"},
    {vk::SPACE, "Space", "Space"},
    {vk::PRIOR, "PageUp", "Page Up", nullptr, "PgUp"},
    {vk::NEXT, "PageDown", "Page Down", nullptr, "PgDn"},
    {vk::END, "End", "End"},
    {vk::HOME, "Home", "Home"},
    {vk::LEFT, "Left", "Left arrow"},
    {vk::UP, "Up", "Up arrow"},
    {vk::RIGHT, "Right", "Right arrow"},
    {vk::DOWN, "Down", "Down arrow"},
    {vk::INSERT, "Insert", "Insert"},
    {vk::DELETE_, "Delete", "Delete"},
    {vk::LWIN, "Win", "Windows key"},
    {0x5C, "RightWin", nullptr, ""},
    {vk::APPS, "Menu", "Menu key"},
    {vk::MULTIPLY, "Num*", "Num *", "NumMultiply"},
    {vk::ADD, "Num+", "Num +", "NumAdd"},
    {vk::SUBTRACT, "Num-", "Num -", "NumSubtract"},
    {vk::DECIMAL, "Num.", "Num .", "NumDecimal"},
    {vk::DIVIDE, "Num/", "Num /", "NumDivide"},
    {0xA6, nullptr, "Browser Back key", "BrowserBack"},
    {0xA7, nullptr, "Browser Forward key", "BrowserForward"},
    {0xA8, nullptr, "Browser Refresh key", "BrowserRefresh"},
    {vk::VOLUME_MUTE, "VolumeMute", "Mute key"},
    {vk::VOLUME_DOWN, "VolumeDown", "Volume Down key"},
    {vk::VOLUME_UP, "VolumeUp", "Volume Up key"},
    {vk::MEDIA_NEXT_TRACK, "NextTrack", "Next Track media key"},
    {vk::MEDIA_PREV_TRACK, "PreviousTrack", "Previous Track media key"},
    {vk::MEDIA_STOP, "MediaStop", "Stop media key"},
    {vk::MEDIA_PLAY_PAUSE, "Play/Pause", "Play/Pause media key"},
    {vk::OEM_1, ";", ";", "Semicolon"},
    {vk::OEM_PLUS, "=", "=", "Equals"},
    {vk::OEM_COMMA, ",", ",", "Comma"},
    {vk::OEM_MINUS, "-", "-", "Minus"},
    {vk::OEM_PERIOD, ".", ".", "Period"},
    {vk::OEM_2, "/", "/", "Slash"},
    {vk::OEM_3, "`", "`", "Backquote"},
    {vk::OEM_4, "[", "[", "LeftBracket"},
    {vk::OEM_5, "\\", "\\", "Backslash"},
    {vk::OEM_6, "]", "]", "RightBracket"},
    {vk::OEM_7, "'", "'", "Quote"},
};

std::string Name(uint16_t k, bool help) {
    if ((k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z'))
        return std::string(1, static_cast<char>(k));
    if (k >= vk::F1 && k <= vk::F1 + 23) return "F" + std::to_string(k - vk::F1 + 1);
    if (k >= vk::NUMPAD0 && k <= vk::NUMPAD9)
        return (help ? "Num " : "Num") + std::to_string(k - vk::NUMPAD0);
    for (const NamedKey& named : kNamedKeys) {
        const char* name = help ? named.help : named.trace;
        if (named.key == k && name != nullptr) return name;
    }
    char code[16];
    std::snprintf(code, sizeof code, help ? "0x%X" : "0x%04X", static_cast<unsigned>(k));
    return std::string("key ") + code;
}

bool SameLetters(std::string_view a, const char* b) {
    if (b == nullptr || a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// "F7" gives 7, "Num12" with prefix "Num" gives 12; -1 for anything else.
int NumberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 2) return -1;
    if (!SameLetters(name.substr(0, prefix.size()), std::string(prefix).c_str())) return -1;
    int n = 0;
    for (const char c : name.substr(prefix.size())) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return name[prefix.size()] == '0' && name.size() > prefix.size() + 1 ? -1 : n;
}

}  // namespace

std::string KeyName(uint16_t virtualKey) { return Name(virtualKey, false); }

std::string FileKeyName(uint16_t k) {
    if ((k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z') || (k >= vk::F1 && k <= vk::F1 + 23))
        return Name(k, false);
    if (k >= vk::NUMPAD0 && k <= vk::NUMPAD9) return Name(k, false);
    for (const NamedKey& named : kNamedKeys) {
        if (named.key != k) continue;
        const char* name = named.file != nullptr ? named.file : named.trace;
        return name != nullptr ? name : "";
    }
    return "";
}

int KeyFromFileName(std::string_view name) {
    if (name.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return c;
    }
    if (const int f = NumberAfter(name, "F"); f >= 1 && f <= 24) return vk::F1 + f - 1;
    if (const int n = NumberAfter(name, "Num"); n >= 0 && n <= 9) return vk::NUMPAD0 + n;
    for (const NamedKey& named : kNamedKeys) {
        const char* spelling = named.file != nullptr ? named.file : named.trace;
        if (spelling == nullptr || spelling[0] == '\0') continue;
        if (SameLetters(name, spelling) || SameLetters(name, named.fileAlias)) return named.key;
    }
    return -1;
}
std::string HelpKeyName(uint16_t virtualKey) { return Name(virtualKey, true); }
