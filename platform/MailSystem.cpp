#include "platform/MailSystem.h"

#include "platform/Process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace folyant {

MailSystem::Found XdgEmail::locate(std::string& program)
{
    const auto found = process::onPath("xdg-email");
    if (!found)
        return Found::Missing;
    program = *found;
    return ::access(found->c_str(), X_OK) == 0 ? Found::Usable : Found::NotUsable;
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
