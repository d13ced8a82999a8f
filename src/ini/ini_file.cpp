// The settings file: typed reads and writes that go straight to one INI file, nothing cached.
#include "ini/ini_file.h"

#include <cerrno>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ini/ini_text.h"
#include "tools/text_tools.h"

namespace versweep {

namespace {

using FileStatus = struct stat;

// The Windows profile reader fills a 1024-byte buffer, terminator included.
constexpr std::size_t kMaxValueBytes = 1023;
// As many links as the kernel itself follows before it calls it a loop.
constexpr int kMaxLinkDepth = 40;
constexpr int kMaxTempAttempts = 100;

enum class ReadOutcome
{
    Read,
    Missing,
    Failed,
};

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool Close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Only a regular file counts: a folder, a pipe or a device at the settings path is never read or
// replaced (O_NONBLOCK keeps a pipe from blocking the open).
ReadOutcome ReadWholeFile(const std::string& path, std::string& content)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0)
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    FileStatus info{};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return ReadOutcome::Failed;
    content.clear();
    std::vector<char> buffer(std::size_t{64} * 1024);
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer.data(), buffer.size());
        if (count == 0)
            return ReadOutcome::Read;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return ReadOutcome::Failed;
        }
        content.append(buffer.data(), static_cast<std::size_t>(count));
    }
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> ReadLink(const std::string& path)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t count = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (count < 0)
            return std::nullopt;
        if (static_cast<std::size_t>(count) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(count));
        buffer.resize(buffer.size() * 2);
    }
}

// The file a write should replace: a link at the settings path is followed to its final target
// (which may not exist yet), so the link itself survives the write. nullopt on a loop or an error.
std::optional<std::string> ResolveWriteTarget(const std::string& path)
{
    std::string current = path;
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        FileStatus info{};
        if (::lstat(current.c_str(), &info) != 0)
            return errno == ENOENT ? std::optional<std::string>(current) : std::nullopt;
        if (!S_ISLNK(info.st_mode))
            return current;
        const std::optional<std::string> target = ReadLink(current);
        if (!target || target->empty())
            return std::nullopt;
        current = target->front() == '/' ? *target : FolderOf(current) + "/" + *target;
    }
    return std::nullopt;
}

bool IsFolder(const std::string& path)
{
    FileStatus info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p; new folders are private to the user, as configuration folders should be.
bool MakeFolders(const std::string& folder)
{
    if (IsFolder(folder))
        return true;
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    return IsFolder(folder);
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t count = ::write(fd, data.data(), data.size());
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

// The replacement must look like the file it replaces. Only root may give a file to another owner;
// when the owner cannot be kept, that owner could lose the right to write the file, so the write is
// given up.
bool TakeOverAttributes(int fd, const FileStatus& old)
{
    if (::fchmod(fd, old.st_mode & 07777) != 0)
        return false;
    FileStatus now{};
    if (::fstat(fd, &now) != 0)
        return false;
    return (now.st_uid == old.st_uid && now.st_gid == old.st_gid) || ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

// Writes a sibling temporary file, flushes it to disk and renames it over `target`, so a crash or a
// full disk leaves either the old file or the new one, never a truncated one.
void ReplaceFile(const std::string& target, std::string_view content)
{
    const std::string folder = FolderOf(target);
    if (!MakeFolders(folder))
        return;
    FileStatus old{};
    const bool hasOld = ::stat(target.c_str(), &old) == 0;

    const std::string base = target.substr(target.rfind('/') + 1);
    static unsigned counter = 0;
    std::string tempPath;
    int fd = -1;
    for (int attempt = 0; attempt < kMaxTempAttempts && fd < 0; ++attempt) {
        tempPath = folder;
        tempPath.append("/.").append(base).append(".").append(std::to_string(::getpid()));
        tempPath.append(".").append(std::to_string(++counter)).append(".tmp");
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return;
    }
    if (fd < 0)
        return;
    FileDescriptor temp(fd);
    const bool written = (!hasOld || TakeOverAttributes(temp.Get(), old)) && WriteAll(temp.Get(), content) &&
                         ::fsync(temp.Get()) == 0;
    if (!temp.Close() || !written || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return;
    }
    // Makes the rename itself durable; a failure here no longer puts the data at risk.
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.Get() >= 0)
        ::fsync(folderFd.Get());
}

} // namespace

IniFile::IniFile(std::string fileName) : m_fileName(std::move(fileName)) {}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    std::string content;
    if (ReadWholeFile(m_fileName, content) != ReadOutcome::Read)
        return std::string(defaultValue);
    std::optional<std::string> value = FindIniValue(content, section, key);
    if (!value || value->empty())
        return std::string(defaultValue);
    if (value->size() > kMaxValueBytes)
        value->resize(kMaxValueBytes);
    return std::move(*value);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    return ParseInt32(ReadString(section, key, {})).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    const std::string value = ReadString(section, key, {});
    if (value == "0")
        return false;
    if (value == "1")
        return true;
    return defaultValue;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) const
{
    if (m_fileName.empty())
        return;
    const std::optional<std::string> target = ResolveWriteTarget(m_fileName);
    if (!target)
        return;
    std::string content;
    const ReadOutcome outcome = ReadWholeFile(*target, content);
    // What could not be read is never replaced: its other settings would be lost.
    if (outcome == ReadOutcome::Failed)
        return;
    const std::optional<std::string> updated = SetIniValue(content, section, key, value);
    if (!updated || *updated == content)
        return;
    // The rename would go through a read-only file; its owner made it read-only to keep it as it is.
    if (outcome == ReadOutcome::Read && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
        return;
    ReplaceFile(*target, *updated);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) const
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) const
{
    WriteString(section, key, value ? "1" : "0");
}

} // namespace versweep
