#include "backend/JobSupervision.h"

#include "platform/Process.h"

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

namespace folyant::backend {

namespace {
// How often a cancel is looked for while the child runs.
constexpr int kPollMilliseconds = 20;
// What the supervisor allows the job beyond the converter's own limit: the
// converter's grace, the backend's kill and the clean-up after it.
constexpr int kSupervisorMarginMilliseconds = 30000;
constexpr int kSupervisorGraceMilliseconds = 10000;
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
        if (const auto status = process::wait(child, kPollMilliseconds)) {
            end.status = *status;
            return end;
        }
        const auto now = Clock::now();
        const bool pastLimit
            = limitMilliseconds >= 0 && now - started >= std::chrono::milliseconds(limitMilliseconds);
        if (!asked && ((cancelled && cancelled()) || pastLimit)) {
            // Asked first, so that it can remove what it was writing.
            process::signal(child, SIGTERM, group);
            process::signal(child, SIGCONT, group);
            asked = true;
            askedAt = now;
            end.pastTimeLimit = pastLimit;
        }
        if (asked && now - askedAt >= std::chrono::milliseconds(graceMilliseconds)) {
            // SIGKILL ends a stopped process as well as a running one.
            process::signal(child, SIGKILL, group);
            end.status = process::wait(child).value_or(-1);
            end.killed = true;
            return end;
        }
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
    // The work keeps the backend's handlers: a cancel reaches it as a flag.
    const pid_t child = process::fork(process::ChildHandlers::Kept);
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
