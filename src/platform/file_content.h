// Whole-file reads and all-or-nothing replacement of small files (settings, the undo record).
#pragma once

#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace versweep::platform {

/// The content of the regular file at `path`. A missing file gives the error ENOENT; a folder, pipe or
/// device is never read and gives EINVAL.
Result<std::string> ReadFileContent(const std::string& path);

/// Replaces the file at `path` by `content` in one step: a sibling temporary file is written, flushed to
/// disk and renamed over `path`, so a crash or a full disk leaves either the old file or the new one,
/// never a truncated one. Missing parent folders are made, private to the user. An existing file's
/// permission bits and owner are kept; when the owner cannot be kept the file is left as it was.
Status ReplaceFileContent(const std::string& path, std::string_view content);

} // namespace versweep::platform
