#include "backend/PostProcess.h"

#include "backend/JobSupervision.h"
#include "platform/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

namespace folyant::backend {

namespace {

// What the log keeps of the program's standard error; the rest is counted.
constexpr std::size_t kKeptErrorBytes = 16384;
// How long an ended program's children may keep its standard error open.
constexpr int kDrainMilliseconds = 500;
constexpr int kGraceMilliseconds = 5000;

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
            const std::size_t kept
                = std::min(size, kKeptErrorBytes - std::min(kKeptErrorBytes, m_text.size()));
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

// Each line of the program's words as a line of the log: control characters
// would end a log line or colour a terminal.
void logLines(const char* prefix, const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        for (char& c : line)
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                c = '?';
        if (!line.empty())
            std::fprintf(stderr, "%s PostProcess: %s\n", prefix, line.c_str());
        at = end + 1;
    }
}

} // namespace

bool runPostProcess(const std::string& program, const std::string& pdf, int limitSeconds,
    const std::vector<std::string>& environment, bool (*cancelled)())
{
    if (program.empty() || program[0] != '/') {
        std::fprintf(stderr,
            "WARNING: PostProcess must name a program by its full path; \"%s\" was not run. The PDF stays.\n",
            program.c_str());
        return false;
    }
    int errors[2] = {-1, -1};
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (nothing < 0 || ::pipe2(errors, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "WARNING: PostProcess %s was not run: %s. The PDF stays.\n", program.c_str(),
            std::strerror(errno));
        if (nothing >= 0)
            ::close(nothing);
        return false;
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
        std::fprintf(stderr, "WARNING: PostProcess %s could not be started: %s. The PDF stays.\n",
            program.c_str(), std::strerror(error));
        return false;
    }

    ErrorCollector collected(errors[0]);
    const WatchedEnd end = watchProcess(
        child, limitSeconds > 0 ? limitSeconds * 1000 : -1, kGraceMilliseconds, cancelled, true);
    collected.finish();
    ::close(errors[0]);

    const bool succeeded
        = !end.pastTimeLimit && end.status >= 0 && WIFEXITED(end.status) && WEXITSTATUS(end.status) == 0;
    const char* prefix = succeeded ? "INFO:" : "WARNING:";
    logLines(prefix, collected.text());
    if (collected.droppedBytes() > 0)
        std::fprintf(stderr, "%s PostProcess: (%zu more bytes of its error output not shown)\n", prefix,
            collected.droppedBytes());
    if (end.pastTimeLimit)
        std::fprintf(stderr,
            "WARNING: PostProcess %s ran past the time limit of %d seconds and was ended. The PDF stays.\n",
            program.c_str(), limitSeconds);
    else if (end.status >= 0 && WIFSIGNALED(end.status))
        std::fprintf(stderr, "WARNING: PostProcess %s was ended by signal %d (%s). The PDF stays.\n",
            program.c_str(), WTERMSIG(end.status), strsignal(WTERMSIG(end.status)));
    else if (end.status < 0 || !WIFEXITED(end.status))
        std::fprintf(stderr, "WARNING: PostProcess %s ended abnormally. The PDF stays.\n", program.c_str());
    else if (!succeeded)
        std::fprintf(stderr, "WARNING: PostProcess %s ended with status %d. The PDF stays.\n",
            program.c_str(), WEXITSTATUS(end.status));
    else
        std::fprintf(stderr, "INFO: PostProcess %s ended with status 0\n", program.c_str());
    return succeeded;
}

} // namespace folyant::backend
