// Tests of the byte-string helpers and the comma-text parser.
#include "tools/text_tools.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace versweep {
namespace {

using namespace std::string_literals;
constexpr auto kNone = std::string::npos;

TEST(SplitTextTest, AppendsNonEmptyComponents)
{
    const struct
    {
        const char* name;
        std::string text;
        StringList expected;
    } cases[] = {
        {"DoubleSeparator", "1..2", {"1", "2"}},
        {"LeadingBlanksSkipped", " 1. 2", {"1", "2"}},
        {"TrailingBlanksKept", "1 .2\t", {"1 ", "2\t"}},
        {"SingleQuotesProtect", "a'b.c'd.e", {"a'b.c'd", "e"}},
        {"OtherQuoteInsideIsPlain", "'a\".b'.c", {"'a\".b'", "c"}},
        {"UnclosedQuoteRunsToEnd", "a.\"b.c", {"a", "\"b.c"}},
        {"LineEndsSplit", "a\r\nb.c", {"a", "b", "c"}},
        {"LineEndInsideQuoteKept", "'a\nb'.c", {"'a\nb'", "c"}},
        {"OnlySeparatorsAndBlanks", ". . \t.", {}},
        {"NulEndsText", "1.2\0.3"s, {"1", "2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StringList list{"kept"};
        EXPECT_EQ(SplitText(".", c.text, list), static_cast<int>(c.expected.size()));
        list.erase(list.begin());
        EXPECT_EQ(list, c.expected);
    }
}

TEST(FileBaseNameTest, DropsFolderAndLastExtension)
{
    const struct
    {
        const char* path;
        const char* expected;
    } cases[] = {
        {"/dir/name.ext", "name"},
        {"a.tar.gz", "a.tar"},
        {"dir.d/name", "name"},
        {"C:\\dir\\n.e", "C:\\dir\\n"},
        {"dir/.hidden", ".hidden"},
        {".hidden.txt", ".hidden"},
        {"a/..", ".."},
        {"dir/", ""},
        {"-rf.txt", "-rf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileBaseName(c.path), c.expected);
    }
}

TEST(LastCharPosTest, CountsFromTheEnd)
{
    EXPECT_EQ(LastCharPos("a-b-c", '-', 1), 3u);
    EXPECT_EQ(LastCharPos("a-b-c", '-', 2), 1u);
    EXPECT_EQ(LastCharPos("a-b-c", '-', 3), kNone);
    EXPECT_EQ(LastCharPos("a-b", '-', 0), kNone);
    EXPECT_EQ(LastCharPos("", '-', 1), kNone);
    EXPECT_EQ(LastCharPos("\377a\377", '\xFF', 2), 0u);
}

TEST(IntPowerTest, IsExactOrEmpty)
{
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    constexpr auto kMaxExponent = std::numeric_limits<unsigned>::max();
    const struct
    {
        const char* name;
        std::int64_t base;
        unsigned exponent;
        std::optional<std::int64_t> expected;
    } cases[] = {
        {"ThousandToOne", 1000, 1, 1000},
        {"ThousandToSix", 1000, 6, 1000000000000000000},
        {"ThousandToSevenOverflows", 1000, 7, std::nullopt},
        {"TwoToSixtyThreeOverflows", 2, 63, std::nullopt},
        {"MinusTwoToSixtyThreeFits", -2, 63, kMin},
        {"ZeroToZero", 0, 0, 1},
        {"OneToMaxIsQuick", 1, kMaxExponent, 1},
        {"MinusOneToOddMax", -1, kMaxExponent, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IntPower(c.base, c.exponent), c.expected);
    }
}

TEST(PadRightToTest, PadsAndCuts)
{
    EXPECT_EQ(PadRightTo("5", 3, '0'), "500");
    EXPECT_EQ(PadRightTo("", 3, '0'), "000");
    EXPECT_EQ(PadRightTo("1234", 3, '0'), "123");
    EXPECT_EQ(TruncateTo("12", 3), "12");
}

TEST(SortStringsTest, OrdersByUnsignedBytes)
{
    StringList list{"a", "\xC4", "B", "~", "AB", "Z", "", "A"};
    SortStrings(list);
    EXPECT_EQ(list, (StringList{"", "A", "AB", "B", "Z", "a", "~", "\xC4"}));
}

TEST(AsciiCaseTest, MapsOnlyAsciiLetters)
{
    const std::string text = "@Az[`aZ{\xE9\xC9\xB0\x61\xC3(\0x"s;
    EXPECT_EQ(UpperCaseAscii(text), "@AZ[`AZ{\xE9\xC9\xB0\x41\xC3(\0X"s);
    EXPECT_EQ(LowerCaseAscii(text), "@az[`az{\xE9\xC9\xB0\x61\xC3(\0x"s);
}

TEST(SetCommaTextTest, ReplacesListWithEntries)
{
    const struct
    {
        const char* name;
        std::string text;
        StringList expected;
    } cases[] = {
        {"CommasAndBlanksSplit", "FOO BAR,BAZ", {"FOO", "BAR", "BAZ"}},
        {"BlanksAroundCommas", "  a ,\tb  ", {"a", "b"}},
        {"TwoCommasGiveEmpty", "a,,b", {"a", "", "b"}},
        {"TrailingCommaGivesEmpty", "a,", {"a", ""}},
        {"CommaThenBlankGivesNone", "a, ", {"a"}},
        {"LeadingCommaGivesEmpty", ",a", {"", "a"}},
        {"OnlyBlanks", " \t\r\n", {}},
        {"QuotedKeepsBlanksAndCommas", "\"a b,c\",d", {"a b,c", "d"}},
        {"DoubledQuoteIsOneQuote", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"UnclosedQuoteTakesRest", "x,\"ab, c", {"x", "ab, c"}},
        {"TextAfterClosingQuote", "\"ab\"cd,e", {"ab", "cd", "e"}},
        {"QuoteInsidePlainEntry", "a\"b,c", {"a\"b", "c"}},
        {"ControlBytesSplit", "a\001b\037c", {"a", "b", "c"}},
        {"HighBytesAndDelAreOrdinary", "\xC4\xE3\177,\xFF", {"\xC4\xE3\177", "\xFF"}},
        {"NulEndsText", "a,b\0,c"s, {"a", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StringList list{"old", "entries"};
        SetCommaText(list, c.text);
        EXPECT_EQ(list, c.expected);
    }
}

// The window adds titles to the white and black lists with AppendCommaEntry; each must read back as written.
TEST(AppendCommaEntryTest, EntriesReadBackWhole)
{
    const StringList entries = {"Foo.Bar", "", "a b", "x,y", "say \"hi\"", "\"", "tab\there", "\xFF\xFE-GRP", ""};
    std::string text;
    for (const std::string& entry : entries)
        AppendCommaEntry(text, entry);
    StringList list;
    SetCommaText(list, text);
    EXPECT_EQ(list, entries);
}

} // namespace
} // namespace versweep
