// Whole-file reads and all-or-nothing replacement of small files on POSIX systems.
#include "platform/file_content.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/descriptor_posix.h"
#include "platform/file_system.h"
#include "platform/slow_share_posix.h"

namespace versweep::platform {

namespace {

using FileStatus = struct stat;

constexpr int kMaxTempAttempts = 100;
constexpr std::chrono::milliseconds kLockPollInterval(5);

bool IsFolder(const std::string& path)
{
    FileStatus info{};
    WaitAsASlowShare();
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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

} // namespace

// New folders are private to the user, as configuration and state folders should be.
Status MakeFolders(const std::string& folder)
{
    if (IsFolder(folder))
        return Ok();
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return ErrorFromErrno(errno);
    return IsFolder(folder) ? Ok() : Status(ErrorFromErrno(ENOTDIR));
}

FileLock::FileLock(const std::string& guarded, std::chrono::milliseconds wait)
{
    // Built by appending: g++ 12 at -O2 warns falsely (-Wrestrict) on "." + substr(...) + ".lock".
    std::string lockName = ".";
    lockName.append(guarded, guarded.rfind('/') + 1).append(".lock");
    const std::string lockPath = JoinPath(FolderOf(guarded), lockName);
    WaitAsASlowShare();
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    FileStatus info{};
    if (fd < 0)
        return;
    // A lock file another user owns could be held by that user for ever, and anything but a regular file
    // is not a lock file at all.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return;
    }
    m_fd = fd;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_state = State::Held;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (std::chrono::steady_clock::now() >= deadline) {
            m_state = State::Busy;
            return;
        }
        std::this_thread::sleep_for(kLockPollInterval);
    }
}

// Closing the file releases the lock.
FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

// Only a regular file counts: O_NONBLOCK keeps a pipe at the path from blocking the open.
Result<std::string> ReadFileContent(const std::string& path, std::size_t maxBytes)
{
    WaitAsASlowShare();
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0)
        return ErrorFromErrno(errno);
    FileStatus info{};
    if (::fstat(file.Get(), &info) != 0)
        return ErrorFromErrno(errno);
    if (S_ISDIR(info.st_mode))
        return ErrorFromErrno(EISDIR);
    if (!S_ISREG(info.st_mode))
        return ErrorFromErrno(EINVAL);
    std::string content;
    std::array<char, 16384> buffer; // on the stack: settings are read often and are small
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer.data(), buffer.size());
        if (count == 0)
            return content;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return ErrorFromErrno(errno);
        }
        content.append(buffer.data(), static_cast<std::size_t>(count));
        if (content.size() > maxBytes)
            return ErrorFromErrno(EFBIG);
    }
}

namespace {

// Writes `content` to a new sibling of `path`, flushes it and renames it over `path`; gives the new file, still
// open for writing at its end.
Result<Descriptor> WriteReplacement(const std::string& path, std::string_view content)
{
    const std::string folder = FolderOf(path);
    if (Status made = MakeFolders(folder); !made)
        return made.Error();
    FileStatus old{};
    WaitAsASlowShare();
    const bool hasOld = ::stat(path.c_str(), &old) == 0;

    const std::string base = path.substr(path.rfind('/') + 1);
    static unsigned counter = 0;
    std::string tempPath;
    int fd = -1;
    for (int attempt = 0; attempt < kMaxTempAttempts && fd < 0; ++attempt) {
        tempPath = folder;
        tempPath.append("/.").append(base).append(".").append(std::to_string(::getpid()));
        tempPath.append(".").append(std::to_string(++counter)).append(".tmp");
        WaitAsASlowShare();
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return ErrorFromErrno(errno);
    }
    if (fd < 0)
        return ErrorFromErrno(EEXIST);
    Descriptor temp(fd);
    WaitAsASlowShare(); // the write, its flush and the rename
    const bool replaced = (!hasOld || TakeOverAttributes(temp.Get(), old)) && WriteAll(temp.Get(), content) &&
                          ::fsync(temp.Get()) == 0 && ::rename(tempPath.c_str(), path.c_str()) == 0;
    if (!replaced) {
        const int error = errno;
        ::unlink(tempPath.c_str());
        return ErrorFromErrno(error);
    }
    // Makes the rename itself durable; a failure here no longer puts the data at risk.
    WaitAsASlowShare();
    const Descriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.Get() >= 0)
        ::fsync(folderFd.Get());
    return temp;
}

} // namespace

Status ReplaceFileContent(const std::string& path, std::string_view content)
{
    Result<Descriptor> written = WriteReplacement(path, content);
    if (!written)
        return written.Error();
    if (!written.Value().Close())
        return ErrorFromErrno(errno);
    return Ok();
}

Status RemoveFile(const std::string& path)
{
    WaitAsASlowShare();
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return ErrorFromErrno(errno);
    return Ok();
}

Result<DurableLog> DurableLog::Create(const std::string& path, std::string_view header)
{
    Result<Descriptor> written = WriteReplacement(path, header);
    if (!written)
        return written.Error();
    return DurableLog(written.Value().Release());
}

DurableLog::DurableLog(DurableLog&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

DurableLog::~DurableLog()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Status DurableLog::Append(std::string_view text)
{
    WaitAsASlowShare();
    if (!WriteAll(m_fd, text) || ::fdatasync(m_fd) != 0)
        return ErrorFromErrno(errno);
    return Ok();
}

} // namespace versweep::platform
