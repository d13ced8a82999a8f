// Decides where the settings file lives.
#include "ini/settings_location.h"

#include <cstdlib>
#include <string_view>

#include "platform/file_system.h"
#include "platform/user_folders.h"

namespace versweep {

namespace {

constexpr std::string_view kFileName = "versweep.ini";

// The executable's path is resolved already while the installed folder may be named through a link or
// with a trailing slash, so the two are compared as folders on disk, not as texts.
bool IsSameFolder(const std::string& folder, const std::string& other)
{
    if (other.empty())
        return false;
    const platform::Result<platform::FileId> first = platform::FolderIdOf(folder);
    const platform::Result<platform::FileId> second = platform::FolderIdOf(other);
    return first && second && first.Value() == second.Value();
}

} // namespace

std::string SettingsFilePath(const std::string& executablePath, const char* xdgConfigHome, const char* home,
                             const std::string& installFolder)
{
    std::string beside;
    if (!executablePath.empty()) {
        const std::string folder = platform::FolderOf(executablePath);
        beside = platform::JoinPath(folder, kFileName);
        if (platform::FileExists(beside) || platform::DirectoryExists(beside) ||
            (platform::MayWrite(folder) && !IsSameFolder(folder, installFolder)))
            return beside;
    }
    std::string configFile = platform::XdgFilePath(xdgConfigHome, home, ".config", kFileName);
    if (configFile.empty())
        return beside;
    return configFile;
}

std::string DefaultSettingsFilePath()
{
    const platform::Result<std::string> executable = platform::ExecutablePath();
    const std::string home = platform::UserHome();
    return SettingsFilePath(executable ? executable.Value() : std::string(), std::getenv("XDG_CONFIG_HOME"),
                            home.empty() ? nullptr : home.c_str(), VERSWEEP_INSTALL_BINDIR);
}

} // namespace versweep
