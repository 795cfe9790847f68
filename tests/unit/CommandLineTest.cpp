// The command line: what a second process hands over, what the copy that
// runs does with it, and what a process alone does.
#include "OmbryFixture.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

TEST(CommandLineParse, OneSwitchInAnyCaseElseNotUnderstood) {
    using app::Command;
    EXPECT_EQ(app::ParseCommandLine("\"C:\\Program Files\\ombry.exe\" /DOWN"), Command::Down);
    EXPECT_EQ(app::ParseCommandLine("ombry.exe \t-Toggle "), Command::Toggle);
    EXPECT_EQ(app::ParseCommandLine("\"C:\\a b\\ombry.exe\""), Command::None);
    for (const char* line : {"ombry.exe /bogus", "ombry.exe /down /up", "ombry.exe down", "ombry.exe /", "x \"\""})
        EXPECT_EQ(app::ParseCommandLine(line), std::nullopt) << line;
}

class CommandLine : public OmbryTest {
protected:
    std::intptr_t Send(app::Command c) { return api.Deliver(Hwnd(), fakes::FakeApi::kCommandMessage, std::uintptr_t(c)); }
};

TEST_F(CommandLine, ASecondCopyHandsItOverOrSaysNotUnderstoodAndTouchesNothing) {
    services.anotherInstance = true;
    services.commandLine = "ombry.exe /Exit";
    Start("0,0,1,\"F9\",120,0,0,0\r\n");
    EXPECT_THAT(log.calls, ElementsAre("SendToRunningCopy(Form1,Ombry.Command,5,20333)"));
    EXPECT_EQ(program.ExitCode(), 0);
    FreshStart refused("", [](fakes::FakeServices& s) { s.anotherInstance = true, s.runningCopyTakes = false, s.commandLine = "o /up"; });
    EXPECT_EQ(refused.program.ExitCode(), 1);
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
    EXPECT_EQ(down.program.state.CurtainDown, 0);
    down.api.PumpPosted();
    EXPECT_EQ(down.program.state.CurtainDown, 1);
    // The dialog opened at start takes the command in its own loop: brought forward, not opened twice.
    services.commandLine = "o /settings";
    services.onShowModal = [this](forms::Form&) { api.PumpPosted(); };
    Start("0,0,0,\"\",0,1,0,0\r\n");
    EXPECT_THAT(log.Only({"ShowModal", "BringToFront"}), ElementsAre("ShowModal(Form2)", "BringToFront(Form2)"));
}

TEST_F(CommandLine, TheRunningCopyActsAsTheUsersOwnAction) {
    Start("0,0,1,\"F9\",120,0,0,0\r\n");
    EXPECT_EQ(Send(app::Command::Up), app::kCommandTaken);  // stored: nothing to raise
    EXPECT_EQ(state.CurtainDown, 0);
    Send(app::Command::Toggle);
    EXPECT_EQ(state.SoundMuted, 1);
    Send(app::Command::Toggle);
    EXPECT_EQ(state.CurtainDown, 0);
    EXPECT_EQ(state.SoundMuted, 0);
    log.clear();
    Send(app::Command::Settings);
    EXPECT_THAT(log.Only({"ReplyMessage", "ShowModal"}), ElementsAre("ReplyMessage(20333)", "ShowModal(Form2)"));
    EXPECT_EQ(Send(app::Command(9)), 0);
    Send(app::Command::Exit);
    EXPECT_FALSE(curtain.Loaded());
    EXPECT_EQ(services.files["ombry.cfg"], "0,0,1,\"F9\",120,0,0,0\r\n");
}

}  // namespace
