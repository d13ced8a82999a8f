// Tests of versweep-scan on a real folder: listing lines, JSON, options and exit statuses, run in-process
// and, for the raw output and the exit statuses, as the real program.
#include "cli/scan_command.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "cli/messages.h"
#include "platform/collation.h"
#include "platform/file_system.h"
#include "platform/tree_size.h"
#include "scan_runner.h"
#include "temp_dir.h"

namespace versweep {
namespace {

using test::BuiltProgram;
using test::Lines;
using test::Outcome;
using test::RunInProcess;
using test::RunProgram;

// The folder the command lists. Its name ends in "-" so that the header's group tag (the text after the
// last "-" of the path) is empty and the temporary folder's random name stays out of the counts.
const std::string kShelf = "releases-";

// Builds the folder every case lists; the sizes decide which folders count as empty (under 256 bytes).
void Populate(const test::TempDir& dir)
{
    dir.MakeFile(kShelf + "/Game.v1.0-AAA/data", 1000);
    dir.MakeDir(kShelf + "/Game.v1.1-BBB");
    dir.MakeDir(kShelf + "/Game.v1.1-ccc");
    dir.MakeFile(kShelf + "/Solo.v1.0-BBB/data", 300);
    dir.MakeFile(kShelf + "/Tool.v1.2-X.zip", 10);
    dir.MakeFile(kShelf + "/Tool.v1.3-Y/data", 500);
    dir.MakeFile(kShelf + "/Kit_v3.1.7z", 10);
    for (const char* name :
         {"My Tool, \"Pro\"\\.v1-Q", "My Tool, \"Pro\"\\.v2-Q", "\377\376Bad.v1-W", "\377\376Bad.v2-W",
          "-Dash.v1-Z", "-Dash.v2-Z", "\xc3\x9cn\xc3\xaf.v1-U", "\xc3\x9cn\xc3\xaf.v2-U"})
        dir.MakeDir(kShelf + "/" + name);
    std::ofstream(dir / "lists.ini", std::ios::binary) << "[CONFIG]\r\nWhiteList=game\r\nBlackList=solo\r\n";
    std::ofstream(dir / "none.ini", std::ios::binary) << "";
    dir.MakeFile("huge.ini", std::uint64_t{4} << 20);
    dir.MakeFile("locked.ini");
    dir.Chmod("locked.ini", 0);
}

// Replaces "{DIR}" in an argument by the temporary folder.
std::string Expand(const std::string& text, const test::TempDir& dir)
{
    std::string expanded = text;
    for (std::size_t at = expanded.find("{DIR}"); at != std::string::npos; at = expanded.find("{DIR}", at))
        expanded.replace(at, 5, dir.Path());
    return expanded;
}

// Runs the command in-process on a fresh copy of the folder, "{DIR}" in `args` standing for its parent;
// the outputs say "{DIR}" where they name it.
Outcome RunOnFolder(const std::vector<std::string>& args)
{
    const test::TempDir dir;
    Populate(dir);
    std::vector<std::string> expanded;
    for (const std::string& arg : args)
        expanded.push_back(Expand(arg, dir));
    Outcome outcome = RunInProcess(expanded);
    for (std::string* text : {&outcome.out, &outcome.err}) {
        for (std::size_t at = text->find(dir.Path()); at != std::string::npos; at = text->find(dir.Path(), at))
            text->replace(at, dir.Path().size(), "{DIR}");
    }
    return outcome;
}

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

// What every listing shows of the entries that are always there.
const std::vector<std::string> kPairs = {
    "[x] Game.v1.0-AAA",
    "[ ] Game.v1.1-BBB",
    "[ ] Game.v1.1-ccc",
    "[x] My Tool, \"Pro\"\\.v1-Q",
    "[ ] My Tool, \"Pro\"\\.v2-Q",
    "[x] \377\376Bad.v1-W",
    "[ ] \377\376Bad.v2-W",
    "[x] -Dash.v1-Z",
    "[ ] -Dash.v2-Z",
    "[x] \xc3\x9cn\xc3\xaf.v1-U",
    "[ ] \xc3\x9cn\xc3\xaf.v2-U",
};

std::vector<std::string> PairsWith(std::vector<std::string> changes)
{
    std::vector<std::string> lines = kPairs;
    for (const std::string& change : changes) {
        const auto same = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.substr(4) == change.substr(4);
        });
        if (same != lines.end())
            *same = change;
        else
            lines.push_back(change);
    }
    return lines;
}

struct ListingCase
{
    const char* name;
    std::vector<std::string> args;  // "{DIR}" stands for the temporary folder
    std::vector<std::string> lines; // any order
    std::string summary;
};

void PrintTo(const ListingCase& c, std::ostream* out)
{
    *out << c.name;
}

const std::string kFolder = "{DIR}/" + kShelf;
const std::string kNoSettings = "--config={DIR}/none.ini";

const ListingCase kListingCases[] = {
    {"DefaultListsPossibleDuplicates", {kNoSettings, kFolder}, kPairs, "11 entries, 5 checked, 8 group tags"},
    {"FilesBringPlainFiles",
     {kNoSettings, "--all", "--files", kFolder},
     PairsWith({"[ ] Solo.v1.0-BBB", "[ ] Tool.v1.3-Y", "[x] Tool.v1.2-X.zip", "[ ] Kit_v3.1.7z"}),
     "15 entries, 6 checked, 9 group tags"},
    {"WhiteAndBlackOptions",
     {kNoSettings, "--white", "game", "--black=solo", kFolder},
     PairsWith({"[ ] Game.v1.0-AAA", "[x] Solo.v1.0-BBB"}),
     "12 entries, 5 checked, 8 group tags"},
    {"ConfigFileGivesLists",
     {"--config", "{DIR}/lists.ini", kFolder},
     PairsWith({"[ ] Game.v1.0-AAA", "[x] Solo.v1.0-BBB"}),
     "12 entries, 5 checked, 8 group tags"},
    // An empty value after "=" is an empty list that replaces the file's, never a request for the next word.
    {"EmptyWhiteAfterEqualsSign",
     {"--config={DIR}/lists.ini", "--white=", kFolder},
     PairsWith({"[x] Solo.v1.0-BBB"}),
     "12 entries, 6 checked, 8 group tags"},
    {"EmptyBlackAfterEqualsSign",
     {"--config={DIR}/lists.ini", "--black=", kFolder},
     PairsWith({"[ ] Game.v1.0-AAA"}),
     "11 entries, 4 checked, 8 group tags"},
    {"EmptyChecksSmallFolders",
     {kNoSettings, "--all", "--empty", kFolder},
     {"[x] Game.v1.0-AAA", "[x] Game.v1.1-BBB", "[x] Game.v1.1-ccc", "[x] My Tool, \"Pro\"\\.v1-Q",
      "[x] My Tool, \"Pro\"\\.v2-Q", "[x] \377\376Bad.v1-W", "[x] \377\376Bad.v2-W", "[x] -Dash.v1-Z",
      "[x] -Dash.v2-Z", "[x] \xc3\x9cn\xc3\xaf.v1-U", "[x] \xc3\x9cn\xc3\xaf.v2-U", "[ ] Solo.v1.0-BBB",
      "[ ] Tool.v1.3-Y"},
     "13 entries, 11 checked, 8 group tags"},
    {"GroupRepeats",
     {kNoSettings, "--all", "--group", "bbb", kFolder, "--group=CCC"},
     PairsWith({"[x] Game.v1.1-BBB", "[x] Solo.v1.0-BBB", "[ ] Tool.v1.3-Y", "[x] Game.v1.1-ccc"}),
     "13 entries, 8 checked, 8 group tags"},
};

class ListingTest : public testing::TestWithParam<ListingCase>
{};

TEST_P(ListingTest, PrintsEntriesAndSummary)
{
    const ListingCase& c = GetParam();
    const Outcome outcome = RunOnFolder(c.args);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Sorted(Lines(outcome.out)), Sorted(c.lines));
    EXPECT_EQ(outcome.err, "versweep-scan: " + c.summary + "\n");
}

INSTANTIATE_TEST_SUITE_P(Options, ListingTest, testing::ValuesIn(kListingCases),
                         [](const testing::TestParamInfo<ListingCase>& param) { return param.param.name; });

struct FailureCase
{
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string message; // the first line on stderr; "{DIR}" stands for the temporary folder
    bool usage = false;  // whether the usage lines follow
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.name;
}

const FailureCase kFailureCases[] = {
    {"MissingFolder",
     {"{DIR}/absent"},
     1,
     "versweep-scan: cannot list {DIR}/absent: " + std::string(std::strerror(ENOENT))},
    {"NoFolder", {"--all"}, 2, "versweep-scan: FOLDER is missing", true},
    {"TwoFolders", {kFolder, "{DIR}"}, 2, "versweep-scan: The following argument was not expected: {DIR}", true},
    {"UnknownOption",
     {"--bogus", kFolder},
     2,
     "versweep-scan: The following argument was not expected: --bogus",
     true},
    {"YesWithoutTrash", {"--yes", kFolder}, 2, "versweep-scan: --yes goes only with --trash", true},
    // An empty tag would check every entry that has none, the newest of each title included.
    {"EmptyGroup", {"--group", "", kFolder}, 2, "versweep-scan: --group needs a TAG", true},
    {"EmptyGroupAfterEqualsSign", {"--group=", kFolder}, 2, "versweep-scan: --group needs a TAG", true},
    {"JsonAndNull", {"--json", "-0", kFolder}, 2, "versweep-scan: --json and --null do not go together", true},
    {"KeepZero", {"--keep", "0", kFolder}, 2, "versweep-scan: --keep needs a whole number N of at least 1", true},
    {"KeepEmptyAfterEqualsSign",
     {"--keep=", kFolder},
     2,
     "versweep-scan: --keep needs a whole number N of at least 1",
     true},
    {"KeepNotANumber",
     {"--keep", "x", kFolder},
     2,
     "versweep-scan: --keep needs a whole number N of at least 1",
     true},
    {"KeepFraction",
     {"--keep=1.5", kFolder},
     2,
     "versweep-scan: --keep needs a whole number N of at least 1",
     true},
    {"UndoWithFolder", {"--undo", kFolder}, 2, "versweep-scan: --undo takes no FOLDER", true},
    {"UndoWithListingOption", {"--json", "--undo"}, 2, "versweep-scan: --undo goes with no other option", true},
    // A settings file asked for by name that cannot be read would silently drop its white list.
    {"ConfigMissing",
     {"--config", "{DIR}/absent.ini", kFolder},
     1,
     "versweep-scan: cannot read settings {DIR}/absent.ini: " + std::string(std::strerror(ENOENT))},
    {"ConfigEmptyAfterEqualsSign",
     {"--config=", "--white=", "--black=", kFolder},
     1,
     "versweep-scan: cannot read settings : " + std::string(std::strerror(ENOENT))},
    {"ConfigIsAFolder",
     {"--config={DIR}", kFolder},
     1,
     "versweep-scan: cannot read settings {DIR}: " + std::string(std::strerror(EISDIR))},
    {"ConfigTooLarge",
     {"--config", "{DIR}/huge.ini", kFolder},
     1,
     "versweep-scan: cannot read settings {DIR}/huge.ini: File too large (over 1 MiB)"},
};

class FailureTest : public testing::TestWithParam<FailureCase>
{};

TEST_P(FailureTest, PrintsNothingAndExplains)
{
    const FailureCase& c = GetParam();
    const Outcome outcome = RunOnFolder(c.args);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), c.message);
    EXPECT_EQ(outcome.err.find("\nusage: versweep-scan ") != std::string::npos, c.usage);
}

INSTANTIATE_TEST_SUITE_P(Arguments, FailureTest, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

TEST(ScanCommand, HelpGoesToStandardOutput)
{
    const Outcome outcome = RunInProcess({"--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("--group TAG"), std::string::npos);
    EXPECT_EQ(outcome.err, "");
}

TEST(ScanCommand, EmptyArgumentVectorIsUsageError)
{
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const char* const argv[] = {nullptr};
    EXPECT_EQ(RunScanCommand(0, argv, in, false, out, err), 2);
    EXPECT_EQ(out.str(), "");
}

// A folder named like an option is reachable after "--", relative to the current folder.
TEST(ScanCommand, FolderWithLeadingDashAfterSeparator)
{
    const test::TempDir dir;
    dir.MakeDir("-shelf-/Game.v1-A");
    dir.MakeDir("-shelf-/Game.v2-B");
    dir.MakeFile("none.ini");
    const platform::Result<std::string> previous = platform::CurrentDirectory();
    ASSERT_TRUE(previous.HasValue());
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    const Outcome separated = RunInProcess({"--config=none.ini", "--", "-shelf-"});
    const Outcome bare = RunInProcess({"--config=none.ini", "-shelf-"});
    EXPECT_EQ(::chdir(previous.Value().c_str()), 0);

    EXPECT_EQ(separated.status, 0);
    EXPECT_EQ(separated.out, "[x] Game.v1-A\n[ ] Game.v2-B\n");
    EXPECT_EQ(bare.status, 2);
}

// A listing lost to a full disk or a closed pipe must not pass for a finished run.
TEST(ScanCommand, ListingThatCannotBeWrittenFails)
{
    const test::TempDir dir;
    Populate(dir);
    const std::string config = Expand(kNoSettings, dir);
    const std::string folder = dir / kShelf;
    const char* const argv[] = {"versweep-scan", config.c_str(), folder.c_str()};
    std::istringstream in;
    std::ostream out(nullptr);
    std::ostringstream err;
    EXPECT_EQ(RunScanCommand(3, argv, in, false, out, err), 1);
    EXPECT_EQ(err.str(), "versweep-scan: cannot write the listing\n");
}

TEST(ScanCommand, LinesFollowListOrder)
{
    const test::TempDir dir;
    Populate(dir);
    const Outcome outcome = RunInProcess({"--all", "--files", Expand(kNoSettings, dir), dir / kShelf});
    ASSERT_EQ(outcome.status, 0);
    std::vector<std::string> names;
    for (const std::string& line : Lines(outcome.out))
        names.push_back(line.substr(4));

    platform::Collation collation;
    std::vector<std::string> listOrder = names;
    std::sort(listOrder.begin(), listOrder.end(), [&](const std::string& a, const std::string& b) {
        return collation.SortKey(a) < collation.SortKey(b);
    });
    EXPECT_EQ(names, listOrder);
}

TEST(ScanCommand, JsonDescribesEachEntryAsTheMarkingReadIt)
{
    const test::TempDir dir;
    Populate(dir);
    const Outcome outcome =
        RunInProcess({"--all", "--files", "--json", Expand(kNoSettings, dir), dir / kShelf + "/"});
    ASSERT_EQ(outcome.status, 0);
    const nlohmann::json document = nlohmann::json::parse(outcome.out);

    EXPECT_EQ(document["folder"], dir / kShelf);
    EXPECT_EQ(document["group_tags"], nlohmann::json({"AAA", "BBB", "Q", "U", "W", "X.zip", "Y", "Z", "ccc"}));
    ASSERT_EQ(document["entries"].size(), 15u);
    const auto entry = [&](const std::string& name) {
        for (const nlohmann::json& item : document["entries"]) {
            if (item["name"] == name)
                return item;
        }
        return nlohmann::json();
    };
    EXPECT_EQ(entry("Tool.v1.2-X.zip"), nlohmann::json({{"name", "Tool.v1.2-X.zip"},
                                                        {"checked", true},
                                                        {"group_tag", "X.zip"},
                                                        {"version_text", "1.2.-"},
                                                        {"version_value", 1.200045},
                                                        {"title_key", "Tool"},
                                                        {"ambiguous", false},
                                                        {"reason", "older"},
                                                        {"superseded_by", "Tool.v1.3-Y"}}));
    // Underscores read as dots and the file's extension dropped, as the marking compared it.
    EXPECT_EQ(entry("Kit_v3.1.7z"), nlohmann::json({{"name", "Kit_v3.1.7z"},
                                                    {"checked", false},
                                                    {"group_tag", ""},
                                                    {"version_text", "3.1"},
                                                    {"version_value", 3.1},
                                                    {"title_key", "Kit"},
                                                    {"ambiguous", false},
                                                    {"reason", "only_version"}}));
    const nlohmann::json bad = entry("\xef\xbf\xbd\xef\xbf\xbd"
                                     "Bad.v1-W");
    EXPECT_EQ(bad["title_key"], "\xef\xbf\xbd\xef\xbf\xbd"
                                "Bad");
    EXPECT_EQ(bad["checked"], true);
    EXPECT_EQ(outcome.err, "versweep-scan: 15 entries, 6 checked, 9 group tags\n");
}

// Every entry says why it is marked as it is; an older one names the entry it is older than.
TEST(ScanCommand, JsonSaysWhyEachEntryIsMarked)
{
    const test::TempDir dir;
    for (const char* name :
         {"Archiver.v1.3.11-A", "Archiver.v1.14.25-B", "Archiver.v1.2-C", "Kit.v1-D", "Kit.v2-D", "Solo-E"})
        dir.MakeDir(std::string("shelf-/") + name);
    dir.MakeFile("none.ini");
    const Outcome outcome =
        RunInProcess({"--all", "--json", "--group=e", "--config", dir / "none.ini", dir / "shelf-"});
    ASSERT_EQ(outcome.status, 0);
    const nlohmann::json document = nlohmann::json::parse(outcome.out);
    std::vector<std::string> verdicts;
    for (const nlohmann::json& entry : document["entries"]) {
        verdicts.push_back(
            entry["name"].get<std::string>() + ": " + entry["reason"].get<std::string>() +
            (entry.contains("superseded_by") ? " " + entry["superseded_by"].get<std::string>() : "") +
            (entry["ambiguous"].get<bool>() ? " ambiguous" : ""));
    }
    EXPECT_EQ(Sorted(verdicts),
              (std::vector<std::string>{"Archiver.v1.14.25-B: ambiguous_kept ambiguous",
                                        "Archiver.v1.2-C: older Archiver.v1.14.25-B ambiguous",
                                        "Archiver.v1.3.11-A: ambiguous_kept ambiguous", "Kit.v1-D: older Kit.v2-D",
                                        "Kit.v2-D: newest", "Solo-E: group"}));
    EXPECT_EQ(outcome.err, "versweep-scan: 6 entries, 3 checked, 5 group tags, 1 ambiguous title\n");
}

// The listing is written entry by entry, yet byte for byte as a dump of the whole document would give it.
TEST(ScanCommand, JsonIsLaidOutAsOneDocument)
{
    const test::TempDir dir;
    Populate(dir);
    dir.MakeDir("nothing");
    for (const std::string& folder : {dir / kShelf, dir / "nothing"}) {
        SCOPED_TRACE(folder);
        const Outcome outcome = RunInProcess({"--all", "--files", "--json", Expand(kNoSettings, dir), folder});
        ASSERT_EQ(outcome.status, 0);
        using Json = nlohmann::ordered_json;
        EXPECT_EQ(outcome.out,
                  Json::parse(outcome.out).dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
    }
}

// The plain listing prints a name as is unless it could break or forge a line; NUL-ended records carry every
// name raw. Each row is one folder, listed alone.
TEST(ScanProgram, QuotesNamesThatCouldForgeALine)
{
    const struct
    {
        std::string name;
        std::string line;
    } cases[] = {
        {"Decoy.v1-A\n[x] Precious.v9-GRP", "[ ] \"Decoy.v1-A\\n[x] Precious.v9-GRP\""},
        {"Tab\tCr\rDel\x7f\x01\x1b.v1", "[ ] \"Tab\\tCr\\rDel\\x7f\\x01\\x1b.v1\""},
        {"Back\\slash \"and\" quotes\n", "[ ] \"Back\\\\slash \\\"and\\\" quotes\\n\""},
        {"\"Precious.v9-GRP\"", "[ ] \"\\\"Precious.v9-GRP\\\"\""},
        {"\xff\xfe\n", "[ ] \"\xff\xfe\\n\""},
        {"My Tool, \"Pro\"\\.v1-Q", "[ ] My Tool, \"Pro\"\\.v1-Q"},
        {"-rf \xff\xfe \xc3\x9c~", "[ ] -rf \xff\xfe \xc3\x9c~"},
        // Invisible or direction-changing characters would show another name than the one on disk.
        {"App.v1.\u200b9-GRP", "[ ] \"App.v1.\\u{200b}9-GRP\""},
        {"Game.v3-\u202e1v.emaG-X", "[ ] \"Game.v3-\\u{202e}1v.emaG-X\""},
        {"\ufeffTag\U000e0041\xff.v1", "[ ] \"\\u{feff}Tag\\u{e0041}\xff.v1\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const test::TempDir dir;
        dir.MakeDir("shelf-/" + c.name);
        dir.MakeFile("none.ini");
        const std::vector<std::string> args{"--all", "--config", dir / "none.ini", dir / "shelf-"};
        EXPECT_EQ(RunProgram(dir, args).out, c.line + "\n");
        std::vector<std::string> nullArgs = args;
        nullArgs.insert(nullArgs.begin(), "-0");
        EXPECT_EQ(RunProgram(dir, nullArgs).out, "[ ] " + c.name + std::string(1, '\0'));
    }
}

TEST(ScanCommand, SummaryCountsInSingularAndPlural)
{
    const struct
    {
        std::vector<std::string> folders;
        std::string summary;
    } cases[] = {
        {{}, "0 entries, 0 checked, 0 group tags"},
        {{"Solo.v1-A"}, "1 entry, 1 checked, 1 group tag"},
        {{"Solo.v1-A", "Solo.v2-B"}, "2 entries, 2 checked, 2 group tags"},
        {{"Kit.v1.9-A", "Kit.v1.10-B"}, "2 entries, 0 checked, 2 group tags, 1 ambiguous title"},
        {{"Kit.v1.9-A", "Kit.v1.10-B", "Pad.v2.5-C", "Pad.v2.05-D", "Pad.v1-E"},
         "5 entries, 1 checked, 5 group tags, 2 ambiguous titles"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.summary);
        const test::TempDir dir;
        dir.MakeDir("shelf-");
        for (const std::string& folder : c.folders)
            dir.MakeDir("shelf-/" + folder);
        dir.MakeFile("none.ini");
        const Outcome outcome =
            RunInProcess({"--all", "--black=solo", "--config", dir / "none.ini", dir / "shelf-"});
        EXPECT_EQ(outcome.err, "versweep-scan: " + c.summary + "\n");
    }
}

// Trailing slashes name the folder itself, and the root folder stays "/".
TEST(ScanCommand, FolderKeepsOneSlashAtMost)
{
    const test::TempDir dir;
    dir.MakeFile("none.ini");
    for (const auto& [given, shown] :
         {std::pair<std::string, std::string>{"/", "/"}, {"//", "/"}, {dir.Path() + "//", dir.Path()}}) {
        SCOPED_TRACE(given);
        const Outcome outcome = RunInProcess({"--all", "--json", "--config", dir / "none.ini", given});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(nlohmann::json::parse(outcome.out)["folder"], shown);
    }
}

TEST(ScanCommand, UnreadableConfigIsAnError)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads regardless of permission bits";
    const Outcome outcome = RunOnFolder({"--config={DIR}/locked.ini", kFolder});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "versweep-scan: cannot read settings {DIR}/locked.ini: " +
                               std::string(std::strerror(EACCES)) + "\n");
}

TEST(ScanProgram, PrintsNamesAsRawBytes)
{
    const test::TempDir dir;
    Populate(dir);
    const std::vector<std::string> args{Expand(kNoSettings, dir), dir / kShelf};

    const Outcome program = RunProgram(dir, args);
    const Outcome inProcess = RunInProcess(args);
    EXPECT_EQ(program.status, 0);
    EXPECT_NE(program.out.find("\n[x] \377\376Bad.v1-W\n"), std::string::npos);
    EXPECT_EQ(program.out, inProcess.out);
    EXPECT_EQ(program.err, inProcess.err);
}

// Without --config the program reads the settings file beside itself, wherever it is installed; the path of
// the running program is longer here than any first guess at its length.
TEST(ScanProgram, ReadsTheSettingsFileBesideItself)
{
    const test::TempDir dir;
    Populate(dir);
    const std::string bin = std::string(200, 'a') + "/" + std::string(200, 'b');
    dir.MakeDir(bin);
    const std::string program = dir / (bin + "/versweep-scan");
    std::filesystem::copy_file(BuiltProgram(), program);
    std::filesystem::permissions(program, std::filesystem::perms(0755));
    std::filesystem::copy_file(dir / "lists.ini", dir / (bin + "/versweep.ini"));

    const Outcome outcome = RunProgram(dir, {dir / kShelf}, program);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(Sorted(Lines(outcome.out)), Sorted(PairsWith({"[ ] Game.v1.0-AAA", "[x] Solo.v1.0-BBB"})));
}

// One title in four versions; the settings file asks to keep three.
TEST(ScanCommand, KeepLeavesTheNewestVersionsUnchecked)
{
    const test::TempDir dir;
    for (const char* name : {"A.v1-X", "A.v2-X", "A.v3-X", "A.v4-X"})
        dir.MakeDir(std::string("shelf-/") + name);
    dir.MakeFile("none.ini");
    std::ofstream(dir / "keep3.ini", std::ios::binary) << "[CONFIG]\nKeepCount=3\n";
    const struct
    {
        std::vector<std::string> options;
        int checked; // the oldest versions are the checked ones
    } cases[] = {
        {{"--config={DIR}/none.ini"}, 3},
        {{"--config={DIR}/none.ini", "--keep", "2"}, 2},
        {{"--config={DIR}/none.ini", "--keep=9"}, 0},
        {{"--config={DIR}/keep3.ini"}, 1},
        {{"--config={DIR}/keep3.ini", "--keep", "1"}, 3},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args;
        for (const std::string& option : c.options)
            args.push_back(Expand(option, dir));
        args.push_back(dir / "shelf-");
        SCOPED_TRACE(testing::PrintToString(args));
        const Outcome outcome = RunInProcess(args);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        std::string expected;
        for (int version = 1; version <= 4; ++version)
            expected +=
                std::string(version <= c.checked ? "[x]" : "[ ]") + " A.v" + std::to_string(version) + "-X\n";
        EXPECT_EQ(outcome.out, expected);
    }
}

// Each entry's size is what the disk-usage walk finds, links never followed; the summary totals the checked
// ones and says "at least" when one of them could not be read in full (only an unprivileged user meets an
// unreadable folder).
TEST(ScanCommand, SizesInJsonAreTheWalksAndTheSummaryTotalsTheChecked)
{
    const test::TempDir dir;
    dir.MakeFile("shelf-/Big.v1-A/data");
    std::ofstream(dir / "shelf-/Big.v1-A/data", std::ios::binary) << std::string(300000, 'x');
    dir.MakeFile("shelf-/Big.v2-A/data", 1);
    dir.MakeSymlink("shelf-/Big.v2-A/link", dir / "shelf-/Big.v1-A/data");
    dir.MakeFile("shelf-/Locked.v1-B/sub/data", 700);
    dir.Chmod("shelf-/Locked.v1-B/sub", 0);
    dir.MakeDir("shelf-/Locked.v2-B");
    dir.MakeFile("none.ini");
    const Outcome outcome = RunInProcess({"--sizes", "--json", "--config", dir / "none.ini", dir / "shelf-"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;

    const nlohmann::json entries = nlohmann::json::parse(outcome.out)["entries"];
    ASSERT_EQ(entries.size(), 4U);
    std::int64_t freed = 0;
    bool complete = true;
    for (const nlohmann::json& entry : entries) {
        SCOPED_TRACE(entry.dump());
        const platform::TreeSize size =
            platform::MeasureDiskUsage(dir / ("shelf-/" + entry["name"].get<std::string>()));
        EXPECT_EQ(entry["size"], size.bytes);
        EXPECT_EQ(entry["size_complete"], size.complete);
        if (entry["checked"]) {
            freed += size.bytes;
            complete = complete && size.complete;
        }
    }
    EXPECT_GE(entries[0]["size"], 300000);
    EXPECT_LT(entries[1]["size"], 300000);
    EXPECT_EQ(outcome.err, "versweep-scan: 4 entries, 2 checked (" + std::string(complete ? "" : "at least ") +
                               HumanSize(freed) + " to free), 2 group tags\n");
    EXPECT_EQ(complete, ::geteuid() == 0);
}

TEST(ScanCommand, HumanSizeChangesUnitAfterRounding)
{
    const std::pair<std::int64_t, std::string> cases[] = {
        {0, "0 bytes"},       {1, "1 byte"},          {1023, "1023 bytes"},
        {1024, "1.0 KiB"},    {1300, "1.3 KiB"},      {1048524, "1023.9 KiB"},
        {1048575, "1.0 MiB"}, {13107200, "12.5 MiB"}, {std::numeric_limits<std::int64_t>::max(), "8.0 EiB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(HumanSize(bytes), text) << bytes;
}

TEST(ScanProgram, ExitStatuses)
{
    const test::TempDir dir;
    EXPECT_EQ(RunProgram(dir, {dir / "absent"}).status, 1);
    EXPECT_EQ(RunProgram(dir, {}).status, 2);
    EXPECT_EQ(RunProgram(dir, {"--yes", dir.Path()}).status, 2);
}

} // namespace
} // namespace versweep
