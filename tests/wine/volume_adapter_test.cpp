#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "platform/endpoint_volume.h"
#include "platform/mixer.h"
#include "receiver/remote_button.h"
#include "ui/settings.h"
#include "volume/volume.h"
#include "wine_support.h"

namespace {

// The real sound ports, power and desktop installed with a settings record, COM
// initialised as the shell does it.
struct RealVolume {
    Platform platform = [] {
        Platform p = RealPlatform();
        p.power = &Win32Power();
        p.mixer = &Win32Mixer();
        p.endpoint = &Win32EndpointVolume();
        return p;
    }();
    ScopedPlatform scope{platform};
    std::unique_ptr<RemoteSettings> settings = std::make_unique<RemoteSettings>();
    RemoteSettings* saved = CurrentSettings();
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    RealVolume() { SetCurrentSettings(settings.get()); }
    ~RealVolume() {
        ReleaseEndpointVolume();
        DestroyVolumeControls();
        SetCurrentSettings(saved);
        if (SUCCEEDED(com)) CoUninitialize();
    }
};

TEST(VolumeAdapter, WithoutASoundDeviceNothingIsAvailableAndTheButtonsStillAnswer) {
    if (waveOutGetNumDevs() != 0 || mixerGetNumDevs() != 0)
        GTEST_SKIP() << "this prefix has a sound device";
    RealVolume real;
    ConstructVolumeControls();
    for (CVolumeOutLine* line : {static_cast<CVolumeOutLine*>(MasterVolume()),
                                 static_cast<CVolumeOutLine*>(WaveVolume())}) {
        EXPECT_FALSE(line->IsAvailable());
        EXPECT_FALSE(line->IsMixerOpen());
        EXPECT_EQ(line->MessageWindow(), 0u);
        EXPECT_EQ(line->GetLevel(), -1);
        EXPECT_EQ(line->GetMinimum(), -1);
        EXPECT_EQ(line->GetMaximum(), -1);
        EXPECT_EQ(line->GetStepCount(), -1);
    }
    EXPECT_EQ(FindWindowA("Master Output Volume Msg Wnd Class", nullptr), nullptr);

    CreateEndpointVolume();
    // Without a device the endpoint may be missing or a silent stand-in; either way a
    // level reads inside 0..1 and nothing fails.
    const float level = GetEndpointLevel();
    EXPECT_GE(level, 0.0f);
    EXPECT_LE(level, 1.0f);
    if (EndpointInterface() == 0) EXPECT_EQ(level, 0.0f);
    EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_TRUE(OutputUnmuted());
    ReleaseEndpointVolume();
    EXPECT_EQ(EndpointInterface(), 0u);
}

TEST(VolumeAdapter, MessageWindowIsHiddenNamedAndForwardsMessages) {
    Mixer& mixer = Win32Mixer();
    std::vector<std::pair<UINT, LPARAM>> seen;
    const WindowHandle w = mixer.CreateMessageWindow(
        "Wave Output Volume Msg Wnd Class", "Wave Output Volume Msg Wnd",
        [&](MessageId m, WParam, LParam lp) {
            if (m != MM_MIXM_CONTROL_CHANGE) return false;
            seen.push_back({m, lp});
            return true;
        });
    ASSERT_NE(w, 0u);
    HWND h = reinterpret_cast<HWND>(w);
    EXPECT_EQ(FindWindowA("Wave Output Volume Msg Wnd Class", "Wave Output Volume Msg Wnd"), h);
    EXPECT_FALSE(IsWindowVisible(h));
    const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_DISABLED);
    EXPECT_EQ(GetParent(h), nullptr);

    PostMessageA(h, MM_MIXM_CONTROL_CHANGE, 0, 77);
    ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }));
    EXPECT_EQ(seen[0].second, 77);
    // Everything else still reaches the default procedure.
    char title[64] = {};
    GetWindowTextA(h, title, sizeof title);
    EXPECT_STREQ(title, "Wave Output Volume Msg Wnd");

    // A second window of the same class works too (the class is registered once).
    const WindowHandle w2 =
        mixer.CreateMessageWindow("Wave Output Volume Msg Wnd Class", "Second", nullptr);
    EXPECT_NE(w2, 0u);
    mixer.DestroyMessageWindow(w2);
    mixer.DestroyMessageWindow(w);
    EXPECT_FALSE(IsWindow(h));
}

TEST(VolumeAdapter, MixerCallsOnMissingObjectsFailQuietly) {
    Mixer& mixer = Win32Mixer();
    MixerLineInfo line;
    MixerControlInfo control;
    std::vector<MixerControlInfo> controls;
    std::vector<uint32_t> values;
    EXPECT_FALSE(mixer.LineByComponentType(0, kComponentDstSpeakers, line));
    EXPECT_FALSE(mixer.LineById(0, 1, line));
    EXPECT_FALSE(mixer.LineControlByType(0, 1, kControlVolume, control));
    EXPECT_FALSE(mixer.LineControls(0, 1, 2, controls));
    EXPECT_FALSE(mixer.GetUnsigned(0, 1, 2, 1, values));
    EXPECT_FALSE(mixer.SetBoolean(0, 1, 1, 1, {1}));
    EXPECT_FALSE(mixer.SetUnsigned(0, 1, 2, 1, {1}));  // wrong value count
    EXPECT_EQ(mixer.Open(12345, 0), 0u);
    if (mixer.DeviceCount() == 0) EXPECT_EQ(mixer.OpenWaveMapper(PcmFormat{}), 0u);
}

// Runs where the tier provides an output (volume_audio.sh starts a sound server with
// a null sink and sets ORB_AUDIO_TIER).
TEST(VolumeAudio, AVolumePressChangesTheEndpointLevelASecondReaderSees) {
    if (std::getenv("ORB_AUDIO_TIER") == nullptr)
        GTEST_SKIP() << "no sound server in this run (volume_audio.sh provides one)";
    RealVolume real;
    ASSERT_TRUE(IsWindowsVersion6()) << "the prefix should report Windows 6.x";
    CreateEndpointVolume();
    ASSERT_NE(EndpointInterface(), 0u) << "the sound server's output has no endpoint";
    EndpointVolume& port = Win32EndpointVolume();
    const EndpointHandle reader = port.Create();
    ASSERT_NE(reader, 0u);
    ASSERT_NE(reader, EndpointInterface());

    real.settings->SetVolumeSensitivity(50);
    SetEndpointLevel(0.5f);
    float seen = -1.0f;
    ASSERT_TRUE(port.GetMasterLevelScalar(reader, seen));
    EXPECT_NEAR(seen, 0.5f, 0.01f);
    EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
    ASSERT_TRUE(port.GetMasterLevelScalar(reader, seen));
    EXPECT_NEAR(seen, 0.58f, 0.01f);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    ASSERT_TRUE(port.GetMasterLevelScalar(reader, seen));
    EXPECT_NEAR(seen, 0.42f, 0.01f);
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_FALSE(OutputUnmuted());
    EXPECT_EQ(OnMute(Mute), 1);
    port.Release(reader);
}

}  // namespace
