#pragma once

#include <string>

namespace folyant {

// A program's dialogs are a library of their own, loaded only for a run that
// someone watches, so that a run from the command line or the print system
// never maps the widget libraries. The library is found from the program's
// own folder (fromProgram), the same way in the build tree and once installed.
// The entry point named entry, or null with why in error. The library is
// never unloaded: Qt leaves handlers and threads behind that outlive the call.
void* loadDialogEntry(const std::string& fromProgram, const char* entry, std::string& error);

} // namespace folyant
