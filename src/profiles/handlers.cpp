#include "profiles/handlers.h"

#include <atomic>

#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/handler_memory.h"
#include "profiles/handlers_common.h"
#include "desktop/input.h"

void SendStrokes(const keys::Strokes& strokes) {
    for (const keys::Stroke& s : strokes) {
        const bool ctrl = (s.mods & keys::kCtrl) != 0;
        const bool alt = (s.mods & keys::kAlt) != 0;
        const bool shift = (s.mods & keys::kShift) != 0;
        if (s.UsesScan()) {
            SendKeystrokeEx(s.vk, ctrl, alt, shift, s.scan, s.extended ? kKeyExtended : 0);
        } else {
            SendKeystroke(s.vk, ctrl, alt, shift);
        }
    }
}

int SendMappedKeys(const keys::KeyMap& table, int32_t button) {
    const keys::ButtonKeys* entry = table.Find(button);
    if (entry == nullptr) return 0;
    SendStrokes(entry->strokes);
    return 1;
}

void ResetHandlerState() {
    {
        HandlerMemory& memory = HandlerMemoryInUse();
        std::lock_guard<std::mutex> hold(memory.holdLock);
        memory.holdWait.reset();
    }
    handlers::ResetLetterEntry();
    handlers::ResetPressCounters();
}

namespace handlers {

bool WindowsIsNt5() {
    SystemPower* power = Os().power;
    if (power == nullptr) return false;
    const OsVersion v = power->Version();
    return v.ok && v.platformId == kPlatformNt && v.major == 5;
}

WindowHandle ForegroundWindowHandle() {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? 0 : desktop->ForegroundWindow();
}

}  // namespace handlers

namespace {

// The handlers are plain functions in a constant table, with no context of their own:
// they find the memory of the engine that installed one here, or else this one.
HandlerMemory g_unownedMemory;
std::atomic<HandlerMemory*> g_memory{&g_unownedMemory};

}  // namespace

void InstallHandlerMemory(HandlerMemory* memory) {
    g_memory = memory != nullptr ? memory : &g_unownedMemory;
}

HandlerMemory& HandlerMemoryInUse() { return *g_memory.load(); }
