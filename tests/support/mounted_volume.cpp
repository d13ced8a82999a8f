// A file system of its own mounted inside a temporary folder, for entries that live on another volume.
#include "mounted_volume.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

extern char** environ;

namespace versweep::test {

namespace {

// Runs a program found on PATH with its output discarded; true when it exits with 0.
bool Run(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const bool started = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    ::posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return started && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

MountedVolume::MountedVolume(const TempDir& dir, Kind kind) : m_path(dir / "volume")
{
    if (::geteuid() != 0) {
        m_skipReason = "mounting a second file system needs root";
        return;
    }
    dir.MakeDir("volume");
    if (kind == Kind::Tmpfs) {
        if (::mount("versweep-test", m_path.c_str(), "tmpfs", 0, "size=8m") != 0)
            m_skipReason = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return;
    }
    const std::string image = dir / "volume.img";
    dir.MakeFile("volume.img", 16 * 1024 * 1024);
    if (!Run({"mkfs.ext4", "-q", "-F", image}))
        m_skipReason = "mkfs.ext4 (Debian package e2fsprogs) cannot make a file system image";
    else if (!Run({"mount", "-o", "loop", image, m_path}))
        m_skipReason = "cannot mount a file system image on a loop device";
}

MountedVolume::~MountedVolume()
{
    // A loop device set up by mount(8) is released with the mount.
    if (m_skipReason.empty())
        ::umount2(m_path.c_str(), MNT_DETACH);
}

} // namespace versweep::test
