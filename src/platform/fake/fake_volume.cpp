#include "platform/fake/fake_volume.h"

#include <algorithm>

FakeMixerLine& FakeMixer::AddLine(uint32_t device, uint32_t componentType, uint32_t channels) {
    if (devices.size() <= device) devices.resize(device + 1);
    FakeMixerLine line;
    line.info.lineId = nextId_++;
    line.info.componentType = componentType;
    line.info.channels = channels;
    devices[device].lines.push_back(line);
    return devices[device].lines.back();
}

FakeMixerControl& FakeMixer::AddControl(FakeMixerLine& line, uint32_t type, uint32_t flags,
                                        uint32_t items, uint32_t minimum, uint32_t maximum,
                                        uint32_t initial) {
    FakeMixerControl c;
    c.info.controlId = nextId_++;
    c.info.type = type;
    c.info.flags = flags;
    c.info.multipleItems = items;
    c.info.minimum = minimum;
    c.info.maximum = maximum;
    c.info.steps = maximum - minimum;
    const uint32_t channels = (flags & kControlFlagUniform) ? 1 : line.info.channels;
    c.values.assign(size_t{channels} * std::max<uint32_t>(items, 1), initial);
    line.controls.push_back(c);
    line.info.controls = static_cast<uint32_t>(line.controls.size());
    return line.controls.back();
}

FakeMixerControl* FakeMixer::FindControl(uint32_t controlId) {
    for (auto& d : devices)
        for (auto& l : d.lines)
            for (auto& c : l.controls)
                if (c.info.controlId == controlId) return &c;
    return nullptr;
}

FakeMixerLine* FakeMixer::FindLine(uint32_t lineId) {
    for (auto& d : devices)
        for (auto& l : d.lines)
            if (l.info.lineId == lineId) return &l;
    return nullptr;
}

void FakeMixer::ChangeFromOutside(uint32_t controlId, uint32_t value) {
    FakeMixerControl* c = FindControl(controlId);
    if (c == nullptr) return;
    std::fill(c->values.begin(), c->values.end(), value);
    const std::map<MixerHandle, WindowHandle> open = openMixers;
    for (const auto& [mixer, window] : open)
        Deliver(window, kMixerControlChange, mixer, static_cast<LParam>(controlId));
}

bool FakeMixer::Deliver(WindowHandle window, MessageId message, WParam wp, LParam lp) {
    auto it = windows.find(window);
    if (it == windows.end() || !it->second.alive || !it->second.proc) return false;
    return it->second.proc(message, wp, lp);
}

void FakeMixer::AddStandardCard() {
    FakeMixerLine& speakers = AddLine(0, kComponentDstSpeakers, 2);
    AddControl(speakers, kControlVolume, 0, 0, 0, 65535, 32768);
    AddControl(speakers, kControlMute, kControlFlagUniform, 0, 0, 1, 0);
    FakeMixerLine& wave = AddLine(0, kComponentSrcWaveOut, 2);
    AddControl(wave, kControlVolume, 0, 0, 0, 65535, 32768);
    AddControl(wave, kControlMute, kControlFlagUniform, 0, 0, 1, 0);
}

int32_t FakeMixer::LiveWindows() const {
    int32_t n = 0;
    for (const auto& [h, w] : windows) n += w.alive ? 1 : 0;
    return n;
}

WaveOutHandle FakeMixer::OpenWaveMapper(const PcmFormat& format) {
    waveOpens.push_back(format);
    if (waveOutFails) return 0;
    ++openWaveOuts;
    return nextHandle_++;
}

bool FakeMixer::MixerIdOfWaveOut(WaveOutHandle waveOut, uint32_t& mixerId) {
    if (waveOut == 0 || mixerIdFails || waveMapperDevice >= devices.size()) return false;
    mixerId = waveMapperDevice;
    return true;
}

void FakeMixer::CloseWaveOut(WaveOutHandle waveOut) {
    if (waveOut != 0) --openWaveOuts;
}

WindowHandle FakeMixer::CreateMessageWindow(const std::string& className,
                                            const std::string& windowName,
                                            MessageWindowProc proc) {
    if (windowFails) return 0;
    const WindowHandle h = nextHandle_++;
    windows[h] = FakeMessageWindow{className, windowName, std::move(proc), true};
    return h;
}

void FakeMixer::DestroyMessageWindow(WindowHandle window) {
    auto it = windows.find(window);
    if (it != windows.end()) it->second.alive = false;
}

MixerHandle FakeMixer::Open(uint32_t mixerId, WindowHandle notifyWindow) {
    if (openFails || mixerId >= devices.size()) return 0;
    const MixerHandle h = nextHandle_++;
    openMixers[h] = notifyWindow;
    mixerDevice_[h] = mixerId;
    return h;
}

void FakeMixer::Close(MixerHandle mixer) {
    openMixers.erase(mixer);
    mixerDevice_.erase(mixer);
}

FakeMixerDevice* FakeMixer::DeviceOf(MixerHandle mixer) {
    auto it = mixerDevice_.find(mixer);
    if (it == mixerDevice_.end() || it->second >= devices.size()) return nullptr;
    return &devices[it->second];
}

bool FakeMixer::LineByComponentType(MixerHandle mixer, uint32_t componentType,
                                    MixerLineInfo& line) {
    FakeMixerDevice* d = DeviceOf(mixer);
    if (d == nullptr) return false;
    for (const auto& l : d->lines) {
        if (l.info.componentType == componentType) {
            line = l.info;
            return true;
        }
    }
    return false;
}

bool FakeMixer::LineById(MixerHandle mixer, uint32_t lineId, MixerLineInfo& line) {
    FakeMixerDevice* d = DeviceOf(mixer);
    if (d == nullptr) return false;
    for (const auto& l : d->lines) {
        if (l.info.lineId == lineId) {
            line = l.info;
            return true;
        }
    }
    return false;
}

bool FakeMixer::LineControlByType(MixerHandle mixer, uint32_t lineId, uint32_t controlType,
                                  MixerControlInfo& control) {
    FakeMixerDevice* d = DeviceOf(mixer);
    if (d == nullptr) return false;
    for (const auto& l : d->lines) {
        if (l.info.lineId != lineId) continue;
        for (const auto& c : l.controls) {
            if (c.info.type == controlType) {
                control = c.info;
                return true;
            }
        }
    }
    return false;
}

bool FakeMixer::LineControls(MixerHandle mixer, uint32_t lineId, uint32_t count,
                             std::vector<MixerControlInfo>& controls) {
    FakeMixerDevice* d = DeviceOf(mixer);
    if (d == nullptr) return false;
    for (const auto& l : d->lines) {
        if (l.info.lineId != lineId) continue;
        if (count != l.controls.size()) return false;
        controls.clear();
        for (const auto& c : l.controls) controls.push_back(c.info);
        return true;
    }
    return false;
}

FakeMixerControl* FakeMixer::ControlOn(MixerHandle mixer, uint32_t controlId,
                                       uint32_t& lineChannels) {
    FakeMixerDevice* d = DeviceOf(mixer);
    if (d == nullptr) return nullptr;
    for (auto& l : d->lines) {
        for (auto& c : l.controls) {
            if (c.info.controlId == controlId) {
                lineChannels = l.info.channels;
                return &c;
            }
        }
    }
    return nullptr;
}

// Like the system: 1..line channels may be addressed; a uniform control has one value
// per item whatever the channel count; the item count must match the control's.
bool FakeMixer::Read(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                     std::vector<uint32_t>& out) {
    uint32_t lineChannels = 0;
    FakeMixerControl* c = ControlOn(mixer, controlId, lineChannels);
    if (c == nullptr || detailsFail || channels == 0 || channels > lineChannels) return false;
    const uint32_t own = std::max<uint32_t>(c->info.multipleItems, 1);
    if (items != own) return false;
    const bool uniform = (c->info.flags & kControlFlagUniform) != 0;
    out.clear();
    for (uint32_t ch = 0; ch < channels; ++ch)
        for (uint32_t i = 0; i < items; ++i)
            out.push_back(c->values[size_t{uniform ? 0 : ch} * items + i]);
    return true;
}

bool FakeMixer::WriteValues(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                            uint32_t items, const std::vector<uint32_t>& in, bool boolean) {
    uint32_t lineChannels = 0;
    FakeMixerControl* c = ControlOn(mixer, controlId, lineChannels);
    if (c == nullptr || detailsFail || channels == 0 || channels > lineChannels) return false;
    const uint32_t own = std::max<uint32_t>(c->info.multipleItems, 1);
    if (items != own || in.size() != size_t{channels} * items) return false;
    writes.push_back(Write{controlId, channels, items,
                           std::vector<int64_t>(in.begin(), in.end()), boolean});
    const bool uniform = (c->info.flags & kControlFlagUniform) != 0;
    if (uniform) {
        // The first channel's values stand for all.
        for (uint32_t i = 0; i < items; ++i) c->values[i] = in[i];
    } else {
        for (size_t k = 0; k < in.size(); ++k) c->values[k] = in[k];
    }
    return true;
}

bool FakeMixer::GetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                            uint32_t items, std::vector<uint32_t>& values) {
    return Read(mixer, controlId, channels, items, values);
}

bool FakeMixer::SetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                            uint32_t items, const std::vector<uint32_t>& values) {
    return WriteValues(mixer, controlId, channels, items, values, false);
}

bool FakeMixer::GetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                           uint32_t items, std::vector<int32_t>& values) {
    std::vector<uint32_t> raw;
    if (!Read(mixer, controlId, channels, items, raw)) return false;
    values.assign(raw.begin(), raw.end());
    return true;
}

bool FakeMixer::SetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                           uint32_t items, const std::vector<int32_t>& values) {
    return WriteValues(mixer, controlId, channels, items,
                       std::vector<uint32_t>(values.begin(), values.end()), true);
}

EndpointHandle FakeEndpointVolume::Create() {
    ++creates;
    if (createFails) return 0;
    const EndpointHandle h = next_++;
    handles_.push_back(h);
    ++live;
    return h;
}

void FakeEndpointVolume::Release(EndpointHandle endpoint) {
    auto it = std::find(handles_.begin(), handles_.end(), endpoint);
    if (it == handles_.end()) return;
    handles_.erase(it);
    --live;
}

bool FakeEndpointVolume::Valid(EndpointHandle endpoint) const {
    return std::find(handles_.begin(), handles_.end(), endpoint) != handles_.end();
}

bool FakeEndpointVolume::SetMasterLevelScalar(EndpointHandle endpoint, float value) {
    if (!Valid(endpoint) || callsFail || value < 0.0f || value > 1.0f) return false;
    level = value;
    levelsSet.push_back(value);
    return true;
}

bool FakeEndpointVolume::GetMasterLevelScalar(EndpointHandle endpoint, float& value) {
    if (!Valid(endpoint) || callsFail) return false;
    value = level;
    return true;
}

bool FakeEndpointVolume::SetMute(EndpointHandle endpoint, bool mute) {
    if (!Valid(endpoint) || callsFail) return false;
    muted = mute;
    mutesSet.push_back(mute);
    return true;
}

bool FakeEndpointVolume::GetMute(EndpointHandle endpoint, bool& value) {
    if (!Valid(endpoint) || callsFail) return false;
    value = muted;
    return true;
}
