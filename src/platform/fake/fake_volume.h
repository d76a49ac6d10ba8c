// A simulated sound system for the tests: mixer devices with lines, controls,
// channels, items and bounds, the wave mapper that leads to one of them, the hidden
// notification windows, and a render endpoint whose level and mute can be read back.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/endpoint_volume.h"
#include "platform/mixer.h"

struct FakeMixerControl {
    MixerControlInfo info;
    // channels x items values, channel by channel; a uniform control keeps one channel.
    std::vector<uint32_t> values;
};

struct FakeMixerLine {
    MixerLineInfo info;  // info.controls is kept equal to controls.size()
    std::deque<FakeMixerControl> controls;
};

struct FakeMixerDevice {
    std::deque<FakeMixerLine> lines;
};

struct FakeMessageWindow {
    std::string className;
    std::string windowName;
    MessageWindowProc proc;
    bool alive = true;
};

class FakeMixer : public Mixer {
public:
    std::deque<FakeMixerDevice> devices;
    uint32_t waveMapperDevice = 0;  // the mixer the wave mapper's output belongs to

    bool waveOutFails = false;
    bool mixerIdFails = false;
    bool windowFails = false;
    bool openFails = false;
    bool detailsFail = false;

    // Adds a line to a device (created as needed) and returns it; controls come next.
    FakeMixerLine& AddLine(uint32_t device, uint32_t componentType, uint32_t channels);
    // Adds a control to a line; values start at `initial` (every channel and item).
    FakeMixerControl& AddControl(FakeMixerLine& line, uint32_t type, uint32_t flags = 0,
                                 uint32_t items = 0, uint32_t minimum = 0,
                                 uint32_t maximum = 65535, uint32_t initial = 0);
    FakeMixerControl* FindControl(uint32_t controlId);
    FakeMixerLine* FindLine(uint32_t lineId);

    // Changes a control as another program would and notifies the mixer's windows.
    void ChangeFromOutside(uint32_t controlId, uint32_t value);
    // Delivers a message to a message window; false when it went to the default.
    bool Deliver(WindowHandle window, MessageId message, WParam wp, LParam lp);

    // A standard sound card: one device with a stereo speakers line (volume and mute)
    // and a stereo wave-out line (volume and mute), both 0..65535.
    void AddStandardCard();

    struct Write {
        uint32_t controlId;
        uint32_t channels;
        uint32_t items;
        std::vector<int64_t> values;
        bool boolean;
    };
    std::vector<Write> writes;
    std::vector<PcmFormat> waveOpens;
    int32_t openWaveOuts = 0;                        // opened minus closed
    std::map<MixerHandle, WindowHandle> openMixers;  // handle -> notification window
    std::map<WindowHandle, FakeMessageWindow> windows;
    int32_t LiveWindows() const;

    uint32_t DeviceCount() override { return static_cast<uint32_t>(devices.size()); }
    WaveOutHandle OpenWaveMapper(const PcmFormat& format) override;
    bool MixerIdOfWaveOut(WaveOutHandle waveOut, uint32_t& mixerId) override;
    void CloseWaveOut(WaveOutHandle waveOut) override;
    WindowHandle CreateMessageWindow(const std::string& className, const std::string& windowName,
                                     MessageWindowProc proc) override;
    void DestroyMessageWindow(WindowHandle window) override;
    MixerHandle Open(uint32_t mixerId, WindowHandle notifyWindow) override;
    void Close(MixerHandle mixer) override;
    bool LineByComponentType(MixerHandle mixer, uint32_t componentType,
                             MixerLineInfo& line) override;
    bool LineById(MixerHandle mixer, uint32_t lineId, MixerLineInfo& line) override;
    bool LineControlByType(MixerHandle mixer, uint32_t lineId, uint32_t controlType,
                           MixerControlInfo& control) override;
    bool LineControls(MixerHandle mixer, uint32_t lineId, uint32_t count,
                      std::vector<MixerControlInfo>& controls) override;
    bool GetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                     std::vector<uint32_t>& values) override;
    bool SetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                     const std::vector<uint32_t>& values) override;
    bool GetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                    std::vector<int32_t>& values) override;
    bool SetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                    const std::vector<int32_t>& values) override;

private:
    FakeMixerDevice* DeviceOf(MixerHandle mixer);
    // The control on the device of `mixer`, with the channel count its values allow.
    FakeMixerControl* ControlOn(MixerHandle mixer, uint32_t controlId, uint32_t& lineChannels);
    bool Read(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
              std::vector<uint32_t>& out);
    bool WriteValues(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                     const std::vector<uint32_t>& in, bool boolean);

    std::map<MixerHandle, uint32_t> mixerDevice_;
    uint32_t nextId_ = 1;
    uintptr_t nextHandle_ = 0x5000;
};

// The render endpoint: every interface handed out shares one level and mute state.
class FakeEndpointVolume : public EndpointVolume {
public:
    bool createFails = false;
    bool callsFail = false;
    float level = 0.5f;
    bool muted = false;
    int32_t live = 0;  // interfaces created and not yet released
    int32_t creates = 0;
    std::vector<float> levelsSet;
    std::vector<bool> mutesSet;

    EndpointHandle Create() override;
    void Release(EndpointHandle endpoint) override;
    bool SetMasterLevelScalar(EndpointHandle endpoint, float value) override;
    bool GetMasterLevelScalar(EndpointHandle endpoint, float& value) override;
    bool SetMute(EndpointHandle endpoint, bool mute) override;
    bool GetMute(EndpointHandle endpoint, bool& value) override;

private:
    bool Valid(EndpointHandle endpoint) const;
    std::vector<EndpointHandle> handles_;
    EndpointHandle next_ = 0xE000;
};
