#include "ui/tray_icon.h"

void TrayIcon::SetState(int32_t state) { state_ = state; }
void TrayIcon::SetWindow(WindowHandle w) { window_ = w; }
bool TrayIcon::Restore() { return true; }
void TrayIcon::Reset() { state_ = TrayHidden; }
TrayIcon& TheTrayIcon() {
    static TrayIcon icon;
    return icon;
}
bool ReceiverAvailable() { return TheTrayIcon().State() == TrayAvailable; }
