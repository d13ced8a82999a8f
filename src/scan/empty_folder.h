// Decides whether a folder counts as empty: its files add up to less than 256 bytes.
#pragma once

#include <cstdint>
#include <string>

namespace versweep {

/// The bytes of all files in `path` and below, never following symbolic links (a link counts 0).
/// Stops soon after the sum exceeds `limit` when `limit` > 0, so the result may exceed it.
/// Folders that cannot be opened count 0; a path that names a file gives that file's size;
/// a path that names nothing gives 0.
std::int64_t FolderSize(const std::string& path, std::int64_t limit);

/// True exactly when FolderSize(path, 256) is below 256.
bool IsEmptyFolder(const std::string& path);

} // namespace versweep
