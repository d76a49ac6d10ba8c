// Keystroke tables, rows 71-104: DVD and video players, audio jukeboxes, a DJ
// program, TV/radio tuner programs and an image browser. Each table lists only
// what the program binds; where a program's own key list could not be
// established, only the keys that its kind of program conventionally uses
// (Space, arrows, Enter, Escape, digits) are mapped and the rest are left to
// the generic defaults.
#include "profiles/keymaps/keymaps.h"

namespace keymaps {
using namespace keys;

namespace {

// DVD receiver front end (dvdreceiver.exe): no key list found. A disc player's
// conventions only: Space toggles playback, arrows and Enter drive the disc
// menus, Escape leaves full screen.
constexpr ButtonKeys kDvdReceiver[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Menu, {K(vk::APPS)}},  // the player's context menu with its disc options
};

// DVD player (dvdplayer.exe): no key list found. Space for play/pause, arrows
// and Enter for the disc menus; full screen is left to the window's own handling.
constexpr ButtonKeys kDvdPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

// OtsTurntables (otstt.exe), the two-deck DJ mixer. Its playlist is taken
// to be an ordinary list (Delete removes an entry); no deck hot keys were
// found, so only the list is driven: arrows move, Page Up/Down page, Enter
// picks. The transport buttons keep the multimedia keys.
constexpr ButtonKeys kOtsTurntables[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// Nice media center shell (nicemc.exe): no key list found. Ten-foot shell
// conventions: arrows and Enter to browse, Page Up/Down to page lists, Space
// for play/pause, Escape to go back.
constexpr ButtonKeys kNiceMc[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Menu, {K(vk::HOME)}},  // Home: the shell's main screen
};

// HotWire player (hotwire.exe): no key list found. A jukebox's conventions:
// Space for play/pause, Up/Down and Page Up/Down through the track list, Enter
// plays the selected entry.
constexpr ButtonKeys kHotWire[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K(vk::APPS)}},  // the context menu of the selected track
};

// GDivX Player (gdivx player.exe): no key list found. A video player's
// conventions: Space play/pause, Left/Right arrows seek, Escape leaves full
// screen.
constexpr ButtonKeys kGDivX[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// Media Player Classic (mplayerc.exe): keys assumed to be its default
// accelerators. Space play/pause, '.' stop, Page Up/Down previous/next
// (chapter or file), Ctrl+Page Up/Down previous/next playlist item,
// Ctrl+Left/Right jump backward/forward (medium), Up/Down volume, Alt+Enter
// full screen; Left/Right are frame steps, so they keep their plain arrows.
// Escape leaves full screen.
constexpr ButtonKeys kMediaPlayerClassic[] = {
    {ChannelUp, {Ctrl(vk::NEXT)}},
    {ChannelDown, {Ctrl(vk::PRIOR)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::OEM_PERIOD)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Rewind, {Ctrl(vk::LEFT)}},
    {FastForward, {Ctrl(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Menu, {Alt(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// CorePlayer (coreplayer.exe): no desktop key list found. Space play/pause,
// Left/Right arrows seek, Up/Down and Enter in its file lists.
constexpr ButtonKeys kCorePlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// PlayCDG karaoke player (playcdgpe.exe): no key list found. Space
// play/pause, Up/Down and Enter in the song list, Escape closes the full-screen
// lyrics window.
constexpr ButtonKeys kPlayCdg[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// CD Max audio CD player (cdmax.exe): no key list found. Its track list
// plays the selected track on Enter; Space pauses; Up/Down move.
constexpr ButtonKeys kCdMax[] = {
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},  // closes its dialogs
};

// Cinematograph DVD/video player (cinematograph.exe): no key list found.
// Space play/pause, arrows and Enter in disc menus, Escape leaves full screen;
// Left/Right double as seek.
constexpr ButtonKeys kCinematograph[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

// AX CD player (axcdplay.exe): no key list found. Space play/pause, Up/Down
// and Enter in the track list.
constexpr ButtonKeys kAxCdPlay[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    // Home and End jump to the first and last track of the list.
    {Previous, {K(vk::HOME)}},
    {Next, {K(vk::END)}},
};

// Virtuosa jukebox (virtuosa.exe): no key list found. Its library is a list:
// Up/Down and Page Up/Down move, Enter plays the selected track, Space pauses.
constexpr ButtonKeys kVirtuosa[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// RadLight (radlight.exe): no key list found. A video player's conventions:
// Space play/pause, arrows, Enter, Escape to leave full screen.
constexpr ButtonKeys kRadLight[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Menu, {Alt(vk::RETURN)}},
};

// SageTV (server, studio, client and lite): keys assumed to be its defaults.
// Ctrl+D play, Ctrl+S pause, Ctrl+G stop, Ctrl+Y record, Ctrl+A / Ctrl+F skip
// back / forward, Ctrl+F7 / Ctrl+F8 the second (longer) skips, Page Up/Down
// channel up/down (page in lists), Ctrl+O options, Alt+Left back, arrows and
// Enter to move and select, digit keys for channel numbers.
constexpr ButtonKeys kSageTv[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {Ctrl('D')}},
    {Pause, {Ctrl('S')}},
    {Stop, {Ctrl('G')}},
    {Record, {Ctrl('Y')}},
    {Previous, {Ctrl(vk::F7)}},
    {Next, {Ctrl(vk::F8)}},
    {Rewind, {Ctrl('A')}},
    {FastForward, {Ctrl('F')}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {Ctrl('O')}},
    {Exit, {Alt(vk::LEFT)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
};

// Quintessential Player (qcdplayer.exe): its player window's single-letter
// transport keys (Z previous, X play, C pause, V stop, B next), Left/Right
// seek within the track.
constexpr ButtonKeys kQcdPlayer[] = {
    {Play, {K('X')}},
    {Pause, {K('C')}},
    {Stop, {K('V')}},
    {Previous, {K('Z')}},
    {Next, {K('B')}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
};

// Amp Plus (ampplus.exe): no key list found. An audio player's conventions:
// Space play/pause, Up/Down and Enter in the playlist.
constexpr ButtonKeys kAmpPlus[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {ChannelUp, {K(vk::PRIOR)}},
};

// MediaMonkey (mediamonkey.exe): its Play menu accelerators, Ctrl+P
// play/pause, Ctrl+S stop, Ctrl+B previous, Ctrl+N next; Enter plays the
// selected tracks, arrows and Page Up/Down move through the track list.
constexpr ButtonKeys kMediaMonkey[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {Ctrl('P')}},
    {Pause, {Ctrl('P')}},
    {Stop, {Ctrl('S')}},
    {Previous, {Ctrl('B')}},
    {Next, {Ctrl('N')}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

// WinFast TV (wftv.exe), the tuner card's TV viewer: no key list found. A TV
// program's conventions: digit keys pick the channel number, Enter confirms,
// Page Up/Down step channels, Escape leaves full screen.
constexpr ButtonKeys kWinFastTv[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
    {Previous, {K(vk::BACK)}},  // Backspace: back to the channel watched before
};

// Vision (vision.exe): no key list found. Arrows and Enter to move and pick,
// Escape to leave full screen.
constexpr ButtonKeys kVision[] = {
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Menu, {K(vk::APPS)}},  // the context menu of the selected entry
};

// Tuner card radio (radio.exe): no key list found. A tuner program's
// conventions: digit keys recall presets, Up/Down step the station list.
constexpr ButtonKeys kTunerRadio[] = {
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
};

// BeoLink PC (window class TBeoLinkApplication): no key list found. Arrows and
// Enter in its source and track lists, Space for play/pause.
constexpr ButtonKeys kBeoLink[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Menu, {K(vk::APPS)}},  // the context menu of the selected source or track
};

// CoolPlayer (coolplayer.exe): its player window's keys. X or Enter play,
// C pause, V stop, Z previous, B next, Left/Right skip backward/forward,
// Up/Down volume. Escape quits the player, so Exit keeps the default.
constexpr ButtonKeys kCoolPlayer[] = {
    {Play, {K('X')}},
    {Pause, {K('C')}},
    {Stop, {K('V')}},
    {Previous, {K('Z')}},
    {Next, {K('B')}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// Crystal Player (crystal.exe): no key list found. A video player's
// conventions: Space play/pause, arrows, Enter, Escape to leave full screen;
// Left/Right double as seek.
constexpr ButtonKeys kCrystalPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Exit, {K(vk::ESCAPE)}},
};

// Dojo (dojo.exe): no key list found and its windows unknown, so only Space
// for play/pause and Enter to confirm.
constexpr ButtonKeys kDojo[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Ok, {K(vk::RETURN)}},
};

// foobar2000 (foobar2000.exe): it ships with no window keys for the transport
// (it is expected to answer the multimedia keys, which the defaults send); in the playlist
// Enter plays the focused track, arrows and Page Up/Down move the focus.
constexpr ButtonKeys kFoobar2000[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::RETURN)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K(vk::APPS)}},  // the playlist's context menu for the focused track
};

// ThumbsPlus (thumbs.exe), the image browser: in its viewer Page Down / Page
// Up show the next / previous image and Escape closes the viewer; in the
// thumbnail gallery arrows move and Enter opens the image.
constexpr ButtonKeys kThumbsPlus[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// vMidi MIDI/karaoke player (vmidi.exe): no key list found. Space
// play/pause, Up/Down and Enter in the song list.
constexpr ButtonKeys kVMidi[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
};

}  // namespace

const KeyMap kRow071 = kDvdReceiver;
const KeyMap kRow072 = kDvdPlayer;
const KeyMap kRow073 = kOtsTurntables;
const KeyMap kRow074 = kNiceMc;
const KeyMap kRow075 = kHotWire;
const KeyMap kRow077 = kGDivX;
const KeyMap kRow079 = kMediaPlayerClassic;
const KeyMap kRow081 = kCorePlayer;
const KeyMap kRow082 = kPlayCdg;
const KeyMap kRow083 = kCdMax;
const KeyMap kRow084 = kCinematograph;
const KeyMap kRow085 = kAxCdPlay;
const KeyMap kRow086 = kVirtuosa;
const KeyMap kRow087 = kRadLight;
const KeyMap kRow088 = kSageTv;
const KeyMap kRow089 = kQcdPlayer;
const KeyMap kRow090 = kAmpPlus;
const KeyMap kRow091 = kMediaMonkey;
const KeyMap kRow092 = kWinFastTv;
const KeyMap kRow093 = kVision;
const KeyMap kRow095 = kTunerRadio;
const KeyMap kRow098 = kBeoLink;
const KeyMap kRow099 = kCoolPlayer;
const KeyMap kRow100 = kCrystalPlayer;
const KeyMap kRow101 = kDojo;
const KeyMap kRow102 = kFoobar2000;
const KeyMap kRow103 = kThumbsPlus;
const KeyMap kRow104 = kVMidi;

}  // namespace keymaps
