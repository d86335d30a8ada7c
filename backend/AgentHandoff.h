#pragma once

#include <pwd.h>

#include <functional>
#include <optional>
#include <string>

namespace folyant::backend {

// The job arguments as cupsd gives them.
struct JobArguments {
    std::string jobId;
    std::string title;
    std::string copies;
    std::string options;
};

// Offers the job to the agent of the user the backend now runs as, when that
// user has one: the job's data goes as an anonymous file nobody else can
// name, and the wait for the agent's answer is bounded. Returns the backend's
// exit status when the job is done with (the agent took it, or it could not
// be read); nothing when it is to be converted here, from input, which is
// then the copy read for the offer when one was made (the descriptor before
// it closed, unless it was standard input).
// The name proposed for the PDF is made only when the job is offered.
std::optional<int> handToDesktopAgent(int& input, const passwd& user, const JobArguments& job,
    const std::function<std::string()>& proposedName, const std::function<bool()>& cancelled);

} // namespace folyant::backend
