#include "converter/core/OutputFile.h"

#include "platform/FileBeside.h"
#include "platform/FileIo.h"
#include "platform/Folders.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace folyant::converter {

namespace {
// rename() that never replaces: where the file system cannot say so in one
// call, a hard link does the same.
bool renameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}
} // namespace

std::string makeWorkingFile(const std::string& target)
{
    // Short and free of "%", whatever the target's name: the interpreter
    // reads it as a path and nothing else.
    // Private until it is published or kept, which give it its mode.
    return makeUniqueFile(folders::folderOf(target) + "/.folyant-XXXXXX.pdf", 4, 0600);
}

bool publish(const std::string& working, const std::string& target)
{
    struct stat existing { };
    const mode_t mode = ::lstat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)
            && existing.st_uid == ::geteuid()
        ? existing.st_mode & 07777
        : newFileMode();
    if (::chmod(working.c_str(), mode) != 0)
        return false;
    return io::rename(working.c_str(), target.c_str()) == 0;
}

std::string taggedNameFor(const std::string& target, const std::string& tag)
{
    std::string stem = target;
    if (stem.size() > 4
        && (stem.compare(stem.size() - 4, 4, ".pdf") == 0 || stem.compare(stem.size() - 4, 4, ".PDF") == 0))
        stem.erase(stem.size() - 4);
    return stem + " (" + tag + ").pdf";
}

std::string keepAs(const std::string& working, const std::string& target, const std::string& tag)
{
    if (::chmod(working.c_str(), newFileMode()) != 0)
        return {};
    for (int number = 1; number < 1000; ++number) {
        std::string kept = taggedNameFor(target, number == 1 ? tag : tag + " " + std::to_string(number));
        if (renameNoReplace(working, kept))
            return kept;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

} // namespace folyant::converter
