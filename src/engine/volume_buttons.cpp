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
    TraceAction([] { return TraceFact(TraceKind::VolumeLevel, {}, VolumePercent()); });
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
            return TraceFact(TraceKind::VolumeStep, {}, static_cast<int32_t>(step * 100.0f + 0.5f),
                             up);
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
    TraceAction(mute ? TraceKind::SoundMuted : TraceKind::SoundUnmuted);
    if (mute) {
        MuteOutput();
    } else {
        UnmuteOutput();
        TraceLevel();
    }
    if (ForegroundIsCooperating()) CooperatingKeyHandler(button);
    return 1;
}
