#pragma once

#include "backend/AgentHandoff.h"

#include <string>

namespace folyant::backend {

// One run of the backend as the print system starts it: built from the
// command line (what is asked: name the device, print the usage, take a
// job), then run.
class BackendJob final {
public:
    static BackendJob fromCommandLine(int argc, char** argv);

    // Does what was asked; the backend's exit status (CUPS_BACKEND_*).
    int run() const;

private:
    enum class Request { NameDevice, Help, Usage, Print };

    int print() const;

    Request m_request = Request::Usage;
    std::string m_program;
    std::string m_user;
    // The print file; empty: standard input.
    std::string m_file;
    JobArguments m_job;
};

} // namespace folyant::backend
