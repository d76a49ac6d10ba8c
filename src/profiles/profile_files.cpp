#include "profiles/profile_files.h"

// Parse errors come back as values with their source position: nothing a file says
// throws through a press or the folder watcher.
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "profiles/handler_memory.h"
#include "profiles/profile_model.h"
#include "receiver/remote_button.h"
#include "state/key_names.h"
#include "state/messages.h"
#include "state/trace.h"

namespace {

using namespace profile_model;

constexpr size_t kMaxSequence = 16;
constexpr size_t kMaxNameChars = 64;
constexpr size_t kMaxPatternBytes = 1024;
constexpr size_t kMaxOpenBytes = 2048;
constexpr int kHoldMinMs = 400, kHoldMaxMs = 1500, kHoldDefaultMs = 500;
constexpr const char* kFrameHost = "applicationframehost.exe";
constexpr const char* kHostedAppClass = "Windows.UI.Core.CoreWindow";

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

// Without regard to case, as far as ASCII goes: file names, processes, titles and
// classes. Other bytes compare as they are.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}
bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

const char* LayerWord(ProfileLayer layer) {
    return layer == ProfileLayer::User ? "user" : "shipped";
}

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
        if (const int bad = FirstLineNotUtf8(text_.text); bad != 0) {
            Fail(bad, "not UTF-8");
            return std::nullopt;
        }
        toml::parse_result parsed = toml::parse(std::string_view(text_.text));
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
        const std::string& text = value->get();
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
            } else if (k == "title_contains") {
                if (!ReadText(value, "title_contains", kMaxPatternBytes, text)) return false;
                match.title = Lower(text);
            } else if (k == "class") {
                if (!ReadText(value, "class", kClassBufferChars - 1, text)) return false;
                match.className = Lower(text);
            } else {
                return Fail(LineOf(key.source()), "unknown key \"" + std::string(k) + "\" in a match");
            }
        }
        if (match.process.empty()) return Fail(node, "a match without \"process\"");
        match.specificity = 1 + (match.title.empty() ? 0 : 1) + (match.className.empty() ? 0 : 1);
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

bool NameOrder(const ProfileFile& a, const ProfileFile& b) {
    const std::string la = Lower(a.fileName), lb = Lower(b.fileName);
    return la != lb ? la < lb : a.fileName < b.fileName;
}

struct Switch {
    std::atomic<std::shared_ptr<const ProfileSet>> set;
    std::atomic<std::shared_ptr<const std::vector<ProfileProblem>>> problems;
    std::atomic<bool> any{false};
    std::atomic<bool> elevated{false};
};
Switch g_profiles;

// The facts of one window that the matches ask about, each read once.
class WindowView {
public:
    explicit WindowView(WindowHandle window) : window_(window) {}
    const std::string& Process() {
        if (!processRead_) {
            processRead_ = true;
            process_ = Lower(ProfileProcessOfWindow(window_));
        }
        return process_;
    }
    const std::string& Title() {
        if (!titleRead_) {
            titleRead_ = true;
            Desktop* desktop = Os().desktop;
            if (desktop != nullptr && window_ != 0 && desktop->WindowText(window_, 0, title_)) {
                title_ = Lower(title_);
            } else {
                title_.clear();
            }
        }
        return title_;
    }
    const std::string& Class() {
        if (!classRead_) {
            classRead_ = true;
            Desktop* desktop = Os().desktop;
            className_ = desktop == nullptr || window_ == 0
                             ? std::string()
                             : Lower(desktop->ClassName(window_, kClassBufferChars));
        }
        return className_;
    }

private:
    WindowHandle window_;
    bool processRead_ = false, titleRead_ = false, classRead_ = false;
    std::string process_, title_, className_;
};

bool Holds(const ProfileMatch& match, WindowView& view) {
    if (!match.title.empty() && view.Title().find(match.title) == std::string::npos) return false;
    if (!match.className.empty() && view.Class() != match.className) return false;
    return true;
}

// The file of one layer that decides for the window, and another as specific, if any.
struct LayerChoice {
    const ProfileFile* file = nullptr;
    const ProfileFile* alsoMatched = nullptr;
};

LayerChoice Choose(const ProfileSet& set, ProfileLayer layer, WindowView& view) {
    LayerChoice choice;
    const auto& index = set.byProcess[layer == ProfileLayer::User ? 0 : 1];
    if (index.empty() || view.Process().empty()) return choice;
    const auto found = index.find(view.Process());
    if (found == index.end()) return choice;
    const auto& files = layer == ProfileLayer::User ? set.user : set.shipped;
    int best = 0;
    // The candidates are in file-name order: the first of equals wins.
    for (const ProfileSet::Candidate& c : found->second) {
        const ProfileFile& file = files[c.file];
        const ProfileMatch& match = file.matches[c.match];
        if (match.specificity < best || &file == choice.file) continue;
        if (!Holds(match, view)) continue;
        if (match.specificity > best) {
            best = match.specificity;
            choice.file = &file;
            choice.alsoMatched = nullptr;
        } else if (choice.alsoMatched == nullptr) {
            choice.alsoMatched = &file;
        }
    }
    return choice;
}

WindowHandle ForegroundHandle() {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? 0 : desktop->ForegroundWindow();
}

std::string Where(const ProfileFile& file, int line) {
    std::string text = std::string(LayerWord(file.layer)) + " profile " + file.fileName;
    if (line > 0) text += ":" + std::to_string(line);
    return text;
}

std::string Named(const ProfileFile& file, int line) {
    return Where(file, line) + " \"" + file.name + "\"";
}

void RunStep(const ProfileStep& step, const ProfileFile& file) {
    Desktop* desktop = Os().desktop;
    switch (step.kind) {
        case ProfileStep::Keys: {
            const ProfileChord& c = step.chord;
            SendChord(c.key, c.ctrl, c.alt, c.shift, c.win, c.scanCodes);
            return;
        }
        case ProfileStep::AppCommand: {
            if (desktop == nullptr) return;
            const WindowHandle front = desktop->ForegroundWindow();
            const LParam lParam = static_cast<LParam>(static_cast<uint32_t>(step.appCommand) << 16);
            const bool ok = desktop->Post(front, wm::APPCOMMAND, front, lParam);
            TraceMessage(false, front, wm::APPCOMMAND, front, lParam, ok);
            return;
        }
        case ProfileStep::Message: {
            if (desktop == nullptr) return;
            // Posted, never sent: a program that stops answering cannot hold the remote.
            const WindowHandle target =
                step.text.empty() ? desktop->ForegroundWindow() : FindWindowByClass(step.text);
            if (target == 0) {
                TraceAction([&] { return "no window of class " + step.text + " for the message"; });
                return;
            }
            const bool ok = desktop->Post(target, step.message, step.wParam, step.lParam);
            TraceMessage(false, target, step.message, step.wParam, step.lParam, ok);
            return;
        }
        case ProfileStep::Open: {
            // The loader keeps `open` out of shipped files; checked again here, where it acts.
            if (file.layer != ProfileLayer::User) return;
            if (g_profiles.elevated.load()) {
                TraceAction([&] {
                    return "open " + step.text + " refused: the program runs as administrator";
                });
                return;
            }
            Shell* shell = Os().shell;
            const intptr_t result =
                shell == nullptr ? 0 : shell->Execute(0, "open", step.text, "", "", kSwShowNormal);
            TraceAction([&] {
                return "open " + step.text +
                       (result > 32 ? std::string() : " (failed, " + std::to_string(result) + ")");
            });
            return;
        }
    }
}

void RunAction(const ProfileAction& action, const ProfileFile& file) {
    for (const ProfileStep& step : action.steps) RunStep(step, file);
}

const ProfileAction* ActionFor(const ProfileFile* file, int32_t button) {
    if (file == nullptr || button < 0 || button >= kButtonCount) return nullptr;
    const std::optional<ProfileAction>& action = file->press[static_cast<size_t>(button)];
    return action ? &*action : nullptr;
}

bool Decides(const ProfileAction* action) {
    return action != nullptr && action->kind != ProfileAction::Default;
}

const ProfileAction* HoldActionFor(const ProfileFile* file, int32_t button) {
    if (file == nullptr || button < 0 || button >= kButtonCount) return nullptr;
    const std::optional<ProfileAction>& action = file->hold[static_cast<size_t>(button)];
    return Decides(action ? &*action : nullptr) ? &*action : nullptr;
}

}  // namespace

namespace profile_model {

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

struct ProfileHoldWait {
    ProfileSnapshot set;  // keeps the file of the press in memory until it has ended
    const ProfileFile* file = nullptr;
    int32_t button = -1;
    const ProfileAction* tap = nullptr;  // null: the next layer took the press already
    const ProfileAction* hold = nullptr;
    uint32_t start = 0;
    uint32_t lastSeen = 0;
    bool held = false;
};

namespace {

void StopHoldTimer() {
    if (UserInterface* ui = Os().ui) (void)ui->KillTimer(MainWindowHandle(), kProfileHoldTimer);
}

// The timer comes back when something may be due: the hold, or the end of a press whose
// frames stop coming.
void ArmHoldTimerLocked(const ProfileHoldWait& wait, uint32_t now) {
    UserInterface* ui = Os().ui;
    if (ui == nullptr) return;
    const uint32_t sinceSeen = now - wait.lastSeen;
    uint32_t next = sinceSeen > kProfileHoldReleaseMs ? 0 : kProfileHoldReleaseMs + 1 - sinceSeen;
    if (!wait.held) {
        const uint32_t since = now - wait.start, holdMs = static_cast<uint32_t>(wait.file->holdMs);
        next = std::min(next, since >= holdMs ? 0 : holdMs - since);
    }
    (void)ui->SetTimer(MainWindowHandle(), kProfileHoldTimer, std::max(next, kProfileHoldPollMs));
}

// With the hold lock held: the hold action once the press has lasted hold_ms.
void HoldIfDueLocked(ProfileHoldWait& wait, uint32_t now) {
    if (wait.held || now - wait.start < static_cast<uint32_t>(wait.file->holdMs)) return;
    wait.held = true;
    TraceStep([&] {
        return Named(*wait.file, wait.hold->line) + " held " + RemoteButtonName(wait.button) +
               " for " + std::to_string(wait.file->holdMs) + " ms";
    });
    RunAction(*wait.hold, *wait.file);
}

// With the hold lock held: the press has ended; a press let go before hold_ms does what
// the button does.
void EndWaitLocked(std::shared_ptr<ProfileHoldWait>& slot) {
    const std::shared_ptr<ProfileHoldWait> wait = std::move(slot);
    slot.reset();
    StopHoldTimer();
    if (wait == nullptr || wait->held || wait->tap == nullptr) return;
    TraceStep([&] {
        return Named(*wait->file, wait->tap->line) + " " + RemoteButtonName(wait->button) +
               " let go before " + std::to_string(wait->file->holdMs) + " ms";
    });
    RunAction(*wait->tap, *wait->file);
}

// The press waits for its end; tap null when the next layer has taken it already.
void StartWait(const ProfileSnapshot& set, const ProfileFile& file, int32_t button,
               const ProfileAction* tap, const ProfileAction* hold) {
    auto wait = std::make_shared<ProfileHoldWait>();
    wait->set = set;
    wait->file = &file;
    wait->button = button;
    wait->tap = tap;
    wait->hold = hold;
    wait->start = wait->lastSeen = TickNow();
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.holdLock);
    EndWaitLocked(memory.holdWait);
    memory.holdWait = std::move(wait);
    ArmHoldTimerLocked(*memory.holdWait, memory.holdWait->start);
}

// The user's file decides before the shipped one; each traces what it did with the button.
ProfileAnswer Resolve(const ProfileSnapshot& snapshot, int32_t button, bool global) {
    const ProfileSet& set = *snapshot;
    WindowView view(ForegroundHandle());
    const LayerChoice user = Choose(set, ProfileLayer::User, view);
    const LayerChoice shipped = Choose(set, ProfileLayer::Shipped, view);
    if (user.file == nullptr && shipped.file == nullptr) return ProfileAnswer::NoFile;
    const uint64_t bit = uint64_t{1} << button;
    const ProfileFile* holdFile = nullptr;
    for (const LayerChoice* choice : {&user, &shipped}) {
        if (holdFile == nullptr && HoldActionFor(choice->file, button) != nullptr)
            holdFile = choice->file;
    }
    for (const LayerChoice* choice : {&user, &shipped}) {
        const ProfileFile* file = choice->file;
        if (file == nullptr) continue;
        if (global && (file->takesGlobal & bit) == 0) continue;
        const ProfileAction* action = ActionFor(file, button);
        if (!Decides(action)) {
            if (!global) {
                TraceStep([&] {
                    return Named(*file, action != nullptr ? action->line : 0) + " leaves " +
                           RemoteButtonName(button);
                });
            }
            continue;
        }
        TraceStep([&] {
            std::string text = Named(*file, action->line);
            if (global) text += std::string(" takes global button ") + RemoteButtonName(button);
            if (choice == &user && Decides(ActionFor(shipped.file, button))) {
                text += " (shadows " + Where(*shipped.file, ActionFor(shipped.file, button)->line) + ")";
            } else if (!global) {
                if (const int row = ForegroundCatalogueRow(); row > 0)
                    text += " (shadows row " + std::to_string(row) + ")";
            }
            if (choice->alsoMatched != nullptr)
                text += " (also matched " + choice->alsoMatched->fileName + ")";
            if (const ProfileAction* hold = HoldActionFor(file, button); hold != nullptr && !global)
                text += ", waits to see whether it is held";
            return text;
        });
        if (const ProfileAction* hold = HoldActionFor(file, button); hold != nullptr && !global) {
            StartWait(snapshot, *file, button, action, hold);
            return ProfileAnswer::Handled;
        }
        RunAction(*action, *file);
        return ProfileAnswer::Handled;
    }
    if (global) return ProfileAnswer::NoFile;
    // No file decides the button itself: the next layer takes the press now, and the
    // file's hold action still follows if the press lasts.
    if (holdFile != nullptr) StartWait(snapshot, *holdFile, button, nullptr, HoldActionFor(holdFile, button));
    return ProfileAnswer::FellThrough;
}

std::string Describes(const ProfileSet* set, WindowHandle window) {
    if (set == nullptr) return std::string();
    WindowView view(window);
    for (const ProfileLayer layer : {ProfileLayer::User, ProfileLayer::Shipped}) {
        if (const LayerChoice c = Choose(*set, layer, view); c.file != nullptr)
            return Where(*c.file, 0);
    }
    return std::string();
}

}  // namespace

std::string ProfileProblem::Describe() const {
    std::string text = std::string(LayerWord(layer)) + " profile " + fileName;
    if (line > 0) text += ":" + std::to_string(line);
    return text + ": " + message;
}

std::vector<ProfileProblem> InstallProfiles(std::vector<ProfileText> user,
                                            std::vector<ProfileText> shipped) {
    std::vector<ProfileProblem> problems;
    auto set = std::make_shared<ProfileSet>();
    profile_model::ReadProfileLayer(ProfileLayer::User, user, set->user, problems);
    profile_model::ReadProfileLayer(ProfileLayer::Shipped, shipped, set->shipped, problems);
    for (int layer = 0; layer < 2; ++layer) {
        const auto& files = layer == 0 ? set->user : set->shipped;
        for (uint32_t f = 0; f < files.size(); ++f) {
            for (uint32_t m = 0; m < files[f].matches.size(); ++m)
                set->byProcess[layer][files[f].matches[m].process].push_back({f, m});
        }
    }
    const bool any = !set->user.empty() || !set->shipped.empty();
    g_profiles.set.store(any ? std::shared_ptr<const ProfileSet>(std::move(set)) : nullptr);
    g_profiles.any.store(any);
    RecordProfileProblems(problems);
    return problems;
}

void RecordProfileProblems(std::vector<ProfileProblem> problems) {
    g_profiles.problems.store(
        std::make_shared<const std::vector<ProfileProblem>>(std::move(problems)));
}

std::vector<ProfileProblem> ProfileProblemsInForce() {
    const auto problems = g_profiles.problems.load();
    return problems == nullptr ? std::vector<ProfileProblem>() : *problems;
}

namespace profile_model {

std::string DescribeChord(const ProfileChord& c) {
    std::string text;
    if (c.ctrl) text += "Ctrl+";
    if (c.alt) text += "Alt+";
    if (c.shift) text += "Shift+";
    if (c.win) text += "Win+";
    const std::string key = FileKeyName(c.key);
    text += key.empty() ? KeyName(c.key) : key;
    return c.scanCodes ? text + " (scan codes)" : text;
}

std::string DescribeAction(const ProfileAction& action) {
    if (action.kind == ProfileAction::Nothing) return "nothing";
    if (action.kind == ProfileAction::Default) return "default";
    std::string text;
    for (const ProfileStep& step : action.steps) {
        if (!text.empty()) text += ", ";
        switch (step.kind) {
            case ProfileStep::Keys: text += DescribeChord(step.chord); break;
            case ProfileStep::AppCommand: {
                std::string name = std::to_string(step.appCommand);
                for (const AppCommandName& c : kAppCommands) {
                    if (c.command == step.appCommand) name = c.name;
                }
                text += "app command " + name;
                break;
            }
            case ProfileStep::Message: {
                char number[16];
                std::snprintf(number, sizeof(number), "0x%X", static_cast<unsigned>(step.message));
                text += std::string("message ") + number + " (" + std::to_string(step.wParam) +
                        ", " + std::to_string(step.lParam) + ") to " +
                        (step.text.empty() ? std::string("the window in front") : step.text);
                break;
            }
            case ProfileStep::Open: text += "open " + step.text; break;
        }
    }
    return text;
}

std::string WhereInFile(const ProfileFile& file, int line) { return Where(file, line); }

}  // namespace profile_model

void SetProfilesElevated(bool elevated) { g_profiles.elevated.store(elevated); }
bool ProfilesElevated() { return g_profiles.elevated.load(); }

ProfileSnapshot ProfilesInForce() {
    // Without files, a press pays one relaxed load here.
    if (!g_profiles.any.load(std::memory_order_relaxed)) return nullptr;
    return g_profiles.set.load();
}

ProfileAnswer RunProfileButton(const ProfileSnapshot& profiles, int32_t button) {
    if (profiles == nullptr || button < 0 || button >= kButtonCount) return ProfileAnswer::NoFile;
    return Resolve(profiles, button, false);
}

ProfileAnswer RunProfileGlobalButton(const ProfileSnapshot& profiles, int32_t button) {
    if (profiles == nullptr || button <= Power || button >= kButtonCount)
        return ProfileAnswer::NoFile;
    return Resolve(profiles, button, true);
}

std::string ProfileForForeground() {
    const ProfileSnapshot set = ProfilesInForce();
    return Describes(set.get(), ForegroundHandle());
}

std::string ProfileForWindow(WindowHandle window) {
    const ProfileSnapshot set = ProfilesInForce();
    return Describes(set.get(), window);
}

std::string ProfileProcessOfWindow(WindowHandle window) {
    std::string process = ProcessNameOfWindow(window);
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || !SameIgnoringCase(process, kFrameHost)) return process;
    // A packaged app's window is a frame the host process owns; the app's own process owns
    // the core window inside it.
    const ProcessId host = desktop->WindowProcess(window);
    for (WindowHandle child = desktop->FirstChild(window); child != 0;
         child = desktop->NextSibling(child)) {
        if (desktop->WindowProcess(child) == host) continue;
        if (desktop->ClassName(child, kClassBufferChars) != kHostedAppClass) continue;
        if (std::string app = ProcessNameOfWindow(child); !app.empty()) return app;
    }
    return process;
}

bool ProfileHoldFrame(int32_t button, bool newPress) {
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.holdLock);
    if (memory.holdWait == nullptr) return false;
    if (newPress || memory.holdWait->button != button) {
        EndWaitLocked(memory.holdWait);
        return false;
    }
    ProfileHoldWait& wait = *memory.holdWait;
    const uint32_t now = TickNow();
    wait.lastSeen = now;
    if (wait.held || now - wait.start < static_cast<uint32_t>(wait.file->holdMs)) {
        TraceStep([&] { return Named(*wait.file, 0) + " waits for the press to end"; });
        return true;
    }
    HoldIfDueLocked(wait, now);
    return true;
}

void ProfileHoldTimer() {
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.holdLock);
    if (memory.holdWait == nullptr) {
        StopHoldTimer();
        return;
    }
    const uint32_t now = TickNow();
    if (now - memory.holdWait->lastSeen > kProfileHoldReleaseMs) {
        EndWaitLocked(memory.holdWait);
        return;
    }
    HoldIfDueLocked(*memory.holdWait, now);
    ArmHoldTimerLocked(*memory.holdWait, now);
}
