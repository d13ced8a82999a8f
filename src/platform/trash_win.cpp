// The Windows Recycle Bin through the shell. An entry goes only where a Recycle Bin takes it and is never
// deleted instead; no documented call brings an entry back reliably, so taking it back is left to the user.
#include "platform/trash.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include <windows.h>

#include <shellapi.h>

#include "platform/wide_path_win.h"

namespace versweep::platform {

namespace {

constexpr const char* kChanged = "changed since it was listed";
constexpr const char* kNoUndo = "undo is not available on this system; the Recycle Bin can restore it";

bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

// A "." or ".." component makes a path that does not spell the entry it names; such a path is refused, so that
// what moves is always the entry the path spells.
bool NamesOneEntry(std::string_view path)
{
    bool hasComponent = false;
    while (!path.empty()) {
        std::size_t end = 0;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::string_view component = path.substr(0, end);
        if (component == "." || component == "..")
            return false;
        hasComponent = hasComponent || !component.empty();
        path.remove_prefix(end < path.size() ? end + 1 : end);
    }
    return hasComponent;
}

// A name the plain form of a path cannot reach: it ends in a dot or a blank (the system would drop them) or is
// a device's (CON, NUL, COM1, also with an extension).
bool NeedsLongForm(std::wstring_view name)
{
    if (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        return true;
    std::wstring stem(name.substr(0, name.find(L'.')));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (wchar_t& unit : stem)
        unit = unit >= L'a' && unit <= L'z' ? static_cast<wchar_t>(unit - L'a' + L'A') : unit;
    static constexpr std::array<std::wstring_view, 4> kDevices = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const std::wstring_view device : kDevices) {
        if (stem == device)
            return true;
    }
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && stem[3] >= L'1' &&
           stem[3] <= L'9';
}

// The path as the shell is given it: the plain form wherever it names the entry, since the shell is made for
// those; the `\\?\` form only where nothing else reaches the entry.
std::wstring ShellPath(const std::wstring& longPath)
{
    std::wstring plain = WithoutLongPrefix(longPath);
    if (plain.size() >= MAX_PATH || plain.starts_with(L"\\\\?\\"))
        return longPath;
    for (std::size_t start = 0; start < plain.size();) {
        const std::size_t end = std::min(plain.find(L'\\', start), plain.size());
        if (NeedsLongForm(std::wstring_view(plain).substr(start, end - start)))
            return longPath;
        start = end + 1;
    }
    return plain;
}

std::string Hex(int code)
{
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%X", static_cast<unsigned>(code));
    return text.data();
}

// Whether the file `id` has left `path`: nothing is there any more, or another file is.
bool HasLeft(const std::string& path, const FileId& id)
{
    const Result<FileId> now = EntryIdOf(path);
    return now ? now.Value() != id : now.Error().code == ENOENT;
}

} // namespace

Result<TrashedEntry> DeleteToRecycleBin(const std::string& path, FileId listed)
{
    if (HoldsNul(path))
        return SystemError{EINVAL, "the path holds a NUL byte"};
    if (!NamesOneEntry(path))
        return SystemError{EINVAL, "not the path of one entry"};
    const Result<std::wstring> longPath = LongPath(path);
    if (!longPath)
        return longPath.Error();
    const std::wstring& entry = longPath.Value();
    const std::string original = PlainPath(entry);
    const DWORD attributes = ::GetFileAttributesW(entry.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError();
    // The shell would move what a link leads to, under the link's name: something that was never listed.
    if (EntryIsLink(entry, attributes))
        return SystemError{EINVAL, "it is a link, and the Recycle Bin would take what it leads to instead"};
    const Result<FileId> id = EntryIdOf(original);
    if (!id)
        return id.Error();
    if (listed.Known() && id.Value() != listed)
        return SystemError{ESTALE, kChanged};
    const Result<FileId> folderId = FolderIdOf(FolderOf(original));
    if (!folderId)
        return folderId.Error();

    // The shell deletes for good what no Recycle Bin takes, so the entry's volume must have one.
    std::wstring root(entry.size() + 1, L'\0');
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    if (::GetVolumePathNameW(entry.c_str(), root.data(), static_cast<DWORD>(root.size())) == 0 ||
        FAILED(::SHQueryRecycleBinW(root.c_str(), &bin)))
        return SystemError{ENOTSUP, "its volume has no Recycle Bin, where the shell would delete it for good, so "
                                    "it stays where it was"};

    std::wstring from = ShellPath(entry);
    from.push_back(L'\0'); // a list of one name, ended by a second NUL
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    // No question, progress or error box, but a warning before anything would be deleted for good rather than
    // recycled (too large for the bin, or a bin the shell cannot move it to): with no one there to agree, the
    // shell gives the operation up and the entry stays.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NO_UI | FOF_WANTNUKEWARNING;
    const int result = ::SHFileOperationW(&operation);

    // What happened is read from the entry's place, not from the shell's answer.
    if (!HasLeft(original, id.Value())) {
        if (operation.fAnyOperationsAborted != 0)
            return SystemError{ENOTSUP, "the Recycle Bin cannot take it, and the shell would have deleted it for "
                                        "good, so it stays where it was"};
        if (result != 0)
            return SystemError{EIO, "the shell could not move it to the Recycle Bin (error " + Hex(result) + ")"};
        return SystemError{EIO, "the Recycle Bin left it where it was"};
    }
    return TrashedEntry{original, {}, {}, {}, {}, id.Value(), folderId.Value(), {}};
}

// The Recycle Bin cannot be searched by documented means: an entry that left its place is taken to be there.
std::optional<TrashedEntry> FindInTrash(const std::string& originalPath, FileId id, FileId folderId)
{
    if (!id.Known() || !HasLeft(originalPath, id))
        return std::nullopt;
    return TrashedEntry{originalPath, {}, {}, {}, {}, id, folderId, {}};
}

bool IsInTrash(const TrashedEntry& entry)
{
    return entry.id.Known() && HasLeft(entry.originalPath, entry.id);
}

// The shell's restore verbs do nothing under some systems and cannot tell two entries of one path apart under
// others, and nothing else documented moves an entry out of the Recycle Bin: the user restores it there.
Status RestoreFromTrash(const TrashedEntry& /*entry*/)
{
    return SystemError{ENOTSUP, kNoUndo};
}

} // namespace versweep::platform
