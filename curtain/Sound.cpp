// Muting while the curtain is down: the volumes are saved at the moment of
// muting and written back as they were.
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
}  // namespace

void Form1::SoundOnOff(std::int16_t& mode) {
    api::Api& winmm = program_.api;
    const int last = LastAuxDevice(state_);
    if (mode == 0) {
        winmm.waveOutGetVolume(0, state_.WaveVolume);
        for (int i = 0; i <= last; ++i) winmm.auxGetVolume(i, state_.AuxVolumes[i]);
        winmm.waveOutSetVolume(0, 0);
        for (int i = 0; i <= last; ++i) winmm.auxSetVolume(i, 0);
    } else if (mode == 1) {
        winmm.waveOutSetVolume(0, state_.WaveVolume);
        for (int i = 0; i <= last; ++i) winmm.auxSetVolume(i, state_.AuxVolumes[i]);
    }
}

}  // namespace curtain
