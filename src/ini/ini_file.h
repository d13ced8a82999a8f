// The settings file: typed reads and writes that go straight to one INI file, nothing cached.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace versweep {

/// Reads and writes one Windows-style INI file. Every call opens the file; a missing or unreadable
/// file reads as defaults, and a write that cannot happen is dropped quietly, leaving the file as it
/// was. A write replaces the file in one step (temporary sibling, then rename), keeps every line it
/// does not change byte for byte, and follows a link at the file name to its target.
class IniFile
{
public:
    explicit IniFile(std::string fileName = {});

    const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }

    /// The value (at most 1023 bytes); `defaultValue` when the key is absent or its value empty.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
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
