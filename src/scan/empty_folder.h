// Decides whether a folder counts as empty: every part of it was read and its files add up to less than 256 bytes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/tree_size.h"

namespace versweep {

/// The bytes of all files in `path` and below, never following symbolic links (a link counts 0), and
/// whether all of it could be read (see platform::MeasureTree). Stops soon after the sum exceeds `limit`
/// when `limit` > 0, so the sum may exceed it.
/// A true `stop` ends the walk early, incomplete.
platform::TreeSize FolderSize(const std::string& path, std::int64_t limit,
                              const std::atomic<bool>* stop = nullptr);

/// True exactly when FolderSize(path, 256) read the whole tree and found less than 256 bytes. A folder
/// that cannot be read in full, or a path that names nothing, is not empty: what is unknown may hold data.
bool IsEmptyFolder(const std::string& path);

} // namespace versweep
