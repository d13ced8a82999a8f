// Directory listing and file tests of the operating-system layer (POSIX now, Windows later).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_error.h"

namespace versweep::platform {

/// Attribute bits of a listed entry, with the values the Windows file enumeration uses.
enum Attribute : std::uint32_t
{
    kAttrReadOnly = 1,
    kAttrHidden = 2,
    kAttrSystem = 4,
    kAttrVolumeLabel = 8,
    kAttrDirectory = 16,
    kAttrArchive = 32,
    kAttrReparsePoint = 1024,
};

/// One entry directly inside a listed folder.
struct DirEntry
{
    std::string name;             ///< raw bytes, no path
    std::uint32_t attributes = 0; ///< Attribute bits
    std::uint64_t size = 0;       ///< bytes for files, 0 for folders
};

/// Lists the entries directly inside `folder`, "." and ".." left out, in the order the file system
/// returns them. Symbolic links are reported as themselves (never followed), with kAttrReparsePoint
/// and without kAttrDirectory. An entry that vanishes while being listed is left out.
Result<std::vector<DirEntry>> ListDirectory(const std::string& folder);

/// The path of the entry `name` directly inside `folder`: the two joined by one separator.
std::string EntryPath(std::string_view folder, std::string_view name);

/// `path` without trailing separators, which name the same folder; the root keeps its own.
std::string WithoutTrailingSeparators(std::string path);

/// True when `path` names an existing folder (a link to a folder counts).
bool DirectoryExists(const std::string& path);

/// True when `path` names an existing entry that is not a folder (a link to a file counts).
bool FileExists(const std::string& path);

/// The process's current directory.
Result<std::string> CurrentDirectory();

/// Makes `path` the process's current directory.
Status SetCurrentDirectory(const std::string& path);

/// The running executable's absolute path.
Result<std::string> ExecutablePath();

/// The folder part of `path`: all before its last separator, "/" for an entry of the root folder, "."
/// for a bare name.
std::string FolderOf(const std::string& path);

} // namespace versweep::platform
