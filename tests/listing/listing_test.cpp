// Tests of the listing pass on real folders (what is listed, how entry names are read, the group tags, the
// white and black lists, what a folder that cannot be listed leaves) and of the listing's marks by id.
#include "listing/listing_pass.h"

#include <algorithm>
#include <cerrno>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/collation.h"
#include "platform/file_system.h"
#include "temp_dir.h"

namespace versweep {
namespace {

enum class Kind
{
    Folder,
    File,
    ReadOnlyFolder,
    LinkToFolder,
    LinkToFile,
    DanglingLink,
};

// An entry a test plants in its folder.
struct Planted
{
    Kind kind;
    std::string name;
};

// Builds the entries inside `dir`/`folder`; link targets live beside the folder, not in it.
void Populate(const test::TempDir& dir, const std::string& folder, const std::vector<Planted>& entries)
{
    dir.MakeDir(folder);
    for (const Planted& entry : entries) {
        const std::string path = folder + "/" + entry.name;
        switch (entry.kind) {
        case Kind::Folder:
            dir.MakeDir(path);
            break;
        case Kind::File:
            dir.MakeFile(path, 10);
            break;
        case Kind::ReadOnlyFolder:
            dir.MakeDir(path);
            dir.Chmod(path, 0555);
            break;
        case Kind::LinkToFolder:
            dir.MakeDir("targets/" + entry.name);
            dir.MakeSymlink(path, dir / ("targets/" + entry.name));
            break;
        case Kind::LinkToFile:
            dir.MakeFile("targets/" + entry.name, 10);
            dir.MakeSymlink(path, dir / ("targets/" + entry.name));
            break;
        case Kind::DanglingLink:
            dir.MakeSymlink(path, dir / "targets/missing");
            break;
        }
    }
}

ListedFolder Listed(const std::string& folder, const ListOptions& options = {})
{
    platform::Collation collation("en_US");
    return ListFolder(folder, options, collation);
}

// The entries as "[x] name" / "[ ] name" rows, ordered by name so that cases do not depend on the collation
// (the collation's tests cover that).
std::vector<std::string> Rows(const ListedFolder& listed)
{
    std::vector<std::string> rows;
    for (const Entry& entry : listed.entries)
        rows.push_back((entry.checked ? "[x] " : "[ ] ") + entry.name);
    return rows;
}

std::vector<std::string> ByName(std::vector<std::string> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

struct PassCase
{
    const char* name;
    std::vector<Planted> entries;
    std::vector<std::string> expected; // rows, any order
    std::vector<std::string> tags;     // group tags in menu order
    ListOptions options = {};
    std::string folder = "shelf-";
};

void PrintTo(const PassCase& c, std::ostream* out)
{
    *out << c.name;
}

ListOptions Options(bool onlyDuplicates, bool listFiles)
{
    ListOptions options;
    options.onlyDuplicates = onlyDuplicates;
    options.listFiles = listFiles;
    return options;
}

ListOptions Lists(const std::string& white, const std::string& black, int keepCount = 1)
{
    ListOptions options;
    options.whiteList = white;
    options.blackList = black;
    options.keepCount = keepCount;
    return options;
}

const ListOptions kEverything = Options(false, true);
const ListOptions kAllFolders = Options(false, false);

// Entries that only "ListFile" brings in; the plain folder is the oldest of the title.
const std::vector<Planted> kMixedKinds = {
    {Kind::Folder, "Game.v1.0-A"},       {Kind::File, "Game.v2.0-B.zip"},
    {Kind::Folder, ".Game.v3.0-C"},      {Kind::ReadOnlyFolder, "Game.v4.0-D"},
    {Kind::LinkToFolder, "Game.v5.0-E"}, {Kind::LinkToFile, "Game.v6.0-F.rar"},
    {Kind::DanglingLink, "Game.v7.0-G"},
};

const std::vector<Planted> kThreeVersions = {
    {Kind::Folder, "Game.v2-B"}, {Kind::Folder, "Game.v3-C"}, {Kind::Folder, "Game.v1-A"}};

const PassCase kPassCases[] = {
    {"EmptyFolderGivesHeaderOnly", {}, {}, {}},
    {"NewestVersionsStayUnchecked",
     {{Kind::Folder, "Game.v1.0-AAA"}, {Kind::Folder, "Game.v1.1-BBB"}, {Kind::Folder, "Game.v1.1-CCC"}},
     {"[x] Game.v1.0-AAA", "[ ] Game.v1.1-BBB", "[ ] Game.v1.1-CCC"},
     {"AAA", "BBB", "CCC"}},
    {"UnderscoresCountAsDots",
     {{Kind::Folder, "Game_v2.0-X"}, {Kind::Folder, "Game.v1.0-Y"}},
     {"[ ] Game_v2.0-X", "[x] Game.v1.0-Y"},
     {"X", "Y"}},
    {"NameSortingAboveHeaderStillMarked",
     {{Kind::Folder, "_Game.v1.0-A"},
      {Kind::Folder, "Game.v2.0-B"},
      {Kind::Folder, "!Tool.v1-C"},
      {Kind::Folder, "!Tool.v2-D"}},
     {"[x] _Game.v1.0-A", "[ ] Game.v2.0-B", "[x] !Tool.v1-C", "[ ] !Tool.v2-D"},
     {"A", "B", "C", "D"}},
    {"SingletonsLeaveListButNotMenu",
     {{Kind::Folder, "Game.v1.0-A"},
      {Kind::Folder, "Game.v2.0-B"},
      {Kind::Folder, "Solo.v1.0-C"},
      {Kind::Folder, "Readme"}},
     {"[x] Game.v1.0-A", "[ ] Game.v2.0-B"},
     {"A", "B", "C"}},
    {"MarksFollowEntriesPastDroppedOnes",
     {{Kind::Folder, "Alpha.v1-A"},
      {Kind::Folder, "Beta.v1-B"},
      {Kind::Folder, "Beta.v2-C"},
      {Kind::Folder, "Chi.v1-D"},
      {Kind::Folder, "Delta.v2-E"},
      {Kind::Folder, "Delta.v1-F"},
      {Kind::Folder, "Omega"}},
     {"[x] Beta.v1-B", "[ ] Beta.v2-C", "[ ] Delta.v2-E", "[x] Delta.v1-F"},
     {"A", "B", "C", "D", "E", "F"}},
    {"WithoutListFileOnlyPlainFolders", kMixedKinds, {"[ ] Game.v1.0-A"}, {"A"}, kAllFolders},
    {"ListFileListsEveryKind",
     kMixedKinds,
     {"[x] Game.v1.0-A", "[x] Game.v2.0-B.zip", "[x] .Game.v3.0-C", "[x] Game.v4.0-D", "[x] Game.v5.0-E",
      "[x] Game.v6.0-F.rar", "[ ] Game.v7.0-G"},
     {"A", "B.zip", "C", "D", "E", "F.rar", "G"},
     kEverything},
    // Each "X.v1.2.7z" read with its extension would be version 1.2.7.Z, above the folder's 1.2.1.
    {"PlainFilesLoseExtension",
     {{Kind::File, "Tool.v1.2.7z"},
      {Kind::Folder, "Tool.v1.2.1"},
      {Kind::File, "Kit_v1.2.7z"},
      {Kind::Folder, "Kit.v1.2.1"},
      {Kind::LinkToFile, "Pad.v1.2.7z"},
      {Kind::Folder, "Pad.v1.2.1"},
      {Kind::DanglingLink, "Box.v1.2.7z"},
      {Kind::Folder, "Box.v1.2.1"}},
     {"[x] Tool.v1.2.7z", "[ ] Tool.v1.2.1", "[x] Kit_v1.2.7z", "[ ] Kit.v1.2.1", "[x] Pad.v1.2.7z",
      "[ ] Pad.v1.2.1", "[ ] Box.v1.2.7z", "[x] Box.v1.2.1"},
     {},
     kEverything},
    // The folder's name with underscores replaced names the file; it is still a folder.
    {"FolderNotTakenForFileOfReplacedName",
     {{Kind::Folder, "Pack_v1.2.7z"}, {Kind::File, "Pack.v1.2.7z"}},
     {"[ ] Pack_v1.2.7z", "[x] Pack.v1.2.7z"},
     {},
     kEverything},
    {"WhiteListInAnyCase",
     {{Kind::Folder, "Game.v1.0-A"}, {Kind::Folder, "Game.v2.0-B"}},
     {"[ ] Game.v1.0-A", "[ ] Game.v2.0-B"},
     {"A", "B"},
     Lists("other, game", "")},
    {"BlackListChecksNewestToo",
     {{Kind::Folder, "Tool.v1.0-A"}, {Kind::Folder, "Tool.v2.0-B"}, {Kind::Folder, "Game.v1.0-C"}},
     {"[x] Tool.v1.0-A", "[x] Tool.v2.0-B"},
     {"A", "B", "C"},
     Lists("", "tool")},
    {"KeepTwo",
     kThreeVersions,
     {"[x] Game.v1-A", "[ ] Game.v2-B", "[ ] Game.v3-C"},
     {"A", "B", "C"},
     Lists("", "", 2)},
    {"KeepCountBelowOneKeepsNewest",
     kThreeVersions,
     {"[x] Game.v1-A", "[x] Game.v2-B", "[ ] Game.v3-C"},
     {"A", "B", "C"},
     Lists("", "", -2)},
    {"GroupTagsDedupedByExactCase",
     {{Kind::Folder, "Game.v1-grp"},
      {Kind::Folder, "Game.v2-GRP"},
      {Kind::Folder, "Tool.v1-GRP"},
      {Kind::Folder, "Tool.v2-"}},
     {"[x] Game.v1-grp", "[ ] Game.v2-GRP", "[x] Tool.v1-GRP", "[ ] Tool.v2-"},
     {"GRP", "grp"}},
    {"FolderTagJoinsTags",
     {{Kind::Folder, "Game.v1-A"}},
     {"[ ] Game.v1-A"},
     {"A", "HDR"},
     kAllFolders,
     "Releases-HDR"},
};

class PassCaseTest : public testing::TestWithParam<PassCase>
{};

TEST_P(PassCaseTest, ListsAndMarksAsExpected)
{
    const PassCase& c = GetParam();
    const bool plantsLinks = std::any_of(c.entries.begin(), c.entries.end(), [](const Planted& entry) {
        return entry.kind == Kind::LinkToFolder || entry.kind == Kind::LinkToFile ||
               entry.kind == Kind::DanglingLink;
    });
    if (plantsLinks && !test::LinksAndAnyNames())
        GTEST_SKIP() << "this system's tests cannot make links";
    const test::TempDir dir;
    Populate(dir, c.folder, c.entries);
    const std::string folder = dir / c.folder;

    const ListedFolder listed = Listed(folder, c.options);

    EXPECT_FALSE(listed.error.has_value());
    EXPECT_EQ(listed.folder, folder);
    EXPECT_EQ(ByName(Rows(listed)), ByName(c.expected));
    EXPECT_EQ(listed.groupTags, c.tags);
}

INSTANTIATE_TEST_SUITE_P(Folders, PassCaseTest, testing::ValuesIn(kPassCases),
                         [](const testing::TestParamInfo<PassCase>& param) { return param.param.name; });

struct UnlistableCase
{
    const char* name;
    std::string relative; // below the temporary folder
    int error;
};

class UnlistableTest : public testing::TestWithParam<UnlistableCase>
{};

TEST_P(UnlistableTest, ListsNothingAndTellsWhy)
{
    const UnlistableCase& c = GetParam();
    const test::TempDir dir;
    dir.MakeFile("plain-", 10);
    const std::string folder = dir / c.relative;

    const ListedFolder listed = Listed(folder);

    EXPECT_EQ(listed.folder, folder);
    EXPECT_TRUE(listed.entries.empty());
    EXPECT_TRUE(listed.groupTags.empty());
    ASSERT_TRUE(listed.error.has_value());
    EXPECT_EQ(listed.error->code, c.error);
}

const UnlistableCase kUnlistableCases[] = {
    {"MissingFolder", "missing-", ENOENT},
    {"PlainFile", "plain-", ENOTDIR},
};

INSTANTIATE_TEST_SUITE_P(Folders, UnlistableTest, testing::ValuesIn(kUnlistableCases),
                         [](const testing::TestParamInfo<UnlistableCase>& param) { return param.param.name; });

TEST(ListFolder, EntriesReadAsReleasesWithTheirTags)
{
    const test::TempDir dir;
    Populate(dir, "shelf-",
             {{Kind::File, "Tool_v1.2.7z"}, {Kind::Folder, "Tool.v1.3_beta-X-GRP"}, {Kind::Folder, "Solo.v1"}});
    const ListedFolder listed = Listed(dir / "shelf-", Options(true, true));
    std::vector<std::string> read;
    for (const Entry& entry : listed.entries)
        read.push_back(entry.name + " -> " + entry.readName + " [" + entry.groupTag + "]");
    EXPECT_EQ(ByName(read), (std::vector<std::string>{"Tool.v1.3_beta-X-GRP -> Tool.v1.3.beta-X-GRP [GRP]",
                                                      "Tool_v1.2.7z -> Tool.v1.2 []"}));
}

// The process may stand anywhere; a file there named like an entry must not change how the entry reads.
TEST(ListFolder, EntriesResolvedInTheirFolderNotTheCurrentOne)
{
    const test::TempDir dir;
    Populate(dir, "shelf-", {{Kind::Folder, "Tool.v1.2.1"}, {Kind::Folder, "Tool.v1.2"}});
    dir.MakeFile("elsewhere/Tool.v1.2.1", 10);
    const platform::Result<std::string> previous = platform::CurrentDirectory();
    ASSERT_TRUE(previous.HasValue());
    ASSERT_EQ(::chdir((dir / "elsewhere").c_str()), 0);
    const ListedFolder listed = Listed(dir / "shelf-");
    EXPECT_EQ(::chdir(previous.Value().c_str()), 0);

    EXPECT_EQ(ByName(Rows(listed)), ByName({"[ ] Tool.v1.2.1", "[x] Tool.v1.2"}));
}

// What an entry's tooltip and the JSON say: the reason, the successor by its name in the list (underscores
// and all), the title key, the ambiguity.
TEST(ListFolder, EntriesKeepWhyTheyAreMarked)
{
    const test::TempDir dir;
    Populate(dir, "shelf-",
             {{Kind::Folder, "Archiver.v1.3.11-A"},
              {Kind::Folder, "Archiver_v1.14.25-B"},
              {Kind::Folder, "Archiver.v1.2-C"},
              {Kind::Folder, "Game.v1-D"},
              {Kind::Folder, "Game.v3-F"}});
    const ListedFolder listed = Listed(dir / "shelf-");
    std::vector<std::string> why;
    for (const Entry& entry : listed.entries)
        why.push_back(entry.name + ": " + std::string(ReasonName(entry.mark.reason)) + ">" +
                      entry.mark.supersededBy + " " + entry.mark.titleKey +
                      (entry.mark.ambiguous ? " ambiguous" : ""));
    std::sort(why.begin(), why.end());
    EXPECT_EQ(why, (std::vector<std::string>{
                       "Archiver.v1.2-C: older>Archiver_v1.14.25-B ARCHIVER ambiguous",
                       "Archiver.v1.3.11-A: ambiguous_kept> ARCHIVER ambiguous",
                       "Archiver_v1.14.25-B: ambiguous_kept> ARCHIVER ambiguous",
                       "Game.v1-D: older>Game.v3-F GAME",
                       "Game.v3-F: newest> GAME",
                   }));
    EXPECT_EQ(listed.ambiguousTitles, 1U);
}

// Records the notices a view gets.
class LogObserver final : public ListingObserver
{
public:
    void ListingAboutToReset() override { log += "<reset "; }
    void ListingReset() override { log += "reset> "; }
    void EntryChanged(std::size_t position) override { log += "chg" + std::to_string(position) + " "; }
    std::string log;
};

// Marks change by id, and a mark that is already right keeps the reason that set it. An id of an earlier
// listing names nothing, so an answer that comes late (a size, a toggle) can never land on another entry.
TEST(Listing, MarksChangeByIdAndOldIdsNameNothing)
{
    const auto folder = [] {
        ListedFolder listed;
        listed.entries.resize(2);
        listed.entries[0].name = "a";
        listed.entries[1].name = "b";
        listed.entries[1].checked = true;
        listed.entries[1].mark.reason = MarkReason::Older;
        listed.entries[1].mark.ambiguous = true;
        return listed;
    };
    Listing listing;
    LogObserver observer;
    listing.SetObserver(&observer);
    EXPECT_FALSE(listing.IsListed());
    listing.Show(folder());
    const EntryId a = listing.Entries()[0].id;
    const EntryId b = listing.Entries()[1].id;
    EXPECT_EQ(listing.CheckedCount(), 1U);

    EXPECT_FALSE(listing.SetChecked(b, true, MarkReason::Empty));
    EXPECT_TRUE(listing.SetChecked(a, true, MarkReason::Empty));
    EXPECT_TRUE(listing.Toggle(b));
    EXPECT_EQ(listing.CheckedCount(), 1U);
    EXPECT_EQ(listing.Entries()[0].mark.reason, MarkReason::Empty);
    EXPECT_EQ(listing.Entries()[1].mark.reason, MarkReason::Hand);
    EXPECT_TRUE(listing.Entries()[1].mark.ambiguous);

    listing.Show(folder());
    EXPECT_FALSE(listing.PositionOf(a));
    EXPECT_FALSE(listing.Toggle(b));
    EXPECT_FALSE(listing.SetChecked(a, false, MarkReason::Group));
    EXPECT_EQ(*listing.PositionOf(listing.Entries()[1].id), 1U);
    listing.Clear();
    EXPECT_FALSE(listing.IsListed());
    EXPECT_EQ(observer.log, "<reset reset> chg0 chg1 <reset reset> <reset reset> ");
}

} // namespace
} // namespace versweep
