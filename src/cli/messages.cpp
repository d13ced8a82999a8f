// The wording versweep-scan shares among its messages: its name before each, counts and sizes.
#include "cli/messages.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace versweep {

std::string CountOf(std::int64_t count, std::string_view singular, std::string_view plural)
{
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

std::string HumanSize(std::int64_t bytes)
{
    if (bytes < 1024)
        return CountOf(bytes, "byte", "bytes");
    static constexpr std::string_view kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // The unit is chosen on the rounded value, so 1048575 bytes read "1.0 MiB", not "1024.0 KiB".
    while (unit + 1 < std::size(kUnits) && std::round(value * 10) >= 1024 * 10) {
        value /= 1024;
        ++unit;
    }
    // to_chars, unlike printf, never takes a decimal comma from the locale.
    char digits[32];
    const std::to_chars_result end =
        std::to_chars(std::begin(digits), std::end(digits), value, std::chars_format::fixed, 1);
    return std::string(std::begin(digits), end.ptr) + " " + std::string(kUnits[unit]);
}

} // namespace versweep
