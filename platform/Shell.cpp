#include "platform/Shell.h"

#include "platform/Process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace folyant {

bool XdgShell::open(const std::string& path)
{
    std::string target = process::pathArgument(path);
    char program[] = "xdg-open";
    char* argv[] = {program, target.data(), nullptr};
    pid_t child = -1;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    // Not waited for: the opener may stay as long as the document is open.
    // Collected when it ends, so that it does not linger as a zombie.
    std::thread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    }).detach();
    return true;
}

} // namespace folyant
