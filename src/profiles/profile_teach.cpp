// Teaching a button into a profile file by its text: one line changed, every other byte
// kept, and the result read back by the loader before it is given.
#include <optional>
#include <string>
#include <vector>

#include "profiles/profile_files.h"
#include "profiles/profile_model.h"
#include "receiver/remote_button.h"

namespace {

using profile_model::ProfileFile;

// One file as the loader reads it into a user's layer.
std::optional<ProfileFile> ReadOne(const ProfileText& text, ProfileProblem& problem) {
    std::vector<ProfileFile> files;
    std::vector<ProfileProblem> problems;
    profile_model::ReadProfileLayer(ProfileLayer::User, {text}, files, problems);
    if (files.empty()) {
        problem = problems.empty() ? ProfileProblem{ProfileLayer::User, text.fileName, 0, "not read"}
                                   : problems.front();
        return std::nullopt;
    }
    return std::move(files.front());
}

struct Line {
    std::string body;  // without its line break
    std::string end;   // "\n", "\r\n" or "" for the last line
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t nl = text.find('\n', at);
        Line line;
        line.body = text.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
        if (nl != std::string::npos) line.end = "\n";
        if (!line.body.empty() && line.body.back() == '\r' && !line.end.empty()) {
            line.body.pop_back();
            line.end = "\r\n";
        }
        lines.push_back(std::move(line));
        at = nl == std::string::npos ? text.size() : nl + 1;
    }
    return lines;
}

std::string TrimLeft(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first);
}

// "[buttons]" -> "buttons"; "" for a line that opens no table (arrays of tables included).
std::string TableOfLine(const std::string& body) {
    const std::string t = TrimLeft(body);
    if (t.size() < 2 || t[0] != '[' || t[1] == '[') return std::string();
    const size_t close = t.find(']');
    if (close == std::string::npos) return std::string();
    std::string name = t.substr(1, close - 1);
    name.erase(0, name.find_first_not_of(" \t"));
    name.erase(name.find_last_not_of(" \t") + 1);
    return name;
}

// Where the value of `key = value` begins, when the line sets that key (bare or quoted).
size_t ValueOfKey(const std::string& body, const std::string& key) {
    const size_t start = body.find_first_not_of(" \t");
    if (start == std::string::npos) return std::string::npos;
    size_t after = std::string::npos;
    for (const std::string& spelled : {key, "\"" + key + "\"", "'" + key + "'"}) {
        if (body.compare(start, spelled.size(), spelled) == 0) after = start + spelled.size();
    }
    if (after == std::string::npos) return std::string::npos;
    const size_t eq = body.find_first_not_of(" \t", after);
    if (eq == std::string::npos || body[eq] != '=') return std::string::npos;
    return eq + 1;
}

// Where a comment after the value begins (outside strings), npos when none.
size_t CommentAfter(const std::string& body, size_t from) {
    char quote = 0;
    for (size_t i = from; i < body.size(); ++i) {
        const char c = body[i];
        if (quote == '"' && c == '\\') {
            ++i;
        } else if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '#') {
            return i;
        }
    }
    return std::string::npos;
}

// Everything a file says, as text that two readings of it can compare.
std::string Meaning(const ProfileFile& file, int32_t except) {
    std::string m = file.name + "|" + std::to_string(file.takesGlobal) + "|" +
                    std::to_string(file.holdMs);
    for (const profile_model::ProfileMatch& match : file.matches)
        m += "|" + match.process + "/" + match.title + "/" + match.className;
    for (int32_t b = 0; b < kButtonCount; ++b) {
        const auto& press = file.press[static_cast<size_t>(b)];
        const auto& hold = file.hold[static_cast<size_t>(b)];
        m += "|" + std::to_string(b) + ":";
        if (b != except && press) m += profile_model::DescribeAction(*press);
        if (hold) m += "/" + profile_model::DescribeAction(*hold);
    }
    return m;
}

}  // namespace

TaughtText TeachButtonInText(const ProfileText& file, int32_t button, const std::string& action) {
    TaughtText out;
    const char* name = RemoteButtonName(button);
    if (*name == '\0') {
        out.error = "there is no such button";
        return out;
    }
    ProfileProblem problem;
    const std::optional<ProfileFile> before = ReadOne(file, problem);
    if (!before) {
        out.error = problem.Describe() + "; the file is left as it is until that is put right";
        return out;
    }

    std::vector<Line> lines = SplitLines(file.text);
    const std::string lineEnd = !lines.empty() && lines.front().end == "\r\n" ? "\r\n" : "\n";
    std::string table;
    bool set = false;
    size_t lastInButtons = std::string::npos;
    bool sawButtons = false;
    for (size_t i = 0; i < lines.size() && !set; ++i) {
        std::string& body = lines[i].body;
        const std::string opened = TableOfLine(body);
        if (!opened.empty()) {
            table = opened;
            if (table == "buttons") {
                sawButtons = true;
                lastInButtons = i;
            }
            continue;
        }
        if (table != "buttons") continue;
        const std::string t = TrimLeft(body);
        if (!t.empty() && t[0] != '#') lastInButtons = i;
        const size_t value = ValueOfKey(body, name);
        if (value == std::string::npos) continue;
        const size_t comment = CommentAfter(body, value);
        body = body.substr(0, value) + " " + action +
               (comment == std::string::npos ? std::string() : "  " + body.substr(comment));
        set = true;
    }
    if (!set) {
        const std::string added = std::string(name) + " = " + action;
        if (sawButtons) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastInButtons) + 1,
                         Line{added, lineEnd});
            if (lastInButtons + 2 == lines.size() && lines[lastInButtons].end.empty())
                lines[lastInButtons].end = lineEnd;
        } else {
            if (!lines.empty() && lines.back().end.empty()) lines.back().end = lineEnd;
            lines.push_back(Line{"", lineEnd});
            lines.push_back(Line{"[buttons]", lineEnd});
            lines.push_back(Line{added, lineEnd});
        }
    }
    std::string text;
    for (const Line& line : lines) text += line.body + line.end;

    // Read back: the button now does what was taught, and nothing else changed.
    const ProfileText edited{file.fileName, text};
    const ProfileText alone{file.fileName, "[program]\nname = \"x\"\nmatch = { process = \"x\" }\n"
                                           "[buttons]\n" + std::string(name) + " = " + action + "\n"};
    const std::optional<ProfileFile> after = ReadOne(edited, problem);
    const std::optional<ProfileFile> wanted = ReadOne(alone, problem);
    const auto& taught = after ? after->press[static_cast<size_t>(button)] : std::nullopt;
    const auto& meant = wanted ? wanted->press[static_cast<size_t>(button)] : std::nullopt;
    if (!wanted || !meant) {
        out.error = "the action " + action + " is not one a file can hold";
        return out;
    }
    if (!after || !taught || Meaning(*after, button) != Meaning(*before, button) ||
        profile_model::DescribeAction(*taught) != profile_model::DescribeAction(*meant)) {
        out.error = std::string("its [buttons] table is written in a way that cannot be changed "
                                "line by line; add the line yourself: ") + name + " = " + action;
        return out;
    }
    out.ok = true;
    out.text = std::move(text);
    return out;
}
