// The help generator's parts: what the program's tables say (help_tables.cpp), the
// pages written from them (help_pages.cpp), and the compiler's project (helpgen.cpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "profiles/catalogue.h"
#include "profiles/profile_files.h"

namespace fs = std::filesystem;

[[noreturn]] void Die(const std::string& what);
std::string Html(const std::string& text);
std::string Code(const std::string& text);
std::string Pad3(int n);
std::string Hex(uint32_t v);
void Write(const fs::path& path, const std::string& text);
std::string Read(const fs::path& path);

// Names as the help writes them.
std::string ButtonTitle(int32_t id);
std::string ButtonAnchor(int32_t id);

struct ExtraWindow {
    std::string label;  // how the help names it
    std::string title;
    std::string className;
    bool childOfFront = false;
    bool childOfPrevious = false;
};

struct Situation {
    std::string label;  // "" for a row that behaves one way
    std::string exe, title, className;  // "" keeps what the row's rule asks for
    std::string frontLabel;            // "" : "the program's window"
    std::vector<ExtraWindow> windows;
    int osMajor = 6;
};

// What a button sends where no catalogue row takes it; "nothing" for none.
std::string DefaultKey(int32_t button);
// A recognition rule as a sentence.
std::string DescribeRule(const catalogue::Rule& rule);
std::string RowName(const AppProfile& row);
std::map<int, std::vector<Situation>> Situations();
std::map<int, std::string> Notes();
std::map<int32_t, std::string> RowActions(const AppProfile& row, const Situation& s,
                                          std::map<int32_t, std::string>& defaults);

// What a profile file in force does with each button it decides, pressed and let go (or
// held for its hold_ms), found by pressing it in the fake system in front of a window the
// file's first match describes; `row` the catalogue row that recognises that window too
// (0 none).
std::map<int32_t, std::string> ProfileActions(const ProfileOutline& file, bool held, int& row);

struct Page {
    std::string file;   // relative to OUT, with '/'
    std::string title;
    std::vector<std::string> keywords;
};

struct TocEntry {
    int level;
    std::string title;
    std::string file;
};

// Keywords in any case, alphabetically; each with the pages it leads to.
bool KeywordBefore(const std::string& a, const std::string& b);
using KeywordIndex = std::map<std::string, std::vector<const Page*>, decltype(&KeywordBefore)>;

struct HelpPages {
    std::vector<TocEntry> toc;
    std::vector<Page> all;  // the hand-written pages, then one per catalogue row
    size_t programCount = 0;
    size_t shippedCount = 0;  // shipped profile files
    KeywordIndex index{&KeywordBefore};
};

// Writes every page, contents.html and keywords.html to OUT; a page per shipped profile
// file of PROFILES.
void WritePages(const fs::path& source, const fs::path& profiles, const fs::path& out,
                const std::string& version, HelpPages& pages);
