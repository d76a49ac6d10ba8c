// The catalogue of supported programs: how each is recognised and what each button
// sends it. The rows are constant data; their order decides which row wins when
// several rules hold for one program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "platform/types.h"
#include "profiles/keymap.h"

namespace catalogue {

// One test on the program that owns a window.
enum class Test : uint8_t {
    ProcessIs,           // lower-cased file name equals the text
    ProcessContains,     // lower-cased file name contains the text
    TitleContains,       // title contains the text, case-sensitive
    LowerTitleContains,  // lower-cased title contains the text
    ClassIs,             // class name equals the text, case-sensitive
};

struct Condition {
    Test test = Test::ProcessIs;
    const char* text = nullptr;
    // Where the text is a value defined elsewhere (row 12's host): read at each test.
    const char* const* textRef = nullptr;
    bool negated = false;

    constexpr const char* Text() const { return textRef != nullptr ? *textRef : text; }
};

// All conditions of a clause hold, asked in order and stopping at the first that fails.
struct Clause {
    static constexpr size_t kMax = 2;
    Condition conditions[kMax] = {};
    uint8_t count = 0;

    constexpr Clause() = default;
    constexpr Clause(Condition only) : conditions{only}, count(1) {}  // NOLINT: implicit
    constexpr Clause(Condition first, Condition second) : conditions{first, second}, count(2) {}
};

// Never defined: reaching it while building a constant rule stops the compilation.
void RuleHasTooManyClauses();

// A rule holds when one of its clauses holds, asked in order.
struct Rule {
    static constexpr size_t kMax = 4;
    Clause clauses[kMax] = {};
    uint8_t count = 0;

    constexpr Rule() = default;
    constexpr Rule(std::initializer_list<Clause> list) {
        for (const Clause& c : list) {
            if (count == kMax) RuleHasTooManyClauses();
            clauses[count++] = c;
        }
    }
};

}  // namespace catalogue

// What a window or the foreground is: read lazily, at most once per rule evaluation.
class WindowFacts;

// One catalogue row: its recognition rule and its handler.
struct AppProfile {
    int number = 0;  // 1..155
    catalogue::Rule rule;
    // Exactly one of the two: a keystroke table sent through SendMappedKeys, or a function.
    const keys::KeyMap* table = nullptr;
    int (*handler)(int32_t button) = nullptr;

    bool matchesForeground() const;
    bool matchesWindow(WindowHandle window) const;
    int handleButton(int32_t button) const;
    bool Matches(WindowFacts& facts) const;
};

constexpr int kCatalogueRows = 155;

// For the span of one press, the foreground window's title, class and process name are
// read once and shared by every rule asked about the foreground (the automatic switch's
// check and the dispatch walk); they are read again only when another window has come
// to the front meanwhile. The facts belong to the press (its outermost scope); without a
// scope on the thread, every rule reads them afresh.
class ForegroundPressScope {
public:
    ForegroundPressScope();
    ~ForegroundPressScope();
    ForegroundPressScope(const ForegroundPressScope&) = delete;
    ForegroundPressScope& operator=(const ForegroundPressScope&) = delete;

private:
    friend struct AppProfile;  // its foreground rule reads the facts
    struct Facts;
    ForegroundPressScope* outer_;
    std::unique_ptr<Facts> own_;  // the outermost scope's; inner scopes share it
    Facts* facts_;
};

// The rows in dispatch order; row n is ProfileCatalogue()[n - 1].
const AppProfile* ProfileCatalogue();
const AppProfile& CatalogueRow(int number);

// The dispatch walk: the first row (1..155) whose rule holds for the foreground window,
// or -1.
int ForegroundCatalogueRow();
// Runs the handler of row (1..155) for the button: 1 handled, 0 not.
int HandleCatalogueButton(int row, int32_t button);

// Whether the program in front is supported: row 1, the plug-in window class, rows 2..155.
bool CatalogueSupportsForeground();

// The window search: which rule first recognises a top-level window, in the order
// row 1, the plug-in class, rows 2..35, 131, 36..155, then the profile files. Answers
// the row number, kPluginClassMatch for the plug-in class, kProfileFileMatch for a
// window only a profile file describes, or -1.
constexpr int kPluginClassMatch = 0;
constexpr int kProfileFileMatch = -2;
int WindowSearchMatch(WindowHandle window);
bool WindowIsCatalogued(WindowHandle window);

// The program in front is supported (as CatalogueSupportsForeground).
bool ForegroundIsSupported();
// When the program in front is not supported: brings the first visible top-level
// window that the window search recognises to the front.
void AutoSwitch();

// Row 88's rule: a SageTV-family program is in front.
bool ForegroundIsSageTvFamily();
