// Where the program keeps its per-user files: the user's home and the folders the desktop standards name.
#pragma once

#include <string>
#include <string_view>

namespace versweep::platform {

/// "<base>/versweep/<fileName>" in an XDG base folder: `xdgBase` (an XDG_*_HOME value, null when unset)
/// when it is absolute, else `home` + "/" + `belowHome` (the variable's default, like ".config") when
/// `home` is absolute; empty when neither is.
std::string XdgFilePath(const char* xdgBase, const char* home, std::string_view belowHome,
                        std::string_view fileName);

/// HOME, or the user's home from the password database when HOME is unset or empty; empty when neither
/// gives one.
std::string UserHome();

} // namespace versweep::platform
