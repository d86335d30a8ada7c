#include "platform/WholeFile.h"

#include "platform/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace folyant::wholefile {

namespace {
bool writeAll(int fd, const std::string& content)
{
    for (std::size_t done = 0; done < content.size();) {
        const ssize_t put = io::write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Writes, syncs and closes fd; false when any of it failed.
bool finish(int fd, const std::string& content, mode_t mode)
{
    bool good = ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    good = ::close(fd) == 0 && good;
    return good;
}
} // namespace

std::optional<std::string> read(const std::string& path, bool followLinks)
{
    const int fd
        = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return std::nullopt;
    }
    std::string content;
    char buffer[16384];
    for (;;) {
        const ssize_t got = io::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int reason = errno;
            ::close(fd);
            errno = reason;
            return std::nullopt;
        }
        if (got == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return content;
}

bool createNew(const std::string& path, const std::string& content, mode_t mode)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (finish(fd, content, mode))
        return true;
    std::remove(path.c_str());
    return false;
}

bool replace(const std::string& path, const std::string& content, mode_t mode)
{
    std::string partial = path + ".XXXXXX";
    const int fd = ::mkstemp(partial.data());
    if (fd < 0)
        return false;
    if (finish(fd, content, mode) && io::rename(partial.c_str(), path.c_str()) == 0)
        return true;
    std::remove(partial.c_str());
    return false;
}

} // namespace folyant::wholefile
