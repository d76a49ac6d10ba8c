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
#include "state/settings.h"
#include "engine/volume_buttons.h"
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
    if (EndpointInterface() == 0) {
        EXPECT_EQ(level, 0.0f);
    }
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
    if (mixer.DeviceCount() == 0) {
        EXPECT_EQ(mixer.OpenWaveMapper(PcmFormat{}), 0u);
    }
}

// Runs where the tier provides an output (volume_audio.sh starts a sound server with
// a null sink and sets ORB_AUDIO_TIER). The test reads the endpoint's state back
// through the process's own interface, as any other reader of it would see it.
class VolumeAudio : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("ORB_AUDIO_TIER") == nullptr)
            GTEST_SKIP() << "no sound server in this run (volume_audio.sh provides one)";
        real = std::make_unique<RealVolume>();
        ASSERT_TRUE(IsWindowsVersion6()) << "the prefix should report Windows 6.x";
        CreateEndpointVolume();
        ASSERT_NE(EndpointInterface(), 0u) << "the sound server's output has no endpoint";
    }
    void TearDown() override { real.reset(); }
    bool Muted() {
        bool muted = false;
        EXPECT_TRUE(port.GetMute(EndpointInterface(), muted));
        return muted;
    }
    EndpointVolume& port = Win32EndpointVolume();
    std::unique_ptr<RealVolume> real;
};

TEST_F(VolumeAudio, MuteButtonTogglesTheEndpointsMute) {
    UnmuteOutput();
    EXPECT_FALSE(Muted());
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_TRUE(Muted());
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_FALSE(Muted());
    // A volume press while muted unmutes.
    MuteOutput();
    ASSERT_TRUE(Muted());
    EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
    EXPECT_FALSE(Muted());
}

TEST_F(VolumeAudio, VolumePressesChangeTheEndpointLevel) {
    // Wine 8 answers E_NOTIMPL to SetMasterVolumeLevelScalar.
    if (!port.SetMasterLevelScalar(EndpointInterface(), 0.5f))
        GTEST_SKIP() << "this system's endpoint does not set scalar levels";
    real->settings->SetVolumeSensitivity(50);
    float seen = -1.0f;
    const EndpointHandle e = EndpointInterface();
    ASSERT_TRUE(port.GetMasterLevelScalar(e, seen));
    EXPECT_NEAR(seen, 0.5f, 0.01f);
    EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
    ASSERT_TRUE(port.GetMasterLevelScalar(e, seen));
    EXPECT_NEAR(seen, 0.58f, 0.01f);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    ASSERT_TRUE(port.GetMasterLevelScalar(e, seen));
    EXPECT_NEAR(seen, 0.42f, 0.01f);
}

TEST_F(VolumeAudio, EachInterfaceIsReleasedOnItsOwn) {
    const EndpointHandle second = port.Create();
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, EndpointInterface());
    port.Release(second);
    float level = -1.0f;
    EXPECT_TRUE(port.GetMasterLevelScalar(EndpointInterface(), level));
    EXPECT_GE(level, 0.0f);
    EXPECT_LE(level, 1.0f);
}

TEST_F(VolumeAudio, MasterMixerLineFollowsItsLevelAndMute) {
    ConstructVolumeControls();
    CVolumeOutMaster* master = MasterVolume();
    if (!master->IsAvailable())
        // Wine 8 answers MMSYSERR_INVALHANDLE to mixerGetID on a wave-mapper handle.
        GTEST_SKIP() << "this system's mixer has no usable speakers volume (devices "
                     << mixerGetNumDevs() << ", mixer open " << master->IsMixerOpen()
                     << ", line found " << master->IsLineReady() << ")";
    EXPECT_NE(FindWindowA("Master Output Volume Msg Wnd Class", "Master Output Volume Msg Wnd"),
              nullptr);
    const int64_t low = master->GetMinimum(), high = master->GetMaximum();
    ASSERT_LT(low, high);
    const int64_t quarter = low + (high - low) / 4;
    master->SetLevel(quarter);
    EXPECT_NEAR(static_cast<double>(master->GetLevel()), static_cast<double>(quarter),
                (high - low) / 100.0);
    master->SetLevel(high + 1);  // outside the bounds: ignored
    EXPECT_NEAR(static_cast<double>(master->GetLevel()), static_cast<double>(quarter),
                (high - low) / 100.0);
    master->DisableLine();
    master->EnableLine();
    DestroyVolumeControls();
    EXPECT_EQ(FindWindowA("Master Output Volume Msg Wnd Class", "Master Output Volume Msg Wnd"),
              nullptr);
}

TEST_F(VolumeAudio, MixerAdapterReadsAndWritesTheSpeakersLine) {
    Mixer& mixer = Win32Mixer();
    if (mixer.DeviceCount() == 0) GTEST_SKIP() << "no mixer device";
    const WindowHandle window = mixer.CreateMessageWindow(
        "Orbiscope test mixer window", "Orbiscope test mixer window", nullptr);
    ASSERT_NE(window, 0u);
    const MixerHandle h = mixer.Open(0, window);
    ASSERT_NE(h, 0u);
    MixerLineInfo line;
    ASSERT_TRUE(mixer.LineByComponentType(h, kComponentDstSpeakers, line));
    MixerLineInfo again;
    ASSERT_TRUE(mixer.LineById(h, line.lineId, again));
    EXPECT_EQ(again.channels, line.channels);
    EXPECT_EQ(again.componentType, kComponentDstSpeakers);
    std::vector<MixerControlInfo> all;
    ASSERT_TRUE(mixer.LineControls(h, line.lineId, line.controls, all));
    ASSERT_EQ(all.size(), line.controls);

    MixerControlInfo volume;
    ASSERT_TRUE(mixer.LineControlByType(h, line.lineId, kControlVolume, volume));
    EXPECT_EQ(volume.type, kControlVolume);
    EXPECT_LT(volume.minimum, volume.maximum);
    const uint32_t target = volume.minimum + (volume.maximum - volume.minimum) / 3;
    ASSERT_TRUE(mixer.SetUnsigned(h, volume.controlId, line.channels, 1,
                                  std::vector<uint32_t>(line.channels, target)));
    std::vector<uint32_t> values;
    ASSERT_TRUE(mixer.GetUnsigned(h, volume.controlId, line.channels, 1, values));
    ASSERT_EQ(values.size(), line.channels);
    EXPECT_NEAR(values[0], target, (volume.maximum - volume.minimum) / 100.0);

    MixerControlInfo mute;
    if (mixer.LineControlByType(h, line.lineId, kControlMute, mute)) {
        const uint32_t n = (mute.flags & kControlFlagUniform) ? 1 : line.channels;
        std::vector<int32_t> state;
        ASSERT_TRUE(mixer.SetBoolean(h, mute.controlId, n, 1, std::vector<int32_t>(n, 1)));
        ASSERT_TRUE(mixer.GetBoolean(h, mute.controlId, n, 1, state));
        EXPECT_EQ(state[0], 1);
        ASSERT_TRUE(mixer.SetBoolean(h, mute.controlId, n, 1, std::vector<int32_t>(n, 0)));
        ASSERT_TRUE(mixer.GetBoolean(h, mute.controlId, n, 1, state));
        EXPECT_EQ(state[0], 0);
    }
    mixer.Close(h);
    mixer.DestroyMessageWindow(window);
}

}  // namespace
