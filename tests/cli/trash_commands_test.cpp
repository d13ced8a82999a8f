// Tests of versweep-scan --trash and --undo against a private home: what moves, what asks first, what is
// reported, and the way back.
#include "cli/trash_commands.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <iterator>
#include <system_error>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "case_name.h"
#include "cli/listing_output.h"
#include "cli/scan_command.h"
#include "platform/file_system.h"
#include "platform/trash.h"
#include "private_home.h"
#include "scan/undo_record.h"
#include "scan_runner.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::Lines;
using test::Outcome;
using test::RunInProcess;
using test::RunProgram;
using test::StartProgram;
using test::TempDir;
using test::TreeOf;
using test::WaitProgram;
namespace fs = std::filesystem;

std::set<std::string> OriginalPathsInUndoRecord()
{
    std::set<std::string> paths;
    for (const RecordedMove& move : ReadUndoRecord(DefaultUndoRecordPath())) {
        if (move.stage == RecordedMove::Stage::Moved)
            paths.insert(move.entry.originalPath);
    }
    return paths;
}

// The built program, given the private home through its environment: the older version of each hostile
// name moves, the newer one and the folder the header's path would name stay; --undo brings back exactly
// what moved, and a second --undo finds nothing.
TEST(TrashProgram, MovesExactlyTheCheckedEntriesAndUndoBringsThemBack)
{
    const TempDir dir;
    const std::string folder = dir / "shelf-";
    const std::vector<std::string> titles = {"My Tool, \"Pro\"", "two\nlines", "\377\376Bad", "-Dash",
                                             "\"Quoted\""};
    std::set<std::string> older;
    for (const std::string& title : titles) {
        dir.MakeFile("shelf-/" + title + ".v1-A/data", 10);
        dir.MakeDir("shelf-/" + title + ".v2-A");
        older.insert(folder + "/" + title + ".v1-A");
    }
    // On POSIX the header's path, folder + "/" + "//" + folder, collapses to this folder.
    fs::create_directories(folder + folder);
    dir.MakeFile("none.ini");
    const std::vector<std::string> before = TreeOf(folder);
    const std::vector<std::string> listing = {"--config", dir / "none.ini", folder};
    std::vector<std::string> trash = listing;
    trash.insert(trash.begin(), {"--trash", "--yes"});

    const Outcome listed = RunProgram(dir, listing);
    const Outcome trashed = RunProgram(dir, trash);
    EXPECT_EQ(trashed.status, 0) << trashed.err;
    EXPECT_EQ(trashed.out, listed.out);
    EXPECT_EQ(trashed.err, listed.err + "versweep-scan: 5 entries moved to the trash\n");
    EXPECT_EQ(OriginalPathsInUndoRecord(), older);
    for (const std::string& path : older)
        EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << path;
    for (const std::string& title : titles)
        EXPECT_TRUE(fs::is_directory(folder + "/" + title + ".v2-A")) << title;
    EXPECT_TRUE(fs::is_directory(folder + folder));

    const Outcome undone = RunProgram(dir, {"--undo"});
    EXPECT_EQ(undone.status, 0) << undone.err;
    std::set<std::string> restored;
    for (const std::string& line : Lines(undone.out))
        restored.insert(line);
    std::set<std::string> quoted;
    for (const std::string& path : older)
        quoted.insert(QuoteName(path));
    EXPECT_EQ(restored, quoted);
    EXPECT_EQ(undone.err, "versweep-scan: 5 entries restored\n");
    EXPECT_EQ(TreeOf(folder), before);

    const Outcome again = RunProgram(dir, {"--undo"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(again.err, "versweep-scan: nothing to undo\n");
}

// "shelf-" holding `title` in versions 1 (checked) and 2, and an empty settings file.
void MakePair(const TempDir& dir, const std::string& title = "A")
{
    dir.MakeDir("shelf-/" + title + ".v1-X");
    dir.MakeDir("shelf-/" + title + ".v2-X");
    dir.MakeFile("none.ini");
}

// `options`, then --trash on MakePair's folder.
std::vector<std::string> TrashArgs(const TempDir& dir, std::vector<std::string> options)
{
    options.insert(options.end(), {"--trash", "--config", dir / "none.ini", dir / "shelf-"});
    return options;
}

struct ConfirmCase
{
    const char* name;
    std::vector<std::string> options;
    bool inIsTerminal;
    std::string input;
    bool moves;
    int status;
    std::string messages; // stderr after the summary
};

void PrintTo(const ConfirmCase& c, std::ostream* out)
{
    *out << c.name;
}

const std::string kQuestion = "Move 1 entry to the trash? [y/N] ";

const ConfirmCase kConfirmCases[] = {
    {"YesMovesWithoutAsking", {"--yes"}, true, "n\n", true, 0, "versweep-scan: 1 entry moved to the trash\n"},
    {"NoTerminalRefuses",
     {},
     false,
     "y\n",
     false,
     1,
     "versweep-scan: nothing moved: standard input is not a terminal to confirm on; give --yes to move the "
     "checked entries without asking\n"},
    {"AnswerY", {}, true, "y\n", true, 0, kQuestion + "versweep-scan: 1 entry moved to the trash\n"},
    {"AnswerYes", {}, true, " yes\r\n", true, 0, kQuestion + "versweep-scan: 1 entry moved to the trash\n"},
    {"AnswerN", {}, true, "n\ny\n", false, 1, kQuestion + "versweep-scan: nothing moved\n"},
    {"AnswerEmpty", {}, true, "\n", false, 1, kQuestion + "versweep-scan: nothing moved\n"},
    {"AnswerOther", {}, true, "yess\n", false, 1, kQuestion + "versweep-scan: nothing moved\n"},
    {"EndOfInput", {}, true, "", false, 1, kQuestion + "\nversweep-scan: nothing moved\n"},
    {"NothingCheckedAsksNothing",
     {"--white=a"},
     false,
     "",
     false,
     0,
     "versweep-scan: 0 entries moved to the trash\n"},
};

class ConfirmTest : public testing::TestWithParam<ConfirmCase>
{};

TEST_P(ConfirmTest, MovesOnlyWhenConfirmed)
{
    const ConfirmCase& c = GetParam();
    const TempDir dir;
    MakePair(dir);
    const Outcome outcome = RunInProcess(TrashArgs(dir, c.options), c.input, c.inIsTerminal);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(fs::exists(dir / "shelf-/A.v1-X"), !c.moves);
    EXPECT_TRUE(fs::exists(dir / "shelf-/A.v2-X"));
    const std::string summary = outcome.err.substr(0, outcome.err.find('\n') + 1);
    EXPECT_EQ(outcome.err.substr(summary.size()), c.messages);
}

INSTANTIATE_TEST_SUITE_P(Trash, ConfirmTest, testing::ValuesIn(kConfirmCases), test::CaseName());

// An entry that cannot move stays, is named on its own line quoted like the listing, and fails the run.
TEST(TrashCommand, FailedMoveIsReportedAndFailsTheRun)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root moves entries out of a read-only folder";
    const TempDir dir;
    MakePair(dir, "two\nlines");
    dir.Chmod("shelf-", 0555);
    const Outcome outcome = RunInProcess(TrashArgs(dir, {"--yes"}));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(fs::exists(dir / "shelf-/two\nlines.v1-X"));
    const std::vector<std::string> lines = Lines(outcome.err);
    ASSERT_EQ(lines.size(), 3U) << outcome.err;
    EXPECT_EQ(lines[1].rfind("versweep-scan: cannot move \"two\\nlines.v1-X\": ", 0), 0U) << lines[1];
    EXPECT_EQ(lines[2], "versweep-scan: 0 entries moved to the trash, 1 could not be moved");
}

// A listing that could not be written must not be followed by moves the user never saw.
TEST(TrashCommand, UnwrittenListingMovesNothing)
{
    const TempDir dir;
    MakePair(dir);
    const std::vector<std::string> args = TrashArgs(dir, {"--yes"});
    std::vector<const char*> argv{"versweep-scan"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::istringstream in;
    std::ostream out(nullptr);
    std::ostringstream err;
    EXPECT_EQ(RunScanCommand(static_cast<int>(argv.size()), argv.data(), in, false, out, err), 1);
    EXPECT_TRUE(fs::exists(dir / "shelf-/A.v1-X"));
}

// The moves stand when their record cannot be written; the user is told that --undo cannot take them back.
TEST(TrashCommand, UnwritableUndoRecordWarnsAndTheMovesStand)
{
    const TempDir dir;
    MakePair(dir);
    dir.MakeFile("not-a-folder");
    const std::string stateHome = std::getenv("XDG_STATE_HOME");
    ::setenv("XDG_STATE_HOME", (dir / "not-a-folder").c_str(), 1);
    const Outcome outcome = RunInProcess(TrashArgs(dir, {"--yes"}));
    ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_FALSE(fs::exists(dir / "shelf-/A.v1-X"));
    EXPECT_NE(outcome.err.find("\nversweep-scan: warning: --undo cannot take this batch back"), std::string::npos)
        << outcome.err;
}

struct SpellingCase
{
    const char* name;
    const char* from;   // the current directory, below the temporary folder
    const char* folder; // as given on the command line
};

class FolderSpellingTest : public testing::TestWithParam<SpellingCase>
{};

// However the folder is spelled, the entries moved are the ones listed, recorded under their real paths.
TEST_P(FolderSpellingTest, MovesTheCheckedEntryAndUndoBringsItBack)
{
    const TempDir dir;
    MakePair(dir);
    const std::string back = platform::CurrentDirectory().Value();
    ASSERT_EQ(::chdir((dir / GetParam().from).c_str()), 0);
    const Outcome trashed = RunInProcess({"--trash", "--yes", "--config", dir / "none.ini", GetParam().folder});
    ASSERT_EQ(::chdir(back.c_str()), 0);
    EXPECT_EQ(trashed.status, 0) << trashed.err;
    EXPECT_FALSE(fs::exists(dir / "shelf-/A.v1-X"));
    EXPECT_EQ(OriginalPathsInUndoRecord(), std::set<std::string>{dir / "shelf-/A.v1-X"});
    EXPECT_EQ(RunInProcess({"--undo"}).status, 0);
    EXPECT_TRUE(fs::exists(dir / "shelf-/A.v1-X"));
}

const SpellingCase kSpellings[] = {
    {"Dot", "shelf-", "."},
    {"DotDot", "shelf-/A.v2-X", ".."},
    {"IntoASubfolderAndBack", "", "shelf-/A.v2-X/.."},
    {"Relative", "", "shelf-//"},
};

INSTANTIATE_TEST_SUITE_P(Trash, FolderSpellingTest, testing::ValuesIn(kSpellings), test::CaseName());

// One entry moves and one cannot (the trash cannot record a name that long, so it stays): the run names the
// one and fails, and only the one that moved is recorded.
TEST(TrashCommand, SomeMovesFailingFailTheRun)
{
    const TempDir dir;
    const std::string longTitle(236, 't'); // 241 bytes with ".v1-X"
    MakePair(dir);
    MakePair(dir, longTitle);
    const Outcome outcome = RunInProcess(TrashArgs(dir, {"--yes"}));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_FALSE(fs::exists(dir / "shelf-/A.v1-X"));
    EXPECT_TRUE(fs::exists(dir / ("shelf-/" + longTitle + ".v1-X")));
    const std::vector<std::string> lines = Lines(outcome.err);
    ASSERT_EQ(lines.size(), 3U) << outcome.err;
    EXPECT_TRUE(
        lines[1].starts_with("versweep-scan: cannot move " + longTitle + ".v1-X: the trash could not write"))
        << lines[1];
    EXPECT_EQ(lines[2], "versweep-scan: 1 entry moved to the trash, 1 could not be moved");
    EXPECT_EQ(OriginalPathsInUndoRecord(), std::set<std::string>{dir / "shelf-/A.v1-X"});
}

// `count` versions of one title in `folder` below `dir`: all but the newest are checked.
void MakeVersions(const TempDir& dir, const std::string& folder, int count)
{
    for (int version = 1; version <= count; ++version)
        dir.MakeDir(folder + "/Tool.v" + std::to_string(version) + "-X");
    dir.MakeFile("none.ini");
}

std::vector<std::string> BatchArgs(const TempDir& dir, const std::string& folder)
{
    return {"--trash", "--yes", "--config", dir / "none.ini", dir / folder};
}

std::size_t EntriesIn(const std::string& folder)
{
    std::error_code error;
    const auto entries = fs::directory_iterator(folder, error);
    return error ? 0 : static_cast<std::size_t>(std::distance(entries, fs::directory_iterator()));
}

// Polls until `done` holds or `child` ended, for at most 30 seconds.
template <typename Done>
void WaitUntil(pid_t child, Done done)
{
    for (int i = 0; i < 30000 && !done(); ++i) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            ::kill(child, 0);
            break;
        }
        ::usleep(1000);
    }
}

// A batch killed half-way (a window closed by force, a logout) leaves a record of every entry that may have
// moved: --undo brings each one back.
TEST(TrashProgram, UndoAfterABatchKilledHalfWayBringsBackAllItMoved)
{
    const TempDir dir;
    MakeVersions(dir, "shelf-", 200);
    const std::vector<std::string> before = TreeOf(dir / "shelf-");
    const pid_t batch = StartProgram(dir, BatchArgs(dir, "shelf-"), "batch");
    WaitUntil(batch, [&] { return EntriesIn(dir / "shelf-") <= 150; });
    ::kill(batch, SIGKILL);
    WaitProgram(dir, batch, "batch");
    EXPECT_GT(EntriesIn(dir / "shelf-"), 1U) << "the batch ended before it was killed";

    const Outcome undone = RunProgram(dir, {"--undo"});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(TreeOf(dir / "shelf-"), before);
    EXPECT_EQ(EntriesIn(test::PrivateTrashRoot() + "/files"), 0U);
}

// An --undo while another batch moves: each waits for the other, so neither batch loses its way back.
TEST(TrashProgram, UndoWhileAnotherBatchMovesLosesNeither)
{
    const TempDir dir;
    MakeVersions(dir, "first-", 200);
    MakeVersions(dir, "second-", 10);
    const std::vector<std::string> first = TreeOf(dir / "first-");
    const std::vector<std::string> second = TreeOf(dir / "second-");
    ASSERT_EQ(RunProgram(dir, BatchArgs(dir, "first-")).status, 0);

    const pid_t undo = StartProgram(dir, {"--undo"}, "undo");
    WaitUntil(undo, [&] { return EntriesIn(dir / "first-") >= 5; });
    const pid_t batch = StartProgram(dir, BatchArgs(dir, "second-"), "batch");
    EXPECT_EQ(WaitProgram(dir, batch, "batch").status, 0);
    EXPECT_EQ(WaitProgram(dir, undo, "undo").status, 0);
    for (int round = 0; round < 2 && RunProgram(dir, {"--undo"}).err != "versweep-scan: nothing to undo\n";
         ++round) {
    }
    EXPECT_EQ(TreeOf(dir / "first-"), first);
    EXPECT_EQ(TreeOf(dir / "second-"), second);
}

} // namespace
} // namespace versweep

int main(int argc, char** argv)
{
    return versweep::test::RunTestsInPrivateHome(argc, argv);
}
