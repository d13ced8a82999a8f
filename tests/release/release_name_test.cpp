// Tests of the release-name parts: group tag, version text, title key, version value, name lists.
#include "release/release_name.h"

#include <string>

#include <gtest/gtest.h>

namespace versweep {
namespace {

using namespace std::string_literals;

TEST(NamePartsTest, SplitsReleaseNames)
{
    const struct
    {
        std::string name;
        const char* tag;
        const char* version;
        const char* title;
    } cases[] = {
        {"Foo.Bar.v1.2.3-GRP", "GRP", "1.2.3.-", "FooBar"},
        {"Foo_Bar.v2.10a-GRP", "GRP", "2.10.A", "FooBar"},
        {"Foo.V1.0-GRP", "GRP", "", "Foo"},
        {"Foo.v1.0.build.123-GRP", "GRP", "1.0.123.-", "Foo"},
        {"Foo.vol.2-GRP", "GRP", "", "Foo"},
        {"Foo.v1.2.GRP", "", "1.2.", "Foo"},
        {"Foo.v3", "", "3", "Foo"},
        {"Some Title 2004-GRP", "GRP", "", "SomeTitle2004-GRP"},
        {"Foo.Video.Tool.v1.0-GRP", "GRP", "1.0.-", "Foo"},
        {"Foo-Bar.v1.0-GRP-X", "X", "1.0.-", "Foo-Bar"},
        {"Foo.v1-", "", "1.-", "Foo"},
        // A ".build." before the marker shifts the scan past the version.
        {"Foo.build.Bar.v1.0-GRP", "GRP", "", "FoobuildBar"},
        {"Foo.v1.BUILD.2-GRP", "GRP", "1.2.-", "Foo"},
        {"", "", "", ""},
        {"Foo.v", "", "", "Foo"},
        {".v2-G", "G", "2.-", ""},
        {"Foo.v1\xC4\xE3-G", "G", "1.\xC4", "Foo"},
        {" F o_o. .v1 x", "", "1. ", "Foo"},
        {"a\\b,c\n.v1", "", "1", "a\\b,c\n"},
        {"-rf.v1", "rf.v1", "1", "-rf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtractGroupTag(c.name), c.tag);
        EXPECT_EQ(ExtractVersionText(c.name), c.version);
        EXPECT_EQ(NormalizeTitle(c.name), c.title);
    }
}

TEST(VersionValueTest, ReadsLaterComponentsAsThousandths)
{
    const struct
    {
        std::string text;
        double expected;
    } cases[] = {
        {"1.2.3.-", 1.200300045},
        {"2.10.A", 2.100065},
        {"2.1", 2.1},
        {"1.1234", 1.123},
        {"1..2", 1.2},
        {"1.2.3.", 1.2003},
        {"A.1", 0.1},
        {"", 0},
        {"2147483647", 2147483647.0},
        {"2147483648.5", 2147483648.5},
        {"202401011200", 202401011200.0},
        {"-2147483649", -2147483649.0},
        {"18446744073709551615", 18446744073709551615.0},
        {"18446744073709551616", 18446744073709551615.0}, // saturates instead of wrapping to 0
        {"99999999999999999999999.5", 18446744073709551615.0 + 0.5},
        {"-3.+5", -3 + 0.043},
        {"0x10.5", 0.5},
        {".5", 5},
        {"1. 5 ", 1.5},
        {"1.\001.5", 1.5}, // a component of control bytes only does not take a place
        {"1.5a.5", 1.0005},
        {"1.\xC4", 1.196},
        {"1.99999999999999999999", 1.999},
        {"0.0.0.0.0.0.5", 5e-16},
        {"0.0.0.0.0.0.0.9", 0},
        {"1.5\0.9"s, 1.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(VersionValue(c.text), c.expected);
    }
}

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

TEST(VersionValueTest, RanksVersions)
{
    EXPECT_LT(VersionValue("2.05"), VersionValue("2.5"));
    EXPECT_EQ(VersionValue("2.1"), VersionValue("2.10"));
    EXPECT_EQ(VersionValue("2.1"), VersionValue("2.100"));
    EXPECT_LT(VersionValue("1.10"), VersionValue("1.9"));
    EXPECT_LT(VersionValue("1.2.3"), VersionValue("1.2.3.-"));
    EXPECT_LT(VersionValue("1.0.0.0.0"), VersionValue("1.0.0.0.0.1"));
    EXPECT_LT(VersionValue("1.999"), VersionValue("2"));
}

// The reading a user expects where the thousandths above get it wrong ("1.10" below "1.9").
TEST(ComponentVersionKeyTest, ComparesWholeNumbersLeftToRight)
{
    const struct
    {
        std::string newer;
        std::string older; // equal to `newer` when `same`
        bool same;
    } cases[] = {
        {"1.10", "1.9", false},
        {"1.14.25.-", "1.3.11.-", false},
        {"1.0001", "1", false},
        {"0.0.0.0.0.0.0.9", "0", false}, // past the sixth place the value stops counting
        {"1.2.0.1", "1.2", false},
        {"202401011200", "2024010112", false},
        // The byte that ends a version follows the numbers before it and never outranks another number:
        // the "-" before a group tag must not put 1.2 above 1.2.3.
        {"1.2.3.-", "1.2.-", false},
        {"1.2.0.0.5.-", "1.2.-", false},
        {"2.10.A", "2.10", false},
        {"2.10.B", "2.10.A", false},
        {"2.10.1", "2.10.A", false},
        {"1.05", "1.5", true},
        {"1.2", "1.2.0", true},
        {"1.2.-", "1.2.0.-", true},
        {"1..2", "1.2", true},
        {"1.\001.5", "1.5", true},
        {"A.1", "0.1", true},
        {"0.0", "", true},
        {"99999999999999999999999", "18446744073709551615", true}, // saturates instead of wrapping
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.newer + " against " + c.older);
        if (c.same) {
            EXPECT_EQ(ComponentVersionKey(c.newer), ComponentVersionKey(c.older));
        } else {
            EXPECT_GT(ComponentVersionKey(c.newer), ComponentVersionKey(c.older));
        }
    }
    EXPECT_TRUE(ComponentVersionKey("0.0.0").empty());
}

TEST(MatchesNameListTest, FindsNormalisedEntryInUpperCasedTitle)
{
    const struct
    {
        const char* title;
        std::string list;
        bool matches;
    } cases[] = {
        {"FOO.BAR.V1.0-GRP", "FOO BAR,BAZ", true},
        {"Baz", "QUX,BAZ", true},
        {"FooBar", "QUX,BAZ", false},
        {"fooBar", "FOOBAR", true},
        {"FOOBAR", "foobar", false},
        {"MyFooBarPro", "FOOBAR", true},
        {"FooBar", "\"FOO. BAR_\"", true},
        {"FooBar", "FOOBAR.V2.0", true},
        {"FooBar", "  ", false},
        {"FooBar", ",,", false},
        {"FooBar", "._,\" \"", false},
        {"", "FOO", false},
        {"\xC4\xE3\xBA\xC3", "\xC4\xE3", true},
        {"\xE9", "\xC9", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " in " + c.list);
        StringList scratch{"left", "over"};
        EXPECT_EQ(MatchesNameList(c.title, c.list, scratch), c.matches);
    }
}

TEST(MatchesNameListTest, ScratchTakesParsedEntriesUnlessListIsEmpty)
{
    StringList scratch{"GRP", "ABC", "OLD"};
    EXPECT_FALSE(MatchesNameList("Foo", "", scratch));
    EXPECT_EQ(scratch, (StringList{"GRP", "ABC", "OLD"}));
    EXPECT_FALSE(MatchesNameList("Foo", "X, \"Y Z\"", scratch));
    EXPECT_EQ(scratch, (StringList{"X", "Y Z"}));
}

} // namespace
} // namespace versweep
