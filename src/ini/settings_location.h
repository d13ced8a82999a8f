// Decides where the settings file and the program's other per-user files live.
#pragma once

#include <string>
#include <string_view>

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

/// "<base>/versweep/<fileName>" in an XDG base folder: `xdgBase` (an XDG_*_HOME value, null when unset)
/// when it is absolute, else `home` + "/" + `belowHome` (the variable's default, like ".config") when
/// `home` is absolute; empty when neither is.
std::string XdgFilePath(const char* xdgBase, const char* home, std::string_view belowHome,
                        std::string_view fileName);

/// HOME, or the user's home from the password database when HOME is unset or empty; empty when neither
/// gives one.
std::string UserHome();

} // namespace versweep
