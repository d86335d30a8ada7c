#include "platform/TerminationWatch.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

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

constexpr std::initializer_list<int> kCrashSignals{SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL};

} // namespace

TerminationWatch::TerminationWatch(int graceMilliseconds)
    : m_grace(graceMilliseconds)
    // A closed terminal (SIGHUP) must not end a run before it has put back
    // what it changed (the default printer, a font list); the time limit of a
    // run (SIGALRM) ends it as a termination request does.
    , m_signals({SIGTERM, SIGINT, SIGHUP, SIGALRM})
{
    if (!m_signals.isOpen()) {
        std::perror("termination pipe");
        process::defaultSignals({SIGTERM, SIGINT, SIGHUP, SIGALRM});
        return;
    }
    m_thread = std::thread(&TerminationWatch::watch, this);
#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer reports crashes through handlers of its own.
    process::handleSignals(kCrashSignals, onCrashSignal, SA_RESETHAND | SA_NODEFER);
#endif
}

TerminationWatch::~TerminationWatch()
{
    if (!m_signals.isOpen())
        return;
    process::defaultSignals({SIGTERM, SIGINT, SIGHUP, SIGALRM});
#if !defined(__SANITIZE_ADDRESS__)
    process::defaultSignals(kCrashSignals);
#endif
    {
        std::lock_guard lock(m_mutex);
        m_acknowledged = true;
    }
    m_acknowledgedChanged.notify_all();
    m_signals.wake();
    if (m_thread.joinable())
        m_thread.join();
}

bool TerminationWatch::wasTimeLimit() const
{
    return process::SignalCatch::caught() == SIGALRM;
}

bool TerminationWatch::requestedInProcess()
{
    return process::SignalCatch::caught() != 0;
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
        const auto got = ::read(m_signals.readEnd(), &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || byte == 0)
            return;

        std::unique_lock lock(m_mutex);
        if (m_requestHandler)
            m_requestHandler();
        if (m_acknowledgedChanged.wait_for(
                lock, std::chrono::milliseconds(m_grace), [this] { return m_acknowledged; }))
            return;
        removeLeftovers();
        std::fprintf(stderr,
            process::SignalCatch::caught() == SIGALRM
                ? "Cancelled: the conversion reached its time limit; no PDF was kept.\n"
                : "Cancelled: the conversion did not stop in time.\n");
        ::_exit(128 + process::SignalCatch::caught());
    }
}

} // namespace folyant
