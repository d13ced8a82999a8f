// The Recycle Bin on Windows: an entry goes whole and alone, only where a Recycle Bin takes it and never deleted
// for good instead; a refused move keeps it where it was; taking it back is left to the user.
#include "platform/trash.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "case_name.h"
#include "platform/file_content.h"
#include "platform/file_system.h"
#include "platform/tree_size.h"
#include "private_home.h"
#include "temp_dir.h"
#include "tools/text_tools.h"
#include "windows_text.h"

namespace versweep {
namespace {

using platform::DeleteToRecycleBin;
using test::TempDir;
using test::TreeOf;

std::vector<std::string> Without(std::vector<std::string> lines, const std::string& path)
{
    std::erase_if(lines, [&](const std::string& line) {
        return line.starts_with(path + " ") || line.starts_with(path + "\\");
    });
    return lines;
}

// Under Wine: the Unix path of `path`, as the trash records it and trash-list shows it.
std::string UnixPathOf(const std::string& path)
{
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unixPath = toUnix != nullptr ? toUnix(test::LongForm(path).c_str()) : nullptr;
    const std::string result = unixPath != nullptr ? unixPath : "";
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

// Writes `unixPath` down for trash_win_listed.sh, which runs trash-list on the Linux side afterwards.
void WriteDownForTrashList(const std::string& unixPath)
{
    std::string dataHome = std::getenv("XDG_DATA_HOME");
    const std::wstring expected = test::LongForm("Z:" + dataHome.substr(0, dataHome.rfind('/')) + "/expected");
    const HANDLE file = ::CreateFileW(expected.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string line = unixPath + "\n";
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The trash holds a record naming `unixPath`, and beside it the entry whole.
void ExpectInTrash(const std::string& unixPath)
{
    const std::string root = test::PrivateTrashRoot();
    const platform::Result<std::vector<platform::DirEntry>> records = platform::ListDirectory(root + "\\info");
    ASSERT_TRUE(records) << records.Error().message;
    for (const platform::DirEntry& record : records.Value()) {
        const std::string content = platform::ReadFileContent(root + "\\info\\" + record.name).Value();
        const std::size_t start = content.find("\nPath=") + 6;
        if (PercentDecode(content.substr(start, content.find('\n', start) - start)) != unixPath)
            continue;
        const std::string name = record.name.substr(0, record.name.size() - std::string(".trashinfo").size());
        EXPECT_EQ(platform::MeasureTree(root + "\\files\\" + name, 0).bytes, 300);
        return;
    }
    ADD_FAILURE() << "no record in the trash names " << unixPath;
}

struct MoveCase
{
    const char* name;
    std::string entry;
    bool wineMayRefuse = false; // Wine's trash cannot take every path much longer than 260 characters
};

bool RunningUnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

class MoveTest : public testing::TestWithParam<MoveCase>
{};

TEST_P(MoveTest, GoesWholeAndAloneAndStaysThereForTheUser)
{
    const TempDir dir;
    const std::string path = dir / GetParam().entry;
    dir.MakeFile(GetParam().entry + "/payload", 300);
    // Neighbours named after the pieces a split at commas, blanks or quotes, or a dropped trailing dot, would
    // give.
    for (const char* neighbour : {"Foo", "Bar.v1.2-GRP", "say", "Trail.v1-A", "Blank.v1-A", "CON.txt", "rf"})
        dir.MakeFile(neighbour, 1);
    const std::vector<std::string> before = TreeOf(dir.Path());
    const std::string unixPath = UnixPathOf(path);

    const platform::Result<platform::TrashedEntry> trashed =
        DeleteToRecycleBin(path, platform::EntryIdOf(path).Value());
    if (!trashed && GetParam().wineMayRefuse && RunningUnderWine()) {
        // Where its trash fails, Wine would have deleted the entry for good without the shell's warning.
        EXPECT_EQ(TreeOf(dir.Path()), before);
        return;
    }
    ASSERT_TRUE(trashed) << trashed.Error().message;
    EXPECT_EQ(trashed.Value().originalPath, path);
    EXPECT_EQ(TreeOf(dir.Path()), Without(before, path));
    ExpectInTrash(unixPath);
    WriteDownForTrashList(unixPath);

    // No documented call takes it back reliably: undo says so and changes nothing.
    EXPECT_TRUE(platform::IsInTrash(trashed.Value()));
    const platform::Status restored = platform::RestoreFromTrash(trashed.Value());
    ASSERT_FALSE(restored);
    EXPECT_NE(restored.Error().message.find("undo is not available on this system"), std::string::npos);
    EXPECT_EQ(TreeOf(dir.Path()), Without(before, path));
}

const MoveCase kMoves[] = {
    {"Comma", "Foo,Bar.v1.2-GRP"},
    {"Quotes", "say 'hi'.v1-X"},
    {"Chinese", "\xe4\xb8\xad\xe6\x96\x87.v1-A"},
    {"LeadingDash", "-rf"},
    {"TrailingDot", "Trail.v1-A."},
    {"TrailingBlank", "Blank.v1-A "},
    {"PastTheLengthLimit", std::string(120, 'p') + "/" + std::string(120, 'q') + "/Deep.v1-A", true},
};

INSTANTIATE_TEST_SUITE_P(Names, MoveTest, testing::ValuesIn(kMoves), test::CaseName());

// Made by the Linux side under Wine (linux_made_entries.sh).
std::string LinuxMade(const std::string& relative)
{
    const char* root = std::getenv("VERSWEEP_LINUX_MADE");
    std::string path = std::string("Z:") + (root != nullptr ? root : "") + "/" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

TEST(CaseTwins, OneOfTwoNamesDifferingInCaseGoesAlone)
{
    if (std::getenv("VERSWEEP_LINUX_MADE") == nullptr)
        GTEST_SKIP() << "needs the Linux side under Wine (ctest's trash_win_home)";
    const std::string path = LinuxMade("case/foo.v1-A");
    const std::string unixPath = UnixPathOf(path);
    const platform::Result<platform::TrashedEntry> trashed = DeleteToRecycleBin(path);
    ASSERT_TRUE(trashed) << trashed.Error().message;
    const platform::Result<std::vector<platform::DirEntry>> left = platform::ListDirectory(LinuxMade("case"));
    ASSERT_EQ(left.Value().size(), 1U);
    EXPECT_EQ(left.Value().front().name, "Foo.v1-A");
    EXPECT_EQ(platform::MeasureTree(LinuxMade("case/Foo.v1-A"), 0).bytes, 10);
    WriteDownForTrashList(unixPath);
}

// What a refused move starts from: the path to move, the folder that must stay as it was, and what tidies up.
struct Scene
{
    std::string path;
    std::string watched;
    std::function<void()> tidy = [] {};
};

struct RefusalCase
{
    const char* name;
    std::function<Scene(const TempDir&)> build;
};

class RefusalTest : public testing::TestWithParam<RefusalCase>
{};

TEST_P(RefusalTest, GivesFalseAndTouchesNothing)
{
    const TempDir dir;
    const Scene scene = GetParam().build(dir);
    if (scene.path.empty())
        GTEST_SKIP() << "needs the Linux side under Wine";
    const std::vector<std::string> before = TreeOf(scene.watched);
    const std::vector<std::string> trashBefore = TreeOf(test::PrivateTrashRoot());

    platform::FileId listed;
    if (std::string(GetParam().name) == "ChangedSinceListed")
        listed = platform::EntryIdOf(dir / "A.v2-X").Value();
    const platform::Result<platform::TrashedEntry> trashed = DeleteToRecycleBin(scene.path, listed);
    EXPECT_FALSE(trashed);
    EXPECT_EQ(TreeOf(scene.watched), before);
    EXPECT_EQ(TreeOf(test::PrivateTrashRoot()), trashBefore);
    scene.tidy();
}

Scene InTemp(const TempDir& dir, const std::string& path)
{
    dir.MakeFile("entry/payload", 300);
    return {path, dir.Path()};
}

const RefusalCase kRefusals[] = {
    {"Vanished", [](const TempDir& dir) { return InTemp(dir, dir / "gone"); }},
    {"NulInPath", [](const TempDir& dir) { return InTemp(dir, dir / std::string("entry\0junk", 10)); }},
    {"DotComponent", [](const TempDir& dir) { return InTemp(dir, dir / "./entry"); }},
    {"DotDotComponent", [](const TempDir& dir) { return InTemp(dir, dir / "entry/../entry"); }},
    {"ChangedSinceListed",
     [](const TempDir& dir) {
         dir.MakeFile("A.v2-X/new", 2);
         dir.MakeFile("A.v1-X/old", 1);
         return Scene{dir / "A.v1-X", dir.Path()};
     }},
    // The shell would move the folder the link leads to, under the link's name.
    {"Link",
     [](const TempDir&) {
         if (std::getenv("VERSWEEP_LINUX_MADE") == nullptr)
             return Scene{};
         return Scene{LinuxMade("links/folder-link"), LinuxMade("links")};
     }},
    // Under Wine a Recycle Bin on another file system cannot take a folder, and the shell would delete it for good
    // unless it is told to warn first.
    {"AnotherFileSystem",
     [](const TempDir&) {
         if (std::getenv("VERSWEEP_LINUX_MADE") == nullptr ||
             ::GetFileAttributesW(L"Z:\\dev\\shm") == INVALID_FILE_ATTRIBUTES)
             return Scene{};
         const std::string folder = "Z:\\dev\\shm\\versweep-test-" + std::to_string(::GetCurrentProcessId());
         const std::string entry = folder + "\\Old.v1-A";
         ::CreateDirectoryW(test::Wide(folder).c_str(), nullptr);
         ::CreateDirectoryW(test::Wide(entry).c_str(), nullptr);
         platform::ReplaceFileContent(entry + "\\payload", std::string(300, 'x'));
         return Scene{entry, folder, [folder, entry] {
                          ::DeleteFileW(test::Wide(entry + "\\payload").c_str());
                          ::RemoveDirectoryW(test::Wide(entry).c_str());
                          ::RemoveDirectoryW(test::Wide(folder).c_str());
                      }};
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, RefusalTest, testing::ValuesIn(kRefusals), test::CaseName());

TEST(NoRecycleBin, KeepsTheEntryAndSaysWhy)
{
    if (std::getenv("VERSWEEP_NO_RECYCLE_BIN") == nullptr)
        GTEST_SKIP() << "needs XDG_DATA_HOME naming a missing folder under Wine (ctest's trash_win_no_bin)";
    const TempDir dir;
    dir.MakeFile("Old.v1-A/payload", 300);
    const std::vector<std::string> before = TreeOf(dir.Path());
    const platform::Result<platform::TrashedEntry> trashed = DeleteToRecycleBin(dir / "Old.v1-A");
    ASSERT_FALSE(trashed);
    EXPECT_NE(trashed.Error().message.find("no Recycle Bin"), std::string::npos) << trashed.Error().message;
    EXPECT_EQ(TreeOf(dir.Path()), before);
}

} // namespace
} // namespace versweep

int main(int argc, char** argv)
{
    return versweep::test::RunTestsInPrivateHome(argc, argv);
}
