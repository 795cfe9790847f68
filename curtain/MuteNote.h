#pragma once
// The note of the audio endpoints the mute holds, kept beside ombry.cfg
// while they are held: a run that is killed outright (the task manager, a
// power cut) leaves it behind, and the next start gives those endpoints
// back their own state.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Shared.h"

namespace api {
class Api;
}
namespace forms {
class Services;
}

namespace curtain {

inline constexpr const char* kMuteNoteName = "ombry.mute";

using HeldEndpoints = std::vector<app::Shared::EndpointMute>;

// A first line naming the note, then one line per endpoint: its own state
// before the mute (0 or 1), a space, its id.
std::string FormatMuteNote(const HeldEndpoints& held);
// Empty when the text is not such a note, in any part.
std::optional<HeldEndpoints> ParseMuteNote(std::string_view text);

// Writes the note for what is held, or removes it once nothing is.
// `written` is the note last written ("" for none): an unchanged note is
// not written again, and one that could not be written or removed is tried
// again at the next change.
void KeepMuteNote(forms::Services& files, const HeldEndpoints& held, std::string& written);

// At start, before anything mutes: each endpoint that a killed run noted as
// unmuted before its mute is unmuted; then the note goes. A note never
// mutes anything. A damaged note, or an endpoint that is gone, changes
// nothing.
void CarryOutMuteNote(forms::Services& files, api::Api& audio) noexcept;

}  // namespace curtain
