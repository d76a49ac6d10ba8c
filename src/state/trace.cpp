#include "state/trace.h"

#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "platform/vk.h"
#include "receiver/remote_button.h"
#include "state/key_names.h"

namespace {

// The record of the code this thread is processing, if any.
thread_local TraceRecord* t_record = nullptr;

std::chrono::system_clock::time_point RealWall() { return std::chrono::system_clock::now(); }
uint64_t RealMicros() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

namespace trace_detail {
Switchboard g_switchboard;
}  // namespace trace_detail

namespace {

trace_detail::Switchboard& Board() { return trace_detail::g_switchboard; }

std::chrono::system_clock::time_point WallNow() {
    const auto wall = Board().wall.load();
    return wall != nullptr ? wall() : RealWall();
}
uint64_t MicrosNow() {
    const auto micros = Board().micros.load();
    return micros != nullptr ? micros() : RealMicros();
}

void UpdateWatchedLocked() {
    Board().linesOn.store(Board().linesWanted, std::memory_order_relaxed);
    Board().watched.store(Board().linesWanted || Board().recordsShown, std::memory_order_relaxed);
}

TracePress* CurrentPress() {
    if (t_record == nullptr || t_record->presses.empty()) return nullptr;
    return &t_record->presses.back();
}

std::string Hex(uint64_t v) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%04" PRIX64, v);
    return buffer;
}

bool IsModifier(uint16_t key) {
    return key == vk::CONTROL || key == vk::MENU || key == vk::SHIFT || key == vk::LWIN ||
           key == 0x5C;
}

const char* DecisionText(RepeatDecision d) {
    switch (d) {
        case RepeatDecision::MouseModeBypass: return "mouse-mode arrow, not filtered";
        case RepeatDecision::NewPress: return "new press, accepted";
        case RepeatDecision::AfterPause: return "new press after a pause, accepted";
        case RepeatDecision::HeldAccepted: return "held, repeat accepted";
        default: return "held, swallowed";
    }
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += separator;
        out += p;
    }
    return out;
}

// The facts that only the display reads.
bool Unlined(TraceKind kind) {
    return kind == TraceKind::Elevated || kind == TraceKind::Offline ||
           kind == TraceKind::LetterChosen || kind == TraceKind::LetterTyped;
}

std::string JoinFacts(const std::vector<TraceFact>& facts, const char* separator) {
    std::string out;
    for (const TraceFact& f : facts) {
        const std::string text = DescribeFact(f);
        if (text.empty()) continue;
        if (!out.empty()) out += separator;
        out += text;
    }
    return out;
}

std::string Percent(int32_t n) { return std::to_string(n) + "%"; }

std::string TimeOfDay(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(when);
    const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000;
    // The main window's timer writes notes too: a conversion of this thread's own.
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &seconds) != 0) return "--:--:--.---";
#else
    if (localtime_r(&seconds, &local) == nullptr) return "--:--:--.---";
#endif
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms < 0 ? 0 : ms));
    return buffer;
}

}  // namespace

namespace trace_detail {

bool Active() { return t_record != nullptr; }

void Step(TraceFact fact) {
    if (TracePress* press = CurrentPress()) {
        press->steps.push_back(std::move(fact));
        t_record->shown = false;
    }
}

void Action(TraceFact fact) {
    if (t_record == nullptr) return;
    if (!Unlined(fact.kind)) t_record->lastActionUs = MicrosNow();
    t_record->shown = false;
    // An action before any match (none happens today) still belongs to the code.
    if (TracePress* press = CurrentPress()) press->actions.push_back(std::move(fact));
}

void Keys(const std::vector<InputEvent>& batch) {
    TraceFact fact(TraceKind::Keys);
    for (const InputEvent& e : batch) {
        if (e.kind != InputEvent::Mouse) continue;
        if (Desktop* desktop = Os().desktop) fact.point = desktop->CursorPos();
        break;
    }
    fact.input = batch;
    Action(std::move(fact));
}

void Message(MessageRole role, bool sent, WindowHandle window, MessageId message, WParam wParam,
             LParam lParam, bool ok) {
    TraceFact fact(TraceKind::Message);
    TraceMessageFact& m = fact.message;
    m.target = "no window";
    if (window != 0) {
        Desktop* desktop = Os().desktop;
        m.target = desktop == nullptr ? std::string()
                                       : desktop->AnsiToUtf8(desktop->ClassName(window, 256));
        if (m.target.empty()) m.target = "window " + Hex(window);
    }
    m.sent = sent;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.ok = ok;
    m.role = role;
    Action(std::move(fact));
}

void ShowNow() {
    const TraceRecordOutput shown = Board().recordOutput.load();
    if (t_record == nullptr || shown == nullptr) return;
    try {
        shown(*t_record);
        t_record->shown = true;
    } catch (...) {
        // The panel comes at the end of the press instead.
    }
}

}  // namespace trace_detail

void SetTraceWatched(bool watched) {
    std::lock_guard<std::mutex> hold(Board().lock);
    Board().linesWanted = watched;
    UpdateWatchedLocked();
}

void SetTraceShown(bool shown) {
    std::lock_guard<std::mutex> hold(Board().lock);
    Board().recordsShown = shown;
    UpdateWatchedLocked();
}

void SetTraceRecordOutput(TraceRecordOutput output) { Board().recordOutput = output; }

void SetTraceOutput(TraceOutput output) { Board().output = output; }

void SetTraceNoteOutput(TraceNoteOutput output) { Board().noteOutput = output; }

void SetTraceClock(const TraceClock& clock) {
    Board().wall = clock.wall;
    Board().micros = clock.micros;
}

CodeTrace::CodeTrace(int32_t valueCount) {
    if (!TraceWatched()) return;
    record_.emplace();
    record_->when = WallNow();
    record_->startUs = MicrosNow();
    record_->values = valueCount;
    outer_ = t_record;
    t_record = &*record_;
}

CodeTrace::~CodeTrace() {
    if (!record_) return;
    t_record = outer_;
    try {
        const TraceRecordOutput shown = Board().recordOutput.load();
        if (shown != nullptr && !record_->shown) shown(*record_);
        const TraceOutput output = Board().output.load();
        if (output != nullptr && Board().linesOn.load(std::memory_order_relaxed))
            output(FormatTraceRecord(*record_));
    } catch (...) {
        // A line that cannot be built or delivered is lost; the press is not.
    }
}

TimerTrace::TimerTrace() {
    if (!TraceWatched()) return;
    record_.emplace();
    record_->when = WallNow();
    record_->timer = true;
    record_->presses.emplace_back().button = -1;
    outer_ = t_record;
    t_record = &*record_;
}

TimerTrace::~TimerTrace() {
    if (!record_) return;
    t_record = outer_;
    try {
        const TraceRecordOutput shown = Board().recordOutput.load();
        if (shown != nullptr && !record_->shown) shown(*record_);
    } catch (...) {
        // What the display cannot be told it does not show.
    }
    // An earlier press finished inside a code's span: that code's line tells what it did.
    if (outer_ == nullptr || outer_->timer || outer_->presses.empty()) return;
    try {
        std::vector<TraceFact>& into = outer_->presses.back().actions;
        for (const TracePress& p : record_->presses)
            into.insert(into.end(), p.actions.begin(), p.actions.end());
        if (record_->lastActionUs) outer_->lastActionUs = record_->lastActionUs;
    } catch (...) {
        // The line lacks them; the press is not lost.
    }
}

void TraceTimerButton(int32_t button) {
    if (t_record == nullptr || !t_record->timer || t_record->presses.empty()) return;
    t_record->presses.back().button = button;
}

void CodeTrace::MatchSlow(int32_t button, int32_t variant, RepeatDecision decision) {
    TracePress press;
    press.button = button;
    press.variant = variant;
    press.decision = decision;
    record_->presses.push_back(std::move(press));
}

void TraceTimedNote(const std::string& text, const char* source) {
    if (!Board().linesOn.load(std::memory_order_relaxed)) return;
    const TraceNoteOutput output = Board().noteOutput.load();
    if (output == nullptr) return;
    try {
        // The outlet escapes what it says.
        output(TimeOfDay(WallNow()) + " | " + text + " | " + source);
    } catch (...) {
        // As with a code's line: lost, and nothing else.
    }
}

std::string FormatTraceRecord(const TraceRecord& record) {
    std::string line = TimeOfDay(record.when);
    if (record.learning) {
        line += " | captured (" + std::to_string(record.values) + " values): a remote is being learned";
    } else if (record.presses.empty()) {
        line += " | no match (" + std::to_string(record.values) + " values";
        if (record.values < 6) line += ", too short";
        line += ")";
    }
    for (const TracePress& p : record.presses) {
        line += " | ";
        line += RemoteButtonName(p.button);
        line += " variant " + std::to_string(p.variant) + ": " + DecisionText(p.decision);
        // A swallowed repeat that still acted (a hold action) says what it did.
        if (p.decision == RepeatDecision::Swallowed && p.actions.empty()) continue;
        const std::string steps = JoinFacts(p.steps, ", then ");
        const std::string actions = JoinFacts(p.actions, "; ");
        line += " | " + (steps.empty() ? std::string("no step") : steps);
        line += " | " + (actions.empty() ? std::string("no action") : actions);
    }
    if (record.lastActionUs) {
        const uint64_t us = *record.lastActionUs - record.startUs;
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, " | last action after %" PRIu64 ".%03" PRIu64 " ms",
                      us / 1000, us % 1000);
        line += buffer;
    } else {
        line += " | no action";
    }
    return EscapeTraceText(line);
}

std::string DescribeFact(const TraceFact& f) {
    switch (f.kind) {
        case TraceKind::PluginWindow:
            return "plug-in window " + f.name + (f.flag ? ", power button" : "");
        case TraceKind::NoSettings: return "no settings yet";
        case TraceKind::MouseMode: return "mouse mode";
        case TraceKind::GlobalButton:
            return std::string("global button ") + RemoteButtonName(f.number);
        case TraceKind::OwnWindow: return "own window in front";
        case TraceKind::AutoSwitch:
            return "auto-switch to " + f.name +
                   (!f.arguments.empty() ? " (" + f.arguments + ")"
                    : f.number == 0      ? std::string(" (plug-in window)")
                                         : " (row " + std::to_string(f.number) + ")");
        case TraceKind::Profile:
        case TraceKind::Note: return f.name;
        case TraceKind::PluginInFront: return "plug-in window in front (" + f.name + ")";
        case TraceKind::CatalogueRow:
            return "catalogue row " + std::to_string(f.number) + " " + f.name;
        case TraceKind::NotHandledByRow: return "not handled by the row";
        case TraceKind::NoCatalogueRow: return "no catalogue row for " + f.name;
        case TraceKind::UnsupportedWarning: return "unsupported-program warning";
        case TraceKind::DefaultKey: return "default key";
        case TraceKind::NoDefaultKey: return "no default key";
        case TraceKind::Keys: return DescribeInput(f.input, f.point);
        case TraceKind::Message: {
            const TraceMessageFact& m = f.message;
            std::string text = std::string(m.sent ? "send to " : "post to ") + m.target +
                               ": message " + Hex(m.message) + " wParam " +
                               std::to_string(m.wParam) + " lParam " + std::to_string(m.lParam);
            if (!m.ok) text += m.sent ? " (not answered)" : " (failed)";
            return text;
        }
        case TraceKind::Open:
            return "open " + f.name + (f.arguments.empty() ? "" : " " + f.arguments) +
                   (f.flag ? std::string() : " (failed, " + std::to_string(f.number) + ")");
        case TraceKind::Standby: return "standby";
        case TraceKind::Hibernate: return "hibernate";
        case TraceKind::ShutDown: return "shut down";
        case TraceKind::AdministratorNotice: return "administrator notice for " + f.name;
        case TraceKind::FastStepsEnd: return "fast cursor steps end";
        case TraceKind::CursorTo:
            return "cursor to (" + std::to_string(f.point.x) + ", " + std::to_string(f.point.y) +
                   ")";
        case TraceKind::MouseModeSwitched:
            return std::string("mouse mode ") + (f.flag ? "on" : "off");
        case TraceKind::WarningClosed:
            return std::string("unsupported-program warning closed") +
                   (f.flag ? ", not to be shown again" : "");
        case TraceKind::VolumeStep:
            return std::string(f.flag ? "volume up " : "volume down ") + Percent(f.number);
        case TraceKind::VolumeLevel:
            return f.number < 0 ? std::string("volume level unknown")
                                : "volume now " + Percent(f.number);
        case TraceKind::SoundMuted: return "sound muted";
        case TraceKind::SoundUnmuted: return "sound unmuted";
        case TraceKind::Elevated:
        case TraceKind::Offline:
        case TraceKind::LetterChosen:
        case TraceKind::LetterTyped: return std::string();
    }
    return std::string();
}

TraceOutcome FactOutcome(const TraceFact& f) {
    switch (f.kind) {
        case TraceKind::Keys:
        case TraceKind::Standby:
        case TraceKind::Hibernate:
        case TraceKind::ShutDown:
        case TraceKind::FastStepsEnd:
        case TraceKind::CursorTo:
        case TraceKind::MouseModeSwitched:
        case TraceKind::VolumeStep:
        case TraceKind::SoundMuted:
        case TraceKind::SoundUnmuted:
        case TraceKind::LetterChosen:
        case TraceKind::LetterTyped: return TraceOutcome::Sent;
        case TraceKind::Message:
            if (f.message.role == MessageRole::ButtonNotice ||
                f.message.role == MessageRole::ScreenSaverClose)
                return TraceOutcome::Nothing;
            // A send that ran out of time is still delivered once the program answers.
            return f.message.ok || f.message.sent ? TraceOutcome::Sent : TraceOutcome::Failed;
        case TraceKind::Open: return f.flag ? TraceOutcome::Sent : TraceOutcome::Failed;
        case TraceKind::Offline: return TraceOutcome::Failed;
        default: return TraceOutcome::Nothing;
    }
}

TraceOutcome PressOutcome(const TracePress& press) {
    bool elevated = false;
    for (const TraceFact& s : press.steps) elevated = elevated || s.kind == TraceKind::Elevated;
    bool sent = false, failed = false;
    for (const TraceFact& a : press.actions) {
        const TraceOutcome o = FactOutcome(a);
        // Windows drops input and messages from this program to the one in front.
        const bool toFront = a.kind == TraceKind::Keys || (a.kind == TraceKind::Message &&
                                                           a.message.role == MessageRole::Handler);
        if (elevated && toFront && o != TraceOutcome::Nothing) return TraceOutcome::Blocked;
        sent = sent || o == TraceOutcome::Sent;
        failed = failed || o == TraceOutcome::Failed;
    }
    return sent ? TraceOutcome::Sent : failed ? TraceOutcome::Failed : TraceOutcome::Nothing;
}

namespace {

// The length of the well-formed UTF-8 sequence at text[at] (2 to 4) and its code point;
// 0 when the bytes there are not one (a stray continuation, an overlong form, a
// surrogate, a cut-off sequence).
size_t Utf8Sequence(const std::string& text, size_t at, uint32_t& code) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char b = byte(i);
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) return 0;
        code = (code << 6) | (b & 0x3F);
    }
    return length;
}

// C1 controls and the characters that reorder text around them: either can make a
// console or an editor show a line other than the one written.
bool ShownEscaped(uint32_t code) {
    return (code >= 0x80 && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

std::string Escape(const std::string& text, bool backslash) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 0x20 && b < 0x7F) {
            if (b == '\\' && backslash) out += '\\';
            out += text[i++];
            continue;
        }
        uint32_t code = 0;
        const size_t length = b < 0x80 ? 0 : Utf8Sequence(text, i, code);
        if (length == 0) {
            out += "\\x";
            out += kDigits[b >> 4];
            out += kDigits[b & 0xF];
            ++i;
        } else if (ShownEscaped(code)) {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(code >> shift) & 0xF];
            i += length;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

}  // namespace

std::string EscapeTraceText(const std::string& text) { return Escape(text, true); }

std::string TraceTextFromAnsi(const std::string& ansi) {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? ansi : desktop->AnsiToUtf8(ansi);
}

std::string EscapeControlCharacters(const std::string& text) { return Escape(text, false); }

namespace {

// Modifiers pressed in the batch name the keys tapped under them ("Ctrl+Shift+A"); a
// modifier tapped alone is named by itself ("Win"); whatever is left pressed or released
// on its own is named with "down" or "up" (the timed keys send one event per batch).
// For the line each key is "key ..." and the mouse buttons are named too; for people,
// only the keys' names.
std::vector<std::string> InputParts(const std::vector<InputEvent>& batch, Point cursor,
                                    bool forPeople) {
    struct Held {
        uint16_t key;
        bool used;
    };
    std::vector<Held> held;
    std::vector<std::string> parts;
    const char* const keyWord = forPeople ? "" : "key ";
    auto withModifiers = [&](const std::string& name) {
        std::string text;
        for (Held& h : held) {
            text += KeyName(h.key) + "+";
            h.used = true;
        }
        return text + name;
    };
    const std::string at =
        " at (" + std::to_string(cursor.x) + ", " + std::to_string(cursor.y) + ")";
    for (size_t i = 0; i < batch.size(); ++i) {
        const InputEvent& e = batch[i];
        if (e.kind == InputEvent::Mouse) {
            const bool right = (e.flags & (kMouseRightDown | kMouseRightUp)) != 0;
            const uint32_t down = right ? kMouseRightDown : kMouseLeftDown;
            const uint32_t up = right ? kMouseRightUp : kMouseLeftUp;
            const char* side = right ? "right" : "left";
            const bool click = (e.flags & down) != 0 && i + 1 < batch.size() &&
                               batch[i + 1].kind == InputEvent::Mouse &&
                               (batch[i + 1].flags & up) != 0;
            if (!forPeople) {
                parts.push_back(std::string(side) +
                                (click                   ? " click"
                                 : (e.flags & down) != 0 ? " down"
                                                         : " up") +
                                at);
            }
            if (click) ++i;
            continue;
        }
        const bool isUp = (e.flags & kKeyUp) != 0;
        if (IsModifier(e.virtualKey)) {
            if (!isUp) {
                held.push_back(Held{e.virtualKey, false});
                continue;
            }
            bool found = false;
            for (size_t h = held.size(); h-- > 0;) {
                if (held[h].key != e.virtualKey) continue;
                found = true;
                if (!held[h].used) {
                    // Tapped alone, or the last one under others: "Alt+Win".
                    held[h].used = true;
                    std::string text;
                    for (const Held& x : held) text += (text.empty() ? "" : "+") + KeyName(x.key);
                    parts.push_back(keyWord + text);
                    for (Held& x : held) x.used = true;
                }
                held.erase(held.begin() + static_cast<std::ptrdiff_t>(h));
                break;
            }
            if (!found) parts.push_back(keyWord + KeyName(e.virtualKey) + " up");
            continue;
        }
        if (!isUp) {
            const bool tapped = i + 1 < batch.size() && batch[i + 1].kind == InputEvent::Keyboard &&
                                batch[i + 1].virtualKey == e.virtualKey &&
                                (batch[i + 1].flags & kKeyUp) != 0;
            parts.push_back(keyWord + withModifiers(KeyName(e.virtualKey)) +
                            (tapped ? "" : " down"));
            if (tapped) ++i;
        } else {
            parts.push_back(keyWord + KeyName(e.virtualKey) + " up");
        }
    }
    for (const Held& h : held) parts.push_back(keyWord + KeyName(h.key) + " down");
    return parts;
}

}  // namespace

std::string DescribeInput(const std::vector<InputEvent>& batch, Point cursor) {
    return Join(InputParts(batch, cursor, false), "; ");
}

std::string InputKeyNames(const std::vector<InputEvent>& batch) {
    return Join(InputParts(batch, Point{}, true), ", ");
}
