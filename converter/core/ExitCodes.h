#pragma once

#include <csignal>

namespace folyant::converter::exitcode {

// The run ended on its own, whatever the conversion's outcome.
inline constexpr int kDone = 0;
// A step the run was asked for (the protection) failed, and the user was told.
inline constexpr int kStepFailed = 1;
// A termination signal ended the run, as a shell reports a death by it.
inline constexpr int kTerminated = 128 + SIGTERM;

} // namespace folyant::converter::exitcode
