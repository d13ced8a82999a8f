// A temporary folder that tests fill with files, folders and links; removed with everything in it.
#include "temp_dir.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace versweep::test {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void MakeParents(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string parent = path.substr(0, slash);
        if (::mkdir(parent.c_str(), 0755) != 0 && errno != EEXIST)
            Fail("mkdir", parent);
    }
}

} // namespace

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/versweep-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr)
        Fail("mkdtemp", pattern);
    m_path = buffer.data();
}

TempDir::~TempDir()
{
    // Give back search and write rights first, so folders a test locked can be removed.
    std::error_code error;
    ::chmod(m_path.c_str(), 0700);
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            ::chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(m_path, error);
}

std::string TempDir::operator/(const std::string& relative) const
{
    return m_path + "/" + relative;
}

void TempDir::MakeDir(const std::string& relative) const
{
    const std::string path = *this / relative;
    MakeParents(path);
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        Fail("mkdir", path);
}

void TempDir::MakeFile(const std::string& relative, std::uint64_t size) const
{
    const std::string path = *this / relative;
    MakeParents(path);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        Fail("open", path);
    // A sparse file: large sizes cost no disk space.
    const bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ::close(fd);
    if (!ok)
        Fail("ftruncate", path);
}

void TempDir::MakeSymlink(const std::string& relative, const std::string& target) const
{
    const std::string path = *this / relative;
    MakeParents(path);
    if (::symlink(target.c_str(), path.c_str()) != 0)
        Fail("symlink", path);
}

void TempDir::Chmod(const std::string& relative, unsigned mode) const
{
    const std::string path = *this / relative;
    if (::chmod(path.c_str(), static_cast<mode_t>(mode)) != 0)
        Fail("chmod", path);
}

bool LinksAndAnyNames()
{
    return true;
}

std::vector<std::string> TreeOf(const std::string& folder)
{
    std::vector<std::string> lines;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::end(it); it.increment(error)) {
        struct stat info
        {};
        ::lstat(it->path().c_str(), &info);
        lines.push_back(it->path().string() + " " + std::to_string(info.st_ino));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace versweep::test
