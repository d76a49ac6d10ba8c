// The pages: the common layout, the generated tables put into the hand-written pages,
// one page per catalogue row, the contents and the index.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "help.h"

#include "engine/events.h"
#include "platform/fake/fake_os.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "profiles/handlers.h"
#include "profiles/profile_files.h"
#include "receiver/remote_button.h"
#include "state/key_names.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/settings_store.h"


[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "helpgen: %s\n", what.c_str());
    std::exit(1);
}

std::string Html(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (c >= 0x80) {
                    out += "&#" + std::to_string(c) + ";";
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

std::string Code(const std::string& text) { return "<code>" + Html(text) + "</code>"; }

std::string Pad3(int n) {
    std::string s = std::to_string(n);
    return std::string(s.size() < 3 ? 3 - s.size() : 0, '0') + s;
}

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}


void Write(const fs::path& path, const std::string& text) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) Die("cannot write " + path.string());
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Die("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool KeywordBefore(const std::string& a, const std::string& b) {
    std::string la = a, lb = b;
    std::transform(la.begin(), la.end(), la.begin(), ::tolower);
    std::transform(lb.begin(), lb.end(), lb.begin(), ::tolower);
    return la != lb ? la < lb : a < b;
}

// ---------------------------------------------------------------------------------
// Pages.

std::string Layout(const std::string& title, const std::string& body, const std::string& root,
                   const std::string& version) {
    std::string nav = "<p class=\"nav\"><a href=\"" + root + "index.html\">Start</a> | <a href=\"" +
                      root + "contents.html\">Contents</a> | <a href=\"" + root +
                      "buttons.html\">Buttons</a> | <a href=\"" + root +
                      "programs.html\">Supported programs</a> | <a href=\"" + root +
                      "keywords.html\">Index</a></p>\n";
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">\n<title>" +
           Html(title) + "</title>\n<link rel=\"stylesheet\" href=\"" + root +
           "style.css\">\n</head>\n<body>\n" + nav + body +
           "\n<p class=\"foot\">Orbiscope Remote " + Html(version) + "</p>\n</body>\n</html>\n";
}

std::string Comment(const std::string& text, const std::string& name) {
    const std::string open = "<!-- " + name + ":";
    const size_t at = text.find(open);
    if (at == std::string::npos) return "";
    const size_t end = text.find("-->", at);
    std::string v = text.substr(at + open.size(), end - at - open.size());
    while (!v.empty() && v.front() == ' ') v.erase(v.begin());
    while (!v.empty() && v.back() == ' ') v.pop_back();
    return v;
}

std::vector<std::string> SplitKeywords(const std::string& list) {
    std::vector<std::string> out;
    std::istringstream in(list);
    std::string k;
    while (std::getline(in, k, ';')) {
        while (!k.empty() && k.front() == ' ') k.erase(k.begin());
        while (!k.empty() && k.back() == ' ') k.pop_back();
        if (!k.empty()) out.push_back(k);
    }
    return out;
}

const char* GlobalRole(int32_t b) {
    switch (b) {
        case Power: return "the power action chosen on the Advanced page, when the power button is enabled there (off by default)";
        case VolumeUp: return "raises the volume of the sound output (it repeats without the repeat delay)";
        case VolumeDown: return "lowers the volume of the sound output (it repeats without the repeat delay)";
        case Mute: return "switches the sound output's mute on and off";
        case MacroButton1: case MacroButton2: case MacroButton3: case MacroButton4:
            return "the action chosen for it on the Macros page";
        default: return nullptr;
    }
}

std::string ButtonsTable(std::map<int32_t, std::string>& defaults) {
    std::string t = "<table class=\"buttons\">\n<tr><th>No.</th><th>Button</th><th>What it does "
                    "when the program in front has no use for it</th></tr>\n";
    for (int32_t b = 0; b < kButtonCount; ++b) {
        std::string what;
        if (const char* g = GlobalRole(b)) {
            what = g;
        } else if (b >= Extra35) {
            what = "nothing of its own: it reaches only plug-in windows";
        } else {
            what = defaults[b] == "nothing" ? "nothing" : "sends " + defaults[b];
            if (IsArrowButton(b) || b == Ok || b == Exit) {
                what += "; in mouse mode: ";
                what += b == Ok ? "a left click" : b == Exit ? "a right click" : "moves the pointer";
            }
            if (b == Rewind || b == FastForward) what += "; repeats without the repeat delay";
        }
        t += "<tr><td><a name=\"" + ButtonAnchor(b) + "\"></a>" + std::to_string(b) + "</td><td>" +
             Html(ButtonTitle(b)) + "</td><td>" + what + "</td></tr>\n";
    }
    return t + "</table>\n";
}

std::string MacroTable() {
    std::string t = "<table>\n<tr><th>No.</th><th>Action</th></tr>\n";
    for (int32_t i = 0; i < kMacroActionCount; ++i) {
        t += "<tr><td>" + std::to_string(i) + "</td><td>" + Html(MacroActionName(i)) + "</td></tr>\n";
    }
    return t + "</table>\n";
}

std::string MacroDefaults() {
    std::map<std::string, int32_t> defaults;
    for (const SettingEntry& e : SettingsSchema()) defaults[e.name] = e.defaultValue;
    std::string t = "<table>\n<tr><th>Button</th><th>Action</th><th>Favourite</th></tr>\n";
    for (int n = 1; n <= 4; ++n) {
        const auto it = defaults.find("Macro" + std::to_string(n));
        if (it == defaults.end()) Die("no Macro" + std::to_string(n) + " in the settings schema");
        const std::string favourite =
            n == 2 ? DefaultFavorite(2, std::string("<installation folder>")) : DefaultFavorite(n, {});
        t += "<tr><td>Macro " + std::to_string(n) + "</td><td>" + Html(MacroActionName(it->second)) +
             "</td><td>" + (it->second == 0 ? Code(favourite) : std::string("(not used)")) +
             "</td></tr>\n";
    }
    return t + "</table>\n";
}

std::string SettingsDefaults() {
    std::string t = "<table>\n<tr><th>Registry value</th><th>Default</th></tr>\n";
    for (const SettingEntry& e : SettingsSchema()) {
        if (e.rule == SettingRule::Favorite) continue;
        t += "<tr><td>" + Code(e.name) + "</td><td>" + std::to_string(e.defaultValue) + "</td></tr>\n";
    }
    return t + "</table>\n";
}

// The shipped profile files, read by the program's own loader: a file it would refuse
// stops the help, as it would stop the file from working.
std::vector<ProfileOutline> LoadShippedProfiles(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::is_directory(folder)) Die("no profile folder " + folder.string());
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".toml") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<ProfileText> texts;
    for (const fs::path& f : files) texts.push_back({f.filename().string(), Read(f)});
    for (const ProfileProblem& problem : InstallProfiles({}, texts)) Die(problem.Describe());
    return OutlineProfiles(ProfilesInForce());
}

// How a file recognises its program: the processes of each title and class it asks for.
std::string DescribeMatches(const ProfileOutline& file) {
    std::vector<std::pair<std::pair<std::string, std::string>, std::vector<std::string>>> groups;
    for (const ProfileOutline::Match& m : file.matches) {
        const auto key = std::make_pair(m.title, m.className);
        auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == key; });
        if (it == groups.end()) it = groups.insert(groups.end(), {key, {}});
        it->second.push_back(m.process);
    }
    std::string out;
    for (const auto& [key, processes] : groups) {
        std::string part = processes.size() == 1 ? "the program file is " : "the program file is one of ";
        for (size_t i = 0; i < processes.size(); ++i)
            part += (i == 0 ? "" : i + 1 == processes.size() ? " and " : ", ") + Code(processes[i]);
        if (!key.first.empty()) part += " and the window title contains " + Code(key.first) + " (in any case)";
        if (!key.second.empty()) part += " and the window class is " + Code(key.second);
        out += (out.empty() ? "" : "; or ") + part;
    }
    return out;
}

// The comment lines a shipped file begins with: where its keys are documented.
std::string SourceLines(const std::string& text) {
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line) && !line.empty() && line[0] == '#') {
        size_t from = 1;
        while (from < line.size() && line[from] == ' ') ++from;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (from < line.size()) out += (out.empty() ? "" : "<br>\n") + Html(line.substr(from));
    }
    return out;
}

std::string ActionsTable(const std::map<int32_t, std::string>& actions) {
    std::string t = "<table class=\"actions\">\n<tr><th>Button</th><th>The program receives</th></tr>\n";
    for (const auto& [b, text] : actions) {
        t += "<tr><td><a href=\"buttons.html#" + ButtonAnchor(b) + "\">" + Html(ButtonTitle(b)) +
             "</a></td><td>" + text + "</td></tr>\n";
    }
    return t + "</table>\n";
}

// A page per shipped file, and the overview table of them.
std::vector<Page> WriteShippedPages(const std::vector<ProfileOutline>& files, const fs::path& out,
                                    const std::string& version, std::string& overview) {
    std::vector<Page> pages;
    auto fileOf = [](const ProfileOutline& f) {
        return "shipped-" + fs::path(f.fileName).stem().string() + ".html";
    };
    overview = "<table class=\"programs\">\n<tr><th>Program</th><th>File</th><th>Recognised when</th></tr>\n";
    for (size_t i = 0; i < files.size(); ++i) {
        const ProfileOutline& f = files[i];
        const std::string file = fileOf(f);
        const std::string rule = DescribeMatches(f);
        overview += "<tr class=\"shipped\"><td><a href=\"" + file + "\">" + Html(f.name) + "</a></td><td>" +
                    Code(f.fileName) + "</td><td>" + rule + "</td></tr>\n";
        int row = 0;
        const auto pressed = ProfileActions(f, false, row);
        const auto held = ProfileActions(f, true, row);
        std::string body = "<h1>" + Html(f.name) + "</h1>\n<p class=\"rowno\">Shipped profile file " +
                           Code(f.fileName) + "</p>\n<h2>How it is recognised</h2>\n<p>The program in "
                           "front is this one when " + rule + ".</p>\n";
        if (row > 0) {
            body += "<p>The built-in catalogue knows it too, as <a href=\"program-" + Pad3(row) +
                    ".html\">row " + std::to_string(row) + "</a>: this file comes first, and the "
                    "buttons it does not name do what that row gives them.</p>\n";
        }
        body += "<h2>What the buttons do</h2>\n" + ActionsTable(pressed);
        if (!held.empty()) {
            body += "<h2>Held for " + std::to_string(f.holdMs) + " ms</h2>\n<p>These buttons wait for "
                    "the press to end: let go sooner, they do what the table above says.</p>\n" +
                    ActionsTable(held);
        }
        std::string others;
        for (int32_t b = ChannelUp; b <= Digit0; ++b) {
            if (pressed.count(b) == 0) others += (others.empty() ? "" : ", ") + Html(ButtonTitle(b));
        }
        body += "<h2>Other buttons</h2>\n<p>";
        if (!others.empty()) {
            body += "These buttons do what they do without this file (" +
                    std::string(row > 0 ? "what row " + std::to_string(row) + " gives them"
                                        : "their usual keys") +
                    "): " + others + ". ";
        }
        body += "Power, Volume Up, Volume Down, Mute and the four macro buttons keep their own "
                "actions: a shipped file never takes them over. In <a href=\"mouse-mode.html\">mouse "
                "mode</a> the arrows, OK and Exit move and click the pointer.</p>\n";
        body += "<h2>Where the keys come from</h2>\n<p class=\"source\">" + SourceLines(f.text) + "</p>\n";
        body += "<p>Setup installs the file as <code>Profiles\\" + Html(f.fileName) + "</code> in the "
                "installation folder. A file of your own for the same program comes before it: see "
                "<a href=\"profile-files.html\">Profile files</a>.</p>\n";
        body += "<p><a href=\"programs.html\">All supported programs</a>";
        if (i > 0) body += " | <a href=\"" + fileOf(files[i - 1]) + "\">Previous file</a>";
        if (i + 1 < files.size()) body += " | <a href=\"" + fileOf(files[i + 1]) + "\">Next file</a>";
        body += "</p>\n";
        Write(out / file, Layout(f.name, body, "", version));

        Page page{file, "Shipped profile: " + f.name, {f.name}};
        for (const ProfileOutline::Match& m : f.matches) {
            if (std::find(page.keywords.begin(), page.keywords.end(), m.process) == page.keywords.end())
                page.keywords.push_back(m.process);
        }
        pages.push_back(page);
    }
    overview += "</table>\n";
    return pages;
}

void WritePages(const fs::path& source, const fs::path& profiles, const fs::path& out,
                const std::string& version, HelpPages& pages) {
    std::map<int32_t, std::string> defaults;
    for (int32_t b = 0; b < kButtonCount; ++b) defaults[b] = DefaultKey(b);

    std::string shippedOverview;
    const std::vector<ProfileOutline> shipped = LoadShippedProfiles(profiles);
    const std::vector<Page> shippedPages = WriteShippedPages(shipped, out, version, shippedOverview);
    (void)InstallProfiles({}, {});  // the catalogue's pages show the rows alone

    // The catalogue: one page per row and the overview table.
    const auto situations = Situations();
    std::vector<Page> programPages;
    std::string overview =
        "<table class=\"programs\">\n<tr><th>Row</th><th>Program</th><th>Recognised when</th></tr>\n";
    const AppProfile* rows = ProfileCatalogue();
    for (int i = 0; i < kCatalogueRows; ++i) {
        const AppProfile& row = rows[i];
        const std::string file = "program-" + Pad3(row.number) + ".html";
        const std::string name = RowName(row);
        const std::string rule = DescribeRule(row.rule);
        overview += "<tr class=\"program\"><td>" + std::to_string(row.number) + "</td><td><a href=\"" +
                    file + "\">" + Html(name) + "</a></td><td>" + rule + "</td></tr>\n";

        std::vector<Situation> list = {Situation{}};
        if (const auto it = situations.find(row.number); it != situations.end()) list = it->second;
        std::string body = "<h1>" + Html(name) + "</h1>\n<p class=\"rowno\">Catalogue row " +
                           std::to_string(row.number) + " of " + std::to_string(kCatalogueRows) +
                           "</p>\n<h2>How it is recognised</h2>\n<p>The program in front is this one "
                           "when " + rule + ".</p>\n";
        if (row.number > 1) {
            body += "<p>Rows are asked in order and the first that recognises the program wins: an "
                    "earlier row with a matching rule takes precedence.</p>\n";
        }
        static const std::map<int, std::string> notes = Notes();
        if (const auto note = notes.find(row.number); note != notes.end()) {
            body += "<p class=\"note\">" + note->second + "</p>\n";
        }
        std::set<int32_t> mapped;
        for (const Situation& s : list) {
            const auto actions = RowActions(row, s, defaults);
            body += "<h2>" + (s.label.empty() ? std::string("What the buttons do") : Html(s.label)) +
                    "</h2>\n";
            if (actions.empty()) {
                body += "<p>No button has an action of its own here.</p>\n";
                continue;
            }
            body += "<table class=\"actions\">\n<tr><th>Button</th><th>The program receives</th></tr>\n";
            for (const auto& [b, text] : actions) {
                mapped.insert(b);
                body += "<tr><td><a href=\"buttons.html#" + ButtonAnchor(b) + "\">" +
                        Html(ButtonTitle(b)) + "</a></td><td>" + text + "</td></tr>\n";
            }
            body += "</table>\n";
        }
        std::string others;
        for (int32_t b = ChannelUp; b <= Digit0; ++b) {
            if (mapped.count(b) == 0) others += (others.empty() ? "" : ", ") + Html(ButtonTitle(b));
        }
        body += "<h2>Other buttons</h2>\n<p>";
        if (!others.empty()) body += "These buttons send their usual key: " + others + ". ";
        body += "Power, Volume Up, Volume Down, Mute and the four macro buttons keep their own "
                "actions in every program, and in <a href=\"mouse-mode.html\">mouse mode</a> the "
                "arrows, OK and Exit move and click the pointer. See <a href=\"buttons.html\">The "
                "remote's buttons</a>.</p>\n";
        body += "<p><a href=\"programs.html\">All supported programs</a>";
        if (row.number > 1) {
            body += " | <a href=\"program-" + Pad3(row.number - 1) + ".html\">Previous row</a>";
        }
        if (row.number < kCatalogueRows) {
            body += " | <a href=\"program-" + Pad3(row.number + 1) + ".html\">Next row</a>";
        }
        body += "</p>\n";
        Write(out / file, Layout(name, body, "", version));

        Page page{file, "Row " + std::to_string(row.number) + ": " + name, {}};
        for (uint8_t c = 0; c < row.rule.count; ++c) {
            for (uint8_t d = 0; d < row.rule.clauses[c].count; ++d) {
                const catalogue::Condition& cond = row.rule.clauses[c].conditions[d];
                if (!cond.negated && cond.Text() != nullptr) page.keywords.push_back(cond.Text());
            }
        }
        programPages.push_back(page);
    }
    overview += "</table>\n";

    const std::map<std::string, std::string> generated = {
        {"buttons-table", ButtonsTable(defaults)},
        {"macro-actions", MacroTable()},
        {"macro-defaults", MacroDefaults()},
        {"settings-defaults", SettingsDefaults()},
        {"programs-table", overview},
        {"program-count", std::to_string(kCatalogueRows)},
        {"shipped-programs-table", shippedOverview},
        {"shipped-count", std::to_string(shipped.size())},
    };

    // The hand-written pages, in the order of the outline.
    std::vector<TocEntry>& toc = pages.toc;
    std::vector<Page> handWritten;
    {
        std::istringstream outline(Read(source / "contents.txt"));
        std::string line;
        while (std::getline(outline, line)) {
            if (line.empty() || line[0] == '#') continue;
            size_t indent = 0;
            while (indent < line.size() && line[indent] == ' ') ++indent;
            const int level = static_cast<int>(indent / 2);
            const std::string rest = line.substr(indent);
            if (rest == "@programs" || rest == "@shipped") {
                for (const Page& p : rest == "@programs" ? programPages : shippedPages)
                    toc.push_back({level, p.title, p.file});
                continue;
            }
            const size_t bar = rest.find(" | ");
            if (bar == std::string::npos) Die("contents.txt: no \" | \" in: " + line);
            toc.push_back({level, rest.substr(0, bar), rest.substr(bar + 3)});
        }
    }
    std::set<std::string> written;
    for (const TocEntry& e : toc) {
        if (e.file.rfind("program-", 0) == 0 || e.file.rfind("shipped-", 0) == 0 ||
            !written.insert(e.file).second)
            continue;
        std::string text = Read(source / e.file);
        const std::string title = Comment(text, "title");
        if (title.empty()) Die(e.file + ": no title comment");
        for (const auto& [name, html] : generated) {
            const std::string mark = "<!-- generated: " + name + " -->";
            for (size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), html);
        }
        if (text.find("<!-- generated:") != std::string::npos) Die(e.file + ": unknown generated part");
        handWritten.push_back({e.file, title, SplitKeywords(Comment(text, "keywords"))});
        Write(out / e.file, Layout(title, text, "", version));
    }
    for (const std::string& f : {std::string("style.css")}) fs::copy_file(source / f, out / f, fs::copy_options::overwrite_existing);

    // Button names lead to the buttons page.
    for (Page& p : handWritten) {
        if (p.file == "buttons.html") {
            for (int32_t b = 0; b < kButtonCount; ++b) p.keywords.push_back(ButtonTitle(b) + " button");
        }
    }
    std::vector<Page>& all = pages.all;
    all = handWritten;
    all.insert(all.end(), programPages.begin(), programPages.end());
    all.insert(all.end(), shippedPages.begin(), shippedPages.end());
    pages.programCount = programPages.size();
    pages.shippedCount = shippedPages.size();

    // The index: keyword -> pages.
    KeywordIndex& index = pages.index;
    for (const Page& p : all) {
        for (const std::string& k : p.keywords) {
            auto& list = index[k];
            if (std::find(list.begin(), list.end(), &p) == list.end()) list.push_back(&p);
        }
    }

    // The table of contents and the index as pages, for the plain HTML export.
    {
        std::string body = "<!-- title: Contents -->\n<h1>Contents</h1>\n";
        int level = -1;
        for (const TocEntry& e : toc) {
            while (level < e.level) { body += "<ul>\n"; ++level; }
            while (level > e.level) { body += "</ul>\n"; --level; }
            body += "<li><a href=\"" + e.file + "\">" + Html(e.title) + "</a></li>\n";
        }
        while (level-- >= 0) body += "</ul>\n";
        Write(out / "contents.html", Layout("Contents", body, "", version));
        std::string kw = "<h1>Index</h1>\n<ul class=\"index\">\n";
        for (const auto& [k, list] : index) {
            kw += "<li>" + Html(k);
            for (const Page* p : list) kw += " &ndash; <a href=\"" + p->file + "\">" + Html(p->title) + "</a>";
            kw += "</li>\n";
        }
        Write(out / "keywords.html", Layout("Index", kw + "</ul>\n", "", version));
    }
}
