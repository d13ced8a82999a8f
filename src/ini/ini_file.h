// The settings file: typed reads and writes that go straight to one INI file, nothing cached.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/system_error.h"

namespace versweep {

/// Settings files are far smaller; a larger file is not taken for one (it may be anything at all, such as a
/// file under /proc that never ends), so it reads as defaults and is never rewritten.
constexpr std::size_t kMaxSettingsFileBytes = std::size_t{1} << 20;

/// What IniFile::ReadString finds in a settings file holding `fileBytes`: the value (at most 1023 bytes), or
/// nullopt when the key is absent or its value empty. UTF-16 files with a byte-order mark read as UTF-8.
std::optional<std::string> ReadIniValue(std::string_view fileBytes, std::string_view section,
                                        std::string_view key);

/// The bytes a settings file holding `fileBytes` has after IniFile::WriteString, in the file's own encoding
/// and with every other line as it was; nullopt when the value cannot be stored so that it reads back (see
/// SetIniValue; in a UTF-16 file also any text that is not well-formed UTF-8, and any file that would not
/// keep its other lines byte for byte).
std::optional<std::string> WriteIniValue(std::string_view fileBytes, std::string_view section,
                                         std::string_view key, std::string_view value);

/// Reads and writes one Windows-style INI file. Every call opens the file; a missing or unreadable
/// file reads as defaults, and a write that cannot happen is dropped quietly, leaving the file as it
/// was. A write replaces the file in one step (temporary sibling, then rename), keeps every line it
/// does not change byte for byte, follows a link at the file name to its target, and holds an advisory
/// lock on a sibling lock file while it reads and replaces, so concurrent writers lose nothing.
class IniFile
{
public:
    explicit IniFile(std::string fileName = {});

    const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }

    /// The value (at most 1023 bytes); `defaultValue` when the key is absent or its value empty.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    /// As ReadString, but a file that cannot be read (missing, not a regular file, no permission, larger
    /// than kMaxSettingsFileBytes) gives the reason instead of the default.
    platform::Result<std::string> TryReadString(std::string_view section, std::string_view key,
                                                std::string_view defaultValue) const;
    /// The value as a decimal integer; `defaultValue` when it is not one.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    /// "0" reads false, "1" true, anything else `defaultValue`.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    /// Stores `value` so that ReadString gives it back (quoted when its ends would be trimmed). A value
    /// holding CR or LF cannot be kept on one line and is not written; nor is an unchanged one.
    void WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    void WriteInteger(std::string_view section, std::string_view key, int value) const;
    void WriteBool(std::string_view section, std::string_view key, bool value) const;

private:
    std::string m_fileName;
};

} // namespace versweep
