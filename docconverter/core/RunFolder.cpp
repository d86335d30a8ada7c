#include "docconverter/core/RunFolder.h"

#include "platform/Folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace folyant::docconverter {

RunFolder::RunFolder(const std::string& prefix)
{
    std::string pattern = folders::tempFolder() + "/" + prefix + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return;
    m_lock = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (m_lock < 0 || ::flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        ::rmdir(pattern.c_str());
        return;
    }
    m_path = pattern;
}

RunFolder::~RunFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
    if (m_lock >= 0)
        ::close(m_lock);
}

void RunFolder::removeStale(const std::string& prefix)
{
    const std::string temp = folders::tempFolder();
    const std::string start = prefix + "-";
    std::vector<std::string> stale;
    if (DIR* listing = ::opendir(temp.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name.compare(0, start.size(), start) != 0)
                continue;
            std::string path = temp;
            path += "/";
            path += name;
            // Only a real folder of the user's own that nobody holds.
            const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0)
                continue;
            struct stat info { };
            if (::fstat(fd, &info) == 0 && info.st_uid == ::getuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
                stale.push_back(path);
            ::close(fd);
        }
        ::closedir(listing);
    }
    for (const std::string& path : stale) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

} // namespace folyant::docconverter
