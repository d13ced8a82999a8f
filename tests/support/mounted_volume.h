// A file system of its own mounted inside a temporary folder, for entries that live on another volume.
#pragma once

#include <string>

namespace versweep::test {

class TempDir;

class MountedVolume
{
public:
    enum class Kind
    {
        Ext4Image, ///< an ext4 image on a loop device: a volume that keeps its own trash
        Tmpfs,     ///< memory-backed, which the desktop's trash refuses as a system mount
    };

    /// Mounts a new volume at `dir` / "volume" (root only); SkipReason tells why when that fails.
    MountedVolume(const TempDir& dir, Kind kind);
    ~MountedVolume();
    MountedVolume(const MountedVolume&) = delete;
    MountedVolume& operator=(const MountedVolume&) = delete;

    /// Empty when mounted, else why the volume could not be had.
    const std::string& SkipReason() const { return m_skipReason; }
    /// The mount point.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::string m_skipReason;
};

} // namespace versweep::test
