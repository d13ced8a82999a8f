// Whole-file reads and all-or-nothing replacement of small files (settings, the undo record).
#pragma once

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

/// Holds an exclusive advisory lock (flock) on the file at `lockPath`, made when missing, for its life. A
/// lock file that cannot be opened (another user's, a link) holds nothing: callers go ahead unlocked.
class FileLock
{
public:
    explicit FileLock(const std::string& lockPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd;
};

} // namespace versweep::platform
