// Where the freedesktop.org trash keeps an entry and its record, read back from the disk: the trash folders a
// move may use, GIO's names in them and their .trashinfo records. Shared by the POSIX trash sources only.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/trash.h"

namespace versweep::platform {

using FileStatus = struct stat;

FileId IdOf(const FileStatus& info);
std::string BaseNameOf(const std::string& path);
/// The entry `name` of the trash folder `root`, and its record.
std::string FilePathOf(const std::string& root, const std::string& name);
std::string InfoPathOf(const std::string& root, const std::string& name);

/// Every trash GIO may choose for the entry at `path`: the home trash, and on the entry's volume the
/// administrator's $topdir/.Trash/$uid and the user's own $topdir/.Trash-$uid.
std::vector<std::string> CandidateTrashRoots(const std::string& path);

/// The trash names in use for `base`: GIO's sequence up to the first that has no record, which is the one GIO
/// takes next. Costs one look-up per entry of that name, whatever else the trash holds.
std::set<std::string> NamesInUse(const std::string& root, const std::string& base);

/// "Path=" (as written, percent-encoded) and "DeletionDate=" of a .trashinfo record.
struct TrashRecord
{
    std::string path;
    std::string deletionDate;
};

/// Reads "Path=" and "DeletionDate=" of the "[Trash Info]" group of a .trashinfo file.
std::optional<TrashRecord> ReadRecord(const std::string& infoFile);

/// Whether a record of the trash `root` names `originalPath`: the same text, or the same name in the same folder
/// reached another way. GIO writes a volume's paths relative to the volume's real top, so an entry moved from a
/// folder reached through a link is recorded under the link's target.
bool RecordIsFor(const std::string& root, const TrashRecord& record, const std::string& originalPath);

/// Where the file `id`, moved from `originalPath`, lies in the trash folders `roots`: first where GIO names it,
/// then, should it have been named otherwise, among every entry of the trashes (a listing paid only in that
/// case). Its record is read back when it names `originalPath`, else infoPath stays empty.
std::optional<TrashedEntry> FindFile(const std::vector<std::string>& roots, const std::string& originalPath,
                                     FileId id);

/// A trash entry of `originalPath` that was not there before the move (`namesBefore`, one set per root): what
/// the move took when another file had taken the entry's name.
std::optional<TrashedEntry> FindNewcomer(const std::vector<std::string>& roots,
                                         const std::vector<std::set<std::string>>& namesBefore,
                                         const std::string& originalPath);

} // namespace versweep::platform
