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

TEST_F(Idle, LockedOnceEachTimeDownWhateverTheInputAndAgainAMinuteAfterARefusal) {
    state.Options.LockMinutes = 3;
    curtain.ComeDown();
    Seconds(179, true);  // someone at the curtained machine
    EXPECT_EQ(Locks(), 0u);
    Seconds(2, true);
    EXPECT_EQ(Locks(), 1u);
    Seconds(600);
    EXPECT_EQ(Locks(), 1u);
    curtain.Image1_DblClick();
    Seconds(1);
    curtain.ComeDown();
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
