// The command line: what a second process hands over, what a process alone
// does, and what the copy that runs does with a command.
#include "OmbryFixture.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

TEST(CommandLineParse, OneSwitchInAnyCaseElseNotUnderstood) {
    EXPECT_EQ(app::ParseCommandLine("\"C:\\Program Files\\ombry.exe\" /DOWN"), app::Command::Down);
    EXPECT_EQ(app::ParseCommandLine("ombry.exe \t-Toggle "), app::Command::Toggle);
    EXPECT_EQ(app::ParseCommandLine("\"C:\\a b\\ombry.exe\""), app::Command::None);
    for (const char* line : {"ombry.exe /bogus", "ombry.exe /down /up", "ombry.exe down", "ombry.exe /", "x \"\""})
        EXPECT_EQ(app::ParseCommandLine(line), std::nullopt) << line;
}

using CommandLine = OmbryTest;

TEST_F(CommandLine, ASecondCopyHandsItOverOrSaysNotUnderstood) {
    FreshStart exit("", [](fakes::FakeServices& s) { s.anotherInstance = true, s.commandLine = "o /Exit"; });
    EXPECT_THAT(exit.log.calls, ElementsAre("SendToRunningCopy(Form1,Ombry.Command,5,20333)"));
    FreshStart bogus("", [](fakes::FakeServices& s) { s.anotherInstance = true, s.commandLine = "o /upp"; });
    EXPECT_THAT(bogus.log.calls, ElementsAre(std::string("WriteToConsole(") + app::kUsage + ")"));
    EXPECT_EQ(bogus.program.ExitCode(), 2);
}

TEST_F(CommandLine, AloneOnlyDownAndSettingsStartAndActOnceUp) {
    for (const char* line : {"o /up", "o /toggle", "o /exit"}) {
        FreshStart alone("", [line](fakes::FakeServices& s) { s.commandLine = line; });
        EXPECT_THAT(alone.log.calls, IsEmpty()) << line;
        EXPECT_EQ(alone.program.ExitCode(), 1) << line;
    }
    FreshStart down("0,0,1,\"F9\",120,0,0,0\r\n", [](fakes::FakeServices& s) { s.commandLine = "o /down"; });
    down.api.PumpPosted();
    EXPECT_EQ(down.program.state.CurtainDown, 1);
    // The dialog opened at start takes the command in its own loop: brought forward, not opened twice.
    services.commandLine = "o /settings";
    services.onShowModal = [this](forms::Form&) { api.PumpPosted(); };
    Start("0,0,0,\"\",0,1,0,0\r\n");
    EXPECT_THAT(log.Only({"ShowModal", "BringToFront"}), ElementsAre("ShowModal(Form2)", "BringToFront(Form2)"));
}

// Down, toggle and exit on the running copy are checked end to end.
TEST_F(CommandLine, SettingsAnswersTheSenderBeforeTheDialogsLoop) {
    Start("0,0,1,\"F9\",120,0,0,0\r\n");
    log.clear();
    api.Deliver(Hwnd(), fakes::FakeApi::kCommandMessage, std::uintptr_t(app::Command::Settings));
    EXPECT_THAT(log.Only({"ReplyMessage", "ShowModal"}), ElementsAre("ReplyMessage(20333)", "ShowModal(Form2)"));
}

}  // namespace
