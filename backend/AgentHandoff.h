#pragma once

#include <pwd.h>

#include <functional>
#include <string>

namespace folyant::backend {

// What became of a job offered to the desktop agent of its user.
struct AgentHandoff {
    enum class Outcome {
        Unattended, // no agent took it: convert it here
        Delivered, // the agent asks the user and converts; the print job is done
        Failed, // the job could not be read (or was cancelled): said on stderr
    };
    Outcome outcome = Outcome::Unattended;
    // The job's data, when it had to be read from the input to be offered:
    // the unattended conversion reads this instead (from its start). -1 when
    // the input was not touched.
    int input = -1;
};

// The job arguments as cupsd gives them.
struct JobArguments {
    std::string jobId;
    std::string title;
    std::string copies;
    std::string options;
};

// Offers the job to the agent of the user the backend now runs as, when that
// user has one: the job's data goes as an anonymous file nobody else can
// name, and the wait for the agent's answer is bounded. Without an agent, or
// one that cannot be trusted or does not answer, the job takes the
// unattended way (said on stderr as a DEBUG or WARNING line).
AgentHandoff offerToAgent(
    int input, const passwd& user, const JobArguments& job, const std::function<bool()>& cancelled);

} // namespace folyant::backend
