// Players whose buttons are controls without keyboard shortcuts: the handler
// clicks at fixed offsets in the player's window. A click whose window or control
// is missing is skipped (the click operations refuse a window that is not there),
// and the button still counts as handled.
#include "platform/ports.h"
#include "profiles/handlers.h"
#include "profiles/handlers_common.h"
#include "desktop/input.h"
#include "desktop/window_queries.h"

using handlers::ButtonCode;
using handlers::FindCode;

// Part of the title of the web-radio service's pop-up player page, as the browser
// shows it.
const char* const kWebRadioTitleText = "radioparadise.com";

namespace {

struct ClickPoint {
    RemoteButton button;
    int32_t x;
    int32_t y;
};

// Clicks the button's point in the window; 0 when the table does not map it.
template <size_t N>
int ClickMapped(const ClickPoint (&table)[N], int32_t button, WindowHandle window) {
    for (const ClickPoint& p : table) {
        if (p.button == button) {
            ClickInWindow(p.x, p.y, window);
            return 1;
        }
    }
    return 0;
}

constexpr ClickPoint kWebRadioClicks[] = {
    {Play, 42, 363},
    {Pause, 42, 363},
    {Next, 72, 363},
};

constexpr ClickPoint kLive365Clicks[] = {
    {Play, 166, 218},
    {Stop, 208, 218},
};

constexpr ClickPoint kMusicNetClicks[] = {
    {Play, 98, 368}, {Pause, 134, 368}, {Stop, 63, 368},  {Previous, 29, 368},
    {Next, 165, 368}, {Menu, 146, 408},
};

constexpr ClickPoint kInterActualClicks[] = {
    {Play, 120, 26},   {Pause, 155, 26}, {Stop, 80, 26},        {Previous, 24, 26},
    {Next, 211, 26},   {Rewind, 47, 26}, {FastForward, 188, 26},
};

// Row 112: x from the left, 40 pixels up from the bottom edge.
constexpr ButtonCode kImeshColumns[] = {
    {Play, 110}, {Pause, 128}, {Stop, 147}, {Previous, 169}, {Next, 187},
};
constexpr int32_t kImeshFromBottom = -40;

// Row 132: the transport bar sits 52 pixels above the window's bottom edge.
constexpr ButtonCode kPressplayColumns[] = {
    {ChannelUp, 114}, {Next, 114}, {Down, 114}, {ChannelDown, 90}, {Previous, 90},
    {Up, 90},         {Play, 38},  {Pause, 38}, {Stop, 67},
};
constexpr int32_t kPressplayAboveBottom = 52;

}  // namespace

int HandleRow012(int32_t button) {
    return ClickMapped(kWebRadioClicks, button, FindWindowByTitlePart(kWebRadioTitleText));
}

int HandleRow013(int32_t button) {
    return ClickMapped(kLive365Clicks, button, FindWindowByTitlePart("Live365 - Player Window"));
}

int HandleRow016(int32_t button) {
    return ClickMapped(kMusicNetClicks, button, FindWindowByTitlePart("MusicNet@AOL"));
}

int HandleRow105(int32_t button) {
    return ClickMapped(kInterActualClicks, button, FindWindowByTitlePart("InterActual Controller"));
}

int HandleRow112(int32_t button) {
    uint32_t x = 0;
    if (!FindCode(kImeshColumns, button, x)) return 0;
    ClickInWindowFromBottom(static_cast<int32_t>(x), kImeshFromBottom,
                            handlers::ForegroundWindowHandle());
    return 1;
}

int HandleRow116(int32_t button) {
    // All four controls are looked up at every press, whichever is clicked.
    const WindowHandle front = handlers::ForegroundWindowHandle();
    const WindowHandle play = FindDescendantByTitleAndClass(front, "Button", "Play");
    const WindowHandle stop = FindDescendantByTitleAndClass(front, "Button", "Stop");
    const WindowHandle prev = FindDescendantByTitleAndClass(front, "Button", "Prev");
    const WindowHandle next = FindDescendantByTitleAndClass(front, "Button", "Next");
    switch (button) {
        case Play:
        case Pause:
            ClickInWindow(15, 15, play);
            return 1;
        case Stop:
            ClickInWindow(10, 10, stop);
            return 1;
        case Previous:
            ClickInWindow(10, 10, prev);
            return 1;
        case Next:
            ClickInWindow(10, 10, next);
            return 1;
        default:
            return 0;
    }
}

int HandleRow132(int32_t button) {
    uint32_t x = 0;
    if (!FindCode(kPressplayColumns, button, x)) return 0;
    Desktop* desktop = Os().desktop;
    const WindowHandle front = handlers::ForegroundWindowHandle();
    Rect r;
    if (desktop != nullptr && front != 0 && desktop->WindowRect(front, r)) {
        const int32_t height = r.bottom - r.top;
        ClickInForegroundWindow(static_cast<int32_t>(x), height - kPressplayAboveBottom);
    }
    return 1;
}
