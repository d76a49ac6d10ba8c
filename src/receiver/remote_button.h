// The 42 buttons of the remote. The numbers travel to plug-in windows as wParam,
// so they are an external interface and never change.
#pragma once

#include <cstdint>

enum RemoteButton : int32_t {
    Power = 0,
    VolumeUp = 1,
    VolumeDown = 2,
    Mute = 3,
    ChannelUp = 4,
    ChannelDown = 5,
    Play = 6,
    Pause = 7,
    Stop = 8,
    Record = 9,
    Previous = 10,
    Next = 11,
    Rewind = 12,
    FastForward = 13,
    Up = 14,
    Down = 15,
    Left = 16,
    Right = 17,
    Ok = 18,
    Menu = 19,
    Exit = 20,
    Digit1 = 21,
    Digit2 = 22,
    Digit3 = 23,
    Digit4 = 24,
    Digit5 = 25,
    Digit6 = 26,
    Digit7 = 27,
    Digit8 = 28,
    Digit9 = 29,
    Digit0 = 30,
    MacroButton1 = 31,
    MacroButton2 = 32,
    MacroButton3 = 33,
    MacroButton4 = 34,
    Extra35 = 35,
    Extra36 = 36,
    Extra37 = 37,
    Extra38 = 38,
    Extra39 = 39,
    Extra40 = 40,
    Extra41 = 41,
};

constexpr int32_t kButtonCount = 42;

// The button's name as the table gives it ("Power", "VolumeUp", ..., "Extra41");
// "" for an id outside 0..41.
const char* RemoteButtonName(int32_t id);

// The id of a name (case-sensitive), or -1.
int32_t RemoteButtonFromName(const char* name);

constexpr bool IsArrowButton(int32_t b) { return b == Up || b == Down || b == Left || b == Right; }
