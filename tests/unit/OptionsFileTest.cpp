// The options file beside ombry.cfg: read leniently, written only for an
// option away from its default, and kept between runs.
#include "OmbryFixture.h"
#include "app/OptionsFile.h"

namespace {

TEST(OptionsFile, ReadsWhatItCanAndGivesTheDefaultForTheRest) {
    EXPECT_FALSE(app::ParseOptionsFile("EveryMonitor=0\r\n").EveryMonitor);
    EXPECT_FALSE(app::ParseOptionsFile("Later=7\n garbage\n EveryMonitor = 0").EveryMonitor);
    for (const char* damaged : {"", "EveryMonitor=2\r\n", "EveryMonitor=\r\n", "EveryMonitor", "\xff\xfe\x00=0",
                                "everymonitor=0", "EveryMonitor=00"})
        EXPECT_TRUE(app::ParseOptionsFile(damaged).EveryMonitor) << damaged;
    // Numbers: only what the writer writes is read back, anything else is the default.
    const app::Options some{.EveryMonitor = false, .HotkeyModifiers = 6, .IdleMinutes = 5, .LockMinutes = 999};
    EXPECT_EQ(app::ParseOptionsFile(app::FormatOptionsFile(some)), some);
    for (const char* damaged : {"IdleMinutes=0", "IdleMinutes=1000", "IdleMinutes=-5", "IdleMinutes=05",
                                "IdleMinutes=5x", "LockMinutes=99999999999", "HotkeyModifiers=16"})
        EXPECT_EQ(app::ParseOptionsFile(damaged), app::Options{}) << damaged;
}

TEST(OptionsFile, KeepsTheCoverOfThePrimaryAloneBetweenRunsAndNothingForTheDefault) {
    FreshStart off("0,0,0,\"\",0,0,0,0\r\n", [](fakes::FakeServices& s) { s.files["ombry-options.cfg"] = "x\n"; });
    // A damaged file gives the default, and is replaced at the next exit.
    EXPECT_TRUE(off.program.state.Options.EveryMonitor);
    off.program.Form2.Load();
    EXPECT_EQ(off.program.Form2.Check5.Value(), 1);
    off.program.Form2.Check5.SetValue(0);
    off.program.Form2.Check5_Click();
    off.program.Form1.Unload();
    EXPECT_EQ(off.services.files.at("ombry-options.cfg"), "EveryMonitor=0\r\n");
    EXPECT_THAT(off.log.calls, testing::Contains("ReplaceFile(ombry-options.cfg)"));

    FreshStart again("0,0,0,\"\",0,0,0,0\r\n",
                     [&](fakes::FakeServices& s) { s.files = off.services.files; s.monitors = {{}, {15360, 0, 1, 1}}; });
    EXPECT_FALSE(again.program.state.Options.EveryMonitor);
    again.program.Form1.FormBig();
    EXPECT_TRUE(again.program.Form1.OtherMonitors.All().empty());
    // Back to the default: the file goes, ombry.cfg stays as it was.
    const std::string cfg = again.services.files.at("ombry.cfg");
    again.program.state.Options.EveryMonitor = true;
    again.program.Form1.Unload();
    EXPECT_EQ(again.services.files.count("ombry-options.cfg"), 0u);
    EXPECT_EQ(again.services.files.at("ombry.cfg"), cfg);
}

}  // namespace
