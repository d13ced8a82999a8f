// The settings file: typed reads and writes that go straight to one INI file, nothing cached.
#include "ini/ini_file.h"

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "ini/ini_encoding.h"
#include "ini/ini_text.h"
#include "platform/file_content.h"
#include "platform/file_system.h"
#include "tools/text_tools.h"

namespace versweep {

namespace {

// The Windows profile reader fills a 1024-byte buffer, terminator included.
constexpr std::size_t kMaxValueBytes = 1023;
// Writers hold the lock for one read, change and rename; waiting longer than this means something is stuck.
constexpr std::chrono::milliseconds kLockWait(1000);

// Only a regular file counts: a folder, a pipe or a device at the settings path is never read or
// replaced. At most one byte past the size bound is read.
platform::Result<std::string> ReadSettingsBytes(const std::string& path)
{
    platform::Result<std::string> content = platform::ReadFileContent(path, kMaxSettingsFileBytes);
    if (!content && content.Error().code == EFBIG)
        return platform::SystemError{EFBIG, "File too large (over 1 MiB)"};
    return content;
}

// The bytes `target` should hold after the write, or nullopt when the write is to be dropped: the file cannot
// be read (its other settings would be lost), the value cannot be stored, nothing changes, the result would
// pass the size bound, or the file is read-only (its owner made it so to keep it as it is; the rename would
// go through that).
std::optional<std::string> PlanWrite(const std::string& target, std::string_view section, std::string_view key,
                                     std::string_view value)
{
    platform::Result<std::string> content = ReadSettingsBytes(target);
    const bool exists = content.HasValue();
    if (!exists && content.Error().code != ENOENT)
        return std::nullopt;
    const std::string_view current = exists ? std::string_view(content.Value()) : std::string_view();
    std::optional<std::string> updated = WriteIniValue(current, section, key, value);
    if (!updated || *updated == current || updated->size() > kMaxSettingsFileBytes)
        return std::nullopt;
    if (exists && !platform::MayWrite(target))
        return std::nullopt;
    return updated;
}

} // namespace

std::optional<std::string> ReadIniValue(std::string_view fileBytes, std::string_view section, std::string_view key)
{
    std::optional<std::string> value = FindIniValue(DecodeIni(fileBytes).text, section, key);
    if (!value || value->empty())
        return std::nullopt;
    if (value->size() > kMaxValueBytes)
        value->resize(kMaxValueBytes);
    return value;
}

std::optional<std::string> WriteIniValue(std::string_view fileBytes, std::string_view section,
                                         std::string_view key, std::string_view value)
{
    const DecodedIni decoded = DecodeIni(fileBytes);
    if (!decoded.lossless)
        return std::nullopt;
    const std::optional<std::string> text = SetIniValue(decoded.text, section, key, value);
    if (!text)
        return std::nullopt;
    return EncodeIni(*text, decoded.encoding);
}

IniFile::IniFile(std::string fileName) : m_fileName(std::move(fileName)) {}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    platform::Result<std::string> value = TryReadString(section, key, defaultValue);
    return value ? std::move(value).Value() : std::string(defaultValue);
}

platform::Result<std::string> IniFile::TryReadString(std::string_view section, std::string_view key,
                                                     std::string_view defaultValue) const
{
    const platform::Result<std::string> content = ReadSettingsBytes(m_fileName);
    if (!content)
        return content.Error();
    std::optional<std::string> value = ReadIniValue(content.Value(), section, key);
    return value ? std::move(*value) : std::string(defaultValue);
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
    // A link at the settings path is followed to its final target, so the link itself survives the write.
    const std::optional<std::string> target = platform::FollowLinks(m_fileName);
    // Decided before anything is created or locked, so a dropped write leaves no trace.
    if (!target || !PlanWrite(*target, section, key, value) ||
        !platform::MakeFolders(platform::FolderOf(*target)).HasValue())
        return;
    // Serialises the read-modify-write among processes (two windows, a window and a script). A lock another
    // process keeps too long only costs the lost-update guard: the write goes ahead unlocked, as it does when
    // there is no usable lock file (another user's, a link).
    const platform::FileLock lock(*target, kLockWait);
    // Another writer may have replaced the file since: the change is made to what is there now. A write that
    // cannot happen is dropped quietly, as the Windows profile functions drop it.
    if (const std::optional<std::string> updated = PlanWrite(*target, section, key, value))
        static_cast<void>(platform::ReplaceFileContent(*target, *updated));
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
