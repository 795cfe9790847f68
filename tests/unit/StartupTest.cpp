// Start-up: the settings in force, the hotkey, the volumes, the curtain at
// its edge and the pattern, whatever state the files are in.
#include "OmbryFixture.h"

#include "app/SettingsFile.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

const std::string kDefaults = "0,0,0,\"\",0,1,0,0\r\n";
const std::string kQuiet = "0,0,0,\"\",0,0,0,0\r\n";  // the dialog not opened at start

class Startup : public OmbryTest {
protected:
    app::Settings Settings() const { return static_cast<const app::Settings&>(state); }
};

TEST_F(Startup, NoFileGivesDefaultsReleasesTheHotkeyAndOpensTheDialog) {
    Start("");
    EXPECT_EQ(Settings(), app::Settings{});
    EXPECT_THAT(log.Only({"RegisterHotKey", "UnregisterHotKey", "ShowModal"}),
                ElementsAre("UnregisterHotKey(Form1,1)", "ShowModal(Form2)"));
    EXPECT_EQ(RectOf(curtain), (Rect{-50, -50, 15510, 150}));  // the top edge
    EXPECT_TRUE(curtain.Image1.Picture().Empty());
}

// Each of these files is unusable as a whole: all eight settings are the
// defaults, also those read before the fault.
TEST_F(Startup, DamagedFilesGiveAllEightDefaults) {
    for (const std::string& cfg : {
             std::string("\r\n"),                          // empty line
             std::string("2,0,1,\"A\",65,0,1\r\n"),        // seven fields
             std::string("9,0,1,\"A\",65,0,1,1\r\n"),      // no such edge
             std::string("2,0,40000,\"A\",65,0,1,1\r\n"),  // short out of range
             std::string("2,0,1,\"A\",4294967361,0,1,1\r\n"),  // long out of range
             std::string("2,0,3,\"A\",65,0,1,1\r\n"),      // no such muting choice
             std::string("2,0,1,\"A\",65,3,1,1\r\n"),      // no such check box value
         }) {
        SCOPED_TRACE(cfg);
        FreshStart run(cfg);
        EXPECT_EQ(static_cast<app::Settings&>(run.program.state), app::Settings{});
        EXPECT_EQ(run.program.Form1.Top(), -50);  // stored at the top edge
    }
}

TEST_F(Startup, EmptyFileGivesDefaults) {
    services.files["ombry.cfg"] = "";
    program.Main();
    EXPECT_EQ(Settings(), app::Settings{});
}

TEST_F(Startup, ReadsEightFieldsOverSeveralLinesAndIgnoresTheRest) {
    // Stored as "Ombry.cfg": Windows' names ignore case, so it is ombry.cfg.
    services.files["Ombry.cfg"] = "3,5,1\r\n\"Q\",81\r\n0,0,0,extra,\"x\"\r\nmore\r\n";
    program.Main();
    app::Settings want;
    want.CurtainSide = 3;
    want.SpareSetting = 5;
    want.SoundMode = 1;
    want.HotkeyName = "Q";
    want.HotkeyCode = 81;
    want.ShowSettingsAtStart = 0;
    EXPECT_EQ(Settings(), want);
    EXPECT_EQ(RectOf(curtain), (Rect{-50, -50, 150, 11670}));  // the left edge
    // The reserved field goes back to the file as it came.
    EXPECT_EQ(app::FormatSettingsFile(Settings()), "3,5,1,\"Q\",81,0,0,0\r\n");
}

TEST_F(Startup, RegistersTheHotkeyAndHandsTheSettingsToTheDialog) {
    Start("2,0,1,\"F9\",120,0,1,0\r\n");
    EXPECT_THAT(log.Only({"RegisterHotKey", "UnregisterHotKey"}),
                ElementsAre("UnregisterHotKey(Form1,1)", "RegisterHotKey(Form1,1,16384,120)"));
    EXPECT_EQ(program.Form2.Check3.Value(), 0);
    EXPECT_EQ(program.Form2.Check4.Value(), 1);
    EXPECT_TRUE(program.Form2.Option1(2).Value());
    EXPECT_TRUE(program.Form2.Option3(1).Value());
    EXPECT_EQ(program.Form2.Text1.Text(), "F9");
    EXPECT_EQ(RectOf(curtain), (Rect{15260, -50, 150, 11670}));  // the right edge
    EXPECT_EQ(state.HotkeySuspended, 0);
    EXPECT_THAT(log.Only({"ShowModal"}), IsEmpty());
}

// Held down, the key would spread the curtain at the repeat rate. Windows
// before 7 refuses MOD_NOREPEAT itself: the key goes without it, from then on.
TEST_F(Startup, TheHotkeyIgnoresAutoRepeatWhereWindowsCan) {
    api.noRepeatRefusedWith = api::ERROR_INVALID_PARAMETER;
    Start("2,0,1,\"F9\",120,0,1,0\r\n");
    program.RegisterHotkey(65);
    EXPECT_THAT(log.Only({"RegisterHotKey"}),
                ElementsAre("RegisterHotKey(Form1,1,16384,120)", "RegisterHotKey(Form1,1,0,120)",
                            "RegisterHotKey(Form1,1,0,65)"));
}

// The strip shows, its hotkey in force, as soon as the settings are read,
// before the slower dialog's load.
TEST_F(Startup, HooksTheCurtainBeforeReadingTheSettingsAndShowsItBeforeTheDialog) {
    Start(kQuiet);
    EXPECT_THAT(log.Only({"Load(", "ChangeWindowMessageFilterEx", "SetWindowLongA", "ReadFile", "Form1.Visible",
                          "UnregisterHotKey"}),
                ElementsAre("ReadFile(ombry.mute)", "ReadFile(ombry-options.cfg)", "Load(Form1)",
                            "ChangeWindowMessageFilterEx(Form1,0xc0de,1)",  // heard also elevated
                            "SetWindowLongA(Form1,-4,hook)", "ReadFile(ombry.cfg)", "UnregisterHotKey(Form1,1)",
                            "Form1.Visible=1", "Load(Form2)", "Form1.Visible=1"));
    EXPECT_EQ(state.CurtainHwnd, Hwnd());
    EXPECT_EQ(state.PrevWndProc, fakes::FakeApi::kOriginalProc);
    EXPECT_FALSE(curtain.Image2.Visible());
    EXPECT_FALSE(curtain.picTrayIcon(0).Visible());
}

// Elevated, a command from a copy the user started unelevated gets through.
TEST_F(Startup, LetsCommandsFromLowerIntegrityThroughOnlyWhenElevated) {
    api.elevated = true;
    Start(kQuiet);
    EXPECT_EQ(log.Only({"ChangeWindowMessageFilterEx(Form1,0xc0df,1)"}).size(), 1u);
}

TEST_F(Startup, ASecondCopyEndsBeforeTouchingAnyWindowOrFile) {
    services.anotherInstance = true;
    Start(kDefaults);
    EXPECT_THAT(log.calls, IsEmpty());
    EXPECT_FALSE(program.AnyFormLoaded());
}

TEST_F(Startup, RecordsTheVolumesOfWaveAndOfAsManyAuxIdsAsMidiOutputs) {
    api.midiDevices = 2;  // and no auxiliary device: both reads fail quietly
    api.waveVolume = 0x40008000;
    Start(kQuiet);
    EXPECT_THAT(log.Only({"midiOut", "waveOut", "aux"}),
                ElementsAre("midiOutGetNumDevs()", "waveOutGetVolume(0)", "auxGetVolume(0)", "auxGetVolume(1)"));
    EXPECT_EQ(state.AuxDeviceCount, 1);
    EXPECT_EQ(state.WaveVolume, 0x40008000u);
    EXPECT_EQ(state.AuxVolumes[0], 0u);
}

TEST_F(Startup, NoMidiOutputMeansNoAuxDevice) {
    api.auxVolumes = {0x1111, 0x2222};
    Start(kQuiet);
    EXPECT_EQ(state.AuxDeviceCount, -1);
    EXPECT_THAT(log.Only({"aux"}), IsEmpty());
}

TEST_F(Startup, MoreMidiOutputsThanSlotsAsksOnlyTheSlots) {
    api.midiDevices = 15;
    Start(kQuiet);
    EXPECT_EQ(log.Only({"auxGetVolume"}).size(), 11u);
}

// The pattern at start.
TEST_F(Startup, KeptPatternComesFromStartBmp) {
    services.files["start.bmp"] = "BM...";
    Start("0,0,0,\"\",0,0,1,1\r\n");
    EXPECT_EQ(fakes::Describe(curtain.Image1.Picture()), "start.bmp");
}

TEST_F(Startup, MissingStartBmpGivesAPlainCurtainAndGoesOn) {
    Start("0,0,0,\"\",0,1,1,1\r\n");
    EXPECT_TRUE(curtain.Image1.Picture().Empty());
    EXPECT_THAT(log.Only({"ShowModal"}), ElementsAre("ShowModal(Form2)"));
}

TEST_F(Startup, PatternNotKeptComesFromTheClipboard) {
    services.clipboard = services.MakePicture("capture");
    Start("0,0,0,\"\",0,0,0,1\r\n");
    EXPECT_EQ(fakes::Describe(curtain.Image1.Picture()), "capture");
}

TEST_F(Startup, ClipboardWithoutAPictureGivesAPlainCurtain) {
    Start("0,0,0,\"\",0,0,0,1\r\n");
    EXPECT_TRUE(curtain.Image1.Picture().Empty());
}

TEST_F(Startup, NoPatternClearsWhatTheClipboardGaveAtLoad) {
    services.clipboard = services.MakePicture("capture");
    Start(kQuiet);
    EXPECT_TRUE(curtain.Image1.Picture().Empty());
}

TEST_F(Startup, KeepExitPatternTwoTakesNeitherFileNorClipboard) {
    services.clipboard = services.MakePicture("capture");
    services.files["start.bmp"] = "BM...";
    Start("0,0,0,\"\",0,0,2,1\r\n");
    EXPECT_TRUE(curtain.Image1.Picture().Empty());
    EXPECT_EQ(program.Form2.Check4.Value(), 2);  // shown grayed
}

TEST_F(Startup, CurtainWindowRightAfterLoad) {
    services.clipboard = services.MakePicture("capture");
    state.HotkeySuspended = 1;
    curtain.Load();
    EXPECT_EQ(state.CurtainDown, 0);
    EXPECT_EQ(state.PopPrimed, 1);
    EXPECT_EQ(state.HotkeySuspended, 0);
    EXPECT_FALSE(curtain.Image1.Visible());
    EXPECT_EQ(RectOf(curtain.Image1), (Rect{5, 5, 15460, 11620}));
    EXPECT_EQ(fakes::Describe(curtain.Image1.Picture()), "capture");
    EXPECT_EQ(fakes::Describe(curtain.Image2.Picture()), "icon");
    EXPECT_TRUE(curtain.Timer1.Enabled());
    EXPECT_EQ(curtain.Timer1.Interval(), 100);
    EXPECT_EQ(curtain.LastScreenHeight, 11520);
    // Topmost first of all, and the timer stopped before it starts again.
    EXPECT_THAT(log.Only({"SetWindowPos", "Timer1"}),
                ElementsAre("SetWindowPos(Form1,HWND_TOPMOST,0,0,0,0,19)", "Timer1.Enabled=0", "Timer1.Interval=0",
                            "Timer1.Enabled=1", "Timer1.Interval=100"));
}

TEST_F(Startup, CenterFormOnAFormLargerThanTheScreenGoesNegative) {
    program.Form2.SetWidth(20000);
    program.Form2.SetHeight(12000);
    program.CenterForm(program.Form2);
    EXPECT_EQ(program.Form2.Top(), -240);
    EXPECT_EQ(program.Form2.Left(), -2320);
}

TEST_F(Startup, ClosingTheCurtainUnloadsEveryForm) {
    Start(kDefaults);
    curtain.SystemClose();
    EXPECT_FALSE(program.AnyFormLoaded());
}

}  // namespace
