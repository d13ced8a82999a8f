// Decides where the settings file lives.
#pragma once

#include <string>

namespace versweep {

/// The settings file for the program at `executablePath`: "<executable without extension>.ini" when
/// that file exists or its folder is writable (portable use); otherwise
/// "$XDG_CONFIG_HOME/versweep/versweep.ini", with XDG_CONFIG_HOME defaulting to "$HOME/.config".
/// `xdgConfigHome` and `home` are the environment's values, null when unset.
std::string SettingsFilePath(const std::string& executablePath, const char* xdgConfigHome, const char* home);

/// SettingsFilePath for the running executable and the process environment.
std::string DefaultSettingsFilePath();

} // namespace versweep
