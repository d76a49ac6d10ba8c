#include "routing/windows.h"

#include "platform/ports.h"

std::string LowerAnsi(const std::string& text) {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? text : desktop->LowerCase(text);
}

bool ForegroundWindowTitle(std::string& title) {
    title.clear();
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return false;
    const WindowHandle w = desktop->ForegroundWindow();
    if (w == 0) return false;
    return desktop->WindowText(w, 0, title);
}

bool ForegroundTitleHasFlag(const char* flag) {
    std::string title;
    if (!ForegroundWindowTitle(title)) return false;
    return LowerAnsi(title).find(flag) != std::string::npos;
}

bool NoMouseFlag() { return ForegroundTitleHasFlag("-ms"); }
