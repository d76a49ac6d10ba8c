// What the program's tables say, read by running them: the catalogue's rules as
// sentences, and what each row's handler does with each button in the fake system.
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

bool IsModifier(uint16_t key) { return key == vk::SHIFT || key == vk::CONTROL || key == vk::MENU; }

// ---------------------------------------------------------------------------------
// A fake machine with one program in front, and what a handler did in it.

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

    // One press of the button with the profile files in force: let go at once, or held
    // (frames every 114 ms, as the receiver repeats) until the file's hold action ran.
    Press RunProfile(int32_t button, bool hold, int holdMs) {
        input_.Clear();
        desktop_.messages.clear();
        desktop_.calls.clear();
        desktop_.cursorMoves.clear();
        Press p;
        p.answer = RunProfileButton(ProfilesInForce(), button) == ProfileAnswer::Handled ? 1 : 0;
        constexpr uint32_t kRepeatMs = 114;
        for (uint32_t held = 0; hold && held <= static_cast<uint32_t>(holdMs); held += kRepeatMs) {
            clock_.now += kRepeatMs;
            (void)ProfileHoldFrame(button, false);
        }
        clock_.now += kProfileHoldReleaseMs + 1;
        ProfileHoldTimer();
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
                    if (!pressedSince[key]) p.steps.push_back("@key " + HelpKeyName(key));
                    held[key] = false;
                }
                continue;
            }
            if (up) continue;
            std::string combo;
            for (const uint16_t m : {uint16_t(vk::CONTROL), uint16_t(vk::MENU), uint16_t(vk::SHIFT)}) {
                if (held[m]) {
                    combo += HelpKeyName(m) + "+";
                    pressedSince[m] = true;
                }
            }
            p.steps.push_back("@key " + combo + HelpKeyName(key));
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


std::map<int32_t, std::string> ProfileActions(const ProfileOutline& file, bool held, int& row) {
    const ProfileOutline::Match& m = file.matches.front();
    Situation s;
    s.frontLabel = "the program's window";
    for (const std::string& cls : file.messageClasses) s.windows.push_back({"the " + cls + " window", "", cls});
    const std::string title = m.title.empty() ? "Window" : m.title;
    const std::string cls = m.className.empty() ? "AppClass" : m.className;
    std::map<int32_t, std::string> out;
    for (const int32_t b : held ? file.held : file.pressed) {
        ResetHandlerState();
        Sandbox box;
        box.Build(m.process, title, cls, s, 0);
        const std::string inForce = ProfileForForeground();
        const std::string layer = file.layer == ProfileLayer::User ? "user" : "shipped";
        if (inForce != layer + " profile " + file.fileName) {
            Die(file.fileName + ": the window built for it (" + m.process + ", \"" + title + "\", " + cls +
                ") is decided by " + (inForce.empty() ? std::string("no file") : inForce));
        }
        row = ForegroundCatalogueRow();
        const Press p = box.RunProfile(b, held, file.holdMs);
        const std::string text = Describe(p, p);
        out[b] = !text.empty() ? text : p.answer != 0 ? "nothing (the button is ignored here)"
                                                       : "what it does without this file";
    }
    return out;
}
