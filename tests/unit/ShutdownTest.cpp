// The tray route, the menu commands and the orderly shutdown.
#include "OmbryFixture.h"

using testing::Contains;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;
using testing::Not;

namespace {

class TrayRoute : public OmbryTest {
protected:
    void SetUp() override { Start("0,0,1,\"F9\",120,0,0,0\r\n"); }
    void MutedDown() {
        api.waveVolume = 0x8000;
        curtain.FormBig();
        ASSERT_EQ(state.SoundMuted, 1);
    }
};

TEST_F(TrayRoute, StartAddsTheIconWithItsTip) {
    EXPECT_THAT(log.Only({"Shell_NotifyIconW"}),
                ElementsAre("Shell_NotifyIconW(0,picTrayIcon(0),0,7,Ombry起動中！)"));
}

TEST_F(TrayRoute, RightReleaseOnTheIconOpensTheMenu) {
    state.PopPrimed = 0;
    log.clear();
    TrayCallback(api::WM_RBUTTONUP);
    EXPECT_THAT(log.calls, ElementsAre("SetForegroundWindow(Form1)", "SendMessageA(picTrayEvent,0x205,0,0)",
                                       "PopupMenu(MenuMy:各種設定|終了)"));
    EXPECT_EQ(state.PopPrimed, 0);
}

TEST_F(TrayRoute, LeftDoubleClickBringsTheCurtainDownOtherMessagesDoNothing) {
    log.clear();
    for (unsigned msg : {0x200u, 0x201u, 0x202u, 0x204u, 0x206u}) TrayCallback(msg);
    EXPECT_THAT(log.Only({"PopupMenu", "Form1."}), IsEmpty());
    TrayCallback(api::WM_LBUTTONDBLCLK);
    EXPECT_EQ(state.CurtainDown, 1);
    EXPECT_EQ(RectOf(curtain), (Rect{-10, -10, 15390, 11540}));
    // Again while down: laid out again, muted only once.
    TrayCallback(api::WM_LBUTTONDBLCLK);
    EXPECT_EQ(log.Only({"waveOutSetVolume"}).size(), 1u);
}

TEST_F(TrayRoute, MessagesFromAnotherIconAreIgnored) {
    log.clear();
    program.TrayIcon->MouseMove(0x4242, 0x205, 0);
    program.TrayIcon->MouseMove(0x4242, 0x203, 0);
    EXPECT_THAT(log.Only({"PopupMenu", "Form1."}), IsEmpty());
}

TEST_F(TrayRoute, SettingsWhileDownAndMutedRestoresTheSoundBeforeStoring) {
    MutedDown();
    log.clear();
    ChooseFromMenu("各種設定");
    TrayCallback(api::WM_RBUTTONUP);
    // The sound is back before the curtain is put away and the dialog opens.
    EXPECT_THAT(log.Only({"waveOutSetVolume", "Form1.Top", "ShowModal"}),
                ElementsAre("waveOutSetVolume(0,0x8000)", "Form1.Top=-50", "ShowModal(Form2)"));
    EXPECT_EQ(state.SoundMuted, 0);
    EXPECT_EQ(state.CurtainDown, 0);
}

class Shutdown : public TrayRoute {
protected:
    // Down and muted, with a picture to keep at exit.
    void KeepingAPatternMutedDown() {
        state.KeepExitPattern = 1;
        curtain.Image1.SetPicture(services.MakePicture("capture"));
        MutedDown();
    }
    // Every step of the unload, in its order.
    static inline const std::vector<std::string> kEveryStep = {
        "SavePicture(start.bmp)",     "ReplaceFile(ombry.cfg)",    "waveOutSetVolume(0,0x8000)",
        "SetWindowLongA(Form1,-4,own)", "UnregisterHotKey(Form1,1)",
        "WTSUnRegisterSessionNotification(Form1)",  // before the window goes
        "Shell_NotifyIconW(2,picTrayIcon(0),0,0,)", "Destroy(Form2)", "Destroy(Form1)"};
    std::vector<std::string> Steps() const {
        return log.Only({"SavePicture", "ReplaceFile", "waveOutSetVolume", "SetWindowLongA", "UnregisterHotKey",
                         "WTSUnRegister", "Shell_NotifyIconW", "Destroy",
                         "CallWindowProcA"});
    }
};

TEST_F(Shutdown, EndFromTheCurtainsMenuRunsEveryStepInOrder) {
    KeepingAPatternMutedDown();
    program.Form2.Load();
    state.PopPrimed = 0;
    log.clear();
    ChooseFromMenu("終了");
    api.Deliver(Hwnd(), api::WM_RBUTTONUP);  // the hook opens the menu
    EXPECT_THAT(Steps(), ElementsAreArray(kEveryStep));
    // The window is gone: the message goes on to no procedure.
    EXPECT_FALSE(program.AnyFormLoaded());
    EXPECT_EQ(state.SoundMuted, 0);
    EXPECT_EQ(services.files["start.bmp"], "BMcapture");
    EXPECT_EQ(services.files["ombry.cfg"], "0,0,1,\"F9\",120,0,1,0\r\n");
}

using ShutdownFromFile = OmbryTest;

TEST_F(ShutdownFromFile, EndFromTheIconsMenuWritesTheRunsSettingsAsOneLine) {
    // Read from several lines with extra fields; written back as the one line.
    Start("3,5,1\r\n\"Q\",81\r\n0,0,0,extra,\"x\"\r\nmore\r\n");
    services.ansiPrefix = "~";  // the name is written in the file's code page
    ChooseFromMenu("終了");
    TrayCallback(api::WM_RBUTTONUP);
    EXPECT_THAT(log.calls, Contains("PopupMenu(MenuMy:各種設定|終了)"));
    EXPECT_FALSE(program.AnyFormLoaded());
    EXPECT_EQ(services.files["ombry.cfg"], "3,5,1,\"~Q\",81,0,0,0\r\n");
}

TEST_F(Shutdown, UnwritableFilesStillRestoreTheSoundAndRemoveTheIcon) {
    KeepingAPatternMutedDown();
    services.writesFail = true;
    log.clear();
    curtain.MenuEnd_Click();
    EXPECT_THAT(Steps(), ElementsAreArray(kEveryStep));
    EXPECT_EQ(services.files["ombry.cfg"], "0,0,1,\"F9\",120,0,0,0\r\n");  // the earlier file is kept
}

TEST_F(Shutdown, ExitPatternOnlyWhenAskedAndThereIsAPicture) {
    services.files["start.bmp"] = "BMearlier";
    state.KeepExitPattern = 1;  // but the curtain has no picture
    curtain.SystemClose();
    EXPECT_THAT(log.calls, Not(Contains("SavePicture(start.bmp)")));
    EXPECT_EQ(services.files["start.bmp"], "BMearlier");

    FreshStart run("0,0,0,\"\",0,0,0,1\r\n", [](fakes::FakeServices& s) { s.clipboard = s.MakePicture("capture"); });
    ASSERT_FALSE(run.program.Form1.Image1.Picture().Empty());
    run.program.Form1.SystemClose();  // KeepExitPattern 0
    EXPECT_THAT(run.log.calls, Not(Contains("SavePicture(start.bmp)")));
    EXPECT_THAT(run.log.calls, Contains("ReplaceFile(ombry.cfg)"));
}

TEST_F(Shutdown, AHandlerFailingInAnyWayStillPassesTheMessageOn) {
    state.PopPrimed = 0;
    services.onPopupMenu = [](forms::Menu&) { throw 42; };
    log.clear();
    api.Deliver(Hwnd(), api::WM_RBUTTONUP);
    EXPECT_EQ(log.calls.back(), "CallWindowProcA(own,Form1,0x205,0,0)");
}

TEST_F(Shutdown, TaskbarCreatedAddsTheIconAgainAndGoesOn) {
    log.clear();
    api.Deliver(Hwnd(), fakes::FakeApi::kTaskbarCreated);
    EXPECT_THAT(log.calls, ElementsAre("Shell_NotifyIconW(0,picTrayIcon(0),0,7,Ombry起動中！)",
                                       "CallWindowProcA(own,Form1,0xc0de,0,0)"));
}

TEST_F(Shutdown, DestroyingTheProgramClosesItsWindowsWithoutAShutdown) {
    {
        fakes::FakeServices s{log};
        fakes::FakeApi a{log};
        app::Program p{s, a};
        s.files["ombry.cfg"] = "0,0,0,\"\",0,1,0,0\r\n";
        s.onShowModal = [](forms::Form&) {};
        p.Main();
        log.clear();
    }
    EXPECT_THAT(log.calls, ElementsAre("Destroy(Form1)", "Destroy(Form2)"));
}

}  // namespace

// Another program held ombry.cfg open at start: the defaults are in force,
// and the user's file is theirs still at exit.
TEST(ShutdownAfterAnUnreadableFile, LeavesItAsItIsUnlessASettingChangedThenKeepsItBeside) {
    const std::string held = "2,0,1,\"F9\",120,0,0,0\r\n";
    const std::string options = "EveryMonitor=0\r\n";
    const auto heldOpen = [&](fakes::FakeServices& s) {
        s.files["ombry-options.cfg"] = options;
        s.unreadable = {"ombry.cfg", "ombry-options.cfg"};
    };
    FreshStart unchanged(held, heldOpen);
    EXPECT_EQ(unchanged.api.notified.back().szTip, "Ombry起動中！(設定ﾌｧｲﾙが読めません)");
    unchanged.services.unreadable.clear();  // let go by now
    unchanged.program.Form1.Unload();
    EXPECT_EQ(unchanged.services.files,
              (fakes::Files{{"ombry.cfg", held}, {"ombry-options.cfg", options}}));

    // A copy kept by an earlier run holds what was last read, and stays.
    for (const bool keptBefore : {false, true}) {
        FreshStart changed(held, [&](fakes::FakeServices& s) {
            heldOpen(s);
            if (keptBefore) s.files["ombry.cfg.bak"] = s.files["ombry-options.cfg.bak"] = "earlier";
        });
        changed.program.Form2.Option3(1).SetValue(true);
        changed.program.state.Options.IdleMinutes = 5;
        changed.services.unreadable.clear();
        changed.program.Form1.Unload();
        EXPECT_EQ(changed.services.files.at("ombry.cfg"), "0,0,1,\"\",0,1,0,0\r\n");
        EXPECT_EQ(changed.services.files.at("ombry-options.cfg"), "IdleMinutes=5\r\n");
        EXPECT_EQ(changed.services.files.at("ombry.cfg.bak"), keptBefore ? "earlier" : held);
        EXPECT_EQ(changed.services.files["ombry-options.cfg.bak"], keptBefore ? "earlier" : options);
    }
}
