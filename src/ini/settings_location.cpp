// Decides where the settings file and the program's other per-user files live.
#include "ini/settings_location.h"

#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace versweep {

namespace {

constexpr std::string_view kFileName = "versweep.ini";
constexpr std::string_view kProgramFolder = "versweep";

std::string Join(std::string folder, std::string_view name)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    folder += name;
    return folder;
}

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

std::string SettingsFilePath(const std::string& executablePath, const char* xdgConfigHome, const char* home)
{
    std::string beside;
    if (!executablePath.empty()) {
        const std::string folder = platform::FolderOf(executablePath);
        beside = Join(folder, kFileName);
        if (::access(beside.c_str(), F_OK) == 0 || ::access(folder.c_str(), W_OK) == 0)
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
                            home.empty() ? nullptr : home.c_str());
}

std::string XdgFilePath(const char* xdgBase, const char* home, std::string_view belowHome,
                        std::string_view fileName)
{
    std::string base;
    if (IsAbsolute(xdgBase))
        base = xdgBase;
    else if (IsAbsolute(home))
        base = Join(home, belowHome);
    else
        return {};
    return Join(Join(std::move(base), kProgramFolder), fileName);
}

std::string UserHome()
{
    const char* home = ::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    return HomeFromPasswordDatabase();
}

} // namespace versweep
