// UTF-8 checks and conversions over raw bytes: repair for JSON, and UTF-16 for settings files saved as Unicode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace versweep {

/// `bytes` with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD, one
/// replacement per byte (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::string ReplaceInvalidUtf8(std::string_view bytes);

/// The UTF-16 form of `text`; nullopt when `text` is not well-formed UTF-8 (see ReplaceInvalidUtf8).
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

/// The UTF-8 form of `units`. A surrogate without its partner becomes U+FFFD and clears `lossless`, which
/// is left alone otherwise.
std::string Utf16ToUtf8(std::u16string_view units, bool& lossless);

} // namespace versweep
