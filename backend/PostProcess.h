#pragma once

#include <string>
#include <vector>

namespace folyant::backend {

// Runs the program, as the user this process now is, with the finished PDF's
// path as its only argument, its standard error collected, and ended when it
// runs past limitSeconds (0: no limit) or cancelled() says so. Its standard
// error and how it ended go to the print system's log (this process's
// standard error), as "INFO:" lines when it succeeded and "WARNING:" lines
// when it could not be started or failed: the PDF stays either way. Which
// program and what the log says follow installation/PostProcess.
// Returns whether it ran and ended with status 0.
bool runPostProcess(const std::string& program, const std::string& pdf, int limitSeconds,
    const std::vector<std::string>& environment, bool (*cancelled)());

} // namespace folyant::backend
