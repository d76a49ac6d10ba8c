// Keystroke tables for DVD/media players, TV viewers, jukeboxes and viewers
// recognised by executable name or window title. Each table lists, per remote
// button, the keys the program itself binds to that function, or, where its own
// key list could not be found, only the keys its kind of program conventionally
// takes; a button left out falls back to the generic default key.
#include "profiles/keymaps/keymaps.h"

namespace keymaps {
using namespace keys;

namespace {

// Set-1 scan codes for the keys the "keys+scan" rows send with a hardware code.
constexpr uint8_t kScEsc = 0x01, kScTab = 0x0F, kScEnter = 0x1C, kScSpace = 0x39;
constexpr uint8_t kScUp = 0x48, kScDown = 0x50, kScLeft = 0x4B, kScRight = 0x4D;
constexpr uint8_t kScPgUp = 0x49, kScPgDn = 0x51;
constexpr uint8_t kScP = 0x19, kScR = 0x13, kScS = 0x1F;
constexpr uint8_t kScLBracket = 0x1A, kScRBracket = 0x1B, kScComma = 0x33, kScPeriod = 0x34;
// Main-row digits '1'..'9' are 0x02..0x0A, '0' is 0x0B.
constexpr uint8_t kScDigit1 = 0x02, kScDigit0 = 0x0B;

constexpr Stroke ScanDigit(char d) {
    return d == '0' ? Scan('0', kScDigit0)
                    : Scan(static_cast<uint8_t>(d), static_cast<uint8_t>(kScDigit1 + (d - '1')));
}

// DirectDVD: no key list of its own was found, so only the keys a DVD player
// conventionally takes: Space plays/pauses; the arrows work the disc menus.
constexpr ButtonKeys kDirectDvd[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
};

// Rhapsody music client: no key list of its own was found, so only the keys a jukebox
// conventionally takes: Space plays/pauses; Up/Down moves through its lists; PgUp/PgDn
// page the lists.
constexpr ButtonKeys kRhapsody[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
};

// pcmc.exe, a ten-foot media-centre front end: no key list of its own was found, so
// only the keys a ten-foot front end conventionally takes: Space starts playback; the
// arrows and Enter walk its menus; Escape goes back a screen.
constexpr ButtonKeys kPcMediaCenter[] = {
    {Play, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// DScaler: keys assumed. PgUp/PgDn change channel, P
// freezes the picture, Enter shows the OSD, Tab toggles the menu bar, Esc leaves
// full screen, the arrows pan the zoomed picture; the time-shift keys are
// Shift+R record, Shift+P play, Shift+S stop, { and } fast backward/forward,
// < and > previous/next clip. DScaler reads scan codes, so they go along.
constexpr ButtonKeys kDScaler[] = {
    {ChannelUp, {Scan(vk::PRIOR, kScPgUp, true)}},
    {ChannelDown, {Scan(vk::NEXT, kScPgDn, true)}},
    {Play, {Scan('P', kScP, false, kShift)}},
    {Pause, {Scan('P', kScP)}},
    {Stop, {Scan('S', kScS, false, kShift)}},
    {Record, {Scan('R', kScR, false, kShift)}},
    {Previous, {Scan(vk::OEM_COMMA, kScComma, false, kShift)}},
    {Next, {Scan(vk::OEM_PERIOD, kScPeriod, false, kShift)}},
    {Rewind, {Scan(vk::OEM_4, kScLBracket, false, kShift)}},
    {FastForward, {Scan(vk::OEM_6, kScRBracket, false, kShift)}},
    {Up, {Scan(vk::UP, kScUp, true)}},
    {Down, {Scan(vk::DOWN, kScDown, true)}},
    {Left, {Scan(vk::LEFT, kScLeft, true)}},
    {Right, {Scan(vk::RIGHT, kScRight, true)}},
    {Ok, {Scan(vk::RETURN, kScEnter)}},
    {Menu, {Scan(vk::TAB, kScTab)}},
    {Exit, {Scan(vk::ESCAPE, kScEsc)}},
};

// BS.Player: no key list of its own was found, so only the keys a media player
// conventionally takes: Space plays/pauses; the arrows move through its window; Escape
// leaves full screen.
constexpr ButtonKeys kBsPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Exit, {K(vk::ESCAPE)}},
};

// NVDVD / nStant Media DVD player: no key list of its own was found, so only the keys a
// DVD player conventionally takes: Space plays/pauses; Left/Right and Enter work the
// disc menus; Escape leaves full screen.
constexpr ButtonKeys kNvDvd[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// Zoom Player: keys assumed: Space plays/pauses,
// PgUp/PgDn go to the previous/next chapter or playlist entry, Left/Right seek,
// Up/Down set the volume, Escape leaves full screen.
constexpr ButtonKeys kZoomPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// partymode.exe, a party jukebox: no key list of its own was found, so only the keys a
// jukebox conventionally takes: Space plays/pauses; Up/Down moves through its lists.
constexpr ButtonKeys kPartyMode[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
};

// myHTPC front end: no key list of its own was found, so only the keys a ten-foot front
// end conventionally takes: Space starts playback; the arrows and Enter walk its menus;
// PgUp/PgDn page the lists; Escape goes back a screen.
constexpr ButtonKeys kMyHtpc[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// cdvdplay.exe DVD player: no key list of its own was found, so only the keys a DVD
// player conventionally takes: Space plays/pauses; the arrows and Enter work the disc
// menus; Escape leaves full screen. The keys go with their scan codes, which it reads.
constexpr ButtonKeys kCdvdPlay[] = {
    {Play, {Scan(vk::SPACE, kScSpace)}},
    {Pause, {Scan(vk::SPACE, kScSpace)}},
    {Up, {Scan(vk::UP, kScUp, true)}},
    {Down, {Scan(vk::DOWN, kScDown, true)}},
    {Left, {Scan(vk::LEFT, kScLeft, true)}},
    {Right, {Scan(vk::RIGHT, kScRight, true)}},
    {Ok, {Scan(vk::RETURN, kScEnter)}},
    {Exit, {Scan(vk::ESCAPE, kScEsc)}},
};

// f32main.exe, a media player: no key list of its own was found, so only the keys a
// media player conventionally takes: Space plays/pauses; Left/Right and Enter move
// through its window.
constexpr ButtonKeys kF32Main[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

// MPlayer: its interactive controls as assumed here. Space pauses/resumes, q quits
// the playback, < and > step back/forward in the playlist, ! and @ go to the
// previous/next chapter, Left/Right seek 10 seconds, Up/Down one minute, f
// toggles full screen.
constexpr ButtonKeys kMPlayer[] = {
    {ChannelUp, {Shift('2')}},
    {ChannelDown, {Shift('1')}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K('Q')}},
    {Previous, {Shift(vk::OEM_COMMA)}},
    {Next, {Shift(vk::OEM_PERIOD)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Menu, {K('F')}},
};

// Windows Media Player 6.4: its Play and View menu accelerators: Ctrl+P plays
// and pauses, Ctrl+S stops, Alt+Enter goes full screen, Escape comes back.
constexpr ButtonKeys kMediaPlayer64[] = {
    {Play, {Ctrl('P')}},
    {Pause, {Ctrl('P')}},
    {Stop, {Ctrl('S')}},
    {Menu, {Alt(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// Creative DVD player: no key list of its own was found, so only the keys a DVD player
// conventionally takes: Space starts playback; the arrows and Enter work the disc
// menus.
constexpr ButtonKeys kCreativeDvd[] = {
    {Play, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

// pvcr.exe TV viewer/recorder: no key list of its own was found, so only the keys a TV
// program conventionally takes: the digit keys select a channel; the arrows and Enter
// move through its menus; Escape leaves full screen. The keys go with their scan codes,
// which it reads.
constexpr ButtonKeys kPvcr[] = {
    {Up, {Scan(vk::UP, kScUp, true)}},
    {Down, {Scan(vk::DOWN, kScDown, true)}},
    {Left, {Scan(vk::LEFT, kScLeft, true)}},
    {Right, {Scan(vk::RIGHT, kScRight, true)}},
    {Ok, {Scan(vk::RETURN, kScEnter)}},
    {Exit, {Scan(vk::ESCAPE, kScEsc)}},
    {Digit1, {ScanDigit('1')}}, {Digit2, {ScanDigit('2')}}, {Digit3, {ScanDigit('3')}},
    {Digit4, {ScanDigit('4')}}, {Digit5, {ScanDigit('5')}}, {Digit6, {ScanDigit('6')}},
    {Digit7, {ScanDigit('7')}}, {Digit8, {ScanDigit('8')}}, {Digit9, {ScanDigit('9')}},
    {Digit0, {ScanDigit('0')}},
};

// ProShow slide-show playback: Space pauses and resumes the show, Left/Right go
// to the previous/next slide, Escape ends full-screen playback.
constexpr ButtonKeys kProShow[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Previous, {K(vk::LEFT)}},
    {Next, {K(vk::RIGHT)}},
    {Exit, {K(vk::ESCAPE)}},
};

// DivX player: no key list of its own was found, so only the keys a media player
// conventionally takes: Space plays/pauses; the arrows move through its window; Escape
// leaves full screen. The keys go with their scan codes, which it reads.
constexpr ButtonKeys kDivX[] = {
    {Play, {Scan(vk::SPACE, kScSpace)}},
    {Pause, {Scan(vk::SPACE, kScSpace)}},
    {Up, {Scan(vk::UP, kScUp, true)}},
    {Down, {Scan(vk::DOWN, kScDown, true)}},
    {Left, {Scan(vk::LEFT, kScLeft, true)}},
    {Right, {Scan(vk::RIGHT, kScRight, true)}},
    {Exit, {Scan(vk::ESCAPE, kScEsc)}},
};

// WinDVD: no key list of its own was found, so only the keys a DVD player
// conventionally takes: Space starts playback; Enter works the disc menus; Escape
// leaves full screen.
constexpr ButtonKeys kWinDvd[] = {
    {Play, {K(vk::SPACE)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// Windows Picture and Fax Viewer: Left/Right show the previous/next picture,
// F11 starts the slide show and Escape ends it.
constexpr ButtonKeys kPictureViewer[] = {
    {Play, {K(vk::F11)}},
    {Stop, {K(vk::ESCAPE)}},
    {Previous, {K(vk::LEFT)}},
    {Next, {K(vk::RIGHT)}},
    {Menu, {K(vk::F11)}},
    {Exit, {K(vk::ESCAPE)}},
};

// QuickTime MoviePlayer: the movie controller's keys: Space starts and stops
// the movie, Left/Right step a frame back/forward, Up/Down set the volume.
constexpr ButtonKeys kMoviePlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
};

// QuickTime Player: Space plays/pauses, Left/Right step back/forward, Up/Down
// set the volume, Ctrl+F plays full screen and Escape leaves it.
constexpr ButtonKeys kQuickTimePlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Menu, {Ctrl('F')}},
    {Exit, {K(vk::ESCAPE)}},
};

// station.exe media station: no key list of its own was found, so only the keys a
// jukebox conventionally takes: Space plays/pauses; the arrows move through its lists;
// PgUp/PgDn page the lists.
constexpr ButtonKeys kStation[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
};

// RealPlayer: its Play and View menu accelerators: Ctrl+P plays/pauses, Ctrl+S
// stops, Ctrl+3 plays full screen and Escape leaves it.
constexpr ButtonKeys kRealPlayer[] = {
    {Play, {Ctrl('P')}},
    {Pause, {Ctrl('P')}},
    {Stop, {Ctrl('S')}},
    {Menu, {Ctrl('3')}},
    {Exit, {K(vk::ESCAPE)}},
};

// Siren Jukebox: no key list of its own was found, so only the keys a jukebox
// conventionally takes: Space plays/pauses; Enter moves through its lists; PgUp/PgDn
// page the lists.
constexpr ButtonKeys kSiren[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Ok, {K(vk::RETURN)}},
};

// Sonique: no key list of its own was found, so only the keys a jukebox conventionally
// takes: Space plays/pauses; Up/Down moves through its lists; Escape goes back a
// screen.
constexpr ButtonKeys kSonique[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// WinTV32: no key list of its own was found, so only the keys a TV program
// conventionally takes: the digit keys select a channel; Up/Down and Enter move through
// its menus; PgUp/PgDn step the channel.
constexpr ButtonKeys kWinTv32[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
};

// WinTV2000: no key list of its own was found, so only the keys a TV program
// conventionally takes: the digit keys select a channel; the arrows and Enter move
// through its menus; Escape leaves full screen.
constexpr ButtonKeys kWinTv2000[] = {
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
};

// XingDVD: no key list of its own was found, so only the keys a DVD player
// conventionally takes: Space starts playback; Up/Down works the disc menus; Escape
// leaves full screen.
constexpr ButtonKeys kXingDvd[] = {
    {Play, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// swiftultra.exe (not identified): no key list of its own was found, so only the keys a
// media player conventionally takes: Space starts playback; Left/Right and Enter move
// through its window; Escape leaves full screen.
constexpr ButtonKeys kSwiftUltra[] = {
    {Play, {K(vk::SPACE)}},
    {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

}  // namespace

const KeyMap kRow106 = kDirectDvd;
const KeyMap kRow108 = kRhapsody;
const KeyMap kRow110 = kPcMediaCenter;
const KeyMap kRow114 = kDScaler;
const KeyMap kRow115 = kBsPlayer;
const KeyMap kRow117 = kNvDvd;
const KeyMap kRow118 = kZoomPlayer;
const KeyMap kRow119 = kPartyMode;
const KeyMap kRow121 = kMyHtpc;
const KeyMap kRow123 = kCdvdPlay;
const KeyMap kRow124 = kF32Main;
const KeyMap kRow126 = kMPlayer;
const KeyMap kRow127 = kMediaPlayer64;
const KeyMap kRow129 = kCreativeDvd;
const KeyMap kRow131 = kPvcr;
const KeyMap kRow133 = kProShow;
const KeyMap kRow135 = kDivX;
const KeyMap kRow137 = kWinDvd;
const KeyMap kRow140 = kPictureViewer;
const KeyMap kRow141 = kMoviePlayer;
const KeyMap kRow142 = kQuickTimePlayer;
const KeyMap kRow143 = kStation;
const KeyMap kRow145 = kRealPlayer;
const KeyMap kRow146 = kSiren;
const KeyMap kRow147 = kSonique;
const KeyMap kRow151 = kWinTv32;
const KeyMap kRow152 = kWinTv2000;
const KeyMap kRow154 = kXingDvd;
const KeyMap kRow155 = kSwiftUltra;

}  // namespace keymaps
