#pragma once
// The state every form shares, created zeroed at start and kept for the
// whole process: the eight settings and the run-time values.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/OptionsFile.h"
#include "app/Settings.h"

namespace app {

struct Shared : Settings {
    // Run-time flags, 0 or 1.
    std::int16_t CurtainDown = 0;      // 1 while the curtain is spread over the screen
    std::int16_t SoundMuted = 0;       // 1 while we hold the outputs muted
    std::int16_t PopPrimed = 0;        // 1: replay the next right-button release first
    std::int16_t HotkeySuspended = 0;  // the hook acts on the hotkey only while 0
    std::int16_t HotkeyRefused = 0;    // 1: the system refused HotkeyCode (another program holds it); no key in force

    std::intptr_t CurtainHwnd = 0;     // the hotkey is registered on this window
    std::intptr_t PrevWndProc = 0;     // the curtain's own procedure; 0 until hooked
    std::int16_t PullZoneX = 0;        // twips, for a curtain at the right or left edge
    std::int16_t PullZoneY = 0;        // twips, for a curtain at the top or bottom edge

    std::uint32_t WaveVolume = 0;
    std::array<std::uint32_t, 11> AuxVolumes{};  // by auxiliary device id 0..10
    std::int16_t AuxDeviceCount = 0;   // highest auxiliary device id treated

    // The audio render endpoints the mute holds, each with its own mute
    // state from just before; empty while nothing is held. An endpoint the
    // restore could not reach stays listed until a later restore does.
    struct EndpointMute {
        std::string id;
        bool muted = false;
        bool operator==(const EndpointMute&) const = default;
    };
    std::vector<EndpointMute> EndpointMutes;

    // When ombry.cfg was there at start but could not be read: the settings
    // put in force instead. The file stays as it is at exit while the
    // settings still equal them.
    std::optional<Settings> UnreadFileSettings;
    // The same for ombry-options.cfg: left as it is while the options are
    // their defaults.
    bool OptionsFileUnread = false;

    // The options beyond the eight settings, kept in ombry-options.cfg.
    app::Options Options;

    // Back to the defaults of a missing settings file.
    void ResetSettings() { static_cast<Settings&>(*this) = Settings{}; }
};

}  // namespace app
