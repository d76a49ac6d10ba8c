#include "volume/volume.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "platform/ports.h"

namespace {

// The format the wave mapper is opened with only to learn which mixer serves it.
constexpr PcmFormat kProbeFormat{1, 22050, 16, 2, 44100};

// A detail buffer larger than this is treated as one that cannot be allocated: the
// counts come from the driver and a bad one must not exhaust memory.
constexpr uint64_t kMaxDetailValues = 1u << 20;

// The machine's one sound output, as this program drives it. Global because the
// endpoint and the two mixer lines belong to the process, not to a press: the shell
// builds and releases them around the whole run, and the mixer's message windows reach
// the line controllers through CVolumeOut*::target without a context.
struct OutputVolume {
    std::atomic<int32_t> unmuted{1};
    std::atomic<EndpointHandle> endpoint{0};
    // Held around every call through the endpoint interface and around its release, so
    // a call from the reader thread never goes through an interface the main thread
    // has released.
    std::mutex endpointLock;
    std::unique_ptr<CVolumeOutMaster> master;
    std::unique_ptr<CVolumeOutWave> wave;
};
OutputVolume g_output;

bool IsListControl(uint32_t type) {
    return type == kControlSingleSelect || type == kControlMux ||
           type == kControlMultipleSelect || type == kControlMixer;
}

}  // namespace

CVolumeOutLine* CVolumeOutMaster::target = nullptr;
CVolumeOutLine* CVolumeOutWave::target = nullptr;

CVolumeOutLine::CVolumeOutLine(CVolumeOutLine** target, uint32_t componentType,
                               const char* windowClass, const char* windowName)
    : port_(Os().mixer), target_(target) {
    Mixer* m = port_;
    if (m == nullptr || m->DeviceCount() == 0) return;

    const WaveOutHandle waveOut = m->OpenWaveMapper(kProbeFormat);
    if (waveOut == 0) return;
    const bool haveId = m->MixerIdOfWaveOut(waveOut, mixerId);
    m->CloseWaveOut(waveOut);
    if (!haveId) return;

    messageWindow = m->CreateMessageWindow(
        windowClass, windowName,
        [target](MessageId msg, WParam wp, LParam lp) { return WindowProc(target, msg, wp, lp); });
    if (messageWindow == 0) return;

    mixer = m->Open(mixerId, messageWindow);
    if (mixer == 0) {
        m->DestroyMessageWindow(messageWindow);
        messageWindow = 0;
        return;
    }
    mixerOpen = 1;
    *target_ = this;

    MixerLineInfo line;
    if (!m->LineByComponentType(mixer, componentType, line)) {
        m->Close(mixer);
        mixer = 0;
        m->DestroyMessageWindow(messageWindow);
        messageWindow = 0;
        mixerOpen = 0;
        *target_ = nullptr;
        return;
    }

    MixerControlInfo control;
    if (m->LineControlByType(mixer, line.lineId, kControlVolume, control)) {
        if ((control.flags & kControlFlagDisabled) == 0) available = 1;
        controlId = control.controlId;
        minimum = control.minimum;
        maximum = control.maximum;
        steps = static_cast<int32_t>(control.steps);
    }
    lineId = line.lineId;
    channels = line.channels;
    lineReady = 1;
}

CVolumeOutLine::~CVolumeOutLine() {
    if (mixerOpen) {
        port_->Close(mixer);
        port_->DestroyMessageWindow(messageWindow);
        mixer = 0;
        messageWindow = 0;
        lineReady = 0;
        mixerOpen = 0;
    }
    if (*target_ == this) *target_ = nullptr;
}

int64_t CVolumeOutLine::GetLevel() {
    if (!available || channels == 0 || channels > kMaxDetailValues) return -1;
    std::vector<uint32_t> values;
    if (!port_->GetUnsigned(mixer, controlId, channels, 1, values) || values.empty()) return -1;
    return values[0];
}

void CVolumeOutLine::SetLevel(int64_t value) {
    if (!available || value < int64_t{minimum} || value > int64_t{maximum}) return;
    if (channels == 0 || channels > kMaxDetailValues) return;
    const std::vector<uint32_t> values(channels, static_cast<uint32_t>(value));
    (void)port_->SetUnsigned(mixer, controlId, channels, 1, values);
}

void CVolumeOutLine::SetChangeHandler(VolumeChangeHandler handler, uintptr_t userData) {
    changeHandler = handler;
    handlerData = userData;
}

void CVolumeOutLine::SetLineEnabled(bool enable) {
    if (!lineReady) return;
    MixerLineInfo line;
    if (!port_->LineById(mixer, lineId, line)) return;
    std::vector<MixerControlInfo> controls;
    if (line.controls == 0 || !port_->LineControls(mixer, lineId, line.controls, controls)) return;

    for (const MixerControlInfo& c : controls) {
        const bool mute = c.type == kControlMute;
        if (!mute && !IsListControl(c.type)) continue;
        const uint32_t channelCount = (c.flags & kControlFlagUniform) ? 1 : line.channels;
        const uint32_t items =
            (c.flags & kControlFlagMultiple) && c.multipleItems > 0 ? c.multipleItems : 1;
        const uint64_t count = uint64_t{channelCount} * items;
        if (count == 0 || count > kMaxDetailValues) continue;
        std::vector<int32_t> values;
        try {
            values.assign(static_cast<size_t>(count), (mute ? !enable : enable) ? 1 : 0);
        } catch (const std::bad_alloc&) {
            continue;
        }
        (void)port_->SetBoolean(mixer, c.controlId, channelCount, items, values);
    }
}

bool CVolumeOutLine::WindowProc(CVolumeOutLine** target, MessageId message, WParam wp, LParam lp) {
    if (message != kMixerControlChange) return false;
    CVolumeOutLine* self = *target;
    if (self == nullptr || static_cast<uint32_t>(lp) != self->controlId) return false;
    const int64_t level = self->GetLevel();
    if (level != -1 && self->changeHandler != nullptr) self->changeHandler(level, self->handlerData);
    return true;
}

CVolumeOutMaster::CVolumeOutMaster()
    : CVolumeOutLine(&target, kComponentDstSpeakers, "Master Output Volume Msg Wnd Class",
                     "Master Output Volume Msg Wnd") {}
CVolumeOutMaster::~CVolumeOutMaster() = default;

CVolumeOutWave::CVolumeOutWave()
    : CVolumeOutLine(&target, kComponentSrcWaveOut, "Wave Output Volume Msg Wnd Class",
                     "Wave Output Volume Msg Wnd") {}
CVolumeOutWave::~CVolumeOutWave() = default;

void ConstructVolumeControls() {
    DestroyVolumeControls();
    g_output.master = std::make_unique<CVolumeOutMaster>();
    g_output.wave = std::make_unique<CVolumeOutWave>();
}

void DestroyVolumeControls() {
    g_output.wave.reset();
    g_output.master.reset();
}

CVolumeOutMaster* MasterVolume() { return g_output.master.get(); }
CVolumeOutWave* WaveVolume() { return g_output.wave.get(); }

bool IsWindowsVersion6() {
    SystemPower* power = Os().power;
    if (power == nullptr) return false;
    const OsVersion v = power->Version();
    return v.ok && v.platformId == kPlatformNt && v.major == 6;
}

void CreateEndpointVolume() {
    EndpointVolume* port = Os().endpoint;
    if (port == nullptr || g_output.endpoint.load() != 0) return;
    g_output.endpoint = port->Create();
}

void ReleaseEndpointVolume() {
    std::lock_guard<std::mutex> hold(g_output.endpointLock);
    const EndpointHandle e = g_output.endpoint.exchange(0);
    if (e != 0 && Os().endpoint != nullptr) Os().endpoint->Release(e);
}

EndpointHandle EndpointInterface() { return g_output.endpoint.load(); }

void SetEndpointLevel(float level) {
    std::lock_guard<std::mutex> hold(g_output.endpointLock);
    const EndpointHandle e = g_output.endpoint.load();
    if (e != 0) (void)Os().endpoint->SetMasterLevelScalar(e, level);
}

float GetEndpointLevel() {
    std::lock_guard<std::mutex> hold(g_output.endpointLock);
    const EndpointHandle e = g_output.endpoint.load();
    float level = 0.0f;
    if (e == 0 || !Os().endpoint->GetMasterLevelScalar(e, level)) return 0.0f;
    return level;
}

void SetEndpointMute(bool mute) {
    std::lock_guard<std::mutex> hold(g_output.endpointLock);
    const EndpointHandle e = g_output.endpoint.load();
    if (e != 0) (void)Os().endpoint->SetMute(e, mute);
}

namespace {

// Moves the master line by step of its range (up or down, clamped to its bounds) and
// puts the wave line at the same position within its own range. With the master line
// missing or without a range there is no position to follow, so neither line moves.
void StepMixerVolume(float step, bool up) {
    CVolumeOutLine* master = g_output.master.get();
    if (master == nullptr || !master->IsAvailable()) return;
    const int64_t minimum = master->GetMinimum();
    const int64_t maximum = master->GetMaximum();
    const int64_t range = maximum - minimum;
    const int64_t level = master->GetLevel();
    if (range <= 0 || level < 0) return;

    const int64_t delta = static_cast<int64_t>(static_cast<double>(range) * static_cast<double>(step));
    const int64_t next = up ? std::min(level + delta, maximum) : std::max(level - delta, minimum);
    master->SetLevel(next);

    CVolumeOutLine* wave = g_output.wave.get();
    if (wave == nullptr || !wave->IsAvailable()) return;
    const int64_t waveMinimum = wave->GetMinimum();
    const int64_t waveRange = wave->GetMaximum() - waveMinimum;
    const int64_t position = std::clamp<int64_t>(next, minimum, maximum) - minimum;
    // Both factors are below 2^32, so the product fits in 64 unsigned bits exactly.
    const uint64_t share = static_cast<uint64_t>(position) * static_cast<uint64_t>(waveRange) /
                           static_cast<uint64_t>(range);
    wave->SetLevel(waveMinimum + static_cast<int64_t>(share));
}

}  // namespace

void RaiseVolume(float step) {
    if (IsWindowsVersion6()) {
        const float x = GetEndpointLevel() + step;
        SetEndpointLevel(x > 1.0f ? 1.0f : x);
        return;
    }
    StepMixerVolume(step, true);
}

void LowerVolume(float step) {
    if (IsWindowsVersion6()) {
        const float x = GetEndpointLevel() - step;
        SetEndpointLevel(x < 0.0f ? 0.0f : x);
        return;
    }
    StepMixerVolume(step, false);
}

void UnmuteOutput() {
    if (IsWindowsVersion6()) {
        SetEndpointMute(false);
    } else {
        if (g_output.master) g_output.master->EnableLine();
        if (g_output.wave) g_output.wave->EnableLine();
    }
    g_output.unmuted = 1;
}

void MuteOutput() {
    if (IsWindowsVersion6()) {
        SetEndpointMute(true);
    } else {
        if (g_output.master) g_output.master->DisableLine();
        if (g_output.wave) g_output.wave->DisableLine();
    }
    g_output.unmuted = 0;
}

bool OutputUnmuted() { return g_output.unmuted.load() == 1; }

int32_t VolumePercent() {
    double share = -1.0;
    if (IsWindowsVersion6()) {
        if (EndpointInterface() != 0) share = GetEndpointLevel();
    } else if (CVolumeOutLine* master = g_output.master.get();
               master != nullptr && master->IsAvailable()) {
        const int64_t minimum = master->GetMinimum();
        const int64_t range = master->GetMaximum() - minimum;
        const int64_t level = master->GetLevel();
        if (range > 0 && level >= minimum)
            share = static_cast<double>(level - minimum) / static_cast<double>(range);
    }
    if (share < 0.0) return -1;
    return static_cast<int32_t>(std::clamp(share, 0.0, 1.0) * 100.0 + 0.5);
}

float VolumeStep(int32_t sensitivity) {
    // A stored value outside the slider's range would make the step negative or larger
    // than the whole range.
    const int32_t s = std::clamp<int32_t>(sensitivity, 0, 100);
    return static_cast<float>(s / 100.0 * 0.12 + 0.02);
}
