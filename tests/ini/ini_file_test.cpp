// The settings file against committed sample files and real folders: reads, writes, and writes that
// must leave everything as it was.
#include "ini/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "built_paths.h"
#include "case_name.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::TempDir;
using FileStatus = struct stat;

const std::string kDefault = "<default>";
const std::string kHandEditedPath = "/srv/old releases";

std::string SamplePath(const std::string& name)
{
    return test::BuiltPath("VERSWEEP_TEST_DATA_DIR", VERSWEEP_TEST_DATA_DIR) + "/ini/" + name;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string CopySample(const TempDir& dir, const std::string& name, const std::string& as = "s.ini")
{
    std::ofstream(dir / as, std::ios::binary) << ReadBytes(SamplePath(name));
    return dir / as;
}

// The bytes of `text` in UTF-16, as the compiler encodes the literal.
std::string Utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes;
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// The entries of a folder, sorted.
std::vector<std::string> EntriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct ReadCase
{
    const char* name;
    const char* file;
    const char* key;
    std::string expected;
};

class ReadStringTest : public testing::TestWithParam<ReadCase>
{};

TEST_P(ReadStringTest, ReadsSample)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniFile(SamplePath(c.file)).ReadString("CONFIG", c.key, kDefault), c.expected);
}

const ReadCase kReadCases[] = {
    {"TrimmedHeaderAndKey", "spacing.ini", "vPath", "/srv/releases"},
    {"KeyCaseIgnored", "spacing.ini", "OnlyDuplicate", "0"},
    {"ControlCharacterTrimmed", "spacing.ini", "BlackList", "Qux"},
    {"SingleQuotesStripped", "quotes.ini", "single", "/srv/single"},
    {"QuotesKeepBlankEnds", "quotes.ini", "padded", "  both ends  "},
    {"MismatchedQuotesKept", "quotes.ini", "mismatched", "\"/srv/mismatch'"},
    {"OnlyOuterPairStripped", "quotes.ini", "outer", "a\"b"},
    {"EmptyQuotesReadAsDefault", "quotes.ini", "empty", kDefault},
    {"CrOnlyLines", "cr_only.ini", "Position", "301"},
    {"UnterminatedLastLine", "mixed_endings.ini", "ListFile", "1"},
    {"FirstDuplicateKeyWins", "duplicates.ini", "vPath", "/first"},
    {"SecondSectionOfSameNameIgnored", "duplicates.ini", "ListFile", kDefault},
    {"ByteOrderMarkSkipped", "bom.ini", "vPath", "/bom"},
    {"CommentedKeyAbsent", "comments.ini", "vPath", kDefault},
    {"KeyWithoutEqualsWinsAndReadsAbsent", "comments.ini", "Position", kDefault},
    {"SemicolonInsideValueKept", "comments.ini", "WhiteList", "a;b ; not a comment"},
    {"Value1023BytesWhole", "long_values.ini", "vPath", "/" + std::string(1022, 'a')},
    {"Value1024BytesCut", "long_values.ini", "BlackList", std::string(1023, 'b')},
    {"MissingFile", "no_such_file.ini", "vPath", kDefault},
    // Saved as "Unicode" by a Windows editor: read as UTF-8, whichever the byte order.
    {"Utf16LittleEndian", "utf16le.ini", "vPath", "/srv/\xE4\xB8\x8B\xE8\xBD\xBD"},
    {"Utf16BigEndian", "utf16be.ini", "WhiteList", "\xC3\x9Cn\xC3\xAF,\xF0\x9F\x98\x80"},
};

INSTANTIATE_TEST_SUITE_P(Samples, ReadStringTest, testing::ValuesIn(kReadCases), test::CaseName());

struct TypedCase
{
    const char* name;
    const char* section;
    const char* key;
    bool isBool;
    int defaultValue;
    int expected;
};

class ReadTypedTest : public testing::TestWithParam<TypedCase>
{};

TEST_P(ReadTypedTest, ReadsSample)
{
    const TypedCase& c = GetParam();
    const IniFile ini(SamplePath("typed.ini"));
    if (c.isBool)
        EXPECT_EQ(ini.ReadBool(c.section, c.key, c.defaultValue != 0), c.expected != 0);
    else
        EXPECT_EQ(ini.ReadInteger(c.section, c.key, c.defaultValue), c.expected);
}

const TypedCase kTypedCases[] = {
    {"IntPlusSign", "int", "plus", false, 374, 8},
    {"IntMin", "int", "min", false, 374, -2147483647 - 1},
    {"IntAboveRange", "int", "over", false, 374, 374},
    {"IntHex", "int", "hex", false, 374, 374},
    {"IntTrailingLetters", "int", "trailing", false, 374, 374},
    {"IntPlusMinus", "int", "plusminus", false, 374, 374},
    {"IntEmpty", "int", "empty", false, 374, 374},
    {"IntMinusOnly", "int", "sign", false, 374, 374},
    {"IntPlusOnly", "int", "plussign", false, 374, 374},
    {"IntMinusZero", "int", "minuszero", false, 374, 0},
    {"IntBelowRange", "int", "under", false, 374, 374},
    {"PositionAbc", "CONFIG", "Position", false, 374, 374},
    {"BoolZero", "bool", "zero", true, 1, 0},
    {"BoolOne", "bool", "one", true, 0, 1},
    {"BoolTenKeepsFalse", "bool", "ten", true, 0, 0},
    {"OnlyDuplicateYesKeepsTrue", "CONFIG", "OnlyDuplicate", true, 1, 1},
    {"BoolEmptyKeepsTrue", "bool", "empty", true, 1, 1},
    {"BoolQuotedBlankOneKeepsFalse", "bool", "spaced", true, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Samples, ReadTypedTest, testing::ValuesIn(kTypedCases), test::CaseName());

struct HandEditCase
{
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::string from; // the sample's bytes the write replaces; everything else stays
    std::string to;
};

class HandEditedWriteTest : public testing::TestWithParam<HandEditCase>
{};

TEST_P(HandEditedWriteTest, ChangesOnlyItsLine)
{
    const HandEditCase& c = GetParam();
    TempDir dir;
    const std::string path = CopySample(dir, "hand_edited.ini");
    std::string expected = ReadBytes(path);
    const std::size_t at = expected.find(c.from);
    ASSERT_NE(at, std::string::npos);
    expected.replace(at, c.from.size(), c.to);

    IniFile(path).WriteString(c.section, c.key, c.value);
    EXPECT_EQ(ReadBytes(path), expected);
}

const HandEditCase kHandEditCases[] = {
    {"PaddedPathQuotedInPlace", "CONFIG", "vPath", " /srv/p ", "= /srv/old releases\r\n", "= \" /srv/p \"\r\n"},
    {"NewKeyBeforeTrailingComment", "CONFIG", "ListFile", "1", "blue\r\n", "blue\r\nListFile=1\r\n"},
    {"NewSectionAfterUnterminatedEnd", "New", "k", "v", "Shadow=1", "Shadow=1\r\n\r\n[New]\r\nk=v\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Samples, HandEditedWriteTest, testing::ValuesIn(kHandEditCases), test::CaseName());

struct RoundTripCase
{
    const char* name;
    const char* value;
};

class RoundTripTest : public testing::TestWithParam<RoundTripCase>
{};

TEST_P(RoundTripTest, ReadsBackWhatWasWritten)
{
    const std::string value = GetParam().value;
    TempDir dir;
    const IniFile ini(dir / "s.ini");
    ini.WriteString("CONFIG", "vPath", value); // a new key
    EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), value);
    ini.WriteString("CONFIG", "vPath", "/other");
    ini.WriteString("CONFIG", "vPath", value); // an existing key
    EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), value);
}

const RoundTripCase kRoundTripCases[] = {
    {"BlanksAtBothEnds", " /srv/spaced folder "},
    {"BlankAtStart", " /srv/x"},
    {"BlankAtEnd", "/srv/x "},
    {"SingleQuoted", "'x'"},
    {"DoubleQuoted", "\"x\""},
    {"TabOnly", "\t"},
    {"CommasQuotesBackslashes", "C:\\a,\"b, c\";d=e"},
    {"InvalidUtf8", "/srv/\xff\xfe"},
};

INSTANTIATE_TEST_SUITE_P(Values, RoundTripTest, testing::ValuesIn(kRoundTripCases), test::CaseName());

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

// A file saved as UTF-16 is written back as UTF-16 in its own byte order, every other line as it was.
TEST(IniFileWriteTest, KeepsUtf16Files)
{
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        TempDir dir;
        const std::string path = CopySample(dir, bigEndian ? "utf16be.ini" : "utf16le.ini");
        const IniFile ini(path);
        ini.WriteString("CONFIG", "vPath", "/neu/\xC3\xBC");
        ini.WriteString("CONFIG", "ListFile", "1");
        EXPECT_EQ(ReadBytes(path),
                  Utf16(u"\uFEFF[CONFIG]\r\nvPath=/neu/\u00FC\r\nWhiteList=\u00DCn\u00EF,\U0001F600\r\n"
                        u"Position=412\r\nListFile=1\r\n",
                        bigEndian));
        EXPECT_EQ(ini.ReadString("CONFIG", "vPath", kDefault), "/neu/\xC3\xBC");
    }
}

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
