// Bounded random inputs against the reader: it must never crash, and whatever
// it accepts must survive a write and a second read unchanged.
#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace app {
namespace {

constexpr int kCases = 20000;

// Bytes the reader treats specially come up far more often than by chance.
char RandomByte(std::mt19937& rng) {
    static constexpr char kInteresting[] = {'0', '1', '9', '-', '+', ',', '"', '\r', '\n', ' ', '\t'};
    if (rng() % 2 == 0) return kInteresting[rng() % sizeof kInteresting];
    return static_cast<char>(rng() % 256);
}

std::int16_t RandomShort(std::mt19937& rng) {
    switch (rng() % 4) {
        case 0: return static_cast<std::int16_t>(rng() % 4);
        case 1: return (rng() % 2) ? std::int16_t{-32768} : std::int16_t{32767};
        default: return static_cast<std::int16_t>(rng());
    }
}

Settings RandomSettings(std::mt19937& rng) {
    Settings s;
    s.CurtainSide = RandomShort(rng);
    s.SpareSetting = RandomShort(rng);
    s.SoundMode = RandomShort(rng);
    for (std::size_t n = rng() % 8; n > 0; --n) s.HotkeyName += RandomByte(rng);
    s.HotkeyCode = static_cast<std::int32_t>(rng());
    s.ShowSettingsAtStart = RandomShort(rng);
    s.KeepExitPattern = RandomShort(rng);
    s.PatternState = RandomShort(rng);
    return s;
}

std::string Mutate(std::string bytes, std::mt19937& rng) {
    for (std::size_t n = 1 + rng() % 3; n > 0; --n) {
        std::size_t at = bytes.empty() ? 0 : rng() % bytes.size();
        switch (rng() % 5) {
            case 0: bytes.insert(bytes.begin() + at, RandomByte(rng)); break;
            case 1: if (!bytes.empty()) bytes.erase(at, 1); break;
            case 2: if (!bytes.empty()) bytes[at] = static_cast<char>(bytes[at] ^ (1 << (rng() % 8))); break;
            case 3: bytes.resize(at); break;
            default: {
                // Duplicate a comma or a quote somewhere.
                std::size_t pos = bytes.find_first_of(",\"", at);
                if (pos != std::string::npos) bytes.insert(pos, 1, bytes[pos]);
            }
        }
    }
    return bytes;
}

// Returns true when the input was accepted.
bool CheckStable(const std::string& bytes) {
    auto first = ParseSettingsFile(bytes);
    if (!first) return false;
    auto again = ParseSettingsFile(FormatSettingsFile(*first));
    EXPECT_TRUE(again.has_value()) << testing::PrintToString(bytes);
    if (again) {
        EXPECT_EQ(*again, *first) << testing::PrintToString(bytes);
    }
    return true;
}

TEST(SettingsFileRandom, ValidSettingsAlwaysRoundTrip) {
    std::mt19937 rng(20240611u);
    for (int i = 0; i < kCases; ++i) {
        Settings s = RandomSettings(rng);
        auto back = ParseSettingsFile(FormatSettingsFile(s));
        ASSERT_TRUE(back.has_value()) << testing::PrintToString(FormatSettingsFile(s));
        ASSERT_EQ(*back, s);
    }
}

TEST(SettingsFileRandom, DamagedFilesFailOrAreStable) {
    std::mt19937 rng(7u);
    int accepted = 0;
    for (int i = 0; i < kCases; ++i) {
        std::string bytes;
        if (i % 4 == 0) {
            for (std::size_t n = rng() % 64; n > 0; --n) bytes += RandomByte(rng);
        } else {
            bytes = Mutate(FormatSettingsFile(RandomSettings(rng)), rng);
        }
        if (CheckStable(bytes)) ++accepted;
        if (HasFailure()) return;
    }
    // Guards against a reader that refuses everything, which would pass above.
    EXPECT_GT(accepted, kCases / 20);
}

}  // namespace
}  // namespace app
