#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/ports.h"
#include "platform/win32/adapters.h"

namespace {

class Win32NotifyIconAdapter : public NotifyIcon {
public:
    bool Notify(Op op, const NotifyIconData& data) override {
        NOTIFYICONDATAA nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = reinterpret_cast<HWND>(data.window);
        nid.uID = data.id;
        nid.uFlags = data.flags & (NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO);
        nid.uCallbackMessage = data.callbackMessage;
        if (data.flags & NIF_ICON) nid.hIcon = Icon(data.iconResource);
        if (data.flags & NIF_TIP) {
            // 126 characters: what the oldest notification areas show.
            const size_t n = std::min<size_t>(data.tip.size(), 126);
            std::memcpy(nid.szTip, data.tip.data(), n);
            nid.szTip[n] = '\0';
        }
        if (data.flags & NIF_INFO) {
            Copy(nid.szInfo, sizeof nid.szInfo, data.info);
            Copy(nid.szInfoTitle, sizeof nid.szInfoTitle, data.infoTitle);
            nid.dwInfoFlags = NIIF_INFO;
        }
        const DWORD message = op == Op::Add ? NIM_ADD : op == Op::Modify ? NIM_MODIFY : NIM_DELETE;
        return Shell_NotifyIconA(message, &nid) != FALSE;
    }

private:
    // As much of the text as fits with its terminator.
    static void Copy(char* to, size_t size, const std::string& text) {
        const size_t n = std::min(text.size(), size - 1);
        std::memcpy(to, text.data(), n);
        to[n] = '\0';
    }

    // Loaded once per resource and size; a missing resource stays a null icon.
    HICON Icon(int32_t resource) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        std::lock_guard<std::mutex> hold(lock_);
        auto it = icons_.find({resource, size});
        if (it != icons_.end()) return it->second;
        HICON icon = LoadNotifyIconPicture(resource);
        icons_[{resource, size}] = icon;
        return icon;
    }

    std::mutex lock_;
    std::map<std::pair<int32_t, int>, HICON> icons_;  // (resource, small-icon size)
};

}  // namespace

HICON LoadNotifyIconPicture(int32_t resource) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    // comctl32 6.0 of Windows Vista and later; looked up, not imported.
    using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    if (HMODULE comctl = GetModuleHandleA("comctl32.dll")) {
        const auto loadIconMetric = reinterpret_cast<LoadIconMetricFn>(
            reinterpret_cast<void*>(GetProcAddress(comctl, "LoadIconMetric")));
        HICON icon = nullptr;
        constexpr int kLimSmall = 0;
        if (loadIconMetric != nullptr &&
            SUCCEEDED(loadIconMetric(self, MAKEINTRESOURCEW(resource), kLimSmall, &icon))) {
            return icon;
        }
    }
    return static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

NotifyIcon& Win32NotifyIcon() {
    // Never destroyed: the icon may still be removed while the process exits.
    static Win32NotifyIconAdapter* const instance = new Win32NotifyIconAdapter;
    return *instance;
}
