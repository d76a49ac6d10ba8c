#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/fake/fake_notify_icon.h"
#include "state/messages.h"
#include "ui/tray_icon.h"

namespace {

constexpr WindowHandle kMain = 0x5150;

class TrayIconTest : public ::testing::Test {
protected:
    // An icon brought to `state` from hidden, with the calls that took forgotten.
    void Bring(TrayIcon& icon, int32_t state) {
        icon.SetWindow(kMain);
        icon.SetState(state);
        fake.calls.clear();
    }
    static Platform With(NotifyIcon* n) {
        Platform p;
        p.notifyIcon = n;
        return p;
    }
    FakeNotifyIcon fake;
    ScopedPlatform scope{With(&fake)};
};

TEST_F(TrayIconTest, EachChangeOfStateMakesItsOneCall) {
    struct Case {
        int32_t from, to;
        std::optional<NotifyIcon::Op> op;
        int32_t icon;
        const char* tip;
    };
    using Op = NotifyIcon::Op;
    // The icon resources by number (170 available, 166 not), as the .rc file has them.
    const Case cases[] = {
        {TrayHidden, TrayAvailable, Op::Add, 170, kTipAvailable},
        {TrayHidden, TrayNotAvailable, Op::Add, 166, kTipNotAvailable},
        {TrayHidden, TrayHidden, std::nullopt, 0, ""},
        {TrayAvailable, TrayNotAvailable, Op::Modify, 166, kTipNotAvailable},
        {TrayAvailable, TrayHidden, Op::Delete, 0, ""},
        {TrayAvailable, TrayAvailable, std::nullopt, 0, ""},
        {TrayNotAvailable, TrayAvailable, Op::Modify, 170, kTipAvailable},
        {TrayNotAvailable, TrayHidden, Op::Delete, 0, ""},
        {TrayNotAvailable, TrayNotAvailable, std::nullopt, 0, ""},
        {TrayAvailable, 3, std::nullopt, 0, ""},
        {TrayHidden, -1, std::nullopt, 0, ""},
    };
    for (const Case& c : cases) {
        fake.shown.clear();
        TrayIcon icon;
        Bring(icon, c.from);
        icon.SetState(c.to);
        const std::string what = std::to_string(c.from) + " -> " + std::to_string(c.to);
        const bool known = c.to >= TrayHidden && c.to <= TrayNotAvailable;
        EXPECT_EQ(icon.State(), known ? c.to : c.from) << what;
        if (!c.op) {
            EXPECT_TRUE(fake.calls.empty()) << what;
            continue;
        }
        ASSERT_EQ(fake.calls.size(), 1u) << what;
        const FakeNotifyIcon::Call& call = fake.calls[0];
        EXPECT_EQ(call.op, *c.op) << what;
        EXPECT_TRUE(call.succeeded) << what;
        EXPECT_EQ(call.data.window, kMain) << what;
        EXPECT_EQ(call.data.id, 1024u) << what;
        if (*c.op == Op::Delete) {
            EXPECT_EQ(call.data.flags, 0u) << what;
            EXPECT_FALSE(fake.Shown(kMain, 1024)) << what;
        } else {
            EXPECT_EQ(call.data.flags, kNifMessage | kNifIcon | kNifTip) << what;
            EXPECT_EQ(call.data.callbackMessage, WM_REMOTE_TRAYNOTIFY) << what;
            EXPECT_EQ(call.data.iconResource, c.icon) << what;
            EXPECT_EQ(call.data.tip, c.tip) << what;
        }
    }
}

TEST_F(TrayIconTest, WindowIsTakenOnlyWhileHidden) {
    TrayIcon icon;
    icon.SetWindow(kMain);
    icon.SetState(TrayNotAvailable);
    icon.SetWindow(0x999);
    EXPECT_EQ(icon.Window(), kMain);
    icon.SetState(TrayAvailable);
    EXPECT_EQ(fake.calls.back().data.window, kMain);
}

TEST_F(TrayIconTest, RestoreAddsTheIconBackInItsState) {
    TrayIcon icon;
    EXPECT_FALSE(icon.Restore());  // hidden: nothing to put back
    EXPECT_TRUE(fake.calls.empty());
    Bring(icon, TrayAvailable);
    fake.Rebuild();
    EXPECT_TRUE(icon.Restore());
    NotifyIconData shown;
    ASSERT_TRUE(fake.Shown(kMain, 1024, &shown));
    EXPECT_EQ(shown.tip, kTipAvailable);
    EXPECT_EQ(shown.iconResource, kIconAvailable);
}

TEST_F(TrayIconTest, AnIconLostWithTheNotificationAreaIsAddedBackOnTheNextChange) {
    TrayIcon icon;
    Bring(icon, TrayNotAvailable);
    fake.Rebuild();
    icon.SetState(TrayAvailable);
    NotifyIconData shown;
    ASSERT_TRUE(fake.Shown(kMain, 1024, &shown));
    EXPECT_EQ(shown.tip, kTipAvailable);
    EXPECT_EQ(icon.State(), TrayAvailable);
}

TEST_F(TrayIconTest, FailedCallsStillRecordTheState) {
    TrayIcon icon;
    fake.failAll = true;
    icon.SetWindow(kMain);
    icon.SetState(TrayNotAvailable);
    EXPECT_EQ(icon.State(), TrayNotAvailable);
    EXPECT_FALSE(ReceiverAvailable());
}

TEST_F(TrayIconTest, ResetDeletesAShownIconAndForgetsTheWindow) {
    TrayIcon icon;
    Bring(icon, TrayAvailable);
    icon.Reset();
    EXPECT_EQ(icon.State(), TrayHidden);
    EXPECT_EQ(icon.Window(), 0u);
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0].op, NotifyIcon::Op::Delete);
}

TEST(TrayTip, IsCutTo126Characters) {
    EXPECT_EQ(TrayTip(kTipNotAvailable), kTipNotAvailable);
    EXPECT_EQ(TrayTip(std::string(126, 'x')), std::string(126, 'x'));
    EXPECT_EQ(TrayTip(std::string(200, 'x')), std::string(126, 'x'));
}

TEST_F(TrayIconTest, ReceiverCountsAsAvailableExactlyInTheAvailableState) {
    TheTrayIcon().Reset();
    TheTrayIcon().SetWindow(kMain);
    for (int32_t s : {TrayNotAvailable, TrayAvailable, TrayNotAvailable, TrayHidden}) {
        TheTrayIcon().SetState(s);
        EXPECT_EQ(ReceiverAvailable(), s == TrayAvailable);
    }
    TheTrayIcon().Reset();
}

}  // namespace
