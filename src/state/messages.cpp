#include "state/messages.h"

#include <atomic>

namespace {
// The main window is one per process; the reader thread and the handlers' timers post
// to it from places that have no window of their own.
std::atomic<WindowHandle> g_mainWindow{0};
}

WindowHandle MainWindowHandle() { return g_mainWindow.load(); }
void SetMainWindowHandle(WindowHandle w) { g_mainWindow.store(w); }
