// The trash: an entry lands whole and alone in the freedesktop.org layout, a refused move keeps it where it
// was, and it comes back without overwriting anything.
#include "platform/trash.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "case_name.h"
#include "mounted_volume.h"
#include "platform/file_content.h"
#include "platform/file_system.h"
#include "private_home.h"
#include "temp_dir.h"
#include "tools/text_tools.h"

namespace versweep {
namespace {

using platform::DeleteToRecycleBin;
using platform::RestoreFromTrash;
using platform::TrashedEntry;
using test::TempDir;
using test::TreeOf;
namespace fs = std::filesystem;

std::vector<std::string> Without(std::vector<std::string> lines, const std::string& path)
{
    std::erase_if(lines, [&](const std::string& line) {
        return line.starts_with(path + " ") || line.starts_with(path + "/");
    });
    return lines;
}

std::string TrashedFile(const TrashedEntry& entry)
{
    return entry.trashRoot + "/files/" + entry.name;
}

std::string RecordFile(const TrashedEntry& entry)
{
    return entry.trashRoot + "/info/" + entry.name + ".trashinfo";
}

// What trash-list prints; nullopt when trash-cli is not installed.
std::optional<std::string> TrashList()
{
    FILE* pipe = ::popen("trash-list 2>/dev/null", "r");
    if (pipe == nullptr)
        return std::nullopt;
    std::string output;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, count);
    const int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

struct NameCase
{
    const char* name;
    std::string entry;
    std::string listedAs; // as trash-list shows it (each invalid UTF-8 byte as U+FFFD); empty: the same
};

class HostileNameTest : public testing::TestWithParam<NameCase>
{};

TEST_P(HostileNameTest, MovesWholeAndAloneAndComesBack)
{
    const TempDir dir;
    const std::string path = dir / GetParam().entry;
    const std::string listed =
        " " + dir / (GetParam().listedAs.empty() ? GetParam().entry : GetParam().listedAs) + "\n";
    dir.MakeFile(GetParam().entry + "/payload", 300);
    // Neighbours named after the pieces a split at commas, blanks, quotes or line ends would give.
    for (const char* neighbour : {"Foo", "Bar.v1.2-GRP", "say", "two", "lines.v2-X", "bad", "rf"})
        dir.MakeFile(neighbour, 1);
    const std::vector<std::string> before = TreeOf(dir.Path());

    const platform::Result<TrashedEntry> trashed = DeleteToRecycleBin(path);
    ASSERT_TRUE(trashed) << trashed.Error().message;
    const TrashedEntry& entry = trashed.Value();
    EXPECT_EQ(entry.originalPath, path);
    EXPECT_EQ(entry.trashRoot, test::PrivateTrashRoot());
    EXPECT_EQ(TreeOf(dir.Path()), Without(before, path));
    EXPECT_EQ(fs::file_size(TrashedFile(entry) + "/payload"), 300U);

    const platform::Result<std::string> record = platform::ReadFileContent(RecordFile(entry));
    ASSERT_TRUE(record);
    EXPECT_TRUE(record.Value().starts_with("[Trash Info]\n"));
    EXPECT_NE(record.Value().find("\nPath=" + entry.infoPath + "\n"), std::string::npos);
    EXPECT_NE(record.Value().find("\nDeletionDate=" + entry.deletionDate + "\n"), std::string::npos);
    EXPECT_TRUE(std::regex_match(entry.infoPath, std::regex("[A-Za-z0-9/%._~-]+"))) << entry.infoPath;
    EXPECT_EQ(PercentDecode(entry.infoPath), path);
    EXPECT_TRUE(std::regex_match(entry.deletionDate, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)")));
    const std::optional<std::string> listing = TrashList();
    if (listing) {
        EXPECT_NE(listing->find(listed), std::string::npos) << *listing;
    }

    const platform::Status restored = RestoreFromTrash(entry);
    ASSERT_TRUE(restored) << restored.Error().message;
    EXPECT_EQ(TreeOf(dir.Path()), before);
    EXPECT_FALSE(fs::exists(RecordFile(entry)));
    if (!listing)
        GTEST_SKIP() << "trash-list (Debian package trash-cli) is not installed; all else passed";
    EXPECT_EQ(TrashList().value_or("").find(listed), std::string::npos);
}

const NameCase kHostileNames[] = {
    {"Comma", "Foo,Bar.v1.2-GRP", {}},  {"Quotes", "say \"hi\" 'you'.v1-X", {}},
    {"Newline", "two\nlines.v2-X", {}}, {"InvalidUtf8", "bad\xff\xfe.v1-X", "bad\xef\xbf\xbd\xef\xbf\xbd.v1-X"},
    {"LeadingDash", "-rf", {}},         {"Star", "*", {}},
};

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest, testing::ValuesIn(kHostileNames), test::CaseName());

TEST(TrashTest, SameNameTwiceGetsTwoTrashNamesEachReadBack)
{
    const TempDir dir;
    dir.MakeFile("a/Foo.v1-X", 1);
    dir.MakeFile("b/Foo.v1-X", 2);
    const platform::Result<TrashedEntry> first = DeleteToRecycleBin(dir / "a/Foo.v1-X");
    const platform::Result<TrashedEntry> second = DeleteToRecycleBin(dir / "b/Foo.v1-X");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Value().name, second.Value().name);
    EXPECT_EQ(fs::file_size(TrashedFile(second.Value())), 2U);
    EXPECT_EQ(PercentDecode(second.Value().infoPath), dir / "b/Foo.v1-X");

    ASSERT_TRUE(RestoreFromTrash(first.Value()));
    ASSERT_TRUE(RestoreFromTrash(second.Value()));
    EXPECT_EQ(fs::file_size(dir / "a/Foo.v1-X"), 1U);
    EXPECT_EQ(fs::file_size(dir / "b/Foo.v1-X"), 2U);
}

TEST(TrashTest, SymlinkMovesAsTheLinkAndItsTargetStays)
{
    const TempDir dir;
    dir.MakeFile("target/payload", 300);
    dir.MakeSymlink("link", dir / "target");
    const platform::Result<TrashedEntry> trashed = DeleteToRecycleBin(dir / "link");
    ASSERT_TRUE(trashed);
    EXPECT_TRUE(fs::is_symlink(TrashedFile(trashed.Value())));
    EXPECT_EQ(fs::file_size(dir / "target/payload"), 300U);

    ASSERT_TRUE(RestoreFromTrash(trashed.Value()));
    EXPECT_EQ(fs::read_symlink(dir / "link"), dir / "target");
}

// File systems that refuse to rename without replacing (FUSE, NFS, sshfs) still get every kind of entry
// back, and still never lose what took its place.
struct RefusedNoReplaceCase
{
    const char* name;
    std::function<void(const TempDir&)> makeEntry; // makes "App.v1-X"
    std::function<void(const TempDir&)> takePlace; // puts something at "App.v1-X" after the move; may do nothing
};

class RefusedNoReplaceTest : public testing::TestWithParam<RefusedNoReplaceCase>
{
protected:
    void SetUp() override { platform::RefuseNoReplaceRenamesForTests(true); }
    void TearDown() override { platform::RefuseNoReplaceRenamesForTests(false); }
};

TEST_P(RefusedNoReplaceTest, ComesBackOnlyToAFreePath)
{
    const TempDir dir;
    GetParam().makeEntry(dir);
    const std::vector<std::string> before = TreeOf(dir.Path());
    const platform::Result<TrashedEntry> trashed = DeleteToRecycleBin(dir / "App.v1-X");
    ASSERT_TRUE(trashed);
    GetParam().takePlace(dir);
    const std::vector<std::string> taken = TreeOf(dir.Path());

    const platform::Status restored = RestoreFromTrash(trashed.Value());
    if (taken == Without(before, dir / "App.v1-X")) {
        ASSERT_TRUE(restored) << restored.Error().message;
        EXPECT_EQ(TreeOf(dir.Path()), before);
        EXPECT_FALSE(fs::exists(RecordFile(trashed.Value())));
    } else {
        ASSERT_FALSE(restored);
        EXPECT_EQ(restored.Error().code, EEXIST);
        EXPECT_EQ(TreeOf(dir.Path()), taken);
        EXPECT_TRUE(platform::IsInTrash(trashed.Value()));
    }
}

const auto kNothing = [](const TempDir&) {};
const auto kFolder = [](const TempDir& dir) { dir.MakeFile("App.v1-X/sub/setup.exe", 40); };
const auto kFile = [](const TempDir& dir) { dir.MakeFile("App.v1-X", 40); };
const auto kLink = [](const TempDir& dir) { dir.MakeSymlink("App.v1-X", "elsewhere"); };
const auto kEmptyFolder = [](const TempDir& dir) { dir.MakeDir("App.v1-X"); };

const RefusedNoReplaceCase kRefusedNoReplace[] = {
    {"FolderBack", kFolder, kNothing},
    {"FileBack", kFile, kNothing},
    {"LinkBack", kLink, kNothing},
    {"FolderOntoAnEmptyFolderStays", kFolder, kEmptyFolder},
    {"FolderOntoAFileStays", kFolder, kFile},
    {"FileOntoAnEmptyFolderStays", kFile, kEmptyFolder},
    {"LinkOntoAFileStays", kLink, kFile},
};

INSTANTIATE_TEST_SUITE_P(Kinds, RefusedNoReplaceTest, testing::ValuesIn(kRefusedNoReplace), test::CaseName());

// Another process keeps swapping the checked entry with the newest version while it is being moved: what
// moves is always the listed entry, and the newest never stays in the trash.
TEST(TrashTest, AnEntrySwappedWhileItMovesNeverTrashesTheOther)
{
    const TempDir dir;
    dir.MakeFile("A.v1-X/old", 1);
    dir.MakeFile("A.v2-X/new", 2);
    const std::string checked = dir / "A.v1-X";
    const std::string newest = dir / "A.v2-X";
    const platform::FileId listed = platform::EntryIdOf(checked).Value();
    const platform::FileId kept = platform::EntryIdOf(newest).Value();
    std::atomic<bool> stop{false};
    std::thread swapper([&] {
        while (!stop)
            ::renameat2(AT_FDCWD, checked.c_str(), AT_FDCWD, newest.c_str(), RENAME_EXCHANGE);
    });
    for (int round = 0; round < 200; ++round) {
        const platform::Result<TrashedEntry> trashed = DeleteToRecycleBin(checked, listed);
        if (trashed) {
            EXPECT_EQ(trashed.Value().id, listed);
            ASSERT_TRUE(RestoreFromTrash(trashed.Value()));
        }
        const platform::Result<std::vector<platform::DirEntry>> inTrash =
            platform::ListDirectory(test::PrivateTrashRoot() + "/files");
        for (const platform::DirEntry& entry : inTrash ? inTrash.Value() : std::vector<platform::DirEntry>())
            ASSERT_NE(entry.identity, kept) << "round " << round;
    }
    stop = true;
    swapper.join();
    std::vector<platform::FileId> present{platform::EntryIdOf(checked).Value(),
                                          platform::EntryIdOf(newest).Value()};
    std::sort(present.begin(), present.end(), [](auto a, auto b) { return a.inode < b.inode; });
    std::vector<platform::FileId> expected{listed, kept};
    std::sort(expected.begin(), expected.end(), [](auto a, auto b) { return a.inode < b.inode; });
    EXPECT_EQ(present, expected);
}

// Writes to `path` until the volume has no block left.
void FillVolume(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const std::string chunk(1024, 'x');
    while (::write(fd, chunk.data(), chunk.size()) > 0) {
    }
    ::fsync(fd);
    ::close(fd);
}

// What a refused move starts from; its destructor puts back a home trash a case set aside.
struct Scene
{
    TempDir dir;
    std::unique_ptr<test::MountedVolume> volume;
    std::string skipReason;
    bool homeTrashSetAside = false;

    ~Scene()
    {
        if (homeTrashSetAside) {
            fs::remove(test::PrivateTrashRoot());
            fs::rename(test::PrivateTrashRoot() + ".aside", test::PrivateTrashRoot());
        }
    }
};

// An entry whose name has `length` bytes, and the home trash made before, as any earlier move makes it.
std::string LongNamedEntry(Scene& s, std::size_t length)
{
    for (const char* part : {"/files", "/info"})
        fs::create_directories(test::PrivateTrashRoot() + part);
    const std::string name = std::string(length - 5, 'n') + ".v1-X";
    s.dir.MakeFile(name + "/payload", 300);
    return s.dir / name;
}

struct RefusalCase
{
    const char* name;
    std::function<std::string(Scene&)> build; // gives the path to trash
};

class RefusalTest : public testing::TestWithParam<RefusalCase>
{};

TEST_P(RefusalTest, GivesFalseAndTouchesNothing)
{
    Scene scene;
    const std::string path = GetParam().build(scene);
    if (!scene.skipReason.empty())
        GTEST_SKIP() << scene.skipReason;
    const std::vector<std::string> before = TreeOf(scene.dir.Path());
    const std::vector<std::string> trashBefore = TreeOf(test::PrivateTrashRoot());

    EXPECT_FALSE(DeleteToRecycleBin(path));
    EXPECT_EQ(TreeOf(scene.dir.Path()), before);
    EXPECT_EQ(TreeOf(test::PrivateTrashRoot()), trashBefore);
}

const RefusalCase kRefusals[] = {
    {"VanishedEntry", [](Scene& s) { return s.dir / "gone"; }},
    // Read by its text alone, "link/.." would name the temporary folder itself.
    {"DotDotAfterLink",
     [](Scene& s) {
         s.dir.MakeFile("real/inner/payload", 300);
         s.dir.MakeSymlink("link", s.dir / "real/inner");
         return s.dir / "link/..";
     }},
    {"ReadOnlyParent",
     [](Scene& s) {
         if (::geteuid() == 0)
             s.skipReason = "root ignores permission bits; CI runs this again as nobody";
         s.dir.MakeFile("locked/entry/payload", 300);
         s.dir.Chmod("locked", 0555);
         return s.dir / "locked/entry";
     }},
    {"HomeTrashUnusable",
     [](Scene& s) {
         const std::string root = test::PrivateTrashRoot();
         fs::create_directories(root);
         fs::rename(root, root + ".aside");
         s.homeTrashSetAside = true;
         s.dir.MakeFile("entry/payload", 300);
         platform::ReplaceFileContent(root, "a file where the trash folder should be");
         return s.dir / "entry";
     }},
    {"VolumeWithoutTrash",
     [](Scene& s) {
         s.volume = std::make_unique<test::MountedVolume>(s.dir, test::MountedVolume::Kind::Tmpfs);
         s.skipReason = s.volume->SkipReason();
         s.dir.MakeFile("volume/entry/payload", 300);
         return s.dir / "volume/entry";
     }},
    // The system reads a path only up to a NUL: this one would name "sub", which was never asked for.
    {"NulInPath",
     [](Scene& s) {
         s.dir.MakeFile("sub/payload", 300);
         return s.dir / std::string("sub\0junk", 8);
     }},
    {"DotComponent",
     [](Scene& s) {
         s.dir.MakeFile("entry/payload", 300);
         return s.dir / "./entry";
     }},
    // GIO renames such an entry into the trash and leaves its record empty, yet reports success: an entry
    // no trash tool could restore and the next emptying would delete. It goes straight back.
    {"NameOf239Bytes", [](Scene& s) { return LongNamedEntry(s, 239); }},
    {"NameOf245Bytes", [](Scene& s) { return LongNamedEntry(s, 245); }},
    // The same on a volume whose trash exists but has no block left for the record.
    {"FullVolume",
     [](Scene& s) {
         s.volume = std::make_unique<test::MountedVolume>(s.dir, test::MountedVolume::Kind::Ext4Image);
         s.skipReason = s.volume->SkipReason();
         if (!s.skipReason.empty())
             return std::string();
         const std::string trash = s.volume->Path() + "/.Trash-" + std::to_string(::geteuid());
         for (const char* part : {"", "/files", "/info"})
             fs::create_directory(trash + part);
         fs::permissions(trash, fs::perms::owner_all);
         s.dir.MakeFile("volume/entry/payload", 300);
         FillVolume(s.volume->Path() + "/filler");
         return s.dir / "volume/entry";
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, RefusalTest, testing::ValuesIn(kRefusals), test::CaseName());

} // namespace
} // namespace versweep

int main(int argc, char** argv)
{
    return versweep::test::RunTestsInPrivateHome(argc, argv);
}
