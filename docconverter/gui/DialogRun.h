#pragma once

#include <string>

namespace folyant {
class TerminationWatch;
} // namespace folyant

namespace folyant::docconverter {

// What the program hands its dialog: a run someone watches. The dialog is a
// library of its own, loaded only for such a run, so that a document
// converted from the command line never maps the widget libraries.
struct DialogRun {
    char* programPath;
    std::string programName;
    TerminationWatch& termination;
};

// The library's one entry point, found by this name.
inline constexpr const char* kDialogRunEntry = "folyant_docconverter_run_dialog";
using DialogRunEntry = void (*)(DialogRun&);

} // namespace folyant::docconverter

extern "C" void folyant_docconverter_run_dialog(folyant::docconverter::DialogRun& run);
