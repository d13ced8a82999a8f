// Tests of the UTF-8 repair that lets raw file names travel in JSON (one U+FFFD per bad byte), and of the
// characters that can disguise a name.
#include "tools/utf8_text.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace versweep {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD"; // U+FFFD, the replacement character

struct Utf8Case
{
    const char* name;
    std::string bytes;
    std::string expected;
};

void PrintTo(const Utf8Case& c, std::ostream* out)
{
    *out << c.name;
}

const Utf8Case kUtf8Cases[] = {
    {"Empty", "", ""},
    {"Ascii", "Game.v1.0-GRP", "Game.v1.0-GRP"},
    {"TwoByte",
     "\xC3\x9C"
     "ber",
     "\xC3\x9C"
     "ber"},
    {"ThreeByte", "\xE4\xB8\xAD", "\xE4\xB8\xAD"},
    {"FourByte", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    {"HighestCodePoint", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
    {"LoneBytes",
     "\xFF\xFE"
     "Bad",
     kReplacement + kReplacement + "Bad"},
    {"LoneContinuation",
     "a\x80"
     "b",
     "a" + kReplacement + "b"},
    {"TruncatedAtEnd", "x\xE4\xB8", "x" + kReplacement + kReplacement},
    {"TruncatedBeforeAscii",
     "\xE4\xB8"
     "A",
     kReplacement + kReplacement + "A"},
    {"TruncatedBeforeValid", "\xF0\x9F\xC3\x9C", kReplacement + kReplacement + "\xC3\x9C"},
    {"OverlongTwoByte", "\xC0\x80", kReplacement + kReplacement},
    {"OverlongThreeByte", "\xE0\x80\x80", kReplacement + kReplacement + kReplacement},
    {"OverlongFourByte", "\xF0\x80\x80\x80", kReplacement + kReplacement + kReplacement + kReplacement},
    {"Surrogate", "\xED\xA0\x80", kReplacement + kReplacement + kReplacement},
    {"AboveHighestCodePoint", "\xF4\x90\x80\x80", kReplacement + kReplacement + kReplacement + kReplacement},
    {"LeadByteF5", "\xF5\x80", kReplacement + kReplacement},
};

class Utf8Test : public testing::TestWithParam<Utf8Case>
{};

TEST_P(Utf8Test, ReplacesEachBadByte)
{
    EXPECT_EQ(ReplaceInvalidUtf8(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf8Test, testing::ValuesIn(kUtf8Cases),
                         [](const testing::TestParamInfo<Utf8Case>& param) { return param.param.name; });

// Both ends of format-character ranges, and neighbours that would pass unquoted if a range were off by one.
TEST(FormatCharacters, AreExactlyTheCategoryCfRanges)
{
    const std::pair<char32_t, bool> cases[] = {
        {U'A', false},   {0x00AC, false},  {0x00AD, true},  {0x200A, false},  {0x200B, true},  {0x200F, true},
        {0x2010, false}, {0x202E, true},   {0x2065, false}, {0x2066, true},   {0xFEFF, true},  {0xFFFC, false},
        {0x1343F, true}, {0x13440, false}, {0xE0001, true}, {0xE0002, false}, {0xE007F, true}, {0xE0080, false},
    };
    for (const auto& [code, format] : cases)
        EXPECT_EQ(IsFormatCharacter(code), format) << std::hex << static_cast<std::uint32_t>(code);
}

} // namespace
} // namespace versweep
