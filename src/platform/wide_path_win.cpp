// The Windows system boundary: names between UTF-16 and the core's bytes, `\\?\` paths, system errors as
// values and owned handles.
#include "platform/wide_path_win.h"

#include <cerrno>
#include <vector>

#include "tools/utf8_text.h"

namespace versweep::platform {

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr char32_t kFirstSupplementary = 0x10000;

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool IsSeparator(wchar_t unit)
{
    return unit == L'\\' || unit == L'/';
}

bool StartsWithDrive(std::wstring_view path)
{
    return path.size() >= 2 && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// The length of the sequence `lead` starts, and the bits it contributes; 0 for a byte that starts none.
std::size_t SequenceLength(unsigned char lead, char32_t& code)
{
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        code = lead & 0x1FU;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        code = lead & 0x0FU;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        code = lead & 0x07U;
        return 4;
    }
    return 0;
}

// The root of an absolute `path` in the `\\?\` form, and the rest after it; nullopt for a relative path.
std::optional<std::pair<std::wstring, std::wstring_view>> SplitAbsolute(std::wstring_view path)
{
    if (StartsWithDrive(path) && path.size() >= 3 && IsSeparator(path[2]))
        return std::pair(std::wstring(kLongPrefix).append(path.substr(0, 2)), path.substr(3));
    if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1]))
        return std::nullopt;
    // \\server\share: the two components after the leading pair make the root.
    std::wstring root(kLongUncPrefix);
    std::wstring_view rest = path.substr(2);
    for (int part = 0; part < 2 && !rest.empty(); ++part) {
        std::size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        root.append(part == 0 ? L"" : L"\\").append(rest.substr(0, end));
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
    }
    return std::pair(std::move(root), rest);
}

} // namespace

std::optional<std::wstring> WideFromUtf8(std::string_view text)
{
    std::wstring units;
    units.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]), code);
        if (length == 0 || text.size() - i < length)
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0U) != 0x80U)
                return std::nullopt;
            code = (code << 6) | (next & 0x3FU);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, kFirstSupplementary};
        if (code < kSmallest[length] || code > 0x10FFFF)
            return std::nullopt;
        i += length;
        if (code >= kFirstSupplementary) {
            units += static_cast<wchar_t>(0xD800 + ((code - kFirstSupplementary) >> 10));
            units += static_cast<wchar_t>(0xDC00 + ((code - kFirstSupplementary) & 0x3FF));
            continue;
        }
        // A high surrogate in the units so far stands alone (a pair ends with its low half), so this low one
        // would complete it: two spellings of one character, only the four-byte one counts.
        if (IsLowSurrogate(code) && !units.empty() && IsHighSurrogate(units.back()))
            return std::nullopt;
        units += static_cast<wchar_t>(code);
    }
    return units;
}

std::string Utf8FromWide(std::wstring_view units)
{
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            AppendUtf8(kFirstSupplementary + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00), text);
            ++i;
        } else {
            AppendUtf8(unit, text);
        }
    }
    return text;
}

Result<std::wstring> LongPath(std::string_view path)
{
    if (path.empty())
        return ErrorFromErrno(ENOENT);
    if (HoldsNul(path))
        return SystemError{EINVAL, "the path holds a NUL byte"};
    std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide)
        return SystemError{EINVAL, "the path is not valid UTF-8"};
    if (wide->starts_with(kLongPrefix) || wide->starts_with(kDevicePrefix))
        return std::move(*wide);

    // A relative path is completed the way the system completes it: "X:rest" against that drive's current
    // folder, "\rest" against the current drive (or share), anything else against the current folder.
    std::wstring completed;
    std::wstring current = CurrentDirectoryWide();
    const std::wstring base = WithoutLongPrefix(current);
    if (SplitAbsolute(*wide)) {
        completed = std::move(*wide);
    } else if (StartsWithDrive(*wide)) {
        std::wstring driveFolder(MAX_PATH, L'\0');
        const DWORD length = ::GetFullPathNameW(wide->substr(0, 2).c_str(), static_cast<DWORD>(driveFolder.size()),
                                                driveFolder.data(), nullptr);
        if (length == 0 || length >= driveFolder.size())
            return LastError();
        driveFolder.resize(length);
        completed = ChildPath(driveFolder, std::wstring_view(*wide).substr(2));
    } else if (IsSeparator(wide->front())) {
        const auto baseRoot = SplitAbsolute(base);
        if (!baseRoot)
            return ErrorFromErrno(ENOENT);
        completed = WithoutLongPrefix(baseRoot->first).append(*wide);
    } else {
        completed = ChildPath(base, *wide);
    }

    auto split = SplitAbsolute(completed);
    if (!split)
        return ErrorFromErrno(ENOENT);
    std::vector<std::wstring_view> components;
    std::wstring_view rest = split->second;
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const std::wstring_view component = rest.substr(0, end);
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
        if (component.empty() || component == L".")
            continue;
        if (component == L"..") {
            if (!components.empty())
                components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    std::wstring result = std::move(split->first);
    if (components.empty())
        return result.append(L"\\");
    for (const std::wstring_view component : components)
        result.append(L"\\").append(component);
    return result;
}

std::wstring WithoutLongPrefix(std::wstring_view path)
{
    if (path.starts_with(kLongUncPrefix))
        return std::wstring(L"\\\\").append(path.substr(kLongUncPrefix.size()));
    if (path.starts_with(kLongPrefix) && StartsWithDrive(path.substr(kLongPrefix.size())))
        return std::wstring(path.substr(kLongPrefix.size()));
    return std::wstring(path);
}

std::string PlainPath(std::wstring_view path)
{
    return Utf8FromWide(WithoutLongPrefix(path));
}

std::wstring ChildPath(std::wstring_view folder, std::wstring_view name)
{
    std::wstring path(folder);
    if (!path.empty() && !IsSeparator(path.back()))
        path += L'\\';
    return path.append(name);
}

bool IsLink(DWORD attributes, DWORD reparseTag)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag));
}

SystemError ErrorFromWindows(DWORD code)
{
    int number = EIO;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        number = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        number = EACCES;
        break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        number = EBUSY;
        break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        number = EEXIST;
        break;
    case ERROR_DIRECTORY:
        number = ENOTDIR;
        break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
        number = EINVAL;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        number = ENOSPC;
        break;
    case ERROR_NOT_SAME_DEVICE:
        number = EXDEV;
        break;
    case ERROR_DIR_NOT_EMPTY:
        number = ENOTEMPTY;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        number = ENAMETOOLONG;
        break;
    case ERROR_NOT_SUPPORTED:
        number = ENOTSUP;
        break;
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : L"system error " + std::to_wstring(code);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return SystemError{number, Utf8FromWide(message)};
}

SystemError LastError()
{
    return ErrorFromWindows(::GetLastError());
}

HANDLE FindFirstIn(const std::wstring& longFolder, WIN32_FIND_DATAW& found)
{
    return ::FindFirstFileExW(ChildPath(longFolder, L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                              nullptr, FIND_FIRST_EX_LARGE_FETCH);
}

Handle OpenToLookAt(const std::wstring& longPath)
{
    return Handle(::CreateFileW(longPath.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

Result<FileId> IdOfHandle(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(handle, &info) == 0)
        return LastError();
    return FileId{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::wstring CurrentDirectoryWide()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length);
    }
}

bool EntryIsLink(const std::wstring& longPath, DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return false;
    // Without a pattern the search finds the entry itself, and tells its reparse tag.
    WIN32_FIND_DATAW found;
    const FindHandle search(
        ::FindFirstFileExW(longPath.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    return IsLink(attributes, search.Valid() ? found.dwReserved0 : 0);
}

bool IsDotOrDotDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace versweep::platform
