// Starts versweep-scan as a child process on Windows, and waits for it.
#include "scan_runner.h"

#include <map>

#include <windows.h>

#include "windows_text.h"

namespace versweep::test {

namespace {

// One argument as the C runtime of the child splits its command line: quoted, with the backslashes before a
// quote (or before the closing quote) doubled.
std::wstring Quoted(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t unit : argument) {
        if (unit == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(unit == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += unit;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE Inheritable(HANDLE handle)
{
    ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return handle;
}

HANDLE CreateOutput(const std::string& path)
{
    return Inheritable(::CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The processes started and not yet waited for, by their ids.
std::map<pid_t, HANDLE>& Running()
{
    static std::map<pid_t, HANDLE> running;
    return running;
}

} // namespace

pid_t StartProgram(const TempDir& dir, const std::vector<std::string>& args, const std::string& label,
                   const std::string& program)
{
    std::wstring commandLine = Quoted(Wide(program));
    for (const std::string& arg : args)
        commandLine += L" " + Quoted(Wide(arg));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inheritable(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
    startup.hStdOutput = CreateOutput(dir / (label + ".out"));
    startup.hStdError = CreateOutput(dir / (label + ".err"));
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &process) != 0;
    for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        ::CloseHandle(handle);
    if (!started)
        return 0;
    ::CloseHandle(process.hThread);
    const auto id = static_cast<pid_t>(process.dwProcessId);
    Running()[id] = process.hProcess;
    return id;
}

int WaitForExit(pid_t child)
{
    const auto running = Running().find(child);
    if (running == Running().end())
        return -1;
    DWORD code = 0;
    const bool exited = ::WaitForSingleObject(running->second, INFINITE) == WAIT_OBJECT_0 &&
                        ::GetExitCodeProcess(running->second, &code) != 0;
    ::CloseHandle(running->second);
    Running().erase(running);
    return exited ? static_cast<int>(code) : -1;
}

} // namespace versweep::test
