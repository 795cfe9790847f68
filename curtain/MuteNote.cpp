#include "curtain/MuteNote.h"

#include <algorithm>

#include "api/Api.h"
#include "forms/Services.h"

namespace curtain {

namespace {

constexpr std::string_view kFirstLine = "Ombry mute note";
constexpr std::string_view kWriter = "writer ";
// Far more than any machine's endpoints: anything larger is not our note.
constexpr std::size_t kLargestNote = 64 * 1024;

bool PlainId(std::string_view id) {
    return !id.empty() && std::none_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// Decimal digits only, no sign, within the type.
template <class Number>
bool ReadNumber(std::string_view text, Number& out) {
    if (text.empty() || text.size() > 20) return false;
    unsigned long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (~0ULL - digit) / 10) return false;
        value = value * 10 + digit;
    }
    if (value > static_cast<unsigned long long>(static_cast<Number>(~Number{0}))) return false;
    out = static_cast<Number>(value);
    return true;
}

std::optional<forms::RunId> ParseWriter(std::string_view line) {
    line.remove_prefix(kWriter.size());
    forms::RunId run;
    const std::size_t a = line.find(' '), b = a == std::string_view::npos ? a : line.find(' ', a + 1);
    if (b == std::string_view::npos || !ReadNumber(line.substr(0, a), run.session) ||
        !ReadNumber(line.substr(a + 1, b - a - 1), run.process) || !ReadNumber(line.substr(b + 1), run.started))
        return std::nullopt;
    return run;
}

// No process outlives a restart: a writer started before this one is over,
// whatever the system says of the process that has its id now (after a
// power cut, perhaps a service we may not look at, which counts as running).
bool StillGoingOn(forms::Services& system, const forms::RunId& run) {
    return run.started >= system.SystemStarted() && system.StillRunning(run);
}

}  // namespace

std::string FormatMuteNote(const MuteNote& mute) {
    std::string note(kFirstLine);
    note += "\r\n";
    if (const auto& w = mute.writer)
        note += std::string(kWriter) + std::to_string(w->session) + " " + std::to_string(w->process) + " " +
                std::to_string(w->started) + "\r\n";
    for (const auto& e : mute.held) {
        // An id that would break the lines cannot be noted; it is given
        // back only by this run.
        if (!PlainId(e.id)) continue;
        note += e.muted ? "1 " : "0 ";
        note += e.id;
        note += "\r\n";
    }
    return note;
}

std::optional<MuteNote> ParseMuteNote(std::string_view text) {
    if (text.size() > kLargestNote) return std::nullopt;
    MuteNote note;
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
        // The writer comes before every endpoint, once.
        if (line.starts_with(kWriter) && !note.writer && note.held.empty()) {
            if (!(note.writer = ParseWriter(line))) return std::nullopt;
            continue;
        }
        if (line.size() < 3 || (line[0] != '0' && line[0] != '1') || line[1] != ' ' || !PlainId(line.substr(2)))
            return std::nullopt;
        note.held.push_back({std::string(line.substr(2)), line[0] == '1'});
    }
    if (first) return std::nullopt;
    return note;
}

void KeepMuteNote(forms::Services& files, const HeldEndpoints& held, std::string& written) {
    std::string note;
    try {
        if (!held.empty()) note = FormatMuteNote({files.ThisRun(), held});
    } catch (const std::exception&) {
        return;
    }
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

HeldEndpoints CarryOutMuteNote(forms::Services& files, api::Api& audio, std::string& written) noexcept {
    HeldEndpoints away;
    try {
        const std::optional<std::string> text = files.ReadFile(kMuteNoteName);
        if (!text) return {};
        const std::optional<MuteNote> note = ParseMuteNote(*text);
        if (note && note->writer && StillGoingOn(files, *note->writer)) return {};
        if (note)
            for (const auto& e : note->held)
                if (!e.muted && audio.SetMute(e.id, false) != 0) away.push_back(e);
        // Rewritten as this run's note while it holds any, or removed.
        written = *text;
        if (away.empty()) {
            written.clear();
            files.DeleteFile(kMuteNoteName);
        } else {
            KeepMuteNote(files, away, written);
        }
    } catch (const std::exception&) {
        // Start-up goes on; the note is tried again at the next start.
    }
    return away;
}

}  // namespace curtain
