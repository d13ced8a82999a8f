// Tests of the empty-folder test and the byte count behind it, on real temporary folder trees.
#include "scan/empty_folder.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace versweep {
namespace {

using test::TempDir;

constexpr std::uint64_t kGiB = 1024ULL * 1024 * 1024;

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

struct SizeCase
{
    std::string name;
    std::function<void(const TempDir&)> build;
    std::string path;  // relative to the temporary folder; empty means the folder itself
    std::int64_t size; // the full count, without a limit
    bool empty;
};

void PrintTo(const SizeCase& c, std::ostream* out)
{
    *out << c.name;
}

const std::vector<SizeCase> kSizeCases = {
    {"NothingAtAll", [](const TempDir&) {}, "", 0, true},
    {"OnlySubfoldersAtAnyDepth",
     [](const TempDir& d) {
         d.MakeDir("a/b/c/d");
         d.MakeDir("a/e");
         d.MakeDir(".hidden/x");
     },
     "", 0, true},
    {"Files255BytesInAll",
     [](const TempDir& d) {
         d.MakeFile("f1", 200);
         d.MakeFile("sub/f2", 55);
     },
     "", 255, true},
    {"Files256BytesInAll",
     [](const TempDir& d) {
         d.MakeFile("f1", 200);
         d.MakeFile("sub/deeper/f2", 56);
     },
     "", 256, false},
    {"FileDeepInside", [](const TempDir& d) { d.MakeFile("a/b/c/d/e/big", 1000); }, "", 1000, false},
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
     "", 256, false},
    {"HiddenFileCounts", [](const TempDir& d) { d.MakeFile(".hidden", 300); }, "", 300, false},
    {"FileInHiddenFolderCounts", [](const TempDir& d) { d.MakeFile(".git/objects/x", 300); }, "", 300, false},
    {"OddFileNamesCount",
     [](const TempDir& d) {
         d.MakeFile("new\nline", 100);
         d.MakeFile("\xff\xfe", 100);
         d.MakeFile("-rf, \"q\" \\", 100);
     },
     "", 300, false},
    // Anything kept in 32 bits would see this file as 10 bytes and call the folder empty.
    {"SparseFileAbove4GiB", [](const TempDir& d) { d.MakeFile("sub/big", 4 * kGiB + 10); }, "",
     static_cast<std::int64_t>(4 * kGiB + 10), false},
    {"FileOf2GiB", [](const TempDir& d) { d.MakeFile("big", 2 * kGiB); }, "", static_cast<std::int64_t>(2 * kGiB),
     false},
    {"SymlinkToBigFileCountsZero",
     [](const TempDir& d) {
         d.MakeFile("outside/big", 1000);
         d.MakeSymlink("walked/link", "../outside/big");
     },
     "walked", 0, true},
    {"SymlinkToFullFolderCountsZero",
     [](const TempDir& d) {
         d.MakeFile("outside/big", 1000);
         d.MakeSymlink("walked/link", "../outside");
     },
     "walked", 0, true},
    {"SymlinkLoops",
     [](const TempDir& d) {
         d.MakeSymlink("walked/self", ".");
         d.MakeSymlink("walked/up", "..");
         d.MakeSymlink("walked/a", "b");
         d.MakeSymlink("walked/b", "a");
         d.MakeFile("walked/f", 10);
     },
     "walked", 10, true},
    {"PathIsLargeFile", [](const TempDir& d) { d.MakeFile("file", 300); }, "file", 300, false},
    {"PathIsLinkToFullFolder",
     [](const TempDir& d) {
         d.MakeFile("full/big", 1000);
         d.MakeSymlink("link", "full");
     },
     "link", 0, true},
    {"PathIsLinkToFullFolderWithTrailingSlash",
     [](const TempDir& d) {
         d.MakeFile("full/big", 1000);
         d.MakeSymlink("link", "full");
     },
     "link/", 0, true},
    {"MissingPath", [](const TempDir&) {}, "missing", 0, true},
    {"BelowAFile", [](const TempDir& d) { d.MakeFile("file", 300); }, "file/x", 0, true},
    // A trailing slash still names the folder, so a full folder must never count as empty.
    {"TrailingSlash", [](const TempDir& d) { d.MakeFile("dir/f", 300); }, "dir/", 300, false},
    {"TrailingSlashes", [](const TempDir& d) { d.MakeFile("dir/f", 300); }, "dir//", 300, false},
};

class FolderSizeTest : public ::testing::TestWithParam<SizeCase>
{};

TEST_P(FolderSizeTest, CountsFilesAndDecidesEmptiness)
{
    const SizeCase& c = GetParam();
    TempDir dir;
    c.build(dir);
    const std::string path = c.path.empty() ? dir.Path() : dir / c.path;
    EXPECT_EQ(FolderSize(path, 0), c.size);
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
        EXPECT_EQ(FolderSize(dir.Path(), c.limit), c.expected);
    }
}

TEST(FolderSize, FoldersThatCannotBeOpenedCountZero)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permission checks do not apply to root";
    TempDir dir;
    dir.MakeFile("walked/locked/big", 1000);
    dir.MakeFile("walked/noexec/big", 1000);
    dir.MakeFile("walked/small", 10);
    dir.MakeFile("locked-root/big", 1000);
    dir.Chmod("walked/locked", 0);
    dir.Chmod("walked/noexec", 0444);
    dir.Chmod("locked-root", 0);
    EXPECT_EQ(FolderSize(dir / "walked", 0), 10);
    EXPECT_TRUE(IsEmptyFolder(dir / "walked"));
    EXPECT_EQ(FolderSize(dir / "locked-root", 0), 0);
    EXPECT_TRUE(IsEmptyFolder(dir / "locked-root"));
}

// Readable but unsearchable folders list their subfolders, yet the walk cannot come back out of them; whatever it
// had not reached by then must still be counted, or a full folder passes for empty.
TEST(FolderSize, UnsearchableFoldersWithSubfoldersDoNotEndTheWalk)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permission checks do not apply to root";
    TempDir dir;
    for (const char* name : {"n1", "n2", "n3", "n4", "n5", "n6"}) {
        dir.MakeDir(std::string("walked/") + name + "/sub");
        dir.Chmod(std::string("walked/") + name, 0444);
    }
    dir.MakeFile("walked/full/f", 300);
    EXPECT_EQ(FolderSize(dir / "walked", 0), 300);
    EXPECT_FALSE(IsEmptyFolder(dir / "walked"));
}

// Lowers the open-descriptor limit for one scope, so a walk that holds one descriptor per level fails.
class DescriptorLimit
{
public:
    explicit DescriptorLimit(rlim_t soft)
    {
        m_ok = ::getrlimit(RLIMIT_NOFILE, &m_saved) == 0;
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        m_ok = m_ok && ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~DescriptorLimit()
    {
        if (m_ok)
            ::setrlimit(RLIMIT_NOFILE, &m_saved);
    }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

    bool Ok() const { return m_ok; }

private:
    rlimit m_saved{};
    bool m_ok = false;
};

// A chain of folders named "d" with one file at the bottom, built and removed by descriptor because its full path
// is far longer than the path length limit (the temporary folder's own cleanup cannot be relied on for it).
class FolderChain
{
public:
    FolderChain(const std::string& top, int depth, std::uint64_t bottomFileSize) : m_top(top)
    {
        int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int built = 0;
        while (fd >= 0 && built < depth) {
            const int next =
                ::mkdirat(fd, "d", 0755) == 0 ? ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
            ::close(fd);
            fd = next;
            built += fd >= 0 ? 1 : 0;
        }
        if (fd < 0)
            return;
        const int file = ::openat(fd, "file", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        m_built = built == depth && file >= 0 && ::ftruncate(file, static_cast<off_t>(bottomFileSize)) == 0;
        if (file >= 0)
            ::close(file);
        ::close(fd);
    }

    ~FolderChain()
    {
        int fd = ::open(m_top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        while (fd >= 0) {
            const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (next < 0)
                break;
            ::close(fd);
            fd = next;
        }
        if (fd < 0)
            return;
        ::unlinkat(fd, "file", 0);
        // Climbs back up, removing the folder just left; above the top there is no "d" and removal ends.
        for (;;) {
            const int up = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = up;
            if (fd < 0 || ::unlinkat(fd, "d", AT_REMOVEDIR) != 0)
                break;
        }
        if (fd >= 0)
            ::close(fd);
    }
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

    bool Built() const { return m_built; }

private:
    std::string m_top;
    bool m_built = false;
};

// The only file sits at the very bottom, so any level the walk cannot reach leaves the folder looking empty.
TEST(FolderSize, WalksTenThousandNestedFoldersWithFewDescriptors)
{
    TempDir dir;
    dir.MakeDir("top");
    const FolderChain chain(dir / "top", 10000, 300);
    ASSERT_TRUE(chain.Built());
    const DescriptorLimit limit(64);
    ASSERT_TRUE(limit.Ok());
    EXPECT_EQ(FolderSize(dir / "top", 0), 300);
    EXPECT_FALSE(IsEmptyFolder(dir / "top"));
}

} // namespace
} // namespace versweep
