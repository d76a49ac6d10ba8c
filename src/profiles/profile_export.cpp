// A built-in row, or the file in force for a program, as a profile file to edit; and the
// programs the remote knows, with what each button does there, as the settings list them.
#include <string>
#include <vector>

#include "desktop/input.h"
#include "profiles/catalogue.h"
#include "profiles/keymaps/keymaps.h"
#include "profiles/profile_files.h"
#include "profiles/profile_model.h"
#include "state/key_names.h"

// Quotes, backslashes and control characters escaped, so that any title, process or
// name the files are given reads back as it was.
std::string TomlQuoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7f) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

using catalogue::Test;

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Rows whose handler decides at each press: what a file cannot say about them.
struct HandlerRow {
    int row;
    const char* why;
};
constexpr HandlerRow kHandlerRows[] = {
    {6, "window messages it sends and waits for"},
    {12, "clicks at fixed places in the player"},
    {30, "keys chosen by the window's title"},
    {78, "the player window raised before its keys"},
    {94, "timed keys"},
    {97, "keys chosen by the window's class"},
    {107, "keys chosen by the window's title"},
    {125, "letter entry"},
    {136, "one click"},
    {138, "one click"},
    {149, "keys chosen by the window's title"},
    {150, "keys chosen by the Windows version"},
};

const char* HandlerReason(int row) {
    for (const HandlerRow& h : kHandlerRows) {
        if (h.row == row) return h.why;
    }
    return "messages, clicks or keys chosen at each press";
}

// One keystroke as a file writes it; false when a file cannot say it.
bool StrokeText(const keys::Stroke& s, std::string& out, std::string& why) {
    const std::string key = FileKeyName(s.vk);
    if (key.empty()) {
        why = "its key " + KeyName(s.vk) + " has no name in a file";
        return false;
    }
    std::string chord;
    if ((s.mods & keys::kCtrl) != 0) chord += "Ctrl+";
    if ((s.mods & keys::kAlt) != 0) chord += "Alt+";
    if ((s.mods & keys::kShift) != 0) chord += "Shift+";
    chord += key;
    if (!s.UsesScan()) {
        out = TomlQuoted(chord);
        return true;
    }
    const KeyScanCode own = ScanCodeOf(s.vk);
    if (own.scan != s.scan || own.extended != s.extended) {
        why = "it sends a scan code that is not its key's own";
        return false;
    }
    out = "{ keys = " + TomlQuoted(chord) + ", scancode = true }";
    return true;
}

bool StrokesText(const keys::Strokes& strokes, std::string& out, std::string& why) {
    if (strokes.count == 0) {
        out = "\"none\"";
        return true;
    }
    std::vector<std::string> parts;
    for (const keys::Stroke& s : strokes) {
        std::string one;
        if (!StrokeText(s, one, why)) return false;
        parts.push_back(one);
    }
    if (parts.size() == 1) {
        out = parts[0];
        return true;
    }
    out = "[";
    for (size_t i = 0; i < parts.size(); ++i) out += (i == 0 ? "" : ", ") + parts[i];
    out += "]";
    return true;
}

// The row's clauses a match table can say: a process, with a title or class beside it.
std::vector<std::string> MatchTables(const AppProfile& row, std::vector<std::string>& notes) {
    std::vector<std::string> tables;
    for (uint8_t c = 0; c < row.rule.count; ++c) {
        const catalogue::Clause& clause = row.rule.clauses[c];
        std::string process, title, className, left;
        for (uint8_t i = 0; i < clause.count; ++i) {
            const catalogue::Condition& cond = clause.conditions[i];
            const std::string text = cond.Text() != nullptr ? cond.Text() : "";
            if (cond.negated) {
                left = "its test that the title does not contain \"" + text + "\"";
                continue;
            }
            switch (cond.test) {
                case Test::ProcessIs: process = text; break;
                case Test::TitleContains:
                case Test::LowerTitleContains: title = text; break;
                case Test::ClassIs: className = text; break;
                case Test::ProcessContains:
                    left = "its test for \"" + text + "\" within the program's name";
                    break;
            }
        }
        if (process.empty()) {
            notes.push_back("the row also recognises its program " +
                            (left.empty() ? std::string("by the window alone") : "by " + left) +
                            "; a file needs the program's process name");
            continue;
        }
        if (!left.empty()) notes.push_back("the match leaves out " + left);
        std::string table = "{ process = " + TomlQuoted(process);
        if (!title.empty()) table += ", title_contains = " + TomlQuoted(title);
        if (!className.empty()) table += ", class = " + TomlQuoted(className);
        tables.push_back(table + " }");
    }
    return tables;
}

const keys::KeyMap* TableOf(const AppProfile& row) {
    if (row.table != nullptr) return row.table;
    if (row.number == 136) return &keymaps::kRow136;
    if (row.number == 138) return &keymaps::kRow138;
    return nullptr;
}

ProfileExport ExportRow(const AppProfile& row) {
    ProfileExport out;
    const std::vector<std::string> tables = MatchTables(row, out.notes);
    const std::string number = std::to_string(row.number);
    if (tables.empty()) {
        out.error = "row " + number +
                    " does not recognise its program by a process name, which a file needs";
        return out;
    }
    const std::string first = tables.front();
    const size_t open = first.find('"') + 1;
    const std::string process = first.substr(open, first.find('"', open) - open);
    std::string stem = process;
    if (const size_t dot = stem.rfind('.'); dot != std::string::npos && dot > 0) stem.resize(dot);

    std::string buttons;
    const keys::KeyMap* table = TableOf(row);
    for (int32_t b = 0; b < kButtonCount; ++b) {
        const keys::ButtonKeys* entry = table != nullptr ? table->Find(b) : nullptr;
        if (row.number == 136 || row.number == 138) {
            if (b == Menu) {
                out.notes.push_back("Menu: " + std::string(HandlerReason(row.number)) +
                                    "; stays with the built-in row");
                continue;
            }
        }
        if (entry == nullptr) continue;
        std::string value, why;
        if (!StrokesText(entry->strokes, value, why)) {
            out.notes.push_back(std::string(RemoteButtonName(b)) + ": " + why +
                                "; stays with the built-in row");
            continue;
        }
        buttons += std::string(RemoteButtonName(b)) + " = " + value + "\n";
    }
    if (table == nullptr)
        out.notes.push_back("every button: " + std::string(HandlerReason(row.number)) +
                            "; they stay with the built-in row");

    out.text = "# Exported from the built-in row " + number + " (" + process +
               "). A button this file does not name\n# keeps what the row does.\n";
    for (const std::string& note : out.notes) out.text += "# Not exported: " + note + "\n";
    out.text += "\n[program]\nname = " + TomlQuoted(stem) + "\nmatch = ";
    if (tables.size() == 1) {
        out.text += tables[0] + "\n";
    } else {
        out.text += "[\n";
        for (const std::string& t : tables) out.text += "    " + t + ",\n";
        out.text += "]\n";
    }
    out.text += "\n[buttons]\n" + buttons;
    out.fileName = stem + ".toml";
    out.ok = true;
    return out;
}

// The first row (dispatch order) that a process alone is enough to recognise.
int RowForProcess(const std::string& lower) {
    const AppProfile* rows = ProfileCatalogue();
    for (int i = 0; i < kCatalogueRows; ++i) {
        const catalogue::Rule& rule = rows[i].rule;
        for (uint8_t c = 0; c < rule.count; ++c) {
            const catalogue::Clause& clause = rule.clauses[c];
            bool holds = clause.count > 0;
            for (uint8_t k = 0; k < clause.count && holds; ++k) {
                const catalogue::Condition& cond = clause.conditions[k];
                const char* text = cond.Text();
                if (text == nullptr || cond.negated) {
                    holds = false;
                } else if (cond.test == Test::ProcessIs) {
                    holds = lower == text;
                } else if (cond.test == Test::ProcessContains) {
                    holds = lower.find(text) != std::string::npos;
                } else {
                    holds = false;
                }
            }
            if (holds) return rows[i].number;
        }
    }
    return -1;
}

}  // namespace

ProfileExport ExportProfile(const std::string& rowOrProcess) {
    std::string what = rowOrProcess;
    while (!what.empty() && (what.back() == ' ' || what.back() == '\t')) what.pop_back();
    while (!what.empty() && (what.front() == ' ' || what.front() == '\t')) what.erase(0, 1);
    ProfileExport out;
    if (what.empty()) {
        out.error = "name a built-in row (1 to 155) or a program's process name";
        return out;
    }
    if (what.find_first_not_of("0123456789") == std::string::npos) {
        const int row = what.size() <= 3 ? std::stoi(what) : 0;
        if (row < 1 || row > kCatalogueRows) {
            out.error = "there is no built-in row " + what + " (the rows are 1 to 155)";
            return out;
        }
        return ExportRow(CatalogueRow(row));
    }
    const std::string lower = LowerAscii(what);
    if (const ProfileSnapshot set = ProfilesInForce()) {
        for (const auto* files : {&set->user, &set->shipped}) {
            for (const profile_model::ProfileFile& file : *files) {
                for (const profile_model::ProfileMatch& m : file.matches) {
                    if (m.process != lower) continue;
                    out.ok = true;
                    out.fileName = file.fileName;
                    out.text = file.text;
                    return out;
                }
            }
        }
    }
    const int row = RowForProcess(lower);
    if (row < 0) {
        out.error = "no built-in row and no profile file knows " + what;
        return out;
    }
    return ExportRow(CatalogueRow(row));
}

// ---- The programs the remote knows, as the settings window lists them.

namespace {

std::string RowName(const AppProfile& row) {
    if (row.number == 1) return "Cooperating windows";
    const catalogue::Condition& c = row.rule.clauses[0].conditions[0];
    const std::string text = c.Text() != nullptr ? c.Text() : "";
    switch (c.test) {
        case Test::TitleContains:
        case Test::LowerTitleContains: return "\"" + text + "\" windows";
        case Test::ClassIs: return text + " windows";
        default: return text;
    }
}

// The process a row names first, "" when it names none whole.
std::string RowProcess(const AppProfile& row) {
    for (uint8_t c = 0; c < row.rule.count; ++c) {
        const catalogue::Clause& clause = row.rule.clauses[c];
        for (uint8_t i = 0; i < clause.count; ++i) {
            const catalogue::Condition& cond = clause.conditions[i];
            if (cond.test == Test::ProcessIs && !cond.negated && cond.Text() != nullptr)
                return cond.Text();
        }
    }
    return std::string();
}

bool GlobalButton(int32_t b) {
    return b == Power || b == VolumeUp || b == VolumeDown || b == Mute ||
           (b >= MacroButton1 && b <= MacroButton4);
}

const profile_model::ProfileFile* FileFor(const std::vector<profile_model::ProfileFile>& files,
                                          const std::string& process,
                                          const std::string& preferred) {
    const profile_model::ProfileFile* first = nullptr;
    for (const profile_model::ProfileFile& file : files) {
        for (const profile_model::ProfileMatch& m : file.matches) {
            if (m.process != process) continue;
            if (file.fileName == preferred) return &file;
            if (first == nullptr) first = &file;
        }
    }
    return first;
}

// What the built-in row does with the button; false when it leaves it to the default key.
bool RowUse(const AppProfile& row, int32_t b, ButtonUse& use) {
    use.from = "built-in row " + std::to_string(row.number);
    const keys::KeyMap* table = TableOf(row);
    if (table == nullptr || ((row.number == 136 || row.number == 138) && b == Menu)) {
        use.kind = ButtonUse::Layer;
        use.action = std::string("decided at each press: ") + HandlerReason(row.number);
        return true;
    }
    const keys::ButtonKeys* entry = table->Find(b);
    if (entry == nullptr) return false;
    std::string value, why;
    use.kind = ButtonUse::Layer;
    if (!StrokesText(entry->strokes, value, why)) {
        use.action = "keys a file cannot name";
        return true;
    }
    // The file's spelling without its quotes and brackets reads as the keys.
    std::string shown;
    for (const char c : value) {
        if (c != '"' && c != '[' && c != ']') shown += c;
    }
    use.action = shown;
    return true;
}

}  // namespace

std::vector<KnownProgram> KnownPrograms() {
    std::vector<KnownProgram> out;
    if (const ProfileSnapshot set = ProfilesInForce()) {
        for (const auto* files : {&set->user, &set->shipped}) {
            for (const profile_model::ProfileFile& file : *files) {
                KnownProgram p;
                p.source =
                    file.layer == ProfileLayer::User ? ProgramSource::User : ProgramSource::Shipped;
                p.name = file.name;
                p.process = file.matches.empty() ? std::string() : file.matches.front().process;
                p.fileName = file.fileName;
                out.push_back(std::move(p));
            }
        }
    }
    const AppProfile* rows = ProfileCatalogue();
    for (int i = 0; i < kCatalogueRows; ++i) {
        KnownProgram p;
        p.name = RowName(rows[i]);
        p.process = RowProcess(rows[i]);
        p.row = rows[i].number;
        out.push_back(std::move(p));
    }
    return out;
}

std::vector<ButtonUse> ButtonsOf(const KnownProgram& program) {
    std::vector<ButtonUse> uses(kButtonCount);
    const std::string process = LowerAscii(program.process);
    const ProfileSnapshot set = ProfilesInForce();
    const profile_model::ProfileFile* layers[2] = {nullptr, nullptr};
    if (set != nullptr && !process.empty()) {
        const std::string own = program.source == ProgramSource::BuiltIn ? "" : program.fileName;
        layers[0] = FileFor(set->user, process,
                            program.source == ProgramSource::User ? own : std::string());
        layers[1] = FileFor(set->shipped, process,
                            program.source == ProgramSource::Shipped ? own : std::string());
    }
    int row = program.row;
    if (row == 0 && !process.empty()) row = RowForProcess(process);
    for (int32_t b = 0; b < kButtonCount; ++b) {
        ButtonUse& use = uses[static_cast<size_t>(b)];
        bool decided = false;
        for (const profile_model::ProfileFile* file : layers) {
            if (file == nullptr) continue;
            const auto& action = file->press[static_cast<size_t>(b)];
            const bool takes =
                !GlobalButton(b) || (b != Power && (file->takesGlobal >> b & 1) != 0);
            if (!action || action->kind == profile_model::ProfileAction::Default || !takes)
                continue;
            use.kind = ButtonUse::Layer;
            use.action = profile_model::DescribeAction(*action);
            use.from = profile_model::WhereInFile(*file, action->line);
            decided = true;
            break;
        }
        if (decided) continue;
        if (GlobalButton(b)) {
            use.kind = ButtonUse::Global;
            continue;
        }
        if (row > 0 && RowUse(CatalogueRow(row), b, use)) continue;
        use = ButtonUse{};
    }
    return uses;
}
