// Programs driven through window messages to one of their windows, with
// keystrokes for what the messages do not cover.
#include <string>

#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/handler_memory.h"
#include "profiles/handlers.h"
#include "profiles/handlers_common.h"
#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "state/trace.h"

using namespace keys;
using handlers::ButtonCode;
using handlers::FindCode;

namespace {

void PostTo(WindowHandle window, MessageId message, WParam wParam, LParam lParam) {
    if (Desktop* desktop = Os().desktop) {
        const bool ok = desktop->Post(window, message, wParam, lParam);
        TraceMessage(MessageRole::Handler, false, window, message, wParam, lParam, ok);
    }
}

// A sent message waits for the target, but never for a program the system reports
// as hung, and never longer than the bound; the target's answer is not used. A message
// that runs out of time is still delivered once the program gets to it.
void SendTo(WindowHandle window, MessageId message, WParam wParam, LParam lParam) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return;
    WindowHandle& unanswering = HandlerMemoryInUse().unanswering;
    const bool timedOutBefore = window != 0 && window == unanswering;
    LResult ignored = 0;
    const bool answered = desktop->SendAbortIfHung(
        window, message, wParam, lParam, timedOutBefore ? kSendRetryTimeoutMs : kSendTimeoutMs,
        &ignored);
    TraceMessage(MessageRole::Handler, true, window, message, wParam, lParam, answered);
    if (answered) {
        if (timedOutBefore) unanswering = 0;
    } else if (desktop->WindowExists(window)) {
        unanswering = window;
    }
}

constexpr ButtonKeys kDigitKeys[] = {
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
};

// ---------------------------------------------------------------------------
// Row 6.
constexpr ButtonCode kTouchToneCommands[] = {
    {ChannelUp, 400}, {ChannelDown, 303}, {Play, 1},        {Pause, 2},
    {Stop, 3},        {Previous, 5},      {Rewind, 5},      {Next, 4},
    {FastForward, 6}, {Menu, 102},        {Exit, 100},
};
constexpr ButtonKeys kTouchToneKeys[] = {
    {Record, {Ctrl('Q')}},
    {Digit1, {CtrlAlt('T')}},
    {Digit2, {CtrlAlt('D')}},
};

// ---------------------------------------------------------------------------
// Row 55: menu command identifiers of the TV program's main window.
constexpr ButtonCode kDigiTvCommands[] = {
    {ChannelUp, 175}, {ChannelDown, 174}, {Play, 32774},       {Pause, 32781},
    {Stop, 1001},     {Record, 32780},    {Previous, 180},     {Next, 181},
    {Rewind, 151},    {FastForward, 1019}, {Up, 253},          {Down, 254},
    {Left, 32784},    {Right, 32783},     {Menu, 32777},
};

// ---------------------------------------------------------------------------
// Row 109: the first AVerMedia window found takes the buttons; each knows its own
// commands, all through one message.
constexpr MessageId kAverMediaMessage = wm::USER + 2;
struct AverCommand {
    RemoteButton button;
    WParam wParam;
    LParam lParam;
};
constexpr AverCommand kAverCdPlayer[] = {
    {ChannelUp, 4026, 0}, {Next, 4026, 0}, {ChannelDown, 4027, 0}, {Previous, 4027, 0},
    {Play, 4021, 0},      {Pause, 4022, 0}, {Stop, 4023, 0},
};
constexpr AverCommand kAverVcrPlayer[] = {
    {Play, 3042, 1},
    {Pause, 3042, 2},
    {Stop, 3042, 3},
};
constexpr AverCommand kAverTv[] = {
    {ChannelUp, 3087, 0}, {Next, 3087, 0},   {ChannelDown, 3087, 1}, {Previous, 3087, 1},
    {Play, 3063, 0},      {Pause, 3062, 0},  {Stop, 3064, 0},        {Record, 3065, 0},
    {Menu, 3091, 0},      {Digit1, 3094, 1}, {Digit2, 3094, 2},      {Digit3, 3094, 3},
    {Digit4, 3094, 4},    {Digit5, 3094, 5}, {Digit6, 3094, 6},      {Digit7, 3094, 7},
    {Digit8, 3094, 8},    {Digit9, 3094, 9}, {Digit0, 3094, 0},
};

template <size_t N>
int PostAverCommand(WindowHandle window, const AverCommand (&table)[N], int32_t button) {
    for (const AverCommand& c : table) {
        if (c.button == button) {
            PostTo(window, kAverMediaMessage, c.wParam, c.lParam);
            return 1;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Row 111: the media centre shell takes the application commands, flagged as
// coming from an OEM device.
constexpr uint32_t kAppCommandOem = 0x1000;
constexpr ButtonCode kMediaCenterCommands[] = {
    {Play, 46},     {Pause, 47},      {Stop, 13},        {Record, 48}, {Previous, 12},
    {Next, 11},     {Rewind, 50},     {FastForward, 49}, {Menu, 1},
};
constexpr ButtonKeys kMediaCenterKeys[] = {
    {ChannelUp, {K(vk::PRIOR)}},
    {ChannelDown, {K(vk::NEXT)}},
    {Up, {Scan(vk::UP, 0x48, true)}},
    {Down, {Scan(vk::DOWN, 0x50, true)}},
    {Left, {Scan(vk::LEFT, 0x4B, true)}},
    {Right, {Scan(vk::RIGHT, 0x4D, true)}},
    {Ok, {Scan(vk::RETURN, 0x1C)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
};

// ---------------------------------------------------------------------------
// Row 122: two generations of the TV program's proxy window; the newer one takes
// the command as wParam, the older one in the message number.
constexpr ButtonCode kAtiRwCommands[] = {
    {ChannelUp, 23}, {ChannelDown, 24}, {Play, 37},        {Pause, 38}, {Stop, 39},
    {Previous, 45},  {Next, 44},        {Rewind, 36},      {FastForward, 35}, {Menu, 28},
};
constexpr ButtonCode kAtiX10Messages[] = {
    {ChannelUp, wm::USER + 41}, {ChannelDown, wm::USER + 48}, {Play, wm::USER + 6},
    {Pause, wm::USER},          {Stop, wm::USER + 5},         {Previous, wm::USER + 74},
    {Next, wm::USER + 75},      {Rewind, wm::USER + 2},       {FastForward, wm::USER + 4},
    {Menu, wm::USER + 9},
};
constexpr ButtonKeys kAtiKeys[] = {
    {Record, {Ctrl('R')}},
    {Up, {K(vk::UP)}},
    {Down, {K(vk::DOWN)}},
    {Left, {K(vk::LEFT)}},
    {Right, {K(vk::RIGHT)}},
    {Ok, {K(vk::RETURN)}},
    {Exit, {K(vk::BACK)}},
    {Digit1, {K('1')}}, {Digit2, {K('2')}}, {Digit3, {K('3')}}, {Digit4, {K('4')}},
    {Digit5, {K('5')}}, {Digit6, {K('6')}}, {Digit7, {K('7')}}, {Digit8, {K('8')}},
    {Digit9, {K('9')}}, {Digit0, {K('0')}},
};

// ---------------------------------------------------------------------------
// Row 128: the jukebox keeps its player keys on the main window and its list keys
// on the music library's list control.
constexpr ButtonKeys kJukeboxKeys[] = {
    {Play, {Ctrl('P')}},
    {Stop, {Ctrl('S')}},
    {Previous, {Scan(vk::LEFT, 0x4B, true, kAlt)}},
    {Next, {Scan(vk::RIGHT, 0x4D, true, kAlt)}},
    {Rewind, {Scan(vk::LEFT, 0x4B, true, kAlt | kShift)}},
    {FastForward, {Scan(vk::RIGHT, 0x4D, true, kAlt | kShift)}},
    {Up, {Scan(vk::UP, 0x48, true)}},
    {Down, {Scan(vk::DOWN, 0x50, true)}},
    {Left, {Scan(vk::LEFT, 0x4B, true)}},
    {Right, {Scan(vk::RIGHT, 0x4D, true)}},
    {Menu, {Alt('V'), K('L')}},
};
// Menu commands that act on the main window, so the cursor goes there first.
constexpr ButtonKeys kJukeboxMainWindowKeys[] = {
    {ChannelUp, {K(vk::UP, kAlt | kShift)}},
    {ChannelDown, {K(vk::DOWN, kAlt | kShift)}},
    {Ok, {Alt('O'), K('M'), K('P')}},
    {Digit1, {Alt('O'), K('M'), K('M')}},
    {Digit2, {Alt('V'), K('Y')}},
    {Digit3, {Alt('O'), K('L'), K('H')}},
    {Digit4, {Alt('V'), K('O')}},
    {Digit5, {Alt('V'), K('D')}},
    {Digit6, {Alt('O'), K('L'), K('O')}},
    {Digit0, {Alt('O'), K('M'), K('Y')}},
};
constexpr bool UsesLibraryList(int32_t b) {
    return b == Up || b == Down || b == Left || b == Right || b == Ok || b == Digit0;
}
// Enough for any real window's children; stops a walk over a sibling chain that
// changes under it.
constexpr int kMaxChildWalk = 4096;

WindowHandle LibraryListControl() {
    Desktop* desktop = Os().desktop;
    const WindowHandle library = FindWindowByTitlePart("Music Library");
    if (desktop == nullptr || library == 0) return 0;
    WindowHandle child = desktop->FirstChild(library);
    for (int i = 0; child != 0 && i < kMaxChildWalk; ++i) {
        if (WindowClass(child) == "AfxWnd70u") return child;
        child = desktop->NextSibling(child);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Row 148: the classic player (by its main window's commands) and its successors
// (by their keys).
constexpr ButtonCode kClassicPlayerCommands[] = {
    {Play, 40045}, {Pause, 40046}, {Stop, 40047}, {Previous, 40044},
    {Left, 40044}, {Next, 40048},  {Right, 40048},
};
constexpr ButtonKeys kClassicPlayerKeys[] = {
    {Record, {K('S')}},
    {Menu, {Alt('E')}},
    {Digit1, {K('R')}},
};
constexpr ButtonKeys kSuccessorKeys[] = {
    {Play, {K('X')}},      {Pause, {K('C')}}, {Stop, {K('V')}}, {Record, {K('S')}},
    {Previous, {K('Z')}},  {Left, {K('Z')}},  {Next, {K('B')}}, {Right, {K('B')}},
    {Menu, {K('R')}},
};

// Holding a seek button repeats it without the repeat delay; acting on every third
// press keeps the player from skipping wildly (HandlerMemory's counters).

// True on every third call for the counter.
bool ThirdPress(int& presses) {
    if (presses == 2) {
        presses = 0;
        return true;
    }
    ++presses;
    return false;
}

}  // namespace

int HandleRow006(int32_t button) {
    const WindowHandle window = FindWindowByClass("TouchTone Main");
    if (window == 0) return 0;
    uint32_t code = 0;
    if (FindCode(kTouchToneCommands, button, code)) {
        PostTo(window, wm::USER, code, 0);
        return 1;
    }
    return SendMappedKeys(kTouchToneKeys, button);
}

int HandleRow055(int32_t button) {
    uint32_t command = 0;
    if (FindCode(kDigiTvCommands, button, command)) {
        SendTo(handlers::ForegroundWindowHandle(), wm::COMMAND, command, 0);
        return 1;
    }
    if (button == Ok) {
        SendKeystroke(vk::RETURN);
        return 1;
    }
    return SendMappedKeys(kDigitKeys, button);
}

int HandleRow109(int32_t button) {
    if (const WindowHandle cd = FindWindowByTitlePart("AVerMedia CD Player")) {
        return PostAverCommand(cd, kAverCdPlayer, button);
    }
    if (const WindowHandle vcr = FindWindowByTitlePart("AVerMedia VCR Player Control")) {
        return PostAverCommand(vcr, kAverVcrPlayer, button);
    }
    WindowHandle tv = FindWindowByTitlePart("AVerMedia TV Tuner");
    if (tv == 0) tv = FindWindowByTitlePart("AVerMedia TV Control Panel");
    if (tv != 0) return PostAverCommand(tv, kAverTv, button);
    return 0;
}

int HandleRow111(int32_t button) {
    uint32_t command = 0;
    if (FindCode(kMediaCenterCommands, button, command)) {
        const WindowHandle front = handlers::ForegroundWindowHandle();
        // MAKELPARAM(0, FAPPCOMMAND_OEM | command): the command in the high word.
        const LParam lParam = static_cast<LParam>((kAppCommandOem | command) << 16);
        PostTo(front, wm::APPCOMMAND, front, lParam);
        return 1;
    }
    return SendMappedKeys(kMediaCenterKeys, button);
}

int HandleRow122(int32_t button) {
    const WindowHandle x10 = FindWindowByClass("ATIX10ProxyClass");
    const WindowHandle rw = FindWindowByClass("ATIRWProxyClass");
    uint32_t code = 0;
    if (rw != 0) {
        if (FindCode(kAtiRwCommands, button, code)) {
            PostTo(rw, wm::USER, code, 0);
            return 1;
        }
    } else if (x10 != 0) {
        if (FindCode(kAtiX10Messages, button, code)) {
            PostTo(x10, code, 1, 0);
            return 1;
        }
    } else {
        return 0;
    }
    return SendMappedKeys(kAtiKeys, button);
}

int HandleRow128(int32_t button) {
    const WindowHandle main = FindWindowByClass("MMJB:MAINWND");
    if (main != 0) BringWindowToFront(main);
    const WindowHandle recorder = FindWindowByTitlePart("MMJB Recorder");
    if (UsesLibraryList(button)) {
        if (const WindowHandle list = LibraryListControl()) FocusWindow(list);
    } else if (main != 0) {
        FocusWindow(main);
    }

    switch (button) {
        case Pause:
            if (handlers::WindowsIsNt5()) {
                SendKeystrokeEx(vk::MEDIA_PLAY_PAUSE, false, false, false, 0x22, kKeyExtended);
            } else {
                SendKeystroke(vk::PAUSE);
            }
            return 1;
        case Record:
            // Clicks the recorder's record button but answers unhandled, so the
            // default for Record follows as well.
            if (recorder != 0) ClickInWindow(75, 140, recorder);
            return 0;
        default:
            break;
    }
    if (const ButtonKeys* entry = KeyMap(kJukeboxMainWindowKeys).Find(button)) {
        MoveCursorToWindow(0, 0, main);
        SendStrokes(entry->strokes);
        return 1;
    }
    return SendMappedKeys(kJukeboxKeys, button);
}

int HandleRow148(int32_t button) {
    if (ForegroundProcessIs("studio.exe") || ForegroundProcessIs("winamp3.exe")) {
        if (button == Rewind) {
            if (ThirdPress(HandlerMemoryInUse().rewindPresses)) SendKeystroke(vk::LEFT);
            return 1;
        }
        if (button == FastForward) {
            if (ThirdPress(HandlerMemoryInUse().forwardPresses)) SendKeystroke(vk::RIGHT);
            return 1;
        }
        return SendMappedKeys(kSuccessorKeys, button);
    }

    const WindowHandle main = FindWindowByClass("Winamp v1.x");
    if (main == 0) return 0;
    const WindowHandle listWindow = FindWindowByClass("Winamp PE");
    Desktop* desktop = Os().desktop;
    const WindowHandle playlist =
        (listWindow != 0 && desktop != nullptr && desktop->IsVisible(listWindow)) ? listWindow : 0;

    uint32_t command = 0;
    if (FindCode(kClassicPlayerCommands, button, command)) {
        SendTo(main, wm::COMMAND, command, 0);
        return 1;
    }
    switch (button) {
        case Rewind:
            if (ThirdPress(HandlerMemoryInUse().rewindPresses)) SendTo(main, wm::COMMAND, 40061, 0);
            return 1;
        case FastForward:
            if (ThirdPress(HandlerMemoryInUse().forwardPresses)) SendTo(main, wm::COMMAND, 40060, 0);
            return 1;
        case Up:
        case Down:
        case Ok:
            // The list keys act on the playlist only once a click has given it focus.
            if (playlist != 0) {
                ClickInWindow(1, 20, playlist);
                SendKeystroke(button == Up ? vk::UP : button == Down ? vk::DOWN : vk::RETURN);
            }
            return 1;
        default:
            return SendMappedKeys(kClassicPlayerKeys, button);
    }
}

namespace handlers {
void ResetPressCounters() {
    HandlerMemory& memory = HandlerMemoryInUse();
    memory.rewindPresses = 0;
    memory.forwardPresses = 0;
    memory.unanswering = 0;
}
}  // namespace handlers
