// One sweep of one folder, as both faces drive it: list and mark, correct the marks, measure, trash, undo.
#pragma once

#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing.h"
#include "listing/listing_pass.h"
#include "platform/collation.h"
#include "platform/system_error.h"
#include "scan/size_walks.h"
#include "scan/trash_batch.h"

namespace versweep {

/// The checked entries of a listing, taken when asked: the batch stays as it is while the listing changes.
struct TrashBatch
{
    std::string folder;
    std::vector<BatchEntry> entries; ///< in list order
};

/// The window and versweep-scan each hold one session and present what it does. The faces read their
/// settings or command line and hand the options in; the session reads no settings of its own. Its long work
/// is built from calls that touch nothing but their arguments (ListFolder, MeasureDiskUsage, TrashEntries,
/// UndoLastBatch), so that a face can run them off its own thread and bring the results back.
class SweepSession
{
public:
    /// Records its batches in `undoRecord` (DefaultUndoRecordPath) and sorts names by the locale
    /// `collationLocale` (null: the user's).
    explicit SweepSession(std::string undoRecord, const char* collationLocale = nullptr);

    Listing& CurrentListing() { return m_listing; }
    const Listing& CurrentListing() const { return m_listing; }

    /// Lists and marks `folder` (ListFolder) in place of the listing before. A folder that cannot be listed
    /// leaves a listing of that folder without entries, and the error says why.
    std::optional<platform::SystemError> List(const std::string& folder, const ListOptions& options);
    /// The listing pass of List alone, with a collation of its own: it touches nothing of the session, so a face
    /// may run it on another thread (several at once) and hand the result to Show on the session's thread.
    /// `control` follows the pass from another thread and can stop it.
    ListedFolder ListPass(const std::string& folder, const ListOptions& options,
                          const platform::ListingControl& control = {}) const;
    /// Shows what a listing pass found in place of the listing before; returns why the folder could not be read.
    std::optional<platform::SystemError> Show(ListedFolder listed);

    /// Checks every entry that was read in full and holds less than 256 bytes (IsEmptyFolder), with the reason
    /// "empty" where that changes its mark; others keep theirs. Returns how many it checked.
    std::size_t CheckEmptyFolders();
    /// The entries of `paths` that CheckEmptyFolders checks. Touches nothing of the session, so a face may run
    /// it on another thread and hand the ids to CheckEmpty on the session's; `stop`, once set, ends the walk
    /// before the next entry.
    static std::vector<EntryId> FindEmptyFolders(const std::vector<EntryPath>& paths,
                                                 const std::atomic<bool>* stop = nullptr);
    /// Checks the entries `ids` that are still listed, with the reason "empty" where that changes its mark.
    /// Returns how many it checked.
    std::size_t CheckEmpty(const std::vector<EntryId>& ids);

    /// Sets every entry whose group tag equals `tag`, ASCII case ignored, to `checked`, with the reason "group"
    /// where that changes its mark; others keep theirs. Returns how many changed.
    std::size_t CheckGroup(std::string_view tag, bool checked);

    /// Every listed entry's path, in list order.
    std::vector<EntryPath> EntryPaths() const;

    /// Measures every listed entry (MeasureDiskUsage) on a pool of size walks, as the window's sizer does;
    /// the sizes come in list order.
    std::vector<MeasuredEntry> MeasureSizes() const;

    /// Moves the checked entries to the trash as one batch (TrashEntries), in list order, each only while it
    /// is the file the listing saw.
    BatchReport MoveCheckedToTrash() const { return MoveToTrash(CheckedBatch()); }
    /// The batch MoveCheckedToTrash moves.
    TrashBatch CheckedBatch() const;
    /// Moves `batch` to the trash (TrashEntries). Reads nothing of the listing, so a face may run it on another
    /// thread while the listing changes.
    BatchReport MoveToTrash(const TrashBatch& batch, const BatchControl& control = {}) const;
    /// Moves the last batch back out of the trash (UndoLastBatch); like MoveToTrash, on any thread.
    BatchReport UndoLastMove(const BatchControl& control = {}) const;
    /// Whether the last batch has anything left to bring back (HasUndoableBatch).
    bool CanUndo() const;

private:
    std::optional<std::string> m_collationLocale; // for the collations of passes on other threads
    platform::Collation m_collation;
    std::string m_undoRecord;
    Listing m_listing;
};

} // namespace versweep
