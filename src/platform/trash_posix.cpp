// The freedesktop.org trash through GIO, with the way back out of it done by hand.
#include "platform/trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gio/gio.h>

#include "platform/file_content.h"
#include "platform/file_system.h"

namespace versweep::platform {

namespace {

using FileStatus = struct stat;

struct ObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct ErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
};
struct MallocFree
{
    void operator()(char* text) const { std::free(text); }
};

constexpr std::string_view kInfoSuffix = ".trashinfo";

// GIO resolves "." and ".." by the text alone, where the kernel would follow a link before "..": such a
// path could make GIO trash another entry than the one the path names.
bool NamesOneEntry(std::string_view path)
{
    bool hasComponent = false;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view component = path.substr(0, slash);
        if (component == "." || component == "..")
            return false;
        hasComponent = hasComponent || !component.empty();
        path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    }
    return hasComponent;
}

std::string JoinPath(const std::string& folder, std::string_view name)
{
    std::string path = folder == "/" ? std::string() : folder;
    path += '/';
    path += name;
    return path;
}

std::string FilePathOf(const TrashedEntry& entry)
{
    return JoinPath(JoinPath(entry.trashRoot, "files"), entry.name);
}

std::string InfoPathOf(const TrashedEntry& entry)
{
    std::string path = JoinPath(JoinPath(entry.trashRoot, "info"), entry.name);
    path += kInfoSuffix;
    return path;
}

// The top folder of the file system holding `folder`, where a volume keeps its trash.
std::optional<std::string> MountPointOf(const std::string& folder)
{
    const std::unique_ptr<char, MallocFree> real(::realpath(folder.c_str(), nullptr));
    FileStatus info{};
    if (!real || ::stat(real.get(), &info) != 0)
        return std::nullopt;
    std::string top = real.get();
    while (top != "/") {
        const std::string parent = FolderOf(top);
        FileStatus parentInfo{};
        if (::stat(parent.c_str(), &parentInfo) != 0 || parentInfo.st_dev != info.st_dev)
            break;
        top = parent;
    }
    return top;
}

// Every trash GIO may choose for the entry at `path`: the home trash, and on the entry's volume the
// administrator's $topdir/.Trash/$uid and the user's own $topdir/.Trash-$uid.
std::vector<std::string> CandidateTrashRoots(const std::string& path)
{
    std::vector<std::string> roots{JoinPath(g_get_user_data_dir(), "Trash")};
    if (const std::optional<std::string> top = MountPointOf(FolderOf(path))) {
        const std::string uid = std::to_string(::geteuid());
        roots.push_back(JoinPath(JoinPath(*top, ".Trash"), uid));
        roots.push_back(JoinPath(*top, ".Trash-" + uid));
    }
    return roots;
}

// The names of the records in a trash's "info" folder; none when it does not exist (yet).
std::set<std::string> RecordNames(const std::string& trashRoot)
{
    std::set<std::string> names;
    const Result<std::vector<DirEntry>> listed = ListDirectory(JoinPath(trashRoot, "info"));
    if (listed) {
        for (const DirEntry& entry : listed.Value()) {
            if (entry.name.size() > kInfoSuffix.size() && entry.name.ends_with(kInfoSuffix))
                names.insert(entry.name);
        }
    }
    return names;
}

struct TrashRecord
{
    std::string path;
    std::string deletionDate;
};

// Reads "Path=" and "DeletionDate=" of the "[Trash Info]" group of a .trashinfo file.
std::optional<TrashRecord> ReadRecord(const std::string& infoFile)
{
    const Result<std::string> content = ReadFileContent(infoFile);
    if (!content)
        return std::nullopt;
    std::string_view rest = content.Value();
    std::optional<std::string> path;
    std::string date;
    bool inGroup = false;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.starts_with('['))
            inGroup = line == "[Trash Info]";
        else if (inGroup && line.starts_with("Path=") && !path)
            path = std::string(line.substr(5));
        else if (inGroup && line.starts_with("DeletionDate=") && date.empty())
            date = line.substr(13);
    }
    if (!path)
        return std::nullopt;
    return TrashRecord{std::move(*path), std::move(date)};
}

// GIO does not say where the entry went. The record it made is the one new in a candidate trash whose
// file is the very entry that left (same device and inode); reading the names before and after the
// move keeps this right whatever naming GIO uses for clashes and whatever else sits in the trash.
std::optional<TrashedEntry> FindMovedEntry(const std::vector<std::string>& roots,
                                           const std::vector<std::set<std::string>>& namesBefore,
                                           const FileStatus& moved)
{
    for (std::size_t i = 0; i < roots.size(); ++i) {
        for (const std::string& record : RecordNames(roots[i])) {
            if (namesBefore[i].contains(record))
                continue;
            TrashedEntry entry{{}, roots[i], record.substr(0, record.size() - kInfoSuffix.size()), {}, {}};
            FileStatus info{};
            if (::lstat(FilePathOf(entry).c_str(), &info) != 0 || info.st_dev != moved.st_dev ||
                info.st_ino != moved.st_ino)
                continue;
            std::optional<TrashRecord> written = ReadRecord(InfoPathOf(entry));
            if (!written)
                continue;
            entry.infoPath = std::move(written->path);
            entry.deletionDate = std::move(written->deletionDate);
            return entry;
        }
    }
    return std::nullopt;
}

SystemError ErrorFromGio(const GError& error)
{
    int code = EIO;
    if (error.domain == G_IO_ERROR) {
        if (error.code == G_IO_ERROR_NOT_FOUND)
            code = ENOENT;
        else if (error.code == G_IO_ERROR_PERMISSION_DENIED)
            code = EACCES;
        else if (error.code == G_IO_ERROR_NOT_SUPPORTED)
            code = ENOTSUP;
    }
    return SystemError{code, error.message};
}

} // namespace

Result<TrashedEntry> DeleteToRecycleBin(const std::string& path)
{
    if (!NamesOneEntry(path))
        return SystemError{EINVAL, "not the path of one entry"};
    // The local file system's own GFile, never a remote backend's, whose trash could behave otherwise.
    const std::unique_ptr<GFile, ObjectUnref> file(g_vfs_get_file_for_path(g_vfs_get_local(), path.c_str()));
    const char* absolute = g_file_peek_path(file.get());
    FileStatus before{};
    if (absolute == nullptr)
        return SystemError{EINVAL, "not a local path"};
    if (::lstat(absolute, &before) != 0)
        return ErrorFromErrno(errno);

    const std::vector<std::string> roots = CandidateTrashRoots(absolute);
    std::vector<std::set<std::string>> namesBefore;
    namesBefore.reserve(roots.size());
    for (const std::string& root : roots)
        namesBefore.push_back(RecordNames(root));

    // GIO only renames: when no trash on the entry's file system can take it, it fails and the entry stays.
    GError* rawError = nullptr;
    if (g_file_trash(file.get(), nullptr, &rawError) == FALSE) {
        const std::unique_ptr<GError, ErrorFree> error(rawError);
        return ErrorFromGio(*error);
    }
    std::optional<TrashedEntry> entry = FindMovedEntry(roots, namesBefore, before);
    if (!entry)
        return SystemError{EIO, "moved to a trash, but not found in any trash folder it could be in"};
    entry->originalPath = absolute;
    return std::move(*entry);
}

bool IsInTrash(const TrashedEntry& entry)
{
    FileStatus info{};
    if (::lstat(FilePathOf(entry).c_str(), &info) != 0)
        return false;
    const std::optional<TrashRecord> record = ReadRecord(InfoPathOf(entry));
    return record && record->path == entry.infoPath && record->deletionDate == entry.deletionDate;
}

Status RestoreFromTrash(const TrashedEntry& entry)
{
    if (!IsInTrash(entry))
        return SystemError{ENOENT, "no longer in the trash"};
    // RENAME_NOREPLACE makes "is the original path free" and the move one step, so nothing that took the
    // path meanwhile is ever replaced.
    if (::renameat2(AT_FDCWD, FilePathOf(entry).c_str(), AT_FDCWD, entry.originalPath.c_str(), RENAME_NOREPLACE) !=
        0) {
        const int error = errno;
        if (error == EEXIST)
            return SystemError{error, "its original path is taken"};
        if (error == ENOENT)
            return SystemError{error, "the folder it came from is gone"};
        if (error == EXDEV)
            return SystemError{error, "its original path is now on another file system"};
        if (error == EINVAL)
            return SystemError{error, "this file system cannot move it back without the risk of overwriting"};
        return ErrorFromErrno(error);
    }
    // The entry is back; a record that cannot be removed only leaves a stale line in the trash's listing.
    (void)::unlink(InfoPathOf(entry).c_str());
    return Ok();
}

} // namespace versweep::platform
