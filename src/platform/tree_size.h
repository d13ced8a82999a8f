// Byte count of all files below a folder, walked without following links.
#pragma once

#include <cstdint>
#include <string>

namespace versweep::platform {

/// The bytes of all files in `path` and below. Symbolic links count 0 and are never followed, the entry
/// `path` itself included; folders that cannot be opened count 0; a path that names a file gives its size;
/// a path that names nothing gives 0; trailing separators still name the folder. When `limit` > 0 the walk
/// stops as soon as the sum exceeds it, so the result may be above `limit`. Sums beyond the 64-bit range
/// stay at its maximum. Nesting depth is bounded neither by the path length limit nor by the call stack.
std::int64_t TreeSize(const std::string& path, std::int64_t limit);

} // namespace versweep::platform
