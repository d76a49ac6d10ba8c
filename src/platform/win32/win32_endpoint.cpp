// Our headers first: the device headers declare an enumerator named like one of the ports.
#include "platform/endpoint_volume.h"
#include "platform/win32/adapters.h"

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

namespace {

// The identifiers are spelled out here so the program does not depend on which of
// them a given import library happens to carry.
constexpr CLSID kMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
constexpr IID kIMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
constexpr IID kIAudioEndpointVolume = {
    0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

IAudioEndpointVolume* Interface(EndpointHandle endpoint) {
    return reinterpret_cast<IAudioEndpointVolume*>(endpoint);
}

class Win32EndpointVolumeImpl : public EndpointVolume {
public:
    EndpointHandle Create() override {
        IMMDeviceEnumerator* enumerator = nullptr;
        if (FAILED(CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER,
                                    kIMMDeviceEnumerator, reinterpret_cast<void**>(&enumerator))) ||
            enumerator == nullptr)
            return 0;
        IMMDevice* device = nullptr;
        const HRESULT got = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
        enumerator->Release();
        if (FAILED(got) || device == nullptr) return 0;
        IAudioEndpointVolume* volume = nullptr;
        const HRESULT activated = device->Activate(kIAudioEndpointVolume, CLSCTX_INPROC_SERVER,
                                                   nullptr, reinterpret_cast<void**>(&volume));
        device->Release();
        if (FAILED(activated) || volume == nullptr) return 0;
        return reinterpret_cast<EndpointHandle>(volume);
    }

    void Release(EndpointHandle endpoint) override {
        if (endpoint != 0) Interface(endpoint)->Release();
    }

    bool SetMasterLevelScalar(EndpointHandle endpoint, float level) override {
        return endpoint != 0 &&
               SUCCEEDED(Interface(endpoint)->SetMasterVolumeLevelScalar(level, nullptr));
    }

    bool GetMasterLevelScalar(EndpointHandle endpoint, float& level) override {
        float value = 0.0f;
        if (endpoint == 0 || FAILED(Interface(endpoint)->GetMasterVolumeLevelScalar(&value)))
            return false;
        level = value;
        return true;
    }

    bool SetMute(EndpointHandle endpoint, bool mute) override {
        return endpoint != 0 && SUCCEEDED(Interface(endpoint)->SetMute(mute ? TRUE : FALSE, nullptr));
    }

    bool GetMute(EndpointHandle endpoint, bool& muted) override {
        BOOL value = FALSE;
        if (endpoint == 0 || FAILED(Interface(endpoint)->GetMute(&value))) return false;
        muted = value != FALSE;
        return true;
    }
};

}  // namespace

EndpointVolume& Win32EndpointVolume() {
    static Win32EndpointVolumeImpl endpoint;
    return endpoint;
}
