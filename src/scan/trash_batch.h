// Moving the checked entries of the list to the trash as one batch, and taking the last batch back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system_error.h"

namespace versweep {

class CheckList;

/// What became of one entry of a batch.
struct EntryOutcome
{
    std::string name; ///< the entry's name when moving it, its original path when taking it back; raw bytes
    bool succeeded = false;
    std::string reason; ///< why it did not; empty when it did
};

/// What a batch did.
struct BatchReport
{
    std::vector<EntryOutcome> entries; ///< one per entry tried, in list (or batch) order
    /// Why the record for taking the batch back could not be written; the moves themselves stand.
    std::optional<platform::SystemError> recordError;
};

/// Moves every checked entry of the list of `folder` to the trash (DeleteToRecycleBin), one after the
/// other in list order; a failure leaves that entry in place and does not stop the others. The group
/// header is never moved, whatever its check state: its path names no entry of the folder (on POSIX it
/// collapses to a folder inside the folder, which may exist and was never checked). When anything moved,
/// the record in `undoRecord` (DefaultUndoRecordPath) is replaced by this batch; a run that moved nothing
/// keeps the previous batch undoable.
BatchReport TrashCheckedEntries(const CheckList& list, const std::string& folder, const std::string& undoRecord);

/// Moves every entry of the batch recorded in `undoRecord` back to its original path, the last moved
/// first. An entry whose path is taken again, or that left the trash meanwhile (emptied, restored by
/// hand), is skipped and reported; nothing is overwritten and nothing is lost. Afterwards the record keeps
/// the entries that did not come back but are still in the trash, and is removed when there are none.
BatchReport UndoLastBatch(const std::string& undoRecord);

/// Whether UndoLastBatch has anything to bring back: an entry of the record is still in the trash.
bool HasUndoableBatch(const std::string& undoRecord);

} // namespace versweep
