// Small stateless helpers over byte strings, string lists and numbers.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace versweep {

/// An ordered list of byte strings; positions are zero-based.
using StringList = std::vector<std::string>;

/// Appends the components of `text` split at any byte of `separators` to `list` and returns how many
/// were added. Blanks, tabs, CR and LF before a component are skipped; a component ends at a separator,
/// a line end or the end; single or double quotes protect separators and line ends (and stay in the
/// component); empty components are dropped; a NUL byte ends the text.
int SplitText(std::string_view separators, std::string_view text, StringList& list);

/// The last component of `path` (after the last '/') without its extension (from the last '.';
/// the leading dots of a hidden name do not start an extension). A backslash is an ordinary byte.
std::string FileBaseName(std::string_view path);

/// Zero-based position of the n-th occurrence of `ch` counted from the end; npos when there are
/// fewer than n (or n < 1).
std::size_t LastCharPos(std::string_view text, char ch, int n);

/// a + b for amounts that are never negative (byte counts); beyond the 64-bit range the sum stays at its
/// maximum.
constexpr std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b)
{
    return b > std::numeric_limits<std::int64_t>::max() - a ? std::numeric_limits<std::int64_t>::max() : a + b;
}

/// base raised to exponent, exactly; nullopt when the result does not fit a signed 64-bit integer.
std::optional<std::int64_t> IntPower(std::int64_t base, unsigned exponent);

/// Appends `fill` while `text` is shorter than `length`, then cuts it to `length`.
std::string PadRightTo(std::string_view text, std::size_t length, char fill);

/// `text` cut to at most `length` bytes.
std::string TruncateTo(std::string_view text, std::size_t length);

/// Sorts ascending by byte value (shorter prefix first), keeping equal items in their order.
void SortStrings(StringList& list);

/// The byte upper-cased when it is one of a-z, else unchanged.
constexpr char UpperCaseAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
/// The byte lower-cased when it is one of A-Z, else unchanged.
constexpr char LowerCaseAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// A decimal number read as sign and magnitude.
struct Decimal
{
    bool negative = false;
    std::uint64_t magnitude = 0; ///< stays at the 64-bit maximum when the digits go beyond it
};

/// The whole text as a decimal: an optional sign, then one or more digits and nothing else; nullopt for
/// anything else. Never wraps: a magnitude beyond 64 bits saturates.
std::optional<Decimal> ParseDecimal(std::string_view text);

/// The whole text as a signed 32-bit decimal (ParseDecimal); nullopt for anything else or a value out of range.
std::optional<std::int32_t> ParseInt32(std::string_view text);

/// Upper-cases the ASCII letters a-z, byte by byte; every other byte is kept.
std::string UpperCaseAscii(std::string_view text);
/// Lower-cases the ASCII letters A-Z, byte by byte; every other byte is kept.
std::string LowerCaseAscii(std::string_view text);

/// Replaces `list` with the entries of a comma text: entries split at commas and at any byte up to
/// and including the blank; a double quote opens a quoted entry in which "" stands for one quote;
/// two commas in a row give an empty entry, and so does a trailing comma; a NUL byte ends the text.
void SetCommaText(StringList& list, std::string_view commaText);
/// Appends `entry` to a comma text, after a comma unless the text is empty. An entry that is empty or holds a
/// blank, a control byte, a comma or a quote is written quoted, its quotes doubled, so SetCommaText reads it
/// back whole.
void AppendCommaEntry(std::string& commaText, std::string_view entry);

/// `text` with every byte but A-Z, a-z, 0-9, "-", ".", "_", "~" and "/" written as "%" and two upper-case
/// hex digits, the way the freedesktop.org trash writes the original path of a trashed entry.
std::string PercentEncode(std::string_view text);
/// The bytes a percent-encoded text stands for (hex digits in either case); nullopt when a "%" is not
/// followed by two hex digits.
std::optional<std::string> PercentDecode(std::string_view text);

} // namespace versweep
