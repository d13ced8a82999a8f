// A temporary folder that tests fill with files, folders and links; removed with everything in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace versweep::test {

class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The folder's absolute path, without a trailing separator.
    const std::string& Path() const { return m_path; }
    /// Path(), the system's separator, then `relative` (on Windows with each '/' written as '\\').
    std::string operator/(const std::string& relative) const;

    /// Creates the folder and any missing parents below Path().
    void MakeDir(const std::string& relative) const;
    /// Creates (or replaces) a file of `size` bytes, making parent folders as needed.
    void MakeFile(const std::string& relative, std::uint64_t size = 0) const;
    /// Creates a symbolic link at `relative` pointing to `target` (taken as is); not on Windows, where a test
    /// cannot count on the right to make one.
    void MakeSymlink(const std::string& relative, const std::string& target) const;
    /// Sets the permission bits of an entry below Path(); on Windows only the owner's write bit, as the
    /// read-only attribute.
    void Chmod(const std::string& relative, unsigned mode) const;

private:
    std::string m_path;
};

/// True where TempDir makes symbolic links and names of any bytes but '/' and NUL (POSIX systems); a Windows
/// test has neither.
bool LinksAndAnyNames();

/// Every path below `folder` with its inode number (on Windows its file index), sorted, links not followed:
/// equal trees were not touched, and entries that come back with their numbers were moved, never copied.
std::vector<std::string> TreeOf(const std::string& folder);

} // namespace versweep::test
