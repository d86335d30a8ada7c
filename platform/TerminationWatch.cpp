#include "platform/TerminationWatch.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

namespace folyant {

namespace {

std::atomic<int> g_signalled{0};
int g_writeEnd = -1;

constexpr char kQuit = 'q';

// What an ending without destructors must not leave behind, as plain buffers:
// a handler of a crash may touch nothing that could be half changed. An empty
// first byte: none.
using CrashPath = char[4096];
CrashPath g_crashOutput = {};
CrashPath g_crashFolders[2] = {};

// The first byte goes last: a crash in between finds no path, never a
// mixture of two.
void storeForCrash(CrashPath& buffer, const std::string& path)
{
    buffer[0] = '\0';
    if (!path.empty() && path.size() < sizeof buffer) {
        std::memcpy(buffer + 1, path.c_str() + 1, path.size()); // the rest and its terminator
        buffer[0] = path[0];
    }
}

// Empties a folder of files and removes it, with system calls alone.
void removeFolderOfFiles(const char* path)
{
    const int folder = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return;
    alignas(8) char entries[4096];
    for (;;) {
        const long got = ::syscall(SYS_getdents64, folder, entries, sizeof entries);
        if (got <= 0)
            break;
        bool removed = false;
        for (long at = 0; at < got;) {
            struct Entry {
                std::uint64_t inode;
                std::int64_t offset;
                unsigned short length;
                unsigned char type;
                char name[1];
            };
            const auto* entry = reinterpret_cast<const Entry*>(entries + at);
            const char* name = entry->name;
            if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))))
                removed = ::unlinkat(folder, name, 0) == 0 || removed;
            at += entry->length;
        }
        // Removing while reading: read again from the start until only the
        // dots (or what cannot be removed) are left.
        if (!removed)
            break;
        ::lseek(folder, 0, SEEK_SET);
    }
    ::close(folder);
    ::rmdir(path);
}

// Whatever ends the process without its destructors, a crash or the forced
// exit of the watch, removes the partial PDF and the scratch folders so.
void removeLeftovers()
{
    if (g_crashOutput[0] != '\0')
        ::unlink(g_crashOutput);
    for (const CrashPath& folder : g_crashFolders)
        if (folder[0] != '\0')
            removeFolderOfFiles(folder);
}

// A crash (in the interpreter, as a crafted job can cause) leaves no partial
// PDF and no scratch folder behind; the signal then takes its usual course,
// core dump and all.
extern "C" void onCrashSignal(int signo)
{
    removeLeftovers();
    static constexpr char kMessage[] = "The conversion crashed; no PDF was kept.\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    ::raise(signo); // SA_RESETHAND restored the default action
}

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL};

extern "C" void onTerminationSignal(int signo)
{
    const int savedErrno = errno;
    g_signalled.store(signo);
    const char byte = static_cast<char>(signo);
    [[maybe_unused]] const auto written = ::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationWatch::TerminationWatch(int graceMilliseconds)
    : m_grace(graceMilliseconds)
{
    if (::pipe2(m_pipe, O_CLOEXEC) != 0) {
        std::perror("termination pipe");
        return;
    }
    g_writeEnd = m_pipe[1];
    m_thread = std::thread(&TerminationWatch::watch, this);

    struct sigaction action { };
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read of a pipe must return so the GUI thread
    // can notice the request.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A closed terminal must not end a run before it has put back what it
    // changed (the default printer, a font list).
    sigaction(SIGHUP, &action, nullptr);
    // The time limit of a run ends it as a termination request does.
    sigaction(SIGALRM, &action, nullptr);

#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer reports crashes through handlers of its own.
    struct sigaction crash { };
    crash.sa_handler = onCrashSignal;
    sigemptyset(&crash.sa_mask);
    crash.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (const int signo : kCrashSignals)
        sigaction(signo, &crash, nullptr);
#endif
}

TerminationWatch::~TerminationWatch()
{
    if (m_pipe[1] < 0)
        return;
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    signal(SIGALRM, SIG_DFL);
#if !defined(__SANITIZE_ADDRESS__)
    for (const int signo : kCrashSignals)
        signal(signo, SIG_DFL);
#endif
    {
        std::lock_guard lock(m_mutex);
        m_acknowledged = true;
    }
    m_acknowledgedChanged.notify_all();
    [[maybe_unused]] const auto written = ::write(m_pipe[1], &kQuit, 1);
    if (m_thread.joinable())
        m_thread.join();
    g_writeEnd = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

bool TerminationWatch::wasTimeLimit() const
{
    return g_signalled.load() == SIGALRM;
}

bool TerminationWatch::requestedInProcess()
{
    return g_signalled.load() != 0;
}

void TerminationWatch::setPartialOutput(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    storeForCrash(g_crashOutput, path);
}

void TerminationWatch::setScratchFolders(const std::vector<std::string>& folders)
{
    std::lock_guard lock(m_mutex);
    for (std::size_t at = 0; at < std::size(g_crashFolders); ++at)
        storeForCrash(g_crashFolders[at], at < folders.size() ? folders[at] : std::string());
}

void TerminationWatch::setRequestHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_mutex);
    m_requestHandler = std::move(handler);
}

void TerminationWatch::acknowledge()
{
    {
        std::lock_guard lock(m_mutex);
        m_acknowledged = true;
    }
    m_acknowledgedChanged.notify_all();
}

void TerminationWatch::watch()
{
    // The signals go to the run's thread, where they interrupt a blocking
    // read of the job, not to this one.
    sigset_t requests;
    sigemptyset(&requests);
    for (const int signo : {SIGTERM, SIGINT, SIGHUP, SIGALRM})
        sigaddset(&requests, signo);
    pthread_sigmask(SIG_BLOCK, &requests, nullptr);
    for (;;) {
        char byte = 0;
        const auto got = ::read(m_pipe[0], &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || byte == kQuit)
            return;

        std::unique_lock lock(m_mutex);
        if (m_requestHandler)
            m_requestHandler();
        if (m_acknowledgedChanged.wait_for(
                lock, std::chrono::milliseconds(m_grace), [this] { return m_acknowledged; }))
            return;
        removeLeftovers();
        std::fprintf(stderr,
            g_signalled.load() == SIGALRM
                ? "Cancelled: the conversion reached its time limit; no PDF was kept.\n"
                : "Cancelled: the conversion did not stop in time.\n");
        ::_exit(128 + g_signalled.load());
    }
}

} // namespace folyant
