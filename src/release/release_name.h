// Reads a release name (title ".v" version "-" group tag) into the parts the marking pass compares.
#pragma once

#include <string>
#include <string_view>

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

/// True when one entry of the comma list, normalised, occurs in `title` upper-cased. The caller passes
/// the list already upper-cased; `scratch` is overwritten with the parsed entries.
bool MatchesNameList(std::string_view title, std::string_view commaList, StringList& scratch);

} // namespace versweep
