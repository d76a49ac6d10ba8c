#include "platform/ports.h"

namespace {
Platform g_platform;
}

Platform& Os() { return g_platform; }

uint32_t TickNow() {
    Clock* clock = g_platform.clock;
    return clock == nullptr ? 0 : clock->TickCount();
}

ScopedPlatform::ScopedPlatform(const Platform& p) : saved_(g_platform) { g_platform = p; }
ScopedPlatform::~ScopedPlatform() { g_platform = saved_; }
