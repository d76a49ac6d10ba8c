// A notification area: which icons are shown with what, and every call made.
#pragma once

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/ports.h"

class FakeNotifyIcon : public NotifyIcon {
public:
    struct Call {
        Op op;
        NotifyIconData data;
        bool succeeded;
    };

    bool Notify(Op op, const NotifyIconData& data) override {
        std::lock_guard<std::mutex> hold(lock_);
        const auto key = std::make_pair(data.window, data.id);
        bool ok = !failAll;
        if (ok) {
            switch (op) {
                case Op::Add: ok = shown.emplace(key, data).second; break;
                case Op::Modify: {
                    auto it = shown.find(key);
                    ok = it != shown.end();
                    // A balloon alone leaves the icon and its tip as they are.
                    if (ok && data.flags != kNifInfo) it->second = data;
                    break;
                }
                case Op::Delete: ok = shown.erase(key) != 0; break;
            }
        }
        calls.push_back(Call{op, data, ok});
        return ok;
    }

    // The notification area restarts empty (its owner was restarted).
    void Rebuild() {
        std::lock_guard<std::mutex> hold(lock_);
        shown.clear();
    }
    std::vector<Call> Calls() const {
        std::lock_guard<std::mutex> hold(lock_);
        return calls;
    }
    // The icon shown for (window, id), if any.
    bool Shown(WindowHandle w, uint32_t id, NotifyIconData* out = nullptr) const {
        std::lock_guard<std::mutex> hold(lock_);
        auto it = shown.find(std::make_pair(w, id));
        if (it == shown.end()) return false;
        if (out != nullptr) *out = it->second;
        return true;
    }

    bool failAll = false;
    std::map<std::pair<WindowHandle, uint32_t>, NotifyIconData> shown;
    std::vector<Call> calls;

private:
    mutable std::mutex lock_;
};
