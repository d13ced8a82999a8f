// Tests of the Windows platform layer against real folders: names as Windows spells them, converted at the
// boundary and reached again by every call, paths past the old length limit, sizes, files and the list order.
#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "case_name.h"
#include "platform/collation.h"
#include "platform/file_content.h"
#include "platform/tree_size.h"
#include "platform/user_folders.h"
#include "platform/wide_path_win.h"
#include "temp_dir.h"
#include "tools/utf8_text.h"
#include "windows_text.h"

namespace versweep::platform {
namespace {

using test::TempDir;

struct Wtf8Case
{
    const char* name;
    std::wstring units;
    std::string bytes;
};

class Wtf8Test : public testing::TestWithParam<Wtf8Case>
{};

// A name with a surrogate that has no partner exists on Windows; it must come back to the very same units.
TEST_P(Wtf8Test, EveryNameRoundTrips)
{
    EXPECT_EQ(Utf8FromWide(GetParam().units), GetParam().bytes);
    EXPECT_EQ(WideFromUtf8(GetParam().bytes), GetParam().units);
}

const Wtf8Case kWtf8Cases[] = {
    {"Ascii", L"Foo.v1-A", "Foo.v1-A"},
    {"Chinese", L"\u4e2d\u6587", "\xe4\xb8\xad\xe6\x96\x87"},
    {"SurrogatePair", L"\xd83d\xde00", "\xf0\x9f\x98\x80"},
    {"LoneHighSurrogate",
     L"a\xd800"
     L"b",
     "a\xed\xa0\x80"
     "b"},
    {"LoneLowSurrogateAtEnd", L"a\xdc00", "a\xed\xb0\x80"},
    {"LowThenHigh", L"\xdc00\xd800", "\xed\xb0\x80\xed\xa0\x80"},
};

INSTANTIATE_TEST_SUITE_P(Names, Wtf8Test, testing::ValuesIn(kWtf8Cases), test::CaseName());

// Bytes no Windows name is spelled as would otherwise reach some other entry, or a shorter path.
TEST(Wtf8, RefusesBytesThatSpellNoName)
{
    for (const std::string bytes :
         {"\xff", "a\x80", "\xc0\x80", "\xe4\xb8", "\xf4\x90\x80\x80", "\xed\xa0\x80\xed\xb0\x80"}) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_FALSE(WideFromUtf8(bytes));
        EXPECT_FALSE(LongPath("C:\\" + bytes));
    }
    EXPECT_FALSE(LongPath(std::string("C:\\sub\0junk", 12)));
    EXPECT_FALSE(LongPath(""));
}

struct PathCase
{
    const char* name;
    std::string path;
    std::wstring expected; // "{cwd}" stands for the current folder, "{drive}" for its drive
};

class LongPathTest : public testing::TestWithParam<PathCase>
{
protected:
    void SetUp() override
    {
        m_saved = CurrentDirectoryWide();
        ASSERT_NE(::SetCurrentDirectoryW(test::Wide(m_dir.Path()).c_str()), 0);
    }
    void TearDown() override { ::SetCurrentDirectoryW(m_saved.c_str()); }

    TempDir m_dir;
    std::wstring m_saved;
};

TEST_P(LongPathTest, ReachesTheEntryTheTextNames)
{
    std::wstring expected = GetParam().expected;
    const std::wstring current = test::Wide(m_dir.Path());
    for (const auto& [placeholder, value] :
         {std::pair<std::wstring, std::wstring>{L"{cwd}", current},
          std::pair<std::wstring, std::wstring>{L"{drive}", current.substr(0, 2)}}) {
        if (const std::size_t at = expected.find(placeholder); at != std::wstring::npos)
            expected.replace(at, placeholder.size(), value);
    }
    const Result<std::wstring> built = LongPath(GetParam().path);
    ASSERT_TRUE(built) << built.Error().message;
    EXPECT_EQ(built.Value(), expected);
}

const PathCase kPathCases[] = {
    {"Drive", "C:\\a\\b", L"\\\\?\\C:\\a\\b"},
    {"ForwardAndDoubledSeparators", "C:/a//b/", L"\\\\?\\C:\\a\\b"},
    {"DotsResolvedAsWindowsDoes", "C:\\a\\.\\b\\..\\c", L"\\\\?\\C:\\a\\c"},
    {"DotDotStopsAtTheRoot", "C:\\..\\a", L"\\\\?\\C:\\a"},
    {"TrailingDotAndBlankKept", "C:\\a.\\b ", L"\\\\?\\C:\\a.\\b "},
    {"DeviceNameIsAName", "C:\\x\\CON", L"\\\\?\\C:\\x\\CON"},
    {"DriveRoot", "C:\\", L"\\\\?\\C:\\"},
    {"Share", "\\\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
    {"AlreadyLong", "\\\\?\\C:\\a\\..", L"\\\\?\\C:\\a\\.."},
    {"Relative", "sub\\..\\x", L"\\\\?\\{cwd}\\x"},
    {"RootOfCurrentDrive", "\\x", L"\\\\?\\{drive}\\x"},
    {"NonAscii", "C:\\\xe4\xb8\xad", L"\\\\?\\C:\\\u4e2d"},
};

INSTANTIATE_TEST_SUITE_P(Paths, LongPathTest, testing::ValuesIn(kPathCases), test::CaseName());

// The core builds paths from these; "C:" alone would name the drive's current folder, not its root.
TEST(PathText, KeepsDriveRoots)
{
    EXPECT_EQ(AbsoluteFolder("C:/a/./b/..").Value(), "C:\\a");
    EXPECT_EQ(AbsoluteFolder("C:\\").Value(), "C:\\");
    EXPECT_EQ(FolderOf("C:\\a"), "C:\\");
    EXPECT_EQ(FolderOf("C:\\a\\b"), "C:\\a");
    EXPECT_EQ(FolderOf("name"), ".");
    EXPECT_EQ(JoinPath("C:\\", "x"), "C:\\x");
    EXPECT_EQ(JoinPath("C:\\a", "x"), "C:\\a\\x");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\a\\/"), "C:\\a");
    EXPECT_EQ(WithoutTrailingSeparators("C:\\"), "C:\\");
}

void SetAttributes(const std::string& path, DWORD attributes)
{
    ASSERT_NE(::SetFileAttributesW(test::LongForm(path).c_str(), attributes), 0) << path;
}

struct ListedCase
{
    std::string name;
    EntryKind kind;
    bool hidden;
    bool readOnly;
    std::uint64_t size; // of the whole entry, a folder's content included
};

// Every name listed must reach its own entry again through every call that takes a path.
void ExpectListedAndReachable(const std::string& folder, const std::vector<ListedCase>& cases)
{
    const Result<std::vector<DirEntry>> listed = ListDirectory(folder);
    ASSERT_TRUE(listed) << listed.Error().message;
    std::map<std::string, DirEntry> byName;
    for (const DirEntry& entry : listed.Value())
        EXPECT_TRUE(byName.emplace(entry.name, entry).second) << "listed twice: " << entry.name;
    EXPECT_EQ(byName.size(), cases.size());
    for (const ListedCase& expected : cases) {
        SCOPED_TRACE(expected.name);
        const auto found = byName.find(expected.name);
        ASSERT_NE(found, byName.end());
        EXPECT_EQ(found->second.kind, expected.kind);
        EXPECT_EQ(found->second.hidden, expected.hidden);
        EXPECT_EQ(found->second.readOnly, expected.readOnly);
        EXPECT_EQ(found->second.size, expected.kind == EntryKind::File ? expected.size : 0);
        ASSERT_TRUE(found->second.identity.Known());
        const std::string path = JoinPath(folder, expected.name);
        EXPECT_EQ(EntryIdOf(path).Value(), found->second.identity);
        const TreeSize size = MeasureTree(path, 0);
        EXPECT_TRUE(size.complete);
        EXPECT_EQ(size.bytes, static_cast<std::int64_t>(expected.size));
        EXPECT_EQ(DirectoryExists(path), expected.kind == EntryKind::Folder);
        EXPECT_EQ(FileExists(path), expected.kind == EntryKind::File);
    }
}

TEST(ListDirectory, WindowsNamesAndMarksAreListedAndReachedAgain)
{
    const TempDir dir;
    const std::string longName(200, 'L');
    for (const char* folder : {"plain", "hidden", "Trail.v1-A.", "Space.v1-A ", "CON", "-rf", "a,b 'c'",
                               "\xe4\xb8\xad\xe6\x96\x87.v1-A", "\xf0\x9f\x98\x80"})
        dir.MakeDir(folder);
    dir.MakeDir(longName);
    for (const auto& [file, size] : {std::pair<const char*, std::uint64_t>{"file.bin", 1234},
                                     {"system.sys", 7},
                                     {"ro.txt", 3},
                                     {"con.txt", 4},
                                     {"nul", 5}})
        dir.MakeFile(file, size);
    SetAttributes(dir / "hidden", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes(dir / "system.sys", FILE_ATTRIBUTE_SYSTEM);
    SetAttributes(dir / "ro.txt", FILE_ATTRIBUTE_READONLY);
    constexpr EntryKind kFolder = EntryKind::Folder;
    constexpr EntryKind kFile = EntryKind::File;
    ExpectListedAndReachable(dir.Path(), {{"plain", kFolder, false, false, 0},
                                          {"hidden", kFolder, true, false, 0},
                                          {"Trail.v1-A.", kFolder, false, false, 0},
                                          {"Space.v1-A ", kFolder, false, false, 0},
                                          {"CON", kFolder, false, false, 0},
                                          {"-rf", kFolder, false, false, 0},
                                          {"a,b 'c'", kFolder, false, false, 0},
                                          {"\xe4\xb8\xad\xe6\x96\x87.v1-A", kFolder, false, false, 0},
                                          {"\xf0\x9f\x98\x80", kFolder, false, false, 0},
                                          {longName, kFolder, false, false, 0},
                                          {"file.bin", kFile, false, false, 1234},
                                          {"system.sys", kFile, true, false, 7},
                                          {"ro.txt", kFile, false, true, 3},
                                          {"con.txt", kFile, false, false, 4},
                                          {"nul", kFile, false, false, 5}});
    // Past 260 characters, in the folder and in the names of what it holds.
    const std::string deep = longName + "/" + longName + "/" + longName;
    dir.MakeFile(deep + "/Deep.v1-A./payload", 300);
    ASSERT_GT((dir / deep).size(), std::size_t{MAX_PATH});
    ExpectListedAndReachable(dir / deep, {{"Deep.v1-A.", kFolder, false, false, 300}});
}

// Made by the Linux side under Wine (linux_made_entries.sh); each case names its folder below that one.
std::string LinuxMade(const char* folder)
{
    const char* root = std::getenv("VERSWEEP_LINUX_MADE");
    if (root == nullptr)
        return {};
    std::string path = std::string("Z:") + root + "\\" + folder;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

TEST(ListDirectory, NamesDifferingOnlyInCaseAreTwoEntries)
{
    const std::string folder = LinuxMade("case");
    if (folder.empty())
        GTEST_SKIP() << "needs the Linux side under Wine (ctest's linux_made_entries)";
    ExpectListedAndReachable(folder, {{"Foo.v1-A", EntryKind::Folder, false, false, 10},
                                      {"foo.v1-A", EntryKind::Folder, false, false, 20}});
    EXPECT_NE(EntryIdOf(folder + "\\Foo.v1-A").Value(), EntryIdOf(folder + "\\foo.v1-A").Value());
}

TEST(ListDirectory, LinksAndUnspellableNames)
{
    const std::string links = LinuxMade("links");
    if (links.empty())
        GTEST_SKIP() << "needs the Linux side under Wine (ctest's linux_made_entries)";
    const Result<std::vector<DirEntry>> listed = ListDirectory(links);
    ASSERT_TRUE(listed);
    std::map<std::string, EntryKind> kinds;
    for (const DirEntry& entry : listed.Value())
        kinds[entry.name] = entry.kind;
    EXPECT_EQ(kinds,
              (std::map<std::string, EntryKind>{{"folder-link", EntryKind::Link}, {"target", EntryKind::Folder}}));
    // A link counts nothing and is never followed: the target is counted once.
    EXPECT_EQ(MeasureTree(links + "\\folder-link", 0).bytes, 0);
    EXPECT_EQ(MeasureTree(links, 0).bytes, 300);
    EXPECT_TRUE(MeasureTree(links, 0).complete);
    EXPECT_EQ(FollowLinks(links + "\\target"), links + "\\target");

    // A name Windows cannot spell is still listed, with an identity that stays unknown; bytes that are not UTF-8
    // come as U+FFFD.
    const Result<std::vector<DirEntry>> odd = ListDirectory(LinuxMade("odd"));
    ASSERT_TRUE(odd);
    std::map<std::string, bool> known;
    for (const DirEntry& entry : odd.Value())
        known[entry.name] = entry.identity.Known();
    EXPECT_EQ(known.size(), 2U);
    EXPECT_TRUE(known.contains("bad\xef\xbf\xbd.v1-A"));
    EXPECT_FALSE(MeasureTree(LinuxMade("odd"), 0).complete);
}

TEST(ListDirectory, FailuresComeBackAsErrors)
{
    const TempDir dir;
    dir.MakeFile("file");
    EXPECT_EQ(ListDirectory(dir / "missing").Error().code, ENOENT);
    EXPECT_EQ(ListDirectory(dir / "file").Error().code, ENOTDIR);
    EXPECT_FALSE(ListDirectory(""));
    EXPECT_FALSE(FileExists(dir / "file\\"));
    EXPECT_FALSE(DirectoryExists(dir / "missing"));
}

TEST(TreeSize, CountsPastFourGibibytesAndSharedFilesOnce)
{
    const TempDir dir;
    constexpr std::uint64_t kLarge = std::uint64_t{5} << 30;
    dir.MakeFile("big/image.iso", kLarge);
    dir.MakeFile("big/small", 1);
    EXPECT_EQ(MeasureTree(dir / "big", 0).bytes, static_cast<std::int64_t>(kLarge + 1));
    EXPECT_EQ(MeasureTree(dir / "big", 256).complete, false);

    ASSERT_TRUE(ReplaceFileContent(dir / "shared/inside/a", std::string(100000, 'x')));
    ASSERT_NE(::CreateHardLinkW(test::LongForm(dir / "shared/inside/b").c_str(),
                                test::LongForm(dir / "shared/inside/a").c_str(), nullptr),
              0);
    const TreeSize both = MeasureDiskUsage(dir / "shared/inside");
    EXPECT_TRUE(both.complete);
    EXPECT_GE(both.bytes, 100000);
    EXPECT_LT(both.bytes, 200000);
    ASSERT_NE(::CreateHardLinkW(test::LongForm(dir / "shared/outside").c_str(),
                                test::LongForm(dir / "shared/inside/a").c_str(), nullptr),
              0);
    EXPECT_LT(MeasureDiskUsage(dir / "shared/inside").bytes, 100000);
}

TEST(FileContent, ReplacesAndReadsUnderAnyName)
{
    const TempDir dir;
    const std::string path = dir / (std::string(150, 'd') + "/" + std::string(150, 'e') + "/versweep.ini.");
    ASSERT_TRUE(ReplaceFileContent(path, "first"));
    ASSERT_TRUE(ReplaceFileContent(path, "[CONFIG]\r\nvPath=C:\\x\r\n"));
    EXPECT_EQ(ReadFileContent(path).Value(), "[CONFIG]\r\nvPath=C:\\x\r\n");
    EXPECT_EQ(ReadFileContent(path, 4).Error().code, EFBIG);
    EXPECT_EQ(ReadFileContent(dir / "missing").Error().code, ENOENT);
    EXPECT_EQ(ReadFileContent(dir.Path()).Error().code, EISDIR);
    EXPECT_EQ(test::TreeOf(FolderOf(path)).size(), 1U) << "a temporary file was left behind";

    // A read-only file is left as it is.
    EXPECT_TRUE(MayWrite(path));
    SetAttributes(path, FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(MayWrite(path));
    EXPECT_FALSE(ReplaceFileContent(path, "third"));
    EXPECT_EQ(ReadFileContent(path).Value(), "[CONFIG]\r\nvPath=C:\\x\r\n");

    Result<DurableLog> log = DurableLog::Create(dir / "record", "head\n");
    ASSERT_TRUE(log);
    ASSERT_TRUE(log.Value().Append("line\n"));
    EXPECT_EQ(ReadFileContent(dir / "record").Value(), "head\nline\n");
}

TEST(FileLock, SecondHolderWaitsItsTimeThenIsBusy)
{
    const TempDir dir;
    const std::string guarded = dir / "versweep.ini";
    const auto first = std::make_unique<FileLock>(guarded, std::chrono::milliseconds(0));
    ASSERT_EQ(first->Outcome(), FileLock::State::Held);
    EXPECT_EQ(FileLock(guarded, std::chrono::milliseconds(50)).Outcome(), FileLock::State::Busy);
    EXPECT_TRUE(FileExists(dir / ".versweep.ini.lock"));
}

// The lists sort by these keys; they must put names where the system's own comparison puts them.
TEST(Collation, KeysOrderAsTheSystemComparesThenByBytes)
{
    std::vector<std::string> names = {"b",  "B",           "a",          "A",       "\xc3\xa9",     "e",
                                      "E",  "Foo.v2.10-X", "Foo.v2.9-X", "foo.v10", "//C:\\x",      "_a",
                                      "-a", ".a",          "a b",        "ab",      "\xe4\xb8\xad", "Zeta",
                                      "10", "9",           "bad\xff",    "bad",     "co-op",        "coop"};
    Collation collation("en_US");
    std::sort(names.begin(), names.end(), [&](const std::string& left, const std::string& right) {
        return collation.SortKey(left) < collation.SortKey(right);
    });
    for (std::size_t i = 1; i < names.size(); ++i) {
        const std::wstring left = test::Wide(ReplaceInvalidUtf8(names[i - 1]));
        const std::wstring right = test::Wide(ReplaceInvalidUtf8(names[i]));
        const int order = ::CompareStringEx(L"en-US", LINGUISTIC_IGNORECASE, left.c_str(), -1, right.c_str(), -1,
                                            nullptr, nullptr, 0);
        EXPECT_TRUE(order == CSTR_LESS_THAN || (order == CSTR_EQUAL && names[i - 1] < names[i]))
            << names[i - 1] << " before " << names[i];
    }
}

TEST(UserFolders, SettingsRoamAndStateStaysLocal)
{
    ASSERT_EQ(::_putenv_s("APPDATA", "C:\\Roaming"), 0);
    ASSERT_EQ(::_putenv_s("LOCALAPPDATA", "C:\\Local"), 0);
    EXPECT_EQ(XdgFilePath(nullptr, nullptr, ".config", "versweep.ini"), "C:\\Roaming\\Versweep\\versweep.ini");
    EXPECT_EQ(XdgFilePath("/home/u/.local/state", "/home/u", ".local/state", "last-trash-batch"),
              "C:\\Local\\Versweep\\last-trash-batch");
    ASSERT_EQ(::_putenv_s("LOCALAPPDATA", ""), 0);
    EXPECT_EQ(XdgFilePath(nullptr, nullptr, ".local/state", "x"), "C:\\Roaming\\Versweep\\x");
    ASSERT_EQ(::_putenv_s("APPDATA", "relative"), 0);
    EXPECT_EQ(XdgFilePath(nullptr, nullptr, ".config", "x"), "");
}

TEST(ExecutablePath, NamesTheRunningProgram)
{
    const Result<std::string> path = ExecutablePath();
    ASSERT_TRUE(path);
    EXPECT_TRUE(path.Value().ends_with("\\file_system_win_test.exe")) << path.Value();
    EXPECT_TRUE(FileExists(path.Value()));
}

} // namespace
} // namespace versweep::platform
