// Moving entries to the user's trash and back out of it; nothing here ever deletes for good.
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace versweep::platform {

/// Where one trashed entry went, read back from the record the trash wrote for it.
struct TrashedEntry
{
    std::string originalPath; ///< absolute path it was moved from, raw bytes
    std::string trashRoot;    ///< the trash folder holding "files" and "info"
    std::string name;         ///< its name in trashRoot/files; its record is trashRoot/info/name.trashinfo
    /// The record's "Path=" value, as written (percent-encoded). Empty when the trash holds no usable record
    /// of the entry: it could not write one, and the entry could not be put back either.
    std::string infoPath;
    std::string deletionDate; ///< the record's "DeletionDate=" value
    FileId id;                ///< the entry itself, which the move keeps; unknown in older undo records
    FileId folderId;          ///< the folder it was moved from; unknown in older undo records
    /// Why the trash holds no usable record of it (infoPath empty); not kept in undo records.
    std::string unrecordedReason;
};

/// Moves the one entry at `path` (a folder with everything in it, a file, or a symbolic link as the link
/// itself), whatever bytes its name holds, to the user's trash: the home trash for entries on the home
/// folder's file system, else the trash of the entry's own volume. Converts to true exactly when the
/// entry left its place for a trash; otherwise the error tells why and the entry is where it was, also
/// when no trash can take it (no trash on that volume, another file system, no permission): it is never
/// deleted instead. Refused: a path holding NUL, a path with a "." or ".." component (so the entry moved
/// is always the one the path names), and an entry that is not `listed` any more (another file renamed
/// onto its name since it was listed; unknown `listed` takes the entry as it is). An entry the trash took
/// but could not record (a name too long for the record's file name, a full volume) is put back; when even
/// that fails, or the entry left for a trash that cannot be found, the result is the entry with an empty
/// infoPath and the reason, so a move is never reported as not done.
Result<TrashedEntry> DeleteToRecycleBin(const std::string& path, FileId listed = {});

/// The entry that a move of `originalPath`, the file `id` from the folder `folderId`, put in a trash it
/// could have used: looked for when that move's outcome was never recorded. Only a trash entry that is
/// that very file and whose record names that path counts.
std::optional<TrashedEntry> FindInTrash(const std::string& originalPath, FileId id, FileId folderId);

/// Whether `entry` is still in the trash as it was put there: its name there is one plain name, its file
/// is there (the very file moved, when the entry knows its id), and its record still tells the same
/// original path and time (so an entry that was emptied or restored meanwhile, a later one that got the
/// same name, and a record edited to send it elsewhere do not count).
bool IsInTrash(const TrashedEntry& entry);

/// Moves `entry` back to its original path and removes its record from the trash. Refused, leaving
/// everything as it is, when the entry is no longer in the trash (IsInTrash), when something took the
/// original path again (it is never overwritten), when the folder it came from is not the one it left
/// (replaced, or reached through a symbolic link planted in its place) or when the move would have to
/// copy. Never copies.
Status RestoreFromTrash(const TrashedEntry& entry);

#ifdef VERSWEEP_TEST_HOOKS
/// Tests only: while `refused`, every move back answers as a file system that refuses to move without
/// replacing (FUSE, NFS, sshfs) does, so the way around it can be tested on any disk. POSIX builds.
void RefuseNoReplaceRenamesForTests(bool refused);
#endif

} // namespace versweep::platform
