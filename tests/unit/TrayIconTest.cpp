// The notification-area icon: the records the shell gets, the slots, and
// the shell's callback turned into a mouse message.
#include "OmbryFixture.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class TrayIcon : public OmbryTest {
protected:
    tray::cTrayIcon tray{api};

    void SetUp() override {
        api.onSendMessage = nullptr;  // the class alone, without the curtain's handlers
        curtain.Load();
        tray.SetEventPicture(curtain.picTrayEvent);
        tray.SetIndex(0);
        tray.SetDummyPicture(curtain.picTrayIcon(0));
        tray.SetPicture(curtain.Image2);
        log.clear();
    }
    std::vector<std::string> Notified() const { return log.Only({"Shell_NotifyIconW"}); }
    static std::string Times(int n, const std::string& s) {
        std::string all;
        while (n-- > 0) all += s;
        return all;
    }
};

TEST_F(TrayIcon, AddModifyAndDeleteRecords) {
    services.ansiPrefix = "ansi:";  // would show a conversion to the ANSI code page
    tray.SetTip("Ombry起動中！");
    tray.SetVisible(true);
    tray.SetVisible(true);
    tray.SetVisible(false);
    ASSERT_EQ(api.notified.size(), 3u);
    // The tip as given: the Win32 layer widens it for the Unicode record.
    EXPECT_THAT(Notified(),
                ElementsAre("Shell_NotifyIconW(0,picTrayIcon(0),0,7,Ombry起動中！)",
                            "Shell_NotifyIconW(1,picTrayIcon(0),0,7,Ombry起動中！)",
                            "Shell_NotifyIconW(2,picTrayIcon(0),0,0,)"));
    for (int i : {0, 1}) {
        const api::NotifyIconData& d = api.notified[i];
        EXPECT_EQ(d.uCallbackMessage, api::WM_MOUSEMOVE);
        EXPECT_EQ(d.hIcon, curtain.Image2.Picture().GetHandle());
        EXPECT_NE(d.hIcon, 0);
    }
    const api::NotifyIconData& del = api.notified[2];
    EXPECT_EQ(del.hWnd, curtain.picTrayIcon(0).hWnd());
    EXPECT_EQ(del.uCallbackMessage, 0u);
    EXPECT_EQ(del.hIcon, 0);
    EXPECT_EQ(del.szTip, "");
}

// The tip field holds 128 UTF-16 units with the ending zero: 127 characters
// of the basic plane, each 3 bytes of UTF-8 here, or fewer beyond it.
TEST_F(TrayIcon, TipOf127Utf16UnitsFitsLongerFailsBeforeTheShellHearsOfIt) {
    tray.SetTip(Times(127, "起"));
    tray.SetVisible(true);
    ASSERT_EQ(api.notified.size(), 1u);
    EXPECT_EQ(api.notified[0].szTip, Times(127, "起"));

    // Too long while shown: nothing sent, still added, so the next is a modify.
    tray.SetTip(Times(128, "x"));
    EXPECT_THROW(tray.SetVisible(true), forms::Failure);
    EXPECT_THROW(tray.SetPicture(curtain.Image2), forms::Failure);
    const std::string masks = Times(63, "\U0001F3AD");  // beyond the basic plane: two units each
    tray.SetTip("xx" + masks);
    EXPECT_THROW(tray.SetVisible(true), forms::Failure);
    EXPECT_EQ(api.notified.size(), 1u);
    tray.SetTip("x" + masks);
    tray.SetVisible(true);
    EXPECT_EQ(Notified().back(), "Shell_NotifyIconW(1,picTrayIcon(0),0,7,x" + masks + ")");

    // Too long before the first add: the next good write still adds.
    tray.SetIndex(1);
    tray.SetDummyPicture(curtain.picTrayEvent);
    tray.SetPicture(curtain.Image2);
    tray.SetTip(Times(128, "y"));
    EXPECT_THROW(tray.SetVisible(true), forms::Failure);
    tray.SetTip("ok");
    tray.SetVisible(true);
    EXPECT_EQ(Notified().back(), "Shell_NotifyIconW(0,picTrayEvent,1,7,ok)");
}

TEST_F(TrayIcon, HidingANeverAddedSlotStillDeletesAndPictureWaitsForTheAdd) {
    tray.SetPicture(curtain.Image2);  // not added: the shell hears nothing
    tray.SetVisible(false);
    EXPECT_THAT(Notified(), ElementsAre("Shell_NotifyIconW(2,picTrayIcon(0),0,0,)"));
    tray.SetTip("old");
    tray.SetVisible(true);
    tray.SetTip("new");  // stored only
    tray.SetPicture(curtain.Image2);
    EXPECT_THAT(Notified(),
                ElementsAre("Shell_NotifyIconW(2,picTrayIcon(0),0,0,)", "Shell_NotifyIconW(0,picTrayIcon(0),0,7,old)",
                            "Shell_NotifyIconW(1,picTrayIcon(0),0,7,new)"));
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
    EXPECT_THAT(Notified(), ElementsAre("Shell_NotifyIconW(2,picTrayIcon(0),0,0,)"));
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

// At logon the shell may not take the icon yet. The curtain's timer (every
// 100 ms) adds it again after 1 s, then after 2 s, ... until the shell takes
// it; from then on the icon is changed, not added.
using TrayAtLogon = OmbryTest;

TEST_F(TrayAtLogon, AnAddTheShellRefusedIsTriedAgainOnTheTimerUntilTaken) {
    bool shellUp = false;
    api.shellAnswer = [&](unsigned) { return shellUp ? 1L : 0L; };
    auto ticks = [&](int n) { while (n-- > 0) curtain.Timer1.Tick(); };
    auto notified = [&] { return log.Only({"Shell_NotifyIconW"}); };
    const std::string add = "Shell_NotifyIconW(0,picTrayIcon(0),0,7,Ombry起動中！)";
    const std::string modify = "Shell_NotifyIconW(1,picTrayIcon(0),0,7,Ombry起動中！)";
    Start("0,0,0,\"\",0,0,0,0\r\n");
    EXPECT_THAT(notified(), ElementsAre(add));
    log.clear();
    ticks(9);
    EXPECT_THAT(notified(), IsEmpty());
    ticks(1);  // 1 s: the add again, and a change in case the first add got through after all
    EXPECT_THAT(notified(), ElementsAre(add, modify));
    log.clear();
    shellUp = true;
    ticks(19);
    EXPECT_THAT(notified(), IsEmpty());
    ticks(1);  // 2 s later
    EXPECT_THAT(notified(), ElementsAre(add));
    log.clear();
    ticks(400);
    program.TrayIcon->SetVisible(true);
    EXPECT_THAT(notified(), ElementsAre(modify));
}

}  // namespace
