#include "docconverter/core/OfficeProgram.h"

#include "platform/Process.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace folyant::docconverter {

namespace {
constexpr int kGraceMilliseconds = 3000;
constexpr int kPollMilliseconds = 100;

// The office's program where PATH has one that may be run.
std::optional<std::string> runnableOnPath(const std::string& name)
{
    auto found = process::onPath(name);
    return found && ::access(found->c_str(), X_OK) == 0 ? found : std::nullopt;
}
} // namespace

std::optional<std::string> locateOffice()
{
    if (auto found = runnableOnPath("soffice"))
        return found;
    return runnableOnPath("libreoffice");
}

std::vector<std::string> printingEnvironment()
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "LPDEST=", 7) != 0 && std::strncmp(*entry, "PRINTER=", 8) != 0)
            environment.emplace_back(*entry);
    return environment;
}

bool waitForProgram(pid_t pid, int limitMilliseconds, const std::function<bool()>& cancelled)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (process::wait(pid, kPollMilliseconds))
            return true;
        const auto spent
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (cancelled() || (limitMilliseconds >= 0 && spent.count() >= limitMilliseconds)) {
            process::terminate(pid, kGraceMilliseconds);
            return false;
        }
    }
}

} // namespace folyant::docconverter
