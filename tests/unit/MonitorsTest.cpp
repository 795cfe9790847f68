// The curtain over every monitor: a cover over each monitor but the
// primary, following the curtain down and up, and the monitors while down.
#include "OmbryFixture.h"

using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class EveryMonitor : public OmbryTest {
protected:
    const forms::Bounds kPrimary{0, 0, 15360, 11520};
    const forms::Bounds kRight{15360, 0, 12000, 9000};  // 800 x 600 to its right
    void SetUp() override {
        services.monitors = {kPrimary, kRight};
        Start("0,0,0,\"\",0,0,0,0\r\n");
    }
    const curtain::Cover& Cover(std::size_t i = 0) { return *curtain.OtherMonitors.All().at(i); }
    static Rect RectOf(const forms::Bounds& b) { return {b.left, b.top, b.width, b.height}; }
};

TEST_F(EveryMonitor, TheSpreadCoversTheOtherMonitorTopmostWithThePictureUntilTheRaise) {
    curtain.Image1.SetPicture(services.MakePicture("pattern"));
    log.clear();
    curtain.FormBig();
    EXPECT_EQ(OmbryTest::RectOf(Cover()), RectOf(kRight));
    EXPECT_EQ(OmbryTest::RectOf(Cover().Image1), (Rect{0, 0, 12000, 9000}));
    EXPECT_EQ(Cover().Image1.Picture(), curtain.Image1.Picture());
    // Topmost without taking the activation from the curtain (SWP_NOACTIVATE).
    EXPECT_THAT(log.Only({"SetWindowPos(Cover", "Cover.Visible"}),
                ElementsAre("SetWindowPos(Cover,HWND_TOPMOST,0,0,0,0,19)", "Cover.Visible=1"));
    curtain.Image1_DblClick();
    EXPECT_FALSE(Cover().Visible());
}

TEST_F(EveryMonitor, ADoubleClickOnACoverRaisesAllAndItsRightClickOpensTheCurtainsMenu) {
    curtain.FormBig();
    forms::MouseEvent right;
    right.button = 2;
    log.clear();
    Cover().Image1.MouseUp(right);
    api.PumpPosted();  // the hook replays the first right-click, then opens the menu
    EXPECT_THAT(log.calls, Contains("PopupMenu(MenuMy:各種設定|終了)"));

    Cover().Image1.DblClick();
    EXPECT_EQ(state.CurtainDown, 0);
    EXPECT_FALSE(Cover().Visible());
    EXPECT_EQ(OmbryTest::RectOf(curtain), (Rect{-50, -50, 15510, 150}));
}

TEST_F(EveryMonitor, WhileDownTheWatchCoversMonitorsThatComeMoveOrGo) {
    services.monitors = {kPrimary};
    curtain.FormBig();
    EXPECT_THAT(curtain.OtherMonitors.All(), IsEmpty());

    const forms::Bounds left{-12000, 0, 12000, 9000};
    services.monitors = {kPrimary, kRight, left};
    curtain.Timer1_Timer();
    EXPECT_EQ(OmbryTest::RectOf(Cover(1)), RectOf(left));
    services.monitors = {kPrimary, {15360, 0, 15360, 11520}};  // the right one larger
    curtain.Timer1_Timer();
    EXPECT_EQ(OmbryTest::RectOf(Cover(0)), (Rect{15360, 0, 15360, 11520}));
    EXPECT_FALSE(Cover(1).Visible());
    EXPECT_EQ(state.CurtainDown, 1);

    // An unchanged desk is left alone; stored, nothing is covered.
    log.clear();
    curtain.Timer1_Timer();
    EXPECT_THAT(log.Only({"Cover", "SetWindowPos"}), IsEmpty());
    curtain.Image1_DblClick();
    services.monitors = {kPrimary, kRight, left};
    curtain.Timer1_Timer();
    EXPECT_FALSE(Cover(0).Visible());
    EXPECT_FALSE(Cover(1).Visible());
}

// The pointer stops only at an outer edge of the desk: the strip lies there,
// never on the way to another monitor.
TEST_F(EveryMonitor, TheStripLiesAlongTheDesksOuterEdgeAndFollowsTheMonitors) {
    program.Form2.Option1_Click(2);  // right, with a monitor there: along its far edge, its length
    EXPECT_EQ(OmbryTest::RectOf(curtain), (Rect{15360 + 12000 - 100, -50, 150, 9000 + 150}));
    program.Form2.Option1_Click(0);  // top of a side-by-side desk: the primary's edge, as on one monitor
    EXPECT_EQ(OmbryTest::RectOf(curtain), (Rect{-50, -50, 15510, 150}));

    // Stored, the watch follows the monitors: one to the left, then none.
    program.Form2.Option1_Click(3);
    services.monitors = {kPrimary, {-12000, 1500, 12000, 9000}};
    curtain.Timer1_Timer();
    EXPECT_EQ(OmbryTest::RectOf(curtain), (Rect{-12050, 1450, 150, 9150}));
    services.monitors = {kPrimary};
    curtain.Timer1_Timer();
    EXPECT_EQ(OmbryTest::RectOf(curtain), (Rect{-50, -50, 150, 11670}));
}

TEST_F(EveryMonitor, AnotherProgramsWindowOverTheCurtainIsCoveredAgainUnlessItTakesTheTopBackAtOnce) {
    curtain.FormBig();
    log.clear();
    const forms::WindowAbove pinned{.window = 0x900, .rect = {20000, 3000, 3000, 2250}, .frame = {}};  // on the second monitor
    // Above every other tick: covered again, at most three times a second.
    for (int tick = 0; tick < 20; ++tick) {
        services.windowsAbove = tick % 2 == 0 ? std::vector{pinned} : std::vector<forms::WindowAbove>{};
        curtain.Timer1_Timer();
    }
    const auto moves = log.Only({"SetWindowPos"});
    ASSERT_EQ(moves.size(), 2u * 3 * 2);  // both windows, three times in each of two seconds
    EXPECT_EQ(moves[0], "SetWindowPos(Form1,HWND_TOPMOST,0,0,0,0,19)");  // on top, the focus left alone

    // Above again at the very next tick, twice running (once may be the
    // system applying ours late): it takes the top back by itself, and is
    // left alone until the curtain next comes down.
    services.windowsAbove = {pinned};
    log.clear();
    for (int tick = 0; tick < 20; ++tick) curtain.Timer1_Timer();
    EXPECT_EQ(log.Only({"SetWindowPos"}).size(), 2u * 2);
    curtain.Image1_DblClick();
    curtain.FormBig();
    log.clear();
    curtain.Timer1_Timer();
    EXPECT_EQ(log.Only({"SetWindowPos"}).size(), 2u);

    // What shows nothing on a covered monitor does not count: a window off
    // them, one maximised to their left whose invisible borders reach the
    // primary, a click-through overlay.
    services.windowsAbove = {{.window = 0x904, .rect = {-5000, 0, 3000, 2250}, .frame = {}},
                             {.window = 0x908, .rect = {-12120, -120, 12240, 9240}, .frame = {{-12000, 0, 12000, 9000}}},
                             {.window = 0x90c, .rect = {0, 0, 15360, 11520}, .frame = {}, .clickThrough = true}};
    curtain.FormBig();
    log.clear();
    for (int tick = 0; tick < 20; ++tick) curtain.Timer1_Timer();
    EXPECT_THAT(log.Only({"SetWindowPos"}), IsEmpty());
}

}  // namespace
