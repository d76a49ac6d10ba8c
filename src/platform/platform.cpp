#include "platform/ports.h"

namespace {
Platform g_platform;
}

Platform& Os() { return g_platform; }

ScopedPlatform::ScopedPlatform(const Platform& p) : saved_(g_platform) { g_platform = p; }
ScopedPlatform::~ScopedPlatform() { g_platform = saved_; }
