// Muting while the curtain is down: the volumes are saved at the moment of
// muting and written back as they were. The winmm calls change only this
// program's own audio session on current Windows, so the audio render
// endpoints are muted too, each given back its own earlier mute state.
#include <algorithm>
#include <chrono>
#include <thread>

#include "api/Api.h"
#include "app/Program.h"
#include "curtain/Form1.h"
#include "curtain/MuteNote.h"
#include "curtain/SoundTurn.h"
#include "forms/Contain.h"

namespace curtain {

namespace {
// Auxiliary device ids beyond the saved slots are left alone rather than
// muted without a way back.
int LastAuxDevice(const app::Shared& s) {
    return std::min<int>(s.AuxDeviceCount, static_cast<int>(s.AuxVolumes.size()) - 1);
}

// Saves the own mute state of each active endpoint not held yet, and says
// where the new ones begin in the list. An endpoint whose state cannot be
// read is left alone, for the same reason as the auxiliary ids above, and
// makes the endpoints unsettled. One that an earlier restore could not
// reach (unplugged at the time) keeps the state saved before that: it is
// the user's, not the mute's.
std::size_t HoldActiveEndpoints(api::Api& audio, HeldEndpoints& held, bool& unsettled) {
    const std::size_t first = held.size();
    unsettled = false;
    for (const std::string& id : audio.EnumAudioEndpoints()) {
        if (std::any_of(held.begin(), held.end(), [&](const auto& e) { return e.id == id; })) continue;
        bool muted = false;
        if (audio.GetMute(id, muted) == 0)
            held.push_back({id, muted});
        else
            unsettled = true;
    }
    return first;
}

void MuteHeld(api::Api& audio, const HeldEndpoints& held, std::size_t first) {
    for (std::size_t i = first; i < held.size(); ++i)
        if (!held[i].muted) audio.SetMute(held[i].id, true);
}

// Those that cannot be set now stay listed, for the next way out.
void RestoreEndpoints(api::Api& audio, HeldEndpoints& held) {
    std::erase_if(held, [&](const auto& e) { return audio.SetMute(e.id, e.muted) == 0; });
}

// Each listing opens Core Audio afresh (about 0.3 ms under Wine): the
// endpoints are listed again only when Core Audio says they changed, and
// at most once a second, which is soon enough for a headset that connects
// while the curtain is down.
constexpr int kTicksBetweenListings = 10;

// How long the last resort waits for a turn at work; a turn that never
// ends (the crash was inside it) is not waited for longer.
constexpr int kTurnWaits = 50;
constexpr auto kTurnWait = std::chrono::milliseconds(10);

}  // namespace

void Form1::SoundOnOff(std::int16_t& mode) {
    if (SoundTurn turn{soundBusy_, soundTaken_}) SwitchSound(mode);
}

void Form1::SwitchSound(std::int16_t mode) {
    api::Api& winmm = program_.api;
    const int last = LastAuxDevice(state_);
    if (mode == 0) {
        winmm.waveOutGetVolume(0, state_.WaveVolume);
        for (int i = 0; i <= last; ++i) winmm.auxGetVolume(i, state_.AuxVolumes[i]);
        winmm.waveOutSetVolume(0, 0);
        for (int i = 0; i <= last; ++i) winmm.auxSetVolume(i, 0);
        // Unreached by the last restore, they are still held and muted.
        HoldActiveEndpoints(program_.api, state_.EndpointMutes, endpointsUnsettled_);
        // Noted before anything is muted: a kill at any moment leaves a note
        // that covers every endpoint it muted.
        KeepMuteNote(GetServices(), state_.EndpointMutes, muteNote_);
        MuteHeld(program_.api, state_.EndpointMutes, 0);
    } else if (mode == 1) {
        winmm.waveOutSetVolume(0, state_.WaveVolume);
        for (int i = 0; i <= last; ++i) winmm.auxSetVolume(i, state_.AuxVolumes[i]);
        RestoreEndpoints(program_.api, state_.EndpointMutes);
        // Away, or there but refusing: the next look tells which.
        endpointsUnsettled_ = !state_.EndpointMutes.empty();
        KeepMuteNote(GetServices(), state_.EndpointMutes, muteNote_);
    }
}

void Form1::MuteSound() {
    if (state_.SoundMuted != 0) return;
    std::int16_t mute = 0;
    SoundOnOff(mute);
    state_.SoundMuted = 1;
}

void Form1::RestoreSound() {
    if (state_.SoundMuted == 0) return;
    std::int16_t restore = 1;
    SoundOnOff(restore);
    state_.SoundMuted = 0;
}

bool Form1::MutingChosen() const { return state_.SoundMode == 1 || state_.SoundMode == 3; }

// A screen reader speaks through the outputs the mute would silence. The
// readers of other makers set the system's flag; Windows' own, Narrator,
// does not, and is known by its process in this session.
bool Form1::ScreenReaderRunning() {
    int running = 0;
    if (program_.api.SystemParametersInfoW(api::SPI_GETSCREENREADER, 0, running, 0) != 0 && running != 0)
        return true;
    return program_.api.ProcessRunningInSession("Narrator.exe");
}

// Once a second while muted or while an endpoint is held: a screen reader
// that starts while muted gets its voice back, endpoints that arrive are
// muted, and one that a restore could not reach gets its own state back as
// soon as it is there again, whatever the curtain's state. The endpoints
// are listed only when they may have changed.
void Form1::WatchSound() {
    if (state_.SoundMuted != 1 && state_.EndpointMutes.empty()) return;
    if (++ticksSinceListing_ < kTicksBetweenListings) return;
    ticksSinceListing_ = 0;
    if (state_.SoundMuted == 1 && ScreenReaderRunning()) {
        RestoreSound();
        return;
    }
    const bool changed = program_.api.AudioEndpointsChanged();
    if (!changed && !endpointsUnsettled_) return;
    if (state_.SoundMuted == 1) {
        MuteArrivedEndpoints();
    } else {
        GiveBackReturnedEndpoints();
    }
}

void Form1::GiveBackReturnedEndpoints() {
    const std::vector<std::string> active = program_.api.EnumAudioEndpoints();
    const std::size_t before = state_.EndpointMutes.size();
    endpointsUnsettled_ = false;
    std::erase_if(state_.EndpointMutes, [&](const auto& e) {
        if (std::find(active.begin(), active.end(), e.id) == active.end()) return false;
        if (program_.api.SetMute(e.id, e.muted) == 0) return true;
        endpointsUnsettled_ = true;
        return false;
    });
    if (state_.EndpointMutes.size() != before) KeepMuteNote(GetServices(), state_.EndpointMutes, muteNote_);
}

// Headphones plugged in or a headset connected while muted would play
// aloud: each endpoint that becomes active is held and muted like those of
// the mute, its own state saved for the restore.
void Form1::MuteArrivedEndpoints() {
    const std::size_t first = HoldActiveEndpoints(program_.api, state_.EndpointMutes, endpointsUnsettled_);
    if (first == state_.EndpointMutes.size()) return;
    KeepMuteNote(GetServices(), state_.EndpointMutes, muteNote_);
    MuteHeld(program_.api, state_.EndpointMutes, first);
}

bool Form1::GiveSoundBack() noexcept {
    soundTaken_ = true;
    for (int i = 0; i < kTurnWaits && soundBusy_; ++i) std::this_thread::sleep_for(kTurnWait);
    // Also when the end came in the middle of a mute, before its caller
    // could set SoundMuted: endpoints already held are still listed.
    if (state_.SoundMuted == 0 && state_.EndpointMutes.empty()) return false;
    // A restore that fails: nothing more can be done on the way out.
    forms::Contain([this] { SwitchSound(1); });
    state_.SoundMuted = 0;
    // Those the restore could not reach stay in the note, for the next start.
    state_.EndpointMutes.clear();
    return true;
}

void Form1::TakeOverMuteNote() {
    state_.EndpointMutes = CarryOutMuteNote(GetServices(), program_.api, muteNote_);
}

void Form1::HideEverywhere() noexcept {
    // The sound's thread runs already; if hiding fails, nothing more here.
    forms::Contain([this] {
        program_.api.ShowWindowAsync(hWnd(), api::SW_HIDE);
        for (const auto& cover : OtherMonitors.All())
            if (cover->Loaded()) program_.api.ShowWindowAsync(cover->hWnd(), api::SW_HIDE);
    });
}

}  // namespace curtain
