// Keystroke tables whose every key is fixed by the program it drives, including
// the hardware scan codes some programs read instead of the virtual key, and the
// tables that two rows of the catalogue share.
#include "profiles/keymaps/keymaps.h"

namespace keymaps {
using namespace keys;

namespace {

// Row 18, contains "ez music player".
constexpr ButtonKeys kEzMusicPlayer[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K('P')}},
    {Pause, {K('P')}},
    {Stop, {K('S')}},
    {Record, {K('A')}},
    {Previous, {K('B')}},
    {Next, {K('N')}},
    {Rewind, {K('R')}},
    {FastForward, {K('F')}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K('M')}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Row 19, firefox.exe: zoom on the channel buttons, history on the track skips,
// paging on the seek buttons and tabbing between links on Left and Right.
constexpr ButtonKeys kFirefox[] = {
    {ChannelUp, {Ctrl(vk::ADD)}},
    {ChannelDown, {Ctrl(vk::SUBTRACT)}},
    {Record, {Ctrl('R')}},
    {Previous, {Alt(vk::LEFT)}},
    {Next, {Alt(vk::RIGHT)}},
    {Rewind, {K(vk::PRIOR)}},
    {FastForward, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {Shift(vk::TAB)}},
    {Right, {K(vk::TAB)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K(vk::F11)}},
};

// Row 28, meedio.exe: the transport functions sit on the numeric pad.
constexpr ButtonKeys kMeedio[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::PAUSE)}},
    {Stop, {K(vk::NUMPAD5)}},
    {Record, {K(vk::NUMPAD0)}},
    {Previous, {K(vk::NUMPAD8)}},
    {Next, {K(vk::NUMPAD2)}},
    {Rewind, {K(vk::NUMPAD4)}},
    {FastForward, {K(vk::NUMPAD6)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K(vk::F10)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Row 65, audioplus.locked.
constexpr ButtonKeys kAudioPlus[] = {
    {Play, {Ctrl('P')}},
    {Pause, {Ctrl('U')}},
    {Stop, {Ctrl('S')}},
    {Previous, {Ctrl('R')}},
    {Next, {Ctrl('N')}},
};

// Row 76, blazedvd.exe: its stop key leaves the player paused, so the pause
// toggle follows it.
constexpr ButtonKeys kBlazeDvd[] = {
    {Play, {K(vk::RETURN)}},
    {Ok, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::END), K(vk::SPACE)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Rewind, {K('B')}},
    {FastForward, {K('F')}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Menu, {K('Z')}},
};

// Row 80, vlc.exe: Menu walks the View menu to the playlist entry.
constexpr ButtonKeys kVlc[] = {
    {ChannelUp, {K(vk::ADD)}},
    {ChannelDown, {K(vk::SUBTRACT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K('S')}},
    {Record, {Ctrl('P')}},
    {Previous, {K('P')}},
    {Next, {K('N')}},
    {Rewind, {Alt(vk::LEFT)}},
    {FastForward, {Alt(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu,
     {Alt('V'), K(vk::RIGHT), K(vk::RIGHT), K(vk::RIGHT), K(vk::DOWN), K(vk::DOWN),
      K(vk::RETURN)}},
};

// Row 96, atomixmp3.exe reads scan codes, not virtual keys.
constexpr ButtonKeys kAtomixMp3[] = {
    {ChannelUp, {Scan(vk::BACK, 0x0E)}},
    {ChannelDown, {Scan(vk::BACK, 0x0E)}},
    {Play, {Scan(vk::ESCAPE, 0x01)}},
    {Pause, {Scan('P', 0x19)}},
    {Stop, {Scan('S', 0x1F)}},
    {Record, {Scan(vk::SPACE, 0x39, false, kAlt)}},
    {Up, {Scan(vk::SUBTRACT, 0x4A)}},
    {Down, {Scan(vk::ADD, 0x4E)}},
    {Left, {Scan(vk::PRIOR, 0x49)}},
    {Right, {Scan(vk::NEXT, 0x51)}},
    {Ok, {Scan(vk::RETURN, 0x1C)}},
    {Menu, {Scan(vk::SPACE, 0x39)}},
};

// Row 113, kazaa.exe or kazaa.kpp: the player is reached only through its Play
// menu; the escapes first close whatever menu or dialog is open, and afterwards
// close the menu again if the command key did not.
constexpr Strokes KazaaPlayMenu(uint8_t command) {
    return Strokes{K(vk::ESCAPE), K(vk::ESCAPE), K(vk::MENU),  K('P'),
                   K(command),    K(vk::ESCAPE), K(vk::ESCAPE)};
}
constexpr ButtonKeys kKazaa[] = {
    {Play, KazaaPlayMenu('P')},
    {Pause, KazaaPlayMenu('A')},
    {Stop, KazaaPlayMenu('O')},
    {Previous, KazaaPlayMenu('V')},
    {Next, KazaaPlayMenu('N')},
};

// Row 120, opera.exe: the extended flag tells the cursor keys from the keypad's.
constexpr ButtonKeys kOpera[] = {
    {ChannelUp, {K('0')}},
    {ChannelDown, {K('9')}},
    {Previous, {Alt(vk::LEFT)}},
    {Next, {Alt(vk::RIGHT)}},
    {Rewind, {Scan(vk::UP, 0x48, true)}},
    {FastForward, {Scan(vk::DOWN, 0x50, true)}},
    {Up, {Scan(vk::UP, 0x48, true, kShift)}},
    {Down, {Scan(vk::DOWN, 0x50, true, kShift)}},
    {Left, {Scan(vk::LEFT, 0x4B, true, kShift)}},
    {Right, {Scan(vk::RIGHT, 0x4D, true, kShift)}},
    {Ok, {K(vk::RETURN)}},
};

// Row 134, contains "theatertek": the seek buttons are swallowed (handled, nothing
// sent), so their default keystrokes never reach this player.
constexpr ButtonKeys kTheaterTek[] = {
    {ChannelUp, {K(vk::NEXT)}},
    {Next, {K(vk::NEXT)}},
    {ChannelDown, {K(vk::PRIOR)}},
    {Previous, {K(vk::PRIOR)}},
    {Play, {K('P')}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::END)}},
    {Record, {Ctrl('P')}},
    {Rewind, {}},
    {FastForward, {}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {Ctrl('M')}},
    {Exit, {K('X')}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Row 136, contains "showshifter". Menu is a right click, added by its handler.
constexpr ButtonKeys kShowShifter[] = {
    {ChannelUp, {Ctrl(vk::UP)}},
    {ChannelDown, {Ctrl(vk::DOWN)}},
    {Play, {Alt('P')}},
    {Pause, {Alt('A')}},
    {Stop, {Alt('S')}},
    {Record, {Alt('R')}},
    {Previous, {AltShift('N')}},
    {Next, {Alt('N')}},
    {Rewind, {AltShift('F')}},
    {FastForward, {Alt('F')}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Row 138, windvr.exe. Menu is a right click, added by its handler.
constexpr ButtonKeys kWinDvr[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::END)}},
    {Record, {K(vk::HOME)}},
    {Previous, {K('R')}},
    {Next, {K('S')}},
    {Rewind, {K(vk::LEFT)}},
    {Left, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Right, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K('X')}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Row 139, powerpnt.exe or ppview32.exe: a running slide show.
constexpr ButtonKeys kSlideShow[] = {
    {Play, {K(vk::F5)}},
    {Stop, {K(vk::ESCAPE)}},
    {Exit, {K(vk::ESCAPE)}},
    {Record, {K('B')}},
    {Previous, {K(vk::LEFT)}},
    {Left, {K(vk::LEFT)}},
    {Next, {K(vk::RIGHT)}},
    {Right, {K(vk::RIGHT)}},
    {Rewind, {Shift(vk::TAB)}},
    {FastForward, {K(vk::TAB)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {Alt('V'), K('D')}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Row 144, realjbox.exe: a seek button sends six Alt+arrow steps, for a jump
// long enough to be worth a button press.
constexpr ButtonKeys kRealJukebox[] = {
    {Play, {Ctrl('P')}},
    {Pause, {Ctrl('U')}},
    {Stop, {Ctrl('S')}},
    {Previous, {Ctrl('B')}},
    {Left, {Ctrl('B')}},
    {Next, {Ctrl('N')}},
    {Right, {Ctrl('N')}},
    {Rewind, Repeat(Alt(vk::LEFT), 6)},
    {FastForward, Repeat(Alt(vk::RIGHT), 6)},
    {Up, {Alt(vk::PRIOR)}},
};

// Row 153, contains "media jukebox".
constexpr ButtonKeys kMediaJukebox[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Play, {Ctrl('P')}},
    {Pause, {Ctrl('P')}},
    {Stop, {Ctrl('S')}},
    {Record, {K(vk::TAB)}},
    {Previous, {Ctrl('L')}},
    {Next, {Ctrl('N')}},
    {Rewind, {Scan(vk::LEFT, 0x4B, true, kCtrl)}},
    {FastForward, {Scan(vk::RIGHT, 0x4D, true, kCtrl)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K(vk::F11)}},
    {Digit1, {CtrlShift('1')}},
    {Digit2, {CtrlShift('2')}},
    {Digit3, {CtrlShift('3')}},
    {Digit4, {CtrlShift('4')}},
    {Digit5, {CtrlShift('5')}},
    {Digit6, {CtrlShift('R')}},
    {Digit7, {Ctrl('R')}},
    {Digit8, {Alt('V'), K('T')}},
    {Digit9, {Alt('V'), K('P')}},
    {Digit0, {CtrlShift('0')}},
};

}  // namespace

const KeyMap kRow018 = kEzMusicPlayer;
const KeyMap kRow019 = kFirefox;
const KeyMap kRow028 = kMeedio;
const KeyMap kRow065 = kAudioPlus;
const KeyMap kRow076 = kBlazeDvd;
const KeyMap kRow080 = kVlc;
const KeyMap kRow096 = kAtomixMp3;
const KeyMap kRow113 = kKazaa;
const KeyMap kRow120 = kOpera;
const KeyMap kRow134 = kTheaterTek;
const KeyMap kRow136 = kShowShifter;
const KeyMap kRow138 = kWinDvr;
const KeyMap kRow139 = kSlideShow;
const KeyMap kRow144 = kRealJukebox;
const KeyMap kRow153 = kMediaJukebox;

// Copies of tables defined in other files: initialised at start-up, after those
// tables' own constant initialisation, and read only once buttons arrive.
const KeyMap kRow038 = kRow021;
const KeyMap kRow054 = kRow032;
const KeyMap kRow130 = kRow026;
}  // namespace keymaps
