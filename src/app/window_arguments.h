// The window's command line: an optional folder to open, --help and --version.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace versweep {

struct WindowArguments
{
    bool help = false;
    bool version = false;
    /// The folder to open, absolute and without "." or ".." components; raw bytes as given.
    std::optional<std::string> folder;
    /// Why the command line cannot be used; empty when it can.
    std::string error;
};

/// Reads the words after the program name (Qt's own options already taken out). A relative folder is
/// taken from `currentDirectory`; a word that names no folder is an error.
WindowArguments ParseWindowArguments(const std::vector<std::string>& words, const std::string& currentDirectory);

/// What --help prints.
std::string WindowUsage();

} // namespace versweep
