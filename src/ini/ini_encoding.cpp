// How a settings file's bytes map to the text the INI rules read: 8-bit files as they are, UTF-16 files
// (as Windows editors save "Unicode" text) decoded to UTF-8.
#include "ini/ini_encoding.h"

#include "tools/utf8_text.h"

namespace versweep {

namespace {

constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";

char16_t UnitAt(std::string_view bytes, std::size_t at, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
}

} // namespace

DecodedIni DecodeIni(std::string_view bytes)
{
    DecodedIni decoded;
    if (bytes.starts_with(kLittleEndianMark))
        decoded.encoding = IniEncoding::Utf16LittleEndian;
    else if (bytes.starts_with(kBigEndianMark))
        decoded.encoding = IniEncoding::Utf16BigEndian;
    else {
        decoded.text = bytes;
        return decoded;
    }
    const bool bigEndian = decoded.encoding == IniEncoding::Utf16BigEndian;
    bytes.remove_prefix(kLittleEndianMark.size());
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        units += UnitAt(bytes, at, bigEndian);
    decoded.text = Utf16ToUtf8(units, decoded.lossless);
    if (bytes.size() % 2 != 0) {
        decoded.text += "\xEF\xBF\xBD";
        decoded.lossless = false;
    }
    return decoded;
}

std::optional<std::string> EncodeIni(std::string_view text, IniEncoding encoding)
{
    if (encoding == IniEncoding::EightBit)
        return std::string(text);
    const std::optional<std::u16string> units = Utf8ToUtf16(text);
    if (!units)
        return std::nullopt;
    const bool bigEndian = encoding == IniEncoding::Utf16BigEndian;
    std::string bytes(bigEndian ? kBigEndianMark : kLittleEndianMark);
    bytes.reserve(bytes.size() + 2 * units->size());
    for (const char16_t unit : *units) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

} // namespace versweep
