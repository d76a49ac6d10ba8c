// The notice that a program in front runs as administrator, out of reach of this
// program's input.
#pragma once

#include <mutex>
#include <set>
#include <string>

#include "platform/ports.h"

// "%s" (both) is the program in front: its file name, or its title. It never suggests
// running this program as administrator: the favourites it opens and the files it writes
// would then carry those rights for whatever other programs of the user can change.
constexpr const char* kElevatedNoticeFormat =
    "Orbiscope Remote cannot control %s because it runs as administrator. Start %s normally "
    "to use the remote with it.";
// The programs already named in the elevation notice this session (lower-cased), and
// the last foreground process asked about with its answer, so a press into the same
// program asks the system nothing. A process is its id and its start time: an id is
// reused once its process ended, and the new process may stand otherwise.
struct ElevationMemory {
    std::mutex lock;
    std::set<std::string> told;  // guarded by lock
    ProcessId lastAsked = 0;
    uint64_t lastAskedStart = 0;
    Elevation lastAnswer = Elevation::Unknown;
};

// Forgets which programs the elevation notice has named (a new session; tests), in the
// engine in use.
void ForgetElevatedPrograms();

// Input from this program does not reach a program in front that runs as administrator.
// The user is told once per program and session; the press goes on as usual.
void NoteElevatedForeground(Desktop& desktop, ElevationMemory& memory);
