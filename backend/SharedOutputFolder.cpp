#include "backend/SharedOutputFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace folyant::backend {

bool isSharedOutputFolder(const std::string& configured)
{
    return !configured.empty() && configured.front() == '/';
}

bool prepareSharedOutputFolder(const std::string& folder, std::string& reason)
{
    struct stat info { };
    if (::stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return true;
        reason = "it is not a folder";
        return false;
    }
    int parent = ::open("/", O_DIRECTORY | O_RDONLY | O_CLOEXEC);
    for (std::size_t from = 1; parent >= 0 && from < folder.size();) {
        const std::size_t to = std::min(folder.find('/', from), folder.size());
        const std::string name = folder.substr(from, to - from);
        from = to + 1;
        if (name.empty() || name == ".")
            continue;
        const bool last = from >= folder.size();
        struct stat above { };
        if (::fstatat(parent, name.c_str(), &above, 0) != 0 && errno == ENOENT
            && (::fstat(parent, &above) != 0 || above.st_uid != 0 || (above.st_mode & 022) != 0)) {
            reason = "a folder above it can be written by others than root; an administrator must create it";
            ::close(parent);
            return false;
        }
        if (::mkdirat(parent, name.c_str(), 0700) == 0) {
            const int made = ::openat(parent, name.c_str(), O_DIRECTORY | O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            // (fchmod, unlike mkdir, is not narrowed by the umask.)
            if (made < 0 || ::fchmod(made, last ? 01777 : 0755) != 0) {
                reason = std::strerror(errno);
                if (made >= 0)
                    ::close(made);
                ::close(parent);
                return false;
            }
            ::close(parent);
            parent = made;
            continue;
        }
        if (errno == EEXIST) {
            const int next = ::openat(parent, name.c_str(), O_DIRECTORY | O_RDONLY | O_CLOEXEC);
            ::close(parent);
            parent = next;
            continue;
        }
        reason = std::strerror(errno);
        ::close(parent);
        return false;
    }
    if (parent < 0) {
        reason = std::strerror(errno);
        return false;
    }
    ::close(parent);
    return true;
}

} // namespace folyant::backend
