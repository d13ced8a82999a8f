// Decides where the settings file lives.
#pragma once

#include <string>

namespace versweep {

/// The settings file for the program at `executablePath`. The window and the command line share one
/// file, "versweep.ini" in the executable's folder, when that file exists or the folder is writable
/// (portable use); otherwise "$XDG_CONFIG_HOME/versweep/versweep.ini", with XDG_CONFIG_HOME taken as
/// "$HOME/.config" when unset, empty or not absolute. `xdgConfigHome` and `home` are the
/// environment's values, null when unset. With neither the folder writable nor an absolute home, the
/// file beside the executable is still given, so settings kept there can be read. An empty
/// `executablePath` skips the portable choice; with no home either, the result is empty.
/// `installFolder` is the folder the program is installed to (empty: none). An executable there never takes
/// the writable-folder choice, as that folder serves every user and root may write it; a "versweep.ini"
/// already there is still used.
std::string SettingsFilePath(const std::string& executablePath, const char* xdgConfigHome, const char* home,
                             const std::string& installFolder = {});

/// SettingsFilePath for the running executable, the process environment (the user's home from the
/// password database when HOME is unset) and the folder the build installs the programs to.
std::string DefaultSettingsFilePath();

} // namespace versweep
