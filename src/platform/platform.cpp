#include "platform/ports.h"

namespace {
// The ports to the system: every layer and thread talks to Windows through them, most from
// plain functions with no context; the program installs the real ones at start-up and
// each test its fakes.
Platform g_platform;
}

Platform& Os() { return g_platform; }

uint32_t TickNow() {
    Clock* clock = g_platform.clock;
    return clock == nullptr ? 0 : clock->TickCount();
}

ScopedPlatform::ScopedPlatform(const Platform& p) : saved_(g_platform) { g_platform = p; }
ScopedPlatform::~ScopedPlatform() { g_platform = saved_; }
