// Muting while the curtain is down: the volumes are saved at the moment of
// muting and written back as they were. The winmm calls change only this
// program's own audio session on current Windows, so the audio render
// endpoints are muted too, each given back its own earlier mute state.
#include <algorithm>

#include "api/Api.h"
#include "app/Program.h"
#include "curtain/Form1.h"

namespace curtain {

namespace {
// Auxiliary device ids beyond the saved slots are left alone rather than
// muted without a way back.
int LastAuxDevice(const app::Shared& s) {
    return std::min<int>(s.AuxDeviceCount, static_cast<int>(s.AuxVolumes.size()) - 1);
}

// Saves every active endpoint's mute state, then mutes those that were not
// muted. An endpoint whose state cannot be read is left alone, for the
// same reason as the auxiliary ids above. One that an earlier restore could
// not reach (unplugged at the time) keeps the state saved before that:
// it is the user's, not the mute's.
void MuteEndpoints(api::Api& audio, std::vector<app::Shared::EndpointMute>& saved) {
    std::vector<app::Shared::EndpointMute> unrestored = std::move(saved);
    saved.clear();
    for (const std::string& id : audio.EnumAudioEndpoints()) {
        if (std::any_of(unrestored.begin(), unrestored.end(), [&](const auto& e) { return e.id == id; })) continue;
        bool muted = false;
        if (audio.GetMute(id, muted) == 0) saved.push_back({id, muted});
    }
    // Present again or still away, they keep their place in the list.
    saved.insert(saved.end(), unrestored.begin(), unrestored.end());
    for (const auto& e : saved)
        if (!e.muted) audio.SetMute(e.id, true);
}

// Endpoints that appeared while muted were never touched and stay as they
// are. Those that cannot be set now stay listed, for the next way out.
void RestoreEndpoints(api::Api& audio, std::vector<app::Shared::EndpointMute>& saved) {
    std::erase_if(saved, [&](const auto& e) { return audio.SetMute(e.id, e.muted) == 0; });
}
}  // namespace

void Form1::SoundOnOff(std::int16_t& mode) {
    api::Api& winmm = program_.api;
    const int last = LastAuxDevice(state_);
    if (mode == 0) {
        winmm.waveOutGetVolume(0, state_.WaveVolume);
        for (int i = 0; i <= last; ++i) winmm.auxGetVolume(i, state_.AuxVolumes[i]);
        winmm.waveOutSetVolume(0, 0);
        for (int i = 0; i <= last; ++i) winmm.auxSetVolume(i, 0);
        MuteEndpoints(program_.api, state_.EndpointMutes);
    } else if (mode == 1) {
        winmm.waveOutSetVolume(0, state_.WaveVolume);
        for (int i = 0; i <= last; ++i) winmm.auxSetVolume(i, state_.AuxVolumes[i]);
        RestoreEndpoints(program_.api, state_.EndpointMutes);
    }
}

bool Form1::GiveSoundBack() noexcept {
    // Also when the end came in the middle of a mute, before its caller
    // could set SoundMuted: endpoints already held are still listed.
    if (state_.SoundMuted == 0 && state_.EndpointMutes.empty()) return false;
    try {
        std::int16_t restore = 1;
        SoundOnOff(restore);
    } catch (...) {
        // Nothing more can be done on the way out.
    }
    state_.SoundMuted = 0;
    state_.EndpointMutes.clear();
    return true;
}

}  // namespace curtain
