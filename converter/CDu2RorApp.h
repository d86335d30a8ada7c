#pragma once

#include <string>

namespace folyant::converter {

// The converter program: one dialog per start, ended with the dialog.
class CDu2RorApp {
public:
    // The program's name: its file name without folder and extension. It is
    // the caption of every message and the name of the user profile.
    static std::string programName(const char* argv0);

    // Runs the program; the result is the process's exit status.
    int InitInstance(int argc, char** argv);
};

} // namespace folyant::converter
