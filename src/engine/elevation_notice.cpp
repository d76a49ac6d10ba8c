#include "engine/elevation_notice.h"

#include <mutex>
#include <set>
#include <string>

#include "desktop/window_queries.h"
#include "state/notices.h"

namespace {

// The programs already named in the elevation notice this session (lower-cased), and
// the last foreground process asked about with its answer, so a press into the same
// program asks the system nothing.
std::mutex g_elevationLock;
std::set<std::string> g_toldElevated;
ProcessId g_lastAsked = 0;
Elevation g_lastAnswer = Elevation::Unknown;

}  // namespace

void NoteElevatedForeground(Desktop& desktop) {
    ProcessList* processes = Os().processes;
    const WindowHandle front = desktop.ForegroundWindow();
    const ProcessId pid = desktop.WindowProcess(front);
    if (processes == nullptr || pid == 0) return;
    std::lock_guard<std::mutex> hold(g_elevationLock);
    if (pid != g_lastAsked) {
        g_lastAsked = pid;
        g_lastAnswer = processes->ProcessElevation(pid);
    }
    if (g_lastAnswer != Elevation::Elevated && g_lastAnswer != Elevation::AccessDenied) return;
    std::string program = ProcessNameOfWindow(front);
    if (program.empty()) program = WindowTitle(front);
    if (program.empty() || !g_toldElevated.insert(LowerAnsi(program)).second) return;
    Notice(FillIn(kElevatedNoticeFormat, program));
}

void ForgetElevatedPrograms() {
    std::lock_guard<std::mutex> hold(g_elevationLock);
    g_toldElevated.clear();
    g_lastAsked = 0;
    g_lastAnswer = Elevation::Unknown;
}
