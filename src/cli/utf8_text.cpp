// Turns raw file-name bytes into text that JSON can carry.
#include "cli/utf8_text.h"

#include <cstddef>

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

} // namespace

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

} // namespace versweep
