// Codes learned from other remotes (a television's, a DVD player's), each standing for
// one of the 42 buttons. They are matched only when every built-in code failed, with
// the same tolerance, and a matched one is that button with the learned variant.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "receiver/button_map.h"

// One button of another remote: its code (variant 2 when the remote toggles a bit
// between presses), and the short frame some remotes send while a button is held.
struct LearnedButton {
    int32_t button = -1;
    CRButton code;
    bool hasRepeat = false;
    CRButton repeat;
    int line = 0;  // where its file gives it
};

struct LearnedRemote {
    std::string name;      // as the user gave it
    std::string fileName;  // "Living room TV.toml"
    std::vector<LearnedButton> buttons;
};
using LearnedRemotes = std::vector<LearnedRemote>;

// Puts the table in force under the button map's lock: a code meets either the whole
// old table or the whole new one.
void InstallLearnedRemotes(LearnedRemotes remotes);
std::shared_ptr<const LearnedRemotes> LearnedRemotesInForce();

// The learned button a press of another remote last matched, for its repeat frames.
struct HeldAlias {
    std::string remote;
    int32_t button = -1;
    int variant = 0;
};

struct AliasMatch {
    int32_t button = -1;  // -1: no learned code matches
    int variant = 0;
    bool repeatFrame = false;
    std::string remote;
};
// The codes of every remote first, then the repeat frame of the button held (when one
// is): a repeat frame stands for nothing on its own.
AliasMatch MatchLearnedCode(const LearnedRemotes& remotes, const CRButton& received,
                            const HeldAlias* held);
// The same against the table in force, under the button map's lock.
AliasMatch MatchLearnedCode(const CRButton& received, const HeldAlias* held);

// What a new code would clash with: a built-in button, or a learned one (any remote).
struct CodeClash {
    enum Kind { None, BuiltIn, Learned };
    Kind kind = None;
    int32_t button = -1;
    std::string remote;  // a learned button's remote
};
// `code`'s variants, and its repeat frame, against the 42 built-in codes and every
// learned code. The entry being replaced (the same button on the same remote) is left
// out. Repeat frames may be alike: many remotes send one frame for every held button.
CodeClash FindCodeClash(const CButtonMap& builtIn, const LearnedRemotes& remotes,
                        const std::string& remoteName, const LearnedButton& candidate);
