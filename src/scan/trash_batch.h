// Moving entries of a folder to the trash as one batch, and taking the last batch back.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace versweep {

/// What became of one entry of a batch.
struct EntryOutcome
{
    std::string name;       ///< the entry's name when moving it, its original path when taking it back; raw bytes
    bool succeeded = false; ///< moved (it left its place for a trash), or back in its place
    /// Why it did not succeed. When it did, what is still wrong, if anything: a trash that could not record
    /// it, where no trash tool can restore it.
    std::string reason;
};

/// One entry to move: its name in the folder, and the file the listing saw there (unknown: whatever is there).
struct BatchEntry
{
    std::string name;
    platform::FileId identity;
};

/// What a batch did.
struct BatchReport
{
    std::vector<EntryOutcome> entries; ///< one per entry tried, in list (or batch) order
    /// Why the record for taking the batch back could not be written or updated; the moves themselves stand.
    std::optional<platform::SystemError> recordError;
};

/// How a face follows a batch it runs on another thread, and stops it.
struct BatchControl
{
    /// Set: the batch stops after the entry it is moving; the entries not tried stay where they are.
    const std::atomic<bool>* stop = nullptr;
    /// Called on the batch's thread after each entry: how many of `total` were tried so far.
    std::function<void(std::size_t tried, std::size_t total)> progress;
};

/// Moves `entries` of `folder` to the trash (DeleteToRecycleBin), one after the other in the order given; a
/// failure leaves that entry in place and does not stop the others. The folder is taken absolute and without
/// "." or ".." components first. An entry is moved only while it is the file its identity names (an entry
/// replaced or swapped since the listing stays, reported as changed).
///
/// The batch starts a new record in `undoRecord` (DefaultUndoRecordPath) and writes each entry down before
/// it moves, so that a batch killed half-way can still be taken back; a batch that moved nothing puts the
/// previous record back. Readers and writers of the record take turns through a lock; while another
/// process holds it too long, nothing moves and every entry reports why.
BatchReport TrashEntries(const std::string& folder, const std::vector<BatchEntry>& entries,
                         const std::string& undoRecord, const BatchControl& control = {});

/// Moves every entry of the batch recorded in `undoRecord` back to its original path, the last moved
/// first; an entry whose move was cut short is looked for in the trashes by its path and file. An entry
/// whose path is taken again, whose folder is not the one it left, or that left the trash meanwhile
/// (emptied, restored by hand), is skipped and reported; nothing is overwritten and nothing is lost.
/// Afterwards the record keeps the entries that did not come back but are still in the trash, and is
/// removed when there are none; a record that changed meanwhile is left as it is. A stopped undo keeps the
/// entries it did not try in the record, as they are still in the trash.
BatchReport UndoLastBatch(const std::string& undoRecord, const BatchControl& control = {});

/// Whether UndoLastBatch has anything to bring back: an entry of the record is still in the trash.
bool HasUndoableBatch(const std::string& undoRecord);

} // namespace versweep
