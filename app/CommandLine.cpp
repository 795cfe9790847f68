// The command line: read at start, handed to the copy that runs, and
// carried out there as the user's own action.
#include "app/CommandLine.h"

#include <string>
#include <vector>

#include "app/Program.h"
#include "forms/Contain.h"

namespace app {

namespace {

// The program's name runs to the next quote when it starts with one, else
// to the first blank, as the system reads it: a path holds no quotes.
std::string_view AfterProgramName(std::string_view line) {
    std::size_t end = line.empty() || line[0] != '"' ? line.find_first_of(" \t") : line.find('"', 1);
    if (end != std::string_view::npos && line[0] == '"') ++end;
    return end == std::string_view::npos ? std::string_view{} : line.substr(end);
}

// Blanks outside quotes separate the arguments; quotes only group. A
// backslash is kept as it is: no switch holds one, so a word with one is
// not understood whichever way it is read.
std::vector<std::string> Arguments(std::string_view rest) {
    std::vector<std::string> args;
    std::string word;
    bool quoted = false, started = false;
    for (char c : rest) {
        if (c == '"') {
            quoted = !quoted;
            started = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (started) args.push_back(word);
            word.clear();
            started = false;
        } else {
            word += c;
            started = true;
        }
    }
    if (started) args.push_back(word);
    return args;
}

}  // namespace

std::optional<Command> ParseCommandLine(std::string_view line) {
    const std::vector<std::string> args = Arguments(AfterProgramName(line));
    if (args.empty()) return Command::None;
    if (args.size() != 1 || args[0].size() < 2 || (args[0][0] != '/' && args[0][0] != '-')) return std::nullopt;
    std::string name;
    for (char c : args[0].substr(1)) name += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (name == "down") return Command::Down;
    if (name == "up") return Command::Up;
    if (name == "toggle") return Command::Toggle;
    if (name == "settings") return Command::Settings;
    if (name == "exit") return Command::Exit;
    return std::nullopt;
}

bool Program::TakeCommandLine() {
    const std::optional<Command> command = ParseCommandLine(services.CommandLine());
    if (!command) {
        services.WriteToConsole(kUsage);
        exitCode_ = kExitUsage;
        return false;
    }
    if (*command == Command::None) return true;
    if (services.AnotherInstanceRunning()) {
        const bool taken = services.SendToRunningCopy(Form1, kCommandMessage, static_cast<std::uintptr_t>(*command),
                                                      kCommandTaken);
        exitCode_ = taken ? 0 : kExitRefused;
        return false;
    }
    // With no copy running, only a command that brings Ombry up starts it.
    if (*command != Command::Down && *command != Command::Settings) {
        exitCode_ = kExitRefused;
        return false;
    }
    startCommand_ = *command;
    return true;
}

std::intptr_t Program::RunCommand(std::uintptr_t command) noexcept {
    bool known = true;
    // Taken all the same when it fails: the action failed as the user's own would.
    forms::Contain([&] {
        switch (static_cast<Command>(command)) {
            case Command::Down: Form1.BringDown(curtain::Form1::Way::Command); break;
            // Only a curtain that is down is raised.
            case Command::Up:
                if (state.CurtainDown != 0) Form1.Raise();
                break;
            case Command::Toggle:
                if (state.CurtainDown != 0)
                    Form1.Raise();
                else
                    Form1.BringDown(curtain::Form1::Way::Command);
                break;
            case Command::Settings:
                // The dialog's own loop would hold the sender until it closes.
                api.ReplyMessage(kCommandTaken);
                Form1.OmbrySet_Click();
                break;
            case Command::Exit: Form1.MenuEnd_Click(); break;
            default: known = false;
        }
    });
    return known ? kCommandTaken : 0;
}

}  // namespace app
