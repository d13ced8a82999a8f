// Directory listing and file tests on POSIX systems.
#include "platform/file_system.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/descriptor_posix.h"
#include "platform/slow_share_posix.h"

namespace versweep::platform {

namespace {

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Links are never followed, so a link can never pass for a plain folder.
DirEntry EntryOf(const char* name, bool isDirectory, bool isLink, bool ownerMayWrite)
{
    DirEntry entry;
    entry.name = name;
    entry.kind = isLink ? EntryKind::Link : isDirectory ? EntryKind::Folder : EntryKind::File;
    entry.hidden = name[0] == '.';
    entry.readOnly = !ownerMayWrite;
    return entry;
}

// Buffer-filling calls that report truncation by failing or by filling the buffer completely are retried
// with a doubled buffer.
constexpr std::size_t kInitialPathBuffer = 256;
// As many links as the kernel itself follows before it calls it a loop.
constexpr int kMaxLinkDepth = 40;

// readlink truncates silently; only a result shorter than the buffer is known to be whole.
Result<std::string> ReadLink(const std::string& path)
{
    std::string buffer(kInitialPathBuffer, '\0');
    for (;;) {
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0)
            return ErrorFromErrno(errno);
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

Result<std::vector<DirEntry>> ListDirectory(const std::string& folder, const ListingControl& control)
{
    WaitAsASlowShare();
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return ErrorFromErrno(errno);
    const int fd = ::dirfd(dir.get());

    std::vector<DirEntry> entries;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0)
                return ErrorFromErrno(errno);
            break;
        }
        const char* name = entry->d_name;
        if (IsDotOrDotDot(name))
            continue;
        if (control.stop != nullptr && control.stop->load())
            return ErrorFromErrno(ECANCELED);
        if (control.entriesRead != nullptr)
            ++*control.entriesRead;

        struct stat info;
        WaitAsASlowShare();
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            const bool isDirectory = S_ISDIR(info.st_mode);
            entries.push_back(EntryOf(name, isDirectory, S_ISLNK(info.st_mode), (info.st_mode & S_IWUSR) != 0));
            entries.back().size = isDirectory ? 0 : static_cast<std::uint64_t>(info.st_size);
            entries.back().identity = FileId{info.st_dev, info.st_ino};
        } else if (errno != ENOENT) {
            // Readable but not searchable: the name and its type are all there is to know.
            entries.push_back(EntryOf(name, entry->d_type == DT_DIR, entry->d_type == DT_LNK, true));
        }
    }
    return entries;
}

bool HoldsNul(std::string_view path)
{
    return path.find('\0') != std::string_view::npos;
}

Result<std::string> AbsoluteFolder(const std::string& folder)
{
    if (folder.empty() || HoldsNul(folder))
        return ErrorFromErrno(EINVAL);
    std::string absolute;
    if (folder.front() != '/') {
        Result<std::string> current = CurrentDirectory();
        if (!current)
            return current;
        absolute = std::move(current).Value();
    }
    bool climbs = false;
    std::string_view rest = folder;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view component = rest.substr(0, slash);
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
        if (component.empty() || component == ".")
            continue;
        climbs = climbs || component == "..";
        absolute = JoinPath(absolute.empty() ? "/" : absolute, component);
    }
    if (absolute.empty())
        return std::string("/");
    if (!climbs)
        return absolute;
    // Read as text, "link/.." would be the folder holding the link; the system goes where the link leads first.
    WaitAsASlowShare();
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(absolute.c_str(), nullptr), &std::free);
    if (!real)
        return ErrorFromErrno(errno);
    return std::string(real.get());
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::string WithoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

Result<FileId> EntryIdOf(const std::string& path)
{
    WaitAsASlowShare();
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return ErrorFromErrno(errno);
    return FileId{info.st_dev, info.st_ino};
}

Result<FileId> FolderIdOf(const std::string& path)
{
    WaitAsASlowShare();
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return ErrorFromErrno(errno);
    if (!S_ISDIR(info.st_mode))
        return ErrorFromErrno(ENOTDIR);
    return FileId{info.st_dev, info.st_ino};
}

bool DirectoryExists(const std::string& path)
{
    WaitAsASlowShare();
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::string& path)
{
    WaitAsASlowShare();
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool MayWrite(const std::string& path)
{
    WaitAsASlowShare();
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::optional<std::string> FollowLinks(const std::string& path)
{
    std::string current = path;
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        struct stat info;
        WaitAsASlowShare();
        if (::lstat(current.c_str(), &info) != 0)
            return errno == ENOENT ? std::optional<std::string>(current) : std::nullopt;
        if (!S_ISLNK(info.st_mode))
            return current;
        const Result<std::string> target = ReadLink(current);
        if (!target || target.Value().empty())
            return std::nullopt;
        current = target.Value().front() == '/' ? target.Value() : JoinPath(FolderOf(current), target.Value());
    }
    return std::nullopt;
}

bool StandardInputIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

Result<std::string> CurrentDirectory()
{
    std::string buffer(kInitialPathBuffer, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE)
            return ErrorFromErrno(errno);
        buffer.resize(buffer.size() * 2);
    }
}

Result<std::string> ExecutablePath()
{
    return ReadLink("/proc/self/exe");
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace versweep::platform
