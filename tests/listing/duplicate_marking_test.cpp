// Tests of the marking step: named lists with hand-derived marks and reasons, and random lists against the
// literal rules.
#include "listing/duplicate_marking.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reference_marking.h"

namespace versweep {
namespace {

// One mark per entry: 'X' checked, 'D' dropped from the list, '.' left alone.
std::string Marks(const MarkingResult& result)
{
    std::string marks;
    for (std::size_t i = 0; i < result.checked.size(); ++i) {
        marks += result.checked[i] ? (result.dropped[i] ? '?' : 'X') : (result.dropped[i] ? 'D' : '.');
    }
    return marks;
}

struct MarkingCase
{
    const char* name;
    std::vector<std::string> entries; // in list order
    std::string expected;             // Marks() of the result
    bool onlyDuplicate = true;
    std::string whiteList = {};
    std::string blackList = {};
    int keepCount = 1;
};

void PrintTo(const MarkingCase& c, std::ostream* out)
{
    *out << c.name;
}

MarkingInput InputOf(const MarkingCase& c)
{
    MarkingInput input;
    input.names = c.entries;
    input.whiteList = c.whiteList;
    input.blackList = c.blackList;
    input.onlyDuplicate = c.onlyDuplicate;
    input.keepCount = c.keepCount;
    return input;
}

const MarkingCase kMarkingCases[] = {
    {"NewestPairStaysOlderChecked", {"Game.v1.0-AAA", "Game.v1.1-BBB", "Game.v1.1-CCC"}, "X.."},
    {"OlderAfterNewerIsChecked", {"Game.v2.0-X", "Game.v1.0-Y"}, ".X"},
    {"UnderscoreAndDotTitlesShareKey", {"Foo_Bar.v1.0-A", "Foo.Bar.v2.0-B", "Foo Bar.v3.0-C"}, "XX."},
    {"KeyIgnoresCase", {"FOO.bar.v1-A", "foo.Bar.v2-B"}, "X."},
    {"CapitalMarkerHasNoVersionSoNewerLooksOlder", {"game.v1.0-A", "GAME.V2.0-B"}, ".X"},
    {"CapitalMarkerFirstConsumedUnchecked", {"GAME.V2.0-B", "game.v1.0-A"}, "DD"},
    {"CapitalMarkerFirstKeptWithoutOnlyDuplicate", {"GAME.V2.0-B", "game.v1.0-A"}, "..", false},
    {"VersionlessAfterVersionedIsChecked", {"Tool.v1.0-A", "Tool.vX-B"}, ".X"},
    {"VersionlessBeforeVersionedIsDropped", {"Tool.vX-B", "Tool.v1.0-A"}, "DD"},
    {"VersionlessBeforeVersionedKept", {"Tool.vX-B", "Tool.v1.0-A"}, "..", false},
    {"VersionlessOnBothSides", {"Game.vAlpha-A", "Game.v1.0-B", "Game.vBeta-C"}, "D.X"},
    {"VersionlessAloneDropped", {"Readme", "Tool.vX-B"}, "DD"},
    {"SingletonsDropped", {"Alpha.v1.0-A", "Beta.v1.0-B", "Beta.v2.0-C"}, "DX."},
    {"SingletonsKeptWithoutOnlyDuplicate", {"Alpha.v1.0-A", "Beta.v1.0-B", "Beta.v2.0-C"}, ".X.", false},
    {"KeepGroupCheckedWhenNewerArrives", {"Game.v1.0-A", "Game.v1.00-B", "Game.v3-C", "Game.v2-D"}, "XX.X"},
    {"EqualValuesSpelledDifferently", {"Game.v2.1-A", "Game.v2.10-B", "Game.v2.100-C"}, "..."},
    {"LetterAfterDigitsRaisesValue", {"Game.v2.10a-A", "Game.v2.10-B"}, ".X"},
    // Date stamps go past 32 bits; read in 32 they would wrap and the newest would look oldest.
    {"DateStampVersions",
     {"Tool.v202401011200-G", "Tool.v2024010112-G", "Tool.v99999999999999999999999-G"},
     "XX."},
    {"WhiteTitleNeverChecked", {"Game.v1.0-A", "Game.v2.0-B"}, "..", true, "GAME"},
    {"WhiteSingletonNotDropped", {"Game.v1.0-A"}, ".", true, "GAME"},
    {"WhiteVersionlessStillDropped", {"Game.v1.0-A", "Game.vX-B"}, ".D", true, "GAME"},
    {"WhiteMatchesSubstringOfTitle", {"MyGame.v1.0-A", "MyGame.v2.0-B"}, "..", true, "OTHER,GAME"},
    {"WhiteEntryNormalised", {"Game.v1.0-A", "Game.v2.0-B"}, "..", true, "G.A_ME"},
    {"WhiteEntryEmptyAfterNormalising", {"Game.v1.0-A", "Game.v2.0-B"}, "X.", true, "._"},
    {"BlackTitleAllChecked", {"Game.v1.0-A", "Game.v2.0-B"}, "XX", true, {}, "GAME"},
    {"BlackSingletonCheckedNotDropped", {"Game.v1.0-A"}, "X", true, {}, "GAME"},
    {"BlackVersionlessDroppedUnchecked", {"Game.v1.0-A", "Game.vX-B"}, "XD", true, {}, "GAME"},
    {"BlackVersionlessKeptUnchecked", {"Game.v1.0-A", "Game.vX-B"}, "X.", false, {}, "GAME"},
    {"BlackLeavesOtherTitles", {"Game.v1.0-A", "Tool.v1.0-B", "Tool.v2.0-C"}, "XX.", true, {}, "GAME"},
    {"WhiteBeatsBlack", {"Game.v1.0-A", "Game.v2.0-B"}, "..", true, "GAME", "GAME"},
    {"BlankSeparatedListEntries", {"Game.v1.0-A", "Tool.v1.0-B"}, "XX", true, {}, "TOOL GAME"},
    {"EmptyKeysCompareAmongThemselves", {".v1.0-A", ".v2.0-B", "Foo.v1.0-C"}, "X.D"},
    {"EmptyKeyNeverChecksOtherTitle", {".v2.0-A", "Foo.v1.0-B"}, "..", false},
    {"EmptyNamesAreConsumed", {"", "Game.v1.0-A", "", "Game.v2.0-B"}, ".X.."},
    {"DifferentTitlesIndependent", {"Game.v2-A", "Tool.v1-B", "Game.v1-C", "Tool.v3-D"}, ".XX."},
};

class MarkingCaseTest : public testing::TestWithParam<MarkingCase>
{};

TEST_P(MarkingCaseTest, GroupedStepGivesExpectedMarks)
{
    EXPECT_EQ(Marks(MarkDuplicates(InputOf(GetParam()))), GetParam().expected);
}

TEST_P(MarkingCaseTest, PlainLoopGivesExpectedMarks)
{
    EXPECT_EQ(Marks(test::ReferenceMarkDuplicates(InputOf(GetParam()))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lists, MarkingCaseTest, testing::ValuesIn(kMarkingCases),
                         [](const testing::TestParamInfo<MarkingCase>& param) { return param.param.name; });

// Keeping more than one version: what stays, and that an entry without a version is never checked.
const MarkingCase kKeepCases[] = {
    {.name = "EqualValuesCountOnceWhateverTheOrder",
     .entries = {"Game.v2.1-B", "Game.v1.0-A", "Game.v3-D", "Game.v2.10-C", "Game.v1.00-E"},
     .expected = ".X..X",
     .keepCount = 2},
    {.name = "VersionlessAmongVersionsUnchecked",
     .entries = {"Tool.v1.0-A", "Tool.vX-B", "Tool.v2.0-C", "Tool.v3.0-D"},
     .expected = "X...",
     .keepCount = 2},
    {.name = "VersionlessFirstStillDropped",
     .entries = {"Tool.vX-B", "Tool.v1.0-A"},
     .expected = "DD",
     .keepCount = 3},
    {.name = "SingletonDroppedFewerVersionsThanKept",
     .entries = {"Alpha.v1-A", "Beta.v1-B", "Beta.v2-C"},
     .expected = "D..",
     .keepCount = 3},
    {.name = "BlackChecksEveryVersioned",
     .entries = {"Game.v1-A", "Game.v2-B", "Game.vX-C"},
     .expected = "XXD",
     .blackList = "GAME",
     .keepCount = 3},
};

class KeepCaseTest : public testing::TestWithParam<MarkingCase>
{};

TEST_P(KeepCaseTest, GroupedStepGivesExpectedMarks)
{
    EXPECT_EQ(Marks(MarkDuplicates(InputOf(GetParam()))), GetParam().expected);
}

TEST_P(KeepCaseTest, LiteralRuleGivesExpectedMarks)
{
    EXPECT_EQ(Marks(test::ReferenceKeepNewest(InputOf(GetParam()))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lists, KeepCaseTest, testing::ValuesIn(kKeepCases),
                         [](const testing::TestParamInfo<MarkingCase>& param) { return param.param.name; });

// Each entry as "[x] reason", then ">successor" for an older one and " ambiguous" when its title is.
std::vector<std::string> Verdicts(const MarkingInput& input, const MarkingResult& result)
{
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < result.checked.size(); ++i) {
        std::string row = (result.checked[i] ? "[x] " : "[ ] ") + std::string(ReasonName(result.reasons[i]));
        if (result.successors[i]) {
            row += ">" + input.names[*result.successors[i]];
        }
        rows.push_back(row + (result.ambiguous[i] ? " ambiguous" : ""));
    }
    return rows;
}

struct ReasonCase
{
    const char* name;
    std::vector<std::string> entries;
    std::vector<std::string> expected; // Verdicts() of the result
    int keepCount = 1;
    std::string whiteList = {};
    std::string blackList = {};
};

void PrintTo(const ReasonCase& c, std::ostream* out)
{
    *out << c.name;
}

const ReasonCase kReasonCases[] = {
    // As thousandths 1.3.11 is the newest and 1.14.25 the oldest; as whole numbers the other way round.
    {"NewestByEitherReadingStays",
     {"Archiver.v1.3.11-A", "Archiver.v1.14.25-B", "Archiver.v1.2-C"},
     {"[ ] ambiguous_kept ambiguous", "[ ] ambiguous_kept ambiguous", "[x] older>Archiver.v1.14.25-B ambiguous"}},
    {"LeadingZeroReadTwoWays",
     {"Game.v2.5-A", "Game.v2.05-B"},
     {"[ ] newest ambiguous", "[ ] ambiguous_kept ambiguous"}},
    {"ReadingsAgree",
     {"Game.v1.0-AAA", "Game.v1.1-BBB", "Game.v1.1-CCC"},
     {"[x] older>Game.v1.1-BBB", "[ ] newest", "[ ] newest"}},
    {"VersionlessAroundOnlyVersion",
     {"Tool.vX-A", "Tool.v1.0-B", "Tool.vY-C", "Solo.v1-D"},
     {"[ ] no_version", "[ ] only_version", "[x] older>Tool.v1.0-B", "[ ] only_version"}},
    {"KeepTwoUnderEitherReading",
     {"Kit.v1.10-A", "Kit.v1.9-B", "Kit.v1.8-C", "Kit.v1.7-D"},
     {"[ ] ambiguous_kept ambiguous", "[ ] newest ambiguous", "[ ] ambiguous_kept ambiguous",
      "[x] older>Kit.v1.10-A ambiguous"},
     2},
    // "0.0001" has no value as thousandths, yet is the newer as whole numbers.
    {"NoValueButNewestByComponents",
     {"Tool.v0.0.5-A", "Tool.v0.0001-B"},
     {"[ ] ambiguous_kept ambiguous", "[ ] ambiguous_kept ambiguous"}},
    {"ListsDecideAlone",
     {"Game.v1-A", "Game.v1.10-B", "Game.v1.9-C", "Game.vX-D", "Tool.v1-E", "Tool.v2-F"},
     {"[ ] white_list", "[ ] white_list", "[ ] white_list", "[ ] no_version", "[x] black_list", "[x] black_list"},
     1,
     "GAME",
     "TOOL"},
};

class ReasonCaseTest : public testing::TestWithParam<ReasonCase>
{};

TEST_P(ReasonCaseTest, EveryEntrySaysWhy)
{
    const ReasonCase& c = GetParam();
    MarkingInput input;
    input.names = c.entries;
    input.keepCount = c.keepCount;
    input.whiteList = c.whiteList;
    input.blackList = c.blackList;
    input.onlyDuplicate = false;
    const MarkingResult result = MarkDuplicates(input);
    EXPECT_EQ(Verdicts(input, result), c.expected);
    EXPECT_EQ(result.ambiguousTitles, c.expected.back().ends_with("ambiguous") ? 1U : 0U);
}

INSTANTIATE_TEST_SUITE_P(Lists, ReasonCaseTest, testing::ValuesIn(kReasonCases),
                         [](const testing::TestParamInfo<ReasonCase>& param) { return param.param.name; });

// Random lists built from pieces that exercise every branch: case variants of one title, blanks,
// dots and underscores inside titles, both marker spellings, equal values in different spellings,
// missing versions, empty keys and empty names.
class ListMaker
{
public:
    // `titleNumbers` above 1 appends a number to about half the titles, for lists of many keys.
    ListMaker(std::uint32_t seed, std::size_t titleNumbers) : m_random(seed), m_titleNumbers(titleNumbers) {}

    MarkingInput Make(std::size_t minSize, std::size_t maxSize)
    {
        static constexpr std::array kTitles{"Game",   "GAME", "game",  "Foo_Bar", "Foo.Bar", "Foo Bar",
                                            "FooBar", "Tool", "Alpha", "x",       "",        "My.Game"};
        static constexpr std::array kMarkers{".v", ".v", ".v", ".V", "", "_v", ".v."};
        static constexpr std::array kVersions{
            "1.0", "1.00", "1.0.0", "2",   "1.10",        "1.1", "2.10a", "2.1",     "0",      "0.0",   "",
            "X",   "beta", "3.2.1", "1.9", "1.0.build.5", "1.5", "1.05",  "1.14.25", "1.3.11", "0.0001"};
        static constexpr std::array kTags{"-AAA", "-B", "", "-grp-X", "-a b"};
        static constexpr std::array kLists{"",        "",           "",      "GAME", "FOO", "TOOL",
                                           "FOO BAR", "ALPHA,GAME", "G.AME", ".",    "X",   "\"MY GAME\""};

        const std::size_t size = minSize + Pick(maxSize - minSize + 1);
        MarkingInput input;
        // From 1, so that the lists are the ones these seeds have always made.
        for (std::size_t i = 1; i < size; ++i) {
            if (Pick(12) == 0) {
                input.names.emplace_back();
                continue;
            }
            std::string title = kTitles[Pick(kTitles.size())];
            if (m_titleNumbers > 1 && Pick(2) == 0) {
                title += std::to_string(Pick(m_titleNumbers));
            }
            input.names.push_back(title + kMarkers[Pick(kMarkers.size())] + kVersions[Pick(kVersions.size())] +
                                  kTags[Pick(kTags.size())]);
        }
        input.whiteList = kLists[Pick(kLists.size())];
        input.blackList = kLists[Pick(kLists.size())];
        input.onlyDuplicate = Pick(2) == 0;
        return input;
    }

private:
    std::size_t Pick(std::size_t count)
    {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(m_random);
    }

    std::mt19937 m_random;
    std::size_t m_titleNumbers;
};

std::string Describe(std::uint32_t seed, const MarkingInput& input)
{
    std::ostringstream text;
    text << "seed " << seed << ", onlyDuplicate " << input.onlyDuplicate << ", white [" << input.whiteList
         << "], black [" << input.blackList << "]\n";
    for (std::size_t i = 0; i < input.names.size(); ++i) {
        text << "  " << i << ": [" << input.names[i] << "]\n";
    }
    return text.str();
}

struct RandomBatch
{
    const char* name;
    std::uint32_t firstSeed;
    int lists;
    std::size_t minSize;
    std::size_t maxSize;
    std::size_t titleNumbers;
    int keepCount = 1;
};

void PrintTo(const RandomBatch& batch, std::ostream* out)
{
    *out << batch.name;
}

// Compares the grouped step with the literal rule of the two readings on the batch's lists, reporting the
// first few that differ.
void ExpectAgreement(const RandomBatch& batch)
{
    int mismatches = 0;
    for (int n = 0; n < batch.lists && mismatches < 3; ++n) {
        // Each list has its own seed, so a failure replays from the printed number alone.
        const std::uint32_t seed = batch.firstSeed + static_cast<std::uint32_t>(n);
        MarkingInput input = ListMaker(seed, batch.titleNumbers).Make(batch.minSize, batch.maxSize);
        input.keepCount = batch.keepCount;
        const MarkingResult expected = test::ReferenceTwoReadings(input);
        const MarkingResult actual = MarkDuplicates(input);
        if (actual.checked != expected.checked || actual.dropped != expected.dropped ||
            actual.ambiguous != expected.ambiguous) {
            ++mismatches;
            ADD_FAILURE() << Describe(seed, input) << "keep " << input.keepCount
                          << "\nreference: " << Marks(expected) << "\ngrouped:   " << Marks(actual);
        }
    }
}

const RandomBatch kRandomBatches[] = {
    {"Tiny", 1000, 3000, 1, 8, 1},
    {"Small", 100000, 3000, 1, 60, 1},
    {"SmallManyTitles", 200000, 1000, 1, 60, 12},
    {"Large", 900000, 10, 500, 500, 1},
    {"LargeManyTitles", 910000, 10, 500, 500, 80},
    {"TinyKeep2", 400000, 3000, 1, 8, 1, 2},
    {"SmallKeep2", 500000, 1000, 1, 60, 1, 2},
    {"SmallKeep3", 600000, 1000, 1, 60, 1, 3},
    {"SmallKeep5", 700000, 1000, 1, 60, 1, 5},
    {"SmallManyTitlesKeep3", 800000, 500, 1, 60, 12, 3},
    {"LargeKeep3", 920000, 10, 500, 500, 1, 3},
    {"LargeManyTitlesKeep2", 930000, 10, 500, 500, 80, 2},
};

class MarkingAgreementTest : public testing::TestWithParam<RandomBatch>
{};

TEST_P(MarkingAgreementTest, GroupedStepAgreesWithLiteralRule)
{
    ExpectAgreement(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Random, MarkingAgreementTest, testing::ValuesIn(kRandomBatches),
                         [](const testing::TestParamInfo<RandomBatch>& param) { return param.param.name; });

} // namespace
} // namespace versweep
