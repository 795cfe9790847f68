#include "forms/FileName.h"

#include <array>
#include <string>

namespace forms {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The system opens a device for these whatever the extension: "nul.bmp" is NUL.
bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    const std::string upper = Upper(base);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (upper == device) return true;
    if (upper.size() < 4) return false;
    const std::string_view stem = std::string_view(upper).substr(0, 3);
    if (stem != "COM" && stem != "LPT") return false;
    const std::string_view digit = std::string_view(upper).substr(3);
    // COM0..COM9, and the superscript digits ¹ ² ³ that Windows takes for 1 2 3.
    static constexpr std::array<std::string_view, 3> kSuperscripts{"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    if (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') return true;
    for (std::string_view s : kSuperscripts)
        if (digit == s) return true;
    return false;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return false;
        switch (c) {
            case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
                return false;
            default:
                break;
        }
    }
    // "..", "...", "name." and "name " all lose their end: not what was asked for.
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsDeviceName(name);
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    // Where the last '*' stood, to try it again one character further.
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            if (pattern[p] == '?')  // one character: a UTF-8 sequence whole
                while (n + 1 < name.size() && (static_cast<unsigned char>(name[n + 1]) & 0xC0) == 0x80) ++n;
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace forms
