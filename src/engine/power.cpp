#include "engine/power.h"

#include <vector>

#include "platform/ports.h"
#include "platform/vk.h"
#include "receiver/receiver.h"
#include "engine/dispatcher.h"
#include "desktop/window_queries.h"
#include "state/settings.h"
#include "state/trace.h"

bool IsWindows98OrMe(const OsVersion& v) {
    return v.ok && v.platformId == kPlatformWin9x && v.major == 4 && (v.minor == 10 || v.minor == 90);
}

ProcessId ProcessIdByName(const std::string& part) {
    ProcessList* processes = Os().processes;
    std::vector<ProcessEntry> snapshot;
    if (processes == nullptr || !processes->Snapshot(snapshot)) return 0;
    for (const ProcessEntry& entry : snapshot) {
        if (LowerAnsi(entry.exeFile).find(part) != std::string::npos) return entry.pid;
    }
    return 0;
}

namespace {

void Shutdown(SystemPower& power) {
    if (IsWindows98OrMe(power.Version())) {
        // These systems refuse to power off while the shell is running.
        if (const ProcessId explorer = ProcessIdByName("explorer.exe"); explorer != 0) {
            if (ProcessList* processes = Os().processes) (void)processes->Terminate(explorer, 1);
        }
        (void)power.ExitSystem(kExitShutdown | kExitPowerOff | kExitForce);
    } else {
        (void)power.ExitSystem(kExitPowerOff | kExitForce);
    }
}

}  // namespace

int PowerAction(int32_t button) {
    RemoteSettings* settings = CurrentSettings();
    if (settings == nullptr) return 1;
    Desktop* desktop = Os().desktop;
    const bool enabled = settings->PowerButtonEnabled.load() != 0;

    if (ForegroundHasPluginClass() && !enabled) {
        if (desktop != nullptr) {
            const WindowHandle front = desktop->ForegroundWindow();
            const bool ok = desktop->Post(front, ButtonMessage(), static_cast<WParam>(button), 0);
            TraceMessage(MessageRole::PluginButton, false, front, ButtonMessage(),
                         static_cast<WParam>(button), 0, ok);
        }
        return 1;
    }
    const bool cooperating = ForegroundIsCooperating();
    if (cooperating) (void)CooperatingKeyHandler(button);
    if ((cooperating && PowerFlag()) || !enabled) return 1;

    SystemPower* power = Os().power;
    if (power == nullptr) return 1;
    (void)power->EnablePrivilege(kShutdownPrivilege);

    const int32_t mode = settings->PowerButtonMode.load();
    switch (mode) {
        case kPowerStandby:
        case kPowerHibernate:
            TraceAction(mode == kPowerStandby ? TraceKind::Standby : TraceKind::Hibernate);
            // The call returns once the computer is awake again: whoever watches hears of
            // it before the computer sleeps. What the receiver queued while it slept
            // belongs to nobody.
            TraceShowNow();
            // The return is a resume like any other, whether or not the main window has heard
            // of it yet.
            if (power->SetSystemPowerState(mode == kPowerStandby, true)) {
                DiscardPendingInput();
                ReceiverResumed();
            }
            break;
        case kPowerShutdown:
            TraceAction(TraceKind::ShutDown);
            TraceShowNow();
            Shutdown(*power);
            break;
        default:
            if (desktop != nullptr) {
                const WindowHandle target = desktop->DesktopWindow();
                const bool ok = desktop->Post(target, wm::SYSCOMMAND, kScScreenSave, 0);
                TraceMessage(MessageRole::ScreenSaverStart, false, target, wm::SYSCOMMAND,
                             kScScreenSave, 0, ok);
            }
            break;
    }
    return 1;
}

void ScreenSaverWakeUp() {
    Desktop* desktop = Os().desktop;
    if (desktop != nullptr) {
        if (const auto windows = desktop->DesktopWindows(kScreenSaverDesktop, kScreenSaverDesktopAccess)) {
            for (const WindowHandle w : *windows) {
                if (desktop->IsVisible(w)) {
                    const bool ok = desktop->Post(w, wm::CLOSE, 0, 0);
                    TraceMessage(MessageRole::ScreenSaverClose, false, w, wm::CLOSE, 0, 0, ok);
                }
            }
        }
        WindowHandle saver = desktop->FindTopLevelByClass(kScreenSaverClass);
        if (saver == 0) saver = desktop->FindTopLevelByClass(kDefaultScreenSaverClass);
        if (saver != 0) {
            const bool ok = desktop->Post(saver, wm::CLOSE, 0, 0);
            TraceMessage(MessageRole::ScreenSaverClose, false, saver, wm::CLOSE, 0, 0, ok);
        }
    }
    if (SystemPower* power = Os().power) {
        if (power->LowPowerActive() || power->PowerOffActive()) power->SetDisplayRequired();
    }
}
