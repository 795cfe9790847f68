#pragma once
// A text the user sees, in both languages the program speaks: Japanese,
// and English for every other Windows display language. Which one shows
// is chosen once at start (forms::Services::UiLanguage).
#include <string>
#include <string_view>

namespace forms {

enum class Language { Japanese, English };

struct Text {
    // A text that reads the same in both ("OK", a version number).
    constexpr Text(const char* both = "") : ja(both), en(both) {}
    constexpr Text(const char* japanese, const char* english) : ja(japanese), en(english) {}
    constexpr const char* In(Language language) const { return language == Language::English ? en : ja; }

    const char* ja;  // UTF-8
    const char* en;
};

// The pattern with its "%s" replaced by the argument: "【%s】ｷｰ", "F9".
inline std::string Fill(std::string_view pattern, std::string_view arg) {
    const auto at = pattern.find("%s");
    if (at == std::string_view::npos) return std::string(pattern);
    return std::string(pattern.substr(0, at)).append(arg).append(pattern.substr(at + 2));
}

}  // namespace forms
