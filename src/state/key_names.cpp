#include "state/key_names.h"

#include <cstdio>

#include "platform/vk.h"

namespace {

struct NamedKey {
    uint16_t key;
    const char* trace;  // null: the trace shows the code
    const char* help;   // null: the help shows the code
};

constexpr NamedKey kNamedKeys[] = {
    {vk::BACK, "Backspace", "Backspace"},
    {vk::TAB, "Tab", "Tab"},
    {vk::RETURN, "Enter", "Enter"},
    {vk::SHIFT, "Shift", "Shift"},
    {vk::CONTROL, "Ctrl", "Ctrl"},
    {vk::MENU, "Alt", "Alt"},
    {vk::PAUSE, "Pause", "Pause"},
    {vk::ESCAPE, "Esc", "Esc"},
    {vk::SPACE, "Space", "Space"},
    {vk::PRIOR, "PageUp", "Page Up"},
    {vk::NEXT, "PageDown", "Page Down"},
    {vk::END, "End", "End"},
    {vk::HOME, "Home", "Home"},
    {vk::LEFT, "Left", "Left arrow"},
    {vk::UP, "Up", "Up arrow"},
    {vk::RIGHT, "Right", "Right arrow"},
    {vk::DOWN, "Down", "Down arrow"},
    {vk::INSERT, "Insert", "Insert"},
    {vk::DELETE_, "Delete", "Delete"},
    {vk::LWIN, "Win", "Windows key"},
    {0x5C, "RightWin", nullptr},
    {vk::APPS, "Menu", "Menu key"},
    {vk::MULTIPLY, "Num*", "Num *"},
    {vk::ADD, "Num+", "Num +"},
    {vk::SUBTRACT, "Num-", "Num -"},
    {vk::DECIMAL, "Num.", "Num ."},
    {vk::DIVIDE, "Num/", "Num /"},
    {0xA6, nullptr, "Browser Back key"},
    {0xA7, nullptr, "Browser Forward key"},
    {vk::VOLUME_MUTE, "VolumeMute", "Mute key"},
    {vk::VOLUME_DOWN, "VolumeDown", "Volume Down key"},
    {vk::VOLUME_UP, "VolumeUp", "Volume Up key"},
    {vk::MEDIA_NEXT_TRACK, "NextTrack", "Next Track media key"},
    {vk::MEDIA_PREV_TRACK, "PreviousTrack", "Previous Track media key"},
    {vk::MEDIA_STOP, "MediaStop", "Stop media key"},
    {vk::MEDIA_PLAY_PAUSE, "Play/Pause", "Play/Pause media key"},
    {vk::OEM_1, ";", ";"},
    {vk::OEM_PLUS, "=", "="},
    {vk::OEM_COMMA, ",", ","},
    {vk::OEM_MINUS, "-", "-"},
    {vk::OEM_PERIOD, ".", "."},
    {vk::OEM_2, "/", "/"},
    {vk::OEM_3, "`", "`"},
    {vk::OEM_4, "[", "["},
    {vk::OEM_5, "\\", "\\"},
    {vk::OEM_6, "]", "]"},
    {vk::OEM_7, "'", "'"},
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

}  // namespace

std::string KeyName(uint16_t virtualKey) { return Name(virtualKey, false); }
std::string HelpKeyName(uint16_t virtualKey) { return Name(virtualKey, true); }
