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

void Step(std::string text) {
    if (TracePress* press = CurrentPress()) press->steps.push_back(std::move(text));
}

void Action(std::string text) {
    if (t_record == nullptr) return;
    t_record->lastActionUs = MicrosNow();
    // An action before any match (none happens today) still belongs to the code.
    if (TracePress* press = CurrentPress()) press->actions.push_back(std::move(text));
}

void Keys(const std::vector<InputEvent>& batch) {
    Point cursor;
    for (const InputEvent& e : batch) {
        if (e.kind != InputEvent::Mouse) continue;
        if (Desktop* desktop = Os().desktop) cursor = desktop->CursorPos();
        break;
    }
    Action(DescribeInput(batch, cursor));
}

void Message(bool sent, WindowHandle window, MessageId message, WParam wParam, LParam lParam,
             bool ok) {
    std::string target = "no window";
    if (window != 0) {
        Desktop* desktop = Os().desktop;
        target = desktop == nullptr ? std::string() : desktop->ClassName(window, 256);
        if (target.empty()) target = "window " + Hex(window);
    }
    std::string text = std::string(sent ? "send to " : "post to ") + target + ": message " +
                       Hex(message) + " wParam " + std::to_string(wParam) + " lParam " +
                       std::to_string(lParam);
    if (!ok) text += sent ? " (not answered)" : " (failed)";
    Action(std::move(text));
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
        if (shown != nullptr) shown(*record_);
        const TraceOutput output = Board().output.load();
        if (output != nullptr && Board().linesOn.load(std::memory_order_relaxed))
            output(FormatTraceRecord(*record_));
    } catch (...) {
        // A line that cannot be built or delivered is lost; the press is not.
    }
}

void CodeTrace::MatchSlow(int32_t button, int32_t variant, RepeatDecision decision) {
    TracePress press;
    press.button = button;
    press.variant = variant;
    press.decision = decision;
    record_->presses.push_back(std::move(press));
}

void TraceNote(const std::string& text, const char* source) {
    if (!Board().linesOn.load(std::memory_order_relaxed)) return;
    const TraceOutput output = Board().output.load();
    if (output == nullptr) return;
    try {
        output(EscapeControlCharacters(TimeOfDay(WallNow()) + " | " + text + " | " + source));
    } catch (...) {
        // As with a code's line: lost, and nothing else.
    }
}

std::string FormatTraceRecord(const TraceRecord& record) {
    std::string line = TimeOfDay(record.when);
    if (record.presses.empty()) {
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
        line += " | " + (p.steps.empty() ? std::string("no step") : Join(p.steps, ", then "));
        line += " | " + (p.actions.empty() ? std::string("no action") : Join(p.actions, "; "));
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
    return EscapeControlCharacters(line);
}

std::string EscapeControlCharacters(const std::string& text) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b != 0x7F) {
            out += c;
            continue;
        }
        out += "\\x";
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

// Modifiers pressed in the batch name the keys tapped under them ("Ctrl+Shift+A"); a
// modifier tapped alone is named by itself ("Win"); whatever is left pressed or released
// on its own is named with "down" or "up" (the timed keys send one event per batch).
std::string DescribeInput(const std::vector<InputEvent>& batch, Point cursor) {
    struct Held {
        uint16_t key;
        bool used;
    };
    std::vector<Held> held;
    std::vector<std::string> parts;
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
            if ((e.flags & down) != 0 && i + 1 < batch.size() &&
                batch[i + 1].kind == InputEvent::Mouse && (batch[i + 1].flags & up) != 0) {
                parts.push_back(std::string(side) + " click" + at);
                ++i;
            } else {
                parts.push_back(std::string(side) + ((e.flags & down) != 0 ? " down" : " up") + at);
            }
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
                    parts.push_back("key " + text);
                    for (Held& x : held) x.used = true;
                }
                held.erase(held.begin() + static_cast<std::ptrdiff_t>(h));
                break;
            }
            if (!found) parts.push_back("key " + KeyName(e.virtualKey) + " up");
            continue;
        }
        if (!isUp) {
            const bool tapped = i + 1 < batch.size() && batch[i + 1].kind == InputEvent::Keyboard &&
                                batch[i + 1].virtualKey == e.virtualKey &&
                                (batch[i + 1].flags & kKeyUp) != 0;
            parts.push_back("key " + withModifiers(KeyName(e.virtualKey)) +
                            (tapped ? "" : " down"));
            if (tapped) ++i;
        } else {
            parts.push_back("key " + KeyName(e.virtualKey) + " up");
        }
    }
    for (const Held& h : held) parts.push_back("key " + KeyName(h.key) + " down");
    return Join(parts, "; ");
}
