#include "engine/volume_buttons.h"

#include <string>

#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "profiles/catalogue.h"
#include "state/settings.h"
#include "state/trace.h"
#include "volume/volume.h"

namespace {

// The level the change left, for whoever reads the trace (the on-screen display shows it).
void TraceLevel() {
    TraceAction([] {
        const int32_t percent = VolumePercent();
        return percent < 0 ? std::string("volume level unknown")
                           : "volume now " + std::to_string(percent) + "%";
    });
}

int StepButton(int32_t button, uint8_t sageKey, bool up) {
    if (ForegroundIsSageTvFamily()) {
        SendKeystroke(sageKey, true);
        return 1;
    }
    UnmuteOutput();
    if (RemoteSettings* settings = CurrentSettings()) {
        const float step = VolumeStep(settings->VolumeSensitivity.load());
        TraceAction([&] {
            return std::string(up ? "volume up " : "volume down ") +
                   std::to_string(static_cast<int>(step * 100.0f + 0.5f)) + "%";
        });
        if (up) {
            RaiseVolume(step);
        } else {
            LowerVolume(step);
        }
        TraceLevel();
        if (ForegroundIsCooperating()) CooperatingKeyHandler(button);
    }
    return 1;
}

}  // namespace

int OnVolumeUp(int32_t button) { return StepButton(button, 'R', true); }
int OnVolumeDown(int32_t button) { return StepButton(button, 'E', false); }

int OnMute(int32_t button) {
    if (ForegroundIsSageTvFamily()) {
        SendKeystroke('M', true, false, true);
        return 1;
    }
    const bool mute = OutputUnmuted();
    TraceAction([&] { return std::string(mute ? "sound muted" : "sound unmuted"); });
    if (mute) {
        MuteOutput();
    } else {
        UnmuteOutput();
        TraceLevel();
    }
    if (ForegroundIsCooperating()) CooperatingKeyHandler(button);
    return 1;
}
