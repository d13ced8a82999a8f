// Tests of the listing pass on real folders: what is listed, how entry names are read, the group menu,
// the white and black lists, and what a folder that cannot be listed leaves.
#include "scan/refresh_list.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "ini/ini_file.h"
#include "platform/file_system.h"
#include "temp_dir.h"
#include "widgets/check_list.h"

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

struct Entry
{
    Kind kind;
    std::string name;
};

// Keeps the menu calls in order, so a test sees that the old entries go before the new ones come.
class RecordingMenu final : public GroupMenuSink
{
public:
    void ClearGroupMenu() override { calls.push_back("clear"); }
    void AddGroupEntry(const std::string& tag) override { calls.push_back("add " + tag); }

    std::vector<std::string> calls;
};

std::vector<std::string> MenuCalls(const std::vector<std::string>& tags)
{
    std::vector<std::string> calls{"clear"};
    for (const std::string& tag : tags)
        calls.push_back("add " + tag);
    return calls;
}

// Builds the entries inside `dir`/`folder`; link targets live beside the folder, not in it.
void Populate(const test::TempDir& dir, const std::string& folder, const std::vector<Entry>& entries)
{
    dir.MakeDir(folder);
    for (const Entry& entry : entries) {
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

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The list after the header as "[x] name" / "[ ] name" rows, ordered by name so that cases do not
// depend on the collation (the check-list tests cover that).
std::vector<std::string> Rows(const CheckList& list)
{
    std::vector<std::string> rows;
    for (int i = 1; i < list.ItemCount(); ++i)
        rows.push_back((list.IsChecked(i) ? "[x] " : "[ ] ") + list.ItemText(i));
    return rows;
}

std::vector<std::string> ByName(std::vector<std::string> rows)
{
    std::sort(rows.begin(), rows.end(),
              [](const std::string& a, const std::string& b) { return a.substr(4) < b.substr(4); });
    return rows;
}

struct PassCase
{
    const char* name;
    std::vector<Entry> entries;
    std::vector<std::string> expected; // rows, any order
    std::vector<std::string> menu;     // group entries in menu order
    RefreshOptions options = {};
    std::string settings = {}; // settings file text; none when empty
    std::string folder = "shelf-";
};

void PrintTo(const PassCase& c, std::ostream* out)
{
    *out << c.name;
}

RefreshOptions Options(bool onlyDuplicate, bool listFile)
{
    RefreshOptions options;
    options.onlyDuplicate = onlyDuplicate;
    options.listFile = listFile;
    return options;
}

RefreshOptions KeepOption(int keepCount)
{
    RefreshOptions options;
    options.keepCount = keepCount;
    return options;
}

const RefreshOptions kEverything = Options(false, true);
const RefreshOptions kAllFolders = Options(false, false);

// Entries that only "ListFile" brings in; the plain folder is the oldest of the title.
const std::vector<Entry> kMixedKinds = {
    {Kind::Folder, "Game.v1.0-A"},       {Kind::File, "Game.v2.0-B.zip"},
    {Kind::Folder, ".Game.v3.0-C"},      {Kind::ReadOnlyFolder, "Game.v4.0-D"},
    {Kind::LinkToFolder, "Game.v5.0-E"}, {Kind::LinkToFile, "Game.v6.0-F.rar"},
    {Kind::DanglingLink, "Game.v7.0-G"},
};

const std::vector<Entry> kThreeVersions = {
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
    {"WhiteListFromSettings",
     {{Kind::Folder, "Game.v1.0-A"}, {Kind::Folder, "Game.v2.0-B"}},
     {"[ ] Game.v1.0-A", "[ ] Game.v2.0-B"},
     {"A", "B"},
     {},
     "[CONFIG]\r\nWhiteList=other, game\r\n"},
    {"BlackListFromSettingsChecksNewestToo",
     {{Kind::Folder, "Tool.v1.0-A"}, {Kind::Folder, "Tool.v2.0-B"}, {Kind::Folder, "Game.v1.0-C"}},
     {"[x] Tool.v1.0-A", "[x] Tool.v2.0-B"},
     {"A", "B", "C"},
     {},
     "[CONFIG]\nBlackList=tool\n"},
    {"KeepCountFromSettings",
     kThreeVersions,
     {"[x] Game.v1-A", "[ ] Game.v2-B", "[ ] Game.v3-C"},
     {"A", "B", "C"},
     {},
     "[CONFIG]\r\nKeepCount=2\r\n"},
    {"KeepOptionOverridesSettings",
     kThreeVersions,
     {"[x] Game.v1-A", "[x] Game.v2-B", "[ ] Game.v3-C"},
     {"A", "B", "C"},
     KeepOption(1),
     "[CONFIG]\nKeepCount=3\n"},
    {"KeepCountBelowOneKeepsNewest",
     kThreeVersions,
     {"[x] Game.v1-A", "[x] Game.v2-B", "[ ] Game.v3-C"},
     {"A", "B", "C"},
     {},
     "[CONFIG]\nKeepCount=-2\n"},
    {"GroupTagsDedupedByExactCase",
     {{Kind::Folder, "Game.v1-grp"},
      {Kind::Folder, "Game.v2-GRP"},
      {Kind::Folder, "Tool.v1-GRP"},
      {Kind::Folder, "Tool.v2-"}},
     {"[x] Game.v1-grp", "[ ] Game.v2-GRP", "[x] Tool.v1-GRP", "[ ] Tool.v2-"},
     {"GRP", "grp"}},
    {"HeaderTagJoinsMenu",
     {{Kind::Folder, "Game.v1-A"}},
     {"[ ] Game.v1-A"},
     {"A", "HDR"},
     kAllFolders,
     {},
     "Releases-HDR"},
};

class PassCaseTest : public testing::TestWithParam<PassCase>
{};

TEST_P(PassCaseTest, ListsAndMarksAsExpected)
{
    const PassCase& c = GetParam();
    const test::TempDir dir;
    Populate(dir, c.folder, c.entries);
    const std::string settingsPath = dir / "versweep.ini";
    if (!c.settings.empty())
        WriteText(settingsPath, c.settings);
    const std::string folder = dir / c.folder;

    CheckList list("en_US");
    RecordingMenu menu;
    const bool anyChecked = RefreshList(list, folder, IniFile(settingsPath), c.options, menu);

    ASSERT_GE(list.ItemCount(), 1);
    EXPECT_TRUE(list.IsGroupHeader(0));
    EXPECT_EQ(list.ItemDisplayText(0), folder);
    EXPECT_EQ(ByName(Rows(list)), ByName(c.expected));
    EXPECT_EQ(menu.calls, MenuCalls(c.menu));
    const bool expectChecked =
        std::any_of(c.expected.begin(), c.expected.end(), [](const std::string& row) { return row[1] == 'x'; });
    EXPECT_EQ(anyChecked, expectChecked);
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

TEST_P(UnlistableTest, LeavesHeaderAloneAndTellsWhy)
{
    const UnlistableCase& c = GetParam();
    const test::TempDir dir;
    dir.MakeFile("plain-", 10);
    const std::string folder = dir / c.relative;

    CheckList list("en_US");
    list.AddItem("left from before");
    RecordingMenu menu;
    RefreshReport report;
    EXPECT_FALSE(RefreshList(list, folder, IniFile(), {}, menu, &report));

    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(list.ItemText(0), "//" + folder);
    EXPECT_EQ(menu.calls, MenuCalls({}));
    ASSERT_TRUE(report.listError.has_value());
    EXPECT_EQ(report.listError->code, c.error);
    EXPECT_EQ(report.names.size(), 1u);
}

const UnlistableCase kUnlistableCases[] = {
    {"MissingFolder", "missing-", ENOENT},
    {"PlainFile", "plain-", ENOTDIR},
};

INSTANTIATE_TEST_SUITE_P(Folders, UnlistableTest, testing::ValuesIn(kUnlistableCases),
                         [](const testing::TestParamInfo<UnlistableCase>& param) { return param.param.name; });

TEST(RefreshList, ReportHoldsNamesAsReadInListOrder)
{
    const test::TempDir dir;
    Populate(dir, "shelf-",
             {{Kind::File, "Tool_v1.2.7z"}, {Kind::Folder, "Tool.v1.3_beta"}, {Kind::Folder, "Solo.v1"}});
    CheckList list("en_US");
    RecordingMenu menu;
    RefreshReport report;
    RefreshList(list, dir / "shelf-", IniFile(), Options(true, true), menu, &report);

    EXPECT_FALSE(report.listError.has_value());
    ASSERT_EQ(report.names.size(), static_cast<std::size_t>(list.ItemCount()));
    std::vector<std::string> pairs;
    for (int i = 1; i < list.ItemCount(); ++i)
        pairs.push_back(list.ItemText(i) + " -> " + report.names[static_cast<std::size_t>(i)]);
    std::sort(pairs.begin(), pairs.end());
    EXPECT_EQ(pairs, (std::vector<std::string>{"Tool.v1.3_beta -> Tool.v1.3.beta", "Tool_v1.2.7z -> Tool.v1.2"}));
}

// The process may stand anywhere (the window's preview moves it); a file there named like an entry
// must not change how the entry reads.
TEST(RefreshList, EntriesResolvedInTheirFolderNotTheCurrentOne)
{
    const test::TempDir dir;
    Populate(dir, "shelf-", {{Kind::Folder, "Tool.v1.2.1"}, {Kind::Folder, "Tool.v1.2"}});
    dir.MakeFile("elsewhere/Tool.v1.2.1", 10);
    const platform::Result<std::string> previous = platform::CurrentDirectory();
    ASSERT_TRUE(previous.HasValue());
    ASSERT_EQ(::chdir((dir / "elsewhere").c_str()), 0);

    CheckList list("en_US");
    RecordingMenu menu;
    RefreshList(list, dir / "shelf-", IniFile(), {}, menu);
    EXPECT_EQ(::chdir(previous.Value().c_str()), 0);

    EXPECT_EQ(ByName(Rows(list)), ByName({"[ ] Tool.v1.2.1", "[x] Tool.v1.2"}));
}

// What an entry's tooltip and the JSON say: the reason, the successor by its name in the list (underscores
// and all), the ambiguity; a command records its own reason only where it changes a mark.
TEST(RefreshList, EntriesKeepWhyTheyAreMarked)
{
    const test::TempDir dir;
    Populate(dir, "shelf-",
             {{Kind::Folder, "Archiver.v1.3.11-A"},
              {Kind::Folder, "Archiver_v1.14.25-B"},
              {Kind::Folder, "Archiver.v1.2-C"},
              {Kind::Folder, "Game.v1-D"},
              {Kind::Folder, "Game.v2-E"},
              {Kind::Folder, "Game.v3-F"}});
    dir.MakeFile("shelf-/Game.v3-F/data", 300);
    CheckList list("en_US");
    RecordingMenu menu;
    RefreshReport report;
    RefreshList(list, dir / "shelf-", IniFile(), {}, menu, &report);
    const auto why = [&list](const std::string& name) {
        for (int i = 1; i < list.ItemCount(); ++i) {
            if (list.ItemText(i) == name) {
                const EntryMark& mark = list.Mark(i);
                return std::string(ReasonName(mark.reason)) + ">" + mark.supersededBy + " " + mark.titleKey +
                       (mark.ambiguous ? " ambiguous" : "");
            }
        }
        return std::string("(not listed)");
    };
    EXPECT_EQ(why("Archiver.v1.2-C"), "older>Archiver_v1.14.25-B ARCHIVER ambiguous");
    EXPECT_EQ(why("Archiver_v1.14.25-B"), "ambiguous_kept> ARCHIVER ambiguous");
    EXPECT_EQ(why("Game.v1-D"), "older>Game.v3-F GAME");
    EXPECT_EQ(report.ambiguousTitles, 1U);

    SetGroupChecked(list, "e", true);
    SetGroupChecked(list, "f", true);
    SetGroupChecked(list, "f", false);
    CheckEmptyEntries(list, dir / "shelf-");
    EXPECT_EQ(why("Game.v2-E"), "older>Game.v3-F GAME");
    EXPECT_EQ(why("Game.v3-F"), "group> GAME");
    EXPECT_EQ(why("Archiver.v1.3.11-A"), "empty> ARCHIVER ambiguous");
    EXPECT_EQ(why("Archiver.v1.2-C"), "older>Archiver_v1.14.25-B ARCHIVER ambiguous");
}

// A second click on a group's menu entry takes its checks back; entries of other groups keep theirs.
TEST(SetGroupChecked, SetsEveryEntryOfTheTagCaseIgnored)
{
    CheckList list("en_US");
    list.AddGroupHeader("/data/rel-grp");
    list.AddItems({"A.v1-GRP", "B.v1-Grp", "C.v1-grp2", "D.v1-X-grp", "E.v1-X"});
    list.SetChecked(5, true);

    SetGroupChecked(list, "grp", true);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"[x] A.v1-GRP", "[x] B.v1-Grp", "[ ] C.v1-grp2",
                                                    "[x] D.v1-X-grp", "[x] E.v1-X"}));
    EXPECT_FALSE(list.IsChecked(0));
    SetGroupChecked(list, "GRP", false);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"[ ] A.v1-GRP", "[ ] B.v1-Grp", "[ ] C.v1-grp2",
                                                    "[ ] D.v1-X-grp", "[x] E.v1-X"}));
}

} // namespace
} // namespace versweep
