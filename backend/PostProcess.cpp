#include "backend/PostProcess.h"

#include "backend/JobSupervision.h"
#include "installation/PostProcess.h"
#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

namespace folyant::backend {

namespace {

// How long an ended program's children may keep its standard error open.
constexpr int kDrainMilliseconds = 500;

// Collects a pipe's text until it closes, or until the program ended and
// nothing more came for a while (a child it left may hold it open forever).
class ErrorCollector {
public:
    explicit ErrorCollector(int fd)
        : m_fd(fd)
        , m_thread([this] { collect(); })
    {
    }
    ~ErrorCollector() { finish(); }
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    void finish()
    {
        m_ended = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    const std::string& text() const { return m_text; }
    std::size_t droppedBytes() const { return m_dropped; }

private:
    void collect()
    {
        char buffer[4096];
        for (;;) {
            pollfd ready{m_fd, POLLIN, 0};
            const bool ended = m_ended;
            const int got = ::poll(&ready, 1, ended ? kDrainMilliseconds : 100);
            if (got < 0 && errno == EINTR)
                continue;
            if (got == 0) {
                if (ended)
                    return;
                continue;
            }
            const ssize_t read = ::read(m_fd, buffer, sizeof buffer);
            if (read < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (read <= 0)
                return;
            const auto size = static_cast<std::size_t>(read);
            const std::size_t kept = std::min(
                size, postprocess::kKeptErrorBytes - std::min(postprocess::kKeptErrorBytes, m_text.size()));
            m_text.append(buffer, kept);
            m_dropped += size - kept;
        }
    }

    int m_fd;
    std::atomic<bool> m_ended{false};
    std::string m_text;
    std::size_t m_dropped = 0;
    std::thread m_thread;
};

// The lines at the level of the print system's log their outcome asks for.
bool logged(const std::vector<postprocess::LogLine>& lines)
{
    bool warned = false;
    for (const postprocess::LogLine& line : lines) {
        std::fprintf(stderr, "%s %s\n", line.warning ? "WARNING:" : "INFO:", line.text.c_str());
        warned = warned || line.warning;
    }
    return !warned;
}

} // namespace

bool runPostProcess(const std::string& program, const std::string& pdf, int limitSeconds,
    const std::vector<std::string>& environment, bool (*cancelled)())
{
    using postprocess::Ending;
    if (!postprocess::mayRun(program))
        return logged(postprocess::report(program, limitSeconds, {Ending::Kind::NotAbsolute, 0}));
    int errors[2] = {-1, -1};
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (nothing < 0 || ::pipe2(errors, O_CLOEXEC) != 0) {
        const int why = errno;
        if (nothing >= 0)
            ::close(nothing);
        return logged(postprocess::report(program, limitSeconds, {Ending::Kind::NotStarted, why}));
    }
    process::Launch launch{program, {program, process::pathArgument(pdf)}, environment, nothing, nothing};
    launch.errorOutput = errors[1];
    // Its own group, so that a program past its limit is ended with what it started.
    launch.ownGroup = true;
    int error = 0;
    const pid_t child = process::start(launch, error);
    ::close(errors[1]);
    ::close(nothing);
    if (child < 0) {
        ::close(errors[0]);
        return logged(postprocess::report(program, limitSeconds, {Ending::Kind::NotStarted, error}));
    }

    ErrorCollector collected(errors[0]);
    const WatchedEnd end = watchProcess(
        child, limitSeconds > 0 ? limitSeconds * 1000 : -1, postprocess::kGraceMilliseconds, cancelled, true);
    collected.finish();
    ::close(errors[0]);
    return logged(postprocess::report(program, limitSeconds,
        Ending::fromWaitStatus(end.status, end.pastTimeLimit), collected.text(), collected.droppedBytes()));
}

} // namespace folyant::backend
