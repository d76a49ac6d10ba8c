// The fixed keystroke tables, checked button by button against the hand-written
// transcription in data/given_tables.txt, through the catalogue's own entry point.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fake_env.h"
#include "handlers_test_support.h"
#include "profiles/catalogue.h"
#include "profiles/handlers.h"
#include "profiles/keymaps/keymaps.h"
#include "receiver/remote_button.h"

namespace {

// Windows' virtual-key codes, typed in here independently of the product's header.
const std::map<std::string, uint16_t> kVkNames = {
    {"VK_BACK", 0x08},      {"VK_TAB", 0x09},       {"VK_RETURN", 0x0D},   {"VK_MENU", 0x12},
    {"VK_PAUSE", 0x13},     {"VK_ESCAPE", 0x1B},    {"VK_SPACE", 0x20},    {"VK_PRIOR", 0x21},
    {"VK_NEXT", 0x22},      {"VK_END", 0x23},       {"VK_HOME", 0x24},     {"VK_LEFT", 0x25},
    {"VK_UP", 0x26},        {"VK_RIGHT", 0x27},     {"VK_DOWN", 0x28},     {"VK_NUMPAD0", 0x60},
    {"VK_NUMPAD2", 0x62},   {"VK_NUMPAD4", 0x64},   {"VK_NUMPAD5", 0x65},  {"VK_NUMPAD6", 0x66},
    {"VK_NUMPAD8", 0x68},   {"VK_ADD", 0x6B},       {"VK_SUBTRACT", 0x6D}, {"VK_F3", 0x72},
    {"VK_F4", 0x73},        {"VK_F5", 0x74},        {"VK_F9", 0x78},       {"VK_F10", 0x79},
    {"VK_F11", 0x7A},       {"VK_MEDIA_NEXT_TRACK", 0xB0}, {"VK_MEDIA_PREV_TRACK", 0xB1},
    {"VK_MEDIA_STOP", 0xB2}, {"VK_MEDIA_PLAY_PAUSE", 0xB3},
};

struct Expected {
    enum Kind { Keys, Nothing, RightClick, Skip } kind = Keys;
    std::vector<SeenStroke> strokes;
    Point click;  // offset in the window in front
};

struct Section {
    int row = 0;
    int line = 0;
    std::map<std::string, std::string> context;
    std::map<int32_t, Expected> buttons;
};

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> Split(const std::string& s, const std::string& sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t at = s.find(sep, start);
        out.push_back(Trim(s.substr(start, at == std::string::npos ? std::string::npos : at - start)));
        if (at == std::string::npos) return out;
        start = at + sep.size();
    }
}

[[noreturn]] void Fail(int line, const std::string& why) {
    throw std::runtime_error("given_tables.txt line " + std::to_string(line) + ": " + why);
}

SeenStroke ParseStroke(std::string text, int line) {
    SeenStroke s;
    const size_t paren = text.find('(');
    if (paren != std::string::npos) {
        const std::string inner = text.substr(paren + 1, text.find(')') - paren - 1);
        text = Trim(text.substr(0, paren));
        const auto parts = Split(inner, ",");
        if (parts[0].rfind("scan ", 0) != 0) Fail(line, "bad scan note " + inner);
        s.scan = static_cast<uint16_t>(std::stoul(parts[0].substr(5), nullptr, 16));
        s.extended = parts.size() > 1 && parts[1] == "extended";
    }
    for (;;) {
        if (text.rfind("Ctrl+", 0) == 0) s.ctrl = true, text = text.substr(5);
        else if (text.rfind("Alt+", 0) == 0) s.alt = true, text = text.substr(4);
        else if (text.rfind("Shift+", 0) == 0) s.shift = true, text = text.substr(6);
        else break;
    }
    if (text.size() == 3 && text[0] == '\'' && text[2] == '\'') {
        s.vk = static_cast<uint16_t>(text[1]);
    } else {
        const auto it = kVkNames.find(text);
        if (it == kVkNames.end()) Fail(line, "unknown key " + text);
        s.vk = it->second;
    }
    return s;
}

Expected ParseAction(const std::string& text, int line) {
    Expected e;
    if (text == "nothing") {
        e.kind = Expected::Nothing;
        return e;
    }
    if (text == "skip") {
        e.kind = Expected::Skip;
        return e;
    }
    if (text.rfind("RightClickIn", 0) == 0) {
        e.kind = Expected::RightClick;
        const std::string args = text.substr(text.find('(') + 1);
        const auto xy = Split(args.substr(0, args.find(')')), ",");
        e.click = Point{std::stoi(xy.at(0)), std::stoi(xy.at(1))};
        return e;
    }
    for (std::string part : Split(text, " then ")) {
        int times = 1;
        const size_t x = part.rfind(" x");
        if (x != std::string::npos && x + 2 < part.size() && isdigit(part[x + 2])) {
            times = std::stoi(part.substr(x + 2));
            part = Trim(part.substr(0, x));
        }
        const SeenStroke s = ParseStroke(part, line);
        for (int i = 0; i < times; ++i) e.strokes.push_back(s);
    }
    return e;
}

int32_t ButtonNamed(const std::string& name, int line) {
    const int32_t b = RemoteButtonFromName(name.c_str());
    if (b < 0) Fail(line, "unknown button " + name);
    return b;
}

void ParseMapping(Section& section, const std::string& text, int line) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) Fail(line, "no colon");
    const std::string lhs = Trim(text.substr(0, colon));
    const std::string rhs = Trim(text.substr(colon + 1));
    auto add = [&](int32_t button, const Expected& e) {
        if (!section.buttons.emplace(button, e).second) Fail(line, "button given twice");
    };
    if (lhs.find(" to ") != std::string::npos) {
        const auto range = Split(lhs, " to ");
        const int32_t first = ButtonNamed(range[0], line), last = ButtonNamed(range[1], line);
        if (rhs.find(" to ") != std::string::npos) {
            // 'A' to 'I': one key per button, in order.
            const auto keys = Split(rhs, " to ");
            if (keys[1][1] - keys[0][1] != last - first) Fail(line, "ranges differ in length");
            for (int32_t b = first; b <= last; ++b) {
                add(b, ParseAction("'" + std::string(1, static_cast<char>(keys[0][1] + (b - first))) + "'", line));
            }
        } else {
            for (int32_t b = first; b <= last; ++b) add(b, ParseAction(rhs, line));
        }
        return;
    }
    const Expected e = ParseAction(rhs, line);
    for (const std::string& name : Split(lhs, ",")) add(ButtonNamed(name, line), e);
}

std::vector<Section> LoadSections() {
    // The source's own path, relative to the build directory when the compiler saw it so.
    const auto path = std::filesystem::path(__FILE__).parent_path() / "data" / "given_tables.txt";
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    std::vector<Section> sections;
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        const std::string text = Trim(raw);
        if (text.empty() || text[0] == '#') continue;
        if (text[0] == '[') {
            Section s;
            s.line = line;
            const std::string head = text.substr(1, text.find(']') - 1);
            size_t pos = head.find(' ');
            s.row = std::stoi(head.substr(0, pos));
            while (pos != std::string::npos) {
                const size_t eq = head.find('=', pos);
                const std::string key = Trim(head.substr(pos, eq - pos));
                size_t end;
                std::string value;
                if (head[eq + 1] == '"') {
                    end = head.find('"', eq + 2);
                    value = head.substr(eq + 2, end - eq - 2);
                    ++end;
                } else {
                    end = head.find(' ', eq);
                    value = head.substr(eq + 1, end == std::string::npos ? end : end - eq - 1);
                }
                s.context[key] = value;
                pos = end >= head.size() ? std::string::npos : end;
            }
            sections.push_back(s);
            continue;
        }
        if (sections.empty()) Fail(line, "mapping before any table");
        ParseMapping(sections.back(), text, line);
    }
    return sections;
}

// Builds the program the section describes in front of the fake desktop.
void SetUpForeground(FakeEnv& env, const Section& s) {
    auto get = [&](const char* key, const char* fallback) {
        const auto it = s.context.find(key);
        return it == s.context.end() ? std::string(fallback) : it->second;
    };
    env.Foreground(get("exe", "program.exe"), get("title", "Window"), get("class", "AppClass"));
    const std::string version = get("version", "6.1");
    if (version == "9x") {
        env.power.version = OsVersion{true, kPlatformWin9x, 4, 10};
    } else {
        const size_t dot = version.find('.');
        env.power.version = OsVersion{true, kPlatformNt, static_cast<uint32_t>(std::stoul(version.substr(0, dot))),
                                      static_cast<uint32_t>(std::stoul(version.substr(dot + 1)))};
    }
}

std::string Where(const Section& s, int32_t button) {
    return "row " + std::to_string(s.row) + " (table at line " + std::to_string(s.line) + "), " +
           RemoteButtonName(button);
}

TEST(GivenTables, TranscriptionCoversEveryFixedTable) {
    const auto sections = LoadSections();
    std::map<int, int> seen;
    for (const auto& s : sections) ++seen[s.row];
    for (int row : {18, 19, 28, 65, 76, 80, 96, 113, 120, 134, 136, 138, 139, 144, 153, 30, 78, 94,
                    97, 107, 125, 149, 150, 55, 111, 128}) {
        EXPECT_GT(seen[row], 0) << "row " << row << " has no transcription";
    }
}

TEST(GivenTables, EveryButtonSendsWhatTheTranscriptionSays) {
    const auto sections = LoadSections();
    for (const Section& s : sections) {
        for (int32_t button = 0; button < kButtonCount; ++button) {
            FakeEnv env;
            ResetHandlerState();
            SetUpForeground(env, s);
            const WindowHandle front = env.desktop.foreground;
            Rect frontRect;
            env.desktop.WindowRect(front, frontRect);

            const auto it = s.buttons.find(button);
            if (it != s.buttons.end() && it->second.kind == Expected::Skip) continue;
            const int result = HandleCatalogueButton(s.row, button);
            if (it == s.buttons.end()) {
                EXPECT_EQ(result, 0) << Where(s, button) << " should be unmapped";
                EXPECT_TRUE(env.input.batches.empty()) << Where(s, button) << " sent input";
                continue;
            }
            const Expected& e = it->second;
            EXPECT_EQ(result, 1) << Where(s, button);
            switch (e.kind) {
                case Expected::Nothing:
                    EXPECT_TRUE(env.input.batches.empty()) << Where(s, button) << " should be swallowed";
                    break;
                case Expected::RightClick: {
                    ASSERT_EQ(env.input.batches.size(), 1u) << Where(s, button);
                    const auto& b = env.input.batches[0];
                    ASSERT_EQ(b.size(), 2u) << Where(s, button);
                    EXPECT_EQ(b[0], (InputEvent{InputEvent::Mouse, 0, 0, 0x8})) << Where(s, button);
                    EXPECT_EQ(b[1], (InputEvent{InputEvent::Mouse, 0, 0, 0x10})) << Where(s, button);
                    ASSERT_FALSE(env.input.clickPoints.empty()) << Where(s, button);
                    EXPECT_EQ(env.input.clickPoints[0],
                              (Point{frontRect.left + e.click.x, frontRect.top + e.click.y}))
                        << Where(s, button);
                    break;
                }
                case Expected::Keys: {
                    std::vector<SeenStroke> got;
                    std::string error;
                    ASSERT_TRUE(DecodeStrokes(env.input.batches, got, error)) << Where(s, button) << ": " << error;
                    EXPECT_EQ(got, e.strokes) << Where(s, button) << ": sent " << Describe(got)
                                              << ", expected " << Describe(e.strokes);
                    break;
                }
                case Expected::Skip:
                    break;
            }
        }
    }
}

TEST(GivenTables, SharedRowsUseOneTable) {
    EXPECT_EQ(keymaps::kRow038.entries, keymaps::kRow021.entries);
    EXPECT_EQ(keymaps::kRow038.count, keymaps::kRow021.count);
    EXPECT_EQ(keymaps::kRow054.entries, keymaps::kRow032.entries);
    EXPECT_EQ(keymaps::kRow054.count, keymaps::kRow032.count);
    EXPECT_EQ(keymaps::kRow130.entries, keymaps::kRow026.entries);
    EXPECT_EQ(keymaps::kRow130.count, keymaps::kRow026.count);
    EXPECT_GT(keymaps::kRow021.count, 0u);
}

}  // namespace
