// Decides whether a folder counts as empty: every part of it was read and its files add up to less than 256 bytes.
#include "scan/empty_folder.h"

namespace versweep {

namespace {

constexpr std::int64_t kEmptyFolderBytes = 256;

} // namespace

platform::TreeSize FolderSize(const std::string& path, std::int64_t limit, const std::atomic<bool>* stop)
{
    return platform::MeasureTree(path, limit, stop);
}

bool IsEmptyFolder(const std::string& path)
{
    const platform::TreeSize size = FolderSize(path, kEmptyFolderBytes);
    return size.complete && size.bytes < kEmptyFolderBytes;
}

} // namespace versweep
