#pragma once

#include <string>

namespace folyant::session {

// One run of the desktop agent, built from its command line: take this
// user's print jobs, change the settings, or print the usage.
class AgentCommand final {
public:
    static AgentCommand fromCommandLine(int argc, char** argv);

    // Does what was asked; the agent's exit status.
    int run() const;

private:
    enum class Request { Help, Usage, Settings, TakeJobs };

    int takeJobs() const;

    Request m_request = Request::Usage;
    std::string m_program;
};

} // namespace folyant::session
