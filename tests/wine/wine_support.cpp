#include "wine_support.h"

namespace {
void RegisterOnce(const char* className, WNDPROC proc) {
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), className, &wc)) return;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
}
}  // namespace

TestWindow::TestWindow(const char* title, const char* className, int x, int y, int w, int h) {
    RegisterOnce(className, Proc);
    hwnd_ = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h,
                            nullptr, nullptr, GetModuleHandleA(nullptr), this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    PumpMessages(50);
}

TestWindow::~TestWindow() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    PumpMessages(20);
}

std::vector<RecordedMessage> TestWindow::Received(UINT message) const {
    std::vector<RecordedMessage> out;
    for (const auto& m : messages) {
        if (m.message == message) out.push_back(m);
    }
    return out;
}

bool TestWindow::MakeForeground() {
    ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    SetFocus(hwnd_);
    return PumpUntil([&] { return GetForegroundWindow() == hwnd_; }, 3000);
}

LRESULT CALLBACK TestWindow::Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (self != nullptr) {
        self->messages.push_back(RecordedMessage{m, wp, lp});
        if (self->onMessage) self->onMessage(m);
    }
    return DefWindowProcA(h, m, wp, lp);
}

void PressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> batch;
    const auto add = [&batch](WORD vk, DWORD flags) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        const bool extended =
            (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE;
        in.ki.dwFlags = flags | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
        batch.push_back(in);
    };
    for (WORD vk : keys) add(vk, 0);
    for (auto it = keys.end(); it != keys.begin();) add(*--it, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
}

void PumpMessages(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

Platform RealPlatform() {
    Platform p;
    p.clock = &Win32Clock();
    p.input = &Win32Input();
    p.desktop = &Win32Desktop();
    p.processes = &Win32ProcessList();
    return p;
}

std::string TestProgramDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\'));
}
