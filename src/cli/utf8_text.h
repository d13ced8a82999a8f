// Turns raw file-name bytes into text that JSON can carry.
#pragma once

#include <string>
#include <string_view>

namespace versweep {

/// `bytes` with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD, one
/// replacement per byte (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::string ReplaceInvalidUtf8(std::string_view bytes);

} // namespace versweep
