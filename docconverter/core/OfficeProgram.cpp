#include "docconverter/core/OfficeProgram.h"

#include "platform/Folders.h"
#include "platform/Process.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

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

std::optional<std::string> OfficeProgram::locate()
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

OfficeProgram::OfficeProgram(std::string program, int limitMilliseconds)
    : m_program(std::move(program))
    , m_limit(limitMilliseconds)
    , m_profile(kOfficeProfilePrefix)
{
}

pid_t OfficeProgram::start(const std::vector<std::string>& arguments)
{
    if (m_profile.path().empty())
        return -1;
    std::vector<std::string> argv{m_program, "--headless", "--norestore", "--nologo", "--nodefault",
        "-env:UserInstallation=file://" + m_profile.path()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // What it prints about its work is no message of ours.
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    int error = 0;
    const pid_t pid = process::start({m_program, argv, printingEnvironment(), -1, quiet, true}, error);
    if (quiet >= 0)
        ::close(quiet);
    return pid;
}

bool OfficeProgram::run(const std::vector<std::string>& arguments, const std::function<bool()>& cancelled)
{
    const pid_t pid = start(arguments);
    if (pid < 0)
        return false;
    waitForProgram(pid, m_limit, cancelled);
    return true;
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
