// Reading and editing the text of a Windows-style INI file in memory, without touching any file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace versweep {

/// The value of `key` in the first section named `section`, as the Windows profile reader gives it:
/// trimmed of blanks and control characters, one pair of enclosing matching quotes removed, not cut
/// to any length. Names compare case-insensitively (ASCII). nullopt when the section or the key is
/// absent, or the first matching key has no "=". Only the first matching section and key count.
std::optional<std::string> FindIniValue(std::string_view content, std::string_view section, std::string_view key);

/// `content` with `key` of `section` set so that FindIniValue gives back `value`. An existing key has
/// its value replaced in place; a new key goes after the last key of the first matching section; a
/// new section goes at the end. Every other byte is kept; lines written end with CRLF. Returns
/// `content` itself when the key already reads as `value`, and nullopt when the entry cannot be
/// stored so that it reads back (a CR or LF in any of the texts, or a name the reader would not find
/// again).
std::optional<std::string> SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                                       std::string_view value);

} // namespace versweep
