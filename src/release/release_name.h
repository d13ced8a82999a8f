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

/// The title comparison key: the name up to its first ".v" or ".V", without blanks, dots and
/// underscores, letter case unchanged.
std::string NormalizeTitle(std::string_view name);

/// The numeric value of a version text: the first component as an integer, each later one as a
/// three-digit fraction of the one before it ("2.1" == "2.100", "2.05" < "2.5").
double VersionValue(std::string_view versionText);

/// The version text read component by component, the way most software numbers its versions: each
/// component that begins with a digit as a whole number (leading zeros ignored, 0 when it is not a number,
/// the 64-bit maximum when it goes beyond), one that begins with another byte as that byte's value, as
/// VersionValue reads it. Components are taken as VersionValue takes them; a sign before the first one,
/// which no version text taken from a name carries, reads as 0. Trailing zero components are dropped, so
/// the results compare as sequences (<, ==) exactly as the versions do with a missing component counting
/// as 0: "1.10" > "1.9", "1.05" == "1.5", "1.2" == "1.2.0"; no version at all gives the empty sequence.
std::vector<std::uint64_t> VersionComponents(std::string_view versionText);

/// True when one entry of the comma list, normalised, occurs in `title` upper-cased. The caller passes
/// the list already upper-cased; `scratch` is overwritten with the parsed entries.
bool MatchesNameList(std::string_view title, std::string_view commaList, StringList& scratch);

} // namespace versweep
