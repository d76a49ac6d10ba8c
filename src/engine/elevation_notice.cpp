#include "engine/elevation_notice.h"

#include <string>

#include "desktop/window_queries.h"
#include "engine/press_engine.h"
#include "state/notices.h"

void NoteElevatedForeground(Desktop& desktop, ElevationMemory& memory) {
    ProcessList* processes = Os().processes;
    const WindowHandle front = desktop.ForegroundWindow();
    const ProcessId pid = desktop.WindowProcess(front);
    if (processes == nullptr || pid == 0) return;
    std::lock_guard<std::mutex> hold(memory.lock);
    if (pid != memory.lastAsked) {
        memory.lastAsked = pid;
        memory.lastAnswer = processes->ProcessElevation(pid);
    }
    if (memory.lastAnswer != Elevation::Elevated && memory.lastAnswer != Elevation::AccessDenied)
        return;
    std::string program = ProcessNameOfWindow(front);
    if (program.empty()) program = WindowTitle(front);
    if (program.empty() || !memory.told.insert(LowerAnsi(program)).second) return;
    Notice(FillIn(kElevatedNoticeFormat, program));
}

void ForgetElevatedPrograms() {
    ElevationMemory& memory = PressEngineInUse().elevation;
    std::lock_guard<std::mutex> hold(memory.lock);
    memory.told.clear();
    memory.lastAsked = 0;
    memory.lastAnswer = Elevation::Unknown;
}
