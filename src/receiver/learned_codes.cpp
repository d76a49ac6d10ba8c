#include "receiver/learned_codes.h"

#include <mutex>

#include "receiver/remote_button.h"

namespace {

// Guarded by the button map's lock.
std::shared_ptr<const LearnedRemotes>& Table() {
    static std::shared_ptr<const LearnedRemotes> table = std::make_shared<const LearnedRemotes>();
    return table;
}

// One variant of a code as a received code (its primary sequence alone).
CRButton Variant(const CRButton& code, int variant) {
    if (variant == 2)
        return CRButton(code.alternateSequence, code.alternateLength, nullptr, 0, 0);
    return CRButton(code.primarySequence, code.primaryLength, nullptr, 0, 0);
}

int VariantCount(const CRButton& code) { return code.hasAlternate != 0 ? 2 : 1; }

// Whether any variant of `a` is met by `b` (the tolerance is the same both ways).
bool Clashes(const CRButton& a, const CRButton& b) {
    for (int v = 1; v <= VariantCount(a); ++v) {
        if (b.MatchCode(Variant(a, v)) != 0) return true;
    }
    return false;
}

}  // namespace

void InstallLearnedRemotes(LearnedRemotes remotes) {
    auto table = std::make_shared<const LearnedRemotes>(std::move(remotes));
    std::lock_guard<std::recursive_mutex> hold(TheButtonMap().Lock());
    Table().swap(table);
}

std::shared_ptr<const LearnedRemotes> LearnedRemotesInForce() {
    std::lock_guard<std::recursive_mutex> hold(TheButtonMap().Lock());
    return Table();
}

AliasMatch MatchLearnedCode(const LearnedRemotes& remotes, const CRButton& received,
                            const HeldAlias* held) {
    AliasMatch match;
    for (const LearnedRemote& remote : remotes) {
        for (const LearnedButton& b : remote.buttons) {
            if (const int v = b.code.MatchCode(received); v != 0) {
                match.button = b.button;
                match.variant = v;
                match.remote = remote.name;
                return match;
            }
        }
    }
    if (held == nullptr || held->button < 0) return match;
    for (const LearnedRemote& remote : remotes) {
        if (remote.name != held->remote) continue;
        for (const LearnedButton& b : remote.buttons) {
            if (b.button == held->button && b.hasRepeat && b.repeat.MatchCode(received) != 0) {
                match.button = b.button;
                match.variant = held->variant;
                match.repeatFrame = true;
                match.remote = remote.name;
                return match;
            }
        }
    }
    return match;
}

AliasMatch MatchLearnedCode(const CRButton& received, const HeldAlias* held) {
    std::lock_guard<std::recursive_mutex> hold(TheButtonMap().Lock());
    return MatchLearnedCode(*Table(), received, held);
}

CodeClash FindCodeClash(const CButtonMap& builtIn, const LearnedRemotes& remotes,
                        const std::string& remoteName, const LearnedButton& candidate) {
    CodeClash clash;
    std::lock_guard<std::recursive_mutex> hold(builtIn.Lock());
    for (int32_t id = 0; id < kButtonCount; ++id) {
        const CRButton* record = builtIn.FindButton(id);
        if (record == nullptr) continue;
        if (Clashes(candidate.code, *record) ||
            (candidate.hasRepeat && Clashes(candidate.repeat, *record))) {
            clash.kind = CodeClash::BuiltIn;
            clash.button = id;
            return clash;
        }
    }
    for (const LearnedRemote& remote : remotes) {
        for (const LearnedButton& b : remote.buttons) {
            if (remote.name == remoteName && b.button == candidate.button) continue;
            if (Clashes(candidate.code, b.code) ||
                (candidate.hasRepeat && Clashes(candidate.repeat, b.code)) ||
                (b.hasRepeat && Clashes(candidate.code, b.repeat))) {
                clash.kind = CodeClash::Learned;
                clash.button = b.button;
                clash.remote = remote.name;
                return clash;
            }
        }
    }
    return clash;
}
