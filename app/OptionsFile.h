#pragma once
// The options that ombry.cfg has no field for, kept in a second small file
// beside it, "ombry-options.cfg": one "Name=value" line per option that
// differs from its default. Read leniently: a line that cannot be read,
// an unknown name or a value out of range leaves that option at its
// default, and a file that is missing or unreadable gives the defaults.
// Only this unit names the file; an option is a field of Options and a
// row of kOptionFields, both here.
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "forms/Text.h"

namespace forms {
class Services;
}

namespace app {

inline constexpr const char* kOptionsFileName = "ombry-options.cfg";
// The file as it was, kept when one that could not be read is replaced.
inline constexpr const char* kOptionsKeptName = "ombry-options.cfg.bak";

struct Options {
    bool EveryMonitor = true;  // the curtain covers every monitor, not the primary alone
    unsigned HotkeyModifiers = 0;  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8 held with the hotkey
    int IdleMinutes = 0;           // the curtain comes down after this long without input; 0: never
    int LockMinutes = 0;           // Windows is locked after this long down; 0: never
    // "Language=ja" or "Language=en"; none: the Windows display language's.
    std::optional<forms::Language> Language{};
    bool operator==(const Options&) const = default;
};

inline constexpr unsigned kHotkeyModifierMask = 0xF;
inline constexpr int kMaxMinutes = 999;

// The file's lines, one row per option in the order they are written: the
// name, the member (whose initialiser above is the default) and, for a
// number, the largest value read (from 1). The member's type says how the
// value is spelt: a flag 0 or 1, a number in decimal, a language ja or en.
struct OptionField {
    std::string_view name;
    std::variant<bool Options::*, unsigned Options::*, int Options::*, std::optional<forms::Language> Options::*>
        member;
    int max = 0;
};

inline constexpr OptionField kOptionFields[] = {
    {"EveryMonitor", &Options::EveryMonitor},
    {"HotkeyModifiers", &Options::HotkeyModifiers, kHotkeyModifierMask},
    {"IdleMinutes", &Options::IdleMinutes, kMaxMinutes},
    {"LockMinutes", &Options::LockMinutes, kMaxMinutes},
    {"Language", &Options::Language},
};

Options ParseOptionsFile(std::string_view bytes);
// Only the options that differ from their defaults: empty when none does.
std::string FormatOptionsFile(const Options& options);

// The language the program speaks: the one chosen, else Japanese where
// Windows shows Japanese (the display language `uiLanguage`, a LANGID, has
// the primary language LANG_JAPANESE) and English everywhere else.
forms::Language LanguageInForce(const Options& options, unsigned uiLanguage);

// `unreadable` tells a file that is there but cannot be read now from a
// missing one; both give the defaults.
Options ReadOptions(forms::Services& services, bool& unreadable);
// Replaces the file as a whole; with every option at its default there is
// no file (a damaged one is removed). False when it could not be done.
// With `unread` (the file was there at start but could not be read), the
// file is left as it is while the options are the defaults, and is kept as
// kOptionsKeptName once they are not.
bool WriteOptions(forms::Services& services, const Options& options, bool unread = false);

}  // namespace app
