// Tests of the empty-folder test and the byte count behind it, on real temporary folder trees.
#include "scan/empty_folder.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/tree_size.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::TempDir;

constexpr std::uint64_t kGiB = 1024ULL * 1024 * 1024;

struct SizeCase
{
    std::string name;
    std::function<void(const TempDir&)> build;
    std::string path;  // relative to the temporary folder; empty means the folder itself
    std::int64_t size; // the full count, without a limit
    bool complete;     // whether the walk without a limit read everything
    bool empty;
    bool linksOrAnyBytes = false; // made only where TempDir makes links and names of any bytes
};

void PrintTo(const SizeCase& c, std::ostream* out)
{
    *out << c.name;
}

const std::vector<SizeCase> kSizeCases = {
    {"NothingAtAll", [](const TempDir&) {}, "", 0, true, true},
    {"OnlySubfoldersAtAnyDepth",
     [](const TempDir& d) {
         d.MakeDir("a/b/c/d");
         d.MakeDir("a/e");
         d.MakeDir(".hidden/x");
     },
     "", 0, true, true},
    {"Files255BytesInAll",
     [](const TempDir& d) {
         d.MakeFile("f1", 200);
         d.MakeFile("sub/f2", 55);
     },
     "", 255, true, true},
    {"Files256BytesInAll",
     [](const TempDir& d) {
         d.MakeFile("f1", 200);
         d.MakeFile("sub/deeper/f2", 56);
     },
     "", 256, true, false},
    {"FileDeepInside", [](const TempDir& d) { d.MakeFile("a/b/c/d/e/big", 1000); }, "", 1000, true, false},
    // Every branch must be visited after climbing back out of a deeper one, or bytes go missing.
    {"FilesSpreadOverBranches256",
     [](const TempDir& d) {
         d.MakeDir("a/b/c/d/e");
         d.MakeFile("a/b/z/f", 100);
         d.MakeFile("a/q/f", 100);
         d.MakeDir("a/q/r/s");
         d.MakeFile("r/f", 50);
         d.MakeFile("r/t/u/f", 6);
     },
     "", 256, true, false},
    {"HiddenFileCounts", [](const TempDir& d) { d.MakeFile(".hidden", 300); }, "", 300, true, false},
    {"FileInHiddenFolderCounts", [](const TempDir& d) { d.MakeFile(".git/objects/x", 300); }, "", 300, true,
     false},
    {"OddFileNamesCount",
     [](const TempDir& d) {
         d.MakeFile("new\nline", 100);
         d.MakeFile("\xff\xfe", 100);
         d.MakeFile("-rf, \"q\" \\", 100);
     },
     "", 300, true, false, true},
    // Anything kept in 32 bits would see this file as 10 bytes and call the folder empty.
    {"SparseFileAbove4GiB", [](const TempDir& d) { d.MakeFile("sub/big", 4 * kGiB + 10); }, "",
     static_cast<std::int64_t>(4 * kGiB + 10), true, false},
    {"FileOf2GiB", [](const TempDir& d) { d.MakeFile("big", 2 * kGiB); }, "", static_cast<std::int64_t>(2 * kGiB),
     true, false},
    {"SymlinkToBigFileCountsZero",
     [](const TempDir& d) {
         d.MakeFile("outside/big", 1000);
         d.MakeSymlink("walked/link", "../outside/big");
     },
     "walked", 0, true, true, true},
    {"SymlinkToFullFolderCountsZero",
     [](const TempDir& d) {
         d.MakeFile("outside/big", 1000);
         d.MakeSymlink("walked/link", "../outside");
     },
     "walked", 0, true, true, true},
    {"SymlinkLoops",
     [](const TempDir& d) {
         d.MakeSymlink("walked/self", ".");
         d.MakeSymlink("walked/up", "..");
         d.MakeSymlink("walked/a", "b");
         d.MakeSymlink("walked/b", "a");
         d.MakeFile("walked/f", 10);
     },
     "walked", 10, true, true, true},
    {"PathIsLargeFile", [](const TempDir& d) { d.MakeFile("file", 300); }, "file", 300, true, false},
    {"PathIsLinkToFullFolder",
     [](const TempDir& d) {
         d.MakeFile("full/big", 1000);
         d.MakeSymlink("link", "full");
     },
     "link", 0, true, true, true},
    {"PathIsLinkToFullFolderWithTrailingSlash",
     [](const TempDir& d) {
         d.MakeFile("full/big", 1000);
         d.MakeSymlink("link", "full");
     },
     "link/", 0, true, true, true},
    // An entry renamed away before its turn came may hold anything.
    {"MissingPath", [](const TempDir&) {}, "missing", 0, false, false},
    {"BelowAFile", [](const TempDir& d) { d.MakeFile("file", 300); }, "file/x", 0, false, false},
    // A trailing slash still names the folder, so a full folder must never count as empty.
    {"TrailingSlash", [](const TempDir& d) { d.MakeFile("dir/f", 300); }, "dir/", 300, true, false},
    {"TrailingSlashes", [](const TempDir& d) { d.MakeFile("dir/f", 300); }, "dir//", 300, true, false},
};

class FolderSizeTest : public ::testing::TestWithParam<SizeCase>
{};

TEST_P(FolderSizeTest, CountsFilesAndDecidesEmptiness)
{
    const SizeCase& c = GetParam();
    if (c.linksOrAnyBytes && !test::LinksAndAnyNames())
        GTEST_SKIP() << "this system has no symbolic links or names of any bytes for a test to make";
    TempDir dir;
    c.build(dir);
    const std::string path = c.path.empty() ? dir.Path() : dir / c.path;
    const platform::TreeSize size = FolderSize(path, 0);
    EXPECT_EQ(size.bytes, c.size);
    EXPECT_EQ(size.complete, c.complete);
    EXPECT_EQ(IsEmptyFolder(path), c.empty);
}

INSTANTIATE_TEST_SUITE_P(Trees, FolderSizeTest, ::testing::ValuesIn(kSizeCases),
                         [](const ::testing::TestParamInfo<SizeCase>& param) { return param.param.name; });

TEST(FolderSize, StopsSoonAfterExceedingTheLimit)
{
    TempDir dir;
    dir.MakeFile("one", 300);
    dir.MakeFile("two", 300);
    dir.MakeFile("deep/a/b/three", 300);
    dir.MakeFile("deep/c/four", 300);
    struct Case
    {
        const char* label;
        std::int64_t limit;
        std::int64_t expected;
    };
    const std::vector<Case> cases = {
        {"limit below one file", 256, 300},
        {"limit just below one file", 299, 300},
        {"limit equal to one file is not exceeded by it", 300, 600},
        {"limit equal to the total", 1200, 1200},
        {"no limit", 0, 1200},
        {"negative limit means none", -1, 1200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(FolderSize(dir.Path(), c.limit).bytes, c.expected);
    }
}

TEST(FolderSize, EmptyFoldersThatMayOnlyBeReadAreStillEmpty)
{
    TempDir dir;
    dir.MakeDir("entry/sub");
    dir.Chmod("entry/sub", 0555);
    dir.Chmod("entry", 0555);
    EXPECT_TRUE(IsEmptyFolder(dir / "entry"));
}

// A folder moved out of the tree while the walk is inside it leads the climb back elsewhere: here into a mirror
// of the tree whose files are larger. Every complete answer must be the tree with or without the moved folder;
// anything else is a miscount.
TEST(FolderSize, FolderMovedDuringTheWalkIsNeverMiscounted)
{
    TempDir dir;
    for (int i = 0; i < 20; ++i) {
        dir.MakeFile("walked/branch" + std::to_string(i) + "/f", 10);
        dir.MakeFile("mirror/branch" + std::to_string(i) + "/f", 20);
    }
    std::string deep = "walked/a/moved";
    for (int i = 0; i < 30; ++i)
        deep += "/d";
    dir.MakeFile(deep + "/f", 1000);
    dir.MakeDir("mirror/a");
    const std::string inside = dir / "walked/a/moved";
    const std::string outside = dir / "mirror/a/moved";

    std::atomic<bool> stop = false;
    std::thread mover([&] {
        while (!stop) {
            ::rename(inside.c_str(), outside.c_str());
            ::rename(outside.c_str(), inside.c_str());
        }
    });
    int incomplete = 0;
    for (int i = 0; i < 300; ++i) {
        const platform::TreeSize size = FolderSize(dir / "walked", 0);
        if (!size.complete) {
            ++incomplete;
            continue;
        }
        EXPECT_TRUE(size.bytes == 200 || size.bytes == 1200) << size.bytes;
    }
    stop = true;
    mover.join();
    RecordProperty("incomplete", incomplete);
}

// The window drops a batch of sizes when the folder changes; a walk under way must end then, not run on.
TEST(FolderSize, AStopEndsTheWalkIncomplete)
{
    TempDir dir;
    dir.MakeFile("deep/a/b/three", 300);
    dir.MakeFile("deep/c/four", 300);
    const std::atomic<bool> running(false);
    const std::atomic<bool> stopped(true);
    const platform::TreeSize whole = FolderSize(dir / "deep", 0, &running);
    EXPECT_EQ(whole.bytes, 600);
    EXPECT_TRUE(whole.complete);
    const platform::TreeSize cut = FolderSize(dir / "deep", 0, &stopped);
    EXPECT_LT(cut.bytes, 600);
    EXPECT_FALSE(cut.complete);
}

// Writes `size` real bytes to `relative`, so that they take up disk blocks (MakeFile makes sparse files).
void WriteData(const TempDir& dir, const std::string& relative, std::size_t size)
{
    dir.MakeFile(relative);
    std::ofstream(dir / relative, std::ios::binary) << std::string(size, 'x');
}

void Link(const TempDir& dir, const std::string& target, const std::string& relative)
{
    dir.MakeDir(relative.substr(0, relative.rfind('/')));
    std::filesystem::create_hard_link(dir / target, dir / relative);
}

constexpr std::int64_t kMiB = 1024 * 1024;

struct UsageCase
{
    const char* name;
    std::function<void(const TempDir&)> build; // the entry is "entry"; a 1 MiB file with real data in it
    std::int64_t atLeast;
    std::int64_t below;
};

class DiskUsageTest : public ::testing::TestWithParam<UsageCase>
{};

// What the trash frees once emptied: the blocks the entry alone holds.
TEST_P(DiskUsageTest, CountsTheBlocksOnlyTheEntryHolds)
{
    TempDir dir;
    GetParam().build(dir);
    const platform::TreeSize usage = platform::MeasureDiskUsage(dir / "entry");
    EXPECT_TRUE(usage.complete);
    EXPECT_GE(usage.bytes, GetParam().atLeast);
    EXPECT_LT(usage.bytes, GetParam().below);
}

const UsageCase kUsageCases[] = {
    {"SparseFileOf100GiB", [](const TempDir& d) { d.MakeFile("entry/disk.img", 100 * kGiB); }, 0, kMiB},
    {"FileLinkedFiveTimesInside",
     [](const TempDir& d) {
         WriteData(d, "entry/data", kMiB);
         for (const char* name : {"entry/a", "entry/b", "entry/sub/c", "entry/sub/d"})
             Link(d, "entry/data", name);
     },
     kMiB, 2 * kMiB},
    // Shared with the version that stays: deleting this one frees nothing of it.
    {"FileAlsoLinkedFromTheKeptVersion",
     [](const TempDir& d) {
         WriteData(d, "entry/data", kMiB);
         Link(d, "entry/data", "entry/again");
         Link(d, "entry/data", "kept/data");
     },
     0, kMiB},
};

INSTANTIATE_TEST_SUITE_P(Entries, DiskUsageTest, ::testing::ValuesIn(kUsageCases),
                         [](const ::testing::TestParamInfo<UsageCase>& param) { return param.param.name; });

} // namespace
} // namespace versweep
