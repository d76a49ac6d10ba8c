#include "engine/dispatcher.h"

#include <atomic>
#include <optional>
#include <string>

#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "engine/elevation_notice.h"
#include "engine/macros.h"
#include "engine/mouse_mode.h"
#include "engine/power.h"
#include "engine/press_engine.h"
#include "engine/volume_buttons.h"
#include "platform/ports.h"
#include "profiles/catalogue.h"
#include "profiles/profile_files.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "state/notices.h"
#include "state/settings.h"
#include "state/trace.h"

namespace {

void PostButton(WindowHandle window, MessageId message, int32_t button) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || window == 0) return;
    const bool ok = desktop->Post(window, message, static_cast<WParam>(button), 0);
    TraceMessage(false, window, message, static_cast<WParam>(button), 0, ok);
}

void Step(const char* text) {
    TraceStep([&] { return std::string(text); });
}

bool IsGlobalButton(int32_t b) {
    return b == Power || b == VolumeUp || b == VolumeDown || b == Mute ||
           (b >= MacroButton1 && b <= MacroButton4);
}

// Power, the volume buttons and the macro buttons; -1 for any other button.
int GlobalAction(int32_t b) {
    switch (b) {
        case Power: return PowerAction(b);
        case VolumeUp: return OnVolumeUp(b);
        case VolumeDown: return OnVolumeDown(b);
        case Mute: return OnMute(b);
        default: break;
    }
    if (b >= MacroButton1 && b <= MacroButton4) return MacroButtonAction(b - MacroButton1 + 1, b);
    return -1;
}

void WarnUnsupported(RemoteSettings& settings) {
    UserInterface* ui = Os().ui;
    if (ui == nullptr) return;
    const UnsupportedAnswer answer =
        ui->ShowUnsupportedDialog(FillIn(kUnsupportedMessageFormat, ForegroundProcessName()));
    TraceAction([&] {
        return std::string("unsupported-program warning closed") +
               (answer.closedWithOk && answer.dontShowAgain ? ", not to be shown again" : "");
    });
    // The check box only counts when the dialog was closed with OK.
    const bool dontShowAgain = answer.closedWithOk && answer.dontShowAgain;
    settings.SetShowUnsupportedDlg(dontShowAgain ? 0 : 1);
    DiscardPendingInput();
}

// The steps of one press, in the order they are asked. Each answers whether it took the
// button (and what the dispatcher then returns) or lets the press go on.
using Answer = std::optional<bool>;

// A plug-in window of the two kinds that take every button, wherever it is.
Answer PluginWindowBehind(int32_t b) {
    if (const WindowHandle girder = FindWindowByClass(kGirderClass); girder != 0) {
        Step("plug-in window Orbiscope.Girder");
        PostButton(girder, kGirderMessage, b);
        return true;
    }
    if (const WindowHandle wmx = FindWindowByClass(kWmxClass); wmx != 0) {
        Step("plug-in window Orbiscope.WMX");
        PostButton(wmx, ButtonMessage(), b);
        return true;
    }
    return std::nullopt;
}

Answer MouseMode(PressEngine& engine, const RemoteSettings& settings, int32_t b, int32_t v) {
    if (settings.MouseModeEnabled.load() == 0 || NoMouseFlag() || ForegroundHasPluginClass())
        return std::nullopt;
    if (!MouseModeAction(engine.mouse, b, v)) return std::nullopt;
    Step("mouse mode");
    return true;
}

// The plug-in window that leaves the global buttons but power to the program.
Answer WmxaWindowBehind(int32_t b) {
    const WindowHandle wmxa = FindWindowByClass(kWmxaClass);
    if (wmxa == 0) return std::nullopt;
    if (b == Power) {
        Step("plug-in window Orbiscope.WMXA, power button");
        return PowerAction(b) != 0;
    }
    if (IsGlobalButton(b)) return std::nullopt;
    Step("plug-in window Orbiscope.WMXA");
    PostButton(wmxa, ButtonMessage(), b);
    return true;
}

// A profile file may take a volume or macro button for its own program, never the power
// button nor a macro button that turns mouse mode on and off (the way back out of it).
Answer ProfileTakesGlobalButton(const ProfileSnapshot& profiles, const RemoteSettings& settings,
                                int32_t b) {
    if (profiles == nullptr || !IsGlobalButton(b) || b == Power) return std::nullopt;
    if (b >= MacroButton1 && b <= MacroButton4 &&
        settings.GetMacro(b - MacroButton1 + 1) == kMacroToggleMouseMode)
        return std::nullopt;
    if (RunProfileGlobalButton(profiles, b) == ProfileAnswer::Handled) return true;
    return std::nullopt;
}

Answer GlobalButton(int32_t b) {
    if (IsGlobalButton(b))
        TraceStep([&] { return std::string("global button ") + RemoteButtonName(b); });
    if (const int answer = GlobalAction(b); answer >= 0) return answer != 0;
    return std::nullopt;
}

// This program's own windows are no foreign program. With its settings or a dialog
// in front, the buttons send their default keys, so the remote can drive it with the
// arrows, Ok and Exit; its hidden frame in front only spares the warning below.
Answer OwnWindowInFront(Desktop& desktop) {
    const WindowHandle front = desktop.ForegroundWindow();
    if (!IsOwnWindow(front) || !desktop.IsVisible(front)) return std::nullopt;
    Step("own window in front");
    return false;
}

// A supported program behind comes forward; one out of reach is named once.
void SettleForeground(PressEngine& engine, const RemoteSettings& settings, Desktop& desktop,
                      int32_t b) {
    if (!IsArrowButton(b) && b != Ok && settings.AutoSwitchEnabled.load() != 0) AutoSwitch();
    NoteElevatedForeground(desktop, engine.elevation);
}

Answer PluginClassInFront(Desktop& desktop, int32_t b) {
    if (!ForegroundHasPluginClass()) return std::nullopt;
    TraceStep([&] { return "plug-in window in front (" + ForegroundWindowClass() + ")"; });
    PostButton(desktop.ForegroundWindow(), ButtonMessage(), b);
    return true;
}

// The program in front hears of the button; then the profile files for it, the user's
// before the shipped ones, and its catalogue row act on it, each taking what the one
// before left.
Answer ProgramInFront(Desktop& desktop, const ProfileSnapshot& profiles, int32_t b) {
    PostButton(desktop.ForegroundWindow(), ButtonMessage(), b);
    const ProfileAnswer fromFile = RunProfileButton(profiles, b);
    if (fromFile == ProfileAnswer::Handled) return true;
    const int row = ForegroundCatalogueRow();
    // A program a file describes is supported: no warning, the default key follows.
    if (row <= 0) return fromFile == ProfileAnswer::FellThrough ? Answer(false) : std::nullopt;
    TraceStep([&] {
        return "catalogue row " + std::to_string(row) + " " + LowerAnsi(ForegroundProcessName());
    });
    const int answer = HandleCatalogueButton(row, b);
    if (answer == 0) Step("not handled by the row");
    return answer != 0;
}

// No row knows the program: the warning, unless the user turned it off.
bool UnsupportedProgram(RemoteSettings& settings, Desktop& desktop, int32_t b) {
    TraceStep([&] { return "no catalogue row for " + LowerAnsi(ForegroundProcessName()); });
    if (settings.ShowUnsupportedDlg.load() != 0 && !IsArrowButton(b) && b != Ok && b != Exit &&
        !IsOwnWindow(desktop.ForegroundWindow())) {
        Step("unsupported-program warning");
        WarnUnsupported(settings);
    }
    return false;
}

}  // namespace

MessageId ButtonMessage() { return PressEngineInUse().buttonMessage.load(); }

void RegisterButtonMessage() {
    Desktop* desktop = Os().desktop;
    if (desktop != nullptr)
        PressEngineInUse().buttonMessage.store(desktop->RegisterMessage(kButtonMessageName));
}

bool ButtonDispatcher(int32_t b, int32_t v) { return ButtonDispatcher(PressEngineInUse(), b, v); }

bool ButtonDispatcher(PressEngine& engine, int32_t b, int32_t v) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return false;
    const ForegroundPressScope press;

    if (const Answer a = PluginWindowBehind(b)) return *a;
    RemoteSettings* settings = CurrentSettings();
    if (settings == nullptr) {
        Step("no settings yet");
        return true;
    }
    if (const Answer a = MouseMode(engine, *settings, b, v)) return *a;
    if (const Answer a = WmxaWindowBehind(b)) return *a;
    const ProfileSnapshot profiles = ProfilesInForce();
    if (const Answer a = ProfileTakesGlobalButton(profiles, *settings, b)) return *a;
    if (const Answer a = GlobalButton(b)) return *a;
    if (const Answer a = OwnWindowInFront(*desktop)) return *a;
    SettleForeground(engine, *settings, *desktop, b);
    if (const Answer a = PluginClassInFront(*desktop, b)) return *a;
    if (const Answer a = ProgramInFront(*desktop, profiles, b)) return *a;
    return UnsupportedProgram(*settings, *desktop, b);
}
