// Decides where the settings file lives.
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
constexpr std::string_view kConfigFolder = "versweep";

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

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
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
        const std::string folder = FolderOf(executablePath);
        beside = Join(folder, kFileName);
        if (::access(beside.c_str(), F_OK) == 0 || ::access(folder.c_str(), W_OK) == 0)
            return beside;
    }
    std::string configHome;
    if (IsAbsolute(xdgConfigHome))
        configHome = xdgConfigHome;
    else if (IsAbsolute(home))
        configHome = Join(home, ".config");
    else
        return beside;
    return Join(Join(std::move(configHome), kConfigFolder), kFileName);
}

std::string DefaultSettingsFilePath()
{
    const platform::Result<std::string> executable = platform::ExecutablePath();
    const char* home = ::getenv("HOME");
    std::string passwordHome;
    if (home == nullptr || home[0] == '\0') {
        passwordHome = HomeFromPasswordDatabase();
        home = passwordHome.empty() ? nullptr : passwordHome.c_str();
    }
    return SettingsFilePath(executable ? executable.Value() : std::string(), ::getenv("XDG_CONFIG_HOME"), home);
}

} // namespace versweep
