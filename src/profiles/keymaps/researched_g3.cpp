// Keystroke tables for DVD/media players, TV viewers, jukeboxes and viewers
// recognised by executable name or window title. Each table lists, per remote
// button, the keys the program itself binds to that function; a button left out
// falls back to the generic default key.
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

// DirectDVD: no key list of its own could be found, so only what a DVD player
// conventionally binds: Space plays/pauses, arrows and Enter work the disc menus.
constexpr ButtonKeys kDirectDvd[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

// Rhapsody music client: its own shortcut list could not be established; the
// keys a jukebox window takes anyway: Space plays/pauses the current track,
// Up/Down move through the track list, PgUp/PgDn page it.
constexpr ButtonKeys kRhapsody[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
};

// pcmc.exe, a ten-foot media-centre front end whose key list could not be
// found: arrows and Enter walk its menus, Escape steps back out of a view.
constexpr ButtonKeys kPcMediaCenter[] = {
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// DScaler: its Help > Keyboard Shortcuts page. PgUp/PgDn change channel, P
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

// BS.Player: its key list could not be established; a video player's
// conventions only: Space toggles play/pause, arrows, Escape leaves full screen.
constexpr ButtonKeys kBsPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Exit, {K(vk::ESCAPE)}},
};

// NVDVD / nStant Media DVD player: conventions of a DVD player only (Space
// play/pause, arrows and Enter in the disc menus, Escape out of full screen).
constexpr ButtonKeys kNvDvd[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// Zoom Player: Space plays/pauses, PgUp/PgDn go to the previous/next chapter or
// playlist entry, Left/Right seek, Up/Down set the volume, Escape leaves full
// screen.
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

// partymode.exe, a party jukebox whose key list could not be found: Space
// plays/pauses, Up/Down and Enter pick from the song list.
constexpr ButtonKeys kPartyMode[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// myHTPC front end: arrows and Enter move through its menus, PgUp/PgDn page the
// lists, Escape goes back a screen.
constexpr ButtonKeys kMyHtpc[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// cdvdplay.exe DVD player: conventions of a DVD player only, sent with scan
// codes since the player reads them: Space play/pause, arrows and Enter in the
// disc menus, Escape out of full screen.
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

}  // namespace keymaps
