#include "ui/tray_icon.h"

#include "platform/ports.h"
#include "state/messages.h"

std::string TrayTip(const std::string& text) { return text.substr(0, kTipMaxChars); }

bool TrayIcon::Show(bool add, int32_t state) {
    NotifyIcon* port = Os().notifyIcon;
    if (port == nullptr) return false;
    NotifyIconData data;
    data.window = window_.load();
    data.id = kTrayIconId;
    data.flags = kNifMessage | kNifIcon | kNifTip;
    data.callbackMessage = WM_REMOTE_TRAYNOTIFY;
    const bool available = state == TrayAvailable;
    data.iconResource = available ? kIconAvailable : kIconNotAvailable;
    data.tip = TrayTip(available ? kTipAvailable : kTipNotAvailable);
    if (add) return port->Notify(NotifyIcon::Op::Add, data);
    // An icon lost with the notification area (before its rebuild is announced) is
    // added back rather than left missing.
    return port->Notify(NotifyIcon::Op::Modify, data) || port->Notify(NotifyIcon::Op::Add, data);
}

void TrayIcon::SetState(int32_t state) {
    const int32_t from = state_.load();
    const bool known = state == TrayHidden || state == TrayAvailable || state == TrayNotAvailable;
    if (!known || state == from) return;
    if (from == TrayHidden) {
        Show(true, state);
    } else if (from == TrayAvailable || from == TrayNotAvailable) {
        if (state == TrayHidden) {
            if (NotifyIcon* port = Os().notifyIcon) {
                NotifyIconData data;
                data.window = window_.load();
                data.id = kTrayIconId;
                port->Notify(NotifyIcon::Op::Delete, data);
            }
        } else {
            Show(false, state);
        }
    } else {
        return;
    }
    state_ = state;
}

void TrayIcon::SetWindow(WindowHandle w) {
    if (state_.load() == TrayHidden) window_ = w;
}

bool TrayIcon::Restore() {
    const int32_t state = state_.load();
    if (state != TrayAvailable && state != TrayNotAvailable) return false;
    return Show(true, state);
}

void TrayIcon::Reset() {
    SetState(TrayHidden);
    window_ = 0;
}

bool TrayIcon::ShowBalloon(const std::string& text) {
    NotifyIcon* port = Os().notifyIcon;
    const int32_t state = state_.load();
    if (port == nullptr || (state != TrayAvailable && state != TrayNotAvailable)) return false;
    NotifyIconData data;
    data.window = window_.load();
    data.id = kTrayIconId;
    data.flags = kNifInfo;
    data.infoTitle = kTipAvailable;
    data.info = text;
    return port->Notify(NotifyIcon::Op::Modify, data);
}

bool TrayIcon::Announce(bool available) {
    const int32_t now = available ? 1 : 0;
    if (!available && announced_.load() == kNothingAnnounced) return false;
    const int32_t before = announced_.exchange(now);
    return before != kNothingAnnounced && before != now;
}

TrayIcon& TheTrayIcon() {
    static TrayIcon icon;
    return icon;
}

bool ReceiverAvailable() { return TheTrayIcon().State() == TrayAvailable; }
