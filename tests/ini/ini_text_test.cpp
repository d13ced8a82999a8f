// Edits of INI text: where a value lands, what else stays byte for byte, and what is refused.
#include "ini/ini_text.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "case_name.h"

namespace versweep {
namespace {

struct EditCase
{
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::optional<std::string> after; // nullopt: refused
};

class SetIniValueTest : public testing::TestWithParam<EditCase>
{};

TEST_P(SetIniValueTest, GivesExpectedText)
{
    const EditCase& c = GetParam();
    const std::optional<std::string> after = SetIniValue(c.before, c.section, c.key, c.value);
    EXPECT_EQ(after, c.after);
    // A key without a value reads like an empty one.
    if (after) {
        EXPECT_EQ(FindIniValue(*after, c.section, c.key).value_or(""), c.value);
    }
}

const EditCase kEditCases[] = {
    {"ReplacesValueKeepingSpacing", "[A]\r\n  k = old  \r\n", "A", "k", "new", "[A]\r\n  k = new  \r\n"},
    {"KeepsOtherLineEndings", "[A]\nk=old\rj=1\n", "A", "k", "new", "[A]\nk=new\rj=1\n"},
    {"MatchesNamesIgnoringCase", "[a]\r\nK=old\r\n", "A", "k", "new", "[a]\r\nK=new\r\n"},
    {"ValuelessKeyGetsEquals", "[A]\r\n k \r\n", "A", "k", "new", "[A]\r\n k=new \r\n"},
    {"FirstOfDuplicateKeys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "3", "[A]\r\nk=3\r\nk=2\r\n"},
    {"NewKeyInFirstOfDuplicateSections", "[A]\r\nj=1\r\n[A]\r\nk=2\r\n", "A", "k", "3",
     "[A]\r\nj=1\r\nk=3\r\n[A]\r\nk=2\r\n"},
    {"NewKeyRightAfterBareHeader", "[A]\n\n[B]\n", "A", "k", "2", "[A]\nk=2\r\n\n[B]\n"},
    {"NewKeyAfterUnterminatedHeader", "[A]", "A", "k", "2", "[A]\r\nk=2\r\n"},
    {"NewSectionAfterBom", "\xEF\xBB\xBF", "A", "k", "2", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
    {"NewSectionReusesBlankLine", "[B]\r\nj=1\r\n\r\n", "A", "k", "2", "[B]\r\nj=1\r\n\r\n[A]\r\nk=2\r\n"},
    {"KeyOutsideAnySectionLeftAlone", "k=1\n", "A", "k", "2", "k=1\n\r\n[A]\r\nk=2\r\n"},
    {"BlankEndsQuoted", "[A]\r\nk=old\r\n", "A", "k", " x\t", "[A]\r\nk=\" x\t\"\r\n"},
    {"UnchangedQuotedValue", "[A]\r\nk = \"same\" \n", "A", "k", "same", "[A]\r\nk = \"same\" \n"},
    {"UnchangedValuelessKey", "[A]\r\nk\r\n", "A", "k", "", "[A]\r\nk\r\n"},
    {"RefusesLineFeedInValue", "", "A", "k", "a\n[B]", std::nullopt},
    {"RefusesEqualsInKey", "", "A", "k=j", "1", std::nullopt},
    {"RefusesCommentKey", "", "A", ";k", "1", std::nullopt},
    {"RefusesBracketInSection", "", "A]", "k", "1", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Edits, SetIniValueTest, testing::ValuesIn(kEditCases), test::CaseName());

} // namespace
} // namespace versweep
