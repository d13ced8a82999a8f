// The wording versweep-scan shares among its messages: its name before each, counts and sizes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace versweep {

/// Begins every message on standard error, followed by ": ".
inline constexpr std::string_view kProgram = "versweep-scan";

/// `count` and the noun that goes with it: "1 entry", "0 entries", "3 entries".
std::string CountOf(std::int64_t count, std::string_view singular, std::string_view plural);

/// `bytes` for a reader: "1 byte", "1000 bytes", then binary units with one decimal ("1.3 KiB",
/// "12.5 MiB", up to EiB).
std::string HumanSize(std::int64_t bytes);

} // namespace versweep
