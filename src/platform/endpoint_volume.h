// The default render endpoint's volume interface (Windows 6.x).
#pragma once

#include <cstdint>

#include "platform/ports.h"

using EndpointHandle = uintptr_t;  // an interface reference; 0: none

class EndpointVolume : public Port {
public:
    // The volume interface of the default render endpoint in the console role, or 0.
    // COM must be initialised on the calling thread. Nothing stays held on failure.
    virtual EndpointHandle Create() = 0;
    virtual void Release(EndpointHandle endpoint) = 0;
    // Levels are scalars 0..1; no event context is passed.
    virtual bool SetMasterLevelScalar(EndpointHandle endpoint, float level) = 0;
    virtual bool GetMasterLevelScalar(EndpointHandle endpoint, float& level) = 0;
    virtual bool SetMute(EndpointHandle endpoint, bool mute) = 0;
    virtual bool GetMute(EndpointHandle endpoint, bool& muted) = 0;
};
