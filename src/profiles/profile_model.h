// What a profile file says, once read: the loader's result, shared by the dispatch and
// the export. Only the profile files' own code includes it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/types.h"
#include "profiles/profile_files.h"
#include "receiver/remote_button.h"

namespace profile_model {

// The checks every TOML file of ours passes before toml++ reads it (the parser trips on
// some faults instead of reporting them): false with the first fault and its line;
// true with the text toml++ is to read.
bool PrecheckTomlText(std::string_view text, std::string& escaped, int& line,
                      std::string& message);
// A string value as the file wrote it: what the checks escaped is given back.
std::string UnescapedTomlText(std::string_view text);

struct ProfileChord {
    uint8_t key = 0;
    bool ctrl = false, alt = false, shift = false, win = false;
    bool scanCodes = false;
};

// One thing an action does.
struct ProfileStep {
    enum Kind : uint8_t { Keys, AppCommand, Message, Open };
    Kind kind = Keys;
    ProfileChord chord;
    uint16_t appCommand = 0;
    MessageId message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    std::string text;  // the message's window class ("" the window in front), or what to open
};

struct ProfileAction {
    enum Kind : uint8_t { Steps, Nothing, Default };
    Kind kind = Steps;
    std::vector<ProfileStep> steps;
    int line = 0;
};

// Process, title and class in lower case; "" where the match does not ask.
struct ProfileMatch {
    std::string process, title, className;
    ProfileOutline::Match written;  // as the file gives them, for the help
    int specificity = 1;  // 3: process, class and title; 2: process and one of them; 1: process
    int titleChars = 0;   // the title text's length in characters, which decides between equals
    int line = 0;
    bool SameAs(const ProfileMatch& o) const {
        return process == o.process && title == o.title && className == o.className;
    }
};

struct ProfileFile {
    ProfileLayer layer = ProfileLayer::User;
    std::string fileName, name, text;
    std::vector<ProfileMatch> matches;
    uint64_t takesGlobal = 0;  // bit n: button n
    int holdMs = 500;
    std::array<std::optional<ProfileAction>, kButtonCount> press, hold;
};

// Without regard to case, as far as ASCII goes: file names, processes, titles and
// classes. Other bytes compare as they are.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}
inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

inline const char* LayerWord(ProfileLayer layer) {
    return layer == ProfileLayer::User ? "user" : "shipped";
}

// Reads the files of one layer: the usable ones in file-name order, a problem for each
// other (a match claimed by an earlier file of the layer among them).
void ReadProfileLayer(ProfileLayer layer, const std::vector<ProfileText>& texts,
                      std::vector<ProfileFile>& files, std::vector<ProfileProblem>& problems);

// The name a file gives an app command ("MEDIA_PLAY_PAUSE"); null for one it has no name for.
const char* AppCommandNameOf(uint16_t command);
// What an action does, as the settings show it: "Ctrl+L, Enter", "app command
// MEDIA_PLAY_PAUSE", "nothing".
std::string DescribeAction(const ProfileAction& action);
// "user profile mpv.toml:7" (no line when 0), as the trace names a file.
std::string WhereInFile(const ProfileFile& file, int line);

}  // namespace profile_model

struct ProfileSet {
    struct Candidate {
        uint32_t file;
        uint32_t match;
    };
    // Each layer's files in file-name order.
    std::vector<profile_model::ProfileFile> user, shipped;
    // [0] the user's, [1] the shipped files': the matches by process, in file-name order.
    std::unordered_map<std::string, std::vector<Candidate>> byProcess[2];
};
