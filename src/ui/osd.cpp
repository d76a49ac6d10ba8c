#include "ui/osd.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

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

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The last step or action that starts with the prefix, without it.
std::optional<std::string> Last(const std::vector<std::string>& items, const char* prefix) {
    for (size_t i = items.size(); i-- > 0;) {
        if (StartsWith(items[i], prefix)) return items[i].substr(std::strlen(prefix));
    }
    return std::nullopt;
}

bool Has(const std::vector<std::string>& items, const char* prefix) {
    return Last(items, prefix).has_value();
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

// What an "open ..." action opened: the host of a web address, else the file (a
// program's arguments after ".exe " left out, since a path may hold spaces).
std::string OpenedName(std::string target) {
    if (const size_t failed = target.rfind(" (failed, "); failed != std::string::npos)
        target.erase(failed);
    if (const size_t scheme = target.find("://"); scheme != std::string::npos) {
        std::string host = target.substr(scheme + 3);
        host = host.substr(0, host.find_first_of("/?#"));
        return host.empty() ? target : host;
    }
    const std::string lower = Lower(target);
    if (const size_t exe = lower.find(".exe "); exe != std::string::npos) target.erase(exe + 4);
    return FriendlyProgramName(target);
}

const char* PowerWord(const std::vector<std::string>& actions) {
    if (Has(actions, "standby")) return "Standby";
    if (Has(actions, "hibernate")) return "Hibernate";
    if (Has(actions, "shut down")) return "Shut down";
    return nullptr;
}

// The program of the profile file for the window in front: its step names it in quotes
// ("user profile vlc.toml:7 \"VLC\" (shadows row 80)").
std::optional<std::string> ProfileProgram(const std::vector<std::string>& steps) {
    for (size_t i = steps.size(); i-- > 0;) {
        const std::string& step = steps[i];
        if (!StartsWith(step, "user profile ") && !StartsWith(step, "shipped profile ")) continue;
        const size_t open = step.find('"');
        const size_t close = step.rfind('"');
        if (open == std::string::npos || close == open) return std::nullopt;
        return step.substr(open + 1, close - open - 1);
    }
    return std::nullopt;
}

// A press a profile file turned into its hold action ("... Play held: hold action after
// 684 ms"): the display says it was held, and how long it took.
std::optional<std::string> HeldFor(const std::vector<std::string>& steps) {
    static constexpr const char* kHeld = " held: hold action after ";
    for (size_t i = steps.size(); i-- > 0;) {
        const size_t at = steps[i].find(kHeld);
        if (at == std::string::npos) continue;
        const long ms = std::atol(steps[i].c_str() + at + std::strlen(kHeld));
        return "held " + std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
    }
    return std::nullopt;
}

std::optional<OsdPanel> Words(const TracePress& p) {
    const std::string name = FriendlyButtonName(p.button);
    const auto& steps = p.steps;
    const auto& actions = p.actions;
    auto just = [](std::string text) { return OsdPanel{std::move(text), -1}; };

    if (const auto mode = Last(actions, "mouse mode ")) return just("Mouse mode " + *mode);
    if (Has(steps, "no settings yet")) return std::nullopt;

    if (Has(steps, "global button ")) {
        if (p.button == VolumeUp || p.button == VolumeDown || p.button == Mute) {
            if (Has(actions, "sound muted")) return just("Muted");
            if (const auto now = Last(actions, "volume now ")) {
                const int32_t level = std::atoi(now->c_str());
                return OsdPanel{"Volume " + std::to_string(level) + "%", level};
            }
            return just(name);
        }
        if (p.button >= MacroButton1 && p.button <= MacroButton4) {
            const std::string slot = std::to_string(p.button - MacroButton1 + 1);
            if (const auto opened = Last(actions, "open ")) {
                if (opened->find(" (failed, ") != std::string::npos)
                    return just("Favourite " + slot + kDot + "could not be opened");
                return just("Favourite " + slot + kDot + OpenedName(*opened));
            }
            if (const auto key = Last(actions, "key ")) return just(name + kDot + *key);
            return just(name);
        }
        if (const char* power = PowerWord(actions)) return just(name + kDot + power);
        return just(name);
    }
    if (Has(steps, "mouse mode")) return just(name + kDot + "Mouse mode");
    if (const auto row = Last(steps, "catalogue row ")) {
        const size_t space = row->find(' ');
        if (space != std::string::npos)
            return just(name + kDot + FriendlyProgramName(row->substr(space + 1)));
        return just(name);
    }
    if (const auto program = ProfileProgram(steps)) {
        if (const auto held = HeldFor(steps)) return just(name + " " + *held + kDot + *program);
        return just(name + kDot + *program);
    }
    if (const auto program = Last(steps, "no catalogue row for ")) {
        // The warning has just said so in its own window.
        if (Has(steps, "unsupported-program warning")) return std::nullopt;
        // The arrows, OK and Exit are never warned about: their default keys drive any
        // program.
        if (IsArrowButton(p.button) || p.button == Ok || p.button == Exit || program->empty())
            return just(name);
        return just("Not supported: " + *program);
    }
    return just(name);
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
