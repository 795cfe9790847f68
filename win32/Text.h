#pragma once
// The program keeps text in UTF-8; Windows wants UTF-16 at its wide calls
// and the ANSI code page at the few calls and files that are ANSI by design.
// These are the only converters, one each way.
#include <string>
#include <string_view>

namespace win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

// Upper case by the user's locale, as the system converts typed text.
std::string UpperCaseForUser(std::string_view utf8);

}  // namespace win32
