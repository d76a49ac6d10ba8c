#include "engine/macros.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/ports.h"
#include "platform/vk.h"
#include "receiver/receiver.h"
#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/trace.h"

// Kept for exactly this purpose by its operator: answers on port 80 with a tiny page.
const char* const kInternetCheckHost = "www.msftconnecttest.com";

namespace {

// White space as the C library knows it. No lead or trail byte of a double-byte code
// page falls in this set, so testing byte by byte is multibyte-safe.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void ShowBox(WindowHandle owner, const char* text, const char* caption) {
    if (UserInterface* ui = Os().ui) (void)ui->ShowMessageBox(owner, text, caption, kMbIconWarning);
    DiscardPendingInput();
}

WindowHandle DesktopHandle() {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? 0 : desktop->DesktopWindow();
}

// What the waiter and the probe thread share. Either may be the last to hold it; the
// registry is only touched under `lock`, so the value is put back exactly once.
struct ProbeState {
    std::mutex lock;
    std::condition_variable done;
    Registry* registry = nullptr;
    Network* network = nullptr;
    std::unique_ptr<RegistryKey> key;
    bool finished = false;
    bool abandoned = false;
    bool reachable = false;
    bool autodialCleared = false;
    bool autodialRestored = false;
    uint32_t autodialType = kRegDword;
    std::vector<uint8_t> autodialPrevious;
};

void RestoreAutodialLocked(ProbeState& s) {
    if (!s.autodialCleared || s.autodialRestored) return;
    s.autodialRestored = true;
    if (s.key) (void)s.key->Set(kEnableAutodialValue, s.autodialType, s.autodialPrevious);
}

// Dial-up would otherwise pop up a connection dialog for the test connection.
void ClearAutodialLocked(ProbeState& s) {
    if (s.registry == nullptr) return;
    s.key = s.registry->Open(Hive::CurrentUser, kInternetSettingsKey, kKeyRead | kKeyWrite, false);
    if (!s.key) return;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    if (s.key->Query(kEnableAutodialValue, 4, type, data) != RegStatus::Ok) return;
    if (type != kRegDword || data.size() != 4) return;
    uint32_t value = 0;
    std::memcpy(&value, data.data(), 4);
    if (value == 0) return;
    if (!s.key->Set(kEnableAutodialValue, type, std::vector<uint8_t>(4, 0))) return;
    s.autodialCleared = true;
    s.autodialType = type;
    s.autodialPrevious = data;
}

struct ProbeCount {
    std::mutex lock;
    std::condition_variable idle;
    int32_t running = 0;
};
ProbeCount& Probes() {
    static ProbeCount* count = new ProbeCount;  // outlives detached threads at exit
    return *count;
}
void ProbeEnded() {
    ProbeCount& p = Probes();
    {
        std::lock_guard<std::mutex> hold(p.lock);
        --p.running;
    }
    p.idle.notify_all();
}

void RunProbe(const std::shared_ptr<ProbeState>& state) {
    ProbeState& s = *state;
    bool skip = false;
    {
        std::lock_guard<std::mutex> hold(s.lock);
        skip = s.abandoned;
        if (!skip) ClearAutodialLocked(s);
    }
    const bool reachable =
        !skip && s.network != nullptr && s.network->TcpConnect(kInternetCheckHost, kInternetCheckPort);
    {
        std::lock_guard<std::mutex> hold(s.lock);
        RestoreAutodialLocked(s);
        s.key.reset();
        s.reachable = reachable;
        s.finished = true;
    }
    s.done.notify_all();
}

}  // namespace

std::string TrimFavorite(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool IsWebFavorite(const std::string& trimmed) {
    return trimmed.rfind("www.", 0) == 0 || trimmed.rfind("http:", 0) == 0;
}

void SplitFavorite(const std::string& trimmed, std::string& file, std::string& parameters) {
    // The first extension of this list that occurs anywhere decides, not the first
    // occurrence in the text.
    static const char* const kExtensions[] = {".exe ", ".bat ", ".com ", ".EXE ", ".BAT ", ".COM "};
    for (const char* extension : kExtensions) {
        const size_t p = trimmed.find(extension);
        if (p == std::string::npos) continue;
        file = trimmed.substr(0, p + 4);
        parameters = trimmed.substr(p + 5);
        return;
    }
    file = trimmed;
    parameters.clear();
}

const char* QuickLaunchErrorText(intptr_t result) {
    switch (result) {
        case 2:
        case 3: return "Error on QuickLaunch: The file or path you specified was not found.";
        case 5:
            return "Error on QuickLaunch: The operating system has denied access to the file you "
                   "specified.";
        case 8: return "Error on QuickLaunch: There is not enough memory to perform this operation.";
        case 11:
            return "Error on QuickLaunch: The exe file you specified does not appear to be a valid "
                   "program file.";
        case 26: return "Error on QuickLaunch: A sharing violation has occured.";
        case 27:
        case 31:
            return "Error on QuickLaunch: The file extension you have specified does not have a "
                   "program associated with it.";
        default: return "Error on QuickLaunch: An unknown error has occured.";
    }
}

int QuickLaunch(const std::string& text) {
    const std::string trimmed = TrimFavorite(text);
    std::string file, parameters;
    if (IsWebFavorite(trimmed)) {
        if (!IsInternetReachable()) {
            TraceAction([&] { return TraceFact(TraceKind::Offline, trimmed); });
            ShowBox(DesktopHandle(), kOfflineWarningText, kWarningCaption);
            return 0;
        }
        file = trimmed;
    } else {
        SplitFavorite(trimmed, file, parameters);
    }
    Shell* shell = Os().shell;
    const intptr_t result =
        shell == nullptr ? 0 : shell->Execute(DesktopHandle(), "", file, parameters, "", kSwShowNormal);
    TraceAction([&] {
        TraceFact fact(TraceKind::Open, file, result > 32 ? 0 : static_cast<int32_t>(result),
                       result > 32);
        fact.arguments = parameters;
        return fact;
    });
    if (result > 32) return 1;
    ShowBox(0, QuickLaunchErrorText(result), kErrorCaption);
    return 0;
}

bool IsInternetReachable() { return IsInternetReachableWithin(kInternetCheckLimitMs); }

bool IsInternetReachableWithin(uint32_t limitMs) {
    auto state = std::make_shared<ProbeState>();
    state->registry = Os().registry;
    state->network = Os().network;
    {
        std::lock_guard<std::mutex> hold(Probes().lock);
        ++Probes().running;
    }
    try {
        std::thread([state] {
            RunProbe(state);
            ProbeEnded();
        }).detach();
    } catch (const std::system_error&) {
        ProbeEnded();
        return false;
    }
    std::unique_lock<std::mutex> hold(state->lock);
    if (state->done.wait_for(hold, std::chrono::milliseconds(limitMs), [&] { return state->finished; }))
        return state->reachable;
    // Abandoned: the probe may still be connecting, but the user's dial-up setting
    // must be back now, and the probe must not clear it afterwards.
    state->abandoned = true;
    RestoreAutodialLocked(*state);
    state->key.reset();  // not held open for as long as the connection attempt takes
    return false;
}

void WaitForInternetProbes() {
    ProbeCount& p = Probes();
    std::unique_lock<std::mutex> hold(p.lock);
    p.idle.wait(hold, [&] { return p.running == 0; });
}

bool WaitForInternetProbesFor(uint32_t limitMs) {
    ProbeCount& p = Probes();
    std::unique_lock<std::mutex> hold(p.lock);
    return p.idle.wait_for(hold, std::chrono::milliseconds(limitMs), [&] { return p.running == 0; });
}

int MacroAction(int32_t index) {
    RemoteSettings* settings = CurrentSettings();
    if (settings == nullptr) return 0;
    Desktop* desktop = Os().desktop;
    switch (index) {
        case kMacroToggleMouseMode:
            settings->SetMouseModeEnabled(settings->MouseModeEnabled.load() != 0 ? 0 : 1);
            TraceAction([&] {
                return TraceFact(TraceKind::MouseModeSwitched, {}, 0,
                                 settings->MouseModeEnabled.load() != 0);
            });
            // The pages live on the main thread; they refresh themselves there.
            if (desktop != nullptr) (void)desktop->Post(MainWindowHandle(), WM_REMOTE_REFRESHSETTINGS, 0, 0);
            break;
        case kMacroAltEsc: SendKeystroke(vk::ESCAPE, false, true); break;
        case kMacroAltTab: SendKeystroke(vk::TAB, false, true); break;
        case kMacroAltEnter: SendKeystroke(vk::RETURN, false, true); break;
        case kMacroStartMenu: SendKeystroke(vk::LWIN); break;
        case kMacroBrowserForward:
        case kMacroMceBack:
            if (desktop != nullptr) {
                const WindowHandle front = desktop->ForegroundWindow();
                const LParam command = index == kMacroBrowserForward ? kAppCommandBrowserForward
                                                                     : kAppCommandBrowserBackward;
                const bool ok = desktop->Post(front, wm::APPCOMMAND, front, command);
                TraceMessage(index == kMacroBrowserForward ? MessageRole::BrowserForward
                                                           : MessageRole::BrowserBack,
                             false, front, wm::APPCOMMAND, front, command, ok);
            }
            break;
        case kMacroMceStart: SendAltWinEnter(); break;
        case kMacroMceDetails: SendKeystroke('D', true); break;
        default: break;
    }
    return 1;
}

int MacroButtonAction(int slot, int32_t button) {
    const bool cooperating = ForegroundIsCooperating();
    if (cooperating) (void)CooperatingKeyHandler(button);
    if (cooperating && FavoritesFlag()) return 1;
    RemoteSettings* settings = CurrentSettings();
    if (settings == nullptr) return 1;
    if (const int32_t index = settings->GetMacro(slot); index != kMacroQuickLaunch)
        return MacroAction(index);
    return QuickLaunch(settings->GetFavorite(slot));
}
