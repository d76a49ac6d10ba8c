// Builds the help from the program's own tables, so that it says what the code does.
//
//   helpgen SOURCE PROFILES OUT VERSION
//
// SOURCE holds the hand-written pages (docs/help: body fragments that begin with a
// "title" and a "keywords" comment), the style sheet and contents.txt, the outline of
// the table of contents. Every page is written to OUT inside the common layout; the
// comments "<!-- generated: NAME -->" in a page are replaced by tables made here from
// the button names, the default keys, the macro actions, the settings defaults and the
// catalogue. Each catalogue row gets a page of its own: its recognition rule read from
// the rule data, and what every button does, found by running the row's handler
// against the fake system (the same fakes the unit tests use) and reading back the keys,
// clicks and window messages it produced. OUT also receives the compiler's project
// (Kestrune.hhp, .hhc, .hhk) and, for the plain HTML export, contents.html and
// keywords.html. PROFILES holds the shipped profile files: each gets a page as a row does,
// read with the program's own loader and pressed in the same fake system.
#include <cstdio>
#include <string>

#include "help.h"

namespace {

// chmcmd names the last listing chunk of the directory as its first one, so readers
// that walk the listing (chmlib) see only the last chunk's files. Viewers that look
// files up through the index are unaffected. Points the header at the chunk that has no
// predecessor.
int FixChmDirectory(const fs::path& file) {
    std::string d = Read(file);
    auto u32 = [&](size_t at) {
        if (at + 4 > d.size()) Die(file.string() + ": truncated");
        return static_cast<uint32_t>(static_cast<unsigned char>(d[at])) |
               static_cast<uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(d[at + 3])) << 24;
    };
    if (d.compare(0, 4, "ITSF") != 0) Die(file.string() + ": not a compiled help file");
    const size_t itsp = u32(0x48);  // the directory section (section 1)
    if (d.compare(itsp, 4, "ITSP") != 0) Die(file.string() + ": no directory");
    const size_t headerLength = u32(itsp + 8), chunkSize = u32(itsp + 0x10), chunks = u32(itsp + 0x2C);
    for (size_t i = 0; i < chunks; ++i) {
        const size_t at = itsp + headerLength + i * chunkSize;
        if (d.compare(at, 4, "PMGL") == 0 && u32(at + 12) == 0xFFFFFFFFu) {
            const uint32_t first = static_cast<uint32_t>(i);
            for (int b = 0; b < 4; ++b) d[itsp + 0x20 + b] = static_cast<char>((first >> (8 * b)) & 0xFF);
            Write(file, d);
            return 0;
        }
    }
    Die(file.string() + ": no first listing chunk");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--fix-chm-directory") return FixChmDirectory(argv[2]);
    if (argc != 5) {
        std::fprintf(stderr, "usage: helpgen SOURCE_DIR PROFILES_DIR OUT_DIR VERSION\n"
                             "       helpgen --fix-chm-directory FILE.chm\n");
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path profiles = argv[2];
    const fs::path out = argv[3];
    const std::string version = argv[4];
    fs::create_directories(out);

    HelpPages pages;
    WritePages(source, profiles, out, version, pages);
    const std::vector<TocEntry>& toc = pages.toc;
    const std::vector<Page>& all = pages.all;
    const KeywordIndex& index = pages.index;

    // The compiler's project.
    auto sitemap = [](const std::string& name, const std::string& local) {
        return "<LI> <OBJECT type=\"text/sitemap\">\n<param name=\"Name\" value=\"" + Html(name) +
               "\">\n<param name=\"Local\" value=\"" + local + "\">\n</OBJECT>\n";
    };
    {
        std::string hhc = "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML>\n<HEAD>\n</HEAD>\n"
                          "<BODY>\n<OBJECT type=\"text/site properties\">\n<param name=\"ImageType\" "
                          "value=\"Folder\">\n</OBJECT>\n";
        int level = -1;
        for (const TocEntry& e : toc) {
            while (level < e.level) { hhc += "<UL>\n"; ++level; }
            while (level > e.level) { hhc += "</UL>\n"; --level; }
            hhc += sitemap(e.title, e.file);
        }
        while (level-- >= 0) hhc += "</UL>\n";
        Write(out / "Kestrune.hhc", hhc + "</BODY>\n</HTML>\n");

        std::string hhk = "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML>\n<HEAD>\n</HEAD>\n"
                          "<BODY>\n<UL>\n";
        for (const auto& [k, list] : index) {
            hhk += "<LI> <OBJECT type=\"text/sitemap\">\n<param name=\"Name\" value=\"" + Html(k) + "\">\n";
            for (const Page* p : list) {
                hhk += "<param name=\"Name\" value=\"" + Html(p->title) + "\">\n<param name=\"Local\" value=\"" +
                       p->file + "\">\n";
            }
            hhk += "</OBJECT>\n";
        }
        Write(out / "Kestrune.hhk", hhk + "</UL>\n</BODY>\n</HTML>\n");

        std::string hhp = "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=Kestrune.chm\n"
                          "Contents file=Kestrune.hhc\nIndex file=Kestrune.hhk\nDefault topic=index.html\n"
                          "Display compile progress=No\nFull-text search=Yes\n"
                          "Language=0x409 English (United States)\nTitle=Orbiscope Remote Help\n\n[FILES]\n";
        hhp += "style.css\ncontents.html\nkeywords.html\n";
        for (const Page& p : all) hhp += p.file + "\n";
        Write(out / "Kestrune.hhp", hhp);
    }
    std::printf("helpgen: %zu pages (%zu supported-program rows, %zu shipped profile files), %zu index "
                "keywords\n", all.size() + 2, pages.programCount, pages.shippedCount, index.size());
    return 0;
}
