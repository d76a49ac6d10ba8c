// Reads profile files into what the dispatch uses: toml++ parses, this file checks what
// the format allows, and the first error ends a file with its line.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Parse errors come back as values with their source position: nothing a file says
// throws through a press or the folder watcher.
#define TOML_EXCEPTIONS 0
// The parser's internal checks (3.3) fire on malformed input that it goes on to report
// as an error anyway: an assertion in a debug build, and in a release build by clang an
// assumption the optimiser may build on. Neither is wanted for text from any file.
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) static_cast<void>(0)
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

#include "desktop/window_queries.h"
#include "profiles/profile_model.h"
#include "receiver/remote_button.h"
#include "state/key_names.h"

namespace {

using namespace profile_model;

constexpr size_t kMaxSequence = 16;
constexpr size_t kMaxNameChars = 64;
constexpr size_t kMaxPatternBytes = 1024;
constexpr size_t kMaxOpenBytes = 2048;
constexpr int kHoldMinMs = 400, kHoldMaxMs = 1500, kHoldDefaultMs = 500;

struct AppCommandName {
    const char* name;
    uint16_t command;
};
constexpr AppCommandName kAppCommands[] = {
    {"BROWSER_BACKWARD", 1},        {"BROWSER_FORWARD", 2},       {"BROWSER_REFRESH", 3},
    {"BROWSER_HOME", 7},            {"VOLUME_MUTE", 8},           {"VOLUME_DOWN", 9},
    {"VOLUME_UP", 10},              {"MEDIA_NEXTTRACK", 11},      {"MEDIA_PREVIOUSTRACK", 12},
    {"MEDIA_STOP", 13},             {"MEDIA_PLAY_PAUSE", 14},     {"MICROPHONE_VOLUME_MUTE", 24},
    {"HELP", 27},                   {"FIND", 28},                 {"NEW", 29},
    {"OPEN", 30},                   {"CLOSE", 31},                {"SAVE", 32},
    {"PRINT", 33},                  {"UNDO", 34},                 {"REDO", 35},
    {"COPY", 36},                   {"CUT", 37},                  {"PASTE", 38},
    {"MIC_ON_OFF_TOGGLE", 44},      {"MEDIA_PLAY", 46},           {"MEDIA_PAUSE", 47},
    {"MEDIA_RECORD", 48},           {"MEDIA_FAST_FORWARD", 49},   {"MEDIA_REWIND", 50},
    {"MEDIA_CHANNEL_UP", 51},       {"MEDIA_CHANNEL_DOWN", 52},
};

// The line of the first byte that is not UTF-8 (overlong forms and surrogates included);
// 0 when all is.
int FirstLineNotUtf8(std::string_view text) {
    int line = 1;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == '\n') ++line;
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t n = 0;
        uint32_t cp = 0;
        if ((b & 0xE0) == 0xC0) {
            n = 1;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            n = 2;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            n = 3;
            cp = b & 0x07;
        } else {
            return line;
        }
        if (i + n >= text.size()) return line;
        for (size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return line;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return line;
        i += n + 1;
    }
    return 0;
}

// TOML allows no control character but tab and the line ends anywhere in a file, and the
// parser trips over some of them (an assertion, undefined behaviour where assertions are
// off) before it would report them: they are refused first. Answers the line of the first,
// or 0.
int FirstLineWithControlCharacter(std::string_view text, unsigned& which) {
    int line = 1;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\n') ++line;
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == 0x7F) {
            which = b;
            return line;
        }
    }
    return 0;
}

bool IsBareKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '-';
}

// A table header whose name does not start right: the parser (3.3) asserts on it instead
// of reporting it. Answers its line, or 0. A line inside a multi-line string is taken for
// a header too; no value a profile file uses holds one.
int FirstBadTableHeader(std::string_view text) {
    int line = 1;
    for (size_t i = 0; i < text.size(); ++line) {
        const size_t end = std::min(text.find('\n', i), text.size());
        size_t at = text.find_first_not_of(" \t", i);
        if (at < end && text[at] == '[') {
            ++at;
            if (at < end && text[at] == '[') ++at;
            at = std::min(text.find_first_not_of(" \t", at), end);
            const char c = at < end ? text[at] : '\n';
            if (!IsBareKeyCharacter(c) && c != '"' && c != '\'' && c != ']') return line;
        }
        i = end + 1;
    }
    return 0;
}

// A character beyond ASCII outside strings and comments, where TOML allows none: the parser
// (3.3) meets some of them in its whitespace test with undefined behaviour instead of
// reporting them. Answers the line of the first, or 0.
int FirstLineWithStrayCharacter(std::string_view t) {
    int line = 1;
    size_t i = 0;
    while (i < t.size()) {
        const char c = t[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '#') {
            while (i < t.size() && t[i] != '\n') ++i;
        } else if (c == '"' || c == '\'') {
            const std::string_view triple = c == '"' ? "\"\"\"" : "\'\'\'";
            const bool multi = t.substr(i, 3) == triple;
            i += multi ? 3 : 1;
            while (i < t.size()) {
                if (t[i] == '\n') {
                    if (!multi) break;  // unterminated: the parser says so
                    ++line;
                    ++i;
                } else if (c == '"' && t[i] == '\\') {
                    ++i;
                    if (i < t.size() && t[i] != '\n') ++i;
                } else if (t[i] == c && (!multi || t.substr(i, 3) == triple)) {
                    i += multi ? 3 : 1;
                    // Up to two quotes of the string's own kind may end it.
                    for (int k = 0; multi && k < 2 && i < t.size() && t[i] == c; ++k) ++i;
                    break;
                } else {
                    ++i;
                }
            }
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            return line;
        } else {
            ++i;
        }
    }
    return 0;
}

// The parser (3.3) meets some characters beyond ASCII with undefined behaviour where it
// asks whether they are white space (outside strings, where a malformed file can lead it),
// so it never sees one: each is written as the escape "\U0000XXXX", which a basic string
// reads back into the same character. The text of the other strings (literal strings,
// and keys) is given the character back by Unescaped. The text is UTF-8 already.
std::string EscapedBeyondAscii(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += text[i++];
            continue;
        }
        const size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        uint32_t cp = b & (0x7F >> n);
        for (size_t k = 1; k < n && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += "\\U";
        for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(cp >> shift) & 0xF];
        i += n;
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Unescaped(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = 0;
        bool escape = text.compare(i, 2, "\\U") == 0 && i + 10 <= text.size();
        for (size_t k = 2; escape && k < 10; ++k) {
            const int d = HexDigit(text[i + k]);
            escape = d >= 0;
            cp = (cp << 4) | static_cast<uint32_t>(d < 0 ? 0 : d);
        }
        if (!escape || cp < 0x80 || cp > 0x10FFFF) {
            out += text[i++];
            continue;
        }
        if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (cp & 0x3F));
        i += 10;
    }
    return out;
}

size_t CodePoints(std::string_view text) {
    size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

int LineOf(const toml::source_region& where) { return static_cast<int>(where.begin.line); }

// Reads one file into the model; the first error ends the reading.
class Reader {
public:
    Reader(ProfileLayer layer, const ProfileText& text) : layer_(layer), text_(text) {}

    std::optional<ProfileFile> Read(ProfileProblem& problem) {
        std::optional<ProfileFile> file = ReadFile();
        if (!file) problem = ProfileProblem{layer_, text_.fileName, line_, message_};
        return file;
    }

private:
    bool Fail(int line, std::string message) {
        if (message_.empty()) {
            line_ = line;
            message_ = std::move(message);
        }
        return false;
    }
    bool Fail(const toml::node& at, std::string message) {
        return Fail(LineOf(at.source()), std::move(message));
    }

    std::optional<ProfileFile> ReadFile() {
        if (text_.text.size() > kMaxProfileBytes) {
            Fail(0, "over 256 KB");
            return std::nullopt;
        }
        std::string escaped;
        if (int bad = 0; !profile_model::PrecheckTomlText(text_.text, escaped, bad, message_)) {
            line_ = bad;
            return std::nullopt;
        }
        toml::parse_result parsed = toml::parse(std::string_view(escaped));
        if (!parsed) {
            const toml::parse_error& error = parsed.error();
            Fail(LineOf(error.source()), std::string(error.description()));
            return std::nullopt;
        }
        const toml::table& root = parsed.table();
        ProfileFile file;
        file.layer = layer_;
        file.fileName = text_.fileName;
        file.text = text_.text;
        file.holdMs = kHoldDefaultMs;
        const toml::table* program = nullptr;
        for (const auto& [key, node] : root) {
            const std::string_view name = key.str();
            const int line = LineOf(key.source());
            const toml::table* table = node.as_table();
            if (name != "program" && name != "buttons" && name != "hold") {
                Fail(line, table != nullptr ? "unknown table [" + std::string(name) + "]"
                                            : "unknown key \"" + std::string(name) + "\"");
                return std::nullopt;
            }
            if (table == nullptr) {
                Fail(line, "\"" + std::string(name) + "\" must be a table");
                return std::nullopt;
            }
            if (name == "program") program = table;
        }
        if (program == nullptr) {
            Fail(0, "no [program] table");
            return std::nullopt;
        }
        if (!ReadProgram(*program, file)) return std::nullopt;
        if (const toml::table* buttons = root["buttons"].as_table()) {
            if (!ReadButtons(*buttons, file.press)) return std::nullopt;
        }
        if (const toml::table* hold = root["hold"].as_table()) {
            if (!ReadButtons(*hold, file.hold)) return std::nullopt;
        }
        return file;
    }

    bool ReadText(const toml::node& node, const char* what, size_t maxBytes, std::string& out) {
        const auto* value = node.as_string();
        if (value == nullptr) return Fail(node, std::string(what) + " must be a string");
        const std::string text = Unescaped(value->get());
        if (text.empty()) return Fail(node, std::string(what) + " is empty");
        if (text.size() > maxBytes)
            return Fail(node, std::string(what) + " is longer than " + std::to_string(maxBytes) +
                                  " bytes");
        if (HasControlCharacter(text))
            return Fail(node, std::string(what) + " holds a control character");
        out = text;
        return true;
    }

    bool ReadProgram(const toml::table& program, ProfileFile& file) {
        const int programLine = LineOf(program.source());
        bool named = false, matched = false;
        for (const auto& [key, node] : program) {
            const std::string_view k = key.str();
            if (k == "name") {
                if (!ReadText(node, "name", 4 * kMaxNameChars, file.name)) return false;
                if (CodePoints(file.name) > kMaxNameChars)
                    return Fail(node, "name is longer than 64 characters");
                named = true;
            } else if (k == "match") {
                if (!ReadMatches(node, file)) return false;
                matched = true;
            } else if (k == "takes_global") {
                // A file the setup installs would take the button in every user's session.
                if (layer_ == ProfileLayer::Shipped)
                    return Fail(LineOf(key.source()), "takes_global is for the user's own files only");
                if (!ReadTakesGlobal(node, file)) return false;
            } else if (k == "hold_ms") {
                const auto* ms = node.as_integer();
                if (ms == nullptr) return Fail(node, "hold_ms must be a number");
                if (ms->get() < kHoldMinMs || ms->get() > kHoldMaxMs)
                    return Fail(node, "hold_ms " + std::to_string(ms->get()) +
                                          " is out of range (400 to 1500)");
                file.holdMs = static_cast<int>(ms->get());
            } else {
                return Fail(LineOf(key.source()),
                            "unknown key \"" + std::string(k) + "\" in [program]");
            }
        }
        if (!named) return Fail(programLine, "[program] has no name");
        if (!matched) return Fail(programLine, "[program] has no match");
        return true;
    }

    bool ReadMatch(const toml::node& node, ProfileFile& file) {
        const toml::table* table = node.as_table();
        if (table == nullptr) return Fail(node, "a match must be a table");
        ProfileMatch match;
        match.line = LineOf(node.source());
        for (const auto& [key, value] : *table) {
            const std::string_view k = key.str();
            std::string text;
            if (k == "process") {
                if (!ReadText(value, "process", kMaxProcessNameChars, text)) return false;
                match.process = Lower(text);
                match.written.process = text;
            } else if (k == "title_contains") {
                if (!ReadText(value, "title_contains", kMaxPatternBytes, text)) return false;
                match.title = Lower(text);
                match.written.title = text;
            } else if (k == "class") {
                if (!ReadText(value, "class", kClassBufferChars - 1, text)) return false;
                match.className = Lower(text);
                match.written.className = text;
            } else {
                return Fail(LineOf(key.source()), "unknown key \"" + std::string(k) + "\" in a match");
            }
        }
        if (match.process.empty()) return Fail(node, "a match without \"process\"");
        match.specificity = 1 + (match.title.empty() ? 0 : 1) + (match.className.empty() ? 0 : 1);
        // Characters, not bytes: "Meet – " is as long as "Meet - ".
        for (const char c : match.title)
            match.titleChars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        for (const ProfileMatch& m : file.matches) {
            if (m.SameAs(match)) return true;
        }
        file.matches.push_back(std::move(match));
        return true;
    }

    bool ReadMatches(const toml::node& node, ProfileFile& file) {
        if (const toml::array* list = node.as_array()) {
            if (list->empty()) return Fail(node, "match lists no table");
            for (const toml::node& each : *list) {
                if (!ReadMatch(each, file)) return false;
            }
            return true;
        }
        return ReadMatch(node, file);
    }

    bool ReadTakesGlobal(const toml::node& node, ProfileFile& file) {
        const toml::array* list = node.as_array();
        if (list == nullptr) return Fail(node, "takes_global must be a list of buttons");
        for (const toml::node& each : *list) {
            const auto* name = each.as_string();
            if (name == nullptr) return Fail(each, "takes_global must be a list of buttons");
            const int32_t button = RemoteButtonFromName(name->get().c_str());
            if (button < 0) return Fail(each, "unknown button \"" + name->get() + "\"");
            if (button == Power) return Fail(each, "takes_global cannot name Power");
            if (!IsTakeableGlobal(button))
                return Fail(each, "takes_global names " + name->get() +
                                      ", which is not a global button");
            file.takesGlobal |= uint64_t{1} << button;
        }
        return true;
    }

    static bool IsTakeableGlobal(int32_t b) {
        return b == VolumeUp || b == VolumeDown || b == Mute ||
               (b >= MacroButton1 && b <= MacroButton4);
    }

    bool ReadButtons(const toml::table& table, std::array<std::optional<ProfileAction>, kButtonCount>& out) {
        for (const auto& [key, node] : table) {
            const std::string name(key.str());
            const int line = LineOf(key.source());
            const int32_t button = RemoteButtonFromName(name.c_str());
            if (button < 0) {
                std::string message = "unknown button \"" + name + "\"";
                for (int32_t b = 0; b < kButtonCount; ++b) {
                    if (SameIgnoringCase(name, RemoteButtonName(b)))
                        message += " (did you mean " + std::string(RemoteButtonName(b)) + "?)";
                }
                return Fail(line, message);
            }
            ProfileAction action;
            action.line = line;
            if (!ReadAction(node, action)) return false;
            out[static_cast<size_t>(button)] = std::move(action);
        }
        return true;
    }

    bool ReadChord(const toml::node& at, std::string_view text, bool scan, ProfileStep& step) {
        step.kind = ProfileStep::Keys;
        step.chord = ProfileChord{};
        step.chord.scanCodes = scan;
        const std::string quoted = "\"" + std::string(text) + "\"";
        if (text.empty()) return Fail(at, "an empty key chord");
        size_t start = 0;
        for (;;) {
            const size_t plus = text.find('+', start);
            const std::string_view part =
                text.substr(start, plus == std::string_view::npos ? std::string_view::npos
                                                                  : plus - start);
            if (part.empty()) return Fail(at, "a key chord with an empty part: " + quoted);
            if (plus == std::string_view::npos) {
                const int key = KeyFromFileName(part);
                if (key <= 0)
                    return Fail(at, "unknown key name \"" + std::string(part) + "\" in " + quoted);
                step.chord.key = static_cast<uint8_t>(key);
                return true;
            }
            if (SameIgnoringCase(part, "Ctrl")) {
                step.chord.ctrl = true;
            } else if (SameIgnoringCase(part, "Alt")) {
                step.chord.alt = true;
            } else if (SameIgnoringCase(part, "Shift")) {
                step.chord.shift = true;
            } else if (SameIgnoringCase(part, "Win")) {
                step.chord.win = true;
            } else {
                return Fail(at, "unknown modifier \"" + std::string(part) + "\" in " + quoted +
                                    " (Ctrl, Alt, Shift or Win)");
            }
            start = plus + 1;
        }
    }

    bool ReadInteger(const toml::node& node, const char* what, int64_t low, int64_t high,
                     int64_t& out) {
        const auto* value = node.as_integer();
        if (value == nullptr) return Fail(node, std::string(what) + " must be a number");
        if (value->get() < low || value->get() > high)
            return Fail(node, std::string(what) + " " + std::to_string(value->get()) +
                                  " is out of range (" + std::to_string(low) + " to " +
                                  std::to_string(high) + ")");
        out = value->get();
        return true;
    }

    bool ReadTableStep(const toml::table& table, ProfileStep& step) {
        const auto has = [&](const char* k) { return table.contains(k); };
        const int kinds = has("keys") + has("app_command") + has("message") + has("open");
        if (kinds != 1)
            return Fail(table, kinds == 0 ? "unknown action: a table needs keys, app_command, "
                                            "message or open"
                                          : "an action table names more than one action");
        const auto only = [&](std::initializer_list<const char*> allowed) {
            for (const auto& entry : table) {
                const std::string_view name = entry.first.str();
                if (std::none_of(allowed.begin(), allowed.end(),
                                 [&](const char* a) { return name == a; }))
                    return Fail(LineOf(entry.first.source()),
                                "unknown key \"" + std::string(name) + "\" in an action");
            }
            return true;
        };
        if (has("keys")) {
            if (!only({"keys", "scancode"})) return false;
            const auto* keys = table["keys"].as_string();
            if (keys == nullptr) return Fail(*table.get("keys"), "keys must be a string");
            bool scan = false;
            if (const toml::node* flag = table.get("scancode")) {
                const auto* b = flag->as_boolean();
                if (b == nullptr) return Fail(*flag, "scancode must be true or false");
                scan = b->get();
            }
            return ReadChord(*table.get("keys"), keys->get(), scan, step);
        }
        if (has("app_command")) {
            if (!only({"app_command"})) return false;
            const toml::node& node = *table.get("app_command");
            const auto* name = node.as_string();
            if (name == nullptr) return Fail(node, "app_command must be a string");
            for (const AppCommandName& c : kAppCommands) {
                if (name->get() == c.name) {
                    step.kind = ProfileStep::AppCommand;
                    step.appCommand = c.command;
                    return true;
                }
            }
            return Fail(node, "unknown app command \"" + name->get() + "\"");
        }
        if (has("message")) {
            if (!only({"message", "wparam", "lparam", "class"})) return false;
            int64_t value = 0;
            step.kind = ProfileStep::Message;
            if (!ReadInteger(*table.get("message"), "message", 0, 0xFFFF, value)) return false;
            step.message = static_cast<MessageId>(value);
            if (const toml::node* w = table.get("wparam")) {
                if (!ReadInteger(*w, "wparam", 0, 0xFFFFFFFFLL, value)) return false;
                step.wParam = static_cast<WParam>(value);
            }
            if (const toml::node* l = table.get("lparam")) {
                if (!ReadInteger(*l, "lparam", INT32_MIN, INT32_MAX, value)) return false;
                step.lParam = static_cast<LParam>(value);
            }
            if (const toml::node* c = table.get("class")) {
                if (!ReadText(*c, "class", kClassBufferChars - 1, step.text)) return false;
            }
            return true;
        }
        if (!only({"open"})) return false;
        if (layer_ == ProfileLayer::Shipped)
            return Fail(*table.get("open"), "\"open\" is for the user's own files only");
        step.kind = ProfileStep::Open;
        return ReadText(*table.get("open"), "open", kMaxOpenBytes, step.text);
    }

    bool ReadStep(const toml::node& node, ProfileStep& step) {
        if (const auto* text = node.as_string()) return ReadChord(node, text->get(), false, step);
        if (const toml::table* table = node.as_table()) return ReadTableStep(*table, step);
        return Fail(node, "unknown action: a sequence holds key chords and action tables");
    }

    bool ReadAction(const toml::node& node, ProfileAction& action) {
        if (const auto* text = node.as_string()) {
            if (SameIgnoringCase(text->get(), "none")) {
                action.kind = ProfileAction::Nothing;
                return true;
            }
            if (SameIgnoringCase(text->get(), "default")) {
                action.kind = ProfileAction::Default;
                return true;
            }
        }
        action.kind = ProfileAction::Steps;
        if (const toml::array* list = node.as_array()) {
            if (list->empty()) return Fail(node, "an empty sequence");
            if (list->size() > kMaxSequence)
                return Fail(node, "a sequence of " + std::to_string(list->size()) +
                                      " actions (at most 16)");
            for (const toml::node& each : *list) {
                if (const auto* text = each.as_string();
                    text != nullptr && (SameIgnoringCase(text->get(), "none") ||
                                        SameIgnoringCase(text->get(), "default")))
                    return Fail(each, "\"" + text->get() + "\" cannot be part of a sequence");
                ProfileStep step;
                if (!ReadStep(each, step)) return false;
                action.steps.push_back(std::move(step));
            }
            return true;
        }
        if (node.is_string() || node.is_table()) {
            ProfileStep step;
            if (!ReadStep(node, step)) return false;
            action.steps.push_back(std::move(step));
            return true;
        }
        return Fail(node, "unknown action: write a key chord, a list, a table, \"none\" or "
                          "\"default\"");
    }

    ProfileLayer layer_;
    const ProfileText& text_;
    int line_ = 0;
    std::string message_;
};

}  // namespace

namespace profile_model {

const char* AppCommandNameOf(uint16_t command) {
    for (const AppCommandName& c : kAppCommands) {
        if (c.command == command) return c.name;
    }
    return nullptr;
}

bool NameOrder(const ProfileFile& a, const ProfileFile& b) {
    const std::string la = Lower(a.fileName), lb = Lower(b.fileName);
    return la != lb ? la < lb : a.fileName < b.fileName;
}

void ReadProfileLayer(ProfileLayer layer, const std::vector<ProfileText>& texts,
               std::vector<ProfileFile>& files, std::vector<ProfileProblem>& problems) {
    std::vector<ProfileFile> read;
    for (const ProfileText& text : texts) {
        ProfileProblem problem;
        if (std::optional<ProfileFile> file = Reader(layer, text).Read(problem)) {
            read.push_back(std::move(*file));
        } else {
            problems.push_back(std::move(problem));
        }
    }
    std::stable_sort(read.begin(), read.end(), NameOrder);
    // Two files of one layer cannot both claim one match: the first by name keeps it.
    for (ProfileFile& file : read) {
        const ProfileFile* claimed = nullptr;
        const ProfileMatch* at = nullptr;
        for (const ProfileFile& kept : files) {
            for (const ProfileMatch& mine : file.matches) {
                for (const ProfileMatch& theirs : kept.matches) {
                    if (claimed == nullptr && mine.SameAs(theirs)) {
                        claimed = &kept;
                        at = &mine;
                    }
                }
            }
        }
        if (claimed != nullptr) {
            problems.push_back(ProfileProblem{layer, file.fileName, at->line,
                                              "the same match as " + claimed->fileName});
            continue;
        }
        files.push_back(std::move(file));
    }
}

}  // namespace profile_model

bool profile_model::PrecheckTomlText(std::string_view text, std::string& escaped, int& line,
                                     std::string& message) {
    if (const int bad = FirstLineNotUtf8(text); bad != 0) {
        line = bad;
        message = "not UTF-8";
        return false;
    }
    unsigned control = 0;
    if (const int bad = FirstLineWithControlCharacter(text, control); bad != 0) {
        static const char kHex[] = "0123456789ABCDEF";
        line = bad;
        message = std::string("a control character (0x") + kHex[control >> 4] +
                  kHex[control & 0xF] + ")";
        return false;
    }
    if (const int bad = FirstLineWithStrayCharacter(text); bad != 0) {
        line = bad;
        message = "a character beyond ASCII outside a string or comment";
        return false;
    }
    if (const int bad = FirstBadTableHeader(text); bad != 0) {
        line = bad;
        message = "a table name must follow \"[\"";
        return false;
    }
    escaped = EscapedBeyondAscii(text);
    return true;
}

std::string profile_model::UnescapedTomlText(std::string_view text) { return Unescaped(text); }
