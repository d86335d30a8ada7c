#include "converter/CDu2RorApp.h"

#include "converter/core/CDu2RorCommandLineInfo.h"
#include "converter/core/ConversionJob.h"
#include "converter/core/ConversionRun.h"
#include "converter/core/ExitCodes.h"
#include "converter/gui/DialogRun.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "platform/DialogLibrary.h"
#include "platform/FileDialogs.h"
#include "platform/Folders.h"
#include "platform/HelpRequest.h"
#include "platform/Platform.h"
#include "platform/Session.h"
#include "platform/TerminationWatch.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace folyant::converter {

namespace {
constexpr const char* kUsage
    = "Usage: Folyant_Standard OUT.pdf /source IN [/quality N] [/security USER OWNER RIGHTS METHOD]\n"
      "                        [/emailpdf] [/showpdf]\n"
      "       Folyant_Standard OUT.pdf < IN\n"
      "       Folyant_Standard                  open the dialog\n"
      "Converts a PostScript or PDF print job IN into a stamped PDF OUT. Switches begin\n"
      "with - or / in any case. /quality: 0 prepress, 1 printer, 2 screen. /security\n"
      "protects OUT: RIGHTS is four digits (print, modify, copy, annotate; 1 grants),\n"
      "METHOD AES256 encrypts with AES-256, any other word with 40-bit RC4.\n"
      "Exit status: 0 when the run did what it was asked, 1 when it failed.\n";

// Nobody watches an unattended run: an endless job or a memory bomb must not
// go on until someone notices. The limits are machine settings.
void limitUnattendedRun(const MachineSettings& machine)
{
    const int seconds = machine.readInt(installation::kTimeLimit).value_or(installation::kDefaultTimeLimit);
    if (seconds > 0)
        ::alarm(static_cast<unsigned>(seconds));
#if !defined(__SANITIZE_ADDRESS__)
    // (The address sanitizer reserves terabytes of address space for itself.)
    const int megabytes
        = machine.readInt(installation::kMemoryLimit).value_or(installation::kDefaultMemoryLimit);
    if (megabytes > 0) {
        const rlim_t bytes = static_cast<rlim_t>(megabytes) << 20;
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_AS, &limit);
    }
#endif
}

// A run someone watches: the window and everything it shows come from the
// dialogs' library. False when that cannot be loaded.
bool runWithDialog(DialogRun& run)
{
    std::string why;
    const auto entry = reinterpret_cast<DialogRunEntry>(
        loadDialogEntry(FOLYANT_DIALOGS_FROM_PROGRAM, kDialogRunEntry, why));
    if (!entry) {
        std::fprintf(stderr, "%s: its window cannot be shown (%s); nothing was converted.\n",
            run.programName.c_str(), why.c_str());
        return false;
    }
    entry(run);
    return true;
}
// How a run ended, as far as its exit status goes.
struct RunEnd {
    bool failed = false;
    bool incomplete = false;
};

// A print job: the same run and chain as in the dialog, with its messages on
// standard error, and no widget library in the process.
RunEnd runUnattended(ConversionJob job, const std::string& name, IniUserProfile& profile,
    IniMachineSettings& machine, TerminationWatch& termination)
{
    StandardErrorMessages messages(name);
    XdgShell shell;
    XdgEmail mail;
    NoFileDialogs files;
    Platform platform{machine, profile, messages, shell, mail, files, true};
    RunView nothingShown;
    ConversionRun run(std::move(job), platform, nothingShown);
    run.setTerminationWatch(&termination);
    run.begin();
    runToEnd(run);
    return {run.hasFailed(), run.keptIncomplete()};
}

int exitStatusOf(const RunEnd& end, const TerminationWatch& termination, const std::string& name)
{
    if (termination.wasTimeLimit())
        std::fprintf(stderr, "%s: the conversion reached its time limit; no PDF was kept.\n", name.c_str());
    if (termination.wasRequested())
        return exitcode::kTerminated;
    if (end.incomplete)
        return exitcode::kIncomplete;
    return end.failed ? exitcode::kStepFailed : exitcode::kDone;
}

} // namespace

std::string CDu2RorApp::programName(const char* argv0)
{
    const std::string name = folders::titleOf(argv0 ? argv0 : "");
    return name.empty() ? "Folyant_Standard" : name;
}

int CDu2RorApp::InitInstance(int argc, char** argv)
{
    if (isHelpRequest(argc, argv)) {
        std::fputs(kUsage, stdout);
        return exitcode::kDone;
    }
    // Started with standard input closed, the next descriptor opened would
    // take its number and be read as the job. /dev/null takes it instead:
    // no standard input attached, and the run ends at once.
    if (::fcntl(STDIN_FILENO, F_GETFD) == -1 && errno == EBADF) [[maybe_unused]]
        const int standardInput = ::open("/dev/null", O_RDONLY);

    CDu2RorCommandLineInfo commandLine;
    ParseCommandLine(commandLine, argc, argv);

    const std::string name = programName(argc > 0 ? argv[0] : nullptr);
    const bool unattended = session::isUnattended();
    IniUserProfile profile(name);
    IniMachineSettings machine;
    if (unattended)
        limitUnattendedRun(machine);
    TerminationWatch termination;
    ConversionJob job = buildJob(commandLine, profile);

    RunEnd end;
    if (unattended) {
        end = runUnattended(std::move(job), name, profile, machine, termination);
    } else {
        static char fallbackPath[] = "Folyant_Standard";
        DialogRun run{argc > 0 && argv[0] ? argv[0] : fallbackPath, name, profile, machine, termination,
            std::move(job)};
        if (!runWithDialog(run))
            return exitcode::kStepFailed;
        end.failed = run.failed;
    }
    return exitStatusOf(end, termination, name);
}

} // namespace folyant::converter
