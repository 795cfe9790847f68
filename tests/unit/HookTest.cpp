// The hook in front of the curtain window: hotkey and right-click.
#include "OmbryFixture.h"

using testing::ElementsAre;

namespace {

class Hook : public OmbryTest {
protected:
    void SetUp() override { Start("0,0,1,\"F9\",120,0,0,0\r\n"); }
};

TEST_F(Hook, HotkeyBringsTheCurtainDownAndPassesTheMessageOn) {
    log.clear();
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0x780000);
    EXPECT_EQ(state.CurtainDown, 1);
    EXPECT_EQ(state.SoundMuted, 1);
    EXPECT_EQ(RectOf(curtain), (Rect{-10, -10, 15360 + 30, 11520 + 20}));
    // Black first: the keyboard and the slow mute only once the curtain shows.
    EXPECT_THAT(log.Only({"Refresh", "SetForegroundWindow", "SetFocus", "waveOutSetVolume", "CallWindowProcA"}),
                ElementsAre("Refresh(Form1)", "SetForegroundWindow(Form1)", "SetFocus(Form1)", "waveOutSetVolume(0,0x0)",
                            "CallWindowProcA(own,Form1,0x312,1,7864320)"));
}

TEST_F(Hook, AnyHotkeyIdActsAlikeAndAgainWhileDown) {
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
    log.clear();
    api.Deliver(Hwnd(), api::WM_HOTKEY, 7, 0);
    EXPECT_THAT(log.Only({"SetForegroundWindow", "SetFocus", "waveOutSetVolume", "CallWindowProcA"}),
                ElementsAre("SetForegroundWindow(Form1)", "SetFocus(Form1)", "CallWindowProcA(own,Form1,0x312,7,0)"));
}

// The hotkey takes the keyboard from the window that had it; the raise (Esc
// as well as the double-click) gives it back while that window exists. The
// menu key opens the menu at the curtain's centre.
TEST_F(Hook, TheRaiseGivesTheKeyboardBack) {
    constexpr std::intptr_t kEditor = 0x9000;
    log.names[kEditor] = "editor";
    api.foreground = kEditor;
    log.clear();
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
    api.Deliver(Hwnd(), api::WM_CONTEXTMENU, static_cast<std::uintptr_t>(Hwnd()), 0xFFFFFFFF);
    curtain.Form_KeyDown(27, 0);
    EXPECT_EQ(state.CurtainDown, 0);
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
    api.goneWindows = {kEditor};
    curtain.Image1_DblClick();
    EXPECT_THAT(log.Only({"SetForegroundWindow", "PopupMenu"}),
                ElementsAre("SetForegroundWindow(Form1)", "PopupMenu(MenuMy:各種設定|終了 at 7695,5770)",
                            "SetForegroundWindow(editor)", "SetForegroundWindow(Form1)"));
}

// Esc raises the curtain unless Esc with the very modifiers held is the hotkey.
TEST_F(Hook, EscRaisesUnlessItIsTheHotkeyWithItsModifiers) {
    ASSERT_TRUE(program.RegisterHotkey(27, api::MOD_SHIFT));
    for (int shift : {0, 2, 1}) {
        api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
        curtain.Form_KeyDown(27, shift);
        EXPECT_EQ(state.CurtainDown, shift == 1 ? 1 : 0) << shift;
    }
}

TEST_F(Hook, SuspendedHotkeyIsOnlyPassedOn) {
    state.HotkeySuspended = 1;
    log.clear();
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
    EXPECT_THAT(log.calls, ElementsAre("CallWindowProcA(own,Form1,0x312,1,0)"));
}

TEST_F(Hook, FirstRightClickIsReplayedThenOpensTheMenuOnce) {
    log.clear();
    api.Deliver(Hwnd(), api::WM_RBUTTONUP, 0, 0x00050006);
    api.PumpPosted();
    EXPECT_THAT(log.calls, ElementsAre("PostMessageA(Form1,0x201,0,0)", "PostMessageA(Form1,0x205,0,0)",
                                       "CallWindowProcA(own,Form1,0x205,0,327686)",
                                       "CallWindowProcA(own,Form1,0x201,0,0)",
                                       "PopupMenu(MenuMy:各種設定|終了)", "CallWindowProcA(own,Form1,0x205,0,0)"));
    EXPECT_EQ(state.PopPrimed, 1);  // the next right-click is replayed again
}

TEST_F(Hook, RightClickWhileNotPrimedOpensTheMenuAtOnce) {
    state.PopPrimed = 0;
    log.clear();
    api.Deliver(Hwnd(), api::WM_RBUTTONUP, 0, 0);
    EXPECT_THAT(log.calls, ElementsAre("PopupMenu(MenuMy:各種設定|終了)", "CallWindowProcA(own,Form1,0x205,0,0)"));
}

TEST_F(Hook, OtherMessagesPassStraightThrough) {
    log.clear();
    api.Deliver(Hwnd(), api::WM_MOUSEMOVE, 0, 0);
    EXPECT_THAT(log.calls, ElementsAre("CallWindowProcA(own,Form1,0x200,0,0)"));
}

TEST_F(Hook, AFailingHandlerStillPassesTheMessageOn) {
    services.screenFails = true;
    log.clear();
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
    EXPECT_EQ(log.calls.back(), "CallWindowProcA(own,Form1,0x312,1,0)");
}

}  // namespace
