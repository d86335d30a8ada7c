#pragma once

#include "converter/core/ConversionJob.h"

#include <string>

namespace folyant {
class MachineSettings;
class TerminationWatch;
class UserProfile;
} // namespace folyant

namespace folyant::converter {

// What the program hands its dialogs: a run someone watches. The dialogs are
// a library of their own, loaded only for such a run, so that a print job
// never maps the widget libraries.
struct DialogRun {
    char* programPath;
    std::string programName;
    UserProfile& profile;
    MachineSettings& machine;
    TerminationWatch& termination;
    ConversionJob job;
    // Out: the run's PDF was not written, or a step of it failed.
    bool failed = false;
};

// The library's one entry point, found by this name.
inline constexpr const char* kDialogRunEntry = "folyant_converter_run_dialog";
using DialogRunEntry = void (*)(DialogRun&);

} // namespace folyant::converter

extern "C" void folyant_converter_run_dialog(folyant::converter::DialogRun& run);
