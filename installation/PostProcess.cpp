#include "installation/PostProcess.h"

#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace folyant::postprocess {

namespace {

constexpr int kMaxTimeLimitSeconds = 500000;

// Each line of the program's words as a line of the log: control characters
// would end a log line or colour a terminal.
void addErrorLines(std::vector<LogLine>& lines, bool warning, const std::string& text)
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
            lines.push_back({warning, "PostProcess: " + line});
        at = end + 1;
    }
}

} // namespace

std::string configuredProgram(const MachineSettings& settings)
{
    return settings.readString(kPostProcess, installation::kValueBuffer).value_or("");
}

int timeLimitSeconds(const MachineSettings& settings)
{
    return std::clamp(settings.readInt(installation::kTimeLimit).value_or(installation::kDefaultTimeLimit), 0,
        kMaxTimeLimitSeconds);
}

bool isFinishedPdf(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info { };
    char head[4] = {};
    const bool finished = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0
        && ::read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head)
        && std::memcmp(head, "%PDF", sizeof head) == 0;
    ::close(fd);
    return finished;
}

Ending Ending::fromWaitStatus(int status, bool pastTimeLimit)
{
    if (pastTimeLimit)
        return {Kind::PastTimeLimit, 0};
    if (status >= 0 && WIFEXITED(status))
        return {Kind::Exited, WEXITSTATUS(status)};
    if (status >= 0 && WIFSIGNALED(status))
        return {Kind::Signalled, WTERMSIG(status)};
    return {Kind::Abnormal, 0};
}

bool mayRun(const std::string& program)
{
    return !program.empty() && program[0] == '/';
}

std::vector<LogLine> report(const std::string& program, int limitSeconds, const Ending& ending,
    const std::string& errorText, std::size_t droppedBytes)
{
    const bool warning = !ending.succeeded();
    std::vector<LogLine> lines;
    addErrorLines(lines, warning, errorText);
    if (droppedBytes > 0)
        lines.push_back({warning,
            "PostProcess: (" + std::to_string(droppedBytes) + " more bytes of its error output not shown)"});
    const std::string stays = ". The PDF stays.";
    switch (ending.kind) {
    case Ending::Kind::NotAbsolute:
        lines.push_back({true,
            "PostProcess must name a program by its full path; \"" + program + "\" was not run" + stays});
        break;
    case Ending::Kind::NotStarted:
        lines.push_back({true,
            "PostProcess " + program + " could not be started: " + std::strerror(ending.detail) + stays});
        break;
    case Ending::Kind::PastTimeLimit:
        lines.push_back({true,
            "PostProcess " + program + " ran past the time limit of " + std::to_string(limitSeconds)
                + " seconds and was ended" + stays});
        break;
    case Ending::Kind::Signalled:
        lines.push_back({true,
            "PostProcess " + program + " was ended by signal " + std::to_string(ending.detail) + " ("
                + strsignal(ending.detail) + ")" + stays});
        break;
    case Ending::Kind::Abnormal:
        lines.push_back({true, "PostProcess " + program + " ended abnormally" + stays});
        break;
    case Ending::Kind::Exited:
        if (warning)
            lines.push_back({true,
                "PostProcess " + program + " ended with status " + std::to_string(ending.detail) + stays});
        else
            lines.push_back({false, "PostProcess " + program + " ended with status 0"});
        break;
    }
    return lines;
}

} // namespace folyant::postprocess
