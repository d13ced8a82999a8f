// The freedesktop.org trash through GIO, with the way back out of it done by hand.
#include "platform/trash.h"

#include <atomic>
#include <cerrno>
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
#include "platform/slow_share_posix.h"
#include "platform/trash_records_posix.h"

namespace versweep::platform {

namespace {

struct ObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct ErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
};

constexpr const char* kChanged = "changed since it was listed";

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

#ifdef VERSWEEP_TEST_HOOKS
std::atomic<bool> g_noReplaceRefused{false};
#endif

int RenameNoReplace(const std::string& from, int folderFd, const std::string& name)
{
    WaitAsASlowShare();
#ifdef VERSWEEP_TEST_HOOKS
    if (g_noReplaceRefused) {
        errno = EINVAL;
        return -1;
    }
#endif
    return ::renameat2(AT_FDCWD, from.c_str(), folderFd, name.c_str(), RENAME_NOREPLACE);
}

// Moves `from` to `name` in `folderFd`, never over anything there; 0 or the errno. FUSE, NFS and sshfs
// refuse RENAME_NOREPLACE (EINVAL), so there the same promise comes from steps that fail on a taken name:
// a folder goes onto an empty folder made for it (a rename may replace an empty folder, and fails once
// anything appeared inside), a file or link gets a second name and loses the first. EINVAL when the file
// system allows none of these.
int MoveWithoutReplacing(const std::string& from, int folderFd, const std::string& name)
{
    if (RenameNoReplace(from, folderFd, name) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
    FileStatus info{};
    WaitAsASlowShare();
    if (::lstat(from.c_str(), &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode)) {
        WaitAsASlowShare();
        if (::mkdirat(folderFd, name.c_str(), S_IRWXU) != 0)
            return errno;
        WaitAsASlowShare();
        if (::renameat(AT_FDCWD, from.c_str(), folderFd, name.c_str()) == 0)
            return 0;
        const int error = errno;
        // Removes only a folder still empty: the one made above, or one that another put there empty.
        static_cast<void>(::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR));
        return error == ENOTEMPTY ? EEXIST : error;
    }
    WaitAsASlowShare();
    if (::linkat(AT_FDCWD, from.c_str(), folderFd, name.c_str(), 0) != 0)
        return errno == EPERM || errno == ENOTSUP || errno == EMLINK ? EINVAL : errno;
    WaitAsASlowShare();
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        // Two names of one file would leave it both back and in the trash: the new name goes again.
        static_cast<void>(::unlinkat(folderFd, name.c_str(), 0));
        return error;
    }
    return 0;
}

// Takes a trash entry straight back out, never over anything, and drops its record.
Status PutBack(const TrashedEntry& entry, int folderFd, const std::string& name)
{
    if (const int error = MoveWithoutReplacing(FilePathOf(entry.trashRoot, entry.name), folderFd, name);
        error != 0)
        return ErrorFromErrno(error);
    WaitAsASlowShare();
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
    WaitAsASlowShare();
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
        WaitAsASlowShare();
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
        WaitAsASlowShare();
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
    WaitAsASlowShare();
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
    WaitAsASlowShare();
    const bool trashed = g_file_trash(file.get(), nullptr, &rawError) != FALSE;
    const std::unique_ptr<GError, ErrorFree> error(rawError);
    const SystemError gioError = error ? ErrorFromGio(*error) : SystemError{EIO, "the trash left it where it was"};

    FileStatus now{};
    WaitAsASlowShare();
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
    // "Is the original path free" and the move are one step, so nothing that took the path meanwhile is ever
    // replaced.
    if (const int error = MoveWithoutReplacing(FilePathOf(entry.trashRoot, entry.name), folder.Value().Get(),
                                               BaseNameOf(entry.originalPath));
        error != 0)
        return RestoreError(error);
    // The entry is back; a record that cannot be removed only leaves a stale line in the trash's listing.
    WaitAsASlowShare();
    static_cast<void>(::unlink(InfoPathOf(entry.trashRoot, entry.name).c_str()));
    return Ok();
}

#ifdef VERSWEEP_TEST_HOOKS
void RefuseNoReplaceRenamesForTests(bool refused)
{
    g_noReplaceRefused = refused;
}
#endif

} // namespace versweep::platform
