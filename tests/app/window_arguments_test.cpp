// Tests of the window's command line: which folder it opens and which words it refuses.
#include "app/window_arguments.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace versweep {
namespace {

struct ArgumentsCase
{
    const char* name;
    std::vector<std::string> words;
    const char* folder; ///< below the temporary folder; null for none
    bool help;
    const char* error; ///< the start of the message; empty for none
};

class WindowArgumentsTest : public testing::TestWithParam<ArgumentsCase>
{};

TEST_P(WindowArgumentsTest, OpensTheFolderNamedOrSaysWhy)
{
    const ArgumentsCase& c = GetParam();
    test::TempDir temp;
    temp.MakeDir("Downloads/-odd name");
    temp.MakeFile("Downloads/file.txt");
    const WindowArguments arguments = ParseWindowArguments(c.words, temp / "Downloads");
    EXPECT_EQ(arguments.help, c.help);
    EXPECT_EQ(arguments.error.substr(0, std::string(c.error).size()), c.error) << arguments.error;
    if (arguments.error.empty()) {
        EXPECT_EQ(arguments.folder, c.folder != nullptr ? std::optional(temp / c.folder) : std::nullopt);
    }
}

const ArgumentsCase kCases[] = {
    {"Nothing", {}, nullptr, false, ""},
    {"CurrentFolder", {"."}, "Downloads", false, ""},
    {"RelativeWithDots", {"./-odd name/../-odd name/"}, "Downloads/-odd name", false, ""},
    {"LeadingDashAfterDoubleDash", {"--", "-odd name"}, "Downloads/-odd name", false, ""},
    {"LeadingDashIsAnOption", {"-odd name"}, nullptr, false, "unknown option"},
    {"Help", {"--help"}, nullptr, true, ""},
    {"FileIsNoFolder", {"file.txt"}, nullptr, false, "not a folder"},
    {"Missing", {"gone"}, nullptr, false, "not a folder"},
    {"TwoFolders", {".", "-odd name"}, nullptr, false, "unknown option"},
    {"TwoFoldersAfterDoubleDash", {"--", ".", "-odd name"}, nullptr, false, "only one FOLDER"},
};

std::string CaseName(const testing::TestParamInfo<ArgumentsCase>& tested)
{
    return tested.param.name;
}

INSTANTIATE_TEST_SUITE_P(Words, WindowArgumentsTest, testing::ValuesIn(kCases), CaseName);

} // namespace
} // namespace versweep
