#include "app/OptionsFile.h"

#include <optional>

#include "app/SettingsFile.h"
#include "forms/Failure.h"
#include "forms/Services.h"

namespace app {

namespace {

constexpr unsigned kLangJapanese = 0x11;
constexpr unsigned kPrimaryLanguageMask = 0x3FF;

std::string_view Trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Each kind of value as the file spells it, and back: FromText changes
// `out` only when it takes the text.
std::string ToText(bool on) { return on ? "1" : "0"; }
bool FromText(std::string_view text, int /*max*/, bool& out) {
    if (text != "0" && text != "1") return false;
    out = text == "1";
    return true;
}

template <typename Number>
std::string ToText(Number n) {
    return std::to_string(n);
}
// A plain decimal from 1 to `max`, written as ToText writes it (no sign, no
// leading zero); anything else is not taken.
template <typename Number>
bool FromText(std::string_view text, int max, Number& out) {
    if (text.empty() || text.size() > 4 || text[0] == '0') return false;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n > max) return false;
    out = static_cast<Number>(n);
    return true;
}

std::string ToText(const std::optional<forms::Language>& language) {
    if (!language) return {};
    return *language == forms::Language::English ? "en" : "ja";
}
bool FromText(std::string_view text, int /*max*/, std::optional<forms::Language>& out) {
    if (text != "ja" && text != "en") return false;
    out = text == "en" ? forms::Language::English : forms::Language::Japanese;
    return true;
}

}  // namespace

Options ParseOptionsFile(std::string_view bytes) {
    Options options;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        const std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view{} : bytes.substr(end + 1);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view name = Trimmed(line.substr(0, eq)), value = Trimmed(line.substr(eq + 1));
        for (const OptionField& field : kOptionFields)
            if (name == field.name)
                std::visit([&](auto member) { FromText(value, field.max, options.*member); }, field.member);
    }
    return options;
}

std::string FormatOptionsFile(const Options& options) {
    const Options defaults;
    std::string out;
    for (const OptionField& field : kOptionFields)
        std::visit(
            [&](auto member) {
                auto value = options.*member;
                if (value == defaults.*member) return;
                // A value the reader would not take is not written: the default stands.
                const std::string text = ToText(value);
                if (FromText(text, field.max, value)) out += std::string(field.name) + "=" + text + "\r\n";
            },
            field.member);
    return out;
}

forms::Language LanguageInForce(const Options& options, unsigned uiLanguage) {
    if (options.Language) return *options.Language;
    return (uiLanguage & kPrimaryLanguageMask) == kLangJapanese ? forms::Language::Japanese : forms::Language::English;
}

Options ReadOptions(forms::Services& services, bool& unreadable) {
    try {
        const std::optional<std::string> bytes = services.ReadFile(kOptionsFileName);
        unreadable = !bytes && services.FileExists(kOptionsFileName);
        return bytes ? ParseOptionsFile(*bytes) : Options{};
    } catch (const std::exception&) {
        return {};
    }
}

bool WriteOptions(forms::Services& services, const Options& options, bool unread) {
    // A file unread at start stays as it is while the options are the defaults put in force for it.
    if (unread && options == Options{}) return true;
    const std::string bytes = FormatOptionsFile(options);
    if (!bytes.empty())
        return unread ? ReplaceUnreadFile(services, kOptionsFileName, bytes, kOptionsKeptName)
                      : services.ReplaceFile(kOptionsFileName, bytes);
    if (!services.ReadFile(kOptionsFileName)) return true;
    try {
        services.DeleteFile(kOptionsFileName);
        return true;
    } catch (const forms::Failure&) {
        return false;
    }
}

}  // namespace app
