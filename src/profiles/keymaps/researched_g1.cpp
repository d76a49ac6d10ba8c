// Keystroke tables for rows 40-70 of the catalogue: TV viewers, DVD and media
// players, jukeboxes, picture viewers and a few utilities.
//
// Where a program's own keys were known, the table follows them (they were not
// checked against the programs themselves). Otherwise the table maps only the keys
// that programs of its kind conventionally bind (Space for play/pause in a
// player, arrows and Enter for navigation, Page Up/Down for channels or
// chapters, digit keys for channel numbers, Escape to leave full screen) and
// leaves everything else unmapped, so the generic default key goes out instead.
#include "profiles/keymaps/keymaps.h"

namespace keymaps {
using namespace keys;

namespace {

// OnAir HD Editor, the cutting tool for recorded transport streams that comes
// with the OnAir HDTV tuners. No key list of its own was found; these are the
// keys of a recording editor's preview: Space starts and halts the preview,
// Left/Right step through the recording, Home/End jump to its start and end.
constexpr ButtonKeys kOnAirHdEditor[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Previous, {K(vk::HOME)}},
    {Next, {K(vk::END)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// GotTV, an analog TV tuner viewer. No key list of its own was found; mapped
// are the keys of a TV viewer: Page Up/Down step through the channels, the
// digit keys enter a channel number, Escape leaves full-screen viewing.
constexpr ButtonKeys kGotTv[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// MyTheatre, a DVB satellite/cable/terrestrial viewer. No key list of its own
// was found; mapped are the keys of a DVB viewer: Page Up/Down change channel,
// digit keys enter a channel number, the arrows and Enter work its channel list
// and on-screen panels, Escape leaves full screen.
constexpr ButtonKeys kMyTheatre[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// ShowTime, a media player (showtime.exe). No key list of its own was found;
// mapped are a player's conventional keys: Space toggles play/pause, Page
// Up/Down move to the previous/next item, Escape leaves full screen.
constexpr ButtonKeys kShowTime[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// APE Jukebox, a music jukebox (apejukebox.exe). No key list of its own was
// found; mapped are a jukebox's list keys: Up/Down move through the titles,
// Enter plays the selected one, Page Up/Down scroll a page, Escape leaves its
// full-screen view.
constexpr ButtonKeys kApeJukebox[] = {
    {Play, {K(vk::RETURN)}},
    {Ok, {K(vk::RETURN)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// CinePlayer, the DVD player of the Sonic DVD software. No key list of its own
// was found; mapped are a DVD player's conventional keys: Space toggles
// play/pause, Page Up/Down skip to the previous/next chapter, the arrows and
// Enter choose DVD menu buttons, Escape leaves full screen.
constexpr ButtonKeys kCinePlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// FxSaver, a screen saver (run as fxsaver.scr, or as fxsaver.exe when shown in
// a window). It binds no keys of its own: any key ends it, so only Stop and Exit
// are mapped, to Escape, which ends it without side effects in the program
// underneath. The other buttons keep their defaults.
constexpr ButtonKeys kFxSaver[] = {
    {Stop, {K(vk::ESCAPE)}},
    {Exit, {K(vk::ESCAPE)}},
};

// Sonique 2 audio player. Its window is fully skinned (no standard list or
// menu controls to navigate) and its own key table could not be checked, so
// only a player's play/pause key, Space, is mapped; everything else keeps the
// default keys.
constexpr ButtonKeys kSonique2[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
};

// Photoshop Album, Adobe's photo organizer. Mapped are the keys its organizer
// family binds for the full-screen photo review (F11 opens it; there Space
// starts and pauses the show, Left/Right go to the previous/next photo and
// Escape returns to the photo well); not checked against an Album manual. In
// the photo well the arrows and Enter select and open photos.
constexpr ButtonKeys kPhotoshopAlbum[] = {
    {Menu, {K(vk::F11)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Previous, {K(vk::LEFT)}},
    {Next, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// VUPlayer audio player. Its own key table could not be checked; mapped are
// the keys of its playlist window: arrows and Page Up/Down move the selection,
// Enter plays the selected track.
constexpr ButtonKeys kVuPlayer[] = {
    {Play, {K(vk::RETURN)}},
    {Ok, {K(vk::RETURN)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
};

// Home Theater, a ten-foot media front end ("home theater.exe"). No key list of
// its own was found; mapped are a front end's keys: arrows and Enter move
// through its menus, Escape goes back a level, Page Up/Down page through lists,
// Space toggles play/pause.
constexpr ButtonKeys kHomeTheater[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// AVerTV, AVerMedia's TV tuner application (avertv.exe; the row also matches
// tvseries.exe). Its own key list could not be checked; mapped are a
// TV viewer's keys: Page Up/Down step through the channels, the digit keys
// enter a channel number, the arrows and Enter work its panels, Escape leaves
// full screen.
constexpr ButtonKeys kAverTv[] = {
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

// 4am Music Console, a music player whose window title carries its name. No
// key list of its own was found; mapped are a player's keys: Space toggles
// play/pause, arrows, Page Up/Down and Enter work its lists.
constexpr ButtonKeys k4amMusicConsole[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// IrfanView picture viewer. Keys assumed: Space/Backspace show the
// next/previous file of the folder, Page Down/Page Up likewise, Home/End the
// first/last file, Enter toggles full screen, Escape leaves full screen (and
// closes a windowed viewer, so only Exit sends it), the
// arrows scroll a picture larger than the window, W opens the slideshow dialog
// (Ok then starts it).
constexpr ButtonKeys kIrfanView[] = {
    {Next, {K(vk::SPACE)}},
    {Previous, {K(vk::BACK)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Rewind, {K(vk::HOME)}},
    {FastForward, {K(vk::END)}},
    {Play, {K('W')}},
    {Menu, {K(vk::RETURN)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
};

// Muzikbrowzer jukebox. Keys assumed: Alt+P play,
// Alt+A pause, Alt+S stop, Alt+N next song, Alt+I previous song, Alt+E reverse
// and Alt+F fast forward in the current song, Alt+M its menu; the arrows move
// between and within the Genre/Artist/Album/Song/Playlist panes, Page Up/Down
// scroll a page, Enter adds the selection to the playlist.
constexpr ButtonKeys kMuzikbrowzer[] = {
    {Play, {Alt('P')}},
    {Pause, {Alt('A')}},
    {Stop, {Alt('S')}},
    {Next, {Alt('N')}},
    {Previous, {Alt('I')}},
    {Rewind, {Alt('E')}},
    {FastForward, {Alt('F')}},
    {Menu, {Alt('M')}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Record, {K(vk::RETURN)}},      // adds the selected music to the playlist
    {Ok, {K(vk::RETURN)}},
    {Up, {K(vk::UP)}}, {Down, {K(vk::DOWN)}}, {Left, {K(vk::LEFT)}}, {Right, {K(vk::RIGHT)}},
};

// FMV5, a video player (fmv5.exe). No key list of its own was found; mapped
// are a video player's keys: Space toggles play/pause, Page Up/Down previous/
// next item, Left/Right seek, Escape leaves full screen.
constexpr ButtonKeys kFmv5[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Exit, {K(vk::ESCAPE)}},
};

// AMPlayer, an audio player (amplayer.exe). No key list of its own was found;
// mapped are an audio player's keys: Space toggles play/pause, Up/Down and
// Enter pick a playlist entry.
constexpr ButtonKeys kAmPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// YeahPlayer, a video player (yeahplayer.exe). No key list of its own was
// found; mapped are a video player's keys: Space toggles play/pause, Left/Right
// seek, Enter toggles full screen, Escape leaves it.
constexpr ButtonKeys kYeahPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Menu, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// MediaSonde, a media player (mediasonde.exe). No key list of its own was
// found; mapped are a player's keys: Space toggles play/pause, the arrows and
// Enter work its lists, Page Up/Down page through them.
constexpr ButtonKeys kMediaSonde[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

// Extreme MP3, an MP3 player (extrememp3.exe). No key list of its own was
// found; mapped are an audio player's keys: Enter plays the selected track,
// Space pauses, Up/Down move through the playlist.
constexpr ButtonKeys kExtremeMp3[] = {
    {Play, {K(vk::RETURN)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
};

// STHS DVD, a DVD player (sthsdvd.exe). No key list of its own was found;
// mapped are a DVD player's keys: Space toggles play/pause, Page Up/Down
// previous/next chapter, arrows and Enter work the DVD menu.
constexpr ButtonKeys kSthsDvd[] = {
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

// DDB Play, a media player (ddbplay.exe). No key list of its own was found;
// mapped are a player's keys: Space toggles play/pause, Escape leaves full
// screen, arrows and Enter.
constexpr ButtonKeys kDdbPlay[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// CoolCD, an audio CD player (coolcd.exe). No key list of its own was found;
// mapped are a CD player's keys: Space toggles play/pause, Up/Down and Enter
// pick a track from its list, the digit keys choose tracks 1-10.
constexpr ButtonKeys kCoolCd[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Picture Slideshow (pictureslideshow.exe). No key list of its own was found;
// mapped are a slideshow's keys: Left/Right previous/next picture, Space pauses
// and resumes the show, Escape ends it.
constexpr ButtonKeys kPictureSlideshow[] = {
    {Previous, {K(vk::LEFT)}},
    {Next, {K(vk::RIGHT)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::ESCAPE)}},
    {Exit, {K(vk::ESCAPE)}},
};

// OpenMG Jukebox, Sony's music library and transfer program (omgjbox.exe). No
// key list of its own was found; mapped are its library list's keys: arrows
// and Page Up/Down move the selection, Enter plays the selected track.
constexpr ButtonKeys kOpenMgJukebox[] = {
    {Play, {K(vk::RETURN)}},
    {Ok, {K(vk::RETURN)}},
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
};

// TVTool, the TV-out utility for NVIDIA cards. Its own hotkeys are global and
// user-assigned, so they are left alone; in its window the arrows move through
// and adjust the controls, Enter confirms, Escape closes the window.
constexpr ButtonKeys kTvTool[] = {
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
};

// DVB-TV, a digital TV viewer (dvb-tv.exe). No key list of its own was found;
// mapped are a DVB viewer's keys: Page Up/Down change channel, the digit keys
// enter a channel number, Enter confirms, Escape leaves full screen.
constexpr ButtonKeys kDvbTv[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::ESCAPE)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}},
    {Digit4, {K('4')}}, {Digit5, {K('5')}}, {Digit6, {K('6')}},
    {Digit7, {K('7')}}, {Digit8, {K('8')}}, {Digit9, {K('9')}},
    {Digit0, {K('0')}},
};

// Total Recorder, High Criteria's sound recorder. Its own key list could not be
// checked; its main window is a dialog, so only the dialog keys are mapped:
// arrows move between its controls, Enter presses the default button.
constexpr ButtonKeys kTotalRecorder[] = {
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};

}  // namespace

const KeyMap kRow040 = kOnAirHdEditor;
const KeyMap kRow041 = kGotTv;
const KeyMap kRow042 = kMyTheatre;
const KeyMap kRow043 = kShowTime;
const KeyMap kRow044 = kApeJukebox;
const KeyMap kRow045 = kCinePlayer;
const KeyMap kRow046 = kFxSaver;
const KeyMap kRow047 = kSonique2;
const KeyMap kRow048 = kPhotoshopAlbum;
const KeyMap kRow049 = kVuPlayer;
const KeyMap kRow050 = kHomeTheater;
const KeyMap kRow051 = kAverTv;
const KeyMap kRow052 = k4amMusicConsole;
const KeyMap kRow053 = kIrfanView;
const KeyMap kRow056 = kMuzikbrowzer;
const KeyMap kRow057 = kFmv5;
const KeyMap kRow058 = kAmPlayer;
const KeyMap kRow059 = kYeahPlayer;
const KeyMap kRow060 = kMediaSonde;
const KeyMap kRow061 = kExtremeMp3;
const KeyMap kRow062 = kSthsDvd;
const KeyMap kRow063 = kDdbPlay;
const KeyMap kRow064 = kCoolCd;
const KeyMap kRow066 = kPictureSlideshow;
const KeyMap kRow067 = kOpenMgJukebox;
const KeyMap kRow068 = kTvTool;
const KeyMap kRow069 = kDvbTv;
const KeyMap kRow070 = kTotalRecorder;

}  // namespace keymaps
