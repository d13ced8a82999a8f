// Tests of the byte-string helpers and the comma-text parser.
#include "tools/text_tools.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace versweep {
namespace {

using namespace std::string_literals;

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// --- SplitText -------------------------------------------------------------------------------------------

struct SplitCase
{
    std::string name;
    std::string separators;
    std::string text;
    StringList expected;
};

class SplitTextTest : public testing::TestWithParam<SplitCase>
{};

TEST_P(SplitTextTest, AppendsComponentsAfterExistingEntries)
{
    const SplitCase& c = GetParam();
    StringList list{"kept"};
    const int added = SplitText(c.separators, c.text, list);

    StringList expected{"kept"};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(list, expected);
    EXPECT_EQ(added, static_cast<int>(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTextTest,
    testing::Values(SplitCase{"DoubleSeparatorDropsEmpty", ".", "1..2", {"1", "2"}},
                    SplitCase{"LeadingBlanksSkipped", ".", " 1. 2", {"1", "2"}},
                    SplitCase{"SingleQuotesProtectSeparator", ".", "a'b.c'd.e", {"a'b.c'd", "e"}},
                    SplitCase{"DoubleQuotesProtectSeparator", ".", "\"x.y\".z", {"\"x.y\"", "z"}},
                    SplitCase{"OtherQuoteInsideQuoteIsPlain", ".", "'a\".b'.c", {"'a\".b'", "c"}},
                    SplitCase{"UnclosedQuoteRunsToEnd", ".", "a.'b.c", {"a", "'b.c"}},
                    SplitCase{"EmptyText", ".", "", {}}, SplitCase{"OnlySeparators", ".", "...", {}},
                    SplitCase{"OnlyBlanks", ".", " \t ", {}},
                    SplitCase{"TrailingSeparator", ".", "1.2.", {"1", "2"}},
                    SplitCase{"TrailingBlanksKept", ".", "1 .2\t", {"1 ", "2\t"}},
                    SplitCase{"LineEndsSplit", ".", "a\r\nb\nc", {"a", "b", "c"}},
                    SplitCase{"LineEndInsideQuoteKept", ".", "'a\nb'.c", {"'a\nb'", "c"}},
                    SplitCase{"SeveralSeparators", ".,", "a,b.c", {"a", "b", "c"}},
                    SplitCase{"NoSeparatorsSplitsOnlyAtLineEnds", "", "a.b c\nd", {"a.b c", "d"}},
                    SplitCase{"NulEndsText", ".", "1.2\0.3"s, {"1", "2"}},
                    SplitCase{"HighBytesAreOrdinary", ".", "\xC4\xE3.\xFF", {"\xC4\xE3", "\xFF"}}),
    CaseName<SplitCase>);

// --- FileBaseName ----------------------------------------------------------------------------------------

struct BaseNameCase
{
    std::string name;
    std::string path;
    std::string expected;
};

class FileBaseNameTest : public testing::TestWithParam<BaseNameCase>
{};

TEST_P(FileBaseNameTest, DropsFolderAndLastExtension)
{
    EXPECT_EQ(FileBaseName(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FileBaseNameTest,
                         testing::Values(BaseNameCase{"FolderAndExtension", "/dir/name.ext", "name"},
                                         BaseNameCase{"TwoDotsLoseOnlyLast", "a.tar.gz", "a.tar"},
                                         BaseNameCase{"NoExtension", "dir/name", "name"},
                                         BaseNameCase{"DotInFolderOnly", "dir.d/name", "name"},
                                         BaseNameCase{"BackslashIsOrdinary", "C:\\dir\\name.ext", "C:\\dir\\name"},
                                         BaseNameCase{"HiddenName", "dir/.hidden", ".hidden"},
                                         BaseNameCase{"HiddenNameWithExtension", ".hidden.txt", ".hidden"},
                                         BaseNameCase{"DotDot", "a/..", ".."},
                                         BaseNameCase{"TrailingDot", "name.", "name"},
                                         BaseNameCase{"TrailingSlash", "dir/", ""}, BaseNameCase{"Empty", "", ""},
                                         BaseNameCase{"ReleaseName", "x/Foo.Bar.v1.2-GRP", "Foo.Bar.v1"},
                                         BaseNameCase{"LeadingDash", "-rf.txt", "-rf"}),
                         CaseName<BaseNameCase>);

// --- LastCharPos -----------------------------------------------------------------------------------------

struct LastCharCase
{
    std::string name;
    std::string text;
    char ch;
    int n;
    std::size_t expected;
};

class LastCharPosTest : public testing::TestWithParam<LastCharCase>
{};

TEST_P(LastCharPosTest, CountsFromTheEnd)
{
    const LastCharCase& c = GetParam();
    EXPECT_EQ(LastCharPos(c.text, c.ch, c.n), c.expected);
}

constexpr auto kNone = std::string_view::npos;

INSTANTIATE_TEST_SUITE_P(
    Cases, LastCharPosTest,
    testing::Values(LastCharCase{"Last", "a-b-c", '-', 1, 3}, LastCharCase{"SecondLast", "a-b-c", '-', 2, 1},
                    LastCharCase{"FewerThanN", "a-b-c", '-', 3, kNone},
                    LastCharCase{"AtFirstByte", "-ab", '-', 1, 0}, LastCharCase{"AtLastByte", "ab-", '-', 1, 2},
                    LastCharCase{"EmptyText", "", '-', 1, kNone}, LastCharCase{"ZeroN", "a-b", '-', 0, kNone},
                    LastCharCase{"NegativeN", "a-b", '-', -1, kNone},
                    LastCharCase{"HighByte", "\377a\377", '\xFF', 2, 0}),
    CaseName<LastCharCase>);

// --- IntPower --------------------------------------------------------------------------------------------

struct PowerCase
{
    std::string name;
    std::int64_t base;
    unsigned exponent;
    std::optional<std::int64_t> expected;
};

class IntPowerTest : public testing::TestWithParam<PowerCase>
{};

TEST_P(IntPowerTest, IsExactOrEmpty)
{
    const PowerCase& c = GetParam();
    EXPECT_EQ(IntPower(c.base, c.exponent), c.expected);
}

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, IntPowerTest,
    testing::Values(PowerCase{"ThousandToZero", 1000, 0, 1}, PowerCase{"ThousandToOne", 1000, 1, 1000},
                    PowerCase{"ThousandToTwo", 1000, 2, 1000000},
                    PowerCase{"ThousandToThree", 1000, 3, 1000000000},
                    PowerCase{"ThousandToSix", 1000, 6, 1000000000000000000},
                    PowerCase{"ThousandToSevenOverflows", 1000, 7, std::nullopt},
                    PowerCase{"ThousandToHugeOverflows", 1000, 4000000000u, std::nullopt},
                    PowerCase{"TwoToSixtyTwo", 2, 62, std::int64_t{1} << 62},
                    PowerCase{"TwoToSixtyThreeOverflows", 2, 63, std::nullopt},
                    PowerCase{"MinusTwoToSixtyThreeFits", -2, 63, kMin},
                    PowerCase{"MinusTwoToSixtyFourOverflows", -2, 64, std::nullopt},
                    PowerCase{"MaxToOne", kMax, 1, kMax}, PowerCase{"MaxSquaredOverflows", kMax, 2, std::nullopt},
                    PowerCase{"ZeroToZero", 0, 0, 1}, PowerCase{"ZeroToHuge", 0, 4000000000u, 0},
                    PowerCase{"OneToMax", 1, std::numeric_limits<unsigned>::max(), 1},
                    PowerCase{"MinusOneToOddMax", -1, std::numeric_limits<unsigned>::max(), -1},
                    PowerCase{"MinusOneToEven", -1, 4000000000u, 1}),
    CaseName<PowerCase>);

// --- PadRightTo and TruncateTo ---------------------------------------------------------------------------

struct PadCase
{
    std::string name;
    std::string text;
    std::size_t length;
    std::string padded;
    std::string truncated;
};

class PadTruncateTest : public testing::TestWithParam<PadCase>
{};

TEST_P(PadTruncateTest, YieldsExactLength)
{
    const PadCase& c = GetParam();
    EXPECT_EQ(PadRightTo(c.text, c.length, '0'), c.padded);
    EXPECT_EQ(TruncateTo(c.text, c.length), c.truncated);
}

INSTANTIATE_TEST_SUITE_P(Cases, PadTruncateTest,
                         testing::Values(PadCase{"OneDigit", "5", 3, "500", "5"},
                                         PadCase{"Empty", "", 3, "000", ""},
                                         PadCase{"ExactLength", "123", 3, "123", "123"},
                                         PadCase{"Longer", "1234", 3, "123", "123"},
                                         PadCase{"ZeroLength", "12", 0, "", ""},
                                         PadCase{"EmbeddedNulKept", "1\0"s, 3, "1\0000"s, "1\0"s}),
                         CaseName<PadCase>);

// --- SortStrings -----------------------------------------------------------------------------------------

struct SortCase
{
    std::string name;
    StringList input;
    StringList expected;
};

class SortStringsTest : public testing::TestWithParam<SortCase>
{};

TEST_P(SortStringsTest, OrdersByByteValue)
{
    StringList list = GetParam().input;
    SortStrings(list);
    EXPECT_EQ(list, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SortStringsTest,
                         testing::Values(SortCase{"UpperBeforeLower", {"a", "B", "Z"}, {"B", "Z", "a"}},
                                         SortCase{"PrefixFirst", {"AB", "A", ""}, {"", "A", "AB"}},
                                         SortCase{"HighBytesAfterAscii",
                                                  {"\xC4\xE3", "z", "\x80", "~"},
                                                  {"z", "~", "\x80", "\xC4\xE3"}},
                                         SortCase{"DuplicatesKept", {"b", "a", "b", "a"}, {"a", "a", "b", "b"}},
                                         SortCase{"Empty", {}, {}}, SortCase{"Single", {"x"}, {"x"}},
                                         SortCase{"GroupTags", {"GRP", "-", "", "ABC"}, {"", "-", "ABC", "GRP"}}),
                         CaseName<SortCase>);

// --- ASCII casing ----------------------------------------------------------------------------------------

struct CaseMapCase
{
    std::string name;
    std::string text;
    std::string upper;
    std::string lower;
};

class AsciiCaseTest : public testing::TestWithParam<CaseMapCase>
{};

TEST_P(AsciiCaseTest, MapsOnlyAsciiLetters)
{
    const CaseMapCase& c = GetParam();
    EXPECT_EQ(UpperCaseAscii(c.text), c.upper);
    EXPECT_EQ(LowerCaseAscii(c.text), c.lower);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AsciiCaseTest,
    testing::Values(CaseMapCase{"Letters", "Foo.Bar", "FOO.BAR", "foo.bar"},
                    CaseMapCase{"NeighboursOfLetters", "@[`{", "@[`{", "@[`{"},
                    CaseMapCase{"Latin1Untouched", "\xE9\xC9", "\xE9\xC9", "\xE9\xC9"},
                    CaseMapCase{"DoubleByteTrailUntouched", "\xB0\x61", "\xB0\x41", "\xB0\x61"},
                    CaseMapCase{"InvalidUtf8Untouched", "a\xC3(z", "A\xC3(Z", "a\xC3(z"},
                    CaseMapCase{"NulKept", "a\0b"s, "A\0B"s, "a\0b"s}, CaseMapCase{"Empty", "", "", ""}),
    CaseName<CaseMapCase>);

// --- SetCommaText ----------------------------------------------------------------------------------------

struct CommaCase
{
    std::string name;
    std::string text;
    StringList expected;
};

class SetCommaTextTest : public testing::TestWithParam<CommaCase>
{};

TEST_P(SetCommaTextTest, ReplacesListWithEntries)
{
    StringList list{"old", "entries"};
    SetCommaText(list, GetParam().text);
    EXPECT_EQ(list, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetCommaTextTest,
    testing::Values(CommaCase{"CommasAndBlanksSplit", "FOO BAR,BAZ", {"FOO", "BAR", "BAZ"}},
                    CommaCase{"BlanksAroundCommas", "  a ,\tb  ", {"a", "b"}},
                    CommaCase{"TwoCommasGiveEmptyEntry", "a,,b", {"a", "", "b"}},
                    CommaCase{"TrailingCommaGivesEmptyEntry", "a,", {"a", ""}},
                    CommaCase{"TrailingCommaThenBlankGivesNone", "a, ", {"a"}},
                    CommaCase{"LeadingCommaGivesEmptyEntry", ",a", {"", "a"}},
                    CommaCase{"OnlyComma", ",", {"", ""}}, CommaCase{"Empty", "", {}},
                    CommaCase{"OnlyBlanks", " \t\r\n", {}},
                    CommaCase{"QuotedKeepsBlanksAndCommas", "\"a b,c\",d", {"a b,c", "d"}},
                    CommaCase{"DoubledQuoteIsOneQuote", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
                    CommaCase{"EmptyQuoted", "\"\",x", {"", "x"}},
                    CommaCase{"UnclosedQuoteTakesRest", "x,\"ab, c", {"x", "ab, c"}},
                    CommaCase{"TextAfterClosingQuoteIsNewEntry", "\"ab\"cd,e", {"ab", "cd", "e"}},
                    CommaCase{"QuoteInsidePlainEntryIsPlain", "a\"b,c", {"a\"b", "c"}},
                    CommaCase{"ControlBytesSplit", "a\001b\037c", {"a", "b", "c"}},
                    CommaCase{"HighBytesAreOrdinary", "\xC4\xE3\xA0,\xFF", {"\xC4\xE3\xA0", "\xFF"}},
                    CommaCase{"DelIsOrdinary", "a\177b", {"a\177b"}},
                    CommaCase{"NulEndsText", "a,b\0,c"s, {"a", "b"}},
                    CommaCase{"CommaBeforeNulIsTrailing", "a,\0b"s, {"a", ""}},
                    CommaCase{"BackslashIsOrdinary", "C:\\x,y", {"C:\\x", "y"}}),
    CaseName<CommaCase>);

} // namespace
} // namespace versweep
