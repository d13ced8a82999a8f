// versweep-scan: runs the listing pass on one folder and prints what the window would show.
#include "cli/scan_command.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/utf8_text.h"
#include "ini/ini_file.h"
#include "ini/settings_location.h"
#include "release/release_name.h"
#include "scan/refresh_list.h"
#include "tools/text_tools.h"
#include "version.h"
#include "widgets/check_list.h"

namespace versweep {

namespace {

constexpr std::string_view kProgram = "versweep-scan";
constexpr std::string_view kUsage =
    "usage: versweep-scan [--all] [--files] [--white LIST] [--black LIST] [--config FILE]\n"
    "                     [--empty] [--group TAG]... [--json] [--trash [--yes]] FOLDER\n";

struct ScanArguments
{
    bool all = false;
    bool files = false;
    std::optional<std::string> white;
    std::optional<std::string> black;
    std::optional<std::string> config;
    bool empty = false;
    std::vector<std::string> groups;
    bool json = false;
    std::string folder;
};

// The group entries the window would put in its popup menu.
class TagCollector final : public GroupMenuSink
{
public:
    void ClearGroupMenu() override { m_tags.clear(); }
    void AddGroupEntry(const std::string& tag) override { m_tags.push_back(tag); }
    const StringList& Tags() const { return m_tags; }

private:
    StringList m_tags;
};

std::optional<std::string> ValueIfGiven(const CLI::Option* option, std::string value)
{
    if (option->count() == 0)
        return std::nullopt;
    return value;
}

void ReportUsageError(std::ostream& err, std::string_view message)
{
    err << kProgram << ": " << message << '\n' << kUsage;
}

// CLI11 reads "--white=" as "--white" followed by the next argument, which would swallow the folder; an
// empty value after "=" means an empty list, so it becomes an empty argument of its own.
std::vector<std::string> SplitEmptyValues(int argc, const char* const* argv)
{
    std::vector<std::string> words(argv, argv + argc);
    if (words.empty())
        words.emplace_back(kProgram);
    for (std::size_t i = 1; i < words.size() && words[i] != "--"; ++i) {
        if (words[i] == "--white=" || words[i] == "--black=" || words[i] == "--config=" ||
            words[i] == "--group=") {
            words[i].pop_back();
            words.insert(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::string());
            ++i;
        }
    }
    return words;
}

// Fills `args` from the command line; returns the exit status when the command must stop here.
std::optional<int> ParseArguments(int argc, const char* const* argv, ScanArguments& args, std::ostream& out,
                                  std::ostream& err)
{
    CLI::App app{"Lists the entries of FOLDER and checks the superseded versions of each release.",
                 std::string(kProgram)};
    std::string white;
    std::string black;
    std::string config;
    bool trash = false;
    bool yes = false;
    app.add_flag("--all", args.all, "List every entry, not only those that could be duplicates");
    app.add_flag("--files", args.files, "List plain files and hidden, read-only or linked folders too");
    const CLI::Option* whiteOption =
        app.add_option("--white", white, "Comma list of titles never checked (replaces WhiteList)")
            ->type_name("LIST");
    const CLI::Option* blackOption =
        app.add_option("--black", black, "Comma list of titles always checked (replaces BlackList)")
            ->type_name("LIST");
    const CLI::Option* configOption =
        app.add_option("--config", config, "Settings file to read WhiteList and BlackList from")
            ->type_name("FILE");
    app.add_flag("--empty", args.empty, "Also check every entry holding less than 256 bytes");
    app.add_option("--group", args.groups, "Also check every entry of this group tag, case ignored")
        ->type_name("TAG")
        ->type_size(1)
        ->allow_extra_args(false)
        ->take_all();
    app.add_flag("--json", args.json, "Print the listing as JSON");
    app.add_flag("--trash", trash, "Move the checked entries to the trash (not available yet)");
    app.add_flag("--yes", yes, "Do not ask before --trash");
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
    if (trash) {
        err << kProgram << ": --trash is not available yet\n";
        return 2;
    }
    if (yes) {
        ReportUsageError(err, "--yes goes only with --trash");
        return 2;
    }
    if (folderOption->count() == 0) {
        ReportUsageError(err, "FOLDER is missing");
        return 2;
    }
    args.white = ValueIfGiven(whiteOption, std::move(white));
    args.black = ValueIfGiven(blackOption, std::move(black));
    args.config = ValueIfGiven(configOption, std::move(config));
    // "dir/" names the same folder as "dir", and the header shows it without the slash.
    while (args.folder.size() > 1 && args.folder.back() == '/')
        args.folder.pop_back();
    return std::nullopt;
}

// Item 0 is the header: it has no check box and is never printed.
std::string ListingLines(const CheckList& list)
{
    std::string text;
    for (int i = 1; i < list.ItemCount(); ++i) {
        text += list.IsChecked(i) ? "[x] " : "[ ] ";
        text += list.ItemText(i);
        text += '\n';
    }
    return text;
}

// `names` holds, per item, the name as the marking read it; the version and title come from it so that
// they are the ones the marks were decided on.
std::string ListingJson(const CheckList& list, const std::string& folder, const StringList& tags,
                        const std::vector<std::string>& names)
{
    using Json = nlohmann::ordered_json;
    Json groupTags = Json::array();
    for (const std::string& tag : tags)
        groupTags.push_back(ReplaceInvalidUtf8(tag));
    Json entries = Json::array();
    for (int i = 1; i < list.ItemCount(); ++i) {
        const std::string& text = list.ItemText(i);
        const std::string& name = names[static_cast<std::size_t>(i)];
        const std::string versionText = ExtractVersionText(name);
        entries.push_back(Json{{"name", ReplaceInvalidUtf8(text)},
                               {"checked", list.IsChecked(i)},
                               {"group_tag", ReplaceInvalidUtf8(ExtractGroupTag(text))},
                               {"version_text", ReplaceInvalidUtf8(versionText)},
                               {"version_value", VersionValue(versionText)},
                               {"title_key", ReplaceInvalidUtf8(NormalizeTitle(name))}});
    }
    Json document;
    document["folder"] = ReplaceInvalidUtf8(folder);
    document["group_tags"] = std::move(groupTags);
    document["entries"] = std::move(entries);
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

void ReportSummary(std::ostream& err, int entries, int checked, std::size_t tags)
{
    err << kProgram << ": " << entries << (entries == 1 ? " entry, " : " entries, ") << checked << " checked, "
        << tags << (tags == 1 ? " group tag\n" : " group tags\n");
}

} // namespace

int RunScanCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    ScanArguments args;
    if (const std::optional<int> status = ParseArguments(argc, argv, args, out, err))
        return *status;

    RefreshOptions options;
    options.onlyDuplicate = !args.all;
    options.listFile = args.files;
    options.whiteList = args.white;
    options.blackList = args.black;
    const IniFile settings(args.config ? *args.config : DefaultSettingsFilePath());
    CheckList list;
    TagCollector menu;
    RefreshReport report;
    RefreshList(list, args.folder, settings, options, menu, &report);
    if (report.listError) {
        err << kProgram << ": cannot list " << args.folder << ": " << report.listError->message << '\n';
        return 1;
    }

    if (args.empty)
        CheckEmptyEntries(list, args.folder);
    for (const std::string& tag : args.groups)
        SetGroupChecked(list, tag, true);

    const std::string listing =
        args.json ? ListingJson(list, args.folder, menu.Tags(), report.names) : ListingLines(list);
    errno = 0;
    out.write(listing.data(), static_cast<std::streamsize>(listing.size()));
    out.flush();
    if (!out) {
        // A full disk or a closed pipe loses the listing; the caller must not take the run as done.
        err << kProgram << ": cannot write the listing";
        if (errno != 0)
            err << ": " << std::strerror(errno);
        err << '\n';
        return 1;
    }
    ReportSummary(err, list.ItemCount() - 1, list.CheckedCount(), menu.Tags().size());
    return 0;
}

} // namespace versweep
