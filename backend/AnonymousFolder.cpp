#include "backend/AnonymousFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace folyant::backend {

std::string refuseAnonymousFolder(const std::string& folder, uid_t account, gid_t group)
{
    if (folder.empty() || folder.front() != '/')
        return "it is not an absolute path";
    char resolved[PATH_MAX];
    if (!::realpath(folder.c_str(), resolved))
        return std::string("it cannot be used: ") + std::strerror(errno);
    const std::string path = resolved;
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0)
        return std::string("it cannot be used: ") + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return "it is not a folder";
    if (info.st_uid != 0 && info.st_uid != account)
        return std::string("it belongs to neither root nor ") + kAnonymousAccount;
    if ((info.st_mode & S_IWOTH) != 0)
        return "other users can write to it";
    if ((info.st_mode & S_IWGRP) != 0 && info.st_gid != 0 && info.st_gid != group)
        return "a group other than root's and " + std::string(kAnonymousAccount) + "'s can write to it";

    // The folders above: whoever may rename in them may put another folder
    // in this one's place.
    for (std::size_t end = path.rfind('/'); end != std::string::npos; end = path.rfind('/', end - 1)) {
        const std::string above = end == 0 ? "/" : path.substr(0, end);
        if (::lstat(above.c_str(), &info) != 0)
            return "the folder " + above + " above it cannot be used: " + std::strerror(errno);
        const bool othersWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (info.st_mode & S_ISVTX) == 0;
        if (info.st_uid != 0 || othersWrite)
            return "the folder " + above + " above it can be changed by others than root";
        if (end == 0)
            break;
    }
    return {};
}

} // namespace folyant::backend
