// The output volume: the default render endpoint on Windows 6.x, the master and wave
// mixer lines elsewhere.
#pragma once

#include <cstdint>
#include <string>

#include "platform/endpoint_volume.h"
#include "platform/mixer.h"
#include "platform/types.h"

// Called with the control's new level and the registered user data.
using VolumeChangeHandler = void (*)(int64_t level, uintptr_t userData);

// One mixer line's volume control. Levels, bounds and step counts are -1 while the
// control is not available; a valid level is 0..0xFFFFFFFF, hence the 64-bit type.
class IVolume {
public:
    virtual bool IsAvailable() = 0;
    virtual void EnableLine() = 0;   // unmute
    virtual void DisableLine() = 0;  // mute
    virtual int32_t GetStepCount() = 0;
    virtual int64_t GetMinimum() = 0;
    virtual int64_t GetMaximum() = 0;
    virtual int64_t GetLevel() = 0;  // the first channel's value
    virtual void SetLevel(int64_t value) = 0;  // every channel; ignored outside the bounds
    virtual void SetChangeHandler(VolumeChangeHandler handler, uintptr_t userData) = 0;

protected:
    // Never deleted through the interface.
    ~IVolume() = default;
};

// The shared implementation of the two line controllers. Each concrete class owns a
// process-wide pointer to its one object; the message window reaches the object only
// through that pointer, so a notification arriving after destruction finds nothing.
class CVolumeOutLine : public IVolume {
public:
    CVolumeOutLine(const CVolumeOutLine&) = delete;
    CVolumeOutLine& operator=(const CVolumeOutLine&) = delete;

    bool IsAvailable() override { return available != 0; }
    void EnableLine() override { SetLineEnabled(true); }
    void DisableLine() override { SetLineEnabled(false); }
    int32_t GetStepCount() override { return available ? steps : -1; }
    int64_t GetMinimum() override { return available ? int64_t{minimum} : -1; }
    int64_t GetMaximum() override { return available ? int64_t{maximum} : -1; }
    int64_t GetLevel() override;
    void SetLevel(int64_t value) override;
    void SetChangeHandler(VolumeChangeHandler handler, uintptr_t userData) override;

    bool IsMixerOpen() const { return mixerOpen != 0; }
    bool IsLineReady() const { return lineReady != 0; }
    WindowHandle MessageWindow() const { return messageWindow; }

protected:
    CVolumeOutLine(CVolumeOutLine** target, uint32_t componentType, const char* windowClass,
                   const char* windowName);
    ~CVolumeOutLine();

private:
    void SetLineEnabled(bool enable);
    static bool WindowProc(CVolumeOutLine** target, MessageId message, WParam wp, LParam lp);

    uint8_t mixerOpen = 0;
    uint8_t lineReady = 0;
    uint8_t available = 0;
    uint32_t mixerId = 0;
    MixerHandle mixer = 0;
    uint32_t lineId = 0;
    uint32_t controlId = 0;
    uint32_t channels = 0;
    WindowHandle messageWindow = 0;
    uint32_t minimum = 0xFFFFFFFFu;
    uint32_t maximum = 0xFFFFFFFFu;
    int32_t steps = 0;
    VolumeChangeHandler changeHandler = nullptr;
    uintptr_t handlerData = 0;

    Mixer* port_ = nullptr;  // the mixer the object was built over; closed through it
    CVolumeOutLine** target_;
};

// The speakers destination line.
class CVolumeOutMaster final : public CVolumeOutLine {
public:
    CVolumeOutMaster();
    ~CVolumeOutMaster();
    static CVolumeOutLine* target;
};

// The wave-out source line.
class CVolumeOutWave final : public CVolumeOutLine {
public:
    CVolumeOutWave();
    ~CVolumeOutWave();
    static CVolumeOutLine* target;
};

// The process's two line controllers, built over Os().mixer before start-up and
// destroyed at exit. Null while not built; every action then treats the line as not
// available.
void ConstructVolumeControls();
void DestroyVolumeControls();
CVolumeOutMaster* MasterVolume();
CVolumeOutWave* WaveVolume();

// GetVersionEx succeeds, NT family, major version exactly 6: the endpoint path.
bool IsWindowsVersion6();

// The endpoint path (the shell initialises COM around these).
void CreateEndpointVolume();
void ReleaseEndpointVolume();
EndpointHandle EndpointInterface();  // 0 when there is none
void SetEndpointLevel(float level);
float GetEndpointLevel();  // 0 without an interface
void SetEndpointMute(bool mute);

// Change the volume by a fraction (0..1) of the full range.
void RaiseVolume(float step);
void LowerVolume(float step);
void UnmuteOutput();
void MuteOutput();
// 1 after the last unmute done here, 0 after the last mute; not read from the system.
bool OutputUnmuted();

// The output's level in percent of its range (0..100), -1 when it cannot be read.
int32_t VolumePercent();

// The step of one volume press for a VolumeSensitivity setting (0..100).
float VolumeStep(int32_t sensitivity);
