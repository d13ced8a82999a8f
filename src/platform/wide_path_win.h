// The Windows system boundary: names between UTF-16 and the core's bytes, `\\?\` paths, system errors as
// values and owned handles; shared by the platform layer's Windows sources.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <windows.h>

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace versweep::platform {

/// The UTF-16 form of `text` read as WTF-8: UTF-8 in which a surrogate without its partner is written like
/// any other code point (three bytes, ED A0 80 to ED BF BF), so that every name Windows can hold has exactly
/// one byte form. nullopt for anything else: invalid bytes, overlong forms, and a surrogate pair written as
/// two three-byte sequences (its one form is the four-byte one).
std::optional<std::wstring> WideFromUtf8(std::string_view text);

/// The WTF-8 form of `units`; WideFromUtf8 gives `units` back.
std::string Utf8FromWide(std::wstring_view units);

/// The path every file-system call of this layer is given: `path` made absolute against the current
/// directory, '/' read as '\', "." and ".." components resolved by their text (as Windows resolves them),
/// empty components and trailing separators dropped, and the `\\?\` prefix put in front (`\\?\UNC\` for a
/// share), so that neither the length limit of 260 nor the rewriting of trailing dots and spaces and of
/// device names such as CON applies. A path that already starts with `\\?\` or `\\.\` is taken as it is.
/// Fails for an empty path, one holding NUL and one that is not WTF-8.
Result<std::wstring> LongPath(std::string_view path);

/// `path` without the `\\?\` prefix where a plain form names the same entry: `C:\x`, `\\server\share\x`.
std::wstring WithoutLongPrefix(std::wstring_view path);

/// `path` as the core keeps paths: WithoutLongPrefix, in WTF-8.
std::string PlainPath(std::wstring_view path);

/// `folder` and `name` joined by one backslash.
std::wstring ChildPath(std::wstring_view folder, std::wstring_view name);

/// True for a reparse point that leads elsewhere (a symbolic link, a junction), whose target is not part of
/// the entry; other reparse points (cloud placeholders, deduplicated files) hold their own data. A tag of 0
/// (unknown, as some systems report every link) counts as a link.
bool IsLink(DWORD attributes, DWORD reparseTag);

/// A SystemError from a Windows error code: the errno value that means the same where there is one (so that
/// callers can test for ENOENT, EEXIST, ...), EIO otherwise, and the system's text for the code.
SystemError ErrorFromWindows(DWORD code);

/// ErrorFromWindows(GetLastError()).
SystemError LastError();

/// A file or folder handle, closed when it goes.
class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~Handle()
    {
        if (Valid())
            ::CloseHandle(m_handle);
    }
    Handle(Handle&& other) noexcept : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept
    {
        Handle old(std::exchange(m_handle, std::exchange(other.m_handle, INVALID_HANDLE_VALUE)));
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    /// Gives the handle up without closing it.
    HANDLE Release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }

private:
    HANDLE m_handle;
};

/// A directory search, closed when it goes.
class FindHandle
{
public:
    explicit FindHandle(HANDLE handle) : m_handle(handle) {}
    ~FindHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

/// Starts listing the folder `longFolder` (a LongPath) the fast way: no short names, large fetches.
HANDLE FindFirstIn(const std::wstring& longFolder, WIN32_FIND_DATAW& found);

/// Opens the entry at `longPath` only to look at it, never following a link and never in anyone's way (no
/// sharing conflict, folders too).
Handle OpenToLookAt(const std::wstring& longPath);

/// The file behind `handle`: its volume's serial number and its file index.
Result<FileId> IdOfHandle(HANDLE handle);

/// True when the entry at `longPath`, whose attributes are `attributes`, is a link (IsLink).
bool EntryIsLink(const std::wstring& longPath, DWORD attributes);

/// The process's current folder as the system gives it; empty when it cannot be had.
std::wstring CurrentDirectoryWide();

/// True for "." and "..".
bool IsDotOrDotDot(const wchar_t* name);

} // namespace versweep::platform
