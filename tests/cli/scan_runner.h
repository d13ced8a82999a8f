// Runs versweep-scan for the tests: in-process with string streams, or the built program as a child.
#pragma once

#include <string>
#include <vector>

#include "temp_dir.h"

namespace versweep::test {

/// What one run gave.
struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs the command in-process; `input` is standard input, a terminal when `inIsTerminal`.
Outcome RunInProcess(const std::vector<std::string>& args, const std::string& input = "",
                     bool inIsTerminal = false);

/// The built versweep-scan (VERSWEEP_SCAN_PROGRAM may point at a copy).
std::string BuiltProgram();

/// Runs `program` as a child process in the tests' environment, standard input from /dev/null (never a
/// terminal) and its output sent to files in `dir`.
Outcome RunProgram(const TempDir& dir, const std::vector<std::string>& args,
                   const std::string& program = BuiltProgram());

/// The lines of `text`, without their line breaks.
std::vector<std::string> Lines(const std::string& text);

} // namespace versweep::test
