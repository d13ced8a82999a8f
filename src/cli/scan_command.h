// versweep-scan: runs the listing pass on one folder and prints what the window would show.
#pragma once

#include <iosfwd>

namespace versweep {

/// Runs versweep-scan with `argv` (argv[0] is the program name): the listing goes to `out`, the summary
/// and any message to `err`, bytes unchanged. Returns the exit status: 0 done, 1 the folder cannot be
/// listed, the settings file given with --config cannot be read, or the listing cannot be written; 2 bad
/// usage.
int RunScanCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace versweep
