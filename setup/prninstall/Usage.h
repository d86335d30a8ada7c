#pragma once

#include <optional>

namespace folyant::setup {

// The setup tools take no arguments. "--help" (or "-h") prints the usage
// and changes nothing; anything else is refused with the usage on standard
// error. The exit status to end with, or nothing when the tool should run.
std::optional<int> answerArguments(int argc, char** argv, const char* usage);

} // namespace folyant::setup
