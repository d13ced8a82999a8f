// Runs versweep-scan for the tests: in-process with string streams, or the built program as a child.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

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

/// Starts `program` as RunProgram does, without waiting; its output goes to files in `dir` named after
/// `label`, so that several runs can go at once.
pid_t StartProgram(const TempDir& dir, const std::vector<std::string>& args, const std::string& label,
                   const std::string& program = BuiltProgram());

/// Waits for a run StartProgram started and reads what it wrote; status -1 when it did not exit by itself.
Outcome WaitProgram(const TempDir& dir, pid_t child, const std::string& label);

/// Waits for a run StartProgram started: its exit status, -1 when it did not exit by itself.
int WaitForExit(pid_t child);

/// The lines of `text`, without their line breaks.
std::vector<std::string> Lines(const std::string& text);

} // namespace versweep::test
