// Tests of the sweep session's commands that correct the marks: by group tag and by emptiness.
#include "scan/sweep_session.h"

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace versweep {
namespace {

std::vector<std::string> Verdicts(const Listing& listing)
{
    std::vector<std::string> rows;
    for (const Entry& entry : listing.Entries())
        rows.push_back((entry.checked ? "[x] " : "[ ] ") + entry.name + " " +
                       std::string(ReasonName(entry.mark.reason)));
    return rows;
}

// A group entry checks its tag in any case and a second click takes the checks back; the empty-folder command
// only ever checks. Each records its reason only where it changes a mark, which says more than the command.
TEST(SweepSession, CommandsMarkByGroupAndEmptinessAndSayWhy)
{
    const test::TempDir dir;
    for (const char* name : {"Game.v1-GRP", "Tool.v1-grp2", "Tool.v2-X-grp", "Kit.v1-X"})
        dir.MakeDir(std::string("F/") + name);
    dir.MakeFile("F/Game.v2-Grp/data", 300);
    dir.MakeFile("F/Kit.v2-Y/note", 10);
    SweepSession session(dir / "undo", "en_US");
    ASSERT_FALSE(session.List(dir / "F", {}));

    EXPECT_EQ(session.CheckGroup("grp", true), 2U);
    EXPECT_EQ(
        Verdicts(session.CurrentListing()),
        (std::vector<std::string>{"[x] Game.v1-GRP older", "[x] Game.v2-Grp group", "[x] Kit.v1-X older",
                                  "[ ] Kit.v2-Y newest", "[x] Tool.v1-grp2 older", "[x] Tool.v2-X-grp group"}));
    EXPECT_EQ(session.CheckGroup("GRP", false), 3U);
    EXPECT_EQ(session.CheckEmptyFolders(), 3U);
    EXPECT_EQ(
        Verdicts(session.CurrentListing()),
        (std::vector<std::string>{"[x] Game.v1-GRP empty", "[ ] Game.v2-Grp group", "[x] Kit.v1-X older",
                                  "[x] Kit.v2-Y empty", "[x] Tool.v1-grp2 older", "[x] Tool.v2-X-grp empty"}));
}

TEST(SweepSession, FolderThatCannotBeListedLeavesItListedEmpty)
{
    const test::TempDir dir;
    SweepSession session(dir / "undo", "en_US");
    const std::optional<platform::SystemError> error = session.List(dir / "missing", {});
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, ENOENT);
    EXPECT_TRUE(session.CurrentListing().IsListed());
    EXPECT_EQ(session.CurrentListing().Folder(), dir / "missing");
    EXPECT_TRUE(session.CurrentListing().Entries().empty());
}

} // namespace
} // namespace versweep
