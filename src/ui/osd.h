// The on-screen display: a short panel that tells the person at the screen what each
// accepted press did ("Play · VLC", "Volume 45%", "Power · Standby"), and nothing for a
// press that did nothing. Its words are made from the facts of the routing trace's
// record of the code, the same facts the trace line is made from, so the panel and the
// line of one press never disagree. The records are built only while the display is on;
// the reader thread makes the words and wakes the user-interface thread, which draws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct TraceRecord;

struct OsdPanel {
    std::string text;    // UTF-8
    int32_t level = -1;  // 0..100: a bar under the text (the volume); -1 none

    bool operator==(const OsdPanel& other) const {
        return text == other.text && level == other.level;
    }
};

// What the panel says about a code (or about the letter-entry timer's record); nothing
// for a code that matched no button, a held button the repeat filter swallowed, a press
// that did nothing, or one the unsupported-program warning has just told about.
std::optional<OsdPanel> OsdPanelFor(const TraceRecord& record);

// "Volume Up", "Fast Forward", "OK", "5", "Macro 2".
std::string FriendlyButtonName(int32_t button);
// A program's name for people, from its file name or path: "vlc.exe" gives "VLC"; a
// program without a known name keeps its file name without ".exe".
std::string FriendlyProgramName(const std::string& fileOrPath);

// On: the records are built and each accepted press leaves its panel for the user
// interface. Off: the press pays one relaxed load, as with nobody watching the trace.
void SetOnScreenDisplay(bool on);
bool OnScreenDisplayOn();
// Follows the settings record's OnScreenDisplay value (after a load, on the page).
void ApplyOnScreenDisplaySetting();

// Called on the reader thread after a panel was left; must only post (the window's
// PostMessage). Installed by the user interface.
using OsdWake = void (*)();
void SetOsdWake(OsdWake wake);
// The latest panel left since the last call, taken by the user-interface thread.
std::optional<OsdPanel> TakeOsdPanel();
