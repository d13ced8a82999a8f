// Directory listing and file tests of the operating-system layer (POSIX now, Windows later).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_error.h"

namespace versweep::platform {

/// Which file an entry is, as the system tells files apart: the device and inode numbers. Two names with
/// the same FileId are the same file; an entry renamed keeps it, one replaced by another does not.
struct FileId
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0; ///< 0 when unknown
    bool operator==(const FileId&) const = default;
    bool Known() const { return inode != 0; }
};

/// What a listed entry is in itself: a link is never taken for what it leads to.
enum class EntryKind : std::uint8_t
{
    Folder,
    File,
    Link,
};

/// One entry directly inside a listed folder.
struct DirEntry
{
    std::string name; ///< raw bytes, no path
    EntryKind kind = EntryKind::File;
    bool hidden = false;    ///< the system hides it from plain listings (on POSIX: its name begins with '.')
    bool readOnly = false;  ///< its owner may not change it
    std::uint64_t size = 0; ///< bytes for files, 0 for folders
    FileId identity;        ///< the entry itself (a link as the link); unknown when it could not be examined
};

/// How a caller on another thread follows a long listing, and stops it.
struct ListingControl
{
    /// Set: the listing ends before the next entry and fails with ECANCELED.
    const std::atomic<bool>* stop = nullptr;
    /// Counts the entries read so far (vanished ones too), for a running figure.
    std::atomic<std::size_t>* entriesRead = nullptr;
};

/// Lists the entries directly inside `folder`, "." and ".." left out, in the order the file system
/// returns them. Symbolic links are reported as links, never followed. An entry that vanishes while being
/// listed is left out.
Result<std::vector<DirEntry>> ListDirectory(const std::string& folder, const ListingControl& control = {});

/// True when `path` holds a NUL byte. The system reads a path only up to its first NUL, so such a path
/// would name another entry (a parent folder) than the one it spells; it is refused wherever one enters.
bool HoldsNul(std::string_view path);

/// `folder` made absolute against the current directory, without "." components, empty components or
/// trailing separators. A path with ".." is resolved as the system resolves it (realpath: a link before
/// ".." is followed first); any other keeps its links as written. Fails for an empty path, one holding
/// NUL, and one with ".." that leads nowhere.
Result<std::string> AbsoluteFolder(const std::string& folder);

/// The path of `name` directly inside `folder`: the two joined by one separator (none after an empty folder).
std::string JoinPath(std::string_view folder, std::string_view name);

/// `path` without trailing separators, which name the same folder; the root keeps its own.
std::string WithoutTrailingSeparators(std::string path);

/// Which file the entry at `path` is, the entry itself (a link as the link).
Result<FileId> EntryIdOf(const std::string& path);

/// Which folder `path` leads to, links followed.
Result<FileId> FolderIdOf(const std::string& path);

/// True when `path` names an existing folder (a link to a folder counts).
bool DirectoryExists(const std::string& path);

/// True when `path` names an existing entry that is not a folder (a link to a file counts).
bool FileExists(const std::string& path);

/// True when the process may write to the existing file or folder `path`, by its effective ids.
bool MayWrite(const std::string& path);

/// `path` with symbolic links at its end followed to their final target, which need not exist yet (the file a
/// write to `path` replaces); nullopt on a loop or a link that cannot be read.
std::optional<std::string> FollowLinks(const std::string& path);

/// True when the process's standard input is a terminal someone can answer on.
bool StandardInputIsTerminal();

/// The process's current directory.
Result<std::string> CurrentDirectory();

/// The running executable's absolute path.
Result<std::string> ExecutablePath();

/// The folder part of `path`: all before its last separator, "/" for an entry of the root folder, "."
/// for a bare name.
std::string FolderOf(const std::string& path);

#ifdef VERSWEEP_TEST_HOOKS
/// Tests and benchmarks only: reads VERSWEEP_TEST_CALL_DELAY_MS again, after the test changed it. While it
/// names more than zero milliseconds, every call of the platform layer that touches the disk waits that long
/// first, as on a network share, so that whatever must never wait on the disk can be shown not to. POSIX
/// builds.
void ReadCallDelayForTests();
#endif

} // namespace versweep::platform
