// The legacy multimedia mixer: devices, lines, controls, control values, and the
// hidden window its change notifications are sent to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ports.h"

using MixerHandle = uintptr_t;    // 0: none
using WaveOutHandle = uintptr_t;  // 0: none

// The values the mixer API uses, so the core can speak of lines and controls without
// the Windows headers.
constexpr uint32_t kComponentDstSpeakers = 0x00000004;  // MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
constexpr uint32_t kComponentSrcWaveOut = 0x00001008;   // MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT

constexpr uint32_t kControlVolume = 0x50030001;          // MIXERCONTROL_CONTROLTYPE_VOLUME
constexpr uint32_t kControlMute = 0x20010002;            // MIXERCONTROL_CONTROLTYPE_MUTE
constexpr uint32_t kControlSingleSelect = 0x70010000;    // MIXERCONTROL_CONTROLTYPE_SINGLESELECT
constexpr uint32_t kControlMux = 0x70010001;             // MIXERCONTROL_CONTROLTYPE_MUX
constexpr uint32_t kControlMultipleSelect = 0x71010000;  // MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT
constexpr uint32_t kControlMixer = 0x71010001;           // MIXERCONTROL_CONTROLTYPE_MIXER

constexpr uint32_t kControlFlagUniform = 0x00000001;   // MIXERCONTROL_CONTROLF_UNIFORM
constexpr uint32_t kControlFlagMultiple = 0x00000002;  // MIXERCONTROL_CONTROLF_MULTIPLE
constexpr uint32_t kControlFlagDisabled = 0x80000000;  // MIXERCONTROL_CONTROLF_DISABLED

constexpr MessageId kMixerControlChange = 0x3D1;  // MM_MIXM_CONTROL_CHANGE
constexpr MessageId kMixerLineChange = 0x3D0;     // MM_MIXM_LINE_CHANGE

// WAVEFORMATEX for PCM.
struct PcmFormat {
    uint16_t channels = 1;
    uint32_t samplesPerSecond = 22050;
    uint16_t bitsPerSample = 16;
    uint16_t blockAlign = 2;
    uint32_t bytesPerSecond = 44100;
    bool operator==(const PcmFormat&) const = default;
};

// MIXERLINE, the parts the system reads.
struct MixerLineInfo {
    uint32_t lineId = 0;
    uint32_t componentType = 0;
    uint32_t channels = 0;
    uint32_t controls = 0;  // number of controls on the line
};

// MIXERCONTROL, the parts the system reads.
struct MixerControlInfo {
    uint32_t controlId = 0;
    uint32_t type = 0;
    uint32_t flags = 0;          // kControlFlag*
    uint32_t multipleItems = 0;  // items of a multiple-item control, else 0
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    uint32_t steps = 0;
};

// A message window's handler: answers true when it handled the message; the rest go
// to the system's default window procedure.
using MessageWindowProc = std::function<bool(MessageId, WParam, LParam)>;

class Mixer : public Port {
public:
    virtual uint32_t DeviceCount() = 0;  // mixerGetNumDevs

    // waveOutOpen of the wave mapper for output with the format, no notifications.
    virtual WaveOutHandle OpenWaveMapper(const PcmFormat& format) = 0;
    // mixerGetID of an open wave-out handle.
    virtual bool MixerIdOfWaveOut(WaveOutHandle waveOut, uint32_t& mixerId) = 0;
    virtual void CloseWaveOut(WaveOutHandle waveOut) = 0;

    // Registers the class (once) and creates a hidden, disabled, zero-size pop-up
    // window with no parent; 0 on failure. proc serves its messages on the thread
    // that created it.
    virtual WindowHandle CreateMessageWindow(const std::string& className,
                                             const std::string& windowName,
                                             MessageWindowProc proc) = 0;
    virtual void DestroyMessageWindow(WindowHandle window) = 0;

    // mixerOpen with change notifications sent to the window; 0 on failure.
    virtual MixerHandle Open(uint32_t mixerId, WindowHandle notifyWindow) = 0;
    virtual void Close(MixerHandle mixer) = 0;

    virtual bool LineByComponentType(MixerHandle mixer, uint32_t componentType,
                                     MixerLineInfo& line) = 0;
    virtual bool LineById(MixerHandle mixer, uint32_t lineId, MixerLineInfo& line) = 0;
    virtual bool LineControlByType(MixerHandle mixer, uint32_t lineId, uint32_t controlType,
                                   MixerControlInfo& control) = 0;
    // All `count` controls of the line.
    virtual bool LineControls(MixerHandle mixer, uint32_t lineId, uint32_t count,
                              std::vector<MixerControlInfo>& controls) = 0;

    // Control values for `channels` channels of `items` items each (1 for a control
    // without items), channel by channel: values.size() == channels * items.
    virtual bool GetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                             uint32_t items, std::vector<uint32_t>& values) = 0;
    virtual bool SetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                             uint32_t items, const std::vector<uint32_t>& values) = 0;
    virtual bool GetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                            uint32_t items, std::vector<int32_t>& values) = 0;
    virtual bool SetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels,
                            uint32_t items, const std::vector<int32_t>& values) = 0;
};
