// Trash batches: the entries go in the order given, and only while they are what was listed; undo brings back what
// it can and keeps what it could not, from the home trash and from a volume's own trash, and never trusts an
// edited record to send anything elsewhere.
#include "scan/trash_batch.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "case_name.h"
#include "mounted_volume.h"
#include "platform/file_system.h"
#include "platform/trash.h"
#include "private_home.h"
#include "scan/undo_record.h"
#include "temp_dir.h"
#include "tools/text_tools.h"

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

// The entries `names` of `folder` as the listing saw them, each with the file it is (unknown for one not there).
std::vector<BatchEntry> Batch(const std::string& folder, const std::vector<std::string>& names)
{
    std::vector<BatchEntry> batch;
    const platform::Result<std::vector<platform::DirEntry>> listed = platform::ListDirectory(folder);
    for (const std::string& name : names) {
        batch.push_back(BatchEntry{name, {}});
        for (const platform::DirEntry& entry : listed.Value()) {
            if (entry.name == name)
                batch.back().identity = entry.identity;
        }
    }
    return batch;
}

std::vector<platform::TrashedEntry> MovedEntries(const std::string& record)
{
    std::vector<platform::TrashedEntry> moved;
    for (const RecordedMove& move : ReadUndoRecord(record)) {
        if (move.stage == RecordedMove::Stage::Moved)
            moved.push_back(move.entry);
    }
    return moved;
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
    bool throughLink; // the folder is reached through a symbolic link
};

class TrashBatchTest : public testing::TestWithParam<WhereCase>
{};

TEST_P(TrashBatchTest, MovesTheEntriesInTheirOrderAndUndoBringsThemBack)
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
    if (GetParam().throughLink) {
        fs::create_directories(folder);
        dir.MakeSymlink("via", folder);
        folder = dir / "via";
    }
    const std::vector<std::string> names = {"Foo,Bar.v1-X", "two\nlines.v1-X", "bad\xff.v1-X", "-rf *",
                                            "gone.v1-X"};
    for (const std::string& name : names) {
        if (name != "gone.v1-X")
            fs::create_directories(folder + "/" + name + "/payload");
    }
    fs::create_directories(folder + "/kept.v2-X");
    const std::vector<std::string> before = TreeOf(folder);
    const std::string record = DefaultUndoRecordPath();

    const BatchReport trashed = TrashEntries(folder, Batch(folder, names), record);
    std::vector<std::string> tried;
    for (const EntryOutcome& entry : trashed.entries)
        tried.push_back(entry.name);
    EXPECT_EQ(tried, names);
    for (const EntryOutcome& entry : trashed.entries) {
        EXPECT_EQ(entry.succeeded, entry.name != "gone.v1-X") << entry.name << ": " << entry.reason;
        EXPECT_EQ(entry.reason.empty(), entry.succeeded) << entry.name; // a failure always says why
    }
    EXPECT_FALSE(trashed.recordError);
    EXPECT_TRUE(fs::is_directory(folder + "/kept.v2-X"));
    for (const platform::TrashedEntry& entry : MovedEntries(record))
        EXPECT_EQ(entry.trashRoot, expectedTrash);
    ASSERT_TRUE(HasUndoableBatch(record));

    const BatchReport undone = UndoLastBatch(record);
    EXPECT_EQ(Succeeded(undone), std::vector<bool>(names.size() - 1, true));
    EXPECT_EQ(TreeOf(folder), before);
    EXPECT_FALSE(fs::exists(record));
    EXPECT_FALSE(HasUndoableBatch(record));
}

// GIO records a volume's entries relative to the volume's real top, which a link does not show.
const WhereCase kWhere[] = {
    {"HomeTrash", false, false}, {"VolumeTrash", true, false}, {"VolumeTrashThroughALink", true, true}};

INSTANTIATE_TEST_SUITE_P(Where, TrashBatchTest, testing::ValuesIn(kWhere), test::CaseName());

TEST(UndoTest, SkipsWhatLeftTheTrashOrLostItsPlaceAndKeepsWhatCanStillComeBack)
{
    const TempDir dir;
    const std::vector<std::string> names = {"a", "b", "c", "d"};
    for (const std::string& name : names)
        dir.MakeFile("F/" + name, 1);
    const std::string record = DefaultUndoRecordPath();
    ASSERT_EQ(Succeeded(TrashEntries(dir / "F", Batch(dir / "F", names), record)), std::vector<bool>(4, true));
    const std::vector<platform::TrashedEntry> batch = MovedEntries(record);
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
    const std::vector<platform::TrashedEntry> left = MovedEntries(record);
    ASSERT_EQ(left.size(), 1U);
    EXPECT_EQ(left[0].originalPath, dir / "F/c");

    fs::remove(dir / "F/c");
    EXPECT_EQ(Succeeded(UndoLastBatch(record)), std::vector<bool>{true});
    EXPECT_EQ(fs::file_size(dir / "F/c"), 1U);
    EXPECT_FALSE(HasUndoableBatch(record));
}

// Cancel stops a batch after the entry being moved, either way: what moved is in the record and comes back,
// what was not tried stays where it was and is still undoable.
TEST(StoppedBatchTest, StopsAfterTheEntryUnderWayAndKeepsTheRecordWhole)
{
    const TempDir dir;
    const std::vector<std::string> names = {"a", "b", "c", "d", "e"};
    for (const std::string& name : names)
        dir.MakeFile("F/" + name, 1);
    const std::string record = DefaultUndoRecordPath();
    std::atomic<bool> stop = false;
    std::vector<std::size_t> seen;
    const BatchControl stopAfterTwo{&stop, [&](std::size_t tried, std::size_t total) {
                                        seen.push_back(tried);
                                        EXPECT_EQ(total, names.size());
                                        stop = tried == 2;
                                    }};

    EXPECT_EQ(Succeeded(TrashEntries(dir / "F", Batch(dir / "F", names), record, stopAfterTwo)),
              std::vector<bool>(2, true));
    EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2}));
    EXPECT_FALSE(fs::exists(dir / "F/b"));
    EXPECT_TRUE(fs::exists(dir / "F/c"));
    ASSERT_EQ(MovedEntries(record).size(), 2U);

    stop = false;
    const BatchControl stopAfterOne{&stop, [&](std::size_t tried, std::size_t) { stop = tried == 1; }};
    EXPECT_EQ(Succeeded(UndoLastBatch(record, stopAfterOne)), std::vector<bool>{true});
    EXPECT_TRUE(fs::exists(dir / "F/b")); // the last moved comes back first
    ASSERT_EQ(MovedEntries(record).size(), 1U);
    EXPECT_EQ(Succeeded(UndoLastBatch(record)), std::vector<bool>{true});
    EXPECT_TRUE(fs::exists(dir / "F/a"));
    EXPECT_FALSE(HasUndoableBatch(record));
}

// An entry replaced or swapped after the listing is not what the user checked: it stays, and so does what
// took its place.
struct ChangeCase
{
    const char* name;
    std::function<void(const TempDir&)> change; // on F holding A.v1-X (checked) and A.v2-X (the newest)
};

class ChangedSinceListedTest : public testing::TestWithParam<ChangeCase>
{};

TEST_P(ChangedSinceListedTest, MovesNothingAndKeepsThePreviousBatchUndoable)
{
    const TempDir dir;
    dir.MakeFile("F/A.v1-X/old", 1);
    dir.MakeFile("F/A.v2-X/new", 2);
    dir.MakeFile("P/Earlier.v1-X", 3);
    const std::string record = DefaultUndoRecordPath();
    ASSERT_EQ(Succeeded(TrashEntries(dir / "P", Batch(dir / "P", {"Earlier.v1-X"}), record)),
              std::vector<bool>{true});
    const std::vector<BatchEntry> listed = Batch(dir / "F", {"A.v1-X"});
    GetParam().change(dir);
    const std::vector<std::string> before = TreeOf(dir / "F");

    const BatchReport report = TrashEntries(dir / "F", listed, record);
    ASSERT_EQ(report.entries.size(), 1U);
    EXPECT_FALSE(report.entries[0].succeeded);
    EXPECT_EQ(report.entries[0].reason, "changed since it was listed");
    EXPECT_EQ(TreeOf(dir / "F"), before);
    // A batch that moved nothing leaves the one before it to be taken back.
    EXPECT_EQ(Succeeded(UndoLastBatch(record)), std::vector<bool>{true});
    EXPECT_TRUE(fs::exists(dir / "P/Earlier.v1-X"));
}

const ChangeCase kChanges[] = {
    {"NewestRenamedOntoItsName",
     [](const TempDir& d) {
         fs::remove_all(d / "F/A.v1-X");
         fs::rename(d / "F/A.v2-X", d / "F/A.v1-X");
     }},
    {"ExchangedWithTheNewest",
     [](const TempDir& d) {
         ASSERT_EQ(
             ::renameat2(AT_FDCWD, (d / "F/A.v1-X").c_str(), AT_FDCWD, (d / "F/A.v2-X").c_str(), RENAME_EXCHANGE),
             0);
     }},
};

INSTANTIATE_TEST_SUITE_P(Changes, ChangedSinceListedTest, testing::ValuesIn(kChanges), test::CaseName());

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// The record's one entry line, split at its blanks; the header stays.
std::vector<std::string> RecordFields(const std::string& record)
{
    const std::string content = ReadAll(record);
    std::istringstream line(content.substr(content.find('\n') + 1));
    std::vector<std::string> fields;
    for (std::string field; std::getline(line, field, ' ');)
        fields.push_back(field);
    if (!fields.empty() && fields.back().ends_with('\n'))
        fields.back().pop_back();
    return fields;
}

void WriteRecord(const std::string& record, const std::string& header, const std::vector<std::string>& fields,
                 bool complete = true)
{
    std::string line;
    for (const std::string& field : fields)
        line += (line.empty() ? "" : " ") + field;
    WriteAll(record, header + line + (complete ? "\n" : ""));
}

// The state an edit starts from: F/"Keep, me.v1-X" moved by a batch whose record is `record`.
struct Edited
{
    const TempDir& dir;
    std::string record;
    platform::TrashedEntry moved;

    std::string TrashFile() const { return moved.trashRoot + "/files/" + moved.name; }
    std::string TrashRecord() const { return moved.trashRoot + "/info/" + moved.name + ".trashinfo"; }
    // Rewrites the record as the previous version wrote it (no ids), its path and trash name replaced when given.
    void WriteAsPreviousVersion(const std::string& path = {}, const std::string& name = {}) const
    {
        const std::vector<std::string> f = RecordFields(record);
        WriteRecord(record, "versweep trash batch 1\n",
                    {path.empty() ? f[0] : PercentEncode(path), f[4], name.empty() ? f[5] : PercentEncode(name),
                     f[6], f[7]});
    }
};

struct EditCase
{
    const char* name;
    std::function<void(const Edited&)> edit;
    bool comesBack;
};

class EditedRecordTest : public testing::TestWithParam<EditCase>
{};

// Whatever the record says, undo moves nothing but the entry the batch moved, and only to where it was.
TEST_P(EditedRecordTest, UndoRestoresOnlyWhatTheBatchMovedToWhereItWas)
{
    const TempDir dir;
    const std::string entry = "Keep, me.v1-X";
    dir.MakeFile("F/" + entry + "/payload", 10);
    dir.MakeFile("outside/victim", 5);
    const std::string record = DefaultUndoRecordPath();
    ASSERT_EQ(Succeeded(TrashEntries(dir / "F", Batch(dir / "F", {entry}), record)), std::vector<bool>{true});
    const std::vector<platform::TrashedEntry> moved = MovedEntries(record);
    ASSERT_EQ(moved.size(), 1U);
    GetParam().edit(Edited{dir, record, moved[0]});
    const std::vector<std::string> outside = TreeOf(dir / "outside");

    const BatchReport undone = UndoLastBatch(record);
    EXPECT_EQ(fs::exists(fs::symlink_status(dir / ("F/" + entry))), GetParam().comesBack);
    if (GetParam().comesBack) {
        EXPECT_TRUE(fs::exists(dir / ("F/" + entry + "/payload")));
    }
    EXPECT_EQ(TreeOf(dir / "outside"), outside);
    for (const EntryOutcome& outcome : undone.entries)
        EXPECT_EQ(outcome.reason.empty(), outcome.succeeded) << outcome.name;
}

const EditCase kEdits[] = {
    // Written by another trash tool: escapes in lower case name the same path.
    {"LowerCaseEscapesInTheTrashRecord",
     [](const Edited& e) {
         std::string info = ReadAll(e.TrashRecord());
         const std::size_t comma = info.find("%2C%20");
         ASSERT_NE(comma, std::string::npos);
         info.replace(comma, 6, "%2c%20");
         WriteAll(e.TrashRecord(), info);
     },
     true},
    {"RecordOfThePreviousVersion", [](const Edited& e) { e.WriteAsPreviousVersion(); }, true},
    // Killed after the move, before its line was completed: the trash holds the entry under its path.
    {"CutShortAfterTheMove",
     [](const Edited& e) {
         const std::vector<std::string> fields = RecordFields(e.record);
         WriteRecord(e.record, "versweep trash batch 2\n", {fields[0], fields[1], fields[2]}, false);
     },
     true},
    // Killed before the move: the entry never left, and undo has nothing to say about it.
    {"CutShortBeforeTheMove",
     [](const Edited& e) {
         fs::rename(e.TrashFile(), e.moved.originalPath);
         fs::remove(e.TrashRecord());
         const std::vector<std::string> fields = RecordFields(e.record);
         WriteRecord(e.record, "versweep trash batch 2\n", {fields[0], fields[1], fields[2]}, false);
     },
     true},
    {"LineWithAnExtraField",
     [](const Edited& e) {
         std::vector<std::string> fields = RecordFields(e.record);
         fields.push_back("x");
         WriteRecord(e.record, "versweep trash batch 2\n", fields);
     },
     false},
    // Only the trash's own record vouches for the path in a record of the previous version.
    {"OriginalPathElsewhere", [](const Edited& e) { e.WriteAsPreviousVersion(e.dir / "outside/moved-here"); },
     false},
    // "../" in the name reaches a file outside the trash, beside which a matching record was planted; a
    // record of the previous version knows no file to tell it from the one moved.
    {"NameLeavingTheTrash",
     [](const Edited& e) {
         const std::string name = fs::relative(e.dir / "outside/victim", e.moved.trashRoot + "/files").string();
         fs::copy_file(e.TrashRecord(), e.dir / "outside/victim.trashinfo");
         e.WriteAsPreviousVersion({}, name);
     },
     false},
    {"OtherDeletionDateInTheTrashRecord",
     [](const Edited& e) {
         std::string info = ReadAll(e.TrashRecord());
         info.replace(info.find("DeletionDate=") + 13, 4, "1999");
         WriteAll(e.TrashRecord(), info);
     },
     false},
    {"AnotherFileUnderItsTrashName",
     [](const Edited& e) {
         e.dir.MakeFile("stranger"); // made first, so that it cannot take over the freed inode number
         fs::remove_all(e.TrashFile());
         fs::rename(e.dir / "stranger", e.TrashFile());
     },
     false},
    // A link planted in place of the folder the entry came from would send it elsewhere.
    {"FolderReplacedByALink",
     [](const Edited& e) {
         fs::rename(e.dir / "F", e.dir / "F.real");
         e.dir.MakeSymlink("F", e.dir / "outside");
     },
     false},
    {"FolderReplacedByALinkInARecordOfThePreviousVersion",
     [](const Edited& e) {
         e.WriteAsPreviousVersion();
         fs::rename(e.dir / "F", e.dir / "F.real");
         e.dir.MakeSymlink("F", e.dir / "outside");
     },
     false},
};

INSTANTIATE_TEST_SUITE_P(Edits, EditedRecordTest, testing::ValuesIn(kEdits), test::CaseName());

} // namespace
} // namespace versweep

int main(int argc, char** argv)
{
    return versweep::test::RunTestsInPrivateHome(argc, argv);
}
