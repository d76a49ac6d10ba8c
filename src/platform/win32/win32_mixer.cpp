#include <windows.h>
#include <mmsystem.h>

#include <mutex>
#include <set>

#include "platform/mixer.h"
#include "platform/win32/adapters.h"

static_assert(kComponentDstSpeakers == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
static_assert(kComponentSrcWaveOut == MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT);
static_assert(kControlVolume == MIXERCONTROL_CONTROLTYPE_VOLUME);
static_assert(kControlMute == MIXERCONTROL_CONTROLTYPE_MUTE);
static_assert(kControlSingleSelect == MIXERCONTROL_CONTROLTYPE_SINGLESELECT);
static_assert(kControlMux == MIXERCONTROL_CONTROLTYPE_MUX);
static_assert(kControlMultipleSelect == MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT);
static_assert(kControlMixer == MIXERCONTROL_CONTROLTYPE_MIXER);
static_assert(kControlFlagUniform == MIXERCONTROL_CONTROLF_UNIFORM);
static_assert(kControlFlagMultiple == MIXERCONTROL_CONTROLF_MULTIPLE);
static_assert(kControlFlagDisabled == MIXERCONTROL_CONTROLF_DISABLED);
static_assert(kMixerControlChange == MM_MIXM_CONTROL_CHANGE);
static_assert(kMixerLineChange == MM_MIXM_LINE_CHANGE);
static_assert(sizeof(MIXERCONTROLDETAILS_UNSIGNED) == sizeof(uint32_t));
static_assert(sizeof(MIXERCONTROLDETAILS_BOOLEAN) == sizeof(int32_t));

namespace {

HMIXEROBJ Obj(MixerHandle mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

void Copy(const MIXERLINEA& from, MixerLineInfo& to) {
    to.lineId = from.dwLineID;
    to.componentType = from.dwComponentType;
    to.channels = from.cChannels;
    to.controls = from.cControls;
}

void Copy(const MIXERCONTROLA& from, MixerControlInfo& to) {
    to.controlId = from.dwControlID;
    to.type = from.dwControlType;
    to.flags = from.fdwControl;
    to.multipleItems = from.cMultipleItems;
    to.minimum = from.Bounds.dwMinimum;
    to.maximum = from.Bounds.dwMaximum;
    to.steps = from.Metrics.cSteps;
}

bool Details(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
             void* values, bool set) {
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = controlId;
    d.cChannels = channels;
    d.cMultipleItems = items > 1 ? items : 0;
    d.cbDetails = sizeof(DWORD);
    d.paDetails = values;
    const DWORD flags = MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE;
    const MMRESULT r = set ? mixerSetControlDetails(Obj(mixer), &d, flags)
                           : mixerGetControlDetailsA(Obj(mixer), &d, flags);
    return r == MMSYSERR_NOERROR;
}

// Each message window carries its handler in GWLP_USERDATA, put there from the
// creation parameters before any message the handler cares about can arrive.
LRESULT CALLBACK MessageWindowProcedure(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* proc = reinterpret_cast<MessageWindowProc*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (m == WM_NCDESTROY) SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    if (proc != nullptr && *proc && (*proc)(m, wp, lp)) return 0;
    return DefWindowProcA(h, m, wp, lp);
}

class Win32MixerImpl : public Mixer {
public:
    uint32_t DeviceCount() override { return mixerGetNumDevs(); }

    WaveOutHandle OpenWaveMapper(const PcmFormat& format) override {
        WAVEFORMATEX f{};
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.nChannels = format.channels;
        f.nSamplesPerSec = format.samplesPerSecond;
        f.wBitsPerSample = format.bitsPerSample;
        f.nBlockAlign = format.blockAlign;
        f.nAvgBytesPerSec = format.bytesPerSecond;
        HWAVEOUT wave = nullptr;
        if (waveOutOpen(&wave, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
            return 0;
        return reinterpret_cast<WaveOutHandle>(wave);
    }

    bool MixerIdOfWaveOut(WaveOutHandle waveOut, uint32_t& mixerId) override {
        UINT id = 0;
        if (mixerGetID(reinterpret_cast<HMIXEROBJ>(waveOut), &id, MIXER_OBJECTF_HWAVEOUT) !=
            MMSYSERR_NOERROR)
            return false;
        mixerId = id;
        return true;
    }

    void CloseWaveOut(WaveOutHandle waveOut) override {
        if (waveOut != 0) waveOutClose(reinterpret_cast<HWAVEOUT>(waveOut));
    }

    WindowHandle CreateMessageWindow(const std::string& className, const std::string& windowName,
                                     MessageWindowProc proc) override {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc{};
        wc.lpfnWndProc = MessageWindowProcedure;
        wc.hInstance = instance;
        wc.lpszClassName = className.c_str();
        // A second registration of the same class fails harmlessly.
        RegisterClassA(&wc);
        auto* handler = new MessageWindowProc(std::move(proc));
        HWND h = CreateWindowExA(0, className.c_str(), windowName.c_str(), WS_POPUP | WS_DISABLED,
                                 0, 0, 0, 0, nullptr, nullptr, instance, handler);
        if (h == nullptr) {
            delete handler;
            return 0;
        }
        ShowWindow(h, SW_HIDE);
        std::lock_guard<std::mutex> lock(guard_);
        handlers_.insert(handler);
        return reinterpret_cast<WindowHandle>(h);
    }

    void DestroyMessageWindow(WindowHandle window) override {
        HWND h = reinterpret_cast<HWND>(window);
        auto* handler = reinterpret_cast<MessageWindowProc*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        DestroyWindow(h);
        std::lock_guard<std::mutex> lock(guard_);
        if (handler != nullptr && handlers_.erase(handler) != 0) delete handler;
    }

    MixerHandle Open(uint32_t mixerId, WindowHandle notifyWindow) override {
        HMIXER mixer = nullptr;
        if (mixerOpen(&mixer, mixerId, static_cast<DWORD_PTR>(notifyWindow), 0, CALLBACK_WINDOW) !=
            MMSYSERR_NOERROR)
            return 0;
        return reinterpret_cast<MixerHandle>(mixer);
    }

    void Close(MixerHandle mixer) override {
        if (mixer != 0) mixerClose(reinterpret_cast<HMIXER>(mixer));
    }

    bool LineByComponentType(MixerHandle mixer, uint32_t componentType,
                             MixerLineInfo& line) override {
        MIXERLINEA l{};
        l.cbStruct = sizeof l;
        l.dwComponentType = componentType;
        if (mixerGetLineInfoA(Obj(mixer), &l,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
            MMSYSERR_NOERROR)
            return false;
        Copy(l, line);
        return true;
    }

    bool LineById(MixerHandle mixer, uint32_t lineId, MixerLineInfo& line) override {
        MIXERLINEA l{};
        l.cbStruct = sizeof l;
        l.dwLineID = lineId;
        if (mixerGetLineInfoA(Obj(mixer), &l, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_LINEID) !=
            MMSYSERR_NOERROR)
            return false;
        Copy(l, line);
        return true;
    }

    bool LineControlByType(MixerHandle mixer, uint32_t lineId, uint32_t controlType,
                           MixerControlInfo& control) override {
        MIXERCONTROLA c{};
        c.cbStruct = sizeof c;
        MIXERLINECONTROLSA lc{};
        lc.cbStruct = sizeof lc;
        lc.dwLineID = lineId;
        lc.dwControlType = controlType;
        lc.cControls = 1;
        lc.cbmxctrl = sizeof c;
        lc.pamxctrl = &c;
        if (mixerGetLineControlsA(Obj(mixer), &lc,
                                  MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
            MMSYSERR_NOERROR)
            return false;
        Copy(c, control);
        return true;
    }

    bool LineControls(MixerHandle mixer, uint32_t lineId, uint32_t count,
                      std::vector<MixerControlInfo>& controls) override {
        if (count == 0) return false;
        std::vector<MIXERCONTROLA> all(count);
        for (auto& c : all) c.cbStruct = sizeof c;
        MIXERLINECONTROLSA lc{};
        lc.cbStruct = sizeof lc;
        lc.dwLineID = lineId;
        lc.cControls = count;
        lc.cbmxctrl = sizeof(MIXERCONTROLA);
        lc.pamxctrl = all.data();
        if (mixerGetLineControlsA(Obj(mixer), &lc, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) !=
            MMSYSERR_NOERROR)
            return false;
        controls.assign(count, MixerControlInfo{});
        for (uint32_t k = 0; k < count; ++k) Copy(all[k], controls[k]);
        return true;
    }

    bool GetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                     std::vector<uint32_t>& values) override {
        values.assign(size_t{channels} * (items > 1 ? items : 1), 0);
        if (values.empty() || !Details(mixer, controlId, channels, items, values.data(), false)) {
            values.clear();
            return false;
        }
        return true;
    }

    bool SetUnsigned(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                     const std::vector<uint32_t>& values) override {
        std::vector<uint32_t> copy = values;
        if (copy.size() != size_t{channels} * (items > 1 ? items : 1) || copy.empty()) return false;
        return Details(mixer, controlId, channels, items, copy.data(), true);
    }

    bool GetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                    std::vector<int32_t>& values) override {
        values.assign(size_t{channels} * (items > 1 ? items : 1), 0);
        if (values.empty() || !Details(mixer, controlId, channels, items, values.data(), false)) {
            values.clear();
            return false;
        }
        return true;
    }

    bool SetBoolean(MixerHandle mixer, uint32_t controlId, uint32_t channels, uint32_t items,
                    const std::vector<int32_t>& values) override {
        std::vector<int32_t> copy = values;
        if (copy.size() != size_t{channels} * (items > 1 ? items : 1) || copy.empty()) return false;
        return Details(mixer, controlId, channels, items, copy.data(), true);
    }

private:
    std::mutex guard_;
    std::set<MessageWindowProc*> handlers_;
};

}  // namespace

Mixer& Win32Mixer() {
    static Win32MixerImpl mixer;
    return mixer;
}
