#pragma once
// ombry.cfg, the settings file: one line of eight comma-separated fields,
// the hotkey name in the ANSI code page. Only this unit names it.
#include <optional>
#include <string>
#include <string_view>

#include "app/Settings.h"
#include "forms/Services.h"

namespace app {

// Windows' names compare without regard to case: a file stored as
// "Ombry.cfg" is read, and replaced, under this name.
inline constexpr const char* kSettingsFileName = "ombry.cfg";
// The file as it was, kept when one that could not be read is replaced.
inline constexpr const char* kSettingsKeptName = "ombry.cfg.bak";

// The settings in the file, the hotkey name in UTF-8. Failure when there is
// no file or it is damaged (the caller then keeps the defaults); `unreadable`
// is set when the file is there but cannot be read now.
Settings ReadSettings(forms::Services& services, bool& unreadable);
// Writes the file whole; Failure when it could not be. `unreadAtStart` is
// what was put in force for a file there at start but unread: that file is
// left as it is while the settings still equal them, and is kept as
// kSettingsKeptName once they do not.
void WriteSettings(forms::Services& services, const Settings& settings,
                   const std::optional<Settings>& unreadAtStart);

// Replaces a file that was there at start but could not be read, keeping
// the old one beside it as keepOldAs. A file already there under that name
// is never replaced: it was kept when a run first could not read the file,
// and holds the settings as they were last read. The options file keeps
// the same rule.
inline bool ReplaceUnreadFile(forms::Services& services, const std::string& name, std::string_view bytes,
                              const std::string& keepOldAs) {
    if (services.FileExists(keepOldAs)) return services.ReplaceFile(name, bytes);
    return services.ReplaceFileKeepingOld(name, bytes, keepOldAs);
}

// The whole content of the settings file -> the eight values, or std::nullopt when the content
// is not eight valid fields (the caller then keeps the defaults). HotkeyName is returned as the
// file's bytes (ANSI code page); the caller converts it.
std::optional<Settings> ParseSettingsFile(std::string_view bytes);

// The eight values -> the whole file content, one line ended by CR LF. HotkeyName must already be in the file's code page.
std::string FormatSettingsFile(const Settings& s);

}  // namespace app
