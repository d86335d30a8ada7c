#include "docconverter/CDocConverterApp.h"

#include "docconverter/core/DocumentJob.h"
#include "docconverter/core/ExitCodes.h"
#include "docconverter/core/StartCommand.h"
#include "docconverter/gui/DialogRun.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "platform/DefaultDestination.h"
#include "platform/DialogLibrary.h"
#include "platform/HelpRequest.h"
#include "platform/MessageBox.h"
#include "platform/Session.h"
#include "platform/TerminationWatch.h"
#include "platform/WordProcessorFonts.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace folyant::docconverter {

namespace {
constexpr const char* kProgram = "zevConverter";
constexpr const char* kUsage = "Usage: zevConverter                  open the dialog\n"
                               "       zevConverter DOCUMENT PDF     convert DOCUMENT into PDF and exit\n"
                               "Exit status: 0 when the PDF was written, 1 when the names were refused or\n"
                               "the conversion failed, 2 for a wrong command line, 143 when terminated.\n";

// The start command without a window: the same checks, job and messages,
// and no widget library in the process.
int convertUnattended(char** argv)
{
    IniMachineSettings machine;
    StandardErrorMessages messages(kProgram);
    TerminationWatch termination;
    CupsDefaultDestination destinations;
    IniWordProcessorFonts fonts;
    const DocumentInstallation installation = readDocumentInstallation(machine, messages);
    DocumentJob job(installation.folders, {messages, destinations, fonts},
        [&termination] { return pumpUnlessTerminated(&termination); });
    job.setHwpViewerPath(installation.hwpViewerPath);
    job.setOfficeIdle(installation.officeIdleSeconds);
    // The shell's names: relative to where the command was given.
    std::error_code noFolder;
    const std::string here = std::filesystem::current_path(noFolder).string();
    StartNames names{fromCommandLine(argv[1], here), fromCommandLine(argv[2], here)};
    const StartOutcome outcome = runStartCommand(names, messages, job);
    termination.acknowledge();
    switch (outcome) {
    case StartOutcome::Converted:
        return exitcode::kSuccess;
    case StartOutcome::Cancelled:
        return exitcode::kTerminated;
    case StartOutcome::NothingToDo:
        std::fputs(kUsage, stderr);
        return exitcode::kUsage;
    case StartOutcome::Refused:
    case StartOutcome::Failed:
        break;
    }
    return exitcode::kFailed;
}
} // namespace

int CDocConverterApp::InitInstance(int argc, char** argv)
{
    if (isHelpRequest(argc, argv)) {
        std::fputs(kUsage, stdout);
        return exitcode::kSuccess;
    }
    if (argc == 3)
        return convertUnattended(argv);
    if (argc != 1) {
        std::fputs(kUsage, stderr);
        return exitcode::kUsage;
    }

    if (session::isUnattended()) {
        // Nobody could use or close a dialog: say so and end, without making one.
        std::fprintf(
            stderr, "%s: no display; give a document and a PDF name to convert without one.\n", kProgram);
        return exitcode::kUsage;
    }
    TerminationWatch termination;
    DialogRun run{argv[0], kProgram, termination};
    std::string why;
    const auto entry = reinterpret_cast<DialogRunEntry>(
        loadDialogEntry(FOLYANT_DIALOGS_FROM_PROGRAM, kDialogRunEntry, why));
    if (!entry) {
        std::fprintf(stderr, "%s: its window cannot be shown (%s).\n", kProgram, why.c_str());
        return exitcode::kFailed;
    }
    entry(run);
    return termination.wasRequested() ? exitcode::kTerminated : exitcode::kSuccess;
}

} // namespace folyant::docconverter
