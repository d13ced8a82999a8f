// The marking step written out as the plain quadratic loop, the yardstick for the grouped one.
#pragma once

#include "scan/duplicate_marking.h"

namespace versweep::test {

/// Runs the marking loop entry by entry, recomputing every key and value at each comparison.
MarkingResult ReferenceMarkDuplicates(const MarkingInput& input);

} // namespace versweep::test
