#pragma once

#include <csignal>

namespace folyant::converter::exitcode {

// The run ended on its own, whatever the conversion's outcome.
inline constexpr int kDone = 0;
// The run wrote no PDF, or a step it was asked for (the protection) failed,
// and the user was told why.
inline constexpr int kStepFailed = 1;
// The job could not be converted whole: the pages made were kept as an
// incomplete PDF, and the user was told where.
inline constexpr int kIncomplete = 2;
// A termination signal ended the run, as a shell reports a death by it.
inline constexpr int kTerminated = 128 + SIGTERM;

} // namespace folyant::converter::exitcode
