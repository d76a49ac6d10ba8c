// Builds the help from the program's own tables, so that it says what the code does.
//
//   helpgen SOURCE OUT VERSION
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
// keywords.html.
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

#include "engine/events.h"
#include "platform/fake/fake_os.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "profiles/handlers.h"
#include "receiver/remote_button.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/settings_store.h"

namespace fs = std::filesystem;

namespace {

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

// ---------------------------------------------------------------------------------
// Names as the help writes them.

std::string ButtonTitle(int32_t id) {
    const std::string name = RemoteButtonName(id);
    if (id >= Digit1 && id <= Digit0) return "Digit " + name.substr(5);
    if (id >= MacroButton1 && id <= MacroButton4) return "Macro " + name.substr(11);
    if (id >= Extra35) return "Extra " + name.substr(5);
    if (id == Ok) return "OK";
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (i > 0 && name[i] >= 'A' && name[i] <= 'Z') out += ' ';
        out += name[i];
    }
    return out;
}

std::string ButtonAnchor(int32_t id) { return std::string("b-") + RemoteButtonName(id); }

std::string KeyName(uint16_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
    if (key >= vk::F1 && key <= vk::F1 + 23) return "F" + std::to_string(key - vk::F1 + 1);
    if (key >= vk::NUMPAD0 && key <= vk::NUMPAD9) return "Num " + std::to_string(key - vk::NUMPAD0);
    static const std::map<uint16_t, const char*> names = {
        {vk::BACK, "Backspace"},      {vk::TAB, "Tab"},
        {vk::RETURN, "Enter"},        {vk::SHIFT, "Shift"},
        {vk::CONTROL, "Ctrl"},        {vk::MENU, "Alt"},
        {vk::PAUSE, "Pause"},         {vk::ESCAPE, "Esc"},
        {vk::SPACE, "Space"},         {vk::PRIOR, "Page Up"},
        {vk::NEXT, "Page Down"},      {vk::END, "End"},
        {vk::HOME, "Home"},           {vk::LEFT, "Left arrow"},
        {vk::UP, "Up arrow"},         {vk::RIGHT, "Right arrow"},
        {vk::DOWN, "Down arrow"},     {vk::INSERT, "Insert"},
        {vk::DELETE_, "Delete"},      {vk::LWIN, "Windows key"},
        {vk::APPS, "Menu key"},       {vk::MULTIPLY, "Num *"},
        {vk::ADD, "Num +"},           {vk::SUBTRACT, "Num -"},
        {vk::DECIMAL, "Num ."},       {vk::DIVIDE, "Num /"},
        {vk::VOLUME_MUTE, "Mute key"}, {vk::VOLUME_DOWN, "Volume Down key"},
        {vk::VOLUME_UP, "Volume Up key"}, {vk::MEDIA_NEXT_TRACK, "Next Track media key"},
        {vk::MEDIA_PREV_TRACK, "Previous Track media key"}, {vk::MEDIA_STOP, "Stop media key"},
        {vk::MEDIA_PLAY_PAUSE, "Play/Pause media key"}, {vk::OEM_1, ";"},
        {vk::OEM_PLUS, "="},          {vk::OEM_COMMA, ","},
        {vk::OEM_MINUS, "-"},         {vk::OEM_PERIOD, "."},
        {vk::OEM_2, "/"},             {vk::OEM_3, "`"},
        {vk::OEM_4, "["},             {vk::OEM_5, "\\"},
        {vk::OEM_6, "]"},             {vk::OEM_7, "'"},
        {0xA6, "Browser Back key"},   {0xA7, "Browser Forward key"},
    };
    const auto it = names.find(key);
    return it != names.end() ? it->second : "key " + Hex(key);
}

bool IsModifier(uint16_t key) { return key == vk::SHIFT || key == vk::CONTROL || key == vk::MENU; }

// ---------------------------------------------------------------------------------
// A fake machine with one program in front, and what a handler did in it.

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

struct WindowInfo {
    std::string label;
    Rect rect;
};

struct Click {
    bool right = false;
    std::string window;
    int32_t x = 0, y = 0, height = 0;
};

struct Press {
    std::vector<std::string> steps;  // in order within each kind
    std::vector<Click> clicks;
    int answer = 0;
};

class Sandbox {
public:
    Sandbox() {
        clock_.now = 100000;
        input_.desktop = &desktop_;
        platform_.clock = &clock_;
        platform_.input = &input_;
        platform_.desktop = &desktop_;
        platform_.processes = &processes_;
        platform_.ui = &ui_;
        platform_.registry = &registry_;
        platform_.power = &power_;
        platform_.shell = &shell_;
        platform_.network = &network_;
        desktop_.cursor = Point{5, 5};  // outside every window the sandbox makes
        scope_ = std::make_unique<ScopedPlatform>(platform_);
        saved_ = CurrentSettings();
        SetCurrentSettings(&settings_);
    }
    ~Sandbox() { SetCurrentSettings(saved_); }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // The program's window in front, the other windows the situation has; `grow` makes
    // every window larger, to tell offsets from the top from offsets from the bottom.
    void Build(const std::string& exe, const std::string& title, const std::string& cls,
               const Situation& s, int grow) {
        power_.version = OsVersion{true, kPlatformNt, static_cast<uint32_t>(s.osMajor), 1};
        FakeWindow front;
        front.pid = processes_.Add(exe);
        front.thread = front.pid + 1;
        front.title = title;
        front.className = cls;
        front.rect = Rect{100, 100, 500 + grow, 400 + grow};
        const WindowHandle frontHandle = desktop_.Add(front);
        desktop_.foreground = frontHandle;
        info_[frontHandle] = {s.frontLabel.empty() ? "the program's window" : s.frontLabel,
                              front.rect};
        WindowHandle previous = frontHandle;
        int offset = 0;
        for (const ExtraWindow& e : s.windows) {
            FakeWindow w;
            w.title = e.title;
            w.className = e.className;
            offset += 7;
            if (e.childOfFront || e.childOfPrevious) {
                // Children sit side by side inside their parent and keep their size.
                const WindowHandle parent = e.childOfFront ? frontHandle : previous;
                const Rect p = info_[parent].rect;
                w.parent = parent;
                w.pid = desktop_.Find(parent)->pid;
                const int32_t left = p.left + 10 + 90 * children_[parent]++;
                w.rect = Rect{left, p.top + 20, left + 80, p.top + 60};
            } else {
                w.pid = processes_.Add(exe);
                w.rect = Rect{600 + offset, 50 + offset, 900 + offset + grow, 350 + offset + grow};
            }
            w.thread = w.pid + 1;
            const WindowHandle h = desktop_.Add(w);
            info_[h] = {e.label, w.rect};
            previous = h;
        }
        // Adding windows puts each on top; the program's window is the one in front.
        desktop_.BringToTop(frontHandle);
        desktop_.foreground = frontHandle;
    }

    // One press of the button: what reached the fake system.
    Press Run(int row, int32_t button) {
        input_.Clear();
        desktop_.messages.clear();
        desktop_.calls.clear();
        desktop_.cursorMoves.clear();
        Press p;
        p.answer = row > 0 ? HandleCatalogueButton(row, button) : (SendDefaultKeystroke(button), 1);
        // A multi-tap letter is typed when the pause after the press runs out.
        if (ui_.timers.count(kLetterEntryTimer) != 0) LetterEntryTimer();
        Read(p);
        return p;
    }

private:
    std::string Label(WindowHandle w) const {
        const auto it = info_.find(w);
        return it != info_.end() ? it->second.label : "another window";
    }

    // The smallest window of ours under a point.
    const WindowInfo* Under(Point pt) const {
        const WindowInfo* best = nullptr;
        long bestArea = 0;
        for (const auto& [h, wi] : info_) {
            const Rect& r = wi.rect;
            if (pt.x < r.left || pt.x >= r.right || pt.y < r.top || pt.y >= r.bottom) continue;
            const long area = long(r.right - r.left) * (r.bottom - r.top);
            if (best == nullptr || area < bestArea) {
                best = &wi;
                bestArea = area;
            }
        }
        return best;
    }

    void Read(Press& p) {
        std::set<std::string> seen;
        for (const std::string& call : desktop_.calls) {
            std::istringstream in(call);
            std::string what;
            unsigned long long h = 0;
            in >> what >> h;
            std::string text;
            if (what == "foreground") text = "brings " + Label(WindowHandle(h)) + " to the front";
            if (what == "focus") text = "puts the keyboard focus on " + Label(WindowHandle(h));
            if (!text.empty() && seen.insert(text).second) p.steps.push_back(text);
        }

        const size_t activationSteps = p.steps.size();
        // Keys and clicks, in the order they were injected.
        bool held[256] = {};
        bool pressedSince[256] = {};
        size_t mouseIndex = 0;
        int clicksSeen = 0;
        for (const InputEvent& e : input_.AllEvents()) {
            if (e.kind == InputEvent::Mouse) {
                const Point at = mouseIndex < input_.clickPoints.size() ? input_.clickPoints[mouseIndex]
                                                                        : Point{};
                ++mouseIndex;
                if ((e.flags & (kMouseLeftDown | kMouseRightDown)) == 0) continue;
                Click c;
                c.right = (e.flags & kMouseRightDown) != 0;
                if (const WindowInfo* w = Under(at)) {
                    c.window = w->label;
                    c.x = at.x - w->rect.left;
                    c.y = at.y - w->rect.top;
                    c.height = w->rect.bottom - w->rect.top;
                } else {
                    c.window = "the screen";
                    c.x = at.x;
                    c.y = at.y;
                }
                p.clicks.push_back(c);
                p.steps.push_back("@click" + std::to_string(clicksSeen++));
                continue;
            }
            const uint16_t key = e.virtualKey & 0xFF;
            const bool up = (e.flags & kKeyUp) != 0;
            if (IsModifier(key)) {
                if (!up) {
                    held[key] = true;
                    pressedSince[key] = false;
                } else {
                    if (!pressedSince[key]) p.steps.push_back("@key " + KeyName(key));
                    held[key] = false;
                }
                continue;
            }
            if (up) continue;
            std::string combo;
            for (const uint16_t m : {uint16_t(vk::CONTROL), uint16_t(vk::MENU), uint16_t(vk::SHIFT)}) {
                if (held[m]) {
                    combo += KeyName(m) + "+";
                    pressedSince[m] = true;
                }
            }
            p.steps.push_back("@key " + combo + KeyName(key));
        }
        // Every click moves the pointer there and back; a move of its own is one more.
        if (desktop_.cursorMoves.size() > static_cast<size_t>(clicksSeen) * 2) {
            for (const Point& at : desktop_.cursorMoves) {
                const bool clicked = std::any_of(input_.clickPoints.begin(), input_.clickPoints.end(),
                                                 [&](const Point& c) { return c.x == at.x && c.y == at.y; });
                const WindowInfo* w = Under(at);
                if (clicked || w == nullptr) continue;
                p.steps.insert(p.steps.begin() + static_cast<std::ptrdiff_t>(activationSteps),
                               "moves the mouse pointer onto " + w->label);
                break;
            }
        }

        for (const FakeMessage& m : desktop_.messages) {
            if (m.message == wm::SETFOCUS) continue;  // part of bringing a window forward
            const std::string verb = m.sent ? "sends " : "posts ";
            std::string what;
            if (m.message == wm::COMMAND) {
                what = "the menu command " + std::to_string(m.wParam) + " (WM_COMMAND)";
            } else if (m.message == wm::APPCOMMAND) {
                what = "the application command " +
                       std::to_string((static_cast<uint64_t>(m.lParam) >> 16) & 0x0FFF) +
                       " (WM_APPCOMMAND)";
            } else if (m.message >= wm::USER && m.message < wm::USER + 0x400) {
                what = "the message WM_USER+" + std::to_string(m.message - wm::USER) + " (wParam " +
                       std::to_string(m.wParam) + ", lParam " + std::to_string(m.lParam) + ")";
            } else {
                what = "the message " + Hex(m.message) + " (wParam " + std::to_string(m.wParam) +
                       ")";
            }
            p.steps.push_back(verb + what + " to " + Label(m.window));
        }
    }

    FakeClock clock_;
    FakeInput input_;
    FakeDesktop desktop_;
    FakeProcessList processes_;
    FakeUserInterface ui_;
    FakeRegistry registry_;
    FakePower power_;
    FakeShell shell_;
    FakeNetwork network_;
    RemoteSettings settings_;
    Platform platform_;
    std::unique_ptr<ScopedPlatform> scope_;
    RemoteSettings* saved_ = nullptr;
    std::map<WindowHandle, WindowInfo> info_;
    std::map<WindowHandle, int> children_;
};

// One press as a sentence; `other` is the same press with larger windows.
std::string Describe(const Press& p, const Press& other) {
    std::vector<std::string> parts;
    std::vector<std::string> keys;
    auto flushKeys = [&] {
        if (keys.empty()) return;
        std::string s;
        for (size_t i = 0; i < keys.size(); ++i) {
            if (i > 0) s += i + 1 == keys.size() ? " then " : ", ";
            s += "<kbd>" + Html(keys[i]) + "</kbd>";
        }
        parts.push_back(keys.size() == 1 ? s : "the keys " + s);
        keys.clear();
    };
    for (const std::string& step : p.steps) {
        if (step.rfind("@key ", 0) == 0) {
            keys.push_back(step.substr(5));
            continue;
        }
        flushKeys();
        if (step.rfind("@click", 0) == 0) {
            const size_t i = std::stoul(step.substr(6));
            const Click& c = p.clicks[i];
            const bool fromBottom = i < other.clicks.size() && other.clicks[i].y != c.y &&
                                    other.clicks[i].height - other.clicks[i].y == c.height - c.y;
            std::string where = fromBottom ? std::to_string(c.x) + " pixels from the left, " +
                                                 std::to_string(c.height - c.y) +
                                                 " pixels above the bottom edge of "
                                           : "(" + std::to_string(c.x) + ", " + std::to_string(c.y) +
                                                 ") from the top-left corner of ";
            parts.push_back(std::string(c.right ? "a right-click" : "a click") + " at " + where +
                            Html(c.window));
            continue;
        }
        parts.push_back(Html(step));
    }
    flushKeys();
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "; then " : "") + parts[i];
    return out;
}

std::string DefaultKey(int32_t button) {
    Sandbox box;
    Situation none;
    box.Build("explorer.exe", "Desktop", "Progman", none, 0);
    const Press p = box.Run(0, button);
    const std::string text = Describe(p, p);
    return text.empty() ? "nothing" : text;
}

// ---------------------------------------------------------------------------------
// Recognition rules as sentences.

std::string DescribeCondition(const catalogue::Condition& c) {
    const std::string text = c.Text() != nullptr ? c.Text() : "";
    switch (c.test) {
        case catalogue::Test::ProcessIs: return "the program file is " + Code(text);
        case catalogue::Test::ProcessContains: return "the program file name contains " + Code(text);
        case catalogue::Test::TitleContains:
            return std::string("the window title ") + (c.negated ? "does not contain " : "contains ") +
                   Code(text) + " (exactly in this case)";
        case catalogue::Test::LowerTitleContains:
            return "the window title contains " + Code(text) + " (in any case)";
        case catalogue::Test::ClassIs: return "the window class is " + Code(text);
    }
    return "";
}

std::string DescribeRule(const catalogue::Rule& rule) {
    std::string out;
    for (uint8_t i = 0; i < rule.count; ++i) {
        const catalogue::Clause& clause = rule.clauses[i];
        std::string part;
        // A negated test reads better second.
        std::vector<const catalogue::Condition*> order;
        for (uint8_t j = 0; j < clause.count; ++j)
            if (!clause.conditions[j].negated) order.push_back(&clause.conditions[j]);
        for (uint8_t j = 0; j < clause.count; ++j)
            if (clause.conditions[j].negated) order.push_back(&clause.conditions[j]);
        for (size_t j = 0; j < order.size(); ++j) part += (j ? " and " : "") + DescribeCondition(*order[j]);
        out += (i ? "; or " : "") + part;
    }
    return out;
}

// The short name of a row: the first key of its rule.
std::string RowName(const AppProfile& row) {
    if (row.number == 1) return "Cooperating windows";
    const catalogue::Condition& c = row.rule.clauses[0].conditions[0];
    std::string name = c.Text() != nullptr ? c.Text() : "";
    if (c.test == catalogue::Test::TitleContains || c.test == catalogue::Test::LowerTitleContains)
        return "\"" + name + "\" windows";
    if (c.test == catalogue::Test::ClassIs) return name + " windows";
    return name;
}

// The window that the first clause of a rule recognises.
void WindowForRule(const catalogue::Rule& rule, std::string& exe, std::string& title,
                   std::string& cls) {
    exe = "program.exe";
    title = "Window";
    cls = "AppClass";
    const catalogue::Clause& clause = rule.clauses[0];
    for (uint8_t i = 0; i < clause.count; ++i) {
        const catalogue::Condition& c = clause.conditions[i];
        if (c.negated) continue;
        const std::string text = c.Text();
        switch (c.test) {
            case catalogue::Test::ProcessIs: exe = text; break;
            case catalogue::Test::ProcessContains: exe = text + ".exe"; break;
            case catalogue::Test::TitleContains:
            case catalogue::Test::LowerTitleContains: title = text + " - Window"; break;
            case catalogue::Test::ClassIs: cls = text; break;
        }
    }
}

// Rows whose handler looks at more than the window in front, or acts differently by
// title, class, program or Windows version: the situations a user meets.
std::map<int, std::vector<Situation>> Situations() {
    std::map<int, std::vector<Situation>> s;
    s[1] = {{"Title flag #02", "", "Orbiscope#02 Player", "", "", {}},
            {"Title flag #03", "", "Orbiscope#03 Player", "", "", {}}};
    s[6] = {{"", "", "TouchTone", "TouchTone Main", "the TouchTone Main window", {}}};
    s[16] = {{"", "", "MusicNet@AOL", "", "the MusicNet@AOL window", {}}};
    s[30] = {{"StudioMaster", "", "StudioMaster Slide Show", "", "", {}},
             {"Other slide shows (Macromedia Flash Player, a studio.exe slide show)", "studio.exe",
              "Slide Show", "", "", {}}};
    s[78] = {{"", "winamp.exe", "Winamp Playlist Editor", "", "the playlist or library window",
              {{"the player window", "Winamp Player Window", "Winamp v1.x"}}}};
    s[94] = {{"ctcms.exe and ctasr.exe", "ctcms.exe", "", "", "", {}},
             {"ctdvda.exe", "ctdvda.exe", "", "", "", {}}};
    s[97] = {{"Viewing a picture (window class AfxFrameOrView...)", "", "", "AfxFrameOrView70", "", {}},
             {"Browsing (any other window)", "", "", "ACDBrowser", "", {}}};
    s[105] = {{"", "", "InterActual Controller", "", "the InterActual Controller window", {}}};
    s[107] = {{"Album management window", "", "jetAudio - Album Management", "", "", {}},
              {"Player window", "", "jetAudio", "", "", {}}};
    s[109] = {{"AVerMedia CD Player", "", "AVerMedia CD Player", "", "the CD player window", {}},
              {"AVerMedia VCR Player Control", "", "AVerMedia VCR Player Control", "",
               "the VCR player window", {}},
              {"AVerMedia TV Tuner or TV Control Panel", "", "AVerMedia TV Tuner", "",
               "the TV tuner window", {}}};
    s[116] = {{"", "", "Napster", "", "",
               {{"the Play button", "Play", "Button", true},
                {"the Stop button", "Stop", "Button", true},
                {"the Prev button", "Prev", "Button", true},
                {"the Next button", "Next", "Button", true}}}};
    s[122] = {{"Newer versions (ATIRWProxyClass window)", "", "", "", "",
               {{"the proxy window", "", "ATIRWProxyClass"}}},
              {"Older versions (ATIX10ProxyClass window)", "", "", "", "",
               {{"the proxy window", "", "ATIX10ProxyClass"}}}};
    s[128] = {{"", "", "MUSICMATCH Jukebox", "MMJB:MAINWND", "the jukebox's main window",
               {{"the recorder window", "MMJB Recorder", "RecorderClass"},
                {"the music library", "Music Library", "LibraryClass"},
                {"the music library's list", "", "AfxWnd70u", false, true}}}};
    s[148] = {{"winamp.exe", "winamp.exe", "Winamp", "Winamp v1.x", "the player window",
               {{"the playlist window", "Winamp Playlist", "Winamp PE"}}},
              {"studio.exe and winamp3.exe", "winamp3.exe", "Winamp3", "", "", {}}};
    s[149] = {{"The \"My Music\" window", "", "My Music", "", "", {}},
              {"The player window", "", "FreeAmp", "", "", {}}};
    s[150] = {{"Windows 2000 and XP", "", "", "", "", {}, 5},
              {"Other Windows versions", "", "", "", "", {}, 6}};
    return s;
}

// What the tables cannot show.
std::map<int, std::string> Notes() {
    return {
        {1, "A program of the same maker marks one of its windows with <code>Orbiscope#</code> "
            "in the title, followed by a flag that chooses its key table. Further flags in the "
            "title: <code>-ms</code> keeps <a href=\"mouse-mode.html\">mouse mode</a> away from "
            "the window, <code>-f</code> keeps the macro buttons' favourites from opening, "
            "<code>-p</code> keeps the Power button from acting on the computer."},
        {125, "Digit 2 to Digit 9 type letters as on a telephone keypad: press a digit again "
              "and again to step through its letters (2: A B C, 7: P Q R S, 9: W X Y Z). The "
              "letter is typed when you pause for 0.7 seconds, or at once when you press "
              "another digit. The table shows a single press."},
    };
}

// What the row does with each button that reaches it, in one situation: three presses
// each, in case a handler counts them.
std::map<int32_t, std::string> RowActions(const AppProfile& row, const Situation& s,
                                          std::map<int32_t, std::string>& defaults) {
    std::string exe, title, cls;
    WindowForRule(row.rule, exe, title, cls);
    if (!s.exe.empty()) exe = s.exe;
    if (!s.title.empty()) title = s.title;
    if (!s.className.empty()) cls = s.className;
    std::map<int32_t, std::string> out;
    for (int32_t b = ChannelUp; b <= Digit0; ++b) {
        // The same presses again with larger windows tell offsets from the bottom edge.
        // Each press meets the same windows; only the handlers' own memory (press
        // counters, a pending letter) carries from one press to the next.
        auto pressThrice = [&](int grow) {
            ResetHandlerState();
            std::vector<Press> v;
            for (int i = 0; i < 3; ++i) {
                Sandbox box;
                box.Build(exe, title, cls, s, grow);
                if (ForegroundCatalogueRow() != row.number) {
                    Die("row " + std::to_string(row.number) + ": the window built for it (" + exe +
                        ", \"" + title + "\", " + cls + ") is recognised as row " +
                        std::to_string(ForegroundCatalogueRow()));
                }
                v.push_back(box.Run(row.number, b));
            }
            return v;
        };
        const std::vector<Press> small = pressThrice(0);
        const std::vector<Press> large = pressThrice(100);
        std::vector<std::string> presses;
        for (int i = 0; i < 3; ++i) presses.push_back(Describe(small[i], large[i]));
        const int answer = small[0].answer;
        std::string text;
        if (presses[0] == presses[1] && presses[1] == presses[2]) {
            text = presses[0];
        } else if (presses[0].empty() && presses[1].empty() && !presses[2].empty()) {
            text = "every third press (and every third repeat while held): " + presses[2];
        } else {
            text = "first press: " + presses[0] + "; second: " + presses[1] + "; third: " + presses[2];
        }
        if (answer == 0) {
            if (text.empty()) continue;  // not mapped: the usual key
            if (defaults[b] != "nothing") text += "; then the button's usual key (" + defaults[b] + ")";
        } else if (text.empty()) {
            text = "nothing (the button is ignored here)";
        }
        out[b] = text;
    }
    return out;
}

// ---------------------------------------------------------------------------------
// Pages.

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
    if (argc != 4) {
        std::fprintf(stderr, "usage: helpgen SOURCE_DIR OUT_DIR VERSION\n"
                             "       helpgen --fix-chm-directory FILE.chm\n");
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path out = argv[2];
    const std::string version = argv[3];
    fs::create_directories(out);

    std::map<int32_t, std::string> defaults;
    for (int32_t b = 0; b < kButtonCount; ++b) defaults[b] = DefaultKey(b);

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
    };

    // The hand-written pages, in the order of the outline.
    std::vector<TocEntry> toc;
    std::vector<Page> pages;
    {
        std::istringstream outline(Read(source / "contents.txt"));
        std::string line;
        while (std::getline(outline, line)) {
            if (line.empty() || line[0] == '#') continue;
            size_t indent = 0;
            while (indent < line.size() && line[indent] == ' ') ++indent;
            const int level = static_cast<int>(indent / 2);
            const std::string rest = line.substr(indent);
            if (rest == "@programs") {
                for (const Page& p : programPages) toc.push_back({level, p.title, p.file});
                continue;
            }
            const size_t bar = rest.find(" | ");
            if (bar == std::string::npos) Die("contents.txt: no \" | \" in: " + line);
            toc.push_back({level, rest.substr(0, bar), rest.substr(bar + 3)});
        }
    }
    std::set<std::string> written;
    for (const TocEntry& e : toc) {
        if (e.file.rfind("program-", 0) == 0 || !written.insert(e.file).second) continue;
        std::string text = Read(source / e.file);
        const std::string title = Comment(text, "title");
        if (title.empty()) Die(e.file + ": no title comment");
        for (const auto& [name, html] : generated) {
            const std::string mark = "<!-- generated: " + name + " -->";
            for (size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), html);
        }
        if (text.find("<!-- generated:") != std::string::npos) Die(e.file + ": unknown generated part");
        pages.push_back({e.file, title, SplitKeywords(Comment(text, "keywords"))});
        Write(out / e.file, Layout(title, text, "", version));
    }
    for (const std::string& f : {std::string("style.css")}) fs::copy_file(source / f, out / f, fs::copy_options::overwrite_existing);

    // Button names lead to the buttons page.
    for (Page& p : pages) {
        if (p.file == "buttons.html") {
            for (int32_t b = 0; b < kButtonCount; ++b) p.keywords.push_back(ButtonTitle(b) + " button");
        }
    }
    std::vector<Page> all = pages;
    all.insert(all.end(), programPages.begin(), programPages.end());

    // The index: keyword -> pages.
    std::map<std::string, std::vector<const Page*>, bool (*)(const std::string&, const std::string&)>
        index([](const std::string& a, const std::string& b) {
            std::string la = a, lb = b;
            std::transform(la.begin(), la.end(), la.begin(), ::tolower);
            std::transform(lb.begin(), lb.end(), lb.begin(), ::tolower);
            return la != lb ? la < lb : a < b;
        });
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
    std::printf("helpgen: %zu pages (%zu supported-program rows), %zu index keywords\n", all.size() + 2,
                programPages.size(), index.size());
    return 0;
}
