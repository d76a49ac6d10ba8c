// The fake machine the press fuzzers drive: every port faked (the sound system too), a
// settings record, the system version and the failures of the sound fakes taken from
// the input, and the checks that hold after anything a press does.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fake/fake_volume.h"
#include "profiles/handlers.h"
#include "engine/macros.h"
#include "state/settings.h"
#include "unit/fake_env.h"
#include "volume/volume.h"

inline void Check(bool ok) {
    if (!ok) std::abort();
}

struct FuzzMachine {
    FakeEnv env;
    FakeMixer mixer;
    FakeEndpointVolume endpoint;

    explicit FuzzMachine(FuzzedDataProvider& in) {
        RemoteSettings& s = *env.settings;
        for (const SettingEntry& entry : SettingsSchema()) {
            if (entry.field == nullptr) {
                static const char* const kStarts[] = {"", "www.", "http:", " \t"};
                s.StoreFavorite(entry.favorite,
                                in.PickValueInArray(kStarts) + in.ConsumeRandomLengthString(64));
                continue;
            }
            const int32_t top = entry.rule == SettingRule::MacroIndex ? 9
                                : entry.rule == SettingRule::Percent  ? 100
                                                                       : 3;
            // Mostly what the pages store; now and then anything, as a setter may store.
            (s.*entry.field).store(in.ConsumeIntegralInRange(0, 15) == 0
                                       ? in.ConsumeIntegral<int32_t>()
                                       : in.ConsumeIntegralInRange<int32_t>(0, top));
        }
        s.SetModifiedFlag(false);

        static constexpr OsVersion kVersions[] = {
            {true, kPlatformNt, 5, 1}, {true, kPlatformNt, 6, 1},    {true, kPlatformNt, 6, 0},
            {true, kPlatformNt, 5, 0}, {true, kPlatformWin9x, 4, 10}, {false, 0, 0, 0}};
        env.power.version = in.PickValueInArray(kVersions);
        const uint8_t failures = in.ConsumeIntegral<uint8_t>();
        env.power.lowPowerActive = (failures & 0x01) != 0;
        env.network.SetReachable((failures & 0x02) == 0);
        env.shell.defaultResult = (failures & 0x04) != 0 ? 2 : 42;
        env.ui.unsupportedAnswer = UnsupportedAnswer{(failures & 0x08) != 0, (failures & 0x10) != 0};
        mixer.AddStandardCard();
        mixer.openFails = (failures & 0x20) != 0;
        endpoint.callsFail = (failures & 0x40) != 0;
        endpoint.createFails = (failures & 0x80) != 0;
        env.platform.mixer = &mixer;
        env.platform.endpoint = &endpoint;
        env.Install();
        ConstructVolumeControls();
        CreateEndpointVolume();
    }

    ~FuzzMachine() {
        // The process-wide state goes back to how the process starts, so that every
        // input runs alike whatever ran before it.
        WaitForInternetProbes();
        ReleaseEndpointVolume();
        DestroyVolumeControls();
        UnmuteOutput();
        ResetHandlerState();
    }

    // A window of a new process running `exe` (or of the program itself).
    WindowHandle AddWindow(FakeWindow w, const std::string& exe, bool own = false) {
        if (own && env.processes.self == 0) env.processes.self = 4;  // an id Add() never gives
        w.pid = own ? env.processes.self : env.processes.Add(exe);
        w.thread = w.pid + 1;
        w.rect = Rect{100, 100, 500, 400};
        return env.desktop.Add(w);
    }

    // Whatever a press did: every input attachment undone, no key left down.
    void CheckAfterPress() const {
        Check(env.desktop.attachBalance == 0);
        for (const bool down : env.input.keyDown) Check(!down);
    }
};
