#include "platform/fake/fake_os.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "platform/vk.h"

uint32_t FakeInput::Inject(const std::vector<InputEvent>& batch) {
    std::vector<InputEvent> accepted;
    for (const InputEvent& e : batch) {
        if (acceptLimit >= 0 && static_cast<int32_t>(accepted.size()) >= acceptLimit) break;
        accepted.push_back(e);
        if (e.kind == InputEvent::Keyboard) {
            keyDown[e.virtualKey & 0xFF] = (e.flags & kKeyUp) == 0;
        } else if (desktop != nullptr) {
            clickPoints.push_back(desktop->CursorPos());
        }
    }
    batches.push_back(batch);
    return static_cast<uint32_t>(accepted.size());
}

std::vector<InputEvent> FakeInput::AllEvents() const {
    std::vector<InputEvent> all;
    for (const auto& b : batches) all.insert(all.end(), b.begin(), b.end());
    return all;
}

std::vector<uint16_t> FakeInput::KeysDown() const {
    std::vector<uint16_t> out;
    for (const auto& e : AllEvents())
        if (e.kind == InputEvent::Keyboard && (e.flags & kKeyUp) == 0) out.push_back(e.virtualKey);
    return out;
}

FakeDesktop::FakeDesktop() = default;

std::vector<FakeMessage> FakeDesktop::MessagesTo(WindowHandle w) const {
    std::vector<FakeMessage> out;
    for (const auto& m : messages)
        if (m.window == w) out.push_back(m);
    return out;
}

WindowHandle FakeDesktop::Add(FakeWindow w) {
    w.handle = next_;
    next_ += 0x10;
    if (w.parent == 0) {
        windows_.insert(windows_.begin(), w);
    } else {
        windows_.push_back(w);
    }
    return w.handle;
}

FakeWindow* FakeDesktop::Find(WindowHandle w) {
    if (w == 0) return nullptr;
    for (auto& win : windows_) {
        if (win.handle == w) return &win;
    }
    return nullptr;
}

void FakeDesktop::Remove(WindowHandle w) {
    std::vector<WindowHandle> doomed{w};
    for (size_t i = 0; i < doomed.size(); ++i) {
        for (const auto& win : windows_) {
            if (win.parent == doomed[i]) doomed.push_back(win.handle);
        }
    }
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const FakeWindow& win) {
                                      return std::find(doomed.begin(), doomed.end(),
                                                       win.handle) != doomed.end();
                                  }),
                   windows_.end());
    if (std::find(doomed.begin(), doomed.end(), foreground) != doomed.end()) foreground = 0;
}

void FakeDesktop::BringToTop(WindowHandle w) {
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&](const FakeWindow& win) { return win.handle == w; });
    if (it == windows_.end()) return;
    FakeWindow copy = *it;
    windows_.erase(it);
    windows_.insert(windows_.begin(), copy);
}

bool FakeDesktop::WindowText(WindowHandle w, size_t bufferChars, std::string& out) {
    FakeWindow* win = Find(w);
    if (win == nullptr) {
        out.clear();
        return false;
    }
    out = win->title;
    if (bufferChars > 0 && out.size() > bufferChars - 1) out.resize(bufferChars - 1);
    return true;
}

std::string FakeDesktop::ClassName(WindowHandle w, size_t bufferChars) {
    FakeWindow* win = Find(w);
    if (win == nullptr) return std::string();
    std::string out = win->className;
    if (bufferChars > 0 && out.size() > bufferChars - 1) out.resize(bufferChars - 1);
    return out;
}

ProcessId FakeDesktop::WindowProcess(WindowHandle w) {
    FakeWindow* win = Find(w);
    return win == nullptr ? 0 : win->pid;
}

ThreadId FakeDesktop::WindowThread(WindowHandle w) {
    FakeWindow* win = Find(w);
    return win == nullptr ? 0 : win->thread;
}

uint32_t FakeDesktop::WindowStyle(WindowHandle w) {
    FakeWindow* win = Find(w);
    return win == nullptr ? 0 : win->style;
}

bool FakeDesktop::IsVisible(WindowHandle w) {
    for (FakeWindow* win = Find(w); win != nullptr; win = Find(win->parent)) {
        if ((win->style & kWsVisible) == 0) return false;
        if (win->parent == 0) return true;
    }
    return false;
}

bool FakeDesktop::WindowRect(WindowHandle w, Rect& out) {
    FakeWindow* win = Find(w);
    if (win == nullptr) {
        out = Rect{};
        return false;
    }
    out = win->rect;
    return true;
}

std::vector<WindowHandle> FakeDesktop::TopLevelWindows() {
    std::vector<WindowHandle> out;
    for (const auto& win : windows_) {
        if (win.parent == 0 && win.desktopName == "Default") out.push_back(win.handle);
    }
    return out;
}

std::vector<WindowHandle> FakeDesktop::Descendants(WindowHandle parent) {
    std::vector<WindowHandle> out;
    std::function<void(WindowHandle)> walk = [&](WindowHandle p) {
        for (const auto& win : windows_) {
            if (win.parent == p) {
                out.push_back(win.handle);
                walk(win.handle);
            }
        }
    };
    if (parent != 0) walk(parent);
    return out;
}

WindowHandle FakeDesktop::FirstChild(WindowHandle parent) {
    for (const auto& win : windows_) {
        if (win.parent == parent && parent != 0) return win.handle;
    }
    return 0;
}

WindowHandle FakeDesktop::NextSibling(WindowHandle w) {
    FakeWindow* self = Find(w);
    if (self == nullptr) return 0;
    bool seen = false;
    for (const auto& win : windows_) {
        if (win.handle == w) {
            seen = true;
            continue;
        }
        if (seen && win.parent == self->parent) return win.handle;
    }
    return 0;
}

WindowHandle FakeDesktop::FindTopLevelByClass(const std::string& className) {
    for (const auto& win : windows_) {
        if (win.parent == 0 && win.desktopName == "Default" && win.className == className)
            return win.handle;
    }
    return 0;
}

std::optional<std::vector<WindowHandle>> FakeDesktop::DesktopWindows(const std::string& name,
                                                                      uint32_t /*access*/) {
    openedDesktops.push_back(name);
    std::vector<WindowHandle> out;
    bool any = false;
    for (const auto& win : windows_) {
        if (win.desktopName == name) {
            any = true;
            if (win.parent == 0) out.push_back(win.handle);
        }
    }
    if (!any) return std::nullopt;
    return out;
}

bool FakeDesktop::Post(WindowHandle w, MessageId m, WParam wp, LParam lp) {
    // The desktop window always exists and takes posts (the screen-saver command).
    if (Find(w) == nullptr && w != kDesktopHandle) return false;
    messages.push_back(FakeMessage{w, 0, m, wp, lp, false});
    return true;
}

bool FakeDesktop::PostToThread(ThreadId t, MessageId m, WParam wp, LParam lp) {
    if (t == 0) return false;
    messages.push_back(FakeMessage{0, t, m, wp, lp, false});
    return true;
}

LResult FakeDesktop::Send(WindowHandle w, MessageId m, WParam wp, LParam lp) {
    if (Find(w) == nullptr) return 0;
    FakeMessage msg{w, 0, m, wp, lp, true};
    messages.push_back(msg);
    return onSend ? onSend(msg) : 0;
}

bool FakeDesktop::SendAbortIfHung(WindowHandle w, MessageId m, WParam wp, LParam lp,
                                         uint32_t timeoutMs, LResult* result) {
    FakeWindow* win = Find(w);
    if (win == nullptr || win->hung) return false;
    if (win->busy) {
        if (Clock* clock = Os().clock) clock->Sleep(timeoutMs);
        return false;
    }
    const LResult r = Send(w, m, wp, lp);
    if (result != nullptr) *result = r;
    return true;
}

MessageId FakeDesktop::RegisterMessage(const std::string& name) {
    auto it = registered.find(name);
    if (it != registered.end()) return it->second;
    const MessageId id = nextMessage_++;
    registered[name] = id;
    return id;
}

bool FakeDesktop::AttachThreadInput(ThreadId from, ThreadId to, bool attach) {
    calls.push_back(std::string(attach ? "attach " : "detach ") + std::to_string(from) + "->" +
                    std::to_string(to));
    attachBalance += attach ? 1 : -1;
    return true;
}

bool FakeDesktop::SetForegroundWindow(WindowHandle w) {
    calls.push_back("foreground " + std::to_string(w));
    if (refuseForeground || Find(w) == nullptr) return false;
    foreground = w;
    BringToTop(w);
    return true;
}

bool FakeDesktop::ShowWindow(WindowHandle w, int32_t command) {
    calls.push_back("show " + std::to_string(w) + " " + std::to_string(command));
    FakeWindow* win = Find(w);
    if (win == nullptr) return false;
    if (command == kSwRestore) win->minimized = false;
    return true;
}

WindowHandle FakeDesktop::SetFocus(WindowHandle w) {
    calls.push_back("focus " + std::to_string(w));
    const WindowHandle previous = focus;
    focus = w;
    return previous;
}

bool FakeDesktop::SetCursorPos(int32_t x, int32_t y) {
    cursor = Point{x, y};
    cursorMoves.push_back(cursor);
    return true;
}

std::string FakeDesktop::LowerCase(const std::string& text) {
    // Windows-1252: ASCII and the Latin-1 capitals.
    std::string out = text;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 'A' && u <= 'Z') c = static_cast<char>(u + 32);
        else if (u >= 0xC0 && u <= 0xDE && u != 0xD7) c = static_cast<char>(u + 32);
    }
    return out;
}

std::string FakeDesktop::AnsiToUtf8(const std::string& text) {
    // Windows-1252, as LowerCase: the bytes 0x80-0x9F are letters and signs there.
    static const uint16_t k80[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const uint32_t code = u >= 0x80 && u <= 0x9F ? k80[u - 0x80] : u;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

ProcessId FakeProcessList::Add(const std::string& exeFile) {
    const ProcessId pid = next_;
    next_ += 4;
    processes.push_back(ProcessEntry{pid, exeFile});
    return pid;
}

bool FakeProcessList::Snapshot(std::vector<ProcessEntry>& out) {
    ++snapshots;
    if (snapshotFails) return false;
    out = processes;
    return true;
}

bool FakeProcessList::ImageName(ProcessId pid, std::string& out) {
    ++lookups;
    if (!imageNameWorks) return false;
    for (const auto& p : processes) {
        if (p.pid == pid) {
            out = "C:\\Program Files\\App\\" + p.exeFile;
            return true;
        }
    }
    return false;
}

bool FakeProcessList::Terminate(ProcessId pid, uint32_t exitCode) {
    for (const auto& p : processes) {
        if (p.pid == pid) {
            terminated.emplace_back(pid, exitCode);
            return true;
        }
    }
    return false;
}

void FakeUserInterface::WaitServingSentMessages(uint32_t ms) {
    if (Clock* clock = Os().clock) {
        clock->Sleep(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}
