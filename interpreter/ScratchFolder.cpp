#include "interpreter/ScratchFolder.h"

#include "platform/Folders.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace folyant::gs {

namespace {
constexpr const char* kVariable = "TMPDIR";
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = folders::tempFolder() + "/folyant-gs-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return;
    m_path = pattern;
    if (const char* previous = std::getenv(kVariable))
        m_previous = previous;
    setenv(kVariable, m_path.c_str(), 1);
}

ScratchFolder::~ScratchFolder()
{
    if (m_path.empty())
        return;
    if (m_previous)
        setenv(kVariable, m_previous->c_str(), 1);
    else
        unsetenv(kVariable);

    // Only files can appear here: the interpreter makes no folders.
    if (DIR* folder = opendir(m_path.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                unlinkat(dirfd(folder), entry->d_name, 0);
        }
        closedir(folder);
    }
    rmdir(m_path.c_str());
}

} // namespace folyant::gs
