// The listing pass: fills the check list with a folder's entries and checks the superseded versions.
#pragma once

#include <optional>
#include <string>

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
};

/// Lists `folder` (no trailing slash) into `list` under a header showing the folder, tells `menu` the
/// sorted group tags, reads the white and black lists from section "CONFIG" of `settings`, and checks
/// every entry that is an older version of another entry with the same title. A folder that cannot
/// be listed leaves the header alone. Returns whether any entry ended up checked (the delete button's
/// enabled state).
bool RefreshList(CheckList& list, const std::string& folder, const IniFile& settings,
                 const RefreshOptions& options, GroupMenuSink& menu);

} // namespace versweep
