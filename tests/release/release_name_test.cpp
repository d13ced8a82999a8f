// Tests of the release-name parts: group tag, version text, title key, version value, name lists.
#include "release/release_name.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

namespace versweep {
namespace {

using namespace std::string_literals;

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// --- Name parts ------------------------------------------------------------------------------------------

struct NameCase
{
    std::string name;
    std::string release;
    std::string groupTag;
    std::string versionText;
    std::string titleKey;
};

class NamePartsTest : public testing::TestWithParam<NameCase>
{};

TEST_P(NamePartsTest, SplitsName)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(ExtractGroupTag(c.release), c.groupTag);
    EXPECT_EQ(ExtractVersionText(c.release), c.versionText);
    EXPECT_EQ(NormalizeTitle(c.release), c.titleKey);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NamePartsTest,
    testing::Values(NameCase{"TagAfterVersion", "Foo.Bar.v1.2.3-GRP", "GRP", "1.2.3.-", "FooBar"},
                    NameCase{"LetterAfterDigit", "Foo_Bar.v2.10a-GRP", "GRP", "2.10.A", "FooBar"},
                    NameCase{"UpperMarkerOnlyEndsTitle", "Foo.V1.0-GRP", "GRP", "", "Foo"},
                    NameCase{"BuildWordDropped", "Foo.v1.0.build.123-GRP", "GRP", "1.0.123.-", "Foo"},
                    NameCase{"LetterRightAfterMarker", "Foo.vol.2-GRP", "GRP", "", "Foo"},
                    NameCase{"DotBeforeTag", "Foo.v1.2.GRP", "", "1.2.", "Foo"},
                    NameCase{"NoTag", "Foo.v3", "", "3", "Foo"},
                    NameCase{"NoMarker", "Some Title 2004-GRP", "GRP", "", "SomeTitle2004-GRP"},
                    NameCase{"FirstMarkerOfAnyCaseEndsTitle", "Foo.Video.Tool.v1.0-GRP", "GRP", "1.0.-", "Foo"},
                    NameCase{"DashInTitle", "Foo-Bar.v1.0-GRP-X", "X", "1.0.-", "Foo-Bar"},
                    NameCase{"TrailingDash", "Foo.v1-", "", "1.-", "Foo"}),
    CaseName<NameCase>);

INSTANTIATE_TEST_SUITE_P(
    Edges, NamePartsTest,
    testing::Values(NameCase{"BuildBeforeMarkerShiftsScan", "Foo.build.Bar.v1.0-GRP", "GRP", "", "FoobuildBar"},
                    NameCase{"UpperBuildWordDropped", "Foo.v1.BUILD.2-GRP", "GRP", "1.2.-", "Foo"},
                    NameCase{"BuildWordsReplacedOnce", "Foo.v1.build.build.2", "", "1.", "Foo"},
                    NameCase{"Empty", "", "", "", ""}, NameCase{"MarkerAtEnd", "Foo.v", "", "", "Foo"},
                    NameCase{"MarkerAtStart", ".v2-G", "G", "2.-", ""},
                    NameCase{"DotsOnlyVersion", "Foo.v..-G", "G", "..", "Foo"},
                    NameCase{"BlankEndsVersion", "Foo.v1 beta", "", "1. ", "Foo"},
                    NameCase{"HighByteEndsVersionUnchanged", "Foo.v1\xC4\xE3-G", "G", "1.\xC4", "Foo"},
                    NameCase{"BlanksDotsUnderscoresRemoved", " F o_o. .v1", "", "1", "Foo"},
                    NameCase{"TitleCaseKept", "fOO bAR.V2", "", "", "fOObAR"},
                    NameCase{"BackslashAndCommaKept", "a\\b,c.v1", "", "1", "a\\b,c"},
                    NameCase{"NewlineKept", "a\nb.v1-G", "G", "1.-", "a\nb"},
                    NameCase{"LeadingDash", "-rf.v1", "rf.v1", "1", "-rf"}),
    CaseName<NameCase>);

// --- VersionValue ----------------------------------------------------------------------------------------

struct ValueCase
{
    std::string name;
    std::string text;
    double expected;
};

class VersionValueTest : public testing::TestWithParam<ValueCase>
{};

TEST_P(VersionValueTest, ReadsComponentsAsThousandths)
{
    EXPECT_DOUBLE_EQ(VersionValue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, VersionValueTest,
    testing::Values(ValueCase{"TagComponent", "1.2.3.-", 1.200300045},
                    ValueCase{"LetterComponent", "2.10.A", 2.100065}, ValueCase{"OneDigitFraction", "2.1", 2.1},
                    ValueCase{"TwoDigitFraction", "2.10", 2.1}, ValueCase{"LongFractionCut", "1.1234", 1.123},
                    ValueCase{"EmptyComponentDropped", "1..2", 1.2}, ValueCase{"TrailingDot", "1.2.3.", 1.2003},
                    ValueCase{"FirstNotNumber", "A.1", 0.1}, ValueCase{"Empty", "", 0}),
    CaseName<ValueCase>);

INSTANTIATE_TEST_SUITE_P(Edges, VersionValueTest,
                         testing::Values(ValueCase{"LargestFirst", "2147483647", 2147483647.0},
                                         ValueCase{"FirstOutOfRange", "2147483648.5", 0.5},
                                         ValueCase{"HugeFirst", "99999999999999999999999.5", 0.5},
                                         ValueCase{"HugeLater", "1.99999999999999999999", 1.999},
                                         ValueCase{"SignedFirst", "+7", 7}, ValueCase{"NegativeFirst", "-3", -3},
                                         ValueCase{"LoneSignFirst", "-.5", 0.5},
                                         ValueCase{"HexFirstIsNotNumber", "0x10.5", 0.5},
                                         ValueCase{"FirstWithLetter", "3a", 0}, ValueCase{"LeadingDot", ".5", 5},
                                         ValueCase{"BlankAfterDot", "1. 5", 1.5},
                                         ValueCase{"TrailingBlank", "1.5 ", 1.5},
                                         ValueCase{"ControlOnlyComponentSkippedWithoutDepth", "1.\x01.5", 1.5},
                                         ValueCase{"MixedComponentAddsNothing", "1.5a.5", 1.0005},
                                         ValueCase{"DashComponentIsByteValue", "1.-5", 1.045},
                                         ValueCase{"HighByteComponentIsUnsigned", "1.\xC4", 1.196},
                                         ValueCase{"SeventhFractionAddsNothing", "0.0.0.0.0.0.0.9", 0},
                                         ValueCase{"SixthFractionCounts", "0.0.0.0.0.0.5", 5e-16},
                                         ValueCase{"NulEndsText", "1.5\0.9"s, 1.5}),
                         CaseName<ValueCase>);

// A divisor that came out as 999 instead of 1000 would shift every fraction.
TEST(VersionValueTest, FractionsUseExactPowersOfThousand)
{
    std::string text = "0";
    double divisor = 1;
    for (int depth = 1; depth <= 6; ++depth) {
        SCOPED_TRACE(depth);
        divisor *= 1000;
        EXPECT_EQ(VersionValue(text + ".1"), 100 / divisor);
        text += ".0";
    }
}

// --- Version ordering ------------------------------------------------------------------------------------

enum class Order
{
    Less,
    Equal
};

struct OrderCase
{
    std::string name;
    std::string lower;
    std::string higher;
    Order order;
};

class VersionOrderTest : public testing::TestWithParam<OrderCase>
{};

TEST_P(VersionOrderTest, ComparesAsReleasesDo)
{
    const OrderCase& c = GetParam();
    const double a = VersionValue(c.lower);
    const double b = VersionValue(c.higher);
    if (c.order == Order::Equal)
        EXPECT_EQ(a, b);
    else
        EXPECT_LT(a, b);
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionOrderTest,
                         testing::Values(OrderCase{"LeadingZeroFractionIsSmaller", "2.05", "2.5", Order::Less},
                                         OrderCase{"TrailingZeroIsSame", "2.1", "2.10", Order::Equal},
                                         OrderCase{"ThreeDigitFractionIsSame", "2.1", "2.100", Order::Equal},
                                         OrderCase{"FractionsAreNotCounters", "1.10", "1.9", Order::Less},
                                         OrderCase{"TagRanksAboveBare", "1.2.3", "1.2.3.-", Order::Less},
                                         OrderCase{"LetterRanksAboveTag", "1.0.-", "1.0.A", Order::Less},
                                         OrderCase{"FifthFractionCounts", "1.0.0.0.0", "1.0.0.0.0.1", Order::Less},
                                         OrderCase{"MajorBeatsFraction", "1.999", "2", Order::Less},
                                         OrderCase{"MajorIsNumeric", "9", "10", Order::Less},
                                         OrderCase{"NoVersionLowest", "", "0.0.0.0.0.0.1", Order::Less}),
                         CaseName<OrderCase>);

// --- MatchesNameList -------------------------------------------------------------------------------------

struct ListCase
{
    std::string name;
    std::string title;
    std::string list;
    bool matches;
};

class MatchesNameListTest : public testing::TestWithParam<ListCase>
{};

TEST_P(MatchesNameListTest, FindsNormalisedEntryInTitle)
{
    const ListCase& c = GetParam();
    StringList scratch{"left", "over"};
    EXPECT_EQ(MatchesNameList(c.title, c.list, scratch), c.matches);
}

INSTANTIATE_TEST_SUITE_P(Cases, MatchesNameListTest,
                         testing::Values(ListCase{"BlankSplitsEntries", "FOO.BAR.V1.0-GRP", "FOO BAR,BAZ", true},
                                         ListCase{"LaterEntryMatches", "Baz", "QUX,BAZ", true},
                                         ListCase{"NoEntryMatches", "FooBar", "QUX,BAZ", false},
                                         ListCase{"TitleUpperCased", "fooBar", "FOOBAR", true},
                                         ListCase{"EntryNotUpperCased", "FOOBAR", "foobar", false},
                                         ListCase{"SubstringMatches", "MyFooBarPro", "FOOBAR", true},
                                         ListCase{"EntryNormalised", "FooBar", "\"FOO.BAR_\"", true},
                                         ListCase{"EntryVersionCut", "FooBar", "FOOBAR.V2.0", true},
                                         ListCase{"QuotedBlankRemoved", "FooBar", "\"FOO BAR\"", true},
                                         ListCase{"EmptyList", "FooBar", "", false},
                                         ListCase{"BlankList", "FooBar", "  ", false},
                                         ListCase{"EmptyEntriesNeverMatch", "FooBar", ",,", false},
                                         ListCase{"DotEntryNeverMatches", "FooBar", ".", false},
                                         ListCase{"UnderscoreEntryNeverMatches", "FooBar", "_,\"  \"", false},
                                         ListCase{"EmptyTitle", "", "FOO", false},
                                         ListCase{"HighBytesMatchAsBytes", "\xC4\xE3\xBA\xC3", "\xC4\xE3", true},
                                         ListCase{"HighBytesNotCaseFolded", "\xE9", "\xC9", false}),
                         CaseName<ListCase>);

TEST(MatchesNameListScratchTest, EmptyListLeavesScratchAlone)
{
    StringList scratch{"GRP", "ABC"};
    EXPECT_FALSE(MatchesNameList("Foo", "", scratch));
    EXPECT_EQ(scratch, (StringList{"GRP", "ABC"}));
}

TEST(MatchesNameListScratchTest, ScratchHoldsParsedEntries)
{
    StringList scratch{"GRP", "ABC", "OLD"};
    EXPECT_FALSE(MatchesNameList("Foo", "X, \"Y Z\"", scratch));
    EXPECT_EQ(scratch, (StringList{"X", "Y Z"}));
}

} // namespace
} // namespace versweep
