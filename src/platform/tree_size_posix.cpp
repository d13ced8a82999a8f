// Byte count of a folder tree on POSIX systems, walked by descriptor so that depth costs no path length.
#include "platform/tree_size.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/descriptor_posix.h"
#include "platform/file_system.h"
#include "platform/slow_share_posix.h"
#include "tools/text_tools.h"

namespace versweep::platform {

namespace {

using Folder = std::unique_ptr<DIR, DirCloser>;

constexpr int kOpenFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

Folder OpenFolderAt(int parentFd, const char* name, int flags)
{
    WaitAsASlowShare();
    const int fd = ::openat(parentFd, name, flags);
    if (fd < 0)
        return nullptr;
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr)
        ::close(fd);
    return Folder(dir);
}

struct FolderId
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FolderId&) const = default;
};

bool IdOf(const Folder& folder, FolderId& id, struct stat* info = nullptr)
{
    struct stat own;
    struct stat& status = info != nullptr ? *info : own;
    if (::fstat(::dirfd(folder.get()), &status) != 0)
        return false;
    id = FolderId{status.st_dev, status.st_ino};
    return true;
}

// What the walk counts: the sizes files report, or the blocks they take on disk.
enum class Measure
{
    Apparent,
    Allocated,
};

class Tally
{
public:
    Tally(Measure measure, std::int64_t limit, const std::atomic<bool>* stop)
        : m_measure(measure), m_limit(limit), m_stop(stop)
    {}

    void AddFile(const struct stat& info)
    {
        if (m_measure == Measure::Apparent) {
            Add(info.st_size);
            return;
        }
        // A file with more names is freed only when every one of them goes; which of them lie inside is
        // known at the end of the walk.
        if (info.st_nlink > 1) {
            SharedFile& shared = m_shared[FileId{info.st_dev, info.st_ino}];
            shared.links = info.st_nlink;
            shared.blocks = info.st_blocks;
            ++shared.linksSeen;
            return;
        }
        Add(AllocatedBytes(info.st_blocks));
    }
    void AddFolder(const struct stat& info)
    {
        if (m_measure == Measure::Allocated)
            Add(AllocatedBytes(info.st_blocks));
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
                Add(AllocatedBytes(shared.blocks));
        }
        m_shared.clear();
        return TreeSize{m_sum, complete};
    }

private:
    struct SharedFile
    {
        nlink_t links = 0;
        blkcnt_t blocks = 0;
        nlink_t linksSeen = 0;
    };
    struct FileIdHash
    {
        std::size_t operator()(const FileId& id) const
        {
            return std::hash<std::uint64_t>()(id.inode) ^ (std::hash<std::uint64_t>()(id.device) << 1);
        }
    };

    // st_blocks counts 512-byte units whatever the file system's block size.
    static std::int64_t AllocatedBytes(blkcnt_t blocks)
    {
        constexpr std::int64_t kUnit = 512;
        return blocks > std::numeric_limits<std::int64_t>::max() / kUnit
                   ? std::numeric_limits<std::int64_t>::max()
                   : static_cast<std::int64_t>(blocks) * kUnit;
    }

    void Add(std::int64_t size) { m_sum = SaturatingAdd(m_sum, size > 0 ? size : 0); }

    Measure m_measure;
    std::int64_t m_limit;
    const std::atomic<bool>* m_stop;
    std::int64_t m_sum = 0;
    bool m_complete = true;
    std::unordered_map<FileId, SharedFile, FileIdHash> m_shared;
};

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Adds the sizes of the files directly in `folder` and returns its subfolders. The folder is read to its end
// (or until the limit is passed) before any subfolder is opened, so only one listing is open at a time.
std::vector<std::string> ReadFolder(const Folder& folder, Tally& tally)
{
    std::vector<std::string> subfolders;
    const int fd = ::dirfd(folder.get());
    while (!tally.Done()) {
        errno = 0;
        const dirent* entry = ::readdir(folder.get());
        if (entry == nullptr) {
            if (errno != 0)
                tally.MarkIncomplete();
            break;
        }
        const char* name = entry->d_name;
        if (IsDotOrDotDot(name) || entry->d_type == DT_LNK)
            continue;
        if (entry->d_type == DT_DIR) {
            subfolders.emplace_back(name);
            continue;
        }
        // In a folder that may be read but not searched, the names are all there is: their sizes are unknown.
        struct stat info;
        WaitAsASlowShare();
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            tally.MarkIncomplete();
            continue;
        }
        if (S_ISLNK(info.st_mode))
            continue;
        if (S_ISDIR(info.st_mode))
            subfolders.emplace_back(name);
        else
            tally.AddFile(info);
    }
    return subfolders;
}

// True when ".." of `folder` is `parent`, so the walk can climb back out of it. A folder that may be read but
// not searched fails this: it lists its subfolders, yet neither they nor ".." can be opened through it.
bool CanClimbOut(const Folder& folder, const FolderId& parent)
{
    struct stat info;
    WaitAsASlowShare();
    return ::fstatat(::dirfd(folder.get()), "..", &info, 0) == 0 && FolderId{info.st_dev, info.st_ino} == parent;
}

struct Level
{
    FolderId id;
    std::vector<std::string> subfolders; // not yet walked
};

// Keeps only the folder being read open and climbs back through "..", so a tree of any depth needs two
// descriptors at most. Each climb is checked against the folder it left: a folder moved while the walk was
// inside it leads elsewhere, so the walk stops there and calls itself incomplete rather than count an unrelated
// tree or drop the folders it had not reached.
TreeSize Walk(Folder root, const FolderId& rootId, Tally& tally)
{
    Level rootLevel{rootId, ReadFolder(root, tally)};

    Folder current = std::move(root);
    std::vector<Level> stack;
    stack.push_back(std::move(rootLevel));
    while (!tally.Done()) {
        if (stack.back().subfolders.empty()) {
            stack.pop_back();
            if (stack.empty())
                break;
            Folder parent = OpenFolderAt(::dirfd(current.get()), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            FolderId parentId;
            if (!parent || !IdOf(parent, parentId) || !(parentId == stack.back().id)) {
                tally.MarkIncomplete();
                break;
            }
            current = std::move(parent);
            continue;
        }
        const std::string name = std::move(stack.back().subfolders.back());
        stack.back().subfolders.pop_back();
        Folder child = OpenFolderAt(::dirfd(current.get()), name.c_str(), kOpenFolderFlags);
        Level childLevel;
        struct stat childInfo;
        if (!child || !IdOf(child, childLevel.id, &childInfo)) {
            tally.MarkIncomplete();
            continue;
        }
        tally.AddFolder(childInfo);
        childLevel.subfolders = ReadFolder(child, tally);
        // A folder without subfolders is finished once read; going down and back up would only cost a climb.
        if (childLevel.subfolders.empty() || tally.Done())
            continue;
        // One that could not be left again would end the whole walk and drop every folder not yet counted, so
        // its subfolders stay unread instead.
        if (!CanClimbOut(child, stack.back().id)) {
            tally.MarkIncomplete();
            continue;
        }
        stack.push_back(std::move(childLevel));
        current = std::move(child);
    }
    return tally.Result();
}

TreeSize Measure(const std::string& path, Tally& tally)
{
    // "dir/" names the folder itself; without this a trailing slash would make a folder with content look empty.
    const std::string target = WithoutTrailingSeparators(path);
    if (target.empty())
        return {};

    struct stat info;
    WaitAsASlowShare();
    if (::lstat(target.c_str(), &info) != 0)
        return {};
    if (S_ISLNK(info.st_mode))
        return TreeSize{0, true};
    if (!S_ISDIR(info.st_mode)) {
        tally.AddFile(info);
        return tally.Result();
    }
    // The folder walked must be the one looked at: one swapped in between would be measured in its place.
    Folder root = OpenFolderAt(AT_FDCWD, target.c_str(), kOpenFolderFlags);
    FolderId rootId;
    if (!root || !IdOf(root, rootId) || !(rootId == FolderId{info.st_dev, info.st_ino}))
        return {};
    tally.AddFolder(info);
    return Walk(std::move(root), rootId, tally);
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
