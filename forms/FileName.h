#pragma once
// Which names the program may read, write or delete: plain names of files
// in the current folder, nothing that reaches elsewhere.
#include <string_view>

namespace forms {

// False for an empty name, a folder part, a drive, a stream (":"), "." or
// "..", wildcards and control characters, a name the system would trim
// (trailing dot or space), and the devices (CON, NUL, COM1, ..., also with
// an extension).
bool IsPlainFileName(std::string_view utf8);

// A name against a wildcard pattern ('*' any run, '?' one character),
// ignoring the case of ASCII letters: the name as it stands, never a short
// 8.3 form of it.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace forms
