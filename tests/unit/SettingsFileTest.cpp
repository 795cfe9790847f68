#include "app/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app {
namespace {

using namespace std::string_literals;

Settings Make(std::int16_t side, std::int16_t spare, std::int16_t sound, std::string name,
              std::int32_t code, std::int16_t showAtStart, std::int16_t keepExit,
              std::int16_t pattern) {
    Settings s;
    s.CurtainSide = side;
    s.SpareSetting = spare;
    s.SoundMode = sound;
    s.HotkeyName = std::move(name);
    s.HotkeyCode = code;
    s.ShowSettingsAtStart = showAtStart;
    s.KeepExitPattern = keepExit;
    s.PatternState = pattern;
    return s;
}

struct Written {
    const char* what;
    Settings settings;
    std::string bytes;
};

TEST(SettingsFileFormat, WritesExactBytesAndReadsThemBack) {
    const std::vector<Written> cases = {
        {"defaults", Settings{},
         std::string("\x30\x2C\x30\x2C\x30\x2C\x22\x22\x2C\x30\x2C\x31\x2C\x30\x2C\x30\x0D\x0A", 18)},
        {"right, muted, hotkey A", Make(2, 0, 1, "A", 65, 0, 1, 1), "2,0,1,\"A\",65,0,1,1\r\n"},
        {"negatives with minus", Make(-1, -32768, -2, "F1", -2147483647 - 1, -5, -1, -32768),
         "-1,-32768,-2,\"F1\",-2147483648,-5,-1,-32768\r\n"},
        {"largest values", Make(32767, 32767, 32767, "Z", 2147483647, 32767, 32767, 32767),
         "32767,32767,32767,\"Z\",2147483647,32767,32767,32767\r\n"},
        {"quote name doubled", Make(0, 0, 0, "\"", 222, 1, 0, 0), "0,0,0,\"\"\"\",222,1,0,0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FormatSettingsFile(c.settings), c.bytes);
        auto back = ParseSettingsFile(c.bytes);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, c.settings);
    }
}

TEST(SettingsFileFormat, HotkeyNamesRoundTrip) {
    const std::vector<std::string> names = {
        "", "A", "BS", "Enter", "Space", "\"", "\"\"", ",", "Num ,", "a\"b,c",
        "\x82\xA0", "\x82\xA0\"\x82\xA0", " lead and trail ", std::string("x\0y", 3), "two\r\nlines",
    };
    for (const auto& name : names) {
        SCOPED_TRACE(testing::PrintToString(name));
        Settings s = Make(1, 0, 1, name, 112, 0, 0, 1);
        std::string bytes = FormatSettingsFile(s);
        if (name.find('"') == std::string::npos) {
            // A name without quotes is written exactly as it stands.
            EXPECT_EQ(bytes, "1,0,1,\"" + name + "\",112,0,0,1\r\n");
        }
        auto back = ParseSettingsFile(bytes);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->HotkeyName, name);
        EXPECT_EQ(*back, s);
    }
}

struct Accepted {
    const char* what;
    std::string bytes;
    Settings expected;
};

TEST(SettingsFileParse, AcceptsTolerableLayouts) {
    const Settings ex2 = Make(2, 0, 1, "A", 65, 0, 1, 1);
    const std::vector<Accepted> cases = {
        {"fields over several lines", "2,0,1\r\n\"A\",65\r\n0,1\r\n1\r\n", ex2},
        {"ninth field and further lines ignored", "2,0,1,\"A\",65,0,1,1,7\r\nrubbish\"\r\n", ex2},
        {"rest of the line ignored", "2,0,1,\"A\",65,0,1,1 ,\"x\r\n", ex2},
        {"no line end after the eighth field", "2,0,1,\"A\",65,0,1,1", ex2},
        {"lone LF and lone CR", "2\n0\r1,\"A\"\n65,0,1,1\r", ex2},
        {"blanks around fields", " 2 ,\t0\t, 1,  \"A\" \t,65 ,0,1,\t1 \r\n", ex2},
        {"leading zeros and plus sign", "002,+0,01,\"A\",0065,0,+1,1\r\n", ex2},
        {"very long run of zeros", "2,0,1,\"A\"," + std::string(5000, '0') + "65,0,1,1\r\n", ex2},
        {"unquoted name up to the comma, trailing blanks kept", "2,0,1, A \t,65,0,1,1\r\n",
         Make(2, 0, 1, "A \t", 65, 0, 1, 1)},
        {"empty name unquoted", "0,0,0,,0,1,0,0\r\n", Settings{}},
        {"quoted number", "\"2\",0,1,\"A\",65,0,1,1\r\n", ex2},
        {"minus zero", "-0,0,0,\"\",0,1,0,0\r\n", Settings{}},
        {"spare setting 5 kept", "0,5,0,\"\",0,1,0,0\r\n", Make(0, 5, 0, "", 0, 1, 0, 0)},
        {"side 9 and sound 3 not judged", "9,0,3,\"\",0,1,0,0\r\n", Make(9, 0, 3, "", 0, 1, 0, 0)},
        {"16-bit and 32-bit bounds", "-32768,32767,0,\"\",-2147483648,0,0,0\r\n",
         Make(-32768, 32767, 0, "", -2147483647 - 1, 0, 0, 0)},
        {"32-bit upper bound", "0,0,0,\"\",2147483647,0,0,0\r\n", Make(0, 0, 0, "", 2147483647, 0, 0, 0)},
        {"comma and line end inside quotes", "0,0,0,\"a,\r\nb\",0,1,0,0\r\n",
         Make(0, 0, 0, "a,\r\nb", 0, 1, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto s = ParseSettingsFile(c.bytes);
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(*s, c.expected);
    }
}

struct Rejected {
    const char* what;
    std::string bytes;
};

TEST(SettingsFileParse, RejectsDamagedContent) {
    const std::vector<Rejected> cases = {
        {"empty file", ""},
        {"only a line end", "\r\n"},
        {"seven fields", "0,0,0,\"\",0,1,0\r\n"},
        {"seven fields and a comma", "0,0,0,\"\",0,1,0,"},
        {"eighth field only blanks", "0,0,0,\"\",0,1,0, \t"},
        {"unterminated quote", "0,0,0,\"A,65,0,1,1\r\n"},
        {"unterminated quote in last field", "0,0,0,\"\",0,1,0,\"1"},
        {"undoubled quote in name", "0,0,0,\"\"\",222,1,0,0\r\n"},
        {"short 40000", "40000,0,0,\"\",0,1,0,0\r\n"},
        {"short 32768", "0,32768,0,\"\",0,1,0,0\r\n"},
        {"short -32769", "0,0,-32769,\"\",0,1,0,0\r\n"},
        {"last short out of range", "0,0,0,\"\",0,1,0,99999"},
        {"long 2147483648", "0,0,0,\"\",2147483648,1,0,0\r\n"},
        {"long -2147483649", "0,0,0,\"\",-2147483649,1,0,0\r\n"},
        {"huge digit string", "0,0,0,\"\"," + std::string(400, '9') + ",1,0,0\r\n"},
        {"letters", "0,0,0,\"\",0,True,0,0\r\n"},
        {"decimal point", "1.5,0,0,\"\",0,1,0,0\r\n"},
        {"hex prefix", "0,0,0,\"\",&H10,1,0,0\r\n"},
        {"empty number between commas", "0,,0,\"\",0,1,0,0\r\n"},
        {"line end right after a comma", "0,0,0,\r\n\"\",0,1,0,0\r\n"},
        {"empty line between fields", "0,0,0\r\n\r\n\"\",0,1,0,0\r\n"},
        {"sign without digits", "-,0,0,\"\",0,1,0,0\r\n"},
        {"two signs", "--1,0,0,\"\",0,1,0,0\r\n"},
        {"two numbers in one field", "1 2,0,0,\"\",0,1,0,0\r\n"},
        {"number then text in last field", "0,0,0,\"\",0,1,0,0x\r\n"},
        {"text after closing quote", "0,0,0,\"A\"B,65,1,0,0\r\n"},
        {"empty quoted number", "\"\",0,0,\"\",0,1,0,0\r\n"},
        {"NUL in a number", "0,0,0,\"\",6\0" "5,1,0,0\r\n"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(ParseSettingsFile(c.bytes).has_value());
    }
}

}  // namespace
}  // namespace app
