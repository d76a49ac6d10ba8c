// Windows of other programs whose titles, classes and process names come from the input
// (the dictionary holds what the catalogue and the cooperating-window protocol look
// for): presses, the focus-request poll, the letter-entry timer, the window search and
// the automatic switch run over them. After each step every input attachment is undone
// and no key is held down; the search answers a rule that holds for the window, a
// window whose title it reads whole counts alike in front and behind, and the switch
// brings the first visible catalogued window to the front when the one in front is
// unsupported.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/events.h"
#include "fuzz/fuzz_machine.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "engine/dispatcher.h"
#include "desktop/window_queries.h"
#include "ui/shell.h"

namespace {

// What the catalogue's rules and the cooperating-window protocol look for.
const std::vector<std::string>& Pieces() {
    static const std::vector<std::string> pieces = [] {
        std::vector<std::string> out{"Orbiscope#", "Orbiscope#02", "Orbiscope#03", "+fg", "-ms",
                                     "-f", "-p", "Orbiscope.WM", "Winamp v1.x", kGirderClass,
                                     kWmxClass, kWmxaClass};
        for (int row = 1; row <= kCatalogueRows; ++row) {
            const catalogue::Rule& rule = CatalogueRow(row).rule;
            for (uint8_t c = 0; c < rule.count; ++c) {
                for (uint8_t i = 0; i < rule.clauses[c].count; ++i)
                    out.emplace_back(rule.clauses[c].conditions[i].Text());
            }
        }
        return out;
    }();
    return pieces;
}

// A title, class or process name: one of those pieces, alone or with text around it
// (which may hold more of them, from the dictionary), or text alone.
std::string Text(FuzzedDataProvider& in) {
    const size_t pick = in.ConsumeIntegralInRange<size_t>(0, Pieces().size());
    const std::string piece = pick < Pieces().size() ? Pieces()[pick] : "";
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: return piece;
        case 1: return piece + in.ConsumeRandomLengthString(300);
        case 2: return in.ConsumeRandomLengthString(300) + piece;
        default: return in.ConsumeRandomLengthString(300);
    }
}

void CheckWindowSearch(FakeDesktop& desktop) {
    for (const WindowHandle w : desktop.TopLevelWindows()) {
        const int row = WindowSearchMatch(w);
        if (row == kPluginClassMatch) Check(WindowHasPluginClass(w));
        if (row > 0) Check(CatalogueRow(row).matchesWindow(w));
        if (desktop.Find(w)->title.size() >= kTitleBufferChars) continue;
        const WindowHandle front = desktop.foreground;
        desktop.foreground = w;
        Check(CatalogueSupportsForeground() == (row != -1));
        desktop.foreground = front;
    }
}

void CheckAutoSwitch(FakeDesktop& desktop) {
    WindowHandle first = 0;
    for (const WindowHandle w : desktop.TopLevelWindows()) {
        if ((desktop.WindowStyle(w) & kWsVisible) != 0 && WindowIsCatalogued(w)) {
            first = w;
            break;
        }
    }
    const WindowHandle before = desktop.foreground;
    const bool stays = CatalogueSupportsForeground() || first == 0 || desktop.refuseForeground;
    AutoSwitch();
    Check(desktop.foreground == (stays ? before : first));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    FuzzMachine m(in);
    FakeDesktop& desktop = m.env.desktop;
    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    m.env.processes.imageNameWorks = (flags & 1) == 0;
    m.env.processes.snapshotFails = (flags & 2) != 0;
    desktop.refuseForeground = (flags & 4) != 0;

    std::vector<WindowHandle> windows{0};  // 0: no window at all in front
    for (int i = in.ConsumeIntegralInRange(1, 6); i > 0; --i) {
        FakeWindow w;
        w.title = Text(in);
        w.className = Text(in);
        const std::string exe = Text(in);
        const uint8_t how = in.ConsumeIntegral<uint8_t>();
        if ((how & 1) != 0) w.parent = windows[(how >> 5) % windows.size()];
        if ((how & 2) != 0) w.style = 0;
        w.hung = (how & 4) != 0;
        const WindowHandle h = m.AddWindow(w, exe, (how & 8) != 0);
        if ((how & 0x10) != 0) desktop.Find(h)->thread = desktop.currentThread;
        windows.push_back(h);
    }
    desktop.foreground = windows.back();

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0: {
                const int32_t button = in.ConsumeIntegralInRange(0, kButtonCount - 1);
                if (!ButtonDispatcher(button, in.ConsumeIntegralInRange(1, 2)))
                    SendDefaultKeystroke(button);
                break;
            }
            case 1: FocusRequestPoll(); break;
            case 2: LetterEntryTimer(); break;
            case 3: desktop.foreground = windows[in.ConsumeIntegralInRange<size_t>(0, windows.size() - 1)]; break;
            case 4: CheckWindowSearch(desktop); break;
            default: CheckAutoSwitch(desktop); break;
        }
        m.CheckAfterPress();
    }
    return 0;
}
