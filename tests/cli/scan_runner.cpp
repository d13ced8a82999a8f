// Runs versweep-scan for the tests: in-process with string streams, or the built program as a child.
#include "scan_runner.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

pid_t StartProgram(const TempDir& dir, const std::vector<std::string>& args, const std::string& label,
                   const std::string& program)
{
    const std::string outPath = dir / (label + ".out");
    const std::string errPath = dir / (label + ".err");
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

Outcome WaitProgram(const TempDir& dir, pid_t child, const std::string& label)
{
    Outcome outcome;
    int wait = 0;
    if (child > 0 && ::waitpid(child, &wait, 0) == child && WIFEXITED(wait))
        outcome.status = WEXITSTATUS(wait);
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
