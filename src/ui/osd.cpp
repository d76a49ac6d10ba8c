#include "ui/osd.h"

#include <atomic>
#include <cctype>
#include <mutex>
#include <vector>

#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "state/settings.h"
#include "state/trace.h"

namespace {

constexpr const char* kDot = " \xC2\xB7 ";  // " · "

// The display's switch and the panel waiting for the window. One per process and global
// because the trace hands its records to a plain function on the reader thread, and the
// window takes the panel on the main thread, neither with a context to find it by.
struct OsdState {
    std::atomic<bool> on{false};
    std::atomic<OsdWake> wake{nullptr};
    std::mutex pendingLock;
    std::optional<OsdPanel> pending;
};
OsdState g_osd;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const TraceFact* Last(const std::vector<TraceFact>& facts, TraceKind kind) {
    for (size_t i = facts.size(); i-- > 0;) {
        if (facts[i].kind == kind) return &facts[i];
    }
    return nullptr;
}

const TraceFact* LastMessage(const std::vector<TraceFact>& actions, MessageRole role) {
    for (size_t i = actions.size(); i-- > 0;) {
        if (actions[i].kind == TraceKind::Message && actions[i].message.role == role)
            return &actions[i];
    }
    return nullptr;
}

// Names for the programs the catalogue knows best; others keep their file name.
struct KnownProgram {
    const char* file;
    const char* name;
};
constexpr KnownProgram kKnownPrograms[] = {
    {"acdsee6.exe", "ACDSee"},
    {"avertv.exe", "AVerTV"},
    {"bsplayer.exe", "BSPlayer"},
    {"coreplayer.exe", "CorePlayer"},
    {"dscaler.exe", "DScaler"},
    {"easyworship.exe", "EasyWorship"},
    {"ehshell.exe", "Media Center"},
    {"firefox.exe", "Firefox"},
    {"foobar2000.exe", "foobar2000"},
    {"gbpvr.exe", "GB-PVR"},
    {"i_view32.exe", "IrfanView"},
    {"itunes.exe", "iTunes"},
    {"jetaudio.exe", "jetAudio"},
    {"mediamonkey.exe", "MediaMonkey"},
    {"mediaportal.exe", "MediaPortal"},
    {"mmjb.exe", "MusicMatch Jukebox"},
    {"mplayer2.exe", "Windows Media Player 6.4"},
    {"mplayerc.exe", "Media Player Classic"},
    {"msmsgs.exe", "Windows Messenger"},
    {"notepad.exe", "Notepad"},
    {"opera.exe", "Opera"},
    {"picasa.exe", "Picasa"},
    {"powerdvd.exe", "PowerDVD"},
    {"powerpnt.exe", "PowerPoint"},
    {"ppview32.exe", "PowerPoint Viewer"},
    {"progdvb.exe", "ProgDVB"},
    {"proshow.exe", "ProShow"},
    {"qcdplayer.exe", "Quintessential Player"},
    {"quicktimeplayer.exe", "QuickTime Player"},
    {"radlight.exe", "RadLight"},
    {"realplay.exe", "RealPlayer"},
    {"rhapsody.exe", "Rhapsody"},
    {"sagetv.exe", "SageTV"},
    {"sonique.exe", "Sonique"},
    {"vlc.exe", "VLC"},
    {"windvd.exe", "WinDVD"},
    {"winamp.exe", "Winamp"},
    {"wintv32.exe", "WinTV"},
    {"wmplayer.exe", "Windows Media Player"},
    {"zplayer.exe", "Zoom Player"},
};

// What a favourite opened: the host of a web address, else the program or file.
std::string OpenedName(const std::string& target) {
    if (const size_t scheme = target.find("://"); scheme != std::string::npos) {
        std::string host = target.substr(scheme + 3);
        host = host.substr(0, host.find_first_of("/?#"));
        return host.empty() ? target : host;
    }
    return FriendlyProgramName(target);
}

// The program the step that decided the press names, as people know it.
std::string ProgramShown(const TraceFact& step) {
    return step.shownName.empty() ? FriendlyProgramName(step.name) : step.shownName;
}

std::string Letter(const TraceFact& fact) { return std::string(1, static_cast<char>(fact.number)); }

// The keys a press sent, by name; empty when it sent none.
std::string KeysSent(const TracePress& p) {
    const TraceFact* keys = Last(p.actions, TraceKind::Keys);
    return keys == nullptr ? std::string() : InputKeyNames(keys->input);
}

// "Play · Play/Pause"; a key named like its button ("Left") once.
std::string ButtonAndKey(const std::string& button, const std::string& key) {
    return key.empty() || key == button ? button : button + kDot + key;
}

std::optional<OsdPanel> Just(std::string text) { return OsdPanel{std::move(text), -1}; }

std::optional<OsdPanel> VolumeWords(const TracePress& p, const std::string& name, bool did) {
    if (Last(p.actions, TraceKind::SoundMuted)) return Just("Muted");
    if (const TraceFact* level = Last(p.actions, TraceKind::VolumeLevel);
        level && level->number >= 0)
        return OsdPanel{"Volume " + std::to_string(level->number) + "%", level->number};
    if (Last(p.actions, TraceKind::SoundUnmuted)) return Just("Unmuted");
    if (did) return Just(name);
    return std::nullopt;
}

std::optional<OsdPanel> MacroWords(const TracePress& p, const std::string& name) {
    const std::string slot = std::to_string(p.button - MacroButton1 + 1);
    if (const TraceFact* opened = Last(p.actions, TraceKind::Open)) {
        if (!opened->flag) return Just("Favourite " + slot + kDot + "could not be opened");
        return Just("Favourite " + slot + kDot + OpenedName(opened->name));
    }
    if (Last(p.actions, TraceKind::Offline))
        return Just("Favourite " + slot + kDot + "could not be opened");
    if (const TraceFact* forward = LastMessage(p.actions, MessageRole::BrowserForward))
        return forward->message.ok ? Just(name + kDot + "Forward") : std::nullopt;
    if (const TraceFact* back = LastMessage(p.actions, MessageRole::BrowserBack))
        return back->message.ok ? Just(name + kDot + "Back") : std::nullopt;
    if (const std::string keys = KeysSent(p); !keys.empty()) return Just(name + kDot + keys);
    return std::nullopt;
}

// What the panel says about one press: only what it did, never what it did not.
std::optional<OsdPanel> Words(const TracePress& p) {
    const std::string name = FriendlyButtonName(p.button);
    const auto& steps = p.steps;
    const auto& actions = p.actions;
    const TraceOutcome outcome = PressOutcome(p);
    const bool did = outcome == TraceOutcome::Sent;

    if (const TraceFact* mode = Last(actions, TraceKind::MouseModeSwitched))
        return Just(std::string("Mouse mode ") + (mode->flag ? "on" : "off"));
    if (Last(steps, TraceKind::NoSettings)) return std::nullopt;
    if (outcome == TraceOutcome::Blocked) {
        const TraceFact* elevated = Last(steps, TraceKind::Elevated);
        const std::string program = ProgramShown(*elevated);
        return Just("Blocked: " + (program.empty() ? std::string("the program") : program) +
                    " runs as administrator");
    }

    if (Last(actions, TraceKind::Standby)) return Just(name + kDot + "Standby");
    if (Last(actions, TraceKind::Hibernate)) return Just(name + kDot + "Hibernate");
    if (Last(actions, TraceKind::ShutDown)) return Just(name + kDot + "Shut down");
    if (const TraceFact* saver = LastMessage(actions, MessageRole::ScreenSaverStart))
        return saver->message.ok ? Just(name + kDot + "Screen saver") : std::nullopt;
    if (const TraceFact* plugin = LastMessage(actions, MessageRole::PluginButton))
        return plugin->message.ok ? Just(name + kDot + "plug-in " + plugin->message.target)
                                  : std::nullopt;

    if (Last(steps, TraceKind::GlobalButton)) {
        if (p.button == VolumeUp || p.button == VolumeDown || p.button == Mute)
            return VolumeWords(p, name, did);
        if (p.button >= MacroButton1 && p.button <= MacroButton4) return MacroWords(p, name);
        // The power button's key for a cooperating program.
        return did ? Just(ButtonAndKey(name, KeysSent(p))) : std::nullopt;
    }
    if (Last(steps, TraceKind::MouseMode))
        return did ? Just(name + kDot + "Mouse mode") : std::nullopt;

    if (const TraceFact* chosen = Last(actions, TraceKind::LetterChosen)) {
        const TraceFact* typed = Last(actions, TraceKind::LetterTyped);
        return Just((typed ? "Typed " + Letter(*typed) + kDot : std::string()) + "Letter " +
                    Letter(*chosen));
    }
    // A press that waits has done nothing yet: what its code did was an earlier press's,
    // which has had its own panel.
    if (const TraceFact* file = Last(steps, TraceKind::Profile); file && file->number < 0)
        return std::nullopt;
    if (const TraceFact* file = Last(steps, TraceKind::Profile); file && did) {
        // An action that waited for the press: which one, and after how long.
        if (file->number > 0) {
            const std::string after = SecondsText(static_cast<uint32_t>(file->number));
            return Just(name + (file->flag ? " held " : " let go after ") + after + kDot +
                        file->shownName);
        }
        return Just(name + kDot + file->shownName);
    }
    // The warning has just said so in its own window.
    if (Last(steps, TraceKind::UnsupportedWarning)) return std::nullopt;
    if (Last(steps, TraceKind::DefaultKey)) {
        const std::string keys = KeysSent(p);
        return keys.empty() ? std::nullopt : Just(ButtonAndKey(name, keys));
    }
    if (Last(steps, TraceKind::NoDefaultKey)) {
        // Nothing was sent; this program's own hidden window in front is no program to
        // speak of.
        const TraceFact* program = Last(steps, TraceKind::NoCatalogueRow);
        if (program == nullptr || program->flag || program->name.empty()) return std::nullopt;
        return Just("Not available: " + program->name);
    }
    if (const TraceFact* row = Last(steps, TraceKind::CatalogueRow); row && did)
        return Just(name + kDot + ProgramShown(*row));
    return std::nullopt;
}

void LeavePanel(const TraceRecord& record) {
    if (!g_osd.on.load(std::memory_order_relaxed)) return;
    std::optional<OsdPanel> panel = OsdPanelFor(record);
    if (!panel) return;
    {
        std::lock_guard<std::mutex> hold(g_osd.pendingLock);
        g_osd.pending = std::move(panel);
    }
    if (const OsdWake wake = g_osd.wake.load()) wake();
}

}  // namespace

std::optional<OsdPanel> OsdPanelFor(const TraceRecord& record) {
    if (record.timer) {
        if (record.presses.empty()) return std::nullopt;
        const TracePress& p = record.presses.back();
        // A press that waited to see whether it was held has ended: its own record.
        if (p.button >= 0) return Words(p);
        // The main window's timer typed the letter the taps chose.
        const TraceFact* typed = Last(p.actions, TraceKind::LetterTyped);
        return typed ? Just("Typed " + Letter(*typed)) : std::nullopt;
    }
    // One code can match more than one button; the last one taken speaks for it.
    for (size_t i = record.presses.size(); i-- > 0;) {
        const TracePress& p = record.presses[i];
        // A repeat the filter swallowed may still have acted (a hold action fires on a
        // frame of the press, whatever the filter makes of it).
        if (p.decision != RepeatDecision::Swallowed || !p.actions.empty()) return Words(p);
    }
    return std::nullopt;
}

std::string FriendlyButtonName(int32_t button) {
    if (button == Ok) return "OK";
    if (button >= Digit1 && button <= Digit9) return std::to_string(button - Digit1 + 1);
    if (button == Digit0) return "0";
    if (button >= MacroButton1 && button <= MacroButton4)
        return "Macro " + std::to_string(button - MacroButton1 + 1);
    if (button >= Extra35 && button <= Extra41) return "Extra " + std::to_string(button);
    const std::string raw = RemoteButtonName(button);
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (i > 0 && std::isupper(static_cast<unsigned char>(raw[i]))) out += ' ';
        out += raw[i];
    }
    return out;
}

std::string FriendlyProgramName(const std::string& fileOrPath) {
    const size_t slash = fileOrPath.find_last_of("\\/");
    std::string file = slash == std::string::npos ? fileOrPath : fileOrPath.substr(slash + 1);
    const std::string lower = Lower(file);
    for (const KnownProgram& known : kKnownPrograms) {
        if (lower == known.file) return known.name;
    }
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".exe") == 0)
        file.erase(file.size() - 4);
    return file;
}

void SetOnScreenDisplay(bool on) {
    g_osd.on.store(on, std::memory_order_relaxed);
    if (on) SetTraceRecordOutput(&LeavePanel);
    SetTraceShown(on);
    if (!on) {
        std::lock_guard<std::mutex> hold(g_osd.pendingLock);
        g_osd.pending.reset();
    }
}

bool OnScreenDisplayOn() { return g_osd.on.load(std::memory_order_relaxed); }

void ApplyOnScreenDisplaySetting() {
    const RemoteSettings* settings = CurrentSettings();
    SetOnScreenDisplay(settings != nullptr && settings->OnScreenDisplay.load() != 0);
}

void SetOsdWake(OsdWake wake) { g_osd.wake = wake; }

std::optional<OsdPanel> TakeOsdPanel() {
    std::lock_guard<std::mutex> hold(g_osd.pendingLock);
    std::optional<OsdPanel> panel = std::move(g_osd.pending);
    g_osd.pending.reset();
    return panel;
}
