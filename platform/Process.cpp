#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

extern char** environ;

namespace folyant::process {

namespace {
std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> list;
    list.reserve(strings.size() + 1);
    for (std::string& text : strings)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}
// Between fork and exec only what is safe there: system calls. A failure is
// passed back as its errno through a pipe that the exec closes.
pid_t forkWithDeathSignal(const Launch& launch, char** argv, char** envp, int& error)
{
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = errno;
        return -1;
    }
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        // A starter that ended before the signal was set sends none.
        errno = 0;
        bool ready = ::prctl(PR_SET_PDEATHSIG, launch.deathSignal) == 0 && ::getppid() == parent;
        const auto into = [&ready](int from, int to) {
            ready = ready && (from == to ? ::fcntl(to, F_SETFD, 0) == 0 : ::dup2(from, to) == to);
        };
        if (launch.input >= 0)
            into(launch.input, 0);
        if (launch.output >= 0)
            into(launch.output, 1);
        if (launch.errorOutput >= 0)
            into(launch.errorOutput, 2);
        if (launch.ownGroup)
            ready = ready && ::setpgid(0, 0) == 0;
        if (ready)
            ::execve(launch.program.c_str(), argv, envp);
        const int failure = errno != 0 ? errno : ECHILD; // ECHILD: the starter had gone
        [[maybe_unused]] const auto written = ::write(report[1], &failure, sizeof failure);
        ::_exit(127);
    }
    ::close(report[1]);
    if (child < 0) {
        error = errno;
        ::close(report[0]);
        return -1;
    }
    int failure = 0;
    ssize_t got = -1;
    while ((got = ::read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) { }
    ::close(report[0]);
    if (got == sizeof failure) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) { }
        error = failure;
        return -1;
    }
    error = 0;
    return child;
}
} // namespace

std::string pathArgument(const std::string& path)
{
    return path.rfind('-', 0) == 0 ? "./" + path : path;
}

pid_t start(const Launch& launch, int& error)
{
    std::vector<std::string> arguments = launch.arguments;
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<std::string> environment = launch.environment.value_or(std::vector<std::string>{});
    std::vector<char*> envp = pointersTo(environment);
    if (launch.deathSignal != 0)
        return forkWithDeathSignal(launch, argv.data(), launch.environment ? envp.data() : environ, error);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (launch.input >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.input, 0);
    if (launch.output >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.output, 1);
    if (launch.errorOutput >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.errorOutput, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (launch.ownGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t child = -1;
    error = posix_spawn(&child, launch.program.c_str(), &actions, &attributes, argv.data(),
        launch.environment ? envp.data() : environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? child : -1;
}

std::optional<int> wait(pid_t pid, int limitMilliseconds)
{
    int status = 0;
    if (limitMilliseconds < 0) {
        while (waitpid(pid, &status, 0) < 0)
            if (errno != EINTR)
                return -1;
        return status;
    }
    // Processes have no waitable handle here that a time limit could go
    // with; a short poll is cheap beside what the processes we start do.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMilliseconds);
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return status;
        if (ended < 0 && errno != EINTR)
            return -1;
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int terminate(pid_t pid, int graceMilliseconds)
{
    const bool leadsGroup = getpgid(pid) == pid;
    const auto signal = [&](int number) {
        if (!leadsGroup || kill(-pid, number) != 0)
            kill(pid, number);
    };
    signal(SIGTERM);
    if (const auto status = wait(pid, graceMilliseconds)) {
        if (leadsGroup)
            kill(-pid, SIGKILL); // what it started must not outlive it
        return *status;
    }
    signal(SIGKILL);
    return wait(pid).value_or(-1);
}

} // namespace folyant::process
