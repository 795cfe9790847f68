// Down when the machine is left idle, locked when left long, by a fake
// clock that wraps during the test: the curtain's timer ticks ten times a
// second of it.
#include "OmbryFixture.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class Idle : public OmbryTest {
protected:
    void SetUp() override {
        api.tickCount = api.lastInput = 0xFFFF0000u;  // 65 seconds before the count wraps
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
};

TEST_F(Idle, DownAfterTheMinutesWithoutInputUnlessTheDisplayIsKeptOnOrADialogIsOpen) {
    Seconds(3600);  // off by default
    EXPECT_FALSE(Down());

    state.Options.IdleMinutes = 2;
    Seconds(1, true);
    api.lastInput += 1;  // at each check from here, a millisecond short of whole seconds idle
    Seconds(120);
    EXPECT_FALSE(Down());
    services.displayKeptOn = true;  // a video
    Seconds(60);
    EXPECT_FALSE(Down());
    services.displayKeptOn = false;
    log.clear();
    Seconds(1);
    ASSERT_TRUE(Down());
    // As the hotkey brings it: with the keyboard, and muted.
    EXPECT_THAT(log.Only({"SetForegroundWindow", "SetFocus"}),
                ElementsAre("SetForegroundWindow(Form1)", "SetFocus(Form1)"));
    EXPECT_EQ(state.SoundMuted, 1);

    // The settings dialog raises the curtain and, while open, keeps it up.
    services.onShowModal = [this](forms::Form&) {
        Seconds(600);
        EXPECT_FALSE(Down());
    };
    curtain.OmbrySet_Click();
    EXPECT_FALSE(Down());
}

// Raised without input (by a command, or read without a touch): the whole
// wait from the raise, not a curtain that drops again at once.
TEST_F(Idle, AfterARaiseOnlyNewIdlenessCounts) {
    state.Options.IdleMinutes = 1;
    Seconds(61);
    ASSERT_TRUE(Down());
    Seconds(5);
    curtain.Image1_DblClick();
    Seconds(59);
    EXPECT_FALSE(Down());
    Seconds(2);  // the raise is seen at the timer's next tick
    EXPECT_TRUE(Down());
}

TEST_F(Idle, LockedOnceAfterTheMinutesDownWhateverTheInput) {
    state.Options.LockMinutes = 3;
    curtain.ComeDown();
    Seconds(179, true);  // someone at the curtained machine
    EXPECT_THAT(log.Only({"LockWorkStation"}), IsEmpty());
    Seconds(2, true);  // the fall is seen at the timer's next tick
    EXPECT_THAT(log.Only({"LockWorkStation"}), ElementsAre("LockWorkStation()"));
    Seconds(600);
    EXPECT_EQ(log.Only({"LockWorkStation"}).size(), 1u);

    // Each time down counts afresh; a refused lock is asked again a minute on.
    curtain.Image1_DblClick();
    Seconds(1);
    curtain.ComeDown();
    log.clear();
    api.lockAnswer = 0;
    Seconds(181);
    EXPECT_THAT(log.Only({"LockWorkStation"}), ElementsAre("LockWorkStation()"));
    api.lockAnswer = 1;
    Seconds(59);
    EXPECT_EQ(log.Only({"LockWorkStation"}).size(), 1u);
    Seconds(1);
    Seconds(600);
    EXPECT_EQ(log.Only({"LockWorkStation"}).size(), 2u);
    EXPECT_TRUE(Down());
}

}  // namespace
