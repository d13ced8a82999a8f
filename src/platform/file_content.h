// Whole-file reads and all-or-nothing replacement of small files (settings, the undo record).
#pragma once

#include <chrono>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace versweep::platform {

/// The content of the regular file at `path`. A missing file gives the error ENOENT, a folder EISDIR; a
/// pipe or device is never read and gives EINVAL. A file longer than `maxBytes` gives EFBIG, and no more
/// than one byte past `maxBytes` is read.
Result<std::string> ReadFileContent(const std::string& path,
                                    std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

/// Makes `folder` and its missing parents, private to the user (mkdir -p with mode 0700).
Status MakeFolders(const std::string& folder);

/// Replaces the file at `path` by `content` in one step: a sibling temporary file is written, flushed to
/// disk and renamed over `path`, so a crash or a full disk leaves either the old file or the new one,
/// never a truncated one. Missing parent folders are made, private to the user. An existing file's
/// permission bits and owner are kept; when the owner cannot be kept the file is left as it was.
Status ReplaceFileContent(const std::string& path, std::string_view content);

/// Removes the file at `path`; one that is not there counts as removed.
Status RemoveFile(const std::string& path);

/// A file that grows by appended steps, each one on disk before Append returns: a log that still tells what
/// was under way when the process is killed at any point.
class DurableLog
{
public:
    /// Replaces the file at `path` by a new one holding `header`, as ReplaceFileContent does, and keeps it
    /// open for Append.
    static Result<DurableLog> Create(const std::string& path, std::string_view header);
    DurableLog(DurableLog&& other) noexcept;
    DurableLog& operator=(DurableLog&&) = delete;
    DurableLog(const DurableLog&) = delete;
    DurableLog& operator=(const DurableLog&) = delete;
    ~DurableLog();

    /// Adds `text` at the end of the file and flushes it to disk.
    Status Append(std::string_view text);

private:
    explicit DurableLog(int fd) : m_fd(fd) {}
    int m_fd;
};

/// Holds an exclusive advisory lock (flock) for its life on the lock file beside `guarded` (".NAME.lock" in
/// the same folder), waiting at most `wait` while another process holds it. The lock file is never
/// replaced, so `guarded` itself can still be swapped in one rename while the lock is held. A missing lock
/// file is made private to the user (mode 0600). Only a regular file the user owns is used, never through a
/// link, and opening it never waits (a pipe planted there cannot stall the caller), so no other user can
/// hold the lock against us.
class FileLock
{
public:
    enum class State
    {
        Held,     ///< the lock is ours
        Unusable, ///< no lock file to be had (another user's, a link, a pipe, no folder): nothing is held
        Busy,     ///< another process held the lock for all of `wait`
    };

    FileLock(const std::string& guarded, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State Outcome() const { return m_state; }

private:
    int m_fd = -1;
    State m_state = State::Unusable;
};

} // namespace versweep::platform
