#pragma once

namespace folyant {

// Whether a program's command line asks for its usage: "--help" or "-h" as
// its only argument. A program so asked prints its usage on standard output,
// ends with success and does nothing else.
bool isHelpRequest(int argc, const char* const* argv);

} // namespace folyant
