// The trash's own records read back from the disk, so that a move is judged by where the entry went.
#include "platform/trash_records_posix.h"

#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>

#include <glib.h>
#include <unistd.h>

#include "platform/file_content.h"
#include "platform/file_system.h"
#include "platform/slow_share_posix.h"
#include "tools/text_tools.h"

namespace versweep::platform {

namespace {

struct MallocFree
{
    void operator()(char* text) const { std::free(text); }
};

constexpr std::string_view kInfoSuffix = ".trashinfo";

// The top folder of the file system holding `folder`, where a volume keeps its trash.
std::optional<std::string> MountPointOf(const std::string& folder)
{
    WaitAsASlowShare();
    const std::unique_ptr<char, MallocFree> real(::realpath(folder.c_str(), nullptr));
    FileStatus info{};
    if (!real || ::stat(real.get(), &info) != 0)
        return std::nullopt;
    std::string top = real.get();
    while (top != "/") {
        const std::string parent = FolderOf(top);
        FileStatus parentInfo{};
        WaitAsASlowShare();
        if (::stat(parent.c_str(), &parentInfo) != 0 || parentInfo.st_dev != info.st_dev)
            break;
        top = parent;
    }
    return top;
}

// The folder that relative "Path=" values of a volume's trash start from: $topdir of $topdir/.Trash-$uid
// and of $topdir/.Trash/$uid. None for the home trash, whose records hold absolute paths.
std::optional<std::string> TopOfTrash(const std::string& root)
{
    if (BaseNameOf(root).starts_with(".Trash-"))
        return FolderOf(root);
    const std::string parent = FolderOf(root);
    if (BaseNameOf(parent) == ".Trash")
        return FolderOf(parent);
    return std::nullopt;
}

// GIO's names for entries of one name in a trash: "Foo.Bar", then "Foo.2.Bar", "Foo.3.Bar" and so on, the
// number going before the first dot ("noext.2" without one, ".2.hidden" for a hidden name).
std::string TrashNameOf(const std::string& base, int number)
{
    if (number == 1)
        return base;
    const std::size_t dot = base.find('.');
    if (dot == std::string::npos)
        return base + "." + std::to_string(number);
    return base.substr(0, dot) + "." + std::to_string(number) + base.substr(dot);
}

} // namespace

FileId IdOf(const FileStatus& info)
{
    return FileId{info.st_dev, info.st_ino};
}

std::string BaseNameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

std::string FilePathOf(const std::string& root, const std::string& name)
{
    return JoinPath(JoinPath(root, "files"), name);
}

std::string InfoPathOf(const std::string& root, const std::string& name)
{
    std::string path = JoinPath(JoinPath(root, "info"), name);
    path += kInfoSuffix;
    return path;
}

std::vector<std::string> CandidateTrashRoots(const std::string& path)
{
    std::vector<std::string> roots{JoinPath(g_get_user_data_dir(), "Trash")};
    if (const std::optional<std::string> top = MountPointOf(FolderOf(path))) {
        const std::string uid = std::to_string(::geteuid());
        roots.push_back(JoinPath(JoinPath(*top, ".Trash"), uid));
        roots.push_back(JoinPath(*top, ".Trash-" + uid));
    }
    return roots;
}

std::set<std::string> NamesInUse(const std::string& root, const std::string& base)
{
    std::set<std::string> names;
    for (int number = 1;; ++number) {
        std::string name = TrashNameOf(base, number);
        FileStatus info{};
        WaitAsASlowShare();
        if (::lstat(InfoPathOf(root, name).c_str(), &info) != 0)
            return names;
        names.insert(std::move(name));
    }
}

std::optional<TrashRecord> ReadRecord(const std::string& infoFile)
{
    const Result<std::string> content = ReadFileContent(infoFile);
    if (!content)
        return std::nullopt;
    std::string_view rest = content.Value();
    std::optional<std::string> path;
    std::string date;
    bool inGroup = false;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.starts_with('['))
            inGroup = line == "[Trash Info]";
        else if (inGroup && line.starts_with("Path=") && !path)
            path = std::string(line.substr(5));
        else if (inGroup && line.starts_with("DeletionDate=") && date.empty())
            date = line.substr(13);
    }
    if (!path)
        return std::nullopt;
    return TrashRecord{std::move(*path), std::move(date)};
}

namespace {

// The original path a record of the trash `root` names, decoded (escapes in either case); none when it
// names no path.
std::optional<std::string> RecordedPath(const std::string& root, const TrashRecord& record)
{
    std::optional<std::string> path = PercentDecode(record.path);
    if (!path || path->empty() || HoldsNul(*path))
        return std::nullopt;
    if (path->front() == '/')
        return path;
    const std::optional<std::string> top = TopOfTrash(root);
    if (!top)
        return std::nullopt;
    return JoinPath(*top, *path);
}

} // namespace

bool RecordIsFor(const std::string& root, const TrashRecord& record, const std::string& originalPath)
{
    const std::optional<std::string> recorded = RecordedPath(root, record);
    if (!recorded || BaseNameOf(*recorded) != BaseNameOf(originalPath))
        return false;
    if (*recorded == originalPath)
        return true;
    FileStatus recordedFolder{};
    FileStatus originalFolder{};
    WaitAsASlowShare();
    return ::stat(FolderOf(*recorded).c_str(), &recordedFolder) == 0 &&
           ::stat(FolderOf(originalPath).c_str(), &originalFolder) == 0 &&
           IdOf(recordedFolder) == IdOf(originalFolder);
}

namespace {

// The trash entry `name` of `root` when it is the file `id`: its record is read back when it names
// `originalPath`, else infoPath stays empty.
std::optional<TrashedEntry> EntryIfFile(const std::string& root, const std::string& name,
                                        const std::string& originalPath, FileId id)
{
    FileStatus info{};
    WaitAsASlowShare();
    if (::lstat(FilePathOf(root, name).c_str(), &info) != 0 || IdOf(info) != id)
        return std::nullopt;
    TrashedEntry entry{originalPath, root, name, {}, {}, id, {}, {}};
    const std::optional<TrashRecord> record = ReadRecord(InfoPathOf(root, name));
    if (record && RecordIsFor(root, *record, originalPath)) {
        entry.infoPath = record->path;
        entry.deletionDate = record->deletionDate;
    }
    return entry;
}

} // namespace

std::optional<TrashedEntry> FindFile(const std::vector<std::string>& roots, const std::string& originalPath,
                                     FileId id)
{
    const std::string base = BaseNameOf(originalPath);
    for (const std::string& root : roots) {
        for (const std::string& name : NamesInUse(root, base)) {
            if (std::optional<TrashedEntry> entry = EntryIfFile(root, name, originalPath, id))
                return entry;
        }
    }
    for (const std::string& root : roots) {
        const Result<std::vector<DirEntry>> listed = ListDirectory(JoinPath(root, "files"));
        if (!listed)
            continue;
        for (const DirEntry& file : listed.Value()) {
            if (file.identity == id)
                return EntryIfFile(root, file.name, originalPath, id);
        }
    }
    return std::nullopt;
}

std::optional<TrashedEntry> FindNewcomer(const std::vector<std::string>& roots,
                                         const std::vector<std::set<std::string>>& namesBefore,
                                         const std::string& originalPath)
{
    for (std::size_t i = 0; i < roots.size(); ++i) {
        for (const std::string& name : NamesInUse(roots[i], BaseNameOf(originalPath))) {
            const std::optional<TrashRecord> record = ReadRecord(InfoPathOf(roots[i], name));
            FileStatus info{};
            WaitAsASlowShare();
            if (namesBefore[i].contains(name) || !record || !RecordIsFor(roots[i], *record, originalPath) ||
                ::lstat(FilePathOf(roots[i], name).c_str(), &info) != 0)
                continue;
            return TrashedEntry{originalPath,         roots[i],   name, record->path,
                                record->deletionDate, IdOf(info), {},   {}};
        }
    }
    return std::nullopt;
}

} // namespace versweep::platform
