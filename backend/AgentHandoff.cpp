#include "backend/AgentHandoff.h"

#include "backend/JobOptions.h"
#include "platform/AgentSocket.h"

#include <cups/backend.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace folyant::backend {

namespace {

// The agent answers at once, before anyone is asked anything; a slow answer
// means a stuck agent, and the queue must not wait for it.
constexpr int kAgentTimeoutMilliseconds = 5000;

// A file without a name: only descriptors reach it, so nobody can swap or
// read it by a path while the agent holds it.
int anonymousFile()
{
    const char* folders[] = {"/tmp", "/var/tmp"};
    for (const char* folder : folders) {
        const int fd = ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0)
            return fd;
        // File systems without O_TMPFILE: a unique name, gone at once.
        std::string pattern = std::string(folder) + "/folyant-agent-job-XXXXXX";
        const int named = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (named >= 0) {
            ::unlink(pattern.c_str());
            return named;
        }
    }
    return -1;
}

bool copyAll(int from, int to, const std::function<bool()>& cancelled)
{
    char buffer[65536];
    for (;;) {
        if (cancelled())
            return false;
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return ::lseek(to, 0, SEEK_SET) == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return false;
            done += put;
        }
    }
}

} // namespace

std::optional<int> handToDesktopAgent(int& input, const passwd& user, const JobArguments& job,
    const std::function<std::string()>& proposedName, const std::function<bool()>& cancelled)
{
    const std::string runtime = agent::runtimeFolderOf(user.pw_uid);
    struct stat info { };
    if (::lstat(agent::socketPath(runtime).c_str(), &info) != 0)
        return std::nullopt; // no desktop session with an agent: the usual way, without a word

    // A pipe from the filters would keep the job open until someone answers
    // the dialog: the agent gets the whole job as a file, and the job ends now.
    const int copy = anonymousFile();
    if (copy < 0) {
        std::fprintf(stderr, "WARNING: Cannot keep the job for the desktop agent: %s; converting it here.\n",
            std::strerror(errno));
        return std::nullopt;
    }
    const bool read = copyAll(input, copy, cancelled);
    if (input > 0)
        ::close(input);
    input = copy;
    if (!read) {
        if (!cancelled())
            std::fprintf(
                stderr, "ERROR: Reading the job failed: %s; nothing was written.\n", std::strerror(errno));
        return CUPS_BACKEND_CANCEL;
    }

    agent::JobValues values{{agent::kJobId, job.jobId}, {agent::kTitle, job.title},
        {agent::kCopies, job.copies}, {agent::kOptions, job.options}, {agent::kProposedName, proposedName()}};
    if (const auto quality = qualityFromOptions(job.options))
        values[agent::kQuality] = std::to_string(*quality);
    std::string why;
    switch (agent::handOver(copy, values, user.pw_uid, runtime, kAgentTimeoutMilliseconds, why)) {
    case agent::Handover::Delivered:
        std::fprintf(stderr, "WARNING: Job handed to %s's desktop session, which asks where to save it\n",
            user.pw_name);
        return CUPS_BACKEND_OK;
    case agent::Handover::NoAgent:
        std::fprintf(stderr, "DEBUG: No desktop agent (%s); converting unattended\n", why.c_str());
        break;
    case agent::Handover::Untrusted:
        std::fprintf(stderr,
            "WARNING: The desktop agent's socket was not trusted (%s); converting unattended\n", why.c_str());
        break;
    case agent::Handover::NoAnswer:
        std::fprintf(
            stderr, "WARNING: The desktop agent did not answer (%s); converting unattended\n", why.c_str());
        break;
    }
    if (::lseek(copy, 0, SEEK_SET) != 0) {
        std::fprintf(
            stderr, "ERROR: Cannot read the job again: %s; nothing was written.\n", std::strerror(errno));
        return CUPS_BACKEND_CANCEL;
    }
    return std::nullopt;
}

} // namespace folyant::backend
