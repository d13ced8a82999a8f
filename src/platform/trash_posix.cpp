// The freedesktop.org trash through GIO, with the way back out of it done by hand.
#include "platform/trash.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gio/gio.h>

#include "platform/descriptor_posix.h"
#include "platform/file_content.h"
#include "tools/text_tools.h"

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
constexpr const char* kChanged = "changed since it was listed";

FileId IdOf(const FileStatus& info)
{
    return FileId{info.st_dev, info.st_ino};
}

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

// A name that stays inside the folder it is looked up in.
bool IsPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

std::string BaseNameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

std::string FilePathOf(const std::string& root, const std::string& name)
{
    return JoinPath(JoinPath(root, "files"), name);
}

std::string InfoPathOf(const std::string& root, const std::string& name)
{
    std::string path = JoinPath(JoinPath(root, "info"), name);
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

// The folder that relative "Path=" values of a volume's trash start from: $topdir of $topdir/.Trash-$uid
// and of $topdir/.Trash/$uid. None for the home trash, whose records hold absolute paths.
std::optional<std::string> TopOfTrash(const std::string& root)
{
    if (BaseNameOf(root).starts_with(".Trash-"))
        return FolderOf(root);
    const std::string parent = FolderOf(root);
    if (BaseNameOf(parent) == ".Trash")
        return FolderOf(parent);
    return std::nullopt;
}

// GIO's names for entries of one name in a trash: "Foo.Bar", then "Foo.2.Bar", "Foo.3.Bar" and so on, the
// number going before the first dot ("noext.2" without one, ".2.hidden" for a hidden name).
std::string TrashNameOf(const std::string& base, int number)
{
    if (number == 1)
        return base;
    const std::size_t dot = base.find('.');
    if (dot == std::string::npos)
        return base + "." + std::to_string(number);
    return base.substr(0, dot) + "." + std::to_string(number) + base.substr(dot);
}

// The trash names in use for `base`: GIO's sequence up to the first that has no record, which is the one GIO
// takes next. Costs one look-up per entry of that name, whatever else the trash holds.
std::set<std::string> NamesInUse(const std::string& root, const std::string& base)
{
    std::set<std::string> names;
    for (int number = 1;; ++number) {
        std::string name = TrashNameOf(base, number);
        FileStatus info{};
        if (::lstat(InfoPathOf(root, name).c_str(), &info) != 0)
            return names;
        names.insert(std::move(name));
    }
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

// The original path a record of the trash `root` names, decoded (escapes in either case); none when it
// names no path.
std::optional<std::string> RecordedPath(const std::string& root, const TrashRecord& record)
{
    std::optional<std::string> path = PercentDecode(record.path);
    if (!path || path->empty() || HoldsNul(*path))
        return std::nullopt;
    if (path->front() == '/')
        return path;
    const std::optional<std::string> top = TopOfTrash(root);
    if (!top)
        return std::nullopt;
    return JoinPath(*top, *path);
}

// Whether a record of the trash `root` names `originalPath`: the same text, or the same name in the same folder
// reached another way. GIO writes a volume's paths relative to the volume's real top, so an entry moved from a
// folder reached through a link is recorded under the link's target.
bool RecordIsFor(const std::string& root, const TrashRecord& record, const std::string& originalPath)
{
    const std::optional<std::string> recorded = RecordedPath(root, record);
    if (!recorded || BaseNameOf(*recorded) != BaseNameOf(originalPath))
        return false;
    if (*recorded == originalPath)
        return true;
    FileStatus recordedFolder{};
    FileStatus originalFolder{};
    return ::stat(FolderOf(*recorded).c_str(), &recordedFolder) == 0 &&
           ::stat(FolderOf(originalPath).c_str(), &originalFolder) == 0 &&
           IdOf(recordedFolder) == IdOf(originalFolder);
}

// The trash entry `name` of `root` when it is the file `id`: its record is read back when it names
// `originalPath`, else infoPath stays empty.
std::optional<TrashedEntry> EntryIfFile(const std::string& root, const std::string& name,
                                        const std::string& originalPath, FileId id)
{
    FileStatus info{};
    if (::lstat(FilePathOf(root, name).c_str(), &info) != 0 || IdOf(info) != id)
        return std::nullopt;
    TrashedEntry entry{originalPath, root, name, {}, {}, id, {}, {}};
    const std::optional<TrashRecord> record = ReadRecord(InfoPathOf(root, name));
    if (record && RecordIsFor(root, *record, originalPath)) {
        entry.infoPath = record->path;
        entry.deletionDate = record->deletionDate;
    }
    return entry;
}

// Where the file `id`, moved from `originalPath`, lies in the trashes: first where GIO names it, then, should
// it have been named otherwise, among every entry of the trashes (a listing paid only in that case).
std::optional<TrashedEntry> FindFile(const std::vector<std::string>& roots, const std::string& originalPath,
                                     FileId id)
{
    const std::string base = BaseNameOf(originalPath);
    for (const std::string& root : roots) {
        for (const std::string& name : NamesInUse(root, base)) {
            if (std::optional<TrashedEntry> entry = EntryIfFile(root, name, originalPath, id))
                return entry;
        }
    }
    for (const std::string& root : roots) {
        const Result<std::vector<DirEntry>> listed = ListDirectory(JoinPath(root, "files"));
        if (!listed)
            continue;
        for (const DirEntry& file : listed.Value()) {
            if (file.identity == id)
                return EntryIfFile(root, file.name, originalPath, id);
        }
    }
    return std::nullopt;
}

// A trash entry of `originalPath` that was not there before the move (`namesBefore`, one set per root): what
// the move took when another file had taken the entry's name.
std::optional<TrashedEntry> FindNewcomer(const std::vector<std::string>& roots,
                                         const std::vector<std::set<std::string>>& namesBefore,
                                         const std::string& originalPath)
{
    for (std::size_t i = 0; i < roots.size(); ++i) {
        for (const std::string& name : NamesInUse(roots[i], BaseNameOf(originalPath))) {
            const std::optional<TrashRecord> record = ReadRecord(InfoPathOf(roots[i], name));
            FileStatus info{};
            if (namesBefore[i].contains(name) || !record || !RecordIsFor(roots[i], *record, originalPath) ||
                ::lstat(FilePathOf(roots[i], name).c_str(), &info) != 0)
                continue;
            return TrashedEntry{originalPath,         roots[i],   name, record->path,
                                record->deletionDate, IdOf(info), {},   {}};
        }
    }
    return std::nullopt;
}

// Takes a trash entry straight back out, never over anything, and drops its record.
Status PutBack(const TrashedEntry& entry, int folderFd, const std::string& name)
{
    if (::renameat2(AT_FDCWD, FilePathOf(entry.trashRoot, entry.name).c_str(), folderFd, name.c_str(),
                    RENAME_NOREPLACE) != 0)
        return ErrorFromErrno(errno);
    static_cast<void>(::unlink(InfoPathOf(entry.trashRoot, entry.name).c_str()));
    return Ok();
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

// Why `entry` is not in the trash as it was put there; nothing when it is.
std::optional<SystemError> NotInTrash(const TrashedEntry& entry)
{
    if (!IsPlainName(entry.name))
        return SystemError{EINVAL, "its name in the trash is not a plain name"};
    if (entry.infoPath.empty())
        return SystemError{ENOENT, "the trash holds no record of it; it lies in " +
                                       FilePathOf(entry.trashRoot, entry.name)};
    FileStatus info{};
    if (::lstat(FilePathOf(entry.trashRoot, entry.name).c_str(), &info) != 0)
        return SystemError{ENOENT, "no longer in the trash"};
    if (entry.id.Known() && IdOf(info) != entry.id)
        return SystemError{ESTALE, "what the trash holds under its name is another file"};
    const std::optional<TrashRecord> record = ReadRecord(InfoPathOf(entry.trashRoot, entry.name));
    if (!record || record->deletionDate != entry.deletionDate ||
        !RecordIsFor(entry.trashRoot, *record, entry.originalPath))
        return SystemError{ENOENT, "the trash's record of it is gone or tells another path or time"};
    return std::nullopt;
}

SystemError RestoreError(int error)
{
    if (error == EEXIST)
        return SystemError{error, "its original path is taken"};
    if (error == ENOENT)
        return SystemError{error, "the folder it came from is gone"};
    if (error == EXDEV)
        return SystemError{error, "its original path is now on another file system"};
    if (error == EINVAL)
        return SystemError{error, "this file system cannot move it back without the risk of overwriting"};
    if (error == ENOTDIR || error == ELOOP)
        return SystemError{error, "the way to the folder it came from is not a plain folder (a symbolic link?)"};
    return ErrorFromErrno(error);
}

// The folder `entry` came from, opened for the move back: the very folder it left, so a symbolic link
// planted in place of it or of any folder above leads nowhere else.
Result<Descriptor> OpenOriginalFolder(const TrashedEntry& entry)
{
    const std::string folder = FolderOf(entry.originalPath);
    if (entry.folderId.Known()) {
        Descriptor fd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        FileStatus info{};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
            return RestoreError(errno);
        if (IdOf(info) != entry.folderId)
            return SystemError{ESTALE, "the folder it came from was replaced by another"};
        return fd;
    }
    // Older records do not know the folder: no link is followed on the way to it.
    Descriptor fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::string_view rest = folder;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string component(rest.substr(0, slash));
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
        if (component.empty())
            continue;
        const int next = ::openat(fd.Get(), component.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            return RestoreError(errno);
        fd = Descriptor(next);
    }
    return fd;
}

} // namespace

Result<TrashedEntry> DeleteToRecycleBin(const std::string& path, FileId listed)
{
    if (HoldsNul(path))
        return SystemError{EINVAL, "the path holds a NUL byte"};
    if (!NamesOneEntry(path))
        return SystemError{EINVAL, "not the path of one entry"};
    // The local file system's own GFile, never a remote backend's, whose trash could behave otherwise.
    const std::unique_ptr<GFile, ObjectUnref> file(g_vfs_get_file_for_path(g_vfs_get_local(), path.c_str()));
    const char* absolute = g_file_peek_path(file.get());
    if (absolute == nullptr)
        return SystemError{EINVAL, "not a local path"};
    const std::string original = absolute;
    const std::string name = BaseNameOf(original);
    // The folder stays open across the move: the entry is checked in it, and put back into it.
    const Descriptor folder(::open(FolderOf(original).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    FileStatus folderInfo{};
    FileStatus before{};
    if (folder.Get() < 0 || ::fstat(folder.Get(), &folderInfo) != 0 ||
        ::fstatat(folder.Get(), name.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0)
        return ErrorFromErrno(errno);
    const FileId id = IdOf(before);
    if (listed.Known() && id != listed)
        return SystemError{ESTALE, kChanged};

    const std::vector<std::string> roots = CandidateTrashRoots(original);
    std::vector<std::set<std::string>> namesBefore;
    namesBefore.reserve(roots.size());
    for (const std::string& root : roots)
        namesBefore.push_back(NamesInUse(root, name));

    // GIO only renames: when no trash on the entry's file system can take it, it fails and the entry stays.
    // It can also rename the entry and fail to write its record, yet report success, so what happened is
    // read from the entry's place and the trashes, not from GIO's answer.
    GError* rawError = nullptr;
    const bool trashed = g_file_trash(file.get(), nullptr, &rawError) != FALSE;
    const std::unique_ptr<GError, ErrorFree> error(rawError);
    const SystemError gioError = error ? ErrorFromGio(*error) : SystemError{EIO, "the trash left it where it was"};

    FileStatus now{};
    const bool left = ::fstatat(folder.Get(), name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || IdOf(now) != id;
    if (left) {
        if (std::optional<TrashedEntry> moved = FindFile(roots, original, id)) {
            moved->folderId = IdOf(folderInfo);
            if (!moved->infoPath.empty())
                return std::move(*moved);
            // Without its record no trash tool can restore the entry, and the next emptying deletes it for good.
            const Status back = PutBack(*moved, folder.Get(), name);
            if (back)
                return SystemError{EIO, "the trash could not write its record of it (a name too long for it, or "
                                        "a full disk), so it stays where it was"};
            moved->unrecordedReason =
                "the trash could not write its record of it, and putting it back failed: " + back.Error().message;
            return std::move(*moved);
        }
    }
    // Another file took the entry's name between the check and the move, and went in its place: it goes back.
    if (trashed) {
        if (const std::optional<TrashedEntry> other = FindNewcomer(roots, namesBefore, original)) {
            const Status back = PutBack(*other, AT_FDCWD, original);
            if (!back)
                return SystemError{ESTALE, std::string(kChanged) + "; what took its place went to the trash as " +
                                               FilePathOf(other->trashRoot, other->name) +
                                               " and could not be put back: " + back.Error().message};
            return SystemError{ESTALE, kChanged};
        }
    }
    // GIO moved it, but to no trash this code knows of: moved it is, with nothing to take it back by.
    if (left && trashed)
        return TrashedEntry{original,
                            {},
                            {},
                            {},
                            {},
                            id,
                            IdOf(folderInfo),
                            "the trash took it, but it is in no trash folder it could be in"};
    return gioError;
}

std::optional<TrashedEntry> FindInTrash(const std::string& originalPath, FileId id, FileId folderId)
{
    if (!id.Known() || originalPath.empty() || originalPath.front() != '/' || HoldsNul(originalPath) ||
        !NamesOneEntry(originalPath))
        return std::nullopt;
    std::optional<TrashedEntry> entry = FindFile(CandidateTrashRoots(originalPath), originalPath, id);
    if (!entry || entry->infoPath.empty())
        return std::nullopt;
    entry->folderId = folderId;
    return entry;
}

bool IsInTrash(const TrashedEntry& entry)
{
    return !NotInTrash(entry);
}

Status RestoreFromTrash(const TrashedEntry& entry)
{
    if (entry.originalPath.empty() || entry.originalPath.front() != '/' || HoldsNul(entry.originalPath) ||
        !NamesOneEntry(entry.originalPath))
        return SystemError{EINVAL, "its original path is not the path of one entry"};
    if (std::optional<SystemError> missing = NotInTrash(entry))
        return std::move(*missing);
    Result<Descriptor> folder = OpenOriginalFolder(entry);
    if (!folder)
        return folder.Error();
    // RENAME_NOREPLACE makes "is the original path free" and the move one step, so nothing that took the
    // path meanwhile is ever replaced.
    if (::renameat2(AT_FDCWD, FilePathOf(entry.trashRoot, entry.name).c_str(), folder.Value().Get(),
                    BaseNameOf(entry.originalPath).c_str(), RENAME_NOREPLACE) != 0)
        return RestoreError(errno);
    // The entry is back; a record that cannot be removed only leaves a stale line in the trash's listing.
    static_cast<void>(::unlink(InfoPathOf(entry.trashRoot, entry.name).c_str()));
    return Ok();
}

} // namespace versweep::platform
