// The listing pass: the folder's entries, typed by the listing itself, sorted, marked, then handed on.
#include "listing/listing_pass.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

#include "listing/duplicate_marking.h"
#include "platform/collation.h"
#include "release/release_name.h"
#include "tools/text_tools.h"

namespace versweep {

namespace {

// Without "ListFile" only plain folders are listed: hidden, read-only and linked folders stay out, as do files.
bool IsListed(const platform::DirEntry& entry, bool listFiles)
{
    return listFiles || (entry.kind == platform::EntryKind::Folder && !entry.hidden && !entry.readOnly);
}

// The listing already tells folders from files; only a link has to be followed to learn what it names. The
// entry's own folder decides, never the process's current directory.
bool IsPlainFile(const std::string& folder, const platform::DirEntry& entry)
{
    if (entry.kind == platform::EntryKind::Link)
        return platform::FileExists(platform::JoinPath(folder, entry.name));
    return entry.kind == platform::EntryKind::File;
}

// Underscores stand for dots in release names. A plain file loses its extension so that its version and
// title read as those of the folder it was packed from ("Tool.v1.2.7z" compares as "Tool.v1.2").
std::string ReadAsRelease(std::string name, bool plainFile)
{
    std::replace(name.begin(), name.end(), '_', '.');
    return plainFile ? FileBaseName(name) : name;
}

// The tags of every entry listed, those that "only duplicates" drops included.
std::vector<std::string> GroupTags(const std::string& folder, const std::vector<Entry>& entries)
{
    std::vector<std::string> tags;
    std::unordered_set<std::string> seen;
    const auto add = [&](std::string tag) {
        if (!tag.empty() && seen.insert(tag).second)
            tags.push_back(std::move(tag));
    };
    // The folder's own text after its last '-' has always been offered as a group tag too, from the days when
    // the folder was the list's first row. It stays: the menu people know holds it, and it checks only entries
    // that do carry that tag.
    add(ExtractGroupTag(folder));
    for (const Entry& entry : entries)
        add(entry.groupTag);
    SortStrings(tags);
    return tags;
}

// Marks the entries and leaves out those the marking drops.
void Mark(ListedFolder& listed, const ListOptions& options)
{
    std::vector<Entry>& entries = listed.entries;
    MarkingInput input;
    input.names.reserve(entries.size());
    for (const Entry& entry : entries)
        input.names.push_back(entry.readName);
    input.whiteList = UpperCaseAscii(options.whiteList);
    input.blackList = UpperCaseAscii(options.blackList);
    input.onlyDuplicate = options.onlyDuplicates;
    input.keepCount = options.keepCount;
    const MarkingResult marks = MarkDuplicates(input);

    // Successors are named before anything is dropped: a successor is never dropped, but it moves.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        entry.checked = marks.checked[i];
        entry.mark.reason = marks.reasons[i];
        entry.mark.ambiguous = marks.ambiguous[i];
        if (marks.successors[i])
            entry.mark.supersededBy = entries[*marks.successors[i]].name;
        entry.mark.titleKey = UpperCaseAscii(NormalizeTitle(entry.readName));
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (marks.dropped[i])
            continue;
        if (kept != i)
            entries[kept] = std::move(entries[i]);
        ++kept;
    }
    entries.resize(kept);
    listed.ambiguousTitles = marks.ambiguousTitles;
}

} // namespace

void SortForLists(std::vector<Entry>& entries, platform::Collation& collation)
{
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys.emplace_back(collation.SortKey(entries[i].name), i);
    std::sort(keys.begin(), keys.end());
    // The entries move into their places in cycles, so a large folder is never held twice.
    for (std::size_t start = 0; start < keys.size(); ++start) {
        std::size_t place = start;
        while (keys[place].second != start) {
            const std::size_t from = keys[place].second;
            std::swap(entries[place], entries[from]);
            keys[place].second = place;
            place = from;
        }
        keys[place].second = place;
    }
}

ListedFolder ListFolder(const std::string& folder, const ListOptions& options, platform::Collation& collation,
                        const platform::ListingControl& control)
{
    ListedFolder listed;
    listed.folder = folder;
    platform::Result<std::vector<platform::DirEntry>> read = platform::ListDirectory(folder, control);
    if (!read) {
        listed.error = read.Error();
    } else {
        listed.entries.reserve(read.Value().size());
        for (platform::DirEntry& found : read.Value()) {
            if (!IsListed(found, options.listFiles))
                continue;
            // Links are followed one by one, as slow as the listing on a share: a stop reaches them too.
            if (control.stop != nullptr && control.stop->load()) {
                listed.error = platform::ErrorFromErrno(ECANCELED);
                listed.entries.clear();
                break;
            }
            Entry entry;
            entry.readName = ReadAsRelease(found.name, IsPlainFile(folder, found));
            entry.groupTag = ExtractGroupTag(found.name);
            entry.name = std::move(found.name);
            entry.kind = found.kind;
            entry.identity = found.identity;
            listed.entries.push_back(std::move(entry));
        }
    }
    SortForLists(listed.entries, collation);
    listed.groupTags = GroupTags(folder, listed.entries);
    Mark(listed, options);
    return listed;
}

} // namespace versweep
