#pragma once
// The note of the audio endpoints the mute holds, kept beside ombry.cfg
// while they are held: a run that is killed outright (the task manager, a
// power cut) leaves it behind, and the next start gives those endpoints
// back their own state. The note names the run that wrote it, so that a
// second copy of the program (in another session) leaves alone what the
// first one holds.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Shared.h"
#include "forms/Services.h"

namespace api {
class Api;
}

namespace curtain {

inline constexpr const char* kMuteNoteName = "ombry.mute";

using HeldEndpoints = std::vector<app::Shared::EndpointMute>;

struct MuteNote {
    std::optional<forms::RunId> writer;  // none in the notes of earlier versions
    HeldEndpoints held;
    bool operator==(const MuteNote&) const = default;
};

// A first line naming the note; a line "writer <session> <process id>
// <start time>"; then one line per endpoint: its own state before the mute
// (0 or 1), a space, its id.
std::string FormatMuteNote(const MuteNote& note);
// Empty when the text is not such a note, in any part.
std::optional<MuteNote> ParseMuteNote(std::string_view text);

// Writes the note of this run for what is held, or removes it once nothing
// is. `written` is the note last written ("" for none): an unchanged note
// is not written again, and one that could not be written or removed is
// tried again at the next change.
void KeepMuteNote(forms::Services& files, const HeldEndpoints& held, std::string& written);

// At start, before anything mutes: each endpoint that a run no longer
// running noted as unmuted before its mute is unmuted. Those that cannot be
// reached now (a headset that is away) are returned, to be held by this run
// until they are back, and stay noted; the note goes once none is left. A
// note never mutes anything. A damaged note changes nothing and goes; the
// note of a run still going on (another copy) is left as it is.
HeldEndpoints CarryOutMuteNote(forms::Services& files, api::Api& audio, std::string& written) noexcept;

}  // namespace curtain
