// Mouse mode: the arrows move the cursor, Ok and Exit click.
#pragma once

#include <cstdint>

// The cursor-movement memory of mouse mode (the press engine holds it).
struct MouseModeState {
    int32_t lastButton = 0;
    int32_t lastVariant = 0;
    uint32_t lastMoveTime = 0;
    float acceleration = 0.0f;
    uint32_t repressCount = 0;
    bool fastMode = false;
};
// The state of the engine in use.
MouseModeState& TheMouseModeState();

// Mouse mode's share of the decision: true when it handled the button. Without a state,
// the engine in use's.
bool MouseModeAction(MouseModeState& state, int32_t button, int32_t variant);
bool MouseModeAction(int32_t button, int32_t variant);

// Pixel steps of mouse mode.
constexpr int32_t kSlowStep = 2, kMediumStep = 15, kLargeStep = 25, kFastStep = 50;
