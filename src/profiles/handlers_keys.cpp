// Keystroke handlers that choose their table at each press (by title, class,
// process or Windows version), time their events, raise a window first or mix
// one click into their keys.
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/handlers.h"
#include "profiles/handlers_common.h"
#include "profiles/keymaps/keymaps.h"
#include "desktop/input.h"
#include "desktop/window_queries.h"

using namespace keys;

namespace {

bool LowerForegroundTitleContains(const char* text) {
    std::string title;
    ForegroundWindowTitle(title);
    return LowerAnsi(title).find(text) != std::string::npos;
}

// ---------------------------------------------------------------------------
// Row 30: the slide-show programs. StudioMaster starts its show from the View
// menu's slide-show dialog; the others run the show in the window in front.
constexpr ButtonKeys kStudioMaster[] = {
    {Play,
     {K(vk::ESCAPE), K(vk::ESCAPE), K(vk::MENU), Alt('V'), K('S'), K(vk::TAB), K(vk::RETURN)}},
    {Stop, {K(vk::ESCAPE)}},
    {Exit, {K(vk::ESCAPE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};
constexpr ButtonKeys kSlideShowPlayer[] = {
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K('Q'), K(vk::ESCAPE), K(vk::ESCAPE), K(vk::ESCAPE), K(vk::ESCAPE)}},
    {Exit, {K('Q'), K(vk::ESCAPE), K(vk::ESCAPE), K(vk::ESCAPE), K(vk::ESCAPE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K('F')}},
};

// ---------------------------------------------------------------------------
// Row 78: the classic player windows. Keys reach the main player window only, so
// it is raised first even when the playlist or the library is in front.
constexpr ButtonKeys kClassicPlayer[] = {
    {ChannelUp, {Ctrl('Z')}},
    {ChannelDown, {Ctrl('V')}},
    {Play, {K('X')}},
    {Pause, {K('C')}},
    {Stop, {K('V'), K('C')}},
    {Record, {K('S')}},
    {Previous, {K('Z')}},
    {Next, {K('B')}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K('R')}},
    {Digit1, {CtrlShift('K')}},
    {Digit2, {Alt('G')}},
    {Digit3, {Alt('E')}},
    {Digit4, {Alt('V')}},
    {Digit5, {Scan('L', 0x26, false, kAlt)}},
};

// ---------------------------------------------------------------------------
// Row 94: the Creative media programs. Previous and Next reach them one event at
// a time, 100 ms apart: their track skips miss a Ctrl+key sent as one burst.
constexpr ButtonKeys kCreativeMedia[] = {
    {Play, {Ctrl('P')}},
    {Stop, {Ctrl('S')}},
    {Record, {Ctrl('R')}},
    {Rewind, {Ctrl(vk::LEFT)}},
    {FastForward, {Ctrl(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
};
constexpr uint32_t kTimedKeyGapMs = 100;
constexpr uint16_t kScanControl = 0x1D;

void InjectOne(uint16_t virtualKey, uint16_t scan, uint32_t flags) {
    SendKeyEvent(virtualKey, scan, flags);
}

void PauseBetweenEvents() {
    if (Clock* clock = Os().clock) clock->Sleep(kTimedKeyGapMs);
}

void SendCtrlKeySlowly(uint16_t virtualKey, uint16_t scan) {
    InjectOne(vk::CONTROL, kScanControl, 0);
    PauseBetweenEvents();
    InjectOne(virtualKey, scan, 0);
    PauseBetweenEvents();
    InjectOne(virtualKey, scan, kKeyUp);
    PauseBetweenEvents();
    InjectOne(vk::CONTROL, kScanControl, kKeyUp);
}

// ---------------------------------------------------------------------------
// Row 97: the picture viewer pages through pictures where the browser moves the
// selection, and closes only the picture on Exit.
constexpr ButtonKeys kAcdSeeViewer[] = {
    {Left, {K(vk::PRIOR)}},
    {Right, {K(vk::NEXT)}},
    {Exit, {K(vk::ESCAPE)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K('F')}},
};
constexpr ButtonKeys kAcdSeeBrowser[] = {
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Exit, {Alt(vk::F4)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {K('F')}},
};

// ---------------------------------------------------------------------------
// Row 107: the album manager and the player window bind different keys.
constexpr ButtonKeys kJetAudioAlbum[] = {
    {Play, {K(vk::F9)}},
    {Ok, {K(vk::F9)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::F10)}},
    {Previous, {Ctrl(vk::F9)}},
    {Next, {Ctrl(vk::F10)}},
    {Digit0, {K(vk::TAB)}},
};
constexpr ButtonKeys kJetAudioPlayer[] = {
    {ChannelUp, {Ctrl('K')}},
    {ChannelDown, {Ctrl('T')}},
    {Play, {K(vk::SPACE)}},
    {Pause, {K(vk::SPACE)}},
    {Stop, {K(vk::ESCAPE)}},
    {Record, {Ctrl('3')}},
    {Previous, {K(vk::PRIOR)}},
    {Next, {K(vk::NEXT)}},
    {Rewind, {K(vk::LEFT)}},
    {FastForward, {K(vk::RIGHT)}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {Alt('1')}},
    {Right, {Alt('2')}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {Ctrl('M')}},
    {Digit1, {Ctrl('1')}},
    {Digit2, {Ctrl('2')}},
    {Digit3, {Ctrl('4')}},
    {Digit4, {Ctrl('5')}},
};

// ---------------------------------------------------------------------------
// Row 149: the "My Music" window has no player keys; its Controls menu does.
constexpr Strokes ControlsMenu(uint8_t command) {
    return Strokes{K(vk::ESCAPE), K(vk::ESCAPE), K(vk::MENU),  K('C'),
                   K(command),    K(vk::ESCAPE), K(vk::ESCAPE)};
}
constexpr ButtonKeys kFreeAmpMyMusic[] = {
    {Play, ControlsMenu('P')},
    {Pause, ControlsMenu('U')},
    {Stop, ControlsMenu('U')},
    {Previous, ControlsMenu('V')},
    {Left, ControlsMenu('V')},
    {Next, ControlsMenu('N')},
    {Right, ControlsMenu('N')},
};
constexpr ButtonKeys kFreeAmpPlayer[] = {
    {Play, {K('P')}},
    {Pause, {K('U')}},
    {Stop, {K('S')}},
    {Previous, {K('R')}},
    {Left, {K('R')}},
    {Next, {K('N')}},
    {Right, {K('N')}},
};

// ---------------------------------------------------------------------------
// Row 150: the media player takes the media keys on Windows 2000 and XP only;
// elsewhere its own Ctrl-letter shortcuts do the same.
constexpr ButtonKeys kMediaPlayerNt5[] = {
    {Play, {Scan(vk::MEDIA_PLAY_PAUSE, 0x22, true)}},
    {Pause, {Scan(vk::MEDIA_PLAY_PAUSE, 0x22, true)}},
    {Stop, {Scan(vk::MEDIA_STOP, 0x24, true)}},
    {Previous, {Scan(vk::MEDIA_PREV_TRACK, 0x10, true)}},
    {Next, {Scan(vk::MEDIA_NEXT_TRACK, 0x19, true)}},
};
constexpr ButtonKeys kMediaPlayerOther[] = {
    {Play, {Ctrl('P')}},
    {Pause, {Ctrl('P')}},
    {Stop, {Ctrl('S')}},
    {Previous, {Ctrl('B')}},
    {Next, {Ctrl('F')}},
};
constexpr ButtonKeys kMediaPlayer[] = {
    {ChannelUp, {CtrlShift('C')}},
    {ChannelDown, {Ctrl('E')}},
    {Record, {Ctrl('H')}},
    {Rewind, {CtrlShift('B')}},
    {FastForward, {CtrlShift('F')}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Menu, {Alt(vk::RETURN)}},
    {Digit1, {Alt('1')}},
    {Digit2, {Alt('2')}},
    {Digit3, {Alt('3')}},
    {Digit4, {Ctrl('1')}},
    {Digit5, {Ctrl('2')}},
    {Digit6, {K(vk::F3)}},
    {Digit7, {Ctrl('T')}},
    {Digit0, {CtrlShift('M')}},
};

}  // namespace

int HandleRow030(int32_t button) {
    if (LowerForegroundTitleContains("studiomaster")) {
        return SendMappedKeys(kStudioMaster, button);
    }
    return SendMappedKeys(kSlideShowPlayer, button);
}

int HandleRow078(int32_t button) {
    if (const WindowHandle player = FindWindowByTitlePart("Player Window")) {
        BringWindowToFront(player);
    }
    return SendMappedKeys(kClassicPlayer, button);
}

int HandleRow094(int32_t button) {
    switch (button) {
        case Previous:
            SendCtrlKeySlowly(vk::PRIOR, 0x49);
            return 1;
        case Next:
            SendCtrlKeySlowly(vk::NEXT, 0x51);
            return 1;
        case Pause:
            // The DVD player binds its pause to another letter than its siblings.
            SendKeystroke(ForegroundProcessIs("ctdvda.exe") ? 'A' : 'P', true, false, true);
            return 1;
        default:
            return SendMappedKeys(kCreativeMedia, button);
    }
}

int HandleRow097(int32_t button) {
    if (ForegroundWindowClass().find("AfxFrameOrView") != std::string::npos) {
        return SendMappedKeys(kAcdSeeViewer, button);
    }
    return SendMappedKeys(kAcdSeeBrowser, button);
}

int HandleRow107(int32_t button) {
    if (LowerForegroundTitleContains("album management")) {
        return SendMappedKeys(kJetAudioAlbum, button);
    }
    return SendMappedKeys(kJetAudioPlayer, button);
}

int HandleRow136(int32_t button) {
    if (button == Menu) {
        RightClickInForegroundWindow(30, 30);
        return 1;
    }
    return SendMappedKeys(keymaps::kRow136, button);
}

int HandleRow138(int32_t button) {
    if (button == Menu) {
        RightClickInWindow(50, 50, handlers::ForegroundWindowHandle());
        return 1;
    }
    return SendMappedKeys(keymaps::kRow138, button);
}

int HandleRow149(int32_t button) {
    if (LowerForegroundTitleContains("my music")) {
        return SendMappedKeys(kFreeAmpMyMusic, button);
    }
    return SendMappedKeys(kFreeAmpPlayer, button);
}

int HandleRow150(int32_t button) {
    const keys::KeyMap versionKeys =
        handlers::WindowsIsNt5() ? keys::KeyMap(kMediaPlayerNt5) : keys::KeyMap(kMediaPlayerOther);
    if (versionKeys.Find(button) != nullptr) return SendMappedKeys(versionKeys, button);
    return SendMappedKeys(kMediaPlayer, button);
}
