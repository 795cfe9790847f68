#include "curtain/MuteNote.h"

#include <algorithm>

#include "api/Api.h"
#include "forms/Services.h"

namespace curtain {

namespace {

constexpr std::string_view kFirstLine = "Ombry mute note";
// Far more than any machine's endpoints: anything larger is not our note.
constexpr std::size_t kLargestNote = 64 * 1024;

bool PlainId(std::string_view id) {
    return !id.empty() && std::none_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

std::string FormatMuteNote(const HeldEndpoints& held) {
    std::string note(kFirstLine);
    note += "\r\n";
    for (const auto& e : held) {
        // An id that would break the lines cannot be noted; it is given
        // back only by this run.
        if (!PlainId(e.id)) continue;
        note += e.muted ? "1 " : "0 ";
        note += e.id;
        note += "\r\n";
    }
    return note;
}

std::optional<HeldEndpoints> ParseMuteNote(std::string_view text) {
    if (text.size() > kLargestNote) return std::nullopt;
    HeldEndpoints held;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // every line ends
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kFirstLine) return std::nullopt;
            first = false;
            continue;
        }
        if (line.size() < 3 || (line[0] != '0' && line[0] != '1') || line[1] != ' ' || !PlainId(line.substr(2)))
            return std::nullopt;
        held.push_back({std::string(line.substr(2)), line[0] == '1'});
    }
    if (first) return std::nullopt;
    return held;
}

void KeepMuteNote(forms::Services& files, const HeldEndpoints& held, std::string& written) {
    const std::string note = held.empty() ? std::string() : FormatMuteNote(held);
    if (note == written) return;
    try {
        if (note.empty())
            files.DeleteFile(kMuteNoteName);
        else if (!files.ReplaceFile(kMuteNoteName, note))
            return;
        written = note;
    } catch (const std::exception&) {
        // The mute and the restore go on without it.
    }
}

void CarryOutMuteNote(forms::Services& files, api::Api& audio) noexcept {
    try {
        const std::optional<std::string> text = files.ReadFile(kMuteNoteName);
        if (!text) return;
        if (const std::optional<HeldEndpoints> held = ParseMuteNote(*text))
            for (const auto& e : *held)
                if (!e.muted) audio.SetMute(e.id, false);
        files.DeleteFile(kMuteNoteName);
    } catch (const std::exception&) {
        // Start-up goes on; the note is tried again at the next start.
    }
}

}  // namespace curtain
