#pragma once
// The eight settings that persist between runs, in the order they stand in
// the settings file. Defaults are the values a missing or damaged file gives.
#include <cstdint>
#include <string>

namespace app {

struct Settings {
    std::int16_t CurtainSide = 0;          // 0 top, 1 bottom, 2 right, 3 left
    std::int16_t SpareSetting = 0;         // kept and written back unchanged
    std::int16_t SoundMode = 0;            // 0 do not mute, 1 mute while down
    std::string HotkeyName;                // UTF-8 inside the program
    std::int32_t HotkeyCode = 0;           // virtual-key code, 0 = no hotkey
    std::int16_t ShowSettingsAtStart = 1;  // 1 opens the settings dialog at start
    std::int16_t KeepExitPattern = 0;      // 1 keeps the curtain picture in start.bmp
    std::int16_t PatternState = 0;         // 1 while the curtain shows a picture

    bool operator==(const Settings&) const = default;
};

}  // namespace app
