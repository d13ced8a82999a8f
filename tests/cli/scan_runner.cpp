// Runs versweep-scan for the tests: in-process with string streams, or the built program as a child.
#include "scan_runner.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "built_paths.h"
#include "cli/scan_command.h"

namespace versweep::test {

namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

Outcome RunInProcess(const std::vector<std::string>& args, const std::string& input, bool inIsTerminal)
{
    std::vector<const char*> argv{"versweep-scan"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.status = RunScanCommand(static_cast<int>(argv.size()), argv.data(), in, inIsTerminal, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

std::string BuiltProgram()
{
    return BuiltPath("VERSWEEP_SCAN_PROGRAM", VERSWEEP_SCAN_PROGRAM);
}

Outcome WaitProgram(const TempDir& dir, pid_t child, const std::string& label)
{
    Outcome outcome;
    outcome.status = WaitForExit(child);
    outcome.out = ReadWhole(dir / (label + ".out"));
    outcome.err = ReadWhole(dir / (label + ".err"));
    return outcome;
}

Outcome RunProgram(const TempDir& dir, const std::vector<std::string>& args, const std::string& program)
{
    return WaitProgram(dir, StartProgram(dir, args, "run", program), "run");
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace versweep::test
