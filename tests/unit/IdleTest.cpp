// Down when idle, locked when long away, by a fake clock that wraps during
// the test; the curtain's timer ticks ten times a second of it.
#include "OmbryFixture.h"

namespace {

class Idle : public OmbryTest {
protected:
    void SetUp() override {
        api.tickCount = api.lastInput = 0xFFFF0000u;  // 65 s before the count wraps
        Start("0,0,0,\"\",0,0,0,0\r\n");
        state.SoundMode = 1;
    }
    void Seconds(int n, bool input = false) {
        for (int i = 0; i < n * 10; ++i) {
            api.tickCount += 100;
            if (input) api.lastInput = api.tickCount;
            curtain.Timer1_Timer();
        }
    }
    bool Down() const { return state.CurtainDown != 0; }
    // Down after that long without input, at the check a second late, not before.
    void DownAfter(int seconds, const std::string& what = {}) {
        Seconds(seconds - 1);
        EXPECT_FALSE(Down()) << what;
        Seconds(2);
        EXPECT_TRUE(Down()) << what;
    }
    std::size_t Locks() const { return log.Only({"LockWorkStation"}).size(); }
};

TEST_F(Idle, DownAfterTheMinutesWithoutInputButNotWithTheDisplayKeptOnADialogOpenOrJustRaised) {
    Seconds(3600);  // off by default
    state.Options.IdleMinutes = 2;
    Seconds(1, true);
    api.lastInput += 1;  // each check from here a millisecond short of whole seconds idle
    Seconds(120);
    EXPECT_FALSE(Down());
    services.displayKeptOn = true;  // a video
    Seconds(60);
    EXPECT_FALSE(Down());
    services.displayKeptOn = false;
    Seconds(1);
    ASSERT_TRUE(Down());
    EXPECT_THAT(log.Only({"SetForegroundWindow"}), testing::Contains("SetForegroundWindow(Form1)"));
    EXPECT_EQ(state.SoundMuted, 1);
    // Raised without a touch, the whole wait again (the raise is seen at the next tick).
    curtain.Image1_DblClick();
    Seconds(119);
    EXPECT_FALSE(Down());
    Seconds(2);
    EXPECT_TRUE(Down());
    // The settings dialog raises the curtain and, while open, keeps it up.
    services.onShowModal = [this](forms::Form&) { Seconds(600); };
    curtain.OmbrySet_Click();
    EXPECT_FALSE(Down());
}

TEST_F(Idle, HeldOffByAFullScreenProgramACallOrAnotherSessionAtTheConsole) {
    state.Options.IdleMinutes = 2;
    for (int busy : {api::QUNS_BUSY, api::QUNS_RUNNING_D3D_FULL_SCREEN, api::QUNS_PRESENTATION_MODE}) {
        api.notificationState = busy;
        Seconds(180);
        EXPECT_FALSE(Down()) << busy;
    }
    api.notificationState = 5;    // notifications accepted
    api.microphoneInUse = true;   // a call, which keeps no display on
    Seconds(180);
    EXPECT_FALSE(Down());
    api.microphoneInUse = false;
    api.connectState = 4;  // disconnected: another user has the console
    Seconds(180);
    EXPECT_FALSE(Down());
    api.connectState = api::WTSActive;  // back, no key pressed yet: the whole wait
    DownAfter(120);
}

TEST_F(Idle, NeverDownAtTheMomentOfWakingOrOfComingBackToTheSession) {
    state.Options.IdleMinutes = 2;
    // An hour asleep: the clock runs on, the timer does not, and the resume
    // notice has not come yet.
    Seconds(100);
    api.tickCount += 3600 * 1000;
    DownAfter(120);
    curtain.Image1_DblClick();
    // A short sleep, or a session taken back or unlocked: the notice restarts the wait.
    for (std::uintptr_t resumed : {api::PBT_APMRESUMEAUTOMATIC, api::PBT_APMRESUMESUSPEND}) {
        Seconds(100);
        api.tickCount += 5000;
        api.Deliver(Hwnd(), api::WM_POWERBROADCAST, resumed);
        DownAfter(120, "resumed " + std::to_string(resumed));
        curtain.Image1_DblClick();
    }
    for (std::uintptr_t back : {api::WTS_CONSOLE_CONNECT, api::WTS_REMOTE_CONNECT, api::WTS_SESSION_UNLOCK}) {
        Seconds(100);
        api.Deliver(Hwnd(), api::WM_WTSSESSION_CHANGE, back);
        DownAfter(120, "session " + std::to_string(back));
        curtain.Image1_DblClick();
    }
}

TEST_F(Idle, DownWithoutTheForegroundTakesTheKeyboardAsSoonAsWindowsAllows) {
    state.Options.IdleMinutes = 2;
    api.foreground = 0x5000;
    api.foregroundRefused = true;  // within the foreground lock timeout of the last input
    Seconds(121);
    ASSERT_TRUE(Down());
    EXPECT_EQ(api.foreground, 0x5000);
    api.foregroundRefused = false;
    Seconds(1);
    EXPECT_EQ(api.foreground, Hwnd());
}

TEST_F(Idle, ALockCountsOnlyWhenTheSessionSaysItLocked) {
    state.Options.LockMinutes = 3;
    curtain.BringDown(curtain::Form1::Way::Hotkey);
    Seconds(181);
    EXPECT_EQ(Locks(), 1u);  // started, and came to nothing
    Seconds(61);
    EXPECT_EQ(Locks(), 2u);
    api.Deliver(Hwnd(), api::WM_WTSSESSION_CHANGE, api::WTS_SESSION_LOCK);
    Seconds(600);
    api.Deliver(Hwnd(), api::WM_WTSSESSION_CHANGE, api::WTS_SESSION_UNLOCK);
    Seconds(600);  // signed in again, the curtain still down
    EXPECT_EQ(Locks(), 2u);
}

// A window that cannot hear the session goes by LockWorkStation's answer.
class IdleUnheard : public Idle {
protected:
    void SetUp() override {
        api.sessionNoticesRefused = true;
        Idle::SetUp();
    }
};

TEST_F(IdleUnheard, LockedOnceEachTimeDownWhateverTheInputAndAgainAMinuteAfterARefusal) {
    state.Options.LockMinutes = 3;
    curtain.BringDown(curtain::Form1::Way::Hotkey);
    Seconds(179, true);  // someone at the curtained machine
    EXPECT_EQ(Locks(), 0u);
    Seconds(2, true);
    EXPECT_EQ(Locks(), 1u);
    Seconds(600);
    EXPECT_EQ(Locks(), 1u);
    curtain.Image1_DblClick();
    Seconds(1);
    curtain.BringDown(curtain::Form1::Way::Hotkey);
    api.lockAnswer = 0;
    Seconds(181);
    EXPECT_EQ(Locks(), 2u);
    api.lockAnswer = 1;
    Seconds(59);
    EXPECT_EQ(Locks(), 2u);
    Seconds(600);
    EXPECT_EQ(Locks(), 3u);
    EXPECT_TRUE(Down());
}

}  // namespace
