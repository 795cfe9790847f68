// The notification-area icon: the records the shell gets, the slots, and
// the shell's callback turned into a mouse message.
#include "OmbryFixture.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class TrayIcon : public OmbryTest {
protected:
    tray::cTrayIcon tray{api, services};

    void SetUp() override {
        api.onSendMessage = nullptr;  // the class alone, without the curtain's handlers
        curtain.Load();
        tray.SetEventPicture(curtain.picTrayEvent);
        tray.SetIndex(0);
        tray.SetDummyPicture(curtain.picTrayIcon(0));
        tray.SetPicture(curtain.Image2);
        log.clear();
    }
    static std::string TipOf(const api::NotifyIconData& d) { return std::string(d.szTip.data()); }
    // The tip field holds nothing from `from` on.
    static bool AllZero(const std::array<char, 64>& tip, size_t from = 0) {
        return std::all_of(tip.begin() + from, tip.end(), [](char c) { return c == 0; });
    }
    std::vector<std::string> Notified() const { return log.Only({"Shell_NotifyIconA"}); }
};

TEST_F(TrayIcon, AddModifyAndDeleteRecords) {
    services.ansiPrefix = "ansi:";  // the tip goes to the shell in the ANSI code page
    tray.SetTip("Ombry起動中！");
    tray.SetVisible(true);
    tray.SetVisible(true);
    tray.SetVisible(false);
    ASSERT_EQ(api.notified.size(), 3u);
    EXPECT_THAT(Notified(),
                ElementsAre("Shell_NotifyIconA(0,picTrayIcon(0),0,7,ansi:Ombry起動中！)",
                            "Shell_NotifyIconA(1,picTrayIcon(0),0,7,ansi:Ombry起動中！)",
                            "Shell_NotifyIconA(2,picTrayIcon(0),0,0,)"));
    for (int i : {0, 1}) {
        const api::NotifyIconData& d = api.notified[i];
        EXPECT_EQ(d.cbSize, 88u);
        EXPECT_EQ(d.uCallbackMessage, api::WM_MOUSEMOVE);
        EXPECT_EQ(d.hIcon, curtain.Image2.Picture().GetHandle());
        EXPECT_NE(d.hIcon, 0);
        EXPECT_TRUE(AllZero(d.szTip, TipOf(d).size()));  // the rest of the tip field
    }
    const api::NotifyIconData& del = api.notified[2];
    EXPECT_EQ(del.cbSize, 88u);
    EXPECT_EQ(del.hWnd, curtain.picTrayIcon(0).hWnd());
    EXPECT_EQ(del.uCallbackMessage, 0u);
    EXPECT_EQ(del.hIcon, 0);
    EXPECT_TRUE(AllZero(del.szTip));
}

TEST_F(TrayIcon, TipOf63BytesFits64FailsBeforeTheShellHearsOfIt) {
    tray.SetTip(std::string(63, 'x'));
    tray.SetVisible(true);
    ASSERT_EQ(api.notified.size(), 1u);
    EXPECT_EQ(TipOf(api.notified[0]), std::string(63, 'x'));
    EXPECT_EQ(api.notified[0].szTip[63], 0);

    // Too long while shown: nothing sent, still added, so the next is a modify.
    tray.SetTip(std::string(64, 'x'));
    EXPECT_THROW(tray.SetVisible(true), forms::Failure);
    EXPECT_THROW(tray.SetPicture(curtain.Image2), forms::Failure);
    EXPECT_EQ(api.notified.size(), 1u);
    tray.SetTip("");
    tray.SetVisible(true);
    EXPECT_EQ(Notified().back(), "Shell_NotifyIconA(1,picTrayIcon(0),0,7,)");
    EXPECT_TRUE(AllZero(api.notified.back().szTip));

    // Too long before the first add: the next good write still adds.
    tray.SetIndex(1);
    tray.SetDummyPicture(curtain.picTrayEvent);
    tray.SetPicture(curtain.Image2);
    tray.SetTip(std::string(64, 'y'));
    EXPECT_THROW(tray.SetVisible(true), forms::Failure);
    tray.SetTip("ok");
    tray.SetVisible(true);
    EXPECT_EQ(Notified().back(), "Shell_NotifyIconA(0,picTrayEvent,1,7,ok)");
}

TEST_F(TrayIcon, HidingANeverAddedSlotStillDeletesAndPictureWaitsForTheAdd) {
    tray.SetPicture(curtain.Image2);  // not added: the shell hears nothing
    tray.SetVisible(false);
    EXPECT_THAT(Notified(), ElementsAre("Shell_NotifyIconA(2,picTrayIcon(0),0,0,)"));
    tray.SetTip("old");
    tray.SetVisible(true);
    tray.SetTip("new");  // stored only
    tray.SetPicture(curtain.Image2);
    EXPECT_THAT(Notified(),
                ElementsAre("Shell_NotifyIconA(2,picTrayIcon(0),0,0,)", "Shell_NotifyIconA(0,picTrayIcon(0),0,7,old)",
                            "Shell_NotifyIconA(1,picTrayIcon(0),0,7,new)"));
}

TEST_F(TrayIcon, SlotsGrowWithIndexAndNeverShrink) {
    tray.SetIndex(3);
    EXPECT_EQ(tray.UpperBound(), 3);
    EXPECT_EQ(tray.DummyPicture(), nullptr);
    EXPECT_EQ(tray.Tip(), "");
    tray.SetIndex(1);
    EXPECT_EQ(tray.UpperBound(), 3);
    tray.SetIndex(0);
    EXPECT_EQ(tray.DummyPicture(), &curtain.picTrayIcon(0));  // kept through the growth
    EXPECT_THROW(tray.SetIndex(-1), forms::Failure);
    EXPECT_EQ(tray.Index(), 0);
    // A slot without its callback window cannot be shown or hidden.
    tray.SetIndex(2);
    EXPECT_THROW(tray.SetVisible(true), forms::Failure);
    EXPECT_THAT(Notified(), IsEmpty());
}

TEST_F(TrayIcon, AllHideDeletesTheShownIconsAndEndsOnTheLastSlot) {
    tray.SetVisible(true);
    tray.SetIndex(2);
    log.clear();
    tray.AllHide();
    EXPECT_THAT(Notified(), ElementsAre("Shell_NotifyIconA(2,picTrayIcon(0),0,0,)"));
    EXPECT_EQ(tray.Index(), 2);
}

// A hover or a single click must not take the user's focus (nor close the
// shell's overflow panel); the menu and the double-click bring ours forward.
TEST_F(TrayIcon, CallbackForwardsTheMouseMessageTakingTheForegroundOnlyForTheMenuAndTheDoubleClick) {
    tray.MouseMove(curtain.picTrayIcon(0).hWnd(), 512.0f, 0.0f);
    EXPECT_EQ(tray.EventIndex(), 0);
    for (float message : {0x201, 0x202, 0x203}) tray.MouseMove(curtain.picTrayIcon(0).hWnd(), message, 0.0f);
    tray.MouseMove(0x4242, 516.6f, 0.0f);  // rounded to 0x205
    EXPECT_EQ(tray.EventIndex(), -1);
    EXPECT_THAT(log.Only({"SetForegroundWindow", "SendMessageA"}),
                ElementsAre("SendMessageA(picTrayEvent,0x200,0,0)", "SendMessageA(picTrayEvent,0x201,0,0)",
                            "SendMessageA(picTrayEvent,0x202,0,0)", "SetForegroundWindow(Form1)",
                            "SendMessageA(picTrayEvent,0x203,0,0)", "SetForegroundWindow(Form1)",
                            "SendMessageA(picTrayEvent,0x205,0,0)"));
}

}  // namespace
