// The empty-folder test on POSIX systems: trees with parts that cannot be read (permission bits) and a tree nested
// deeper than the path length limit, walked with few descriptors.
#include "scan/empty_folder.h"

#include <cstdint>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/tree_size.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::TempDir;

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

// What cannot be read may hold anything, so a tree with an unreadable part is never empty, whatever the part's
// mode: not openable (000), listable but not searchable (444), searchable but not listable (111). Each tree holds
// 10 bytes beside a subfolder "sub" with 100,000 bytes; the rest of the tree is still counted.
struct LockedCase
{
    const char* name;
    const char* locked; // below the temporary folder, which holds shelf/entry/{small,sub/data}
    unsigned mode;
    std::int64_t size;
    bool complete;
};

void PrintTo(const LockedCase& c, std::ostream* out)
{
    *out << c.name;
}

const LockedCase kLockedCases[] = {
    {"SubfolderNotOpenable", "shelf/entry/sub", 0, 10, false},
    {"SubfolderNotSearchable", "shelf/entry/sub", 0444, 10, false},
    {"SubfolderNotListable", "shelf/entry/sub", 0111, 10, false},
    {"EntryNotOpenable", "shelf/entry", 0, 0, false},
    {"EntryNotSearchable", "shelf/entry", 0444, 0, false},
    {"EntryNotListable", "shelf/entry", 0111, 0, false},
    {"OrganiseFolderNotSearchable", "shelf", 0444, 0, false},
    // Read-only is not unreadable: a folder that may be listed and searched is read in full.
    {"ReadOnlySubfolderReadInFull", "shelf/entry/sub", 0555, 100010, true},
};

class LockedTreeTest : public ::testing::TestWithParam<LockedCase>
{};

TEST_P(LockedTreeTest, UnreadablePartsMakeTheTreeNotEmpty)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permission checks do not apply to root";
    const LockedCase& c = GetParam();
    TempDir dir;
    dir.MakeFile("shelf/entry/small", 10);
    dir.MakeFile("shelf/entry/sub/data", 100000);
    dir.Chmod(c.locked, c.mode);
    const platform::TreeSize size = FolderSize(dir / "shelf/entry", 0);
    EXPECT_EQ(size.bytes, c.size);
    EXPECT_EQ(size.complete, c.complete);
    EXPECT_FALSE(IsEmptyFolder(dir / "shelf/entry"));
}

INSTANTIATE_TEST_SUITE_P(Modes, LockedTreeTest, ::testing::ValuesIn(kLockedCases),
                         [](const ::testing::TestParamInfo<LockedCase>& param) { return param.param.name; });
// Readable but unsearchable folders list their subfolders, yet the walk cannot come back out of them; whatever it
// had not reached by then must still be counted.
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
    const platform::TreeSize size = FolderSize(dir / "walked", 0);
    EXPECT_EQ(size.bytes, 300);
    EXPECT_FALSE(size.complete);
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
    EXPECT_EQ(FolderSize(dir / "top", 0).bytes, 300);
    EXPECT_FALSE(IsEmptyFolder(dir / "top"));
}

} // namespace
} // namespace versweep
