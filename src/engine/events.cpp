#include "engine/events.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "engine/dispatcher.h"
#include "engine/press_engine.h"
#include "engine/power.h"
#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/profile_files.h"
#include "profiles/remote_files.h"
#include "receiver/button_map.h"
#include "receiver/learned_codes.h"
#include "receiver/remote_button.h"
#include "receiver/receiver.h"
#include "state/key_names.h"
#include "state/settings.h"
#include "state/trace.h"

// A learned code shorter than this would never reach the matching.
static_assert(kLearnedCodeShortest == static_cast<size_t>(kShortestCode));

namespace {

bool MouseModeBypass(int32_t id) {
    RemoteSettings* s = CurrentSettings();
    if (s == nullptr || s->MouseModeEnabled.load() == 0 || !IsArrowButton(id)) return false;
    return !NoMouseFlag();
}

}  // namespace

ButtonTiming& TheButtonTiming() { return PressEngineInUse().timing; }

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
    return RepeatFilter(TheButtonTiming(), id, variant);
}

RepeatDecision RepeatFilter(ButtonTiming& t, int32_t id, int32_t variant) {
    if (MouseModeBypass(id)) return RepeatDecision::MouseModeBypass;

    RemoteSettings* s = CurrentSettings();
    const int32_t storedDelay = s == nullptr ? 50 : s->RepeatDelay.load();
    const int32_t storedRate = s == nullptr ? 50 : s->RepeatRate.load();
    const uint32_t delay = RepeatDelayMs(storedDelay);
    const uint32_t rate = RepeatRateMs(storedRate);

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

namespace {

// The key each button sends when nothing else took it.
struct DefaultKey {
    int32_t button;
    uint8_t key;
    bool withAlt = false;
    uint16_t scanCode = 0;  // the media keys carry theirs, as a keyboard's do
    uint32_t flags = 0;
};

constexpr DefaultKey kDefaultKeys[] = {
    {Play, vk::MEDIA_PLAY_PAUSE, false, 0x22, kKeyExtended},
    {Pause, vk::MEDIA_PLAY_PAUSE, false, 0x22, kKeyExtended},
    {Stop, vk::MEDIA_STOP, false, 0x24, kKeyExtended},
    {Previous, vk::MEDIA_PREV_TRACK, false, 0x10, kKeyExtended},
    {Next, vk::MEDIA_NEXT_TRACK, false, 0x19, kKeyExtended},
    {Up, vk::UP},
    {Down, vk::DOWN},
    {Left, vk::LEFT},
    {Right, vk::RIGHT},
    {Ok, vk::RETURN},
    {Menu, vk::F10},
    {Exit, vk::F4, true},
    {Digit1, '1'},
    {Digit2, '2'},
    {Digit3, '3'},
    {Digit4, '4'},
    {Digit5, '5'},
    {Digit6, '6'},
    {Digit7, '7'},
    {Digit8, '8'},
    {Digit9, '9'},
    {Digit0, '0'},
};

const DefaultKey* FindDefaultKey(int32_t id) {
    for (const DefaultKey& k : kDefaultKeys)
        if (k.button == id) return &k;
    return nullptr;
}

}  // namespace

bool HasDefaultKeystroke(int32_t id) { return FindDefaultKey(id) != nullptr; }

std::string DefaultKeystrokeName(int32_t id) {
    const DefaultKey* k = FindDefaultKey(id);
    if (k == nullptr) return std::string();
    return (k->withAlt ? "Alt+" : "") + KeyName(k->key);
}

void SendDefaultKeystroke(int32_t id) {
    if (const DefaultKey* k = FindDefaultKey(id))
        SendKeystrokeEx(k->key, false, k->withAlt, false, k->scanCode, k->flags);
}

void MatchReceivedCode(const CRButton& received, int (&variants)[kButtonCount]) {
    CButtonMap& map = TheButtonMap();
    std::lock_guard<std::recursive_mutex> hold(map.Lock());
    for (int32_t id = 0; id < kButtonCount; ++id) variants[id] = map.MatchButton(received, id);
}

void OnCodeComplete() { PressEngineInUse().OnCodeComplete(); }

void PressEngine::StartCapture(CaptureSink sink) {
    std::lock_guard<std::mutex> hold(captureGuard_);
    capturing_.store(static_cast<bool>(sink));
    capture_ = std::move(sink);
}

void PressEngine::StopCapture() { StartCapture(nullptr); }

bool PressEngine::Capturing() { return static_cast<bool>(Capture()); }

PressEngine::CaptureSink PressEngine::Capture() {
    if (!capturing_.load(std::memory_order_relaxed)) return nullptr;
    std::lock_guard<std::mutex> hold(captureGuard_);
    return capture_;
}

void PressEngine::StartRawCapture(RawCaptureSink sink) {
    std::lock_guard<std::mutex> hold(captureGuard_);
    rawCapturing_.store(static_cast<bool>(sink));
    rawCapture_ = std::move(sink);
}

void PressEngine::StopRawCapture() { StartRawCapture(nullptr); }

bool PressEngine::RawCapturing() { return static_cast<bool>(RawCapture()); }

PressEngine::RawCaptureSink PressEngine::RawCapture() {
    if (!rawCapturing_.load(std::memory_order_relaxed)) return nullptr;
    std::lock_guard<std::mutex> hold(captureGuard_);
    return rawCapture_;
}

void PressEngine::OnCodeComplete() {
    IrReceiver& rx = receiver_;
    CodeTrace trace(rx.valueCount);
    if (rx.valueCount < kShortestCode) {
        rx.valueCount = 0;
        return;
    }
    if (const RawCaptureSink sink = RawCapture()) {
        const std::vector<uint8_t> values(rx.values, rx.values + rx.valueCount);
        rx.valueCount = 0;
        trace.Learning();
        sink(values, TickNow());
        return;
    }
    auto received = std::unique_ptr<CRButton>(
        new (std::nothrow) CRButton(rx.values, rx.valueCount, nullptr, 0, 0));
    rx.valueCount = 0;
    if (!received) return;

    if (const uint32_t sleeps = rx.sleeps.load(); sleeps != sleepsSeen_) {
        sleepsSeen_ = sleeps;
        timing = ButtonTiming{};
        heldAlias_ = HeldAlias{};
    }

    // The actions below never run under the map's lock.
    int variants[kButtonCount] = {};
    AliasMatch alias;
    {
        // Ours and the learned table under one hold: a code meets the map and the table
        // that were in force together.
        std::lock_guard<std::recursive_mutex> hold(TheButtonMap().Lock());
        MatchReceivedCode(*received, variants);
        // Another remote's codes only after every one of ours failed.
        if (std::all_of(std::begin(variants), std::end(variants), [](int v) { return v == 0; })) {
            const bool held = heldAlias_.button >= 0 && TickNow() - heldAliasTick_ <= kLostContactMs;
            alias = MatchLearnedCode(*received, held ? &heldAlias_ : nullptr);
        }
    }
    // Any other code ends what a repeat frame may stand for.
    if (alias.button >= 0) {
        variants[alias.button] = alias.variant;
        heldAlias_ = HeldAlias{alias.remote, alias.button, alias.variant};
        heldAliasTick_ = TickNow();
    } else {
        heldAlias_ = HeldAlias{};
    }
    for (int32_t id = 0; id < kButtonCount; ++id) {
        const int variant = variants[id];
        if (variant == 0) continue;
        const RepeatDecision decision = RepeatFilter(timing, id, variant);
        trace.Match(id, variant, decision);
        if (id == alias.button) {
            TraceStep([&] {
                return "learned remote \"" + alias.remote + "\"" +
                       (alias.repeatFrame ? ", its repeat frame" : "");
            });
        }
        const bool newPress =
            decision == RepeatDecision::NewPress || decision == RepeatDecision::AfterPause;
        if (const CaptureSink sink = Capture()) {
            if (newPress) {
                TraceStep([] { return std::string("captured: a button is being taught"); });
                sink(id);
            }
            break;
        }
        if (ProfileHoldFrame(id, newPress)) continue;
        if (decision == RepeatDecision::Swallowed) break;
        if (uint32_t since = 0; id == Power && WithinResumeGuard(TickNow(), since)) {
            TraceStep([&] { return "ignored: " + SecondsText(since) + " after resume"; });
            continue;
        }
        RemoteSettings* s = CurrentSettings();
        if (s == nullptr || s->ScreenSaverWakeupEnabled.load() != 0) ScreenSaverWakeUp();
        if (ButtonDispatcher(*this, id, variant)) continue;
        TraceStep(HasDefaultKeystroke(id) ? TraceKind::DefaultKey : TraceKind::NoDefaultKey);
        SendDefaultKeystroke(id);
    }
}
