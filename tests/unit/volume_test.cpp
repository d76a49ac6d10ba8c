#include <gtest/gtest.h>

#include "fake_env.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_volume.h"
#include "platform/vk.h"
#include "receiver/remote_button.h"
#include "engine/volume_buttons.h"
#include "volume/volume.h"

namespace {

constexpr OsVersion kVista{true, kPlatformNt, 6, 0};
constexpr OsVersion kXp{true, kPlatformNt, 5, 1};

class Volume : public ::testing::Test {
protected:
    FakeEnv env;
    FakeMixer mixer;
    FakeEndpointVolume endpoint;
    FakePower power;

    Volume() {
        env.platform.mixer = &mixer;
        env.platform.endpoint = &endpoint;
        env.platform.power = &power;
        env.Install();
    }
    ~Volume() override {
        ReleaseEndpointVolume();
        DestroyVolumeControls();
        UnmuteOutput();  // no lines and no interface left: only the flag
    }

    void EndpointPath(float level) {
        power.version = kVista;
        endpoint.level = level;
        CreateEndpointVolume();
    }
    // A card whose wave line has the given bounds; the master is 0..65535 at 32768.
    void MixerPath(uint32_t waveMin = 0, uint32_t waveMax = 65535) {
        power.version = kXp;
        FakeMixerLine& speakers = mixer.AddLine(0, kComponentDstSpeakers, 2);
        masterVolume = mixer.AddControl(speakers, kControlVolume, 0, 0, 0, 65535, 32768).info.controlId;
        masterMute = mixer.AddControl(speakers, kControlMute, kControlFlagUniform, 0, 0, 1, 0).info.controlId;
        FakeMixerLine& wave = mixer.AddLine(0, kComponentSrcWaveOut, 2);
        waveVolume = mixer.AddControl(wave, kControlVolume, 0, 0, waveMin, waveMax, waveMin).info.controlId;
        waveMute = mixer.AddControl(wave, kControlMute, kControlFlagUniform, 0, 0, 1, 0).info.controlId;
        ConstructVolumeControls();
    }
    std::vector<uint32_t>& Values(uint32_t controlId) { return mixer.FindControl(controlId)->values; }
    uint32_t masterVolume = 0, masterMute = 0, waveVolume = 0, waveMute = 0;
};

TEST(VolumeStep, RunsFromTwoToFourteenHundredthsAsSinglePrecision) {
    EXPECT_EQ(VolumeStep(0), 0.02f);
    EXPECT_EQ(VolumeStep(50), 0.08f);
    EXPECT_EQ(VolumeStep(100), 0.14f);
    EXPECT_EQ(VolumeStep(25), static_cast<float>(0.25 * 0.12 + 0.02));
    // A damaged stored value must not turn a raise into a cut or jump past the range.
    EXPECT_EQ(VolumeStep(-40), 0.02f);
    EXPECT_EQ(VolumeStep(5000), 0.14f);
}

TEST_F(Volume, VersionSixOfTheNtFamilyAloneSelectsTheEndpoint) {
    const struct {
        OsVersion version;
        bool endpoint;
    } cases[] = {
        {{true, kPlatformNt, 6, 0}, true},   {{true, kPlatformNt, 6, 1}, true},
        {{true, kPlatformNt, 5, 1}, false},  {{true, kPlatformNt, 10, 0}, false},
        {{true, kPlatformWin9x, 6, 0}, false}, {{false, kPlatformNt, 6, 1}, false},
    };
    for (const auto& c : cases) {
        power.version = c.version;
        EXPECT_EQ(IsWindowsVersion6(), c.endpoint) << c.version.major << "." << c.version.minor;
    }
    env.platform.power = nullptr;
    env.Install();
    EXPECT_FALSE(IsWindowsVersion6());
}

TEST_F(Volume, EndpointPressesMoveByTheStepAndStopAtTheEnds) {
    const struct {
        int32_t sensitivity;
        float start;
        int32_t button;
        std::vector<float> after;  // the level after each press
    } cases[] = {
        {100, 0.9f, VolumeUp, {1.0f, 1.0f}},
        {0, 0.5f, VolumeDown, {0.48f, 0.46f}},
        {0, 0.01f, VolumeDown, {0.0f, 0.0f}},
        {50, 0.5f, VolumeUp, {0.58f, 0.66f}},
    };
    for (const auto& c : cases) {
        EndpointPath(c.start);
        env.settings->SetVolumeSensitivity(c.sensitivity);
        for (float expected : c.after) {
            EXPECT_EQ(c.button == VolumeUp ? OnVolumeUp(c.button) : OnVolumeDown(c.button), 1);
            EXPECT_NEAR(endpoint.level, expected, 1e-6) << c.sensitivity << " from " << c.start;
        }
        ReleaseEndpointVolume();
    }
}

TEST_F(Volume, EndpointMuteToggleTrustsItsOwnFlag) {
    EndpointPath(0.5f);
    endpoint.muted = true;  // muted by other means: the flag still says unmuted
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_TRUE(endpoint.muted);
    EXPECT_FALSE(OutputUnmuted());
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_FALSE(endpoint.muted);
    EXPECT_TRUE(OutputUnmuted());
    EXPECT_EQ(endpoint.mutesSet, (std::vector<bool>{true, false}));
}

TEST_F(Volume, VolumeUpWhileMutedUnmutesAndRaisesInOnePress) {
    EndpointPath(0.3f);
    MuteOutput();
    ASSERT_TRUE(endpoint.muted);
    OnVolumeUp(VolumeUp);
    EXPECT_FALSE(endpoint.muted);
    EXPECT_TRUE(OutputUnmuted());
    EXPECT_NEAR(endpoint.level, 0.38f, 1e-6);
}

TEST_F(Volume, WithoutAnEndpointEveryCallIsHarmless) {
    power.version = kVista;
    endpoint.createFails = true;
    CreateEndpointVolume();
    EXPECT_EQ(EndpointInterface(), 0u);
    EXPECT_EQ(GetEndpointLevel(), 0.0f);
    EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    EXPECT_EQ(OnMute(Mute), 1);
    EXPECT_TRUE(endpoint.levelsSet.empty());
    EXPECT_TRUE(endpoint.mutesSet.empty());
    EXPECT_EQ(endpoint.live, 0);
}

TEST_F(Volume, TheEndpointIsHeldOnceAndReleasedAtExit) {
    power.version = kVista;
    CreateEndpointVolume();
    CreateEndpointVolume();
    EXPECT_NE(EndpointInterface(), 0u);
    EXPECT_EQ(endpoint.live, 1);
    ReleaseEndpointVolume();
    EXPECT_EQ(EndpointInterface(), 0u);
    EXPECT_EQ(endpoint.live, 0);
    SetEndpointLevel(0.2f);
    EXPECT_TRUE(endpoint.levelsSet.empty());
}

TEST_F(Volume, SageTvFamilyGetsItsOwnKeysAndTheVolumeNeverChanges) {
    const struct {
        int32_t button;
        uint16_t key;
        bool shift;
    } cases[] = {{VolumeUp, 'R', false}, {VolumeDown, 'E', false}, {Mute, 'M', true}};
    for (const char* exe : {"sagetv.exe", "SageTVClient.exe"}) {
        env.Foreground(exe);
        EndpointPath(0.5f);
        for (const auto& c : cases) {
            env.input.Clear();
            const int r = c.button == VolumeUp     ? OnVolumeUp(c.button)
                          : c.button == VolumeDown ? OnVolumeDown(c.button)
                                                   : OnMute(c.button);
            EXPECT_EQ(r, 1);
            std::vector<uint16_t> downs;
            for (const InputEvent& e : env.input.AllEvents())
                if ((e.flags & kKeyUp) == 0) downs.push_back(e.virtualKey);
            std::vector<uint16_t> expected{vk::CONTROL};
            if (c.shift) expected.push_back(vk::SHIFT);
            expected.push_back(c.key);
            EXPECT_EQ(downs, expected) << exe << " " << c.button;
        }
        EXPECT_TRUE(endpoint.levelsSet.empty()) << exe;
        EXPECT_TRUE(endpoint.mutesSet.empty()) << exe;
        EXPECT_TRUE(OutputUnmuted());
        ReleaseEndpointVolume();
    }
}

TEST_F(Volume, CooperatingWindowAlsoGetsTheButtonAfterTheVolumeChanged) {
    env.Foreground("player.exe", "Orbiscope#03 Player");
    EndpointPath(0.5f);
    OnVolumeUp(VolumeUp);
    EXPECT_NEAR(endpoint.level, 0.58f, 1e-6);
    ASSERT_FALSE(env.input.AllEvents().empty());
    EXPECT_EQ(env.input.AllEvents()[0].virtualKey, vk::OEM_6);
    env.input.Clear();
    OnMute(Mute);
    EXPECT_TRUE(endpoint.muted);
    ASSERT_FALSE(env.input.AllEvents().empty());
    EXPECT_EQ(env.input.AllEvents()[0].virtualKey, vk::OEM_5);
    UnmuteOutput();

    // Without a settings record there is no step: the press only unmutes.
    env.input.Clear();
    MuteOutput();
    SetCurrentSettings(nullptr);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    EXPECT_FALSE(endpoint.muted);
    EXPECT_NEAR(endpoint.level, 0.58f, 1e-6);
    EXPECT_TRUE(env.input.AllEvents().empty());
}

TEST_F(Volume, DefaultStepRaisesTheMasterAndTheWaveFollowsAsAProportion) {
    MixerPath(0, 100);
    EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
    // truncate(65535 x 0.08f) = 5242 on both channels.
    EXPECT_EQ(Values(masterVolume), (std::vector<uint32_t>{38010, 38010}));
    // 100 x 38010 / 65535 = 57.9995...
    EXPECT_EQ(Values(waveVolume), (std::vector<uint32_t>{57, 57}));
    OnVolumeDown(VolumeDown);
    EXPECT_EQ(Values(masterVolume), (std::vector<uint32_t>{32768, 32768}));
    EXPECT_EQ(Values(waveVolume), (std::vector<uint32_t>{50, 50}));
}

TEST_F(Volume, WaveFollowsWithinItsOwnBounds) {
    MixerPath(100, 300);
    OnVolumeUp(VolumeUp);
    // 100 + truncate(200 x 38010 / 65535)
    EXPECT_EQ(Values(waveVolume)[0], 215u);
    Values(masterVolume).assign(2, 65000);
    OnVolumeUp(VolumeUp);
    EXPECT_EQ(Values(masterVolume)[0], 65535u);
    EXPECT_EQ(Values(waveVolume)[0], 300u);
    Values(masterVolume).assign(2, 100);
    OnVolumeDown(VolumeDown);
    EXPECT_EQ(Values(masterVolume)[0], 0u);
    EXPECT_EQ(Values(waveVolume)[0], 100u);
}

TEST_F(Volume, StepsNearTheUnsignedLimitsNeitherWrapNorStick) {
    power.version = kXp;
    FakeMixerLine& speakers = mixer.AddLine(0, kComponentDstSpeakers, 1);
    const uint32_t id =
        mixer.AddControl(speakers, kControlVolume, 0, 0, 0, 0xFFFFFFFFu, 0xFFFFFFF0u).info.controlId;
    FakeMixerLine& wave = mixer.AddLine(0, kComponentSrcWaveOut, 1);
    const uint32_t wid =
        mixer.AddControl(wave, kControlVolume, 0, 0, 0, 0xFFFFFFFFu, 0).info.controlId;
    ConstructVolumeControls();
    RaiseVolume(0.14f);
    EXPECT_EQ(Values(id)[0], 0xFFFFFFFFu);
    EXPECT_EQ(Values(wid)[0], 0xFFFFFFFFu);
    EXPECT_EQ(MasterVolume()->GetLevel(), int64_t{0xFFFFFFFFu});
    Values(id)[0] = 7;
    LowerVolume(0.14f);
    EXPECT_EQ(Values(id)[0], 0u);
    EXPECT_EQ(Values(wid)[0], 0u);
}

TEST_F(Volume, WithoutAMasterVolumeNeitherLineMoves) {
    power.version = kXp;
    for (const char* what : {"no speakers line", "no volume control", "disabled volume control"}) {
        mixer.devices.clear();
        const std::string w = what;
        if (w != "no speakers line") {
            FakeMixerLine& speakers = mixer.AddLine(0, kComponentDstSpeakers, 2);
            mixer.AddControl(speakers, kControlMute, kControlFlagUniform, 0, 0, 1, 0);
            if (w == "disabled volume control")
                mixer.AddControl(speakers, kControlVolume, kControlFlagDisabled, 0, 0, 65535, 100);
        }
        FakeMixerLine& wave = mixer.AddLine(0, kComponentSrcWaveOut, 2);
        mixer.AddControl(wave, kControlVolume, 0, 0, 0, 65535, 100);
        ConstructVolumeControls();
        ASSERT_FALSE(MasterVolume()->IsAvailable()) << what;
        ASSERT_TRUE(WaveVolume()->IsAvailable()) << what;
        EXPECT_EQ(MasterVolume()->GetMinimum(), -1) << what;
        EXPECT_EQ(MasterVolume()->GetMaximum(), -1) << what;
        EXPECT_EQ(MasterVolume()->GetLevel(), -1) << what;
        EXPECT_EQ(MasterVolume()->GetStepCount(), -1) << what;
        mixer.writes.clear();
        EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
        EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
        for (const auto& write : mixer.writes) EXPECT_TRUE(write.boolean) << what;
        EXPECT_EQ(WaveVolume()->GetLevel(), 100) << what;
    }
}

TEST_F(Volume, AMasterWithoutARangeGivesTheWaveNoPosition) {
    power.version = kXp;
    FakeMixerLine& speakers = mixer.AddLine(0, kComponentDstSpeakers, 2);
    mixer.AddControl(speakers, kControlVolume, 0, 0, 5, 5, 5);
    FakeMixerLine& wave = mixer.AddLine(0, kComponentSrcWaveOut, 2);
    const uint32_t wid = mixer.AddControl(wave, kControlVolume, 0, 0, 0, 65535, 100).info.controlId;
    ConstructVolumeControls();
    ASSERT_TRUE(MasterVolume()->IsAvailable());
    EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
    EXPECT_EQ(OnVolumeDown(VolumeDown), 1);
    EXPECT_EQ(Values(wid), (std::vector<uint32_t>{100, 100}));
}

TEST_F(Volume, DisabledVolumeControlStillLetsTheLineBeMuted) {
    power.version = kXp;
    FakeMixerLine& speakers = mixer.AddLine(0, kComponentDstSpeakers, 2);
    mixer.AddControl(speakers, kControlVolume, kControlFlagDisabled, 0, 0, 65535, 100);
    const uint32_t mute = mixer.AddControl(speakers, kControlMute, 0, 0, 0, 1, 0).info.controlId;
    ConstructVolumeControls();
    EXPECT_FALSE(MasterVolume()->IsAvailable());
    EXPECT_TRUE(MasterVolume()->IsLineReady());
    MasterVolume()->SetLevel(50);
    EXPECT_EQ(mixer.FindControl(speakers.controls[0].info.controlId)->values[0], 100u);
    OnMute(Mute);
    EXPECT_EQ(Values(mute), (std::vector<uint32_t>{1, 1}));
}

TEST_F(Volume, EveryFailedConstructionStepLeavesNothingOpen) {
    const struct {
        const char* name;
        void (*arrange)(FakeMixer&);
    } cases[] = {
        {"no device", [](FakeMixer& m) { m.devices.clear(); }},
        {"wave mapper fails", [](FakeMixer& m) { m.waveOutFails = true; }},
        {"mixer id fails", [](FakeMixer& m) { m.mixerIdFails = true; }},
        {"window fails", [](FakeMixer& m) { m.windowFails = true; }},
        {"mixer open fails", [](FakeMixer& m) { m.openFails = true; }},
        {"no such line", [](FakeMixer& m) { m.devices[0].lines.clear(); }},
    };
    power.version = kXp;
    for (const auto& c : cases) {
        FakeMixer fresh;
        fresh.AddStandardCard();
        c.arrange(fresh);
        env.platform.mixer = &fresh;
        env.Install();
        ConstructVolumeControls();
        for (CVolumeOutLine* line : {static_cast<CVolumeOutLine*>(MasterVolume()),
                                     static_cast<CVolumeOutLine*>(WaveVolume())}) {
            EXPECT_FALSE(line->IsAvailable()) << c.name;
            EXPECT_FALSE(line->IsMixerOpen()) << c.name;
            EXPECT_FALSE(line->IsLineReady()) << c.name;
            EXPECT_EQ(line->GetLevel(), -1) << c.name;
        }
        EXPECT_EQ(CVolumeOutMaster::target, nullptr) << c.name;
        EXPECT_EQ(fresh.openWaveOuts, 0) << c.name;
        EXPECT_EQ(fresh.LiveWindows(), 0) << c.name;
        EXPECT_TRUE(fresh.openMixers.empty()) << c.name;
        EXPECT_EQ(OnVolumeUp(VolumeUp), 1);
        EXPECT_EQ(OnMute(Mute), 1);
        EXPECT_TRUE(fresh.writes.empty()) << c.name;
        DestroyVolumeControls();
    }
}

TEST_F(Volume, ConstructionProbesTheWaveMapperAndOpensOneWindowPerLine) {
    MixerPath();
    ASSERT_EQ(mixer.waveOpens.size(), 2u);
    EXPECT_EQ(mixer.waveOpens[0], (PcmFormat{1, 22050, 16, 2, 44100}));
    EXPECT_EQ(mixer.openWaveOuts, 0);
    const FakeMessageWindow& m = mixer.windows.at(MasterVolume()->MessageWindow());
    const FakeMessageWindow& w = mixer.windows.at(WaveVolume()->MessageWindow());
    EXPECT_EQ(m.className, "Master Output Volume Msg Wnd Class");
    EXPECT_EQ(m.windowName, "Master Output Volume Msg Wnd");
    EXPECT_EQ(w.className, "Wave Output Volume Msg Wnd Class");
    EXPECT_EQ(w.windowName, "Wave Output Volume Msg Wnd");
    EXPECT_EQ(mixer.openMixers.size(), 2u);
    EXPECT_EQ(MasterVolume()->GetStepCount(), 65535);
    DestroyVolumeControls();
    EXPECT_TRUE(mixer.openMixers.empty());
    EXPECT_EQ(mixer.LiveWindows(), 0);
}

TEST_F(Volume, LevelsReadTheFirstChannelAndWritesStayInBounds) {
    MixerPath();
    Values(masterVolume) = {1200, 3400};
    EXPECT_EQ(MasterVolume()->GetLevel(), 1200);
    for (int64_t bad : {int64_t{-1}, int64_t{65536}, int64_t{0x1FFFFFFFF}}) {
        MasterVolume()->SetLevel(bad);
        EXPECT_EQ(Values(masterVolume), (std::vector<uint32_t>{1200, 3400})) << bad;
    }
    MasterVolume()->SetLevel(65535);
    EXPECT_EQ(Values(masterVolume), (std::vector<uint32_t>{65535, 65535}));

    // A level that cannot be read leaves both lines where they are.
    mixer.writes.clear();
    mixer.detailsFail = true;
    EXPECT_EQ(MasterVolume()->GetLevel(), -1);
    RaiseVolume(0.08f);
    mixer.detailsFail = false;
    EXPECT_TRUE(mixer.writes.empty());
    EXPECT_EQ(Values(waveVolume)[0], 0u);
}

TEST_F(Volume, MixerMuteToggleMutesBothLinesThenUnmutes) {
    MixerPath();
    Values(masterMute)[0] = 1;  // muted by other means
    OnMute(Mute);
    EXPECT_EQ(Values(masterMute)[0], 1u);
    EXPECT_EQ(Values(waveMute)[0], 1u);
    OnMute(Mute);
    EXPECT_EQ(Values(masterMute)[0], 0u);
    EXPECT_EQ(Values(waveMute)[0], 0u);
    MuteOutput();
    OnVolumeUp(VolumeUp);
    EXPECT_EQ(Values(masterMute)[0], 0u);
    EXPECT_EQ(Values(masterVolume)[0], 38010u);
}

TEST_F(Volume, EnableAndDisableSetEveryMuteAndListControlOfTheLine) {
    power.version = kXp;
    FakeMixerLine& line = mixer.AddLine(0, kComponentDstSpeakers, 2);
    struct Expect {
        uint32_t type, flags, items, channels, disabledValue;
    };
    const Expect controls[] = {
        {kControlMute, kControlFlagUniform, 0, 1, 1},
        {kControlMute, 0, 0, 2, 1},
        {kControlSingleSelect, kControlFlagMultiple, 3, 2, 0},
        {kControlMux, kControlFlagMultiple | kControlFlagUniform, 4, 1, 0},
        {kControlMultipleSelect, kControlFlagMultiple, 2, 2, 0},
        {kControlMixer, kControlFlagMultiple | kControlFlagUniform, 5, 1, 0},
    };
    std::vector<uint32_t> ids;
    for (const Expect& e : controls)
        ids.push_back(mixer.AddControl(line, e.type, e.flags, e.items, 0, 1, 7).info.controlId);
    const uint32_t volume = mixer.AddControl(line, kControlVolume, 0, 0, 0, 65535, 7).info.controlId;
    const uint32_t bass = mixer.AddControl(line, 0x50030002, 0, 0, 0, 65535, 7).info.controlId;
    ConstructVolumeControls();

    for (bool disable : {true, false}) {
        mixer.writes.clear();
        disable ? MasterVolume()->DisableLine() : MasterVolume()->EnableLine();
        ASSERT_EQ(mixer.writes.size(), std::size(controls)) << disable;
        for (size_t k = 0; k < std::size(controls); ++k) {
            const Expect& e = controls[k];
            const auto& wr = mixer.writes[k];
            EXPECT_EQ(wr.controlId, ids[k]);
            EXPECT_EQ(wr.channels, e.channels) << k;
            EXPECT_EQ(wr.items, std::max<uint32_t>(e.items, 1)) << k;
            const int64_t value = disable ? e.disabledValue : 1 - e.disabledValue;
            EXPECT_EQ(wr.values, std::vector<int64_t>(wr.channels * wr.items, value)) << k;
        }
    }
    EXPECT_EQ(Values(volume), (std::vector<uint32_t>{7, 7}));
    EXPECT_EQ(Values(bass), (std::vector<uint32_t>{7, 7}));

    // The channel count is read again at every change.
    line.info.channels = 1;
    mixer.writes.clear();
    MasterVolume()->DisableLine();
    EXPECT_EQ(mixer.writes[1].channels, 1u);
}

TEST_F(Volume, ChangeNotificationsReachTheHandlerOnlyWhileTheObjectLives) {
    MixerPath();
    static std::vector<std::pair<int64_t, uintptr_t>> seen;
    seen.clear();
    MasterVolume()->SetChangeHandler([](int64_t level, uintptr_t data) { seen.push_back({level, data}); },
                                     42);
    mixer.ChangeFromOutside(masterVolume, 1234);
    mixer.ChangeFromOutside(masterMute, 1);
    EXPECT_EQ(seen, (std::vector<std::pair<int64_t, uintptr_t>>{{1234, 42}}));
    const WindowHandle window = MasterVolume()->MessageWindow();
    EXPECT_FALSE(mixer.Deliver(window, kMixerControlChange, 0, static_cast<LParam>(masterMute)));
    EXPECT_FALSE(mixer.Deliver(window, 0x000F, 0, 0));

    // A notification still queued for the window after the object is gone.
    MessageWindowProc proc = mixer.windows.at(window).proc;
    DestroyVolumeControls();
    EXPECT_EQ(CVolumeOutMaster::target, nullptr);
    EXPECT_FALSE(proc(kMixerControlChange, 0, static_cast<LParam>(masterVolume)));
    EXPECT_EQ(seen.size(), 1u);
}

}  // namespace

namespace {

// The level the on-screen display shows after a press, read back from either path.
TEST_F(Volume, PercentIsReadFromTheEndpointOrTheMasterLine) {
    power.version = kVista;
    EXPECT_EQ(VolumePercent(), -1);  // no interface: unknown, not 0
    EndpointPath(0.426f);
    EXPECT_EQ(VolumePercent(), 43);
    ReleaseEndpointVolume();
    MixerPath();
    EXPECT_EQ(VolumePercent(), 50);  // 32768 of 0..65535
    OnVolumeDown(VolumeDown);
    EXPECT_EQ(VolumePercent(), 42);
}

}  // namespace
