// versweep-scan: runs the listing pass on one folder and prints what the window would show.
#pragma once

#include <iosfwd>

namespace versweep {

/// Runs versweep-scan with `argv` (argv[0] is the program name): the listing (or the paths --undo
/// restored) goes to `out`, the summary, any message and the question before --trash to `err`, bytes
/// unchanged; the answer is read from `in`, and asked for only when `inIsTerminal`. Returns the exit
/// status: 0 done; 1 the folder cannot be listed, the settings file given with --config cannot be read,
/// the listing cannot be written, the moves of --trash were not confirmed or an entry could not be moved
/// or restored; 2 bad usage.
int RunScanCommand(int argc, const char* const* argv, std::istream& in, bool inIsTerminal, std::ostream& out,
                   std::ostream& err);

} // namespace versweep
