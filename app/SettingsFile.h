#pragma once
// Reading and writing ombry.cfg: one line of eight comma-separated fields.
// Bytes only; the caller does the file I/O and the code page conversion of
// the hotkey name.
#include <optional>
#include <string>
#include <string_view>

#include "app/Settings.h"

namespace app {

// The whole content of the settings file -> the eight values, or std::nullopt when the content
// is not eight valid fields (the caller then keeps the defaults). HotkeyName is returned as the
// file's bytes (ANSI code page); the caller converts it.
std::optional<Settings> ParseSettingsFile(std::string_view bytes);

// The eight values -> the whole file content, one line ended by CR LF. HotkeyName must already be in the file's code page.
std::string FormatSettingsFile(const Settings& s);

}  // namespace app
