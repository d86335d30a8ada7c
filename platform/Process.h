#pragma once

#include <sys/types.h>

#include <initializer_list>
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

// Signal handlers are installed here alone. A handler does only what is safe
// in one (stores a number, writes a byte), and none of these asks for
// SA_RESTART: a blocking read returns with EINTR, so that the run notices.

// The signal is ignored, also by the programs this process starts.
void ignoreSignal(int number);
// The handler runs for each of the signals, with the extra sigaction flags.
void handleSignals(std::initializer_list<int> numbers, void (*handler)(int), int flags = 0);
// Each of the signals gets its default action back.
void defaultSignals(std::initializer_list<int> numbers);

// The self-pipe: each of the signals is recorded (the last one counts) and its
// number written as one byte into a pipe, so that the program reacts in its
// own time, by polling caught(), in an event loop or on a thread that reads
// readEnd(). One at a time per process; its signals get their default action
// back when it ends, and what was caught stays caught.
class SignalCatch final {
public:
    explicit SignalCatch(std::initializer_list<int> numbers);
    ~SignalCatch();

    SignalCatch(const SignalCatch&) = delete;
    SignalCatch& operator=(const SignalCatch&) = delete;

    // False when no pipe could be made; the signals are recorded all the same.
    bool isOpen() const { return m_pipe[0] >= 0; }
    int readEnd() const { return m_pipe[0]; }
    // Wakes the reader with a 0 byte, which no signal writes.
    void wake() const;

    // The last signal caught, 0 for none; safe on any thread.
    static int caught();

private:
    std::vector<int> m_numbers;
    int m_pipe[2] = {-1, -1};
};

} // namespace folyant::process
