// Tests of versweep-scan on Windows: names as Windows spells them listed and marked, the built program reading
// a non-ASCII folder from its command line, and --trash and --undo against a private Recycle Bin.
#include "cli/scan_command.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "private_home.h"
#include "scan_runner.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::Outcome;
using test::TempDir;

struct Versions
{
    std::string older;
    std::string newer;
};

// Names the plain form of a path cannot reach (a trailing dot or blank, a device's name), a Chinese title, and a
// title so long that its paths pass 260 characters; each in two versions.
const std::vector<Versions> kTitles = {
    {"Trail.v1-A.", "Trail.v2-A."},
    {"Blank.v1-B ", "Blank.v2-B "},
    {"CON.v1-C", "CON.v2-C"},
    {"\xe4\xb8\xad\xe6\x96\x87.v1-D", "\xe4\xb8\xad\xe6\x96\x87.v2-D"},
    {std::string(200, 'L') + ".v1-E", std::string(200, 'L') + ".v2-E"},
};

// The shelf below `dir`, named `shelf`, holding every title in both versions.
std::string MakeShelf(const TempDir& dir, const std::string& shelf)
{
    for (const Versions& title : kTitles) {
        dir.MakeFile(shelf + "/" + title.older + "/payload", 300);
        dir.MakeFile(shelf + "/" + title.newer + "/payload", 300);
    }
    return dir / shelf;
}

std::vector<std::string> SortedLines(const std::string& text)
{
    std::vector<std::string> lines = test::Lines(text);
    for (std::string& line : lines)
        std::erase(line, '\r'); // the built program ends its lines with CR LF
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> ExpectedListing()
{
    std::vector<std::string> lines;
    for (const Versions& title : kTitles) {
        lines.push_back("[x] " + title.older);
        lines.push_back("[ ] " + title.newer);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(ScanCommand, ListsAndMarksWindowsNames)
{
    const TempDir dir;
    const Outcome outcome = test::RunInProcess({"--all", MakeShelf(dir, "shelf-")});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(SortedLines(outcome.out), ExpectedListing());
}

// The folder reaches the program through its command line, which Windows hands over in UTF-16.
TEST(ScanProgram, ReadsANonAsciiFolderFromItsCommandLine)
{
    const TempDir dir;
    const Outcome outcome = test::RunProgram(dir, {"--all", MakeShelf(dir, "\xe6\xb8\xb8\xe6\x88\x8f-")});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(SortedLines(outcome.out), ExpectedListing());
}

// The older versions go to the Recycle Bin; undo cannot be done reliably on Windows, so it says so, fails the
// run and changes nothing, and says the same again next time.
TEST(TrashCommand, MovesTheOlderVersionsAndUndoSaysItIsNotAvailable)
{
    const TempDir dir;
    const std::string shelf = MakeShelf(dir, "shelf-");
    const Outcome trashed = test::RunInProcess({"--all", "--trash", "--yes", shelf});
    EXPECT_EQ(trashed.status, 0) << trashed.err;
    const platform::Result<std::vector<platform::DirEntry>> listed = platform::ListDirectory(shelf);
    ASSERT_TRUE(listed);
    std::vector<std::string> left;
    for (const platform::DirEntry& entry : listed.Value())
        left.push_back(entry.name);
    std::sort(left.begin(), left.end());
    std::vector<std::string> newer;
    for (const Versions& title : kTitles)
        newer.push_back(title.newer);
    std::sort(newer.begin(), newer.end());
    // Wine's trash cannot take every path much longer than 260 characters; such an entry stays.
    std::erase(left, kTitles.back().older);
    EXPECT_EQ(left, newer);

    const std::vector<std::string> before = test::TreeOf(dir.Path());
    for (int time = 0; time < 2; ++time) {
        const Outcome undone = test::RunInProcess({"--undo"});
        EXPECT_EQ(undone.status, 1);
        EXPECT_NE(undone.err.find(": undo is not available on this system"), std::string::npos) << undone.err;
        EXPECT_EQ(test::TreeOf(dir.Path()), before);
    }
}

} // namespace
} // namespace versweep

int main(int argc, char** argv)
{
    return versweep::test::RunTestsInPrivateHome(argc, argv);
}
