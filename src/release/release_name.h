// Reads a release name (title ".v" version "-" group tag) into the parts the marking pass compares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/text_tools.h"

namespace versweep {

/// The text after the last '-', empty when there is none.
std::string ExtractGroupTag(std::string_view name);

/// The version that follows the first ".v" (case-sensitive): digits and dots, plus the first other
/// character upper-cased as an extra component when it directly follows a digit ("1.2.3-G" -> "1.2.3.-").
std::string ExtractVersionText(std::string_view name);

/// The title as written: the name up to its first ".v" or ".V", the whole name when it has none.
std::string_view TitleText(std::string_view name);

/// The title comparison key: the name up to its first ".v" or ".V", without blanks, dots and
/// underscores, letter case unchanged.
std::string NormalizeTitle(std::string_view name);

/// The numeric value of a version text: the first component as an integer, each later one as a
/// three-digit fraction of the one before it ("2.1" == "2.100", "2.05" < "2.5").
double VersionValue(std::string_view versionText);

/// A key that orders version texts component by component, the way most software numbers its versions:
/// keys compare as sequences (<, ==) as the versions do. Components are taken as VersionValue takes them.
/// Each that begins with a digit is a whole number (leading zeros ignored, 0 when it is not a number, the
/// 64-bit maximum when it goes beyond; a sign before the first one, which no version text taken from a
/// name carries, reads as 0), and a missing one counts as 0: "1.10" > "1.9", "1.05" == "1.5",
/// "1.2" == "1.2.0". A component that begins with another byte (the one ExtractVersionText appends, "A" of
/// "2.10.A", "-" of "1.2.-") ranks by that byte after the numbers before it, below any further number:
/// "2.10.A" > "2.10", "2.10.1" > "2.10.A", "1.2.3.-" > "1.2.-" == "1.2.0.-". No version at all gives the
/// empty key.
std::vector<std::uint64_t> ComponentVersionKey(std::string_view versionText);

/// True when one entry of the comma list, normalised, occurs in `title` upper-cased. The caller passes
/// the list already upper-cased; `scratch` is overwritten with the parsed entries.
bool MatchesNameList(std::string_view title, std::string_view commaList, StringList& scratch);

} // namespace versweep
