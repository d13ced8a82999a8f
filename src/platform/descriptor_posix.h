// Owned POSIX descriptors and directory streams, closed when they go; shared by the platform layer's POSIX
// sources.
#pragma once

#include <utility>

#include <dirent.h>
#include <unistd.h>

namespace versweep::platform {

class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        Descriptor old(std::exchange(m_fd, std::exchange(other.m_fd, -1)));
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    /// Gives the descriptor up without closing it.
    int Release() { return std::exchange(m_fd, -1); }
    bool Close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

/// Closes a directory stream, for std::unique_ptr<DIR, DirCloser>.
struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace versweep::platform
