// Decides which listed entries are superseded versions: the marking step of a listing pass.
#pragma once

#include <string>
#include <vector>

namespace versweep {

/// What the marking step reads. `names[0]` stands for the group header and is never considered;
/// an empty name counts as already consumed.
struct MarkingInput
{
    std::vector<std::string> names;
    std::string whiteList; ///< comma list, already upper-cased
    std::string blackList; ///< comma list, already upper-cased
    bool onlyDuplicate = true;
    int keepCount = 1; ///< how many of the highest distinct version values of a title stay; below 1 counts as 1
};

/// What the marking step decides, one flag per name (index 0 always false).
struct MarkingResult
{
    std::vector<bool> checked; ///< to be checked for deletion
    std::vector<bool> dropped; ///< to leave the list (only with onlyDuplicate)
};

/// Among names of one title key, checks every one below the highest version value; the white list
/// protects a title, the black list marks every versioned name of it; an entry without a version never
/// starts a comparison, but an earlier versioned entry of its title checks it. With a keep count of 1
/// this gives exactly the marks of the entry-by-entry loop of the listing pass.
///
/// With a keep count N above 1, the versioned names whose value is among the N highest distinct values
/// of their title stay unchecked (equal values spelled differently count once) and every other
/// versioned name is checked. A name without a version is never checked then: it cannot be ranked
/// against the others, and a sweep should not take what it cannot place. The lists act as with N = 1,
/// and what "only duplicates" drops does not depend on N.
///
/// Runs in time linear in the number of names, apart from sorting each title's version values.
MarkingResult MarkDuplicates(const MarkingInput& input);

} // namespace versweep
