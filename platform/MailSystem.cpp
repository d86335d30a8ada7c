#include "platform/MailSystem.h"

#include "platform/Process.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace folyant {

MailSystem::Found XdgEmail::locate(std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t from = 0;
    while (from <= folders.size()) {
        const std::size_t to = std::min(folders.find(':', from), folders.size());
        const std::string folder = folders.substr(from, to - from);
        from = to + 1;
        const std::string candidate = (folder.empty() ? "." : folder) + "/xdg-email";
        struct stat info { };
        if (::stat(candidate.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        program = candidate;
        return ::access(candidate.c_str(), X_OK) == 0 ? Found::Usable : Found::NotUsable;
    }
    return Found::Missing;
}

std::vector<std::string> XdgEmail::arguments(const Message& message)
{
    std::vector<std::string> arguments{"--utf8", "--subject", message.subject, "--body", message.body};
    for (const std::string& attachment : message.attachments) {
        arguments.push_back("--attach");
        arguments.push_back(attachment);
    }
    return arguments;
}

int XdgEmail::send(const std::string& program, const Message& message)
{
    process::Launch launch{program, {program}, std::nullopt, -1, -1, false};
    for (std::string& argument : arguments(message))
        launch.arguments.push_back(std::move(argument));
    int error = 0;
    const pid_t child = process::start(launch, error);
    if (child < 0)
        return kFailure;
    const int status = process::wait(child).value_or(-1);
    if (WIFSIGNALED(status))
        return kUserAbort;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kSuccess : kFailure;
}

} // namespace folyant
