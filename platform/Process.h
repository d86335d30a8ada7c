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

// The first regular file of this name in a folder of $PATH (an empty entry
// is the current folder, an unset PATH /usr/local/bin:/usr/bin:/bin), or
// nothing; whether it may be run is the caller's question.
std::optional<std::string> onPath(const std::string& name);

// Waits for the process to end and returns its wait status. With a time limit
// (milliseconds, 0 or more), nothing when the limit passed first; the process
// then keeps running. A signal that interrupts the wait does not end it.
std::optional<int> wait(pid_t pid, int limitMilliseconds = -1);

// Sends a signal to a child of this process not collected yet (whose id no
// other process can have taken), or to its group when group is set and it
// leads one.
void signal(pid_t pid, int number, bool group = false);

// What a forked child does with the signal handlers it inherits.
enum class ChildHandlers {
    Default, // every handler back to the default, for a child that execs
    Kept, // the caller's, for a child that runs the caller's own code
};

// fork() with every signal blocked across it, so that none is handled in the
// child before it has its own handlers (ChildHandlers) and none is lost to
// the parent; both then get the caller's signal mask back.
pid_t fork(ChildHandlers handlers);

// Asks the process (and its group, when it leads one) to end (SIGTERM), ends
// them (SIGKILL) if it has not within the grace period, and collects it.
// Returns its wait status.
int terminate(pid_t pid, int graceMilliseconds);

} // namespace folyant::process
