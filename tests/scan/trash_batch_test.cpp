// Trash batches: the checked entries go in list order and never the header; undo brings back what it can
// and keeps what it could not, from the home trash and from a volume's own trash.
#include "scan/trash_batch.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "case_name.h"
#include "mounted_volume.h"
#include "platform/trash.h"
#include "private_home.h"
#include "scan/refresh_list.h"
#include "scan/undo_record.h"
#include "temp_dir.h"
#include "widgets/check_list.h"

namespace versweep {
namespace {

using test::TempDir;
using test::TreeOf;
namespace fs = std::filesystem;

std::vector<bool> Succeeded(const BatchReport& report)
{
    std::vector<bool> flags;
    for (const EntryOutcome& entry : report.entries)
        flags.push_back(entry.succeeded);
    return flags;
}

// Fills the list as the listing pass does: the header showing the folder, then the names; checks all but
// `unchecked`, and the header too, as "check all empty folders" could.
void FillList(CheckList& list, const std::string& folder, const std::vector<std::string>& names,
              const std::string& unchecked)
{
    list.AddGroupHeader(folder);
    list.AddItems(names);
    for (int i = 0; i < list.ItemCount(); ++i)
        list.SetChecked(i, list.ItemText(i) != unchecked);
}

TEST(UndoRecordPathTest, StateFolderWhenAbsoluteElseBelowHome)
{
    EXPECT_EQ(UndoRecordPath("/state/", "/home/u"), "/state/versweep/last-trash-batch");
    EXPECT_EQ(UndoRecordPath("state", "/home/u"), "/home/u/.local/state/versweep/last-trash-batch");
    EXPECT_EQ(UndoRecordPath(nullptr, nullptr), "");
    EXPECT_EQ(DefaultUndoRecordPath(), std::string(std::getenv("XDG_STATE_HOME")) + "/versweep/last-trash-batch");
}

struct WhereCase
{
    const char* name;
    bool onOwnVolume; // the folder lies on a file system of its own, with its own trash
};

class TrashBatchTest : public testing::TestWithParam<WhereCase>
{};

TEST_P(TrashBatchTest, MovesCheckedEntriesNeverTheHeaderAndUndoBringsThemBack)
{
    const TempDir dir;
    std::unique_ptr<test::MountedVolume> volume;
    std::string expectedTrash = test::PrivateTrashRoot();
    std::string folder = dir / "F";
    if (GetParam().onOwnVolume) {
        volume = std::make_unique<test::MountedVolume>(dir, test::MountedVolume::Kind::Ext4Image);
        if (!volume->SkipReason().empty())
            GTEST_SKIP() << volume->SkipReason();
        folder = volume->Path() + "/F";
        expectedTrash = volume->Path() + "/.Trash-" + std::to_string(::geteuid());
    }
    const std::vector<std::string> names = {"Foo,Bar.v1-X", "two\nlines.v1-X", "bad\xff.v1-X",
                                            "-rf *",        "kept.v2-X",       "gone.v1-X"};
    for (const std::string& name : names) {
        if (name != "gone.v1-X")
            fs::create_directories(folder + "/" + name + "/payload");
    }
    // The header's path, folder + "/" + "//" + folder, names this folder on POSIX.
    fs::create_directories(folder + folder);
    const std::vector<std::string> before = TreeOf(folder);
    CheckList list("en_US");
    FillList(list, folder, names, "kept.v2-X");
    const std::string record = DefaultUndoRecordPath();

    const BatchReport trashed = TrashCheckedEntries(list, folder, record);
    std::vector<std::string> tried;
    for (const EntryOutcome& entry : trashed.entries)
        tried.push_back(entry.name);
    std::vector<std::string> expected;
    for (int i = 1; i < list.ItemCount(); ++i) {
        if (list.ItemText(i) != "kept.v2-X")
            expected.push_back(list.ItemText(i));
    }
    EXPECT_EQ(tried, expected);
    for (const EntryOutcome& entry : trashed.entries)
        EXPECT_EQ(entry.succeeded, entry.name != "gone.v1-X") << entry.name << ": " << entry.reason;
    EXPECT_FALSE(trashed.recordError);
    EXPECT_TRUE(fs::is_directory(folder + folder));
    EXPECT_TRUE(fs::is_directory(folder + "/kept.v2-X"));
    for (const platform::TrashedEntry& entry : ReadUndoRecord(record))
        EXPECT_EQ(entry.trashRoot, expectedTrash);
    ASSERT_TRUE(HasUndoableBatch(record));

    const BatchReport undone = UndoLastBatch(record);
    EXPECT_EQ(Succeeded(undone), std::vector<bool>(names.size() - 2, true));
    EXPECT_EQ(TreeOf(folder), before);
    EXPECT_FALSE(fs::exists(record));
    EXPECT_FALSE(HasUndoableBatch(record));
}

const WhereCase kWhere[] = {{"HomeTrash", false}, {"VolumeTrash", true}};

INSTANTIATE_TEST_SUITE_P(Where, TrashBatchTest, testing::ValuesIn(kWhere), test::CaseName());

TEST(UndoTest, SkipsWhatLeftTheTrashOrLostItsPlaceAndKeepsWhatCanStillComeBack)
{
    const TempDir dir;
    const std::vector<std::string> names = {"a", "b", "c", "d"};
    for (const std::string& name : names)
        dir.MakeFile("F/" + name, 1);
    CheckList list("en_US");
    FillList(list, dir / "F", names, {});
    const std::string record = DefaultUndoRecordPath();
    ASSERT_EQ(Succeeded(TrashCheckedEntries(list, dir / "F", record)), std::vector<bool>(4, true));
    const std::vector<platform::TrashedEntry> batch = ReadUndoRecord(record);
    ASSERT_EQ(batch.size(), 4U);
    const auto trashed = [](const platform::TrashedEntry& entry) {
        return entry.trashRoot + "/files/" + entry.name;
    };
    const auto recordOf = [](const platform::TrashedEntry& entry) {
        return entry.trashRoot + "/info/" + entry.name + ".trashinfo";
    };
    fs::remove(trashed(batch[1])); // b emptied from the trash
    fs::remove(recordOf(batch[1]));
    dir.MakeFile("F/c", 7);                     // c's place taken by a newcomer
    fs::rename(trashed(batch[3]), dir / "F/d"); // d restored by hand
    fs::remove(recordOf(batch[3]));

    const BatchReport undone = UndoLastBatch(record);
    EXPECT_EQ(Succeeded(undone), (std::vector<bool>{true, false, false, false}));
    for (const EntryOutcome& entry : undone.entries)
        EXPECT_EQ(entry.reason.empty(), entry.succeeded) << entry.name;
    EXPECT_EQ(fs::file_size(dir / "F/c"), 7U);
    const std::vector<platform::TrashedEntry> left = ReadUndoRecord(record);
    ASSERT_EQ(left.size(), 1U);
    EXPECT_EQ(left[0].originalPath, dir / "F/c");

    fs::remove(dir / "F/c");
    EXPECT_EQ(Succeeded(UndoLastBatch(record)), std::vector<bool>{true});
    EXPECT_EQ(fs::file_size(dir / "F/c"), 1U);
    EXPECT_FALSE(HasUndoableBatch(record));
}

} // namespace
} // namespace versweep

int main(int argc, char** argv)
{
    return versweep::test::RunTestsInPrivateHome(argc, argv);
}
