// Decides whether a folder counts as empty: its files add up to less than 256 bytes.
#include "scan/empty_folder.h"

#include "platform/tree_size.h"

namespace versweep {

namespace {

constexpr std::int64_t kEmptyFolderBytes = 256;

} // namespace

std::int64_t FolderSize(const std::string& path, std::int64_t limit)
{
    return platform::TreeSize(path, limit);
}

bool IsEmptyFolder(const std::string& path)
{
    return FolderSize(path, kEmptyFolderBytes) < kEmptyFolderBytes;
}

} // namespace versweep
