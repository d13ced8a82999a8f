// The listing pass: reads a folder's entries and marks the superseded versions, one way through, no view touched.
#pragma once

#include <string>
#include <vector>

#include "listing/listing.h"
#include "platform/file_system.h"

namespace versweep {

namespace platform {
class Collation;
}

/// How a folder is listed and marked; the faces read these from their settings or their command line.
struct ListOptions
{
    bool onlyDuplicates = true; ///< leave out the entries that have no other version
    bool listFiles = false;     ///< list plain files, and hidden, read-only or linked folders, too
    std::string whiteList;      ///< comma list of titles never checked
    std::string blackList;      ///< comma list of titles always checked (the white list wins)
    int keepCount = 1; ///< how many of the newest distinct versions of each title stay unchecked; below 1 reads 1
};

/// Puts `entries` in the lists' order: by their names' sort keys under `collation`, each key made once.
void SortForLists(std::vector<Entry>& entries, platform::Collation& collation);

/// Lists the entries directly inside `folder` (no trailing slash), in the lists' order by `collation`, and
/// checks every entry of a title below its newest versions (MarkDuplicates), recording with each entry why it
/// is marked as it is, the entry it is older than and its title key; collects the sorted group tags. A folder
/// that cannot be listed gives no entries and the error. Touches nothing but the folder and `collation`, so it
/// can run on any thread that has a collation of its own; `control` follows it from another and can stop it
/// (a stopped pass gives no entries and ECANCELED).
ListedFolder ListFolder(const std::string& folder, const ListOptions& options, platform::Collation& collation,
                        const platform::ListingControl& control = {});

} // namespace versweep
