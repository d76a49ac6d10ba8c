#include "routing/dispatcher.h"

#include <atomic>
#include <mutex>
#include <set>
#include <string>

#include "platform/ports.h"
#include "profiles/catalogue.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "routing/input.h"
#include "routing/macros.h"
#include "routing/power.h"
#include "routing/window_queries.h"
#include "state/notices.h"
#include "state/settings.h"
#include "state/trace.h"
#include "volume/volume.h"

namespace {

std::atomic<MessageId> g_buttonMessage{0};


void PostButton(WindowHandle window, MessageId message, int32_t button) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || window == 0) return;
    const bool ok = desktop->Post(window, message, static_cast<WParam>(button), 0);
    TraceMessage(false, window, message, static_cast<WParam>(button), 0, ok);
}

void Step(const char* text) {
    TraceStep([&] { return std::string(text); });
}

bool IsOppositeArrow(int32_t a, int32_t b) {
    return (a == Up && b == Down) || (a == Down && b == Up) || (a == Left && b == Right) ||
           (a == Right && b == Left);
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

// Every "%s" of the pattern becomes the value.
std::string Format(const char* pattern, const std::string& value) {
    std::string text(pattern);
    for (size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + value.size()))
        text.replace(at, 2, value);
    return text;
}

void WarnUnsupported(RemoteSettings& settings) {
    UserInterface* ui = Os().ui;
    if (ui == nullptr) return;
    const UnsupportedAnswer answer =
        ui->ShowUnsupportedDialog(Format(kUnsupportedMessageFormat, ForegroundProcessName()));
    TraceAction([&] {
        return std::string("unsupported-program warning closed") +
               (answer.closedWithOk && answer.dontShowAgain ? ", not to be shown again" : "");
    });
    // The check box only counts when the dialog was closed with OK.
    const bool dontShowAgain = answer.closedWithOk && answer.dontShowAgain;
    settings.SetShowUnsupportedDlg(dontShowAgain ? 0 : 1);
    DiscardPendingInput();
}

// The programs already named in the elevation notice this session (lower-cased), and
// the last foreground process asked about with its answer, so a press into the same
// program asks the system nothing. A process is its id and its start time: an id is
// reused once its process ended, and the new process may stand otherwise.
std::mutex g_elevationLock;
std::set<std::string> g_toldElevated;
ProcessId g_lastAsked = 0;
uint64_t g_lastAskedStart = 0;
Elevation g_lastAnswer = Elevation::Unknown;

// Input from this program does not reach a program in front that runs as administrator.
// The user is told once per program and session; the press goes on as usual.
void NoteElevatedForeground(Desktop& desktop) {
    ProcessList* processes = Os().processes;
    const WindowHandle front = desktop.ForegroundWindow();
    const ProcessId pid = desktop.WindowProcess(front);
    if (processes == nullptr || pid == 0) return;
    std::lock_guard<std::mutex> hold(g_elevationLock);
    const uint64_t start = processes->ProcessStartTime(pid);
    if (pid != g_lastAsked || start != g_lastAskedStart || start == 0) {
        g_lastAsked = pid;
        g_lastAskedStart = start;
        g_lastAnswer = processes->ProcessElevation(pid);
    }
    // A process that cannot be asked may as well be another user's ordinary program.
    if (g_lastAnswer != Elevation::Elevated) return;
    std::string program = ProcessNameOfWindow(front);
    if (program.empty()) program = WindowTitle(front);
    if (program.empty() || !g_toldElevated.insert(LowerAnsi(program)).second) return;
    TraceAction([&] { return "administrator notice for " + program; });
    Notice(Format(kElevatedNoticeFormat, program));
}

}  // namespace

void ForgetElevatedPrograms() {
    std::lock_guard<std::mutex> hold(g_elevationLock);
    g_toldElevated.clear();
    g_lastAsked = 0;
    g_lastAskedStart = 0;
    g_lastAnswer = Elevation::Unknown;
}

MessageId ButtonMessage() { return g_buttonMessage.load(); }

void RegisterButtonMessage() {
    Desktop* desktop = Os().desktop;
    if (desktop != nullptr) g_buttonMessage.store(desktop->RegisterMessage(kButtonMessageName));
}

MouseModeState& TheMouseModeState() {
    static MouseModeState state;
    return state;
}

bool MouseModeAction(int32_t b, int32_t v) {
    const std::lock_guard<std::recursive_mutex> hold(CursorLock());
    MouseModeState& m = TheMouseModeState();
    Desktop* desktop = Os().desktop;
    const Point cursor = desktop == nullptr ? Point{} : desktop->CursorPos();
    const uint32_t now = TickNow();
    const uint32_t sinceMove = now - m.lastMoveTime;

    if (b != m.lastButton || v != m.lastVariant) m.acceleration = 0.0f;
    if (m.repressCount != 0 && b == m.lastButton && v == m.lastVariant) {
        m.repressCount += 1;
        if (m.repressCount >= 2) m.fastMode = true;
    } else {
        m.repressCount = 0;
    }
    // The same arrow pressed again quickly: holding it this time goes fast.
    if (sinceMove < 300 && b == m.lastButton && v != m.lastVariant) m.repressCount = 1;
    if (m.fastMode && (sinceMove > 1000 || b == Ok)) {
        m.repressCount = 0;
        m.fastMode = false;
        if (b == Ok) {
            TraceAction([] { return std::string("fast cursor steps end"); });
            return true;
        }
    }

    switch (b) {
        case Up:
        case Down:
        case Left:
        case Right: {
            m.acceleration += 1.0f;
            int32_t step = kSlowStep;
            if (IsOppositeArrow(m.lastButton, b)) {
                m.acceleration = 0.0f;
            } else {
                const float mediumLimit = (b == Up || b == Down) ? 10.0f : 8.0f;
                if (m.acceleration < 3.0f) {
                    step = kSlowStep;
                } else if (m.acceleration < mediumLimit) {
                    step = kMediumStep;
                } else {
                    step = kLargeStep;
                    m.acceleration = 12.0f;
                }
            }
            if (m.fastMode) step = kFastStep;
            int32_t x = cursor.x, y = cursor.y;
            if (b == Up) y -= step;
            else if (b == Down) y += step;
            else if (b == Left) x -= step;
            else x += step;
            if (desktop != nullptr && desktop->SetCursorPos(x, y)) {
                TraceAction([&] {
                    return "cursor to (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                });
            }
            m.lastButton = b;
            m.lastVariant = v;
            m.lastMoveTime = now;
            return true;
        }
        case Ok: ClickLeftAtCursor(); return true;
        case Exit: ClickRightAtCursor(); return true;
        default: return false;
    }
}

bool ButtonDispatcher(int32_t b, int32_t v) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return false;
    const ForegroundPressScope press;

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
    RemoteSettings* settings = CurrentSettings();
    if (settings == nullptr) {
        Step("no settings yet");
        return true;
    }

    if (settings->MouseModeEnabled.load() != 0 && !NoMouseFlag() && !ForegroundHasPluginClass()) {
        if (MouseModeAction(b, v)) {
            Step("mouse mode");
            return true;
        }
    }

    if (const WindowHandle wmxa = FindWindowByClass(kWmxaClass); wmxa != 0) {
        if (b == Power) {
            Step("plug-in window Orbiscope.WMXA, power button");
            return PowerAction(b) != 0;
        }
        if (!IsGlobalButton(b)) {
            Step("plug-in window Orbiscope.WMXA");
            PostButton(wmxa, ButtonMessage(), b);
            return true;
        }
    }

    if (IsGlobalButton(b))
        TraceStep([&] { return std::string("global button ") + RemoteButtonName(b); });
    if (const int answer = GlobalAction(b); answer >= 0) return answer != 0;

    // This program's own windows are no foreign program. With its settings or a dialog
    // in front, the buttons send their default keys, so the remote can drive it with the
    // arrows, Ok and Exit; its hidden frame in front only spares the warning below.
    if (const WindowHandle front = desktop->ForegroundWindow();
        IsOwnWindow(front) && desktop->IsVisible(front)) {
        Step("own window in front");
        return false;
    }

    if (!IsArrowButton(b) && b != Ok && settings->AutoSwitchEnabled.load() != 0) AutoSwitch();
    NoteElevatedForeground(*desktop);

    if (ForegroundHasPluginClass()) {
        TraceStep([&] { return "plug-in window in front (" + ForegroundWindowClass() + ")"; });
        PostButton(desktop->ForegroundWindow(), ButtonMessage(), b);
        return true;
    }

    PostButton(desktop->ForegroundWindow(), ButtonMessage(), b);
    if (const int row = ForegroundCatalogueRow(); row > 0) {
        TraceStep([&] {
            return "catalogue row " + std::to_string(row) + " " + LowerAnsi(ForegroundProcessName());
        });
        const int answer = HandleCatalogueButton(row, b);
        if (answer == 0) Step("not handled by the row");
        return answer != 0;
    }

    TraceStep([&] { return "no catalogue row for " + LowerAnsi(ForegroundProcessName()); });
    if (settings->ShowUnsupportedDlg.load() != 0 && !IsArrowButton(b) && b != Ok && b != Exit &&
        !IsOwnWindow(desktop->ForegroundWindow())) {
        Step("unsupported-program warning");
        WarnUnsupported(*settings);
    }
    return false;
}
