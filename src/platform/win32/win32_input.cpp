#include <windows.h>

#include "platform/win32/adapters.h"

namespace {

class Win32ClockImpl : public Clock {
public:
    uint32_t TickCount() override { return GetTickCount(); }
    void Sleep(uint32_t ms) override { ::Sleep(ms); }
};

class Win32InputImpl : public InputInjector {
public:
    uint32_t Inject(const std::vector<InputEvent>& batch) override {
        if (batch.empty()) return 0;
        std::vector<INPUT> inputs(batch.size());
        for (size_t i = 0; i < batch.size(); ++i) {
            INPUT& in = inputs[i];
            ZeroMemory(&in, sizeof(in));
            const InputEvent& e = batch[i];
            if (e.kind == InputEvent::Keyboard) {
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = e.virtualKey;
                in.ki.wScan = e.scanCode;
                in.ki.dwFlags = e.flags;
                in.ki.time = 0;
                in.ki.dwExtraInfo = static_cast<ULONG_PTR>(GetMessageExtraInfo());
            } else {
                in.type = INPUT_MOUSE;
                in.mi.dx = 0;
                in.mi.dy = 0;
                in.mi.mouseData = 0;
                in.mi.dwFlags = e.flags;
                in.mi.time = 0;
                in.mi.dwExtraInfo = static_cast<ULONG_PTR>(GetMessageExtraInfo());
            }
        }
        return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
};

}  // namespace

Clock& Win32Clock() {
    static Win32ClockImpl clock;
    return clock;
}

InputInjector& Win32Input() {
    static Win32InputImpl input;
    return input;
}
