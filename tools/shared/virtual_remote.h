// The remote as the virtual receiver plays it: presses written as button names become
// frames with the remote's rhythm and toggle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A held button sends one frame about every 114 ms, always with the same variant; a
// new press sends the other variant.
constexpr uint32_t kFramePeriodMs = 114;

struct RemoteFrame {
    int32_t id = 0;
    int32_t variant = 1;
    uint32_t atMs = 0;  // from the first frame
    // Non-zero: only this many bytes of the frame go out, and the receiver is unplugged
    // right after them (the last frame of a script only).
    uint32_t cutAfter = 0;
    // Non-empty: these duration values go out instead of a button's code (a made-up
    // code of another remote, or its repeat frame).
    std::vector<uint8_t> values;
};

struct PressScript {
    std::vector<RemoteFrame> frames;
    std::string error;  // empty when every word was understood
};

// One word per press: NAME (a button name in any case, or its id), optionally followed
// by :hold=DURATION, :frames=N, :variant=1|2, :cut=BYTES (the last frame stops after
// that many bytes and the receiver is unplugged; nothing may follow); or pause=DURATION
// between presses; or jitter=DURATION (below 114 ms): from there on, each frame of a
// held press comes that much sooner or later than the remote's spacing, at random, and
// seed=N picks the random sequence (0 without a seed word), so a script replays exactly.
// A press of another remote: raw=VALUES, its duration values as digits 1-9
// ("9944121212121212") or as numbers 1-255 with commas ("200,100,12,12,12,40"),
// optionally followed by :hold=DURATION or :frames=N, :repeat=VALUES (the frame that
// follows the first while it is held; without it the code itself repeats) and
// :every=DURATION (the spacing of its frames, 114 ms unless given).
// Durations are "600ms", "1.5s" or a number of milliseconds. firstVariant is the
// variant of the first press that does not name one.
PressScript BuildPressScript(const std::vector<std::string>& words, int32_t firstVariant = 1);

// The button of a name (any case) or a decimal id 0..41; -1 when none.
int32_t ParseButton(const std::string& word);
// Milliseconds of a duration word; false when it is not one.
bool ParseDurationMs(const std::string& word, uint32_t& ms);
// Duration values as raw= and :repeat= give them; false when the word is none.
bool ParseRawValues(const std::string& word, std::vector<uint8_t>& values);
