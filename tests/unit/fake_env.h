// A whole fake machine for one test: every port the tests need, installed for the
// test's lifetime, with a settings record of defaults.
#pragma once

#include <memory>

#include "engine/dispatcher.h"
#include "engine/elevation_notice.h"
#include "engine/events.h"
#include "engine/mouse_mode.h"
#include "engine/press_engine.h"
#include "platform/fake/fake_os.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "state/settings.h"
#include "ui/shell.h"

struct FakeEnv {
    FakeClock clock;
    FakeInput input;
    FakeDesktop desktop;
    FakeProcessList processes;
    FakeUserInterface ui;
    FakeRegistry registry;
    FakePower power;
    FakeShell shell;
    FakeNetwork network;
    std::unique_ptr<RemoteSettings> settings = std::make_unique<RemoteSettings>();
    Platform platform;
    std::unique_ptr<ScopedPlatform> scope;
    RemoteSettings* savedSettings;
    // A new engine for each test: a process that has seen no press.
    PressEngineOwner engine{TheReceiver()};

    FakeEnv() : savedSettings(CurrentSettings()) {
        clock.now = 100000;
        // A process that has never slept.
        IrReceiver& rx = TheReceiver();
        rx.asleep = 0;
        rx.resumes = 0;
        rx.resumeTick = 0;
        rx.displayOff = 0;
        rx.recovery = IrReceiver::Recovery{};
        input.desktop = &desktop;
        platform.clock = &clock;
        platform.input = &input;
        platform.desktop = &desktop;
        platform.processes = &processes;
        platform.ui = &ui;
        platform.registry = &registry;
        platform.power = &power;
        platform.shell = &shell;
        platform.network = &network;
        Install();
        SetCurrentSettings(settings.get());
        RegisterButtonMessage();
        ConnectShellLinks(engine.shared());
    }
    // Re-installs after a test changed a port pointer in `platform`.
    void Install() {
        scope.reset();
        scope = std::make_unique<ScopedPlatform>(platform);
    }
    ~FakeEnv() {
        SetCurrentSettings(savedSettings);
        scope.reset();
    }

    // The code of a button as the reader delivers it: filter, dispatcher, default key.
    void Receive(int32_t id, int variant) {
        const auto values =
            SequenceValues(variant == 1 ? kButtonCodes[id].variant1 : kButtonCodes[id].variant2);
        TheReceiver().valueCount = 0;
        for (uint8_t v : values) AppendValue(v);
        OnCodeComplete();
    }

    // A top-level window owned by a new process with that executable name, behind.
    WindowHandle AddWindow(const std::string& exe, const std::string& title,
                           const std::string& className) {
        FakeWindow w;
        w.pid = processes.Add(exe);
        w.thread = w.pid + 1;
        w.title = title;
        w.className = className;
        return desktop.Add(w);
    }

    // A top-level window owned by a new process with that executable name, in front.
    WindowHandle Foreground(const std::string& exe, const std::string& title = "Window",
                            const std::string& className = "AppClass") {
        FakeWindow w;
        w.pid = processes.Add(exe);
        w.thread = w.pid + 1;
        w.title = title;
        w.className = className;
        w.rect = Rect{100, 100, 500, 400};
        const WindowHandle h = desktop.Add(w);
        desktop.foreground = h;
        return h;
    }
};
