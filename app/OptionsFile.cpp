#include "app/OptionsFile.h"

#include <optional>

#include "app/SettingsFile.h"
#include "forms/Failure.h"
#include "forms/Services.h"

namespace app {

namespace {
constexpr std::string_view kEveryMonitor = "EveryMonitor";
constexpr std::string_view kHotkeyModifiers = "HotkeyModifiers";
constexpr std::string_view kIdleMinutes = "IdleMinutes";
constexpr std::string_view kLockMinutes = "LockMinutes";
constexpr std::string_view kLanguage = "Language";
constexpr unsigned kLangJapanese = 0x11;
constexpr unsigned kPrimaryLanguageMask = 0x3FF;

std::string_view Trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// A plain decimal from 1 to `max`, written as FormatOptionsFile writes it
// (no sign, no leading zero); anything else is not read.
std::optional<int> Number(std::string_view value, int max) {
    if (value.empty() || value.size() > 4 || value[0] == '0') return std::nullopt;
    int n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > max) return std::nullopt;
    return n;
}

void Line(std::string& out, std::string_view name, long long value) {
    out += std::string(name) + "=" + std::to_string(value) + "\r\n";
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
        if (name == kEveryMonitor && (value == "0" || value == "1")) options.EveryMonitor = value == "1";
        if (name == kHotkeyModifiers)
            if (auto n = Number(value, kHotkeyModifierMask)) options.HotkeyModifiers = static_cast<unsigned>(*n);
        if (name == kIdleMinutes)
            if (auto n = Number(value, kMaxMinutes)) options.IdleMinutes = *n;
        if (name == kLockMinutes)
            if (auto n = Number(value, kMaxMinutes)) options.LockMinutes = *n;
        if (name == kLanguage && value == "ja") options.Language = forms::Language::Japanese;
        if (name == kLanguage && value == "en") options.Language = forms::Language::English;
    }
    return options;
}

std::string FormatOptionsFile(const Options& options) {
    const Options defaults;
    std::string out;
    if (options.EveryMonitor != defaults.EveryMonitor) Line(out, kEveryMonitor, options.EveryMonitor ? 1 : 0);
    // A value the reader would not take is not written: the default stands.
    if (options.HotkeyModifiers != defaults.HotkeyModifiers && options.HotkeyModifiers <= kHotkeyModifierMask)
        Line(out, kHotkeyModifiers, options.HotkeyModifiers);
    if (options.IdleMinutes > 0 && options.IdleMinutes <= kMaxMinutes) Line(out, kIdleMinutes, options.IdleMinutes);
    if (options.LockMinutes > 0 && options.LockMinutes <= kMaxMinutes) Line(out, kLockMinutes, options.LockMinutes);
    if (options.Language)
        out += std::string(kLanguage) + (*options.Language == forms::Language::English ? "=en" : "=ja") + "\r\n";
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
