#include "desktop/window_queries.h"

#include <vector>

#include "platform/ports.h"
#include "platform/vk.h"
#include "receiver/remote_button.h"
#include "desktop/input.h"

namespace {

bool Contains(const std::string& haystack, const char* needle) {
    return needle != nullptr && needle[0] != '\0' && haystack.find(needle) != std::string::npos;
}

// Input attachments made for one activation, undone in the order they were made when
// the scope ends, whichever way it ends. A pair the system refused (or one that would
// attach a thread to itself) is not undone, since it was never made.
class InputAttachments {
public:
    explicit InputAttachments(Desktop& desktop) : desktop_(desktop) {}
    InputAttachments(const InputAttachments&) = delete;
    InputAttachments& operator=(const InputAttachments&) = delete;
    ~InputAttachments() {
        for (size_t i = 0; i < count_; ++i) desktop_.AttachThreadInput(from_[i], to_[i], false);
    }
    void Attach(ThreadId from, ThreadId to) {
        if (from == 0 || to == 0 || from == to || count_ == kMax) return;
        for (size_t i = 0; i < count_; ++i) {
            if (from_[i] == from && to_[i] == to) return;
        }
        if (!desktop_.AttachThreadInput(from, to, true)) return;
        from_[count_] = from;
        to_[count_] = to;
        ++count_;
    }

private:
    static constexpr size_t kMax = 2;
    Desktop& desktop_;
    ThreadId from_[kMax] = {};
    ThreadId to_[kMax] = {};
    size_t count_ = 0;
};

// The cooperating window's keys: the "#02" column and the "#03" column; 0 = none.
struct CooperatingKey {
    RemoteButton button;
    uint8_t column02;
    uint8_t column03;
};

constexpr CooperatingKey kCooperatingKeys[] = {
    {Power, 0, vk::OEM_3},
    {VolumeUp, 0, vk::OEM_6},
    {VolumeDown, 0, vk::OEM_4},
    {Mute, 0, vk::OEM_5},
    {ChannelUp, vk::PRIOR, vk::PRIOR},
    {ChannelDown, vk::NEXT, vk::NEXT},
    {Play, 'P', 'P'},
    {Pause, vk::SPACE, vk::SPACE},
    {Stop, 'S', 'S'},
    {Record, 'C', 'C'},
    {Previous, 'B', 'B'},
    {Next, 'N', 'N'},
    {Rewind, 'R', 'R'},
    {FastForward, 'F', 'F'},
    {Up, vk::UP, vk::UP},
    {Down, vk::DOWN, vk::DOWN},
    {Left, vk::LEFT, vk::LEFT},
    {Right, vk::RIGHT, vk::RIGHT},
    {Ok, vk::RETURN, vk::RETURN},
    {Menu, 'M', 'M'},
    {Exit, 'E', 'E'},
    {Digit1, '1', '1'},
    {Digit2, '2', '2'},
    {Digit3, '3', '3'},
    {Digit4, '4', '4'},
    {Digit5, '5', '5'},
    {Digit6, '6', '6'},
    {Digit7, '7', '7'},
    {Digit8, '8', '8'},
    {Digit9, '9', '9'},
    {Digit0, '0', '0'},
    {MacroButton1, 0, vk::F1},
    {MacroButton2, 0, vk::F2},
    {MacroButton3, 0, vk::F3},
    {MacroButton4, 0, vk::F4},
};

constexpr const char* kCooperatingMarker = "orbiscope#";
constexpr const char* kPluginClassPart = "Orbiscope.WM";

}  // namespace

std::string LowerAnsi(const std::string& text) {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? text : desktop->LowerCase(text);
}

bool ForegroundWindowTitle(std::string& title) {
    title.clear();
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return false;
    const WindowHandle w = desktop->ForegroundWindow();
    if (w == 0) return false;
    return desktop->WindowText(w, 0, title);
}

std::string ForegroundWindowClass() {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr) return std::string();
    const WindowHandle w = desktop->ForegroundWindow();
    return w == 0 ? std::string() : desktop->ClassName(w, kClassBufferChars);
}

std::string WindowTitle(WindowHandle window) {
    Desktop* desktop = Os().desktop;
    std::string title;
    if (desktop == nullptr || window == 0) return title;
    if (!desktop->WindowText(window, kTitleBufferChars, title)) title.clear();
    return title;
}

std::string WindowClass(WindowHandle window) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || window == 0) return std::string();
    return desktop->ClassName(window, kWindowClassBufferChars);
}

std::string ProcessFileName(const std::string& reported) {
    const size_t slash = reported.find_last_of('\\');
    std::string name = slash == std::string::npos ? reported : reported.substr(slash + 1);
    if (name.size() > kMaxProcessNameChars) name.resize(kMaxProcessNameChars);
    return name;
}

std::string ProcessNameOfWindow(WindowHandle window) {
    Desktop* desktop = Os().desktop;
    ProcessList* processes = Os().processes;
    if (desktop == nullptr || processes == nullptr || window == 0) return std::string();
    // No owner means the window is gone; process 0 is the system's idle entry, which
    // owns no window of any program.
    const ProcessId pid = desktop->WindowProcess(window);
    if (pid == 0) return std::string();
    std::string reported;
    if (processes->ImageName(pid, reported)) return ProcessFileName(reported);
    std::vector<ProcessEntry> snapshot;
    if (!processes->Snapshot(snapshot)) return std::string();
    for (const ProcessEntry& entry : snapshot) {
        if (entry.pid == pid) return ProcessFileName(entry.exeFile);
    }
    return std::string();
}

std::string ForegroundProcessName() {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? std::string() : ProcessNameOfWindow(desktop->ForegroundWindow());
}

bool ForegroundProcessIs(const char* name) {
    return name != nullptr && name[0] != '\0' && LowerAnsi(ForegroundProcessName()) == name;
}

bool ForegroundProcessContains(const char* part) {
    return Contains(LowerAnsi(ForegroundProcessName()), part);
}

bool WindowProcessIs(WindowHandle window, const char* name) {
    return name != nullptr && name[0] != '\0' && LowerAnsi(ProcessNameOfWindow(window)) == name;
}

bool WindowProcessContains(WindowHandle window, const char* part) {
    return Contains(LowerAnsi(ProcessNameOfWindow(window)), part);
}

WindowHandle FindWindowByTitlePart(const std::string& text) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || text.empty()) return 0;
    WindowHandle remembered = 0;
    for (const WindowHandle top : desktop->TopLevelWindows()) {
        if (Contains(WindowTitle(top), text.c_str())) return top;
        for (const WindowHandle child : desktop->Descendants(top)) {
            if (Contains(WindowTitle(child), text.c_str())) {
                remembered = child;
                break;
            }
        }
    }
    return remembered;
}

WindowHandle FindDescendantByTitleAndClass(WindowHandle parent, const std::string& className,
                                           const std::string& title) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || parent == 0) return 0;
    for (const WindowHandle child : desktop->Descendants(parent)) {
        if (WindowTitle(child) == title && desktop->ClassName(child, kClassBufferChars) == className)
            return child;
    }
    return 0;
}

WindowHandle FindWindowByClass(const std::string& className) {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr || className.empty() ? 0 : desktop->FindTopLevelByClass(className);
}

void BringWindowToFront(WindowHandle window) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || window == 0) return;
    const WindowHandle foreground = desktop->ForegroundWindow();
    if (window == foreground) {
        desktop->ShowWindow(window, kSwRestore);
        return;
    }
    const ThreadId foregroundThread = desktop->WindowThread(foreground);
    const ThreadId windowThread = desktop->WindowThread(window);
    const ThreadId self = desktop->CurrentThread();
    {
        InputAttachments attachments(*desktop);
        attachments.Attach(self, foregroundThread);
        attachments.Attach(windowThread, foregroundThread);
        desktop->SetForegroundWindow(window);
        desktop->ShowWindow(window, kSwRestore);
        desktop->PostToThread(windowThread, wm::SETFOCUS, 0, 0);
    }
    // Some systems hand the foreground to no window when the window's thread is
    // detached again; by now this thread may activate it directly.
    if (desktop->ForegroundWindow() != window) desktop->SetForegroundWindow(window);
}

void FocusWindow(WindowHandle window) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || window == 0) return;
    const ThreadId foregroundThread = desktop->WindowThread(desktop->ForegroundWindow());
    const ThreadId windowThread = desktop->WindowThread(window);
    const ThreadId self = desktop->CurrentThread();
    InputAttachments attachments(*desktop);
    attachments.Attach(self, foregroundThread);
    attachments.Attach(windowThread, foregroundThread);
    desktop->SetFocus(window);
}

bool ForegroundIsCooperating() { return ForegroundTitleHasFlag(kCooperatingMarker); }

bool WindowIsCooperating(WindowHandle window) {
    return Contains(LowerAnsi(WindowTitle(window)), kCooperatingMarker);
}

bool ForegroundHasPluginClass() { return Contains(ForegroundWindowClass(), kPluginClassPart); }

// Read like the foreground's class, so that a window counts as a plug-in window
// whether it is in front or behind.
bool WindowHasPluginClass(WindowHandle window) {
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || window == 0) return false;
    return Contains(desktop->ClassName(window, kClassBufferChars), kPluginClassPart);
}

bool ForegroundTitleHasFlag(const char* flag) {
    std::string title;
    if (!ForegroundWindowTitle(title)) return false;
    return Contains(LowerAnsi(title), flag);
}

bool NoMouseFlag() { return ForegroundTitleHasFlag("-ms"); }
bool FavoritesFlag() { return ForegroundTitleHasFlag("-f"); }
bool PowerFlag() { return ForegroundTitleHasFlag("-p"); }

WindowHandle CooperatingWindowAskingForFront() {
    const WindowHandle window = FindWindowByTitlePart("Orbiscope#");
    if (window == 0) return 0;
    return Contains(LowerAnsi(WindowTitle(window)), "+fg") ? window : 0;
}

int CooperatingKeyHandler(int32_t button) {
    std::string title;
    if (!ForegroundWindowTitle(title)) return 0;
    int column = 0;
    if (Contains(title, "#02")) {
        column = 2;
    } else if (Contains(title, "#03")) {
        column = 3;
    } else {
        return 0;
    }
    for (const CooperatingKey& key : kCooperatingKeys) {
        if (key.button != button) continue;
        const uint8_t virtualKey = column == 2 ? key.column02 : key.column03;
        if (virtualKey == 0) return 0;
        SendKeystroke(virtualKey);
        return 1;
    }
    return 0;
}

bool IsOwnWindow(WindowHandle window) {
    Desktop* desktop = Os().desktop;
    ProcessList* processes = Os().processes;
    if (desktop == nullptr || processes == nullptr || window == 0) return false;
    const ProcessId owner = desktop->WindowProcess(window);
    return owner != 0 && owner == processes->CurrentProcess();
}
