// Moving entries to the user's trash and back out of it; nothing here ever deletes for good.
#pragma once

#include <string>

#include "platform/system_error.h"

namespace versweep::platform {

/// Where one trashed entry went, read back from the record the trash wrote for it.
struct TrashedEntry
{
    std::string originalPath; ///< absolute path it was moved from, raw bytes
    std::string trashRoot;    ///< the trash folder holding "files" and "info"
    std::string name;         ///< its name in trashRoot/files; its record is trashRoot/info/name.trashinfo
    std::string infoPath;     ///< the record's "Path=" value, as written (percent-encoded)
    std::string deletionDate; ///< the record's "DeletionDate=" value
};

/// Moves the one entry at `path` (a folder with everything in it, a file, or a symbolic link as the link
/// itself), whatever bytes its name holds, to the user's trash: the home trash for entries on the home
/// folder's file system, else the trash of the entry's own volume. Converts to true exactly when the
/// entry moved; otherwise the error tells why and the entry stays where it was, also when no trash can
/// take it (no trash on that volume, another file system, no permission): it is never deleted instead.
/// A path with a "." or ".." component is refused, so the entry moved is always the one the path names.
Result<TrashedEntry> DeleteToRecycleBin(const std::string& path);

/// Whether `entry` is still in the trash as it was put there: its file is there and its record still
/// tells the same original path and time (so an entry that was emptied or restored meanwhile, and a later
/// one that got the same name, do not count).
bool IsInTrash(const TrashedEntry& entry);

/// Moves `entry` back to its original path and removes its record from the trash. Refused, leaving
/// everything as it is, when the entry is no longer in the trash (IsInTrash), when something took the
/// original path again (it is never overwritten) or when the move would have to copy. Never copies.
Status RestoreFromTrash(const TrashedEntry& entry);

} // namespace versweep::platform
