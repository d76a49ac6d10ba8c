#include "engine/elevation_notice.h"

#include <string>

#include "desktop/window_queries.h"
#include "engine/press_engine.h"
#include "state/notices.h"
#include "state/trace.h"

void NoteElevatedForeground(Desktop& desktop, ElevationMemory& memory) {
    ProcessList* processes = Os().processes;
    const WindowHandle front = desktop.ForegroundWindow();
    const ProcessId pid = desktop.WindowProcess(front);
    if (processes == nullptr || pid == 0) return;
    std::lock_guard<std::mutex> hold(memory.lock);
    const uint64_t start = processes->ProcessStartTime(pid);
    if (pid != memory.lastAsked || start != memory.lastAskedStart || start == 0) {
        memory.lastAsked = pid;
        memory.lastAskedStart = start;
        memory.lastAnswer = processes->ProcessElevation(pid);
    }
    // A process that cannot be asked may as well be another user's ordinary program.
    if (memory.lastAnswer != Elevation::Elevated) return;
    std::string program = ProcessNameOfWindow(front);
    if (program.empty()) program = WindowTitle(front);
    // Every press into it knows that what it sends will be dropped, told once or not.
    TraceStep([&] { return TraceFact(TraceKind::Elevated, TraceTextFromAnsi(program)); });
    if (program.empty() || !memory.told.insert(LowerAnsi(program)).second) return;
    TraceAction([&] { return TraceFact(TraceKind::AdministratorNotice, TraceTextFromAnsi(program)); });
    Notice(FillIn(kElevatedNoticeFormat, program));
}

void ForgetElevatedPrograms() {
    ElevationMemory& memory = PressEngineInUse().elevation;
    std::lock_guard<std::mutex> hold(memory.lock);
    memory.told.clear();
    memory.lastAsked = 0;
    memory.lastAskedStart = 0;
    memory.lastAnswer = Elevation::Unknown;
}
