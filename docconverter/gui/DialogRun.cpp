#include "docconverter/gui/DialogRun.h"

#include "docconverter/gui/CDocConverterDlg.h"
#include "installation/MachineSettings.h"
#include "platform/DefaultDestination.h"
#include "platform/Shell.h"
#include "platform/TerminationWatch.h"
#include "platform/WordProcessorFonts.h"
#include "platform/qt/DialogApplication.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtMessageBox.h"

using folyant::docconverter::DialogRun;

extern "C" void folyant_docconverter_run_dialog(DialogRun& run)
{
    using namespace folyant;
    using namespace folyant::docconverter;

    const DialogApplication application(run.programPath, run.programName, QStringLiteral("docconverter"));
    IniMachineSettings machine;
    QtMessageBox messages(run.programName, false);
    XdgShell shell;
    QtFileDialogs files;
    CupsDefaultDestination destinations;
    IniWordProcessorFonts fonts;
    CDocConverterDlg dialog(DocPlatform{machine, messages, shell, files, destinations, fonts});
    files.setOwner(&dialog);
    dialog.setTerminationWatch(&run.termination);
    dialog.DoModal();
}
