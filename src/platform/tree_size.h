// Byte counts of all files below a folder, as they report themselves or as they take up the disk, walked
// without following links.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace versweep::platform {

/// What a walk of a folder tree found.
struct TreeSize
{
    /// The bytes of the files it read; beyond the 64-bit range the sum stays at its maximum.
    std::int64_t bytes = 0;
    /// True when every part of the tree was read. False when something could not be opened, listed or
    /// examined, when a folder changed its place under the walk, when the path names nothing, and when the
    /// walk stopped at its limit; `bytes` is then only what could be counted.
    bool complete = false;
};

/// Walks `path` and everything below it. Symbolic links count 0 bytes and are never followed, the entry
/// `path` itself included; a path that names a file gives its size; trailing separators still name the
/// folder. When `limit` > 0 the walk stops as soon as the sum exceeds it. The walk holds at most two
/// descriptors, and nesting depth is bounded neither by the path length limit nor by the call stack. When
/// `stop` is given and becomes true, the walk ends soon after, incomplete.
TreeSize MeasureTree(const std::string& path, std::int64_t limit, const std::atomic<bool>* stop = nullptr);

/// What deleting the entry at `path` would free, walked as MeasureTree walks: the blocks allocated on disk
/// (a sparse file counts what it takes, not what it reports), each file once however many of its names lie
/// inside the entry, and nothing for a file still linked from outside it (a hard link shared with a kept
/// version). Folders count their own blocks, links count nothing.
TreeSize MeasureDiskUsage(const std::string& path, const std::atomic<bool>* stop = nullptr);

} // namespace versweep::platform
