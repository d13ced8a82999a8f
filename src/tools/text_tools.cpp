// Byte-string helpers: splitting, file base names, padding, ordinal sorting, ASCII casing and decimals.
#include "tools/text_tools.h"

#include <algorithm>
#include <limits>

namespace versweep {

namespace {

constexpr auto npos = std::string_view::npos;

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool IsQuote(char c)
{
    return c == '\'' || c == '"';
}

} // namespace

int SplitText(std::string_view separators, std::string_view text, StringList& list)
{
    // The text comes from C-string sources, where the first NUL byte is its end.
    text = text.substr(0, text.find('\0'));
    int added = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || IsLineEnd(text[pos])))
            ++pos;
        const std::size_t head = pos;
        // A quote opened by one quote byte is closed only by the same byte; the other one is plain text.
        char openQuote = '\0';
        for (; pos < text.size(); ++pos) {
            const char c = text[pos];
            if (IsQuote(c)) {
                if (openQuote == '\0')
                    openQuote = c;
                else if (openQuote == c)
                    openQuote = '\0';
            } else if (openQuote == '\0' && (IsLineEnd(c) || separators.find(c) != npos)) {
                break;
            }
        }
        if (pos > head) {
            list.emplace_back(text.substr(head, pos - head));
            ++added;
        }
        ++pos; // past the separator or line end that closed the component
    }
    return added;
}

std::string FileBaseName(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == npos ? path : path.substr(slash + 1);
    // Leading dots name a hidden entry (".profile", "..") rather than open an extension.
    const std::size_t firstNonDot = name.find_first_not_of('.');
    if (firstNonDot != npos) {
        const std::size_t dot = name.rfind('.');
        if (dot != npos && dot > firstNonDot)
            name = name.substr(0, dot);
    }
    return std::string(name);
}

std::size_t LastCharPos(std::string_view text, char ch, int n)
{
    if (n < 1)
        return npos;
    int count = 0;
    for (std::size_t i = text.size(); i-- > 0;) {
        if (text[i] == ch && ++count == n)
            return i;
    }
    return npos;
}

std::optional<std::int64_t> IntPower(std::int64_t base, unsigned exponent)
{
    // Bases 0, 1 and -1 never overflow, so they are answered without a loop of up to 2^32 steps.
    if (base == 0)
        return exponent == 0 ? 1 : 0;
    if (base == 1)
        return 1;
    if (base == -1)
        return exponent % 2 == 0 ? 1 : -1;
    // Any other base overflows within 64 factors, which bounds the loop.
    std::int64_t result = 1;
    for (unsigned i = 0; i < exponent; ++i) {
        if (__builtin_mul_overflow(result, base, &result))
            return std::nullopt;
    }
    return result;
}

std::string PadRightTo(std::string_view text, std::size_t length, char fill)
{
    std::string result(TruncateTo(text, length));
    result.resize(length, fill);
    return result;
}

std::string TruncateTo(std::string_view text, std::size_t length)
{
    return std::string(text.substr(0, length));
}

void SortStrings(StringList& list)
{
    // std::string compares through char_traits<char>, which orders bytes as unsigned values.
    std::stable_sort(list.begin(), list.end());
}

std::string UpperCaseAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) { return UpperCaseAscii(c); });
    return result;
}

std::string LowerCaseAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) { return LowerCaseAscii(c); });
    return result;
}

std::optional<Decimal> ParseDecimal(std::string_view text)
{
    Decimal decimal;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        decimal.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        if (__builtin_mul_overflow(decimal.magnitude, 10U, &decimal.magnitude) ||
            __builtin_add_overflow(decimal.magnitude, static_cast<unsigned>(c - '0'), &decimal.magnitude))
            decimal.magnitude = std::numeric_limits<std::uint64_t>::max();
    }
    return decimal;
}

std::optional<std::int32_t> ParseInt32(std::string_view text)
{
    const std::optional<Decimal> decimal = ParseDecimal(text);
    if (!decimal)
        return std::nullopt;
    constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::int32_t>::max();
    if (decimal->magnitude > kMaxPositive + (decimal->negative ? 1 : 0))
        return std::nullopt;
    const auto magnitude = static_cast<std::int64_t>(decimal->magnitude);
    return static_cast<std::int32_t>(decimal->negative ? -magnitude : magnitude);
}

} // namespace versweep
