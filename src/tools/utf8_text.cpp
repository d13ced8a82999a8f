// UTF-8 checks and conversions over raw bytes: repair for JSON, and UTF-16 for settings files saved as Unicode.
#include "tools/utf8_text.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace versweep {

namespace {

// The length of the well-formed sequence that starts `text`, 0 when its first byte starts none. The
// ranges of the second byte keep out overlong forms, surrogates and code points above U+10FFFF.
std::size_t WellFormedLength(std::string_view text)
{
    const auto byteAt = [text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byteAt(1) < low || byteAt(1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byteAt(k) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// The code point of a well-formed sequence of `length` bytes at the start of `text`.
char32_t DecodeSequence(std::string_view text, std::size_t length)
{
    constexpr unsigned char kLeadMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(text[0]) & kLeadMasks[length];
    for (std::size_t k = 1; k < length; ++k)
        code = (code << 6) | (static_cast<unsigned char>(text[k]) & 0x3F);
    return code;
}

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

constexpr char32_t kReplacementCharacter = 0xFFFD;

struct CodeRange
{
    char32_t first;
    char32_t last;
};

// Category Cf of Unicode 15.0, the version the system's own Unicode tables had when this was written; a
// character added to the category later is simply shown as it is.
constexpr CodeRange kFormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

} // namespace

void AppendUtf8(char32_t code, std::string& text)
{
    const auto byte = [](char32_t bits) { return static_cast<char>(static_cast<unsigned char>(bits)); };
    if (code < 0x80) {
        text += byte(code);
    } else if (code < 0x800) {
        text += byte(0xC0 | (code >> 6));
        text += byte(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += byte(0xE0 | (code >> 12));
        text += byte(0x80 | ((code >> 6) & 0x3F));
        text += byte(0x80 | (code & 0x3F));
    } else {
        text += byte(0xF0 | (code >> 18));
        text += byte(0x80 | ((code >> 12) & 0x3F));
        text += byte(0x80 | ((code >> 6) & 0x3F));
        text += byte(0x80 | (code & 0x3F));
    }
}

std::optional<char32_t> FirstCodePoint(std::string_view text, std::size_t& length)
{
    if (text.empty()) {
        length = 0;
        return std::nullopt;
    }
    length = WellFormedLength(text);
    if (length == 0) {
        length = 1;
        return std::nullopt;
    }
    return DecodeSequence(text, length);
}

bool IsFormatCharacter(char32_t code)
{
    const auto after = std::upper_bound(std::begin(kFormatCharacters), std::end(kFormatCharacters), code,
                                        [](char32_t c, const CodeRange& range) { return c < range.first; });
    return after != std::begin(kFormatCharacters) && code <= std::prev(after)->last;
}

std::string ReplaceInvalidUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = WellFormedLength(bytes);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            bytes.remove_prefix(1);
        } else {
            text.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return text;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = WellFormedLength(text);
        if (length == 0)
            return std::nullopt;
        const char32_t code = DecodeSequence(text, length);
        text.remove_prefix(length);
        if (code < 0x10000) {
            units += static_cast<char16_t>(code);
        } else {
            units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return units;
}

std::string Utf16ToUtf8(std::u16string_view units, bool& lossless)
{
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            AppendUtf8(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00), text);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(kReplacementCharacter, text);
            lossless = false;
        } else {
            AppendUtf8(unit, text);
        }
    }
    return text;
}

} // namespace versweep
