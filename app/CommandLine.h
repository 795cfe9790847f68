#pragma once
// The command line: one switch that acts on the copy that runs, as the
// user's own action there would.
#include <cstdint>
#include <optional>
#include <string_view>

namespace app {

// The values travel between two running copies (wParam of the command
// message), perhaps of two versions: each keeps its number for good.
enum class Command : std::uintptr_t { None = 0, Down = 1, Up = 2, Toggle = 3, Settings = 4, Exit = 5 };

// The whole command line as the system gives it, the program's name first.
// Empty: not understood (an unknown switch, more than one, any other word).
std::optional<Command> ParseCommandLine(std::string_view line);

inline constexpr const char* kUsage = "usage: ombry.exe [/down | /up | /toggle | /settings | /exit]";
// The message that carries a command (wParam) to the running copy's curtain.
inline constexpr const char* kCommandMessage = "Ombry.Command";
// The curtain's answer to it: any other answer (a copy still starting, an
// older Ombry) means the command was not taken.
inline constexpr std::intptr_t kCommandTaken = 0x4F6D;

// Exit codes of a process started with a switch.
inline constexpr int kExitRefused = 1;   // no copy took the command
inline constexpr int kExitUsage = 2;     // not understood; nothing done

}  // namespace app
