#pragma once

#include <optional>

namespace folyant::setup {

// The setup tools take no arguments. "--help" (or "-h") prints the usage
// and changes nothing; anything else is refused with the usage on standard
// error. The exit status to end with, or nothing when the tool should run.
std::optional<int> answerArguments(int argc, char** argv, const char* usage);

// Changing the print system's printers is root's: run by anyone else, the
// tools say so on standard error ("PROGRAM: must be run as root") and end
// with the failure status, instead of reporting what the print system's
// refusal would look like (a printer or driver not found).
std::optional<int> refuseWithoutRoot(const char* program);

} // namespace folyant::setup
