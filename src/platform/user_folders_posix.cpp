// Where the program keeps its per-user files on POSIX systems: the home folder and the XDG base folders.
#include "platform/user_folders.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace versweep::platform {

namespace {

constexpr std::string_view kProgramFolder = "versweep";

// A relative folder would move with the current directory.
bool IsAbsolute(const char* path)
{
    return path != nullptr && path[0] == '/';
}

std::string HomeFromPasswordDatabase()
{
    std::vector<char> buffer(std::size_t{16} * 1024);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr)
        return {};
    return found->pw_dir;
}

} // namespace

std::string XdgFilePath(const char* xdgBase, const char* home, std::string_view belowHome,
                        std::string_view fileName)
{
    std::string base;
    if (IsAbsolute(xdgBase))
        base = xdgBase;
    else if (IsAbsolute(home))
        base = JoinPath(home, belowHome);
    else
        return {};
    return JoinPath(JoinPath(std::move(base), kProgramFolder), fileName);
}

std::string UserHome()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    return HomeFromPasswordDatabase();
}

} // namespace versweep::platform
