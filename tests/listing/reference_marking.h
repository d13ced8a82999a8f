// The marking step written out as the plain quadratic loop, as the literal keep-N rule and as the rule of
// the two readings, the yardsticks for the grouped one.
#pragma once

#include "listing/duplicate_marking.h"

namespace versweep::test {

/// Runs the marking loop entry by entry, recomputing every key and value at each comparison.
MarkingResult ReferenceMarkDuplicates(const MarkingInput& input);

/// The rule for a keep count above 1 read literally, entry by entry: a versioned entry of a title on
/// no list is checked unless its value is among the top N of its title's sorted distinct values; the
/// drops are those of the plain loop.
MarkingResult ReferenceKeepNewest(const MarkingInput& input);

/// The rule of the two readings read literally: where a title's top N under VersionValue and under
/// ComponentVersionKey hold the same entries, the marks of the two rules above; elsewhere the title is
/// ambiguous and an entry is checked only when neither top N holds it.
MarkingResult ReferenceTwoReadings(const MarkingInput& input);

} // namespace versweep::test
