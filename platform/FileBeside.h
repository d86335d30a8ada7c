#pragma once

#include <sys/types.h>

#include <string>

namespace folyant {

// The permissions a new file asked to have mode gets under the process's
// umask.
mode_t newFileMode(mode_t mode = 0666);

// A new, empty file under a name nobody else has had: the "XXXXXX" of
// pattern, which ends in suffixLength characters after them, made unique and
// the file created exclusively with mode under the umask. Its name, or empty
// when none could be made (errno then tells why). Who removes it is the
// caller's choice: FileBeside for a file of one scope.
std::string makeUniqueFile(std::string pattern, std::size_t suffixLength, mode_t mode);

// A new file for a target path, made where other users may write (a shared
// folder, /tmp): created exclusively beside the target under a name nobody
// else has had (TARGET-STEM-XXXXXX plus a suffix, mkstemp in the target's
// folder), so that nothing someone planted there is ever read or written as
// ours. commit() renames it over the target, which replaces whatever is there
// (a symbolic link included) instead of writing through it; a file never
// committed is removed when this goes.
class FileBeside {
public:
    // stemOf: the target path whose folder and name (without its last four
    // characters when they are ".pdf" or ".tmp") name the file; mode: its
    // permissions, as the process's umask leaves them.
    FileBeside(const std::string& stemOf, const std::string& suffix, mode_t mode);
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    // Empty when no file could be made; errno then tells why.
    const std::string& path() const { return m_path; }
    // Renames the file over target. False (errno telling why) when it could
    // not; the file is then removed as usual.
    bool commit(const std::string& target);

private:
    std::string m_path;
    bool m_committed = false;
};

} // namespace folyant
