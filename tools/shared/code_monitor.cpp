#include "shared/code_monitor.h"

#include <algorithm>
#include <iterator>

#include "platform/ports.h"

#include "engine/events.h"
#include "receiver/button_map.h"
#include "receiver/learned_codes.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"

namespace {

const char* KindName(MonitorMatch::Kind k) {
    switch (k) {
        case MonitorMatch::NewPress: return "new press";
        case MonitorMatch::AfterPause: return "new press after a pause";
        default: return "held";
    }
}

}  // namespace

MonitorReport AnalyseCompletedCode() {
    IrReceiver& rx = TheReceiver();
    MonitorReport report;
    report.values.assign(rx.values, rx.values + rx.valueCount);
    rx.valueCount = 0;
    if (static_cast<int32_t>(report.values.size()) < kShortestCode) {
        report.tooShort = true;
        return report;
    }
    const CRButton received(report.values.data(), static_cast<int32_t>(report.values.size()),
                            nullptr, 0, 0);
    int variants[kButtonCount] = {};
    MatchReceivedCode(received, variants);
    // The learned button held, for its repeat frames: as the press engine keeps it.
    static HeldAlias held;
    static uint32_t heldTick = 0;
    AliasMatch alias;
    if (std::all_of(std::begin(variants), std::end(variants), [](int v) { return v == 0; })) {
        const bool holding = held.button >= 0 && TickNow() - heldTick <= kLostContactMs;
        alias = MatchLearnedCode(received, holding ? &held : nullptr);
        if (alias.button >= 0) variants[alias.button] = alias.variant;
    }
    held = alias.button >= 0 ? HeldAlias{alias.remote, alias.button, alias.variant} : HeldAlias{};
    heldTick = TickNow();
    for (int32_t id = 0; id < kButtonCount; ++id) {
        if (variants[id] == 0) continue;
        MonitorMatch m;
        if (id == alias.button) {
            m.remote = alias.remote;
            m.repeatFrame = alias.repeatFrame;
        }
        m.id = id;
        m.variant = variants[id];
        const ButtonTiming& t = TheButtonTiming();
        const uint32_t now = TickNow();
        if (id != t.lastButton || m.variant != t.lastVariant) {
            m.kind = MonitorMatch::NewPress;
        } else if (now - t.lastSeen > kLostContactMs) {
            m.kind = MonitorMatch::AfterPause;
        } else {
            m.kind = MonitorMatch::Held;
        }
        m.accepted = AcceptButtonTiming(id, m.variant);
        report.matches.push_back(m);
        if (!m.accepted) break;
    }
    return report;
}

std::string FormatReport(const MonitorReport& report) {
    std::string out = std::to_string(report.values.size()) + " values";
    for (uint8_t v : report.values) {
        out += ' ';
        out += std::to_string(v);
    }
    out += " ->";
    if (report.tooShort) return out + " too short, dropped";
    if (report.matches.empty()) return out + " no button";
    bool first = true;
    for (const MonitorMatch& m : report.matches) {
        out += first ? " " : "; ";
        first = false;
        out += RemoteButtonName(m.id);
        out += " variant ";
        out += std::to_string(m.variant);
        if (!m.remote.empty())
            out += std::string(" (learned remote \"") + m.remote + "\"" +
                   (m.repeatFrame ? ", repeat frame)" : ")");
        out += ", ";
        out += KindName(m.kind);
        out += ": ";
        out += m.accepted ? "accepted" : "swallowed";
    }
    return out;
}
