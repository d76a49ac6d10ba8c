// Plain integer types for what crosses the ports: window handles, ids, messages.
#pragma once

#include <cstdint>

using WindowHandle = uintptr_t;  // 0: no window
using ProcessId = uint32_t;
using ThreadId = uint32_t;
using MessageId = uint32_t;
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// GetVersionEx's answer.
struct OsVersion {
    bool ok = false;
    uint32_t platformId = 0;  // 1: Windows 9x, 2: NT
    uint32_t major = 0;
    uint32_t minor = 0;
};
constexpr uint32_t kPlatformWin9x = 1;
constexpr uint32_t kPlatformNt = 2;
