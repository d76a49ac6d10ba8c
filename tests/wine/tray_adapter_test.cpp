#include <gtest/gtest.h>

#include <vector>

#include "state/messages.h"
#include "ui/tray_icon.h"
#include "wine_support.h"

namespace {

// The real adapter, each answer kept.
class RecordingNotifyIcon : public NotifyIcon {
public:
    bool Notify(Op op, const NotifyIconData& data) override {
        const bool ok = Win32NotifyIcon().Notify(op, data);
        results.push_back(ok);
        ops.push_back(op);
        return ok;
    }
    std::vector<bool> results;
    std::vector<Op> ops;
};

bool TrayWindowExists() {
    return PumpUntil([] { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }, 10000);
}

TEST(WineTray, AddModifyAndDeleteSucceed) {
    ASSERT_TRUE(TrayWindowExists());
    TestWindow window("Orbiscope tray test");
    NotifyIconData data;
    data.window = window.handle();
    data.id = kTrayIconId;
    data.flags = kNifMessage | kNifIcon | kNifTip;
    data.callbackMessage = WM_REMOTE_TRAYNOTIFY;
    data.iconResource = kIconNotAvailable;  // not in this program: a null icon is passed
    data.tip = std::string(300, 't');       // longer than the system's buffer
    NotifyIcon& icon = Win32NotifyIcon();
    EXPECT_TRUE(icon.Notify(NotifyIcon::Op::Add, data));
    data.iconResource = kIconAvailable;
    data.tip = kTipAvailable;
    EXPECT_TRUE(icon.Notify(NotifyIcon::Op::Modify, data));
    NotifyIconData gone;
    gone.window = window.handle();
    gone.id = kTrayIconId;
    EXPECT_TRUE(icon.Notify(NotifyIcon::Op::Delete, gone));
    EXPECT_FALSE(icon.Notify(NotifyIcon::Op::Modify, data));  // nothing left to change
}

TEST(WineTray, TheIconFollowsTheReceiverStates) {
    ASSERT_TRUE(TrayWindowExists());
    TestWindow window("Orbiscope tray states");
    RecordingNotifyIcon recording;
    Platform p;
    p.notifyIcon = &recording;
    ScopedPlatform scope(p);
    TrayIcon tray;
    tray.SetWindow(window.handle());
    tray.SetState(TrayNotAvailable);
    tray.SetState(TrayAvailable);
    tray.SetState(TrayNotAvailable);
    tray.Reset();
    using Op = NotifyIcon::Op;
    EXPECT_EQ(recording.ops, (std::vector<Op>{Op::Add, Op::Modify, Op::Modify, Op::Delete}));
    EXPECT_EQ(recording.results, (std::vector<bool>{true, true, true, true}));
}

}  // namespace
