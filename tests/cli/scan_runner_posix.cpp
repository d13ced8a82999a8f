// Starts versweep-scan as a child process on POSIX systems, and waits for it.
#include "scan_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace versweep::test {

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

int WaitForExit(pid_t child)
{
    int wait = 0;
    if (child > 0 && ::waitpid(child, &wait, 0) == child && WIFEXITED(wait))
        return WEXITSTATUS(wait);
    return -1;
}

} // namespace versweep::test
