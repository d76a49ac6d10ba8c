#include "engine/mouse_mode.h"

#include <mutex>
#include <string>

#include "desktop/input.h"
#include "engine/press_engine.h"
#include "platform/ports.h"
#include "receiver/remote_button.h"
#include "state/trace.h"

namespace {

bool IsOppositeArrow(int32_t a, int32_t b) {
    return (a == Up && b == Down) || (a == Down && b == Up) || (a == Left && b == Right) ||
           (a == Right && b == Left);
}

}  // namespace

MouseModeState& TheMouseModeState() { return PressEngineInUse().mouse; }

bool MouseModeAction(int32_t b, int32_t v) { return MouseModeAction(TheMouseModeState(), b, v); }

bool MouseModeAction(MouseModeState& m, int32_t b, int32_t v) {
    const std::lock_guard<std::recursive_mutex> hold(CursorLock());
    Desktop* desktop = Os().desktop;
    const Point cursor = desktop == nullptr ? Point{} : desktop->CursorPos();
    const uint32_t now = TickNow();
    const uint32_t sinceMove = now - m.lastMoveTime;

    if (b != m.lastButton || v != m.lastVariant) m.acceleration = 0.0f;
    if (m.repressCount != 0 && b == m.lastButton && v == m.lastVariant) {
        m.repressCount += 1;
        if (m.repressCount >= 2) m.fastMode = true;
    } else {
        m.repressCount = 0;
    }
    // The same arrow pressed again quickly: holding it this time goes fast.
    if (sinceMove < 300 && b == m.lastButton && v != m.lastVariant) m.repressCount = 1;
    if (m.fastMode && (sinceMove > 1000 || b == Ok)) {
        m.repressCount = 0;
        m.fastMode = false;
        if (b == Ok) {
            TraceAction(TraceKind::FastStepsEnd);
            return true;
        }
    }

    switch (b) {
        case Up:
        case Down:
        case Left:
        case Right: {
            m.acceleration += 1.0f;
            int32_t step = kSlowStep;
            if (IsOppositeArrow(m.lastButton, b)) {
                m.acceleration = 0.0f;
            } else {
                const float mediumLimit = (b == Up || b == Down) ? 10.0f : 8.0f;
                if (m.acceleration < 3.0f) {
                    step = kSlowStep;
                } else if (m.acceleration < mediumLimit) {
                    step = kMediumStep;
                } else {
                    step = kLargeStep;
                    m.acceleration = 12.0f;
                }
            }
            if (m.fastMode) step = kFastStep;
            int32_t x = cursor.x, y = cursor.y;
            if (b == Up)
                y -= step;
            else if (b == Down)
                y += step;
            else if (b == Left)
                x -= step;
            else
                x += step;
            if (desktop != nullptr && desktop->SetCursorPos(x, y)) {
                TraceAction([&] {
                    TraceFact fact(TraceKind::CursorTo);
                    fact.point = Point{x, y};
                    return fact;
                });
            }
            m.lastButton = b;
            m.lastVariant = v;
            m.lastMoveTime = now;
            return true;
        }
        case Ok: ClickLeftAtCursor(); return true;
        case Exit: ClickRightAtCursor(); return true;
        default: return false;
    }
}
