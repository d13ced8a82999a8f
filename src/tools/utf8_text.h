// UTF-8 checks and conversions over raw bytes: repair for JSON, UTF-16 for settings files saved as Unicode, and
// the characters that can disguise a name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace versweep {

/// `bytes` with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD, one
/// replacement per byte (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::string ReplaceInvalidUtf8(std::string_view bytes);

/// Appends the UTF-8 bytes of `code`; a lone surrogate gets its three bytes too, the form WTF-8 keeps it in.
void AppendUtf8(char32_t code, std::string& text);

/// The code point of the well-formed sequence that starts `text`, with its byte count in `length`; nullopt and
/// a length of 1 when the first byte starts none (and for an empty text, a length of 0).
std::optional<char32_t> FirstCodePoint(std::string_view text, std::size_t& length);

/// True for a Unicode format character (general category Cf, as of Unicode 15): the invisible and
/// direction-changing characters (zero-width spaces and joiners, bidirectional marks and overrides, the
/// byte-order mark, tag characters, ...) that can make a name read as another.
bool IsFormatCharacter(char32_t code);

/// The UTF-16 form of `text`; nullopt when `text` is not well-formed UTF-8 (see ReplaceInvalidUtf8).
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

/// The UTF-8 form of `units`. A surrogate without its partner becomes U+FFFD and clears `lossless`, which
/// is left alone otherwise.
std::string Utf16ToUtf8(std::u16string_view units, bool& lossless);

} // namespace versweep
