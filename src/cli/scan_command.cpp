// versweep-scan: runs the listing pass on one folder and prints what the window would show.
#include "cli/scan_command.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/listing_output.h"
#include "cli/messages.h"
#include "cli/trash_commands.h"
#include "ini/ini_file.h"
#include "ini/settings_location.h"
#include "platform/file_system.h"
#include "platform/tree_size.h"
#include "scan/sweep_session.h"
#include "scan/undo_record.h"
#include "tools/text_tools.h"
#include "version.h"

namespace versweep {

namespace {

constexpr std::string_view kUsage =
    "usage: versweep-scan [--all] [--files] [--white LIST] [--black LIST] [--config FILE] [--keep N]\n"
    "                     [--empty] [--group TAG]... [--sizes] [--json | --null] [--trash [--yes]] FOLDER\n"
    "       versweep-scan --undo\n";

struct ScanArguments
{
    bool all = false;
    bool files = false;
    std::optional<std::string> white;
    std::optional<std::string> black;
    std::optional<std::string> config;
    std::optional<std::string> keep;
    std::optional<int> keepCount; // --keep read as a number
    bool empty = false;
    std::vector<std::string> groups;
    bool json = false;
    bool null = false;
    bool sizes = false;
    bool trash = false;
    bool yes = false;
    bool undo = false;
    std::string folder;
};

// Where an option puts what it was given: a flag, a value that may be absent, or a value that may repeat.
using OptionTarget = std::variant<bool ScanArguments::*, std::optional<std::string> ScanArguments::*,
                                  std::vector<std::string> ScanArguments::*>;

struct OptionSpec
{
    const char* names;     // as CLI11 takes them: "-0,--null"
    const char* valueName; // empty for a flag
    const char* help;
    OptionTarget target;
};

// Every option of the command. An option that takes a value accepts "--name VALUE" and "--name=VALUE".
const OptionSpec kOptions[] = {
    {"--all", "", "List every entry, not only those that could be duplicates", &ScanArguments::all},
    {"--files", "", "List plain files and hidden, read-only or linked folders too", &ScanArguments::files},
    {"--white", "LIST", "Comma list of titles never checked (replaces WhiteList)", &ScanArguments::white},
    {"--black", "LIST", "Comma list of titles always checked (replaces BlackList)", &ScanArguments::black},
    {"--config", "FILE", "Settings file to read WhiteList, BlackList and KeepCount from", &ScanArguments::config},
    {"--keep", "N", "Keep the N newest versions of each title unchecked (replaces KeepCount)",
     &ScanArguments::keep},
    {"--empty", "", "Also check every entry holding less than 256 bytes", &ScanArguments::empty},
    {"--group", "TAG", "Also check every entry of this group tag, case ignored", &ScanArguments::groups},
    {"--json", "", "Print the listing as JSON", &ScanArguments::json},
    {"-0,--null", "", "End each entry with a NUL byte instead of a line break, names unquoted",
     &ScanArguments::null},
    {"--sizes", "", "Measure each entry: its size in the JSON listing, the checked total in the summary",
     &ScanArguments::sizes},
    {"--trash", "", "Move the checked entries to the trash, asking first", &ScanArguments::trash},
    {"--yes", "", "Do not ask before --trash", &ScanArguments::yes},
    {"--undo", "", "Move the last batch sent to the trash back, and do nothing else", &ScanArguments::undo},
};

void ReportUsageError(std::ostream& err, std::string_view message)
{
    err << kProgram << ": " << message << '\n' << kUsage;
}

// The long name of an option that takes a value, with "=" after it: "--white=".
std::vector<std::string> EmptyValueForms()
{
    std::vector<std::string> forms;
    for (const OptionSpec& option : kOptions) {
        const std::string_view names = option.names;
        const std::size_t dashes = names.rfind("--");
        if (option.valueName[0] != '\0' && dashes != std::string_view::npos)
            forms.push_back(std::string(names.substr(dashes, names.find(',', dashes) - dashes)) + "=");
    }
    return forms;
}

// CLI11 reads "--white=" as "--white" followed by the next argument, which would swallow the folder; an
// empty value after "=" is a value of its own, so it becomes an empty argument.
std::vector<std::string> SplitEmptyValues(int argc, const char* const* argv)
{
    static const std::vector<std::string> kForms = EmptyValueForms();
    std::vector<std::string> words(argv, argv + argc);
    if (words.empty())
        words.emplace_back(kProgram);
    for (std::size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
        if (std::find(kForms.begin(), kForms.end(), words[i]) != kForms.end()) {
            words[i].pop_back();
            words.insert(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::string());
            ++i;
        }
    }
    return words;
}

void AddOption(CLI::App& app, const OptionSpec& described, ScanArguments& args)
{
    std::visit(
        [&](auto target) {
            using Target = decltype(target);
            if constexpr (std::is_same_v<Target, bool ScanArguments::*>) {
                app.add_flag(described.names, args.*target, described.help);
            } else if constexpr (std::is_same_v<Target, std::optional<std::string> ScanArguments::*>) {
                app.add_option_function<std::string>(
                       described.names, [&args, target](const std::string& value) { args.*target = value; },
                       described.help)
                    ->type_name(described.valueName);
            } else {
                app.add_option(described.names, args.*target, described.help)
                    ->type_name(described.valueName)
                    ->type_size(1)
                    ->allow_extra_args(false)
                    ->take_all();
            }
        },
        described.target);
}

// Fills `args` from the command line; returns the exit status when the command must stop here.
std::optional<int> ParseArguments(int argc, const char* const* argv, ScanArguments& args, std::ostream& out,
                                  std::ostream& err)
{
    CLI::App app{"Lists the entries of FOLDER and checks the superseded versions of each release.",
                 std::string(kProgram)};
    for (const OptionSpec& option : kOptions)
        AddOption(app, option, args);
    app.set_version_flag("--version", std::string(kProgram) + " " + std::string(kVersion),
                         "Print the version and exit");
    // Not marked required: a missing folder gets the same message as the other usage errors.
    const CLI::Option* folderOption = app.add_option("FOLDER", args.folder, "The folder to list")->type_name("");

    const std::vector<std::string> words = SplitEmptyValues(argc, argv);
    std::vector<const char*> wordPointers;
    wordPointers.reserve(words.size());
    for (const std::string& word : words)
        wordPointers.push_back(word.c_str());
    try {
        app.parse(static_cast<int>(wordPointers.size()), wordPointers.data());
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            out << app.help();
            return 0;
        }
        ReportUsageError(err, error.what());
        return 2;
    }
    const std::optional<std::string_view> conflict = [&]() -> std::optional<std::string_view> {
        if (args.undo) {
            // The batch is found by itself; a folder or a listing option beside it could only mislead.
            if (folderOption->count() > 0)
                return "--undo takes no FOLDER";
            const CLI::Option* undoOption = app.get_option("--undo");
            const std::vector<CLI::Option*> given = app.parse_order();
            if (std::any_of(given.begin(), given.end(), [&](const CLI::Option* o) { return o != undoOption; }))
                return "--undo goes with no other option";
            return std::nullopt;
        }
        if (args.keep) {
            args.keepCount = ParseInt32(*args.keep);
            if (!args.keepCount || *args.keepCount < 1)
                return "--keep needs a whole number N of at least 1";
        }
        if (args.yes && !args.trash)
            return "--yes goes only with --trash";
        if (args.json && args.null)
            return "--json and --null do not go together";
        // An empty tag would check every entry without one, the newest of each title included.
        if (std::find(args.groups.begin(), args.groups.end(), std::string()) != args.groups.end())
            return "--group needs a TAG";
        if (folderOption->count() == 0)
            return "FOLDER is missing";
        return std::nullopt;
    }();
    if (conflict) {
        ReportUsageError(err, *conflict);
        return 2;
    }
    return std::nullopt;
}

// What the checked entries add up to; incomplete when any of them was.
platform::TreeSize CheckedTotal(const Listing& listing, const std::vector<MeasuredEntry>& sizes)
{
    platform::TreeSize total{0, true};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (!listing.Entries()[i].checked)
            continue;
        total.bytes = SaturatingAdd(total.bytes, sizes[i].size.bytes);
        total.complete = total.complete && sizes[i].size.complete;
    }
    return total;
}

// "12 entries, 5 checked, 8 group tags"; when `sizes` were measured "5 checked (12.5 MiB to free)", with
// "at least" when a part of a checked entry could not be read; ", 2 ambiguous titles" when any title's
// versions read two ways.
void ReportSummary(std::ostream& err, const Listing& listing, const std::vector<MeasuredEntry>& sizes)
{
    err << kProgram << ": " << CountOf(static_cast<std::int64_t>(listing.Entries().size()), "entry", "entries")
        << ", " << listing.CheckedCount() << " checked";
    if (!sizes.empty()) {
        const platform::TreeSize freed = CheckedTotal(listing, sizes);
        err << " (" << (freed.complete ? "" : "at least ") << HumanSize(freed.bytes) << " to free)";
    }
    err << ", " << CountOf(static_cast<std::int64_t>(listing.GroupTags().size()), "group tag", "group tags");
    if (listing.AmbiguousTitles() > 0)
        err << ", "
            << CountOf(static_cast<std::int64_t>(listing.AmbiguousTitles()), "ambiguous title",
                       "ambiguous titles");
    err << '\n';
}

// The lists and the keep count from the command line, else from the settings file; a settings file named on
// the command line is read now and must be readable: quietly falling back to empty lists would let a white
// list stop protecting without a word. The window's own file keeps its quiet defaults.
std::optional<ListOptions> ResolveOptions(const ScanArguments& args, std::ostream& err)
{
    ListOptions options;
    options.onlyDuplicates = !args.all;
    options.listFiles = args.files;
    const IniFile settings(args.config ? *args.config : DefaultSettingsFilePath());
    for (auto [key, given, list] : {std::tuple{"WhiteList", &args.white, &options.whiteList},
                                    std::tuple{"BlackList", &args.black, &options.blackList}}) {
        platform::Result<std::string> value =
            args.config ? settings.TryReadString("CONFIG", key, "") : settings.ReadString("CONFIG", key, "");
        if (!value) {
            err << kProgram << ": cannot read settings " << *args.config << ": " << value.Error().message << '\n';
            return std::nullopt;
        }
        *list = *given ? **given : std::move(value).Value();
    }
    options.keepCount = args.keepCount ? *args.keepCount : settings.ReadInteger("CONFIG", "KeepCount", 1);
    return options;
}

} // namespace

int RunScanCommand(int argc, const char* const* argv, std::istream& in, bool inIsTerminal, std::ostream& out,
                   std::ostream& err)
{
    ScanArguments args;
    if (const std::optional<int> status = ParseArguments(argc, argv, args, out, err))
        return *status;
    if (args.undo)
        return UndoLastTrash(out, err);
    // Taken absolute and normal once, so that a folder given as "." or "sub/.." lists and moves as itself
    // wherever the run goes, and "dir/" is shown as "dir".
    const platform::Result<std::string> folder = platform::AbsoluteFolder(args.folder);
    if (!folder) {
        err << kProgram << ": cannot list " << args.folder << ": " << folder.Error().message << '\n';
        return 1;
    }
    args.folder = folder.Value();

    const std::optional<ListOptions> options = ResolveOptions(args, err);
    if (!options)
        return 1;
    SweepSession session(DefaultUndoRecordPath());
    if (const std::optional<platform::SystemError> error = session.List(args.folder, *options)) {
        err << kProgram << ": cannot list " << args.folder << ": " << error->message << '\n';
        return 1;
    }
    if (args.empty)
        session.CheckEmptyFolders();
    for (const std::string& tag : args.groups)
        session.CheckGroup(tag, true);
    const std::vector<MeasuredEntry> sizes = args.sizes ? session.MeasureSizes() : std::vector<MeasuredEntry>();

    const Listing& listing = session.CurrentListing();
    errno = 0;
    if (args.json)
        WriteJson(out, listing, sizes);
    else if (args.null)
        WriteRecords(out, listing);
    else
        WriteLines(out, listing);
    out.flush();
    if (!out) {
        // A full disk or a closed pipe loses the listing; the caller must not take the run as done.
        err << kProgram << ": cannot write the listing";
        if (errno != 0)
            err << ": " << std::strerror(errno);
        err << '\n';
        return 1;
    }
    ReportSummary(err, listing, sizes);
    if (args.trash)
        return MoveCheckedToTrash(session, args.yes, in, inIsTerminal, err);
    return 0;
}

} // namespace versweep
