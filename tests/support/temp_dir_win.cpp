// A temporary folder that tests fill with files and folders on Windows; removed with everything in it.
#include "temp_dir.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include <windows.h>
#include <winioctl.h>

#include "windows_text.h"

namespace versweep::test {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw std::runtime_error(what + " " + path + ": Windows error " + std::to_string(::GetLastError()));
}

void MakeParents(const std::wstring& longPath)
{
    // After "\\?\C:\": every folder on the way.
    for (std::size_t separator = longPath.find(L'\\', 7); separator != std::wstring::npos;
         separator = longPath.find(L'\\', separator + 1))
        ::CreateDirectoryW(longPath.substr(0, separator).c_str(), nullptr);
}

// Calls `visit` for every entry directly in `folder` (a long form) with its find data.
template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(folder + L"\\" + name, found);
    } while (::FindNextFileW(search, &found) != 0);
    ::FindClose(search);
}

void RemoveTree(const std::wstring& folder)
{
    ForEachEntry(folder, [](const std::wstring& path, const WIN32_FIND_DATAW& found) {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ::DeleteFileW(path.c_str());
            return;
        }
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            RemoveTree(path);
        ::RemoveDirectoryW(path.c_str());
    });
}

void ListTree(const std::wstring& folder, std::vector<std::string>& lines)
{
    ForEachEntry(folder, [&](const std::wstring& path, const WIN32_FIND_DATAW& found) {
        const HANDLE entry = ::CreateFileW(
            path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        if (entry != INVALID_HANDLE_VALUE) {
            ::GetFileInformationByHandle(entry, &info);
            ::CloseHandle(entry);
        }
        lines.push_back(
            Narrow(path.substr(4)) + " " +
            std::to_string((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow));
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
            ListTree(path, lines);
    });
}

} // namespace

TempDir::TempDir()
{
    std::wstring base(MAX_PATH + 1, L'\0');
    base.resize(::GetTempPathW(static_cast<DWORD>(base.size()), base.data()));
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring candidate = base + L"versweep-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(++counter) + L"-" + std::to_wstring(::GetTickCount());
        if (::CreateDirectoryW(candidate.c_str(), nullptr) != 0) {
            m_path = Narrow(candidate);
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            Fail("CreateDirectoryW", Narrow(candidate));
    }
    Fail("CreateDirectoryW", Narrow(base));
}

TempDir::~TempDir()
{
    RemoveTree(LongForm(m_path));
    ::RemoveDirectoryW(LongForm(m_path).c_str());
}

std::string TempDir::operator/(const std::string& relative) const
{
    std::string path = m_path + "\\" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void TempDir::MakeDir(const std::string& relative) const
{
    const std::wstring path = LongForm(*this / relative);
    MakeParents(path);
    if (::CreateDirectoryW(path.c_str(), nullptr) == 0 && ::GetLastError() != ERROR_ALREADY_EXISTS)
        Fail("CreateDirectoryW", *this / relative);
}

void TempDir::MakeFile(const std::string& relative, std::uint64_t size) const
{
    const std::wstring path = LongForm(*this / relative);
    MakeParents(path);
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail("CreateFileW", *this / relative);
    // Sparse, as on POSIX: large sizes cost no disk space (where the file system cannot, it stays a plain file).
    DWORD returned = 0;
    ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool sized = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) != 0 && ::SetEndOfFile(file) != 0;
    ::CloseHandle(file);
    if (!sized)
        Fail("SetEndOfFile", *this / relative);
}

void TempDir::MakeSymlink(const std::string& relative, const std::string& /*target*/) const
{
    throw std::runtime_error("a Windows test cannot make the link " + relative);
}

void TempDir::Chmod(const std::string& relative, unsigned mode) const
{
    const std::wstring path = LongForm(*this / relative);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const DWORD readOnly = (mode & 0200U) == 0 ? FILE_ATTRIBUTE_READONLY : 0;
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        ::SetFileAttributesW(path.c_str(), (attributes & ~FILE_ATTRIBUTE_READONLY) | readOnly) == 0)
        Fail("SetFileAttributesW", *this / relative);
}

bool LinksAndAnyNames()
{
    return false;
}

std::vector<std::string> TreeOf(const std::string& folder)
{
    std::vector<std::string> lines;
    ListTree(LongForm(folder), lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace versweep::test
