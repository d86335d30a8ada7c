#include "converter/gui/CDu2RorApp.h"

#include "converter/core/ExitCodes.h"

#include "converter/core/CDu2RorCommandLineInfo.h"
#include "converter/core/ConversionJob.h"
#include "converter/core/StringTable.h"
#include "converter/gui/CDu2RorDlg.h"
#include "platform/Folders.h"
#include "platform/InstallationFolders.h"
#include "platform/Platform.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBox.h"
#include "platform/Session.h"
#include "platform/TerminationWatch.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace folyant::converter {

namespace {
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
} // namespace

std::string CDu2RorApp::programName(const char* argv0)
{
    const std::string name = folders::titleOf(argv0 ? argv0 : "");
    return name.empty() ? "Folyant_Standard" : name;
}

int CDu2RorApp::InitInstance(int argc, char** argv)
{
    // Started with standard input closed, the next descriptor opened (one of
    // Qt's own) would take its number and be read as the job. /dev/null takes
    // it instead: no standard input attached, and the run ends at once.
    if (::fcntl(STDIN_FILENO, F_GETFD) == -1 && errno == EBADF) [[maybe_unused]]
        const int standardInput = ::open("/dev/null", O_RDONLY);

    // Our switches begin with "-" as Qt's own options do: the command line is
    // ours alone, and Qt sees only the program name.
    CDu2RorCommandLineInfo commandLine;
    ParseCommandLine(commandLine, argc, argv);

    const std::string name = programName(argc > 0 ? argv[0] : nullptr);
    const bool unattended = session::isUnattended();
    session::prepareGuiEnvironment();
    if (unattended) {
        // Standard error is the print system's log: only our own messages
        // and Qt's serious ones belong there.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    QApplication::setApplicationName(QString::fromStdString(name));

    QTranslator translator;
    if (translator.load(
            QLocale(), QStringLiteral("converter"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QApplication::installTranslator(&translator);

    IniUserProfile profile(name);
    IniMachineSettings machine;
    if (unattended)
        limitUnattendedRun(machine);
    QtMessageBox messages(name, unattended);
    XdgShell shell;
    XdgEmail mail;
    QtFileDialogs files;
    Platform platform{machine, profile, messages, shell, mail, files, unattended};

    ConversionJob job = buildJob(commandLine, profile);
    TerminationWatch termination;
    CDu2RorDlg dialog(std::move(job), platform);
    files.setOwner(&dialog);
    dialog.setTerminationWatch(&termination);
    dialog.DoModal();

    if (termination.wasTimeLimit())
        std::fprintf(stderr, "%s: the conversion reached its time limit; no PDF was kept.\n", name.c_str());
    if (termination.wasRequested())
        return exitcode::kTerminated;
    return dialog.hasFailed() ? exitcode::kStepFailed : exitcode::kDone;
}

} // namespace folyant::converter
