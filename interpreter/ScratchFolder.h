#pragma once

#include <optional>
#include <string>

namespace folyant::gs {

// A private folder (mode 0700) that stands as the process's TMPDIR while it
// lives. The interpreter lets a job write and delete files in its temporary
// folder even in SAFER mode; with the shared one that would be every user's
// /tmp. The folder and whatever the interpreter left in it go with the
// object, and the previous TMPDIR comes back.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when no folder could be made; TMPDIR is then left alone.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::optional<std::string> m_previous;
};

} // namespace folyant::gs
