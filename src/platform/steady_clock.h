// A clock on the standard library's steady time, whose sleeps really pass: for the
// console tools and for tests whose threads must not spin.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/ports.h"

class SteadyClock : public Clock {
public:
    uint32_t TickCount() override {
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void Sleep(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};
