// Shared by the helper programs: waiting for a condition another process brings about.
#pragma once

#include <windows.h>

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
