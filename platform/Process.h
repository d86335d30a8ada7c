#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace folyant::process {

// What to start: a program by its path, with its whole argument vector
// (argv[0] included) and never through a shell.
struct Launch {
    std::string program;
    std::vector<std::string> arguments;
    // The environment of the new process; nothing: the caller's own.
    std::optional<std::vector<std::string>> environment;
    // Becomes the new process's standard input; -1 leaves the caller's.
    int input = -1;
    // Becomes its standard output; -1 leaves the caller's.
    int output = -1;
    // Becomes its standard error; -1 leaves the caller's.
    int errorOutput = -1;
    // Leads a process group of its own, so that terminate() reaches the
    // programs it starts in turn.
    bool ownGroup = false;
    // The signal the new process gets when its starter ends, however it ends
    // (Linux's parent-death signal); 0 for none. The process is then forked:
    // only for a starter with a single thread.
    int deathSignal = 0;
};

// A file's name as an argument that no program takes for a switch: a name
// that begins with "-" gets "./" before it (not every program knows "--").
std::string pathArgument(const std::string& path);

// The new process's id, or -1 with error set to the reason (an errno value).
pid_t start(const Launch& launch, int& error);

// Waits for the process to end and returns its wait status. With a time limit
// (milliseconds, 0 or more), nothing when the limit passed first; the process
// then keeps running. A signal that interrupts the wait does not end it.
std::optional<int> wait(pid_t pid, int limitMilliseconds = -1);

// Asks the process (and its group, when it leads one) to end (SIGTERM), ends
// them (SIGKILL) if it has not within the grace period, and collects it.
// Returns its wait status.
int terminate(pid_t pid, int graceMilliseconds);

} // namespace folyant::process
