// The settings file against committed sample files and real folders: reads, writes, and writes that
// must leave everything as it was.
#include "ini/ini_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

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
    return std::string(VERSWEEP_TEST_DATA_DIR) + "/ini/" + name;
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
    {"PositionAbc", "CONFIG", "Position", false, 374, 374},
    {"BoolZero", "bool", "zero", true, 1, 0},
    {"BoolOne", "bool", "one", true, 0, 1},
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
    {"UnreadableFileIsNotReplaced", "vPath", "/x", kDefault, true,
     [](const TempDir& d) {
         const std::string path = HandEdited(d);
         d.Chmod("s.ini", 0200);
         return path;
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, DroppedWriteTest, testing::ValuesIn(kDroppedWriteCases), test::CaseName());

TEST(IniFileWriteTest, CreatesMissingFoldersAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const IniFile ini(dir / "config/versweep/versweep.ini");
    ini.WriteBool("CONFIG", "OnlyDuplicate", true);
    ini.WriteInteger("CONFIG", "Position", -12);
    EXPECT_EQ(ReadBytes(ini.FileName()), "[CONFIG]\r\nOnlyDuplicate=1\r\nPosition=-12\r\n");
    const auto entries = std::filesystem::directory_iterator(dir / "config/versweep");
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
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
    const auto entries = std::filesystem::directory_iterator(dir.Path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1); // no temporary file left behind
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

} // namespace
} // namespace versweep
