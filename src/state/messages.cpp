#include "state/messages.h"

#include <atomic>

namespace {
std::atomic<WindowHandle> g_mainWindow{0};
}

WindowHandle MainWindowHandle() { return g_mainWindow.load(); }
void SetMainWindowHandle(WindowHandle w) { g_mainWindow.store(w); }
