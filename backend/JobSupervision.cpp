#include "backend/JobSupervision.h"

#include <cups/backend.h>

#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

namespace folyant::backend {

namespace {
constexpr auto kPoll = std::chrono::milliseconds(20);
// What the supervisor allows the job beyond the converter's own limit: the
// converter's grace, the backend's kill and the clean-up after it.
constexpr int kSupervisorMarginMilliseconds = 30000;
constexpr int kSupervisorGraceMilliseconds = 10000;

void signalProcess(pid_t child, bool group, int number)
{
    if (!group || ::kill(-child, number) != 0)
        ::kill(child, number);
}
} // namespace

WatchedEnd watchProcess(
    pid_t child, int limitMilliseconds, int graceMilliseconds, bool (*cancelled)(), bool group)
{
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    Clock::time_point askedAt{};
    bool asked = false;
    WatchedEnd end;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child) {
            end.status = status;
            return end;
        }
        if (ended < 0 && errno != EINTR)
            return end;
        const auto now = Clock::now();
        const bool pastLimit
            = limitMilliseconds >= 0 && now - started >= std::chrono::milliseconds(limitMilliseconds);
        if (!asked && ((cancelled && cancelled()) || pastLimit)) {
            // Asked first, so that it can remove what it was writing.
            signalProcess(child, group, SIGTERM);
            signalProcess(child, group, SIGCONT);
            asked = true;
            askedAt = now;
            end.pastTimeLimit = pastLimit;
        }
        if (asked && now - askedAt >= std::chrono::milliseconds(graceMilliseconds)) {
            // SIGKILL ends a stopped process as well as a running one.
            signalProcess(child, group, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
            end.status = status;
            end.killed = true;
            return end;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

bool becomeUser(const passwd& user)
{
    if (::geteuid() != 0)
        return ::getuid() == user.pw_uid;
    return ::initgroups(user.pw_name, user.pw_gid) == 0 && ::setgid(user.pw_gid) == 0
        && ::setuid(user.pw_uid) == 0 && (user.pw_uid == 0 || ::setuid(0) != 0); // root must be gone for good
}

int runAsUser(
    const passwd& user, int limitMilliseconds, bool (*cancelled)(), const std::function<int()>& work)
{
    const auto actAsUser = [&user]() {
        if (becomeUser(user))
            return true;
        std::fprintf(
            stderr, "ERROR: Cannot act as the job's user \"%s\"; nothing was written.\n", user.pw_name);
        return false;
    };
    if (::geteuid() != 0)
        return actAsUser() ? work() : CUPS_BACKEND_CANCEL;

    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        std::fprintf(stderr, "ERROR: Cannot start the job's process: %s\n", std::strerror(errno));
        return CUPS_BACKEND_FAILED;
    }
    if (child == 0) {
        ::setpgid(0, 0);
        if (!actAsUser())
            ::_exit(CUPS_BACKEND_CANCEL);
        // A job whose backend was killed outright ends as if cancelled. (Set
        // only now: a change of identity clears it.)
        if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent)
            ::_exit(CUPS_BACKEND_CANCEL);
        ::_exit(work());
    }
    ::setpgid(child, child); // whichever of the two runs first
    const WatchedEnd end
        = watchProcess(child, limitMilliseconds < 0 ? -1 : limitMilliseconds + kSupervisorMarginMilliseconds,
            kSupervisorGraceMilliseconds, cancelled, true);
    if (end.pastTimeLimit) {
        std::fprintf(stderr, "ERROR: The job ran past its time limit and was ended.\n");
        return CUPS_BACKEND_CANCEL;
    }
    if (end.killed) {
        std::fprintf(stderr, "ERROR: The job was cancelled.\n");
        return CUPS_BACKEND_CANCEL;
    }
    if (end.status >= 0 && WIFEXITED(end.status))
        return WEXITSTATUS(end.status);
    std::fprintf(stderr, "ERROR: The job's process ended abnormally.\n");
    return CUPS_BACKEND_CANCEL;
}

} // namespace folyant::backend
