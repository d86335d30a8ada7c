#pragma once

#include "backend/AgentHandoff.h"

#include <pwd.h>

#include <string>

namespace folyant::backend {

// Whether the print system asked the backend to stop (SIGTERM); safe on any
// thread and in a forked child of the backend.
bool jobCancelled();

// The machine's output folder as the settings write it ("~/PDF" unless set),
// before a leading "~" is the user's home.
std::string configuredOutputFolder();

// What bounds one conversion: the machine's time limit (0: none) and the
// administrator's action on a finished PDF (empty: none).
struct ConversionLimits {
    int limitSeconds = 0;
    std::string postProcess;
};

// The user's output folder: the configured one, a leading "~" the user's home.
std::string outputFolder(const passwd& user);

// Converts the job, read from input, into a new PDF in folder (the user's
// output folder, or the AnonymousFolder) named after baseName, as the user
// the backend now runs as. A PDF is
// kept only when the converter ended well and wrote one; every failure says
// why in an "ERROR:" line. Returns the backend's exit status.
int convertJob(int input, const passwd& user, const JobArguments& job, const std::string& folder,
    const std::string& baseName, const ConversionLimits& limits);

} // namespace folyant::backend
