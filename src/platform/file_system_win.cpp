// Directory listing and file tests on Windows.
#include "platform/file_system.h"

#include <cerrno>
#include <utility>

#include <windows.h>

#include "platform/wide_path_win.h"

namespace versweep::platform {

namespace {

bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

DirEntry EntryOf(const WIN32_FIND_DATAW& found)
{
    DirEntry entry;
    entry.name = Utf8FromWide(found.cFileName);
    const DWORD attributes = found.dwFileAttributes;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.kind = IsLink(attributes, found.dwReserved0) ? EntryKind::Link
                 : isFolder                            ? EntryKind::Folder
                                                       : EntryKind::File;
    // The entry's own marks say what a plain listing leaves out: system entries are hidden ones too.
    entry.hidden = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entry.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    entry.size = isFolder ? 0 : (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    return entry;
}

// What `path` leads to, links followed; an invalid handle when nothing.
Handle OpenFollowingLinks(const std::string& path)
{
    const Result<std::wstring> longPath = LongPath(path);
    if (!longPath)
        return Handle();
    return Handle(::CreateFileW(longPath.Value().c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The attributes of what `path` leads to, links followed; nullopt when it leads nowhere.
std::optional<DWORD> FollowedAttributes(const std::string& path)
{
    const Handle target = OpenFollowingLinks(path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!target.Valid() || ::GetFileInformationByHandle(target.Get(), &info) == 0)
        return std::nullopt;
    return info.dwFileAttributes;
}

} // namespace

Result<std::vector<DirEntry>> ListDirectory(const std::string& folder, const ListingControl& control)
{
    const Result<std::wstring> longFolder = LongPath(folder);
    if (!longFolder)
        return longFolder.Error();
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstIn(longFolder.Value(), found));
    if (!search.Valid()) {
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(longFolder.Value().c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return ErrorFromErrno(ENOTDIR);
        // A drive's root has no "." and "..", so when it is empty the search finds nothing at all.
        if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES)
            return std::vector<DirEntry>();
        return ErrorFromWindows(error);
    }

    std::vector<DirEntry> entries;
    do {
        if (IsDotOrDotDot(found.cFileName))
            continue;
        if (control.stop != nullptr && control.stop->load())
            return ErrorFromErrno(ECANCELED);
        if (control.entriesRead != nullptr)
            ++*control.entriesRead;
        DirEntry entry = EntryOf(found);
        // The search does not tell which file an entry is; the entry opened only to look at it does. One that
        // cannot be opened (a name this system cannot spell) keeps an unknown identity.
        const Handle handle = OpenToLookAt(ChildPath(longFolder.Value(), found.cFileName));
        if (handle.Valid()) {
            if (const Result<FileId> id = IdOfHandle(handle.Get()))
                entry.identity = id.Value();
        } else if (::GetLastError() == ERROR_FILE_NOT_FOUND) {
            continue;
        }
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(search.Get(), &found) != 0);
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        return LastError();
    return entries;
}

bool HoldsNul(std::string_view path)
{
    return path.find('\0') != std::string_view::npos;
}

Result<std::string> AbsoluteFolder(const std::string& folder)
{
    if (folder.empty())
        return ErrorFromErrno(EINVAL);
    const Result<std::wstring> longFolder = LongPath(folder);
    if (!longFolder)
        return longFolder.Error();
    return PlainPath(longFolder.Value());
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.empty() && !IsSeparator(path.back()))
        path += '\\';
    path += name;
    return path;
}

// A drive's root keeps its separator: "C:" alone would name that drive's current folder.
std::string WithoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != ':')
        path.pop_back();
    return path;
}

Result<FileId> EntryIdOf(const std::string& path)
{
    const Result<std::wstring> longPath = LongPath(path);
    if (!longPath)
        return longPath.Error();
    const Handle entry = OpenToLookAt(longPath.Value());
    if (!entry.Valid())
        return LastError();
    return IdOfHandle(entry.Get());
}

Result<FileId> FolderIdOf(const std::string& path)
{
    const Handle folder = OpenFollowingLinks(path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder.Valid() || ::GetFileInformationByHandle(folder.Get(), &info) == 0)
        return LastError();
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return ErrorFromErrno(ENOTDIR);
    return IdOfHandle(folder.Get());
}

bool DirectoryExists(const std::string& path)
{
    const std::optional<DWORD> attributes = FollowedAttributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "file\" names no file, only a folder could be meant.
bool FileExists(const std::string& path)
{
    const std::optional<DWORD> attributes = FollowedAttributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !path.empty() &&
           !IsSeparator(path.back());
}

// Asking for the right to write is what tells: the system checks it against the entry's access rules when
// the entry is opened, and opening changes nothing.
bool MayWrite(const std::string& path)
{
    const Result<std::wstring> longPath = LongPath(path);
    if (!longPath)
        return false;
    const DWORD attributes = ::GetFileAttributesW(longPath.Value().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!isFolder && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    // For a folder the right to write data is the right to add a file to it.
    const Handle opened(::CreateFileW(longPath.Value().c_str(), FILE_WRITE_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return opened.Valid();
}

std::optional<std::string> FollowLinks(const std::string& path)
{
    const Result<std::wstring> longPath = LongPath(path);
    if (!longPath)
        return std::nullopt;
    const DWORD attributes = ::GetFileAttributesW(longPath.Value().c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? std::optional<std::string>(path)
                                                                              : std::nullopt;
    }
    if (!EntryIsLink(longPath.Value(), attributes))
        return path;
    const Handle target = OpenFollowingLinks(path);
    if (!target.Valid())
        return std::nullopt;
    std::wstring finalPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            target.Get(), finalPath.data(), static_cast<DWORD>(finalPath.size()), FILE_NAME_NORMALIZED);
        if (length == 0)
            return std::nullopt;
        if (length < finalPath.size()) {
            finalPath.resize(length);
            return PlainPath(finalPath);
        }
        finalPath.resize(length);
    }
}

bool StandardInputIsTerminal()
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

Result<std::string> CurrentDirectory()
{
    const std::wstring current = CurrentDirectoryWide();
    if (current.empty())
        return LastError();
    return PlainPath(current);
}

Result<std::string> ExecutablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return LastError();
        // A path that fills the buffer may have been cut.
        if (length < buffer.size()) {
            buffer.resize(length);
            return PlainPath(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string FolderOf(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos)
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    // The root of a drive, "C:\", keeps its separator; so does the root of the current drive.
    if (separator == 0 || path[separator - 1] == ':')
        return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

} // namespace versweep::platform
