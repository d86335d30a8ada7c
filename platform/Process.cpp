#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace folyant::process {

namespace {
std::atomic<int> g_caught{0};
std::atomic<int> g_catchWriteEnd{-1};

extern "C" void recordSignal(int number)
{
    const int savedErrno = errno;
    g_caught.store(number);
    const char byte = static_cast<char>(number);
    // Never blocks: a full pipe already holds a wake-up.
    if (const int writeEnd = g_catchWriteEnd.load(); writeEnd >= 0) [[maybe_unused]]
        const auto written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> list;
    list.reserve(strings.size() + 1);
    for (std::string& text : strings)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}
// Waits for a child through a descriptor of its own, which no other process
// can come to mean; nothing where the kernel has none to give (before 5.3).
std::optional<int> waitThroughDescriptor(pid_t pid, int limitMilliseconds)
{
    const auto descriptor = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (descriptor < 0)
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMilliseconds);
    int ready = 0;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ended{descriptor, POLLIN, 0};
        ready = ::poll(&ended, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready >= 0 || errno != EINTR)
            break;
    }
    ::close(descriptor);
    // A poll that failed says nothing of the child: the caller polls instead.
    return ready < 0 ? std::nullopt : std::optional<int>(ready);
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
    const pid_t child = process::fork(ChildHandlers::Default);
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
    if (const auto ready = waitThroughDescriptor(pid, limitMilliseconds)) {
        if (*ready == 0)
            return std::nullopt;
        while (waitpid(pid, &status, 0) < 0)
            if (errno != EINTR)
                return -1;
        return status;
    }
    // Without process descriptors a short poll, cheap beside what the
    // processes we start do.
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

void signal(pid_t pid, int number, bool group)
{
    if (!group || ::kill(-pid, number) != 0)
        ::kill(pid, number);
}

pid_t fork(ChildHandlers handlers)
{
    sigset_t all;
    sigset_t caller;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &caller);
    const pid_t child = ::fork();
    if (child == 0 && handlers == ChildHandlers::Default) {
        // As exec would: handlers go, ignored signals stay ignored.
        for (int number = 1; number < NSIG; ++number) {
            struct sigaction current { };
            if (::sigaction(number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN
                || current.sa_handler == SIG_DFL)
                continue;
            current.sa_handler = SIG_DFL;
            current.sa_flags = 0;
            ::sigaction(number, &current, nullptr);
        }
    }
    const int reason = errno;
    ::pthread_sigmask(SIG_SETMASK, &caller, nullptr);
    errno = reason;
    return child;
}

int terminate(pid_t pid, int graceMilliseconds)
{
    const bool leadsGroup = getpgid(pid) == pid;
    signal(pid, SIGTERM, leadsGroup);
    if (const auto status = wait(pid, graceMilliseconds)) {
        if (leadsGroup)
            kill(-pid, SIGKILL); // what it started must not outlive it
        return *status;
    }
    signal(pid, SIGKILL, leadsGroup);
    return wait(pid).value_or(-1);
}

void ignoreSignal(int number)
{
    struct sigaction action { };
    action.sa_handler = SIG_IGN;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(number, &action, nullptr);
}

void handleSignals(std::initializer_list<int> numbers, void (*handler)(int), int flags)
{
    struct sigaction action { };
    action.sa_handler = handler;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    for (const int number : numbers)
        ::sigaction(number, &action, nullptr);
}

void defaultSignals(std::initializer_list<int> numbers)
{
    handleSignals(numbers, SIG_DFL);
}

SignalCatch::SignalCatch(std::initializer_list<int> numbers)
    : m_numbers(numbers)
{
    if (::pipe2(m_pipe, O_CLOEXEC) == 0) {
        ::fcntl(m_pipe[1], F_SETFL, ::fcntl(m_pipe[1], F_GETFL) | O_NONBLOCK);
        g_catchWriteEnd.store(m_pipe[1]);
    } else {
        m_pipe[0] = m_pipe[1] = -1;
    }
    handleSignals(numbers, recordSignal);
}

SignalCatch::~SignalCatch()
{
    for (const int number : m_numbers)
        defaultSignals({number});
    g_catchWriteEnd.store(-1);
    if (m_pipe[0] >= 0) {
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
    }
}

void SignalCatch::wake() const
{
    const char byte = 0;
    if (m_pipe[1] >= 0) [[maybe_unused]]
        const auto written = ::write(m_pipe[1], &byte, 1);
}

int SignalCatch::caught()
{
    return g_caught.load();
}

std::optional<std::string> onPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t from = 0; from <= folders.size();) {
        const std::size_t to = std::min(folders.find(':', from), folders.size());
        const std::string folder = folders.substr(from, to - from);
        from = to + 1;
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat info { };
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            return candidate;
    }
    return std::nullopt;
}

} // namespace folyant::process
