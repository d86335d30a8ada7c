#include "platform/TerminationWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>

namespace folyant {

namespace {

std::atomic<int> g_signalled{0};
int g_writeEnd = -1;

constexpr char kQuit = 'q';

extern "C" void onTerminationSignal(int signo)
{
    const int savedErrno = errno;
    g_signalled.store(signo);
    const char byte = static_cast<char>(signo);
    [[maybe_unused]] const auto written = ::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationWatch::TerminationWatch(int graceMilliseconds, QObject* parent)
    : QObject(parent)
    , m_grace(graceMilliseconds)
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
    // The time limit of a run ends it as a termination request does.
    sigaction(SIGALRM, &action, nullptr);
}

TerminationWatch::~TerminationWatch()
{
    if (m_pipe[1] < 0)
        return;
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGALRM, SIG_DFL);
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

bool TerminationWatch::wasRequested() const
{
    return g_signalled.load() != 0;
}

void TerminationWatch::setPartialOutput(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    m_partialOutput = path;
}

void TerminationWatch::setScratchFolders(std::vector<std::string> folders)
{
    std::lock_guard lock(m_mutex);
    m_scratchFolders = std::move(folders);
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
    for (;;) {
        char byte = 0;
        const auto got = ::read(m_pipe[0], &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || byte == kQuit)
            return;

        emit terminationRequested();

        std::unique_lock lock(m_mutex);
        if (m_acknowledgedChanged.wait_for(
                lock, std::chrono::milliseconds(m_grace), [this] { return m_acknowledged; }))
            return;
        if (!m_partialOutput.empty())
            ::unlink(m_partialOutput.c_str());
        // _exit runs no destructor: what they would have removed goes here.
        for (const std::string& folder : m_scratchFolders) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
        std::fprintf(stderr,
            g_signalled.load() == SIGALRM
                ? "Cancelled: the conversion reached its time limit; no PDF was kept.\n"
                : "Cancelled: the conversion did not stop in time.\n");
        ::_exit(128 + g_signalled.load());
    }
}

} // namespace folyant
