#include "engine/events.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "platform/ports.h"
#include "platform/vk.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "engine/dispatcher.h"
#include "desktop/input.h"
#include "engine/power.h"
#include "desktop/window_queries.h"
#include "state/settings.h"
#include "state/trace.h"

namespace {


bool MouseModeBypass(int32_t id) {
    RemoteSettings* s = CurrentSettings();
    if (s == nullptr || s->MouseModeEnabled.load() == 0 || !IsArrowButton(id)) return false;
    return !NoMouseFlag();
}

}  // namespace

ButtonTiming& TheButtonTiming() {
    static ButtonTiming timing;
    return timing;
}

// The setters store any value; a negative or huge one would make the conversion below
// undefined, so it counts as the nearest end of the range that a load would give.
uint32_t RepeatDelayMs(int32_t repeatDelay) {
    repeatDelay = std::clamp(repeatDelay, 0, 100);
    return static_cast<uint32_t>(static_cast<double>(repeatDelay) / 100.0 * 1150.0 + 50.0);
}

uint32_t RepeatRateMs(int32_t repeatRate) {
    repeatRate = std::clamp(repeatRate, 0, 100);
    return static_cast<uint32_t>(static_cast<double>(repeatRate) / 100.0 * 450.0 + 50.0);
}

bool AcceptButtonTiming(int32_t id, int32_t variant) {
    return RepeatFilter(id, variant) != RepeatDecision::Swallowed;
}

RepeatDecision RepeatFilter(int32_t id, int32_t variant) {
    if (MouseModeBypass(id)) return RepeatDecision::MouseModeBypass;

    RemoteSettings* s = CurrentSettings();
    const int32_t storedDelay = s == nullptr ? 50 : s->RepeatDelay.load();
    const int32_t storedRate = s == nullptr ? 50 : s->RepeatRate.load();
    const uint32_t delay = RepeatDelayMs(storedDelay);
    const uint32_t rate = RepeatRateMs(storedRate);

    ButtonTiming& t = TheButtonTiming();
    const uint32_t now = TickNow();
    if (id != t.lastButton || variant != t.lastVariant) {
        t.lastButton = id;
        t.lastVariant = variant;
        t.pressStart = t.lastAccepted = t.lastSeen = now;
        return RepeatDecision::NewPress;
    }
    if (now - t.lastSeen > kLostContactMs) {
        t.pressStart = t.lastAccepted = t.lastSeen = now;
        return RepeatDecision::AfterPause;
    }
    if (now - t.lastAccepted > rate && (now - t.pressStart > delay || IsFastRepeatButton(id))) {
        t.lastAccepted = t.lastSeen = now;
        return RepeatDecision::HeldAccepted;
    }
    t.lastSeen = now;
    return RepeatDecision::Swallowed;
}

bool HasDefaultKeystroke(int32_t id) {
    return id == Play || id == Pause || id == Stop || id == Previous || id == Next ||
           IsArrowButton(id) || id == Ok || id == Menu || id == Exit ||
           (id >= Digit1 && id <= Digit0);
}

void SendDefaultKeystroke(int32_t id) {
    switch (id) {
        case Play:
        case Pause: SendKeystrokeEx(vk::MEDIA_PLAY_PAUSE, false, false, false, 0x22, kKeyExtended); break;
        case Stop: SendKeystrokeEx(vk::MEDIA_STOP, false, false, false, 0x24, kKeyExtended); break;
        case Previous: SendKeystrokeEx(vk::MEDIA_PREV_TRACK, false, false, false, 0x10, kKeyExtended); break;
        case Next: SendKeystrokeEx(vk::MEDIA_NEXT_TRACK, false, false, false, 0x19, kKeyExtended); break;
        case Up: SendKeystroke(vk::UP); break;
        case Down: SendKeystroke(vk::DOWN); break;
        case Left: SendKeystroke(vk::LEFT); break;
        case Right: SendKeystroke(vk::RIGHT); break;
        case Ok: SendKeystroke(vk::RETURN); break;
        case Menu: SendKeystroke(vk::F10); break;
        case Exit: SendKeystroke(vk::F4, false, true, false); break;
        case Digit0: SendKeystroke('0'); break;
        default:
            if (id >= Digit1 && id <= Digit9) SendKeystroke(static_cast<uint8_t>('1' + (id - Digit1)));
            break;
    }
}

void MatchReceivedCode(const CRButton& received, int (&variants)[kButtonCount]) {
    CButtonMap& map = TheButtonMap();
    std::lock_guard<std::recursive_mutex> hold(map.Lock());
    for (int32_t id = 0; id < kButtonCount; ++id) variants[id] = map.MatchButton(received, id);
}

void OnCodeComplete() {
    IrReceiver& rx = TheReceiver();
    CodeTrace trace(rx.valueCount);
    if (rx.valueCount < kShortestCode) {
        rx.valueCount = 0;
        return;
    }
    auto received = std::unique_ptr<CRButton>(
        new (std::nothrow) CRButton(rx.values, rx.valueCount, nullptr, 0, 0));
    rx.valueCount = 0;
    if (!received) return;

    // The actions below never run under the map's lock.
    int variants[kButtonCount] = {};
    MatchReceivedCode(*received, variants);
    for (int32_t id = 0; id < kButtonCount; ++id) {
        const int variant = variants[id];
        if (variant == 0) continue;
        const RepeatDecision decision = RepeatFilter(id, variant);
        trace.Match(id, variant, decision);
        if (decision == RepeatDecision::Swallowed) break;
        RemoteSettings* s = CurrentSettings();
        if (s == nullptr || s->ScreenSaverWakeupEnabled.load() != 0) ScreenSaverWakeUp();
        if (ButtonDispatcher(id, variant)) continue;
        TraceStep([&] {
            return std::string(HasDefaultKeystroke(id) ? "default key" : "no default key");
        });
        SendDefaultKeystroke(id);
    }
}
