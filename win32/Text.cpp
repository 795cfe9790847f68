#include "win32/Text.h"

#include <windows.h>

#include <climits>

namespace win32 {

namespace {

std::wstring ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    int n = static_cast<int>(bytes.size());
    int len = MultiByteToWideChar(codePage, 0, bytes.data(), n, nullptr, 0);
    if (len <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(len), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), n, wide.data(), len);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX) return {};
    int n = static_cast<int>(wide.size());
    int len = WideCharToMultiByte(codePage, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (len <= 0) return {};
    std::string bytes(static_cast<std::size_t>(len), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), n, bytes.data(), len, nullptr, nullptr);
    return bytes;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::string Narrow(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }

std::string AnsiToUtf8(std::string_view ansi) { return Narrow(ToWide(CP_ACP, ansi)); }
std::string Utf8ToAnsi(std::string_view utf8) { return FromWide(CP_ACP, Widen(utf8)); }

std::string UpperCaseForUser(std::string_view utf8) {
    std::wstring wide = Widen(utf8);
    if (wide.empty()) return {};
    const int n = static_cast<int>(wide.size());
    int len = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, wide.data(), n, nullptr, 0);
    if (len <= 0) return std::string(utf8);
    std::wstring upper(static_cast<std::size_t>(len), L'\0');
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, wide.data(), n, upper.data(), len);
    return Narrow(upper);
}

}  // namespace win32
