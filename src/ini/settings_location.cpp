// Decides where the settings file and the program's other per-user files live.
#include "ini/settings_location.h"

#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace versweep {

namespace {

constexpr std::string_view kFileName = "versweep.ini";
constexpr std::string_view kProgramFolder = "versweep";

bool IsAbsolute(const char* path)
{
    return path != nullptr && path[0] == '/';
}

// The executable's path is resolved already while the installed folder may be named through a link or
// with a trailing slash, so the two are compared as folders on disk, not as texts.
bool IsSameFolder(const std::string& folder, const std::string& other)
{
    struct stat first = {};
    struct stat second = {};
    return !other.empty() && ::stat(folder.c_str(), &first) == 0 && ::stat(other.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
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

std::string SettingsFilePath(const std::string& executablePath, const char* xdgConfigHome, const char* home,
                             const std::string& installFolder)
{
    std::string beside;
    if (!executablePath.empty()) {
        const std::string folder = platform::FolderOf(executablePath);
        beside = platform::JoinPath(folder, kFileName);
        if (::access(beside.c_str(), F_OK) == 0 ||
            (::access(folder.c_str(), W_OK) == 0 && !IsSameFolder(folder, installFolder)))
            return beside;
    }
    std::string configFile = XdgFilePath(xdgConfigHome, home, ".config", kFileName);
    if (configFile.empty())
        return beside;
    return configFile;
}

std::string DefaultSettingsFilePath()
{
    const platform::Result<std::string> executable = platform::ExecutablePath();
    const std::string home = UserHome();
    return SettingsFilePath(executable ? executable.Value() : std::string(), ::getenv("XDG_CONFIG_HOME"),
                            home.empty() ? nullptr : home.c_str(), VERSWEEP_INSTALL_BINDIR);
}

std::string XdgFilePath(const char* xdgBase, const char* home, std::string_view belowHome,
                        std::string_view fileName)
{
    std::string base;
    if (IsAbsolute(xdgBase))
        base = xdgBase;
    else if (IsAbsolute(home))
        base = platform::JoinPath(home, belowHome);
    else
        return {};
    return platform::JoinPath(platform::JoinPath(std::move(base), kProgramFolder), fileName);
}

std::string UserHome()
{
    const char* home = ::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    return HomeFromPasswordDatabase();
}

} // namespace versweep
