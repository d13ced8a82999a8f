// Byte count of a folder tree on Windows, walked through held folders so that no part of the way can be swapped.
#include "platform/tree_size.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <windows.h>

#include "platform/file_system.h"
#include "platform/wide_path_win.h"
#include "tools/text_tools.h"

namespace versweep::platform {

namespace {

// What the walk counts: the sizes files report, or what they take on disk.
enum class Measure
{
    Apparent,
    Allocated,
};

std::int64_t BytesOf(LARGE_INTEGER value)
{
    return value.QuadPart > 0 ? value.QuadPart : 0;
}

class Tally
{
public:
    Tally(Measure measure, std::int64_t limit, const std::atomic<bool>* stop)
        : m_measure(measure), m_limit(limit), m_stop(stop)
    {}

    Measure Kind() const { return m_measure; }
    void Add(std::int64_t bytes) { m_sum = SaturatingAdd(m_sum, bytes > 0 ? bytes : 0); }
    // A file with more names is freed only when every one of them goes; which of them lie inside is known at
    // the end of the walk.
    void AddShared(const FileId& id, DWORD links, std::int64_t bytes)
    {
        SharedFile& shared = m_shared[id];
        shared.links = links;
        shared.bytes = bytes;
        ++shared.linksSeen;
    }
    /// Something in the tree could not be read, so the sum may be short of the truth.
    void MarkIncomplete() { m_complete = false; }
    bool Done() const
    {
        return (m_limit > 0 && m_sum > m_limit) || (m_stop != nullptr && m_stop->load(std::memory_order_relaxed));
    }
    // A walk cut short at the limit, or stopped, has not seen everything either.
    TreeSize Result()
    {
        const bool complete = m_complete && !Done();
        for (const auto& [id, shared] : m_shared) {
            if (shared.linksSeen >= shared.links)
                Add(shared.bytes);
        }
        m_shared.clear();
        return TreeSize{m_sum, complete};
    }

private:
    struct SharedFile
    {
        DWORD links = 0;
        std::int64_t bytes = 0;
        DWORD linksSeen = 0;
    };
    struct FileIdHash
    {
        std::size_t operator()(const FileId& id) const
        {
            return std::hash<std::uint64_t>()(id.inode) ^ (std::hash<std::uint64_t>()(id.device) << 1);
        }
    };

    Measure m_measure;
    std::int64_t m_limit;
    const std::atomic<bool>* m_stop;
    std::int64_t m_sum = 0;
    bool m_complete = true;
    std::unordered_map<FileId, SharedFile, FileIdHash> m_shared;
};

// Counts the file at `longPath`, which reports `reportedSize`: that size, or what it takes on disk, each file
// once however many of its names the walk meets.
void CountFile(const std::wstring& longPath, std::int64_t reportedSize, Tally& tally)
{
    if (tally.Kind() == Measure::Apparent) {
        tally.Add(reportedSize);
        return;
    }
    const Handle file = OpenToLookAt(longPath);
    FILE_STANDARD_INFO info{};
    if (!file.Valid() || ::GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &info, sizeof info) == 0) {
        tally.MarkIncomplete();
        return;
    }
    if (info.NumberOfLinks <= 1) {
        tally.Add(BytesOf(info.AllocationSize));
        return;
    }
    const Result<FileId> id = IdOfHandle(file.Get());
    if (!id) {
        tally.MarkIncomplete();
        return;
    }
    tally.AddShared(id.Value(), info.NumberOfLinks, BytesOf(info.AllocationSize));
}

// A folder of the walk, held open for as long as the walk is inside it.
struct Level
{
    Handle held;
    std::wstring path;
    std::vector<std::wstring> subfolders; // not yet walked
};

// Opens the folder at `longPath`, counts the files directly in it and notes its subfolders. The folder is held
// without leave to rename or delete it until the walk has left it, so that while the walk is below it no folder
// on the way can be exchanged for another (or for a link) and lead the walk somewhere else. False when the
// folder cannot be opened or listed, or is a link by now.
bool Enter(const std::wstring& longPath, std::vector<Level>& stack, Tally& tally)
{
    Level level{Handle(::CreateFileW(longPath.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)),
                longPath,
                {}};
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (!level.held.Valid() ||
        ::GetFileInformationByHandleEx(level.held.Get(), FileAttributeTagInfo, &kind, sizeof kind) == 0 ||
        (kind.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsLink(kind.FileAttributes, kind.ReparseTag))
        return false;
    if (tally.Kind() == Measure::Allocated) {
        FILE_STANDARD_INFO own{};
        if (::GetFileInformationByHandleEx(level.held.Get(), FileStandardInfo, &own, sizeof own) != 0)
            tally.Add(BytesOf(own.AllocationSize));
    }

    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstIn(longPath, found));
    if (!search.Valid())
        return false;
    do {
        if (IsDotOrDotDot(found.cFileName) || IsLink(found.dwFileAttributes, found.dwReserved0))
            continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            level.subfolders.emplace_back(found.cFileName);
            continue;
        }
        const auto size = static_cast<std::int64_t>((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) |
                                                    found.nFileSizeLow);
        CountFile(ChildPath(longPath, found.cFileName), size, tally);
    } while (!tally.Done() && ::FindNextFileW(search.Get(), &found) != 0);
    if (!tally.Done() && ::GetLastError() != ERROR_NO_MORE_FILES)
        tally.MarkIncomplete();
    stack.push_back(std::move(level));
    return true;
}

TreeSize Measure(const std::string& path, Tally& tally)
{
    // "dir\" names the folder itself; without this a trailing separator would make a folder look empty.
    const std::string target = WithoutTrailingSeparators(path);
    const Result<std::wstring> root = LongPath(target);
    if (target.empty() || !root)
        return {};
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (::GetFileAttributesExW(root.Value().c_str(), GetFileExInfoStandard, &info) == 0)
        return {};
    if (EntryIsLink(root.Value(), info.dwFileAttributes))
        return TreeSize{0, true};
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        CountFile(
            root.Value(),
            static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow),
            tally);
        return tally.Result();
    }
    std::vector<Level> stack;
    if (!Enter(root.Value(), stack, tally))
        return {};
    while (!stack.empty() && !tally.Done()) {
        Level& current = stack.back();
        if (current.subfolders.empty()) {
            stack.pop_back();
            continue;
        }
        const std::wstring child = ChildPath(current.path, current.subfolders.back());
        current.subfolders.pop_back();
        if (!Enter(child, stack, tally))
            tally.MarkIncomplete();
    }
    return tally.Result();
}

} // namespace

TreeSize MeasureTree(const std::string& path, std::int64_t limit, const std::atomic<bool>* stop)
{
    Tally tally(Measure::Apparent, limit, stop);
    return Measure(path, tally);
}

TreeSize MeasureDiskUsage(const std::string& path, const std::atomic<bool>* stop)
{
    Tally tally(Measure::Allocated, 0, stop);
    return Measure(path, tally);
}

} // namespace versweep::platform
