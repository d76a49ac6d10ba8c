#include "profiles/remote_files.h"

#include <algorithm>
#include <string_view>

#define TOML_EXCEPTIONS 0
// As in the profile loader: the parser's internal checks stay out of text from any file.
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) static_cast<void>(0)
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

#include "profiles/profile_model.h"
#include "receiver/remote_button.h"

const char* const kLearnedRemotesFolder = "Remotes";

namespace {

int LineOf(const toml::source_region& where) { return static_cast<int>(where.begin.line); }

class RemoteReader {
public:
    explicit RemoteReader(const ProfileText& text) : text_(text) {}

    std::optional<LearnedRemote> Read(RemoteFileProblem& problem) {
        std::optional<LearnedRemote> remote = ReadFile();
        if (!remote) problem = RemoteFileProblem{text_.fileName, line_, message_};
        return remote;
    }

private:
    std::nullopt_t Fail(int line, std::string message) {
        line_ = line;
        message_ = std::move(message);
        return std::nullopt;
    }

    std::optional<LearnedRemote> ReadFile() {
        if (text_.text.size() > kMaxProfileBytes) return Fail(0, "over 256 KB");
        std::string escaped;
        if (!profile_model::PrecheckTomlText(text_.text, escaped, line_, message_))
            return std::nullopt;
        toml::parse_result parsed = toml::parse(std::string_view(escaped));
        if (!parsed) {
            const toml::parse_error& error = parsed.error();
            return Fail(LineOf(error.source()), std::string(error.description()));
        }
        const toml::table& root = parsed.table();
        LearnedRemote remote;
        remote.fileName = text_.fileName;
        for (const auto& [key, node] : root) {
            const std::string_view name = key.str();
            const int line = LineOf(key.source());
            if (name != "remote" && name != "buttons") {
                return Fail(line, node.is_table() ? "unknown table [" + std::string(name) + "]"
                                                  : "unknown key \"" + std::string(name) + "\"");
            }
            if (!node.is_table()) return Fail(line, "\"" + std::string(name) + "\" must be a table");
        }
        const toml::table* head = root["remote"].as_table();
        if (head == nullptr) return Fail(0, "no [remote] table");
        const int headLine = LineOf(head->source());
        for (const auto& [key, node] : *head) {
            const int line = LineOf(key.source());
            if (key.str() != "name")
                return Fail(line, "unknown key \"" + std::string(key.str()) + "\" in [remote]");
            const auto* value = node.as_string();
            if (value == nullptr) return Fail(line, "the remote's name must be a string");
            remote.name = profile_model::UnescapedTomlText(value->get());
            size_t chars = 0;
            for (const char c : remote.name) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            const bool control = std::any_of(remote.name.begin(), remote.name.end(), [](char c) {
                const auto b = static_cast<unsigned char>(c);
                return b < 0x20 || b == 0x7F;
            });
            if (remote.name.find_first_not_of(' ') == std::string::npos)
                return Fail(line, "the remote's name is empty");
            if (chars > kRemoteNameChars) return Fail(line, "the remote's name is over 64 characters");
            if (control) return Fail(line, "the remote's name holds a control character");
        }
        if (remote.name.empty()) return Fail(headLine, "[remote] has no name");
        if (const toml::table* buttons = root["buttons"].as_table()) {
            for (const auto& [key, node] : *buttons) {
                if (!ReadButton(key, node, remote)) return std::nullopt;
            }
        }
        std::sort(remote.buttons.begin(), remote.buttons.end(),
                  [](const LearnedButton& a, const LearnedButton& b) { return a.button < b.button; });
        return remote;
    }

    bool ReadButton(const toml::key& key, const toml::node& node, LearnedRemote& remote) {
        const int line = LineOf(key.source());
        const std::string name(key.str());
        LearnedButton learned;
        learned.line = line;
        learned.button = RemoteButtonFromName(name.c_str());
        if (learned.button < 0) return Fail(line, "unknown button \"" + name + "\""), false;
        const toml::table* table = node.as_table();
        if (table == nullptr)
            return Fail(line, "button " + name + " must be a table with a code"), false;
        std::vector<uint8_t> code, toggle, repeat;
        bool hasCode = false, hasToggle = false;
        for (const auto& [k, value] : *table) {
            const std::string_view what = k.str();
            const int at = LineOf(k.source());
            std::vector<uint8_t>* into = what == "code"     ? &code
                                         : what == "toggle" ? &toggle
                                         : what == "repeat" ? &repeat
                                                            : nullptr;
            if (into == nullptr) {
                return Fail(at, "unknown key \"" + std::string(what) + "\" in button " + name),
                       false;
            }
            if (!ReadValues(value, at, std::string(what), *into)) return false;
            hasCode |= what == "code";
            hasToggle |= what == "toggle";
            learned.hasRepeat |= what == "repeat";
        }
        if (!hasCode) return Fail(line, "button " + name + " has no code"), false;
        learned.code = CRButton(code.data(), static_cast<int32_t>(code.size()), toggle.data(),
                                static_cast<int32_t>(toggle.size()), hasToggle ? 1 : 0);
        if (learned.hasRepeat)
            learned.repeat = CRButton(repeat.data(), static_cast<int32_t>(repeat.size()), nullptr, 0, 0);
        remote.buttons.push_back(std::move(learned));
        return true;
    }

    // Duration values as digits ("3336...") or as an array of integers (1 to 255).
    bool ReadValues(const toml::node& node, int line, const std::string& what,
                    std::vector<uint8_t>& out) {
        if (const auto* digits = node.as_string()) {
            for (const char c : digits->get()) {
                if (c < '1' || c > '9') {
                    return Fail(line, "the " + what + " must be digits 1 to 9, or an array of "
                                                       "integers"),
                           false;
                }
                out.push_back(static_cast<uint8_t>(c - '0'));
            }
        } else if (const auto* values = node.as_array()) {
            for (const toml::node& v : *values) {
                const auto* n = v.as_integer();
                if (n == nullptr || n->get() < 1 || n->get() > 255)
                    return Fail(line, "each value of the " + what + " must be 1 to 255"), false;
                out.push_back(static_cast<uint8_t>(n->get()));
            }
        } else {
            return Fail(line, "the " + what + " must be digits 1 to 9, or an array of integers"),
                   false;
        }
        if (out.size() < kLearnedCodeShortest)
            return Fail(line, "the " + what + " is shorter than 6 values"), false;
        if (out.size() > kLearnedCodeLongest)
            return Fail(line, "the " + what + " is longer than 999 values"), false;
        return true;
    }

    const ProfileText& text_;
    int line_ = 0;
    std::string message_;
};

std::string ValuesText(const uint8_t* values, int32_t count) {
    const bool digits = std::all_of(values, values + count, [](uint8_t v) { return v >= 1 && v <= 9; });
    std::string out = digits ? "\"" : "[";
    for (int32_t i = 0; i < count; ++i) {
        if (digits) {
            out += static_cast<char>('0' + values[i]);
        } else {
            if (i > 0) out += ", ";
            out += std::to_string(values[i]);
        }
    }
    return out + (digits ? "\"" : "]");
}

}  // namespace

std::string RemoteFileProblem::Describe() const {
    std::string where = std::string("learned remote ") + kLearnedRemotesFolder + "\\" + fileName;
    if (line > 0) where += ":" + std::to_string(line);
    return where + ": " + message;
}

std::optional<LearnedRemote> ParseLearnedRemote(const ProfileText& file, RemoteFileProblem& problem) {
    return RemoteReader(file).Read(problem);
}

LearnedRemotesRead ReadLearnedRemotes(std::vector<ProfileText> files) {
    std::sort(files.begin(), files.end(),
              [](const ProfileText& a, const ProfileText& b) { return a.fileName < b.fileName; });
    LearnedRemotesRead read;
    for (const ProfileText& file : files) {
        RemoteFileProblem problem;
        std::optional<LearnedRemote> remote = ParseLearnedRemote(file, problem);
        if (!remote) {
            read.problems.push_back(std::move(problem));
            continue;
        }
        std::string fault;
        int faultLine = 0;
        for (const LearnedRemote& earlier : read.remotes) {
            if (earlier.name == remote->name) {
                fault = "the remote \"" + remote->name + "\" is learned in " + earlier.fileName +
                        " already";
                break;
            }
        }
        // Within the file as well: a code the file gives twice is as ambiguous.
        LearnedRemotes table = read.remotes;
        table.push_back(LearnedRemote{remote->name, remote->fileName, {}});
        for (size_t i = 0; fault.empty() && i < remote->buttons.size(); ++i) {
            const LearnedButton& b = remote->buttons[i];
            const CodeClash clash = FindCodeClash(TheButtonMap(), table, remote->name, b);
            if (clash.kind == CodeClash::BuiltIn) {
                fault = std::string("the code of ") + RemoteButtonName(b.button) +
                        " already means " + RemoteButtonName(clash.button) + " on the Orbiscope remote";
            } else if (clash.kind == CodeClash::Learned) {
                fault = std::string("the code of ") + RemoteButtonName(b.button) + " is already " +
                        RemoteButtonName(clash.button) + " on " + clash.remote;
            }
            faultLine = b.line;
            table.back().buttons.push_back(b);
        }
        if (!fault.empty()) {
            read.problems.push_back(RemoteFileProblem{file.fileName, faultLine, fault});
            continue;
        }
        read.remotes.push_back(std::move(*remote));
    }
    return read;
}

std::string LearnedRemoteText(const LearnedRemote& remote) {
    std::string text =
        "# Another remote, learned in Orbiscope Remote's settings: each of its buttons\n"
        "# stands for one of the Orbiscope remote's buttons (\"Another remote\" in the help).\n"
        "[remote]\nname = " +
        TomlQuoted(remote.name) + "\n";
    std::vector<const LearnedButton*> ordered;
    for (const LearnedButton& b : remote.buttons) ordered.push_back(&b);
    std::sort(ordered.begin(), ordered.end(),
              [](const LearnedButton* a, const LearnedButton* b) { return a->button < b->button; });
    for (const LearnedButton* b : ordered) {
        text += std::string("\n[buttons.") + RemoteButtonName(b->button) + "]\n";
        text += "code = " + ValuesText(b->code.primarySequence, b->code.primaryLength) + "\n";
        if (b->code.hasAlternate != 0)
            text += "toggle = " + ValuesText(b->code.alternateSequence, b->code.alternateLength) + "\n";
        if (b->hasRepeat)
            text += "repeat = " + ValuesText(b->repeat.primarySequence, b->repeat.primaryLength) + "\n";
    }
    return text;
}
