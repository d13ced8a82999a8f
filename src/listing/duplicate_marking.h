// Decides which listed entries are superseded versions: the marking step of a listing pass.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "listing/entry_mark.h"

namespace versweep {

/// What the marking step reads: the names as the marking reads them, in list order; an empty name counts as
/// already consumed.
struct MarkingInput
{
    std::vector<std::string> names;
    std::string whiteList; ///< comma list, already upper-cased
    std::string blackList; ///< comma list, already upper-cased
    bool onlyDuplicate = true;
    int keepCount = 1; ///< how many of the highest distinct version values of a title stay; below 1 counts as 1
};

/// What the marking step decides, one flag per name.
struct MarkingResult
{
    std::vector<bool> checked;       ///< to be checked for deletion
    std::vector<bool> dropped;       ///< to leave the list (only with onlyDuplicate)
    std::vector<MarkReason> reasons; ///< why; None for empty names
    /// For MarkReason::Older, the index of the newest kept name of the title; else none.
    std::vector<std::optional<std::size_t>> successors;
    std::vector<bool> ambiguous; ///< the two readings of the name's title keep different names
    std::size_t ambiguousTitles = 0;
};

/// Among names of one title key, checks every one below the title's newest versions; the white list
/// protects a title, the black list marks every versioned name of it; an entry without a version (value 0)
/// never starts a comparison, but an earlier versioned entry of its title checks it when one version is
/// kept.
///
/// Versions are read two ways: as VersionValue (each later component a three-digit fraction) and as
/// ComponentVersionKey (whole numbers left to right). The kept names of a title are those among the N
/// highest distinct versions (N the keep count) under either reading; a name is checked as older only
/// when both readings put it below them. Where the two readings keep the same names, the marks are those of
/// the entry-by-entry loop of the listing pass (N = 1) or of the literal keep-N rule. A title whose readings
/// keep different names is ambiguous; a title on a list is decided by the list, never ambiguous.
///
/// With a keep count above 1, a name without a value is never checked: it cannot be ranked against the
/// others, and a sweep should not take what it cannot place. What "only duplicates" drops does not depend
/// on N.
///
/// Runs in time linear in the number of names, apart from sorting each title's versions.
MarkingResult MarkDuplicates(const MarkingInput& input);

} // namespace versweep
