#include "converter/gui/DialogRun.h"

#include "converter/gui/CDu2RorDlg.h"
#include "installation/MachineSettings.h"
#include "platform/Platform.h"
#include "platform/TerminationWatch.h"
#include "platform/qt/DialogApplication.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtMessageBox.h"

#include <utility>

using folyant::converter::DialogRun;

extern "C" void folyant_converter_run_dialog(DialogRun& run)
{
    using namespace folyant;
    using namespace folyant::converter;

    const DialogApplication application(run.programPath, run.programName, QStringLiteral("converter"));
    QtMessageBox messages(run.programName, false);
    XdgShell shell;
    XdgEmail mail;
    QtFileDialogs files;
    Platform platform{run.machine, run.profile, messages, shell, mail, files, false};

    CDu2RorDlg dialog(std::move(run.job), platform);
    files.setOwner(&dialog);
    dialog.setTerminationWatch(&run.termination);
    dialog.DoModal();
    run.failed = dialog.hasFailed();
}
