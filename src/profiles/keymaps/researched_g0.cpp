// Keystroke tables for players, TV and media-centre programs: rows 2-39 of the
// catalogue (first group). Each table lists, per remote button, the keys the
// program itself binds to that function while it has keyboard focus. Buttons a
// table leaves out fall back to the generic default keys.
#include "profiles/keymaps/keymaps.h"

namespace keymaps {
using namespace keys;

// ---------------------------------------------------------------------------
// Row 2, ctplay2.exe: Creative PlayCenter 2, the jukebox player bundled with
// Creative sound cards and players. No keyboard reference of its own could be
// found, so only the conventions of a jukebox window are mapped: Enter plays
// the selected track, Space pauses and resumes, the arrows move between the
// library tree and the track list. Stop and the track skips stay on the
// generic media keys, which the player is expected to follow.
namespace {
constexpr ButtonKeys kCreativePlayCenter[] = {
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};
}  // namespace
const KeyMap kRow002 = kCreativePlayCenter;

// ---------------------------------------------------------------------------
// Row 3, dvdplay.exe: the DVD Player that came with Windows 98, Me and 2000
// (later versions only hand over to Windows Media Player). Its window has no
// documented accelerators beyond the usual ones: Enter presses its default
// Play button (and activates a highlighted disc-menu button), Space pauses and
// resumes, the arrows move between the buttons of a disc menu, Escape leaves
// full-screen playback.
namespace {
constexpr ButtonKeys kWindowsDvdPlayer[] = {
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow003 = kWindowsDvdPlayer;

// ---------------------------------------------------------------------------
// Row 4, la.exe: a small audio player known only by its executable; no
// documentation of its keys was found. Only the player conventions are mapped
// (Space pauses, Enter plays the selected entry, arrows and Page Up / Page
// Down move in the list).
namespace {
constexpr ButtonKeys kLaPlayer[] = {
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};
}  // namespace
const KeyMap kRow004 = kLaPlayer;

// ---------------------------------------------------------------------------
// Row 5, k!tv.exe: K!TV, the analogue TV viewer shipped with TV tuner cards.
// Its own key list is not available; a TV viewer's conventions are mapped:
// digit keys tune a channel by number, Enter confirms the typed number,
// Escape leaves full-screen TV.
namespace {
constexpr ButtonKeys kKtv[] = {
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};
}  // namespace
const KeyMap kRow005 = kKtv;

// ---------------------------------------------------------------------------
// Row 7, easyworship.exe: EasyWorship, church lyrics and presentation
// software. In its live output the slides are stepped with Page Down / Page Up
// like a slide show; Escape takes the live output down. Next/Previous and the
// channel buttons step slides, Up/Down and Enter move within and pick from the
// schedule and slide lists.
namespace {
constexpr ButtonKeys kEasyWorship[] = {
    {Next, {K(vk::NEXT)}},
    {Previous, {K(vk::PRIOR)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow007 = kEasyWorship;

// ---------------------------------------------------------------------------
// Row 8, picasa.exe: Google Picasa photo organiser. Keys assumed: Ctrl+4
// starts the full-screen slide show, Space pauses and resumes it, Left/Right
// go to the previous/next picture, Escape ends the show and goes back to the
// library; Enter opens the selected picture, Ctrl+R rotates it clockwise
// (used for Record, the "do something with this picture" button), Page Up /
// Page Down scroll the light box.
namespace {
constexpr ButtonKeys kPicasa[] = {
    {Play, {Ctrl('4')}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::ESCAPE)}},
    {Previous, {K(vk::LEFT)}},
    {Next, {K(vk::RIGHT)}},
    {Record, {Ctrl('R')}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow008 = kPicasa;

// ---------------------------------------------------------------------------
// Row 9, msmsgs.exe: Windows Messenger. It has no media functions; the remote
// can only walk the contact list (arrows, Page Up/Down), open a conversation
// with Enter and close a conversation window with Escape.
namespace {
constexpr ButtonKeys kWindowsMessenger[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow009 = kWindowsMessenger;

// ---------------------------------------------------------------------------
// Row 10, ktvplayer.exe: a KTV (karaoke / TV) player known only by its
// executable; no key reference found. Player conventions: Space play/pause,
// the arrows and Enter for its song list, Escape leaves full screen.
namespace {
constexpr ButtonKeys kKtvPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
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
}  // namespace
const KeyMap kRow010 = kKtvPlayer;

// ---------------------------------------------------------------------------
// Row 11, recorder.exe: a recording/playback utility known only by its
// executable. Nothing documented; Space starts and pauses playback of the
// take, Enter confirms the focused button, Escape cancels a dialog rather than
// letting the default Alt+F4 close the recorder.
namespace {
constexpr ButtonKeys kRecorder[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow011 = kRecorder;

// ---------------------------------------------------------------------------
// Row 14, mv2playerplus.exe: MV2 Player Plus, a video player; no key list was
// found. Video player conventions: Space play/pause, Enter, Alt+Enter toggles
// full screen, Escape leaves it.
namespace {
constexpr ButtonKeys kMv2PlayerPlus[] = {
    {Menu, {Alt(vk::RETURN)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow014 = kMv2PlayerPlus;

// ---------------------------------------------------------------------------
// Row 15, gotallmedia.exe: GotAll Media, a media browser/player; no key
// reference found. Conventions: Space play/pause, arrows and Enter for its
// library, Backspace backs out of a view.
namespace {
constexpr ButtonKeys kGotAllMedia[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::BACK)}},
};
}  // namespace
const KeyMap kRow015 = kGotAllMedia;

// ---------------------------------------------------------------------------
// Row 17, window title containing "softsqueeze": SoftSqueeze, the Java
// software version of the Squeezebox network music player. Its window takes
// the arrow keys for the player's own arrow buttons (Right selects / goes
// deeper, Left goes back) and the digit keys for its number buttons.
namespace {
constexpr ButtonKeys kSoftSqueeze[] = {
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RIGHT)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};
}  // namespace
const KeyMap kRow017 = kSoftSqueeze;

// ---------------------------------------------------------------------------
// Row 20, client01.exe: a network viewer client known only by its executable;
// nothing documented. Only navigation conventions are mapped.
namespace {
constexpr ButtonKeys kClient01[] = {
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow020 = kClient01;

// ---------------------------------------------------------------------------
// Row 21, amp.exe (shared with row 38, neromix.exe): players that keep the
// classic player keyboard layout: Z previous, X play, C pause, V stop, B next;
// Left/Right seek back/forward within the track, Up/Down change the volume.
namespace {
constexpr ButtonKeys kClassicAmp[] = {
    {Play, {K('X')}},
    {Pause, {K('C')}},
    {Stop, {K('V')}},
    {Previous, {K('Z')}},
    {Next, {K('B')}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
};
}  // namespace
const KeyMap kRow021 = kClassicAmp;

// ---------------------------------------------------------------------------
// Row 22, gbpvr.exe: GB-PVR. Keys assumed, not checked against the program:
// Ctrl+P plays the selected show, Space pauses and
// resumes, Ctrl+S stops, Ctrl+K records, Ctrl+R / Ctrl+F rewind and fast
// forward, Ctrl+Left / Ctrl+Right skip back/forward, Page Up/Down change the
// channel (or page lists), digits type a channel number, Ctrl+B shows the info
// bar, Escape leaves the screen.
namespace {
constexpr ButtonKeys kGbPvr[] = {
    {Play, {Ctrl('P')}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {Ctrl('S')}},
    {Record, {Ctrl('K')}},
    {Rewind, {Ctrl('R')}},
    {FastForward, {Ctrl('F')}},
    {Previous, {Ctrl(vk::LEFT)}},
    {Next, {Ctrl(vk::RIGHT)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {Ctrl('B')}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};
}  // namespace
const KeyMap kRow022 = kGbPvr;

// ---------------------------------------------------------------------------
// Row 23, ultradvd.exe: UltraDVD, a software DVD player; its key list was not
// found. Software DVD player conventions: Space play/pause, Page Up / Page
// Down previous / next chapter, arrows and Enter for disc menus, Alt+Enter
// toggles full screen and Escape leaves it.
namespace {
constexpr ButtonKeys kUltraDvd[] = {
    {Menu, {Alt(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};
}  // namespace
const KeyMap kRow023 = kUltraDvd;

// ---------------------------------------------------------------------------
// Row 24, window containing "pcdjred": PCDJ Red, two-deck DJ software. Its
// deck keys depend on the keyboard layout chosen in the program, so only the
// song browser is driven: arrows move the selection, Page Up/Down page the
// list.
namespace {
constexpr ButtonKeys kPcdjRed[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
};
}  // namespace
const KeyMap kRow024 = kPcdjRed;

// ---------------------------------------------------------------------------
// Row 25, launcher.exe: a full-screen media launcher known only by its
// executable. Launcher conventions: arrows move between tiles, Enter starts
// one, Backspace goes back a level.
namespace {
constexpr ButtonKeys kLauncher[] = {
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::BACK)}},
};
}  // namespace
const KeyMap kRow025 = kLauncher;

// ---------------------------------------------------------------------------
// Row 26, window containing "roxio dvdmax" (shared with row 130,
// powerdvd.exe): CyberLink PowerDVD and the player built on it. Keys assumed:
// Enter plays (and activates a disc-menu button), Space pauses, S stops,
// P / N previous / next chapter, B / F rewind / fast forward, C captures the
// current frame, Z switches between full screen and window, the arrows move
// between disc-menu buttons.
namespace {
constexpr ButtonKeys kPowerDvd[] = {
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K('S')}},
    {Previous, {K('P')}},
    {Next, {K('N')}},
    {Rewind, {K('B')}},
    {FastForward, {K('F')}},
    {Record, {K('C')}},
    {Menu, {K('Z')}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};
}  // namespace
const KeyMap kRow026 = kPowerDvd;

// ---------------------------------------------------------------------------
// Row 27, ssbeyondmedia.exe: SnapStream Beyond Media, a ten-foot media
// browser. No key list of its own was found; its ten-foot conventions are
// mapped: Space play/pause, arrows and Enter, Page Up/Down page the lists,
// Escape goes back one screen.
namespace {
constexpr ButtonKeys kBeyondMedia[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::BACK)}},
};
}  // namespace
const KeyMap kRow027 = kBeyondMedia;

// ---------------------------------------------------------------------------
// Row 29, clickviewtv.exe: ClickView TV, the classroom player for a school's
// recorded TV library. No key list found; player conventions: Space
// play/pause, Escape leaves full screen.
namespace {
constexpr ButtonKeys kClickViewTv[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow029 = kClickViewTv;

// ---------------------------------------------------------------------------
// Row 31, vcdplay.exe / driveplay.exe / dvrplay.exe / "remote dvr": playback
// viewers for digital video recorders (recorded camera footage). Nothing
// documented; Space starts and pauses playback, Left/Right step through the
// footage, the digit keys pick a camera by its number, Enter opens the
// selected recording, Escape leaves the full-screen camera view.
namespace {
constexpr ButtonKeys kDvrViewer[] = {
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Exit, {K(vk::ESCAPE)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};
}  // namespace
const KeyMap kRow031 = kDvrViewer;

// ---------------------------------------------------------------------------
// Row 32, "dell media experience" / pcm2.exe / pcmservice.exe (shared with row
// 54, pcm3.exe): the Dell media-centre launcher, built on CyberLink's
// PowerCinema. It is taken to answer the keyboard shortcuts of the Windows
// media-centre shell: Ctrl+Shift+P play, Ctrl+P pause, Ctrl+Shift+S stop, Ctrl+R record,
// Ctrl+B / Ctrl+F skip back / forward, Ctrl+Shift+B / Ctrl+Shift+F rewind /
// fast forward, Page Up/Down channel, Ctrl+Shift+M disc menu, Backspace back,
// arrows and Enter.
namespace {
constexpr ButtonKeys kDellMediaExperience[] = {
    {Play, {CtrlShift('P')}},
    {Pause, {Ctrl('P')}},
    {Stop, {CtrlShift('S')}},
    {Record, {Ctrl('R')}},
    {Previous, {Ctrl('B')}},
    {Next, {Ctrl('F')}},
    {Rewind, {CtrlShift('B')}},
    {FastForward, {CtrlShift('F')}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {CtrlShift('M')}},
    {Exit, {K(vk::BACK)}},
};
}  // namespace
const KeyMap kRow032 = kDellMediaExperience;

// ---------------------------------------------------------------------------
// Row 33, mediaportal.exe: MediaPortal. Keys assumed: P play,
// Space pause, B stop, R record, F5 / F6 rewind / fast forward, F7 / F8
// previous / next item, Page Up/Down channel up/down (or page in lists), F9
// context menu, Escape previous menu, digits for channel numbers, arrows and
// Enter.
namespace {
constexpr ButtonKeys kMediaPortal[] = {
    {Play, {K('P')}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K('B')}},
    {Record, {K('R')}},
    {Rewind, {K(vk::F5)}},
    {FastForward, {K(vk::F6)}},
    {Previous, {K(vk::F7)}},
    {Next, {K(vk::F8)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K(vk::F9)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};
}  // namespace
const KeyMap kRow033 = kMediaPortal;

// ---------------------------------------------------------------------------
// Row 34, mediacar.exe: MediaCar, a car-PC front end. No key list found; its
// large-button screens follow the front-end conventions: arrows and Enter,
// Escape back to the previous screen, Space pauses the music.
namespace {
constexpr ButtonKeys kMediaCar[] = {
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow034 = kMediaCar;

// ---------------------------------------------------------------------------
// Row 35, christv.exe: ChrisTV, an analogue TV viewer and recorder. Page Up /
// Page Down step through the channel list, the digit keys tune a channel by
// number (it switches after the last digit), the arrows move in its channel
// list and panels, Escape leaves full-screen TV.
namespace {
constexpr ButtonKeys kChrisTv[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};
}  // namespace
const KeyMap kRow035 = kChrisTv;

// ---------------------------------------------------------------------------
// Row 36, vidlizard.exe: VidLizard, a video player known only by its
// executable; nothing documented. Conventions: Space play/pause, Left/Right
// seek, Escape leaves full screen.
namespace {
constexpr ButtonKeys kVidLizard[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow036 = kVidLizard;

// ---------------------------------------------------------------------------
// Row 37, magicdvd.exe: Magic DVD, a software DVD player; no key list found.
// DVD player conventions: Enter plays and activates disc-menu buttons, Space
// pauses, the arrows move in disc menus, Alt+Enter toggles full screen and
// Escape leaves it.
namespace {
constexpr ButtonKeys kMagicDvd[] = {
    {Menu, {Alt(vk::RETURN)}},
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};
}  // namespace
const KeyMap kRow037 = kMagicDvd;

// ---------------------------------------------------------------------------
// Row 39, progdvb.exe: ProgDVB, digital satellite/terrestrial TV viewer.
// Page Up / Page Down step through the channel list, digits select a channel
// by number, Space pauses (time shift), arrows and Enter work the channel list
// and menus, Escape leaves full screen.
namespace {
constexpr ButtonKeys kProgDvb[] = {
    {Pause, {K(vk::SPACE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
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
}  // namespace
const KeyMap kRow039 = kProgDvb;

}  // namespace keymaps
