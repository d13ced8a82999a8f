// The listing pass: fills the check list with a folder's entries and checks the superseded versions.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace versweep {

class CheckList;
class IniFile;

/// Receives the group-tag entries of the list's popup menu, rebuilt by every pass.
class GroupMenuSink
{
public:
    virtual ~GroupMenuSink() = default;
    /// Removes the entries the previous pass added.
    virtual void ClearGroupMenu() = 0;
    /// Appends one group-tag entry, unchecked; called in sorted order.
    virtual void AddGroupEntry(const std::string& tag) = 0;
};

/// How the pass lists and which lists it applies.
struct RefreshOptions
{
    bool onlyDuplicate = true; ///< list only entries that could be duplicates
    bool listFile = false;     ///< list plain files (and folders with other attributes) too
    /// Replace the settings file's "WhiteList" / "BlackList" when set.
    std::optional<std::string> whiteList;
    std::optional<std::string> blackList;
    /// Replaces the settings file's "KeepCount" when set: how many of the newest distinct versions of
    /// each title stay unchecked. A count below 1, set here or in the file, reads as 1.
    std::optional<int> keepCount;
};

/// Which file each listed entry was when the folder was listed, by name: a batch moves an entry only while it
/// is still that file.
using ListedIds = std::unordered_map<std::string, platform::FileId>;

/// What a pass saw beyond the list itself, for callers that report more than the window shows.
struct RefreshReport
{
    /// Why the folder could not be listed; empty when it was.
    std::optional<platform::SystemError> listError;
    /// One per list item after the pass, index 0 standing for the header: the name the marking read,
    /// with underscores turned into dots and a plain file's extension removed.
    std::vector<std::string> names;
    /// Titles whose two readings of their versions keep different entries.
    std::size_t ambiguousTitles = 0;
    /// Every listed entry's file, as the listing saw it.
    ListedIds ids;
};

/// Lists `folder` (no trailing slash) into `list` under a header showing the folder, tells `menu` the
/// sorted group tags, reads the white and black lists and the keep count from section "CONFIG" of
/// `settings` unless `options` replaces them, and checks every entry of a title below its newest
/// versions (MarkDuplicates), recording with each entry why it is marked as it is, the entry it is older
/// than and its title key. A folder that cannot be listed leaves the header alone. Returns whether any
/// entry ended up checked (the delete button's enabled state). Fills `report` when given.
bool RefreshList(CheckList& list, const std::string& folder, const IniFile& settings,
                 const RefreshOptions& options, GroupMenuSink& menu, RefreshReport* report = nullptr);

/// Checks every entry of the listed `folder` that was read whole and holds less than 256 bytes
/// (IsEmptyFolder), with MarkReason::Empty where that changes it; others keep their state. The header is
/// left alone: its path names nothing and it has no check box.
void CheckEmptyEntries(CheckList& list, const std::string& folder);

/// Sets every entry whose group tag equals `tag`, ASCII case ignored, to `checked`, with MarkReason::Group
/// where that changes it; others keep their state. The header is left alone.
void SetGroupChecked(CheckList& list, std::string_view tag, bool checked);

} // namespace versweep
