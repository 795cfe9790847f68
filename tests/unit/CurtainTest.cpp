// The curtain's stored strip at each edge and its moves: pull-down by the
// mouse, spread, raise by double-click, and the screen watch.
#include "OmbryFixture.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class Curtain : public OmbryTest {
protected:
    void SetUp() override { Start("0,0,0,\"\",0,0,0,0\r\n"); }
    void Mute() { state.SoundMode = 1; }
    const Rect kDown{-10, -10, 15360 + 30, 11520 + 20};
};

TEST_F(Curtain, StoredStripAtEachEdgeOfA1024x768Screen) {
    struct Case { std::int16_t side; Rect window; Rect image; };
    for (const Case& c : {
             Case{0, {-50, -50, 15510, 150}, {0, 0, 1, 1}},
             Case{1, {-50, 11420, 15510, 150}, {-50, 11420, 1, 1}},
             Case{2, {15260, -50, 150, 11670}, {15460, -50, 1, 1}},
             Case{3, {-50, -50, 150, 11670}, {-50, -50, 1, 1}},
         }) {
        SCOPED_TRACE(c.side);
        log.clear();
        program.Form2.Option1_Click(c.side);
        EXPECT_EQ(RectOf(curtain), c.window);
        EXPECT_EQ(RectOf(curtain.Image1), c.image);
        EXPECT_EQ(state.CurtainSide, c.side);
        // A horizontal strip takes its width first, a vertical one its height.
        auto writes = log.Only({"Form1.", "Image1."});
        ASSERT_EQ(writes.size(), 8u);
        EXPECT_EQ(writes[0].substr(0, 13), "Image1.Height");
        EXPECT_EQ(writes[3].substr(0, 11), "Image1.Left");
        EXPECT_EQ(writes[4].substr(0, 11), c.side <= 1 ? "Form1.Width" : "Form1.Heigh");
        EXPECT_EQ(writes[6].substr(0, 9), "Form1.Top");
        EXPECT_EQ(writes[7].substr(0, 10), "Form1.Left");
    }
}

TEST_F(Curtain, EachEdgeSetsItsOwnPullZoneAndKeepsTheOther) {
    state.PullZoneX = 0;
    state.PullZoneY = 0;
    program.Form2.Option1_Click(0);
    EXPECT_EQ(state.PullZoneY, 150);
    EXPECT_EQ(state.PullZoneX, 0);
    program.Form2.Option1_Click(2);
    EXPECT_EQ(state.PullZoneX, 150);
    EXPECT_EQ(state.PullZoneY, 150);
}

TEST_F(Curtain, AnEdgeOutsideZeroToThreeChangesNothing) {
    curtain.FormBig();
    log.clear();
    program.Form2.Option1_Click(4);
    program.Form2.Option1_Click(-1);
    EXPECT_THAT(log.calls, IsEmpty());
    EXPECT_EQ(state.CurtainDown, 1);
    EXPECT_EQ(state.CurtainSide, 0);
}

TEST_F(Curtain, StoringLeavesVisibilityPictureAndZOrderAlone) {
    curtain.FormBig();
    log.clear();
    program.Form2.Option1_Click(1);
    EXPECT_TRUE(curtain.Image1.Visible());
    EXPECT_THAT(log.Only({"SetWindowPos", "Image1.Visible", "Image1.Picture"}), IsEmpty());
    EXPECT_EQ(state.CurtainDown, 0);
}

TEST_F(Curtain, FormBigSpreadsOverTheWholeScreenInOrder) {
    log.clear();
    curtain.FormBig();
    EXPECT_THAT(log.calls, ElementsAre("Form1.Height=11540", "Form1.Width=15390", "Form1.Top=-10", "Form1.Left=-10",
                                       "Image1.Height=11520", "Image1.Width=15360", "Image1.Top=0", "Image1.Left=0",
                                       "Image1.Visible=1", "Refresh(Form1)"));
    EXPECT_EQ(RectOf(curtain), kDown);
    EXPECT_EQ(state.CurtainDown, 1);
}

TEST_F(Curtain, SpreadingTwiceWithMutingMutesOnce) {
    Mute();
    curtain.FormBig();
    curtain.FormBig();
    EXPECT_THAT(log.Only({"waveOutSetVolume"}), ElementsAre("waveOutSetVolume(0,0x0)"));
    EXPECT_EQ(state.SoundMuted, 1);
}

TEST_F(Curtain, OnlyMutingChoicesOneAndThreeMute) {
    for (std::int16_t mode : {0, 1, 2, 3}) {
        state.SoundMode = mode;
        state.SoundMuted = 0;
        log.clear();
        curtain.FormBig();
        EXPECT_EQ(log.Only({"waveOutSetVolume"}).size(), (mode == 1 || mode == 3) ? 1u : 0u) << mode;
    }
}

// The mouse over the stored strip.
TEST_F(Curtain, MouseOverTheStripPullsUnlessShiftAloneIsHeld) {
    struct Case { int shift; bool pulls; };
    for (const Case& c : {Case{0, true}, Case{1, false}, Case{2, true}, Case{3, true}, Case{4, true}, Case{5, true}}) {
        program.Form2.Option1_Click(0);
        curtain.Form_MouseMove(0, c.shift, 5000, 100);
        EXPECT_EQ(state.CurtainDown, c.pulls ? 1 : 0) << "shift " << c.shift;
    }
}

TEST_F(Curtain, PullBringsTheCurtainToTheFrontThenSpreadsIt) {
    log.clear();
    curtain.Form_MouseMove(0, 0, 5000, 150);  // on the threshold
    EXPECT_EQ(log.calls.front(), "SetWindowPos(Form1,HWND_TOPMOST,0,0,0,0,19)");
    EXPECT_EQ(RectOf(curtain), kDown);
}

TEST_F(Curtain, PullZoneIsAlongYForHorizontalEdgesAndXForVertical) {
    curtain.Form_MouseMove(0, 0, 10, 151);  // below the zone of the top strip
    EXPECT_EQ(state.CurtainDown, 0);
    program.Form2.Option1_Click(2);
    curtain.Form_MouseMove(0, 0, 151, 10);
    EXPECT_EQ(state.CurtainDown, 0);
    curtain.Form_MouseMove(0, 0, 149.5f, 9000);
    EXPECT_EQ(state.CurtainDown, 1);
}

TEST_F(Curtain, NoPullWhileDownOrForAnUnknownEdge) {
    curtain.FormBig();
    log.clear();
    curtain.Form_MouseMove(0, 0, 0, 0);
    EXPECT_THAT(log.calls, IsEmpty());

    state.CurtainDown = 0;
    state.CurtainSide = 7;
    curtain.Form_MouseMove(0, 0, 0, 0);
    EXPECT_THAT(log.calls, IsEmpty());
}

// Raising it again.
TEST_F(Curtain, DoubleClickWhileMutedRestoresTheSoundThenStores) {
    Mute();
    api.waveVolume = 0x40008000;
    curtain.FormBig();
    log.clear();
    curtain.Image1_DblClick();
    EXPECT_EQ(log.calls.front(), "waveOutSetVolume(0,0x40008000)");
    EXPECT_EQ(api.waveVolume, 0x40008000u);
    EXPECT_EQ(state.SoundMuted, 0);
    EXPECT_FALSE(curtain.Image1.Visible());
    EXPECT_EQ(RectOf(curtain), (Rect{-50, -50, 15510, 150}));
    EXPECT_EQ(state.CurtainDown, 0);
}

TEST_F(Curtain, DoubleClickReachesTheImageOnly) {
    curtain.FormBig();
    ASSERT_TRUE(curtain.Image1.DblClick);
    curtain.Image1.DblClick();
    EXPECT_EQ(state.CurtainDown, 0);
}

// The screen watch: a monitor that sleeps and wakes is a new screen, its
// height or its width alone changed.
TEST_F(Curtain, ANewScreenWhileDownIsCoveredWithoutMutingAgain) {
    Mute();
    curtain.FormBig();
    for (const Rect screen : {Rect{0, 0, 15360, 9000}, Rect{0, 0, 20520, 9000}}) {
        services.screenWidth = screen.width;
        services.screenHeight = screen.height;
        log.clear();
        curtain.Timer1_Timer();
        EXPECT_EQ(RectOf(curtain), (Rect{-10, -10, screen.width + 30, screen.height + 20}));
        EXPECT_EQ(RectOf(curtain.Image1), screen);
        EXPECT_THAT(log.Only({"waveOut", "SetMute", "SetWindowPos"}), IsEmpty());
    }
    EXPECT_EQ(state.CurtainDown, 1);
    EXPECT_EQ(state.SoundMuted, 1);
    EXPECT_TRUE(curtain.Image1.Visible());
    curtain.Image1_DblClick();
    EXPECT_EQ(RectOf(curtain), (Rect{-50, -50, 20520 + 150, 150}));
}

TEST_F(Curtain, ANewWidthAloneLaysTheStoredStripOutAgain) {
    services.screenWidth = 20520;
    curtain.Timer1_Timer();
    EXPECT_EQ(RectOf(curtain), (Rect{-50, -50, 20520 + 150, 150}));
    EXPECT_EQ(state.CurtainDown, 0);
}

TEST_F(Curtain, ScreensTallerThan32767TwipsAreWatchedToo) {
    services.screenHeight = 57600;  // 4K portrait at 96 dpi
    curtain.Timer1_Timer();
    EXPECT_EQ(curtain.LastScreenHeight, 57600);
    EXPECT_EQ(RectOf(curtain), (Rect{-50, -50, 15510, 150}));
    log.clear();
    curtain.Timer1_Timer();
    EXPECT_THAT(log.calls, IsEmpty());
    services.screenHeight = 57585;
    curtain.Timer1_Timer();
    EXPECT_EQ(curtain.LastScreenHeight, 57585);
}

TEST_F(Curtain, TheTimerDrivesTheWatch) {
    services.screenHeight = 9000;
    curtain.Timer1.Tick();
    EXPECT_EQ(curtain.LastScreenHeight, 9000);
}

}  // namespace
