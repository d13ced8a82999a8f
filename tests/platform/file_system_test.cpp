// Tests of the directory listing and file tests against real temporary folders.
#include "platform/file_system.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace versweep::platform {
namespace {

using test::TempDir;

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

struct ListedCase
{
    const char* label;
    std::string name;
    EntryKind kind;
    bool hidden;
    bool readOnly;
    std::optional<std::uint64_t> size; // unset where the size is not part of the contract (links)
};

constexpr EntryKind kFolder = EntryKind::Folder;
constexpr EntryKind kFile = EntryKind::File;
constexpr EntryKind kLink = EntryKind::Link;

// Every entry lives in one folder, so the table also proves that one listing reports them all side by side.
const std::vector<ListedCase>& ListedCases()
{
    static const std::vector<ListedCase> cases = {
        {"plain folder", "plain", kFolder, false, false, 0},
        {"file with size", "file.bin", kFile, false, false, 1234},
        {"hidden folder", ".hiddendir", kFolder, true, false, 0},
        {"hidden file", ".hidden", kFile, true, false, 7},
        {"read-only file", "ro.txt", kFile, false, true, 3},
        {"read-only folder", "rodir", kFolder, false, true, 0},
        {"symlink to folder", "link-to-folder", kLink, false, false, std::nullopt},
        {"symlink to file", "link-to-file", kLink, false, false, std::nullopt},
        {"dangling symlink", "dangling", kLink, false, false, std::nullopt},
        {"symlink loop", "loop-a", kLink, false, false, std::nullopt},
        {"hidden symlink", ".hidden-link", kLink, true, false, std::nullopt},
        {"name with spaces", "Some Title v1.0", kFolder, false, false, 0},
        {"name with comma and quotes", "a,b \"c\" 'd'", kFolder, false, false, 0},
        {"name with backslash", "back\\slash", kFolder, false, false, 0},
        {"name with newline", "new\nline", kFile, false, false, 5},
        {"name with leading dash", "-rf", kFolder, false, false, 0},
        {"non-ASCII name", "\xe4\xb8\xad\xe6\x96\x87", kFolder, false, false, 0},
        {"invalid UTF-8 name", "\xff\xfe", kFile, false, false, 2},
    };
    return cases;
}

class ListDirectoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir.MakeDir("plain");
        m_dir.MakeFile("file.bin", 1234);
        m_dir.MakeDir(".hiddendir");
        m_dir.MakeFile(".hidden", 7);
        m_dir.MakeFile("ro.txt", 3);
        m_dir.Chmod("ro.txt", 0444);
        m_dir.MakeDir("rodir");
        m_dir.Chmod("rodir", 0555);
        m_dir.MakeSymlink("link-to-folder", "plain");
        m_dir.MakeSymlink("link-to-file", "file.bin");
        m_dir.MakeSymlink("dangling", "nowhere");
        m_dir.MakeSymlink("loop-a", "loop-b");
        m_dir.MakeSymlink("loop-b", "loop-a");
        m_dir.MakeSymlink(".hidden-link", "plain");
        m_dir.MakeDir("Some Title v1.0");
        m_dir.MakeDir("a,b \"c\" 'd'");
        m_dir.MakeDir("back\\slash");
        m_dir.MakeFile("new\nline", 5);
        m_dir.MakeDir("-rf");
        m_dir.MakeDir("\xe4\xb8\xad\xe6\x96\x87");
        m_dir.MakeFile("\xff\xfe", 2);
    }

    TempDir m_dir;
};

TEST_F(ListDirectoryTest, ReportsEveryEntryWithItsKindFlagsAndSize)
{
    const auto listed = ListDirectory(m_dir.Path());
    ASSERT_TRUE(listed) << listed.Error().message;

    std::map<std::string, DirEntry> byName;
    for (const DirEntry& entry : listed.Value()) {
        EXPECT_TRUE(byName.emplace(entry.name, entry).second) << "listed twice: " << entry.name;
    }
    // The second half of the loop pair is the only entry not in the table.
    EXPECT_EQ(byName.size(), ListedCases().size() + 1);
    EXPECT_FALSE(byName.contains("."));
    EXPECT_FALSE(byName.contains(".."));

    for (const ListedCase& expected : ListedCases()) {
        SCOPED_TRACE(expected.label);
        const auto found = byName.find(expected.name);
        ASSERT_NE(found, byName.end());
        EXPECT_EQ(found->second.kind, expected.kind);
        EXPECT_EQ(found->second.hidden, expected.hidden);
        EXPECT_EQ(found->second.readOnly, expected.readOnly);
        if (expected.size) {
            EXPECT_EQ(found->second.size, *expected.size);
        }
    }
}

TEST(ListDirectory, EmptyFolderGivesNoEntries)
{
    TempDir dir;
    const auto listed = ListDirectory(dir.Path());
    ASSERT_TRUE(listed);
    EXPECT_TRUE(listed.Value().empty());
}

TEST(ListDirectory, FailuresComeBackAsErrors)
{
    TempDir dir;
    dir.MakeFile("file");
    struct Case
    {
        const char* label;
        std::string path;
        int code;
    };
    const std::vector<Case> cases = {
        {"missing folder", dir / "missing", ENOENT},
        {"path names a file", dir / "file", ENOTDIR},
        {"empty path", "", ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto listed = ListDirectory(c.path);
        ASSERT_FALSE(listed);
        EXPECT_EQ(listed.Error().code, c.code);
        EXPECT_FALSE(listed.Error().message.empty());
    }
}

TEST(ListDirectory, UnreadableFolderIsAnError)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permission checks do not apply to root";
    TempDir dir;
    dir.MakeDir("locked/inner");
    dir.Chmod("locked", 0);
    const auto listed = ListDirectory(dir / "locked");
    ASSERT_FALSE(listed);
    EXPECT_EQ(listed.Error().code, EACCES);
}

// A folder that may be read but not searched still lists its names; types come from the listing itself.
TEST(ListDirectory, ReadableButNotSearchableFolderStillLists)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "permission checks do not apply to root";
    TempDir dir;
    dir.MakeDir("noexec/sub");
    dir.MakeFile("noexec/file", 10);
    dir.Chmod("noexec", 0444);
    const auto listed = ListDirectory(dir / "noexec");
    ASSERT_TRUE(listed) << listed.Error().message;
    std::map<std::string, EntryKind> kinds;
    for (const DirEntry& entry : listed.Value())
        kinds[entry.name] = entry.kind;
    EXPECT_EQ(kinds, (std::map<std::string, EntryKind>{{"file", kFile}, {"sub", kFolder}}));
}

// A pass on another thread shows how far it got and ends when the window no longer wants it.
TEST(ListDirectory, CountsWhatItReadsAndStopsWhenAsked)
{
    TempDir dir;
    for (const char* name : {"a", "b", "c"})
        dir.MakeDir(name);
    for (const bool stop : {false, true}) {
        std::atomic<bool> stopFlag = stop;
        std::atomic<std::size_t> read = 0;
        const auto listed = ListDirectory(dir.Path(), ListingControl{&stopFlag, &read});
        EXPECT_EQ(listed.HasValue(), !stop);
        EXPECT_EQ(read.load(), stop ? 0U : 3U);
        if (stop) {
            EXPECT_EQ(listed.Error().code, ECANCELED);
        }
    }
}

TEST(ListDirectory, ListsLargeFolderCompletely)
{
    TempDir dir;
    constexpr int kCount = 3000;
    for (int i = 0; i < kCount; ++i)
        dir.MakeFile("f" + std::to_string(i), static_cast<std::uint64_t>(i));
    const auto listed = ListDirectory(dir.Path());
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed.Value().size(), static_cast<std::size_t>(kCount));
    for (const DirEntry& entry : listed.Value())
        EXPECT_EQ("f" + std::to_string(entry.size), entry.name);
}

TEST(ExistenceTests, FollowLinksAndTellFoldersFromFiles)
{
    TempDir dir;
    dir.MakeDir("folder");
    dir.MakeFile("file", 1);
    dir.MakeSymlink("link-to-folder", "folder");
    dir.MakeSymlink("link-to-file", "file");
    dir.MakeSymlink("dangling", "nowhere");
    dir.MakeSymlink("loop", "loop");
    struct Case
    {
        const char* label;
        std::string path;
        bool isDirectory;
        bool isFile;
    };
    const std::vector<Case> cases = {
        {"folder", dir / "folder", true, false},
        {"folder with trailing slash", dir / "folder/", true, false},
        {"file", dir / "file", false, true},
        {"file with trailing slash", dir / "file/", false, false},
        {"link to folder", dir / "link-to-folder", true, false},
        {"link to file", dir / "link-to-file", false, true},
        {"dangling link", dir / "dangling", false, false},
        {"link loop", dir / "loop", false, false},
        {"missing", dir / "missing", false, false},
        {"below a file", dir / "file/x", false, false},
        {"empty path", "", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(DirectoryExists(c.path), c.isDirectory);
        EXPECT_EQ(FileExists(c.path), c.isFile);
    }
}

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

class CurrentDirectoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto current = CurrentDirectory();
        ASSERT_TRUE(current) << current.Error().message;
        m_saved = current.Value();
    }
    void TearDown() override { EXPECT_EQ(::chdir(m_saved.c_str()), 0); }

    std::string m_saved;
};

TEST_F(CurrentDirectoryTest, RoundTripsThroughOddAndLongNames)
{
    TempDir dir;
    // Longer than the first buffer the lookup tries, so the lookup must grow it.
    const std::string longName = "deep/" + std::string(200, 'a') + "/" + std::string(200, 'b') + "/odd ,\"\xff";
    const std::vector<std::string> relatives = {"plain", "with space, comma", "\xe4\xb8\xad\xff", longName};
    for (const std::string& relative : relatives) {
        SCOPED_TRACE(relative);
        dir.MakeDir(relative);
        ASSERT_EQ(::chdir((dir / relative).c_str()), 0);
        const auto current = CurrentDirectory();
        ASSERT_TRUE(current) << current.Error().message;
        EXPECT_EQ(current.Value(), RealPath(dir / relative));
    }
}

TEST(ExecutablePath, NamesTheRunningBinary)
{
    const auto path = ExecutablePath();
    ASSERT_TRUE(path) << path.Error().message;
    ASSERT_FALSE(path.Value().empty());
    EXPECT_EQ(path.Value().front(), '/');
    struct stat named;
    struct stat running;
    ASSERT_EQ(::stat(path.Value().c_str(), &named), 0);
    ASSERT_EQ(::stat("/proc/self/exe", &running), 0);
    EXPECT_EQ(named.st_ino, running.st_ino);
    EXPECT_EQ(named.st_dev, running.st_dev);
}

TEST(JoinPath, JoinsWithOneSlash)
{
    EXPECT_EQ(JoinPath("/data/shelf", "Game.v1-A"), "/data/shelf/Game.v1-A");
    EXPECT_EQ(JoinPath("/", "etc"), "/etc");
    EXPECT_EQ(JoinPath("rel", "-dash"), "rel/-dash");
}

} // namespace
} // namespace versweep::platform
