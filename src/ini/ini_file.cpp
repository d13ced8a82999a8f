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
#include "platform/file_content.h"
#include "platform/file_system.h"
#include "tools/text_tools.h"

namespace versweep {

namespace {

using FileStatus = struct stat;

// The Windows profile reader fills a 1024-byte buffer, terminator included.
constexpr std::size_t kMaxValueBytes = 1023;
// As many links as the kernel itself follows before it calls it a loop.
constexpr int kMaxLinkDepth = 40;

enum class ReadOutcome
{
    Read,
    Missing,
    Failed,
};

ReadOutcome ReadWholeFile(const std::string& path, std::string& content)
{
    platform::Result<std::string> read = platform::ReadFileContent(path);
    if (!read)
        return read.Error().code == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    content = std::move(read).Value();
    return ReadOutcome::Read;
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
        current = target->front() == '/' ? *target : platform::FolderOf(current) + "/" + *target;
    }
    return std::nullopt;
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
    // A write that cannot happen is dropped quietly, as the Windows profile functions drop it.
    (void)platform::ReplaceFileContent(*target, *updated);
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
