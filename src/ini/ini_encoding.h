// How a settings file's bytes map to the text the INI rules read: 8-bit files as they are, UTF-16 files
// (as Windows editors save "Unicode" text) decoded to UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace versweep {

enum class IniEncoding
{
    EightBit,
    Utf16LittleEndian, ///< begins with the byte-order mark FF FE
    Utf16BigEndian,    ///< begins with the byte-order mark FE FF
};

struct DecodedIni
{
    std::string text; ///< the bytes themselves for 8-bit files, UTF-8 without the byte-order mark for UTF-16
    IniEncoding encoding = IniEncoding::EightBit;
    /// Whether EncodeIni(text, encoding) gives the bytes back. False for UTF-16 with an unpaired surrogate or
    /// an odd byte at the end, which the text shows as U+FFFD.
    bool lossless = true;
};

/// The text of a settings file holding `bytes`.
DecodedIni DecodeIni(std::string_view bytes);

/// The bytes of a settings file in `encoding` holding `text` (UTF-16 with its byte-order mark); nullopt when
/// UTF-16 is asked for and `text` is not well-formed UTF-8.
std::optional<std::string> EncodeIni(std::string_view text, IniEncoding encoding);

} // namespace versweep
