// The settings file on POSIX systems: writes that must leave everything as it was (links, pipes, permission
// bits, owners, a full disk), locks held by other processes, and files that cannot be read.
#include "ini/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "case_name.h"
#include "ini_samples.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::CopySample;
using test::kDefault;
using test::kHandEditedPath;
using test::ReadBytes;
using test::TempDir;
using test::Utf16;
using FileStatus = struct stat;

// The entries of a folder, sorted.
std::vector<std::string> EntriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every entry below the folder with its type, identity, time, size and, where readable, content.
std::map<std::string, std::string> Snapshot(const TempDir& dir)
{
    std::map<std::string, std::string> entries;
    const auto add = [&entries](const std::string& path) {
        FileStatus info{};
        ::lstat(path.c_str(), &info);
        entries[path] = std::to_string(info.st_mode) + " " + std::to_string(info.st_ino) + " " +
                        std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + " " +
                        std::to_string(info.st_size) + (S_ISREG(info.st_mode) ? ReadBytes(path) : "");
    };
    add(dir.Path());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
        add(entry.path().string());
    return entries;
}

struct DroppedWriteCase
{
    const char* name;
    const char* key;
    const char* value;
    std::string readAfter;
    bool rootBypasses;
    std::string (*makeSettingsPath)(const TempDir&);
};

class DroppedWriteTest : public testing::TestWithParam<DroppedWriteCase>
{};

TEST_P(DroppedWriteTest, LeavesEverythingAsItWas)
{
    const DroppedWriteCase& c = GetParam();
    if (c.rootBypasses && ::geteuid() == 0)
        GTEST_SKIP() << "root writes regardless of permission bits";
    TempDir dir;
    const IniFile ini(c.makeSettingsPath(dir));
    const auto before = Snapshot(dir);
    ini.WriteString("CONFIG", c.key, c.value);
    EXPECT_EQ(Snapshot(dir), before);
    EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), c.readAfter);
}

std::string HandEdited(const TempDir& d)
{
    return CopySample(d, "hand_edited.ini");
}

const DroppedWriteCase kDroppedWriteCases[] = {
    {"UnchangedValue", "Position", "374", kHandEditedPath, false, HandEdited},
    {"LineBreakInValue", "vPath", "/a\r\n[CONFIG]\r\nPosition=1", kHandEditedPath, false, HandEdited},
    {"FolderIsARegularFile", "vPath", "/x", kDefault, false,
     [](const TempDir& d) { return CopySample(d, "crlf.ini", "plain") + "/s.ini"; }},
    {"SymlinkLoop", "vPath", "/x", kDefault, false,
     [](const TempDir& d) {
         d.MakeSymlink("a.ini", "b.ini");
         d.MakeSymlink("b.ini", "a.ini");
         return d / "a.ini";
     }},
    {"FolderAtPath", "vPath", "/x", kDefault, false,
     [](const TempDir& d) {
         d.MakeDir("s.ini");
         return d / "s.ini";
     }},
    {"FifoAtPath", "vPath", "/x", kDefault, false,
     [](const TempDir& d) {
         ::mkfifo((d / "s.ini").c_str(), 0644);
         return d / "s.ini";
     }},
    {"ReadOnlyFile", "vPath", "/x", kHandEditedPath, true,
     [](const TempDir& d) {
         const std::string path = HandEdited(d);
         d.Chmod("s.ini", 0444);
         return path;
     }},
    {"ReadOnlyFolder", "vPath", "/x", kHandEditedPath, true,
     [](const TempDir& d) {
         d.MakeDir("ro");
         CopySample(d, "hand_edited.ini", "ro/s.ini");
         d.Chmod("ro", 0555);
         return d / "ro/s.ini";
     }},
    // Larger than any settings file: not taken for one, so neither read nor rewritten.
    {"FileAboveSizeBound", "vPath", "/x", kDefault, false,
     [](const TempDir& d) {
         std::ofstream(d / "s.ini", std::ios::binary)
             << "[CONFIG]\r\nvPath=/big\r\n;" << std::string(kMaxSettingsFileBytes, 'x') << "\r\n";
         return d / "s.ini";
     }},
    {"WriteWouldPassSizeBound", "WhiteList", "a,b,c,d", "/big", false,
     [](const TempDir& d) {
         const std::string head = "[CONFIG]\r\nvPath=/big\r\n;";
         std::ofstream(d / "s.ini", std::ios::binary)
             << head << std::string(kMaxSettingsFileBytes - head.size() - 2, 'x') << "\r\n";
         return d / "s.ini";
     }},
    {"ValueNotUtf8InUtf16File", "vPath", "/\xFF", "/srv/\xE4\xB8\x8B\xE8\xBD\xBD", false,
     [](const TempDir& d) { return CopySample(d, "utf16le.ini"); }},
    // A lone surrogate reads as U+FFFD; writing it back that way would change a line the write does not own.
    {"Utf16FileWithLoneSurrogate", "Position", "1", "/\xEF\xBF\xBD", false,
     [](const TempDir& d) {
         std::ofstream(d / "s.ini", std::ios::binary)
             << Utf16(u"\uFEFF[CONFIG]\r\nvPath=/", false) << std::string("\x00\xD8", 2) << Utf16(u"\r\n", false);
         return d / "s.ini";
     }},
    {"UnreadableFileIsNotReplaced", "vPath", "/x", kDefault, true,
     [](const TempDir& d) {
         const std::string path = HandEdited(d);
         d.Chmod("s.ini", 0200);
         return path;
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, DroppedWriteTest, testing::ValuesIn(kDroppedWriteCases), test::CaseName());

// Configuration folders are private to the user; only the settings file and the lock beside it are left.
TEST(IniFileWriteTest, CreatesPrivateFoldersAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const IniFile ini(dir / "config/versweep/versweep.ini");
    ini.WriteBool("CONFIG", "OnlyDuplicate", true);
    ini.WriteInteger("CONFIG", "Position", -12);
    EXPECT_EQ(ReadBytes(ini.FileName()), "[CONFIG]\r\nOnlyDuplicate=1\r\nPosition=-12\r\n");
    EXPECT_EQ(EntriesOf(dir / "config/versweep"),
              (std::vector<std::string>{".versweep.ini.lock", "versweep.ini"}));
    for (const char* folder : {"config", "config/versweep"}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(std::filesystem::status(dir / folder).permissions(), std::filesystem::perms(0700));
    }
    // Another local user can never take a private lock and stall every write.
    EXPECT_EQ(std::filesystem::status(dir / "config/versweep/.versweep.ini.lock").permissions(),
              std::filesystem::perms(0600));
}

TEST(IniFileWriteTest, FailedWriteLeavesOldFileWhole)
{
    TempDir dir;
    const std::string path = CopySample(dir, "hand_edited.ini");
    const std::string before = ReadBytes(path);
    // A file size limit makes the write fail part-way, as a full disk would.
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    const rlimit smallLimit{1024, oldLimit.rlim_max};
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    IniFile(path).WriteString("CONFIG", "WhiteList", std::string(4096, 'w'));
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(EntriesOf(dir.Path()), (std::vector<std::string>{".s.ini.lock", "s.ini"})); // no temporary file
}

TEST(IniFileWriteTest, KeepsPermissionBits)
{
    TempDir dir;
    const std::string path = CopySample(dir, "crlf.ini");
    dir.Chmod("s.ini", 0640);
    IniFile(path).WriteString("CONFIG", "vPath", "/changed");
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadBytes(path), "[CONFIG]\r\nvPath=/changed\r\nPosition=300\r\n");
}

// A rewrite by root (an installer, a sudo session) must leave the file to the user and group that own it,
// each in its place.
TEST(IniFileWriteTest, KeepsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    TempDir dir;
    const std::string path = CopySample(dir, "crlf.ini");
    ASSERT_EQ(::chown(path.c_str(), 65534, 4321), 0);
    IniFile(path).WriteString("CONFIG", "vPath", "/changed");
    FileStatus info{};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534U);
    EXPECT_EQ(info.st_gid, 4321U);
}

struct LockCase
{
    const char* name;
    // Makes what lies at the lock path of dir/s.ini; returns a process holding a lock on it, or 0.
    std::function<pid_t(const TempDir&)> plant;
};

class LockFileTest : public testing::TestWithParam<LockCase>
{};

// Whatever lies at the lock path, a write neither hangs nor is lost: a lock it cannot use or cannot get
// soon lets it go ahead unlocked.
TEST_P(LockFileTest, WriteGoesAheadSoon)
{
    TempDir dir;
    const pid_t holder = GetParam().plant(dir);
    const pid_t writer = ::fork();
    if (writer == 0) {
        ::alarm(10);
        IniFile(dir / "s.ini").WriteString("CONFIG", "vPath", "/written");
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    if (holder > 0) {
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
    }
    EXPECT_TRUE(WIFEXITED(status)) << "the write hung";
    EXPECT_EQ(IniFile(dir / "s.ini").ReadString("CONFIG", "vPath", kDefault), "/written");
}

// A child that holds an exclusive lock on `path` until it is killed.
pid_t HoldLock(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT, 0600);
    const pid_t child = ::fork();
    if (child == 0) {
        ::flock(fd, LOCK_EX);
        ::pause();
        ::_exit(0);
    }
    ::close(fd);
    ::usleep(100000); // the lock is taken before the writer starts
    return child;
}

const LockCase kLockCases[] = {
    {"Pipe",
     [](const TempDir& d) {
         ::mkfifo((d / ".s.ini.lock").c_str(), 0600);
         return pid_t{0};
     }},
    {"HeldForEver", [](const TempDir& d) { return HoldLock(d / ".s.ini.lock"); }},
};

INSTANTIATE_TEST_SUITE_P(Locks, LockFileTest, testing::ValuesIn(kLockCases), test::CaseName());

// Each writer reads the file, changes its own key and replaces the file; without a lock, one replacing the
// file between another's read and replace drops that one's change.
TEST(IniFileWriteTest, ConcurrentWritersOfDifferentKeysLoseNothing)
{
    constexpr int kWriters = 8;
    constexpr int kRounds = 15;
    TempDir dir;
    const IniFile ini(dir / "s.ini");
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int round = 1; round <= kRounds; ++round)
                ini.WriteInteger("CONFIG", "Key" + std::to_string(writer), round);
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
    }
    for (int writer = 0; writer < kWriters; ++writer)
        EXPECT_EQ(ini.ReadInteger("CONFIG", "Key" + std::to_string(writer), 0), kRounds) << "Key" << writer;
}

TEST(IniFileWriteTest, WritesThroughLinksAndKeepsThem)
{
    for (const bool targetExists : {true, false}) {
        SCOPED_TRACE(targetExists ? "link to a file" : "dangling link");
        TempDir dir;
        dir.MakeDir("real");
        if (targetExists)
            CopySample(dir, "crlf.ini", "real/s.ini");
        dir.MakeSymlink("s.ini", "real/s.ini");
        IniFile(dir / "s.ini").WriteString("CONFIG", "ListFile", "1");
        EXPECT_TRUE(std::filesystem::is_symlink(dir / "s.ini"));
        EXPECT_EQ(IniFile(dir / "real/s.ini").ReadString("CONFIG", "ListFile", kDefault), "1");
    }
}

struct UnreadableCase
{
    const char* name;
    bool rootBypasses;
    std::string (*makeSettingsPath)(const TempDir&);
    int error;
};

class UnreadableFileTest : public testing::TestWithParam<UnreadableCase>
{};

// Reads fall back to the default, and the checked read says why.
TEST_P(UnreadableFileTest, ReadsAsDefaultAndTellsWhy)
{
    const UnreadableCase& c = GetParam();
    if (c.rootBypasses && ::geteuid() == 0)
        GTEST_SKIP() << "root reads regardless of permission bits";
    TempDir dir;
    const IniFile ini(c.makeSettingsPath(dir));
    EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), kDefault);
    const platform::Result<std::string> value = ini.TryReadString("CONFIG", "vPath", kDefault);
    ASSERT_FALSE(value);
    EXPECT_EQ(value.Error().code, c.error);
}

const UnreadableCase kUnreadableCases[] = {
    {"Missing", false, [](const TempDir& d) { return d / "none.ini"; }, ENOENT},
    {"EmptyName", false, [](const TempDir&) { return std::string(); }, ENOENT},
    {"Folder", false, [](const TempDir& d) { return d.Path(); }, EISDIR},
    {"Fifo", false,
     [](const TempDir& d) {
         ::mkfifo((d / "s.ini").c_str(), 0644);
         return d / "s.ini";
     },
     EINVAL},
    {"NoPermission", true,
     [](const TempDir& d) {
         const std::string path = HandEdited(d);
         d.Chmod("s.ini", 0200);
         return path;
     },
     EACCES},
    {"AboveSizeBound", false,
     [](const TempDir& d) {
         d.MakeFile("s.ini", kMaxSettingsFileBytes + 1);
         return d / "s.ini";
     },
     EFBIG},
    // Grows without end while it is read.
    {"ProcPagemap", false, [](const TempDir&) { return std::string("/proc/self/pagemap"); }, EFBIG},
};

INSTANTIATE_TEST_SUITE_P(Cases, UnreadableFileTest, testing::ValuesIn(kUnreadableCases), test::CaseName());

} // namespace
} // namespace versweep
