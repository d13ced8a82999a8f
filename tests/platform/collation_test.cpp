// Tests of the lists' name order: case ignored, accents kept, ties in byte order, under any locale.
#include "platform/collation.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "case_name.h"

namespace versweep::platform {
namespace {

using Texts = std::vector<std::string>;

Texts Sorted(Texts texts, const char* locale = "en_US")
{
    Collation collation(locale);
    std::sort(texts.begin(), texts.end(), [&](const std::string& a, const std::string& b) {
        return collation.SortKey(a) < collation.SortKey(b);
    });
    return texts;
}

struct OrderCase
{
    const char* name;
    Texts input;
    Texts expected;
    // When the system's comparison differs: Windows passes over hyphens and ranks punctuation its own way.
    Texts onWindows = {};
};

// The order a case expects on the system the test runs on.
const Texts& Expected(const OrderCase& c)
{
#ifdef _WIN32
    if (!c.onWindows.empty())
        return c.onWindows;
#endif
    return c.expected;
}

class CollationOrder : public testing::TestWithParam<OrderCase>
{};

TEST_P(CollationOrder, SameWhicheverOrderTheNamesComeIn)
{
    const OrderCase& c = GetParam();
    EXPECT_EQ(Sorted(c.input), Expected(c));
    EXPECT_EQ(Sorted(Texts(c.input.rbegin(), c.input.rend())), Expected(c));
}

const OrderCase kOrderCases[] = {
    {"CaseIgnored", {"beta", "Alpha", "gamma"}, {"Alpha", "beta", "gamma"}},
    {"CaseTiesInByteOrder", {"abc", "ABC", "Abc"}, {"ABC", "Abc", "abc"}},
    {"AccentsCount",
     {"r\xC3\xA9sum\xC3\xA9", "resume", "Resume", "resumf"},
     {"Resume", "resume", "r\xC3\xA9sum\xC3\xA9", "resumf"}},
    {"DigitsBeforeLetters", {"b1", "10", "2", "a"}, {"10", "2", "a", "b1"}},
    {"ReleaseNames",
     {"game.v1.10-GRP", "Game.v1.2-grp", "GAME.v1.1-X", "Gamer.v1-A"},
     {"GAME.v1.1-X", "game.v1.10-GRP", "Game.v1.2-grp", "Gamer.v1-A"},
     {"game.v1.10-GRP", "GAME.v1.1-X", "Game.v1.2-grp", "Gamer.v1-A"}},
    {"InvalidUtf8KeptAndOrderedByBytes", {"a\xFF", "a\xFE", "a", "a\xC3"}, {"a", "a\xC3", "a\xFE", "a\xFF"}},
    {"ZeroByteIgnoredThenByteOrder", {"xy", std::string("x\0y", 3), ""}, {"", std::string("x\0y", 3), "xy"}},
    {"Punctuation", {"!b", "_u", "(p"}, {"_u", "!b", "(p"}, {"!b", "(p", "_u"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CollationOrder, testing::ValuesIn(kOrderCases), test::CaseName());

// Case is ignored under every locale, the POSIX one (what ICU makes of LANG=C) included.
TEST(Collation, AnyLocaleNameIgnoresCase)
{
    const char* locales[] = {"en_US", "de_DE",         "zh_CN", "en_US_POSIX", "",
                             "root",  "no_SUCH_place", "@@@;=", nullptr};
    for (const char* locale : locales) {
        SCOPED_TRACE(locale == nullptr ? "default" : locale);
        EXPECT_EQ(Sorted({"beta", "Alpha", "gamma", "Beta2", "!x"}, locale),
                  (Texts{"!x", "Alpha", "beta", "Beta2", "gamma"}));
    }
}

} // namespace
} // namespace versweep::platform
