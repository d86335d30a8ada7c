#include "platform/Shell.h"

#include "platform/Process.h"

#include <optional>
#include <thread>

namespace folyant {

bool XdgShell::open(const std::string& path)
{
    const auto program = process::onPath("xdg-open");
    if (!program)
        return false;
    int error = 0;
    const pid_t child
        = process::start({*program, {"xdg-open", process::pathArgument(path)}, std::nullopt}, error);
    if (child < 0)
        return false;
    // Not waited for: the opener may stay as long as the document is open.
    // Collected when it ends, so that it does not linger as a zombie.
    std::thread([child] { process::wait(child); }).detach();
    return true;
}

} // namespace folyant
