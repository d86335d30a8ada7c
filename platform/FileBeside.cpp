#include "platform/FileBeside.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace folyant {

namespace {
std::string stemFor(const std::string& path)
{
    std::string stem = path;
    if (stem.size() > 4) {
        std::string ending = stem.substr(stem.size() - 4);
        for (char& c : ending)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (ending == ".pdf" || ending == ".tmp")
            stem.erase(stem.size() - 4);
    }
    // The name of a file the interpreter writes must not read as a page
    // template; the folder's own "%" is the interpreter arguments' business.
    const auto slash = stem.rfind('/');
    for (std::size_t at = slash == std::string::npos ? 0 : slash + 1; at < stem.size(); ++at)
        if (stem[at] == '%')
            stem[at] = '_';
    return stem;
}
} // namespace

mode_t newFileMode(mode_t mode)
{
    // The process's umask, read without changing it (umask(2) would, for
    // every thread at once).
    std::FILE* status = std::fopen("/proc/self/status", "re");
    char line[256];
    mode_t mask = 022;
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "Umask:", 6) == 0) {
            mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8));
            break;
        }
    if (status)
        std::fclose(status);
    return mode & ~mask;
}

std::string makeUniqueFile(std::string pattern, std::size_t suffixLength, mode_t mode)
{
    const int fd = ::mkostemps(pattern.data(), static_cast<int>(suffixLength), O_CLOEXEC);
    if (fd < 0)
        return {};
    const bool ready = ::fchmod(fd, newFileMode(mode)) == 0;
    const int reason = errno;
    ::close(fd);
    if (!ready) {
        ::unlink(pattern.c_str());
        errno = reason;
        return {};
    }
    return pattern;
}

FileBeside::FileBeside(const std::string& stemOf, const std::string& suffix, mode_t mode)
    : m_path(makeUniqueFile(stemFor(stemOf) + "-XXXXXX" + suffix, suffix.size(), mode))
{
}

FileBeside::~FileBeside()
{
    if (!m_path.empty() && !m_committed)
        ::unlink(m_path.c_str());
}

bool FileBeside::commit(const std::string& target)
{
    if (m_path.empty() || std::rename(m_path.c_str(), target.c_str()) != 0)
        return false;
    m_committed = true;
    return true;
}

} // namespace folyant
