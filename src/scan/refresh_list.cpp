// The listing pass: fills the check list with a folder's entries and checks the superseded versions.
#include "scan/refresh_list.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "ini/ini_file.h"
#include "platform/file_system.h"
#include "release/release_name.h"
#include "scan/duplicate_marking.h"
#include "scan/empty_folder.h"
#include "tools/text_tools.h"
#include "widgets/check_list.h"

namespace versweep {

namespace {

// Without "ListFile" only plain folders are listed: hidden, read-only and linked folders stay out, as do
// files.
bool IsListed(const platform::DirEntry& entry, bool listFile)
{
    return listFile || (entry.kind == platform::EntryKind::Folder && !entry.hidden && !entry.readOnly);
}

// The listing already tells folders from files; only a link has to be followed to learn what it names.
bool IsPlainFile(const std::string& folder, const platform::DirEntry& entry)
{
    if (entry.kind == platform::EntryKind::Link)
        return platform::FileExists(platform::JoinPath(folder, entry.name));
    return entry.kind == platform::EntryKind::File;
}

// Underscores stand for dots in release names. A plain file loses its extension so that its version and
// title read as those of the folder it was packed from ("Tool.v1.2.7z" compares as "Tool.v1.2").
std::string ReadAsRelease(std::string caption, bool plainFile)
{
    std::replace(caption.begin(), caption.end(), '_', '.');
    return plainFile ? FileBaseName(caption) : caption;
}

// Lists the folder's entries into the list in one sorted batch; returns the names of the plain files
// among them. The entry type is decided here, from the listing, because the list keeps only texts and
// the names the pass reads must not depend on whatever folder the process happens to stand in.
std::unordered_set<std::string> FillList(CheckList& list, const std::string& folder, bool listFile,
                                         RefreshReport* report)
{
    std::unordered_set<std::string> plainFiles;
    platform::Result<std::vector<platform::DirEntry>> listing = platform::ListDirectory(folder);
    if (!listing) {
        if (report != nullptr)
            report->listError = listing.Error();
        return plainFiles;
    }
    std::vector<std::string> texts;
    texts.reserve(listing.Value().size());
    for (platform::DirEntry& entry : listing.Value()) {
        if (!IsListed(entry, listFile))
            continue;
        if (IsPlainFile(folder, entry))
            plainFiles.insert(entry.name);
        if (report != nullptr && entry.identity.Known())
            report->ids.emplace(entry.name, entry.identity);
        texts.push_back(std::move(entry.name));
    }
    list.AddItems(texts);
    return plainFiles;
}

// Checks the items the marking chose, records why, and removes the dropped ones in one pass; `names` follows
// the list. A successor is named before anything moves: it is never dropped, but its index would shift.
void ApplyMarks(CheckList& list, const MarkingResult& marks, std::vector<std::string>& names)
{
    const int count = list.ItemCount();
    for (int i = 1; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (marks.checked[at])
            list.SetChecked(i, true);
        EntryMark mark;
        mark.reason = marks.reasons[at];
        mark.ambiguous = marks.ambiguous[at];
        if (marks.successors[at] != 0)
            mark.supersededBy = list.ItemText(static_cast<int>(marks.successors[at]));
        mark.titleKey = UpperCaseAscii(NormalizeTitle(names[at]));
        list.SetMark(i, std::move(mark));
    }
    list.DeleteItems(marks.dropped);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (marks.dropped[i])
            continue;
        if (kept != i)
            names[kept] = std::move(names[i]);
        ++kept;
    }
    names.resize(kept);
}

} // namespace

void CheckEmptyEntries(CheckList& list, const std::string& folder)
{
    for (int i = 1; i < list.ItemCount(); ++i) {
        if (IsEmptyFolder(platform::JoinPath(folder, list.ItemText(i))))
            list.ChangeMark(i, true, MarkReason::Empty);
    }
}

void SetGroupChecked(CheckList& list, std::string_view tag, bool checked)
{
    const std::string wanted = UpperCaseAscii(tag);
    for (int i = 1; i < list.ItemCount(); ++i) {
        if (UpperCaseAscii(ExtractGroupTag(list.ItemText(i))) == wanted)
            list.ChangeMark(i, checked, MarkReason::Group);
    }
}

bool RefreshList(CheckList& list, const std::string& folder, const IniFile& settings,
                 const RefreshOptions& options, GroupMenuSink& menu, RefreshReport* report)
{
    if (report != nullptr)
        *report = RefreshReport{};
    list.Clear();
    list.AddGroupHeader(folder);
    const std::unordered_set<std::string> plainFiles = FillList(list, folder, options.listFile, report);
    menu.ClearGroupMenu();

    // Index 0 is the header (the list pins it there); its caption is the folder path, and its text after
    // the last '-' joins the group tags as it always has.
    const int count = list.ItemCount();
    MarkingInput marking;
    marking.names.reserve(static_cast<std::size_t>(count));
    StringList tags;
    std::unordered_set<std::string> seenTags;
    for (int i = 0; i < count; ++i) {
        const std::string caption = list.ItemDisplayText(i);
        marking.names.push_back(ReadAsRelease(caption, i > 0 && plainFiles.count(caption) != 0));
        std::string tag = ExtractGroupTag(caption);
        if (!tag.empty() && seenTags.insert(tag).second)
            tags.push_back(std::move(tag));
    }
    SortStrings(tags);
    for (const std::string& tag : tags)
        menu.AddGroupEntry(tag);

    const std::string white =
        options.whiteList ? *options.whiteList : settings.ReadString("CONFIG", "WhiteList", "");
    const std::string black =
        options.blackList ? *options.blackList : settings.ReadString("CONFIG", "BlackList", "");
    marking.whiteList = UpperCaseAscii(white);
    marking.blackList = UpperCaseAscii(black);
    marking.onlyDuplicate = options.onlyDuplicate;
    marking.keepCount = options.keepCount ? *options.keepCount : settings.ReadInteger("CONFIG", "KeepCount", 1);
    const MarkingResult marks = MarkDuplicates(marking);

    ApplyMarks(list, marks, marking.names);
    if (report != nullptr) {
        report->names = std::move(marking.names);
        report->ambiguousTitles = marks.ambiguousTitles;
    }
    return list.CheckedCount() > 0;
}

} // namespace versweep
