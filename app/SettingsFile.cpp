#include "app/SettingsFile.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "forms/Failure.h"

namespace app {
namespace {

// Blanks are space and tab; they may stand before a field and before its separator.
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : in_(bytes) {}

    // Reads one field and the separator after it. A field may end at the end
    // of the content; if that was before the eighth, the next call fails here.
    // A quoted field comes back without its quotes, "" reduced to one quote.
    std::optional<std::string> Next() {
        while (pos_ < in_.size() && IsBlank(in_[pos_])) ++pos_;
        if (pos_ == in_.size()) return std::nullopt;
        std::string text;
        if (in_[pos_] == '"') {
            ++pos_;
            for (;;) {
                if (pos_ == in_.size()) return std::nullopt;  // unterminated quote
                char c = in_[pos_++];
                if (c != '"') {
                    text += c;
                } else if (pos_ < in_.size() && in_[pos_] == '"') {
                    // A doubled quote is a quote inside the name (the key that types ").
                    text += '"';
                    ++pos_;
                } else {
                    break;
                }
            }
            // After the closing quote only blanks may stand before the separator;
            // anything else means the quotes were not ours.
            while (pos_ < in_.size() && IsBlank(in_[pos_])) ++pos_;
            if (!EndField()) return std::nullopt;
            return text;
        }
        // Unquoted text runs to the comma or line end as it stands, trailing
        // blanks included; ",," gives a field with no text. Whether that
        // fits is the field's type's business: an empty name is a name, an
        // empty number is a damaged file.
        std::size_t start = pos_;
        while (pos_ < in_.size() && in_[pos_] != ',' && !IsLineEnd(in_[pos_])) ++pos_;
        text.assign(in_.substr(start, pos_ - start));
        if (!EndField()) return std::nullopt;
        return text;
    }

private:
    // Consumes a comma or a line end. CR LF is one line end; a lone CR or LF
    // also ends a field, so files edited on other systems still read. The
    // eighth field may end at the end of the content without a line end.
    bool EndField() {
        if (pos_ == in_.size()) return true;
        char c = in_[pos_];
        if (c == ',') {
            ++pos_;
            return true;
        }
        if (c == '\r') {
            ++pos_;
            if (pos_ < in_.size() && in_[pos_] == '\n') ++pos_;
            return true;
        }
        if (c == '\n') {
            ++pos_;
            return true;
        }
        return false;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
};

// Strict decimal: optional sign, at least one digit, trailing blanks. Any other
// text ("1.5", "&H10", letters) fails the whole file: a garbled file is not
// trusted in part. The accumulation stops past the 32-bit range, so a digit
// string of any length (leading zeros included) cannot overflow.
std::optional<std::int64_t> ToInteger(std::string_view text, std::int64_t min, std::int64_t max) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i != text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < min || value > max) return std::nullopt;
    return value;
}

// A quoted number ("5") is converted like an unquoted one: the quotes are not
// part of any field's value. The reader does not judge the values themselves
// (CurtainSide 9 comes back as 9); the caller decides what to do with them.
template <typename Int>
bool ReadInteger(FieldReader& r, Int& out) {
    auto f = r.Next();
    if (!f) return false;
    auto v = ToInteger(*f, std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max());
    if (!v) return false;
    out = static_cast<Int>(*v);
    return true;
}

}  // namespace

std::optional<Settings> ParseSettingsFile(std::string_view bytes) {
    FieldReader r(bytes);
    Settings s;
    if (!ReadInteger(r, s.CurtainSide) || !ReadInteger(r, s.SpareSetting) ||
        !ReadInteger(r, s.SoundMode)) {
        return std::nullopt;
    }
    // An unquoted name is taken up to the separator, as it stands.
    auto name = r.Next();
    if (!name) return std::nullopt;
    s.HotkeyName = std::move(*name);
    if (!ReadInteger(r, s.HotkeyCode) || !ReadInteger(r, s.ShowSettingsAtStart) ||
        !ReadInteger(r, s.KeepExitPattern) || !ReadInteger(r, s.PatternState)) {
        return std::nullopt;
    }
    // Whatever follows the eighth field (rest of the line, more lines) is ignored.
    return s;
}

std::string FormatSettingsFile(const Settings& s) {
    std::string out;
    out.reserve(40 + s.HotkeyName.size());
    auto number = [&out](std::int64_t v) {
        out += std::to_string(v);
        out += ',';
    };
    number(s.CurtainSide);
    number(s.SpareSetting);
    number(s.SoundMode);
    out += '"';
    // Quotes inside the name are doubled so the name reads back unchanged;
    // every other name is written byte for byte.
    for (char c : s.HotkeyName) {
        if (c == '"') out += '"';
        out += c;
    }
    out += "\",";
    number(s.HotkeyCode);
    number(s.ShowSettingsAtStart);
    number(s.KeepExitPattern);
    out += std::to_string(s.PatternState);
    out += "\r\n";
    return out;
}

Settings ReadSettings(forms::Services& services, bool& unreadable) {
    std::optional<std::string> bytes = services.ReadFile(kSettingsFileName);
    if (!bytes) {
        unreadable = services.FileExists(kSettingsFileName);
        throw forms::Failure(unreadable ? "settings file cannot be read now" : "no settings file");
    }
    std::optional<Settings> read = ParseSettingsFile(*bytes);
    if (!read) throw forms::Failure("settings file damaged");
    read->HotkeyName = services.FromAnsi(read->HotkeyName);
    return *read;
}

void WriteSettings(forms::Services& services, const Settings& settings,
                   const std::optional<Settings>& unreadAtStart) {
    if (unreadAtStart && *unreadAtStart == settings) return;
    Settings line = settings;
    line.HotkeyName = services.ToAnsi(line.HotkeyName);
    const std::string bytes = FormatSettingsFile(line);
    if (!(unreadAtStart ? ReplaceUnreadFile(services, kSettingsFileName, bytes, kSettingsKeptName)
                        : services.ReplaceFile(kSettingsFileName, bytes)))
        throw forms::Failure("cannot write the settings file");
}

}  // namespace app
