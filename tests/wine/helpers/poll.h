// Shared by the helper programs and the Wine tests: waiting for a condition another
// process or thread brings about, and the thread count such waits often watch.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

// True once `pred` holds, asked every `stepMs`; false when `ms` have passed without it.
template <typename Pred>
bool Within(DWORD ms, Pred pred, DWORD stepMs = 50) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(stepMs);
    }
}

// The threads the process has now; -1 when the system cannot tell.
inline int ThreadsOf(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry))
        count += entry.th32OwnerProcessID == pid ? 1 : 0;
    CloseHandle(snap);
    return count;
}
