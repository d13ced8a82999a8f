// Whole-file reads and all-or-nothing replacement of small files on Windows.
#include "platform/file_content.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/file_system.h"
#include "platform/wide_path_win.h"

namespace versweep::platform {

namespace {

constexpr int kMaxTempAttempts = 100;
constexpr std::chrono::milliseconds kLockPollInterval(5);
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool WriteAll(HANDLE file, std::string_view data)
{
    while (!data.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), std::size_t{1} << 30));
        DWORD written = 0;
        if (::WriteFile(file, data.data(), chunk, &written, nullptr) == 0)
            return false;
        data.remove_prefix(written);
    }
    return true;
}

// The classes of this layer keep a C runtime descriptor; it carries the handle, and closing it closes both.
int DescriptorOf(Handle handle)
{
    const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle.Get()), _O_BINARY);
    if (fd >= 0)
        handle.Release();
    return fd;
}

HANDLE HandleOf(int fd)
{
    // The C runtime hands handles out as integers.
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); // NOLINT(performance-no-int-to-ptr)
}

std::string BaseNameOf(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace

// A new folder takes the access rules of the folder it is made in; the user's own folders are private already.
Status MakeFolders(const std::string& folder)
{
    const Result<std::wstring> longFolder = LongPath(folder);
    if (!longFolder)
        return longFolder.Error();
    const std::wstring& path = longFolder.Value();
    // Every folder on the way: those that exist (the drive, the share) refuse quietly.
    for (std::size_t separator = path.find(L'\\', 4); separator != std::wstring::npos;
         separator = path.find(L'\\', separator + 1))
        ::CreateDirectoryW(path.substr(0, separator).c_str(), nullptr);
    if (::CreateDirectoryW(path.c_str(), nullptr) == 0 && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return LastError();
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError();
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Ok() : Status(ErrorFromErrno(ENOTDIR));
}

// Another user cannot open a lock file in the user's own folders. Beside a program folder that several users
// share, the worst another user's lock does is make a write wait its time and go ahead unlocked.
FileLock::FileLock(const std::string& guarded, std::chrono::milliseconds wait)
{
    const Result<std::wstring> lockPath =
        LongPath(JoinPath(FolderOf(guarded), "." + BaseNameOf(guarded) + ".lock"));
    if (!lockPath)
        return;
    Handle file(::CreateFileW(lockPath.Value().c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    // Anything but a plain file on disk (a link, a device) is no lock file.
    if (!file.Valid() || ::GetFileType(file.Get()) != FILE_TYPE_DISK ||
        ::GetFileInformationByHandle(file.Get(), &info) == 0 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return;
    const HANDLE handle = file.Get();
    m_fd = DescriptorOf(std::move(file));
    if (m_fd < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        OVERLAPPED start{};
        if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start) != 0) {
            m_state = State::Held;
            return;
        }
        if (::GetLastError() != ERROR_LOCK_VIOLATION)
            return;
        if (std::chrono::steady_clock::now() >= deadline) {
            m_state = State::Busy;
            return;
        }
        std::this_thread::sleep_for(kLockPollInterval);
    }
}

// The system would release the lock with the handle, but only in its own time; the next writer should not wait.
FileLock::~FileLock()
{
    if (m_fd < 0)
        return;
    if (m_state == State::Held) {
        OVERLAPPED start{};
        ::UnlockFileEx(HandleOf(m_fd), 0, 1, 0, &start);
    }
    ::_close(m_fd);
}

Result<std::string> ReadFileContent(const std::string& path, std::size_t maxBytes)
{
    const Result<std::wstring> longPath = LongPath(path);
    if (!longPath)
        return longPath.Error();
    const Handle file(::CreateFileW(longPath.Value().c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid())
        return LastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file.Get(), &info) == 0)
        return LastError();
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return ErrorFromErrno(EISDIR);
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return ErrorFromErrno(EINVAL);
    std::string content;
    std::array<char, 16384> buffer; // on the stack: settings are read often and are small
    for (;;) {
        DWORD count = 0;
        if (::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &count, nullptr) == 0)
            return LastError();
        if (count == 0)
            return content;
        content.append(buffer.data(), count);
        if (content.size() > maxBytes)
            return ErrorFromErrno(EFBIG);
    }
}

namespace {

// Writes `content` to a new sibling of `path`, flushes it and puts it in place of `path`. An existing file is
// replaced by ReplaceFileW, which gives the new file the old one's access rules and attributes and fails rather
// than lose them; `keepOpen` renames instead, with the new file still open, and gives it for writing at its end.
Result<Handle> WriteReplacement(const std::string& path, std::string_view content, bool keepOpen)
{
    const std::string folder = FolderOf(path);
    if (Status made = MakeFolders(folder); !made)
        return made.Error();
    const Result<std::wstring> target = LongPath(path);
    if (!target)
        return target.Error();

    static unsigned counter = 0;
    std::wstring tempPath;
    Handle temp;
    for (int attempt = 0; attempt < kMaxTempAttempts && !temp.Valid(); ++attempt) {
        const Result<std::wstring> candidate =
            LongPath(JoinPath(folder, "." + BaseNameOf(path) + "." + std::to_string(::GetCurrentProcessId()) +
                                          "." + std::to_string(++counter) + ".tmp"));
        if (!candidate)
            return candidate.Error();
        tempPath = candidate.Value();
        temp = Handle(::CreateFileW(tempPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!temp.Valid() && ::GetLastError() != ERROR_FILE_EXISTS)
            return LastError();
    }
    if (!temp.Valid())
        return ErrorFromErrno(EEXIST);

    bool replaced = WriteAll(temp.Get(), content) && ::FlushFileBuffers(temp.Get()) != 0;
    if (replaced && keepOpen) {
        replaced = ::MoveFileExW(tempPath.c_str(), target.Value().c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    } else if (replaced) {
        temp = Handle();
        replaced = ::ReplaceFileW(target.Value().c_str(), tempPath.c_str(), nullptr, 0, nullptr, nullptr) != 0;
        // There was no file to replace (or it just went): the new one simply takes its name.
        if (!replaced && ::GetLastError() == ERROR_FILE_NOT_FOUND)
            replaced = ::MoveFileExW(tempPath.c_str(), target.Value().c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!replaced) {
        const SystemError error = LastError();
        temp = Handle();
        ::DeleteFileW(tempPath.c_str());
        return error;
    }
    return temp;
}

} // namespace

Status ReplaceFileContent(const std::string& path, std::string_view content)
{
    const Result<Handle> written = WriteReplacement(path, content, false);
    if (!written)
        return written.Error();
    return Ok();
}

Status RemoveFile(const std::string& path)
{
    const Result<std::wstring> longPath = LongPath(path);
    if (!longPath)
        return longPath.Error();
    if (::DeleteFileW(longPath.Value().c_str()) == 0 && ::GetLastError() != ERROR_FILE_NOT_FOUND &&
        ::GetLastError() != ERROR_PATH_NOT_FOUND)
        return LastError();
    return Ok();
}

Result<DurableLog> DurableLog::Create(const std::string& path, std::string_view header)
{
    Result<Handle> written = WriteReplacement(path, header, true);
    if (!written)
        return written.Error();
    const int fd = DescriptorOf(std::move(written).Value());
    if (fd < 0)
        return ErrorFromErrno(EMFILE);
    return DurableLog(fd);
}

DurableLog::DurableLog(DurableLog&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

DurableLog::~DurableLog()
{
    if (m_fd >= 0)
        ::_close(m_fd);
}

Status DurableLog::Append(std::string_view text)
{
    if (!WriteAll(HandleOf(m_fd), text) || ::FlushFileBuffers(HandleOf(m_fd)) == 0)
        return LastError();
    return Ok();
}

} // namespace versweep::platform
