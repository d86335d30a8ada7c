#pragma once

#include <sys/types.h>

#include <functional>

struct passwd;

namespace folyant::backend {

// How a watched process ended.
struct WatchedEnd {
    int status = -1; // its wait status; -1 when it could not be collected
    bool pastTimeLimit = false; // asked to end because it ran past its limit
    bool killed = false; // killed because it did not end when asked
};

// Waits for a child that its user can stop (SIGSTOP) or keep from ending:
// nothing it does makes the wait unbounded. Once cancelled() says so, the
// child (its process group when group is set) is asked to end, SIGCONT
// included so that a stopped one hears it, and killed when it has not ended
// within graceMilliseconds. With limitMilliseconds of 0 or more, the same
// happens once that much time has passed.
WatchedEnd watchProcess(
    pid_t child, int limitMilliseconds, int graceMilliseconds, bool (*cancelled)(), bool group = false);

// Takes the user's identity for good: groups, group and user, and no way
// back to root. Without root, only the user's own jobs can be run.
bool becomeUser(const passwd& user);

// Runs a job as its user and returns its backend status. Run as root, the
// work runs in a child process of its own group that takes the user's
// identity, while this process, which the user cannot signal, keeps the job
// within its bounds: a cancel ends the child (and whatever it started) at
// once, whatever state the user put it in, and so does a job that runs past
// limitMilliseconds (when 0 or more). Without root the work runs here.
int runAsUser(
    const passwd& user, int limitMilliseconds, bool (*cancelled)(), const std::function<int()>& work);

} // namespace folyant::backend
