#include "session/AgentCommand.h"

#include "platform/AgentSocket.h"
#include "platform/HelpRequest.h"
#include "platform/Process.h"
#include "platform/Session.h"
#include "platform/qt/QtTranslations.h"
#include "session/gui/DesktopNotifier.h"
#include "session/gui/SessionAgent.h"
#include "session/gui/SettingsDialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace folyant::session {

namespace {

constexpr const char* kUsage
    = "Usage: folyant-session              take this user's print jobs on the desktop\n"
      "       folyant-session --settings   change how print jobs are saved\n";
// Named exit codes of the agent.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

QString converterProgram()
{
    if (const char* configured = std::getenv("FOLYANT_CONVERTER"); configured && *configured)
        return QString::fromLocal8Bit(configured);
    QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/Folyant_Standard");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStringLiteral(FOLYANT_INSTALLED_CONVERTER);
}

// The socket goes with the agent, unless another agent has taken its place.
struct SocketRemoval {
    std::string path;
    ino_t inode = 0;
    ~SocketRemoval()
    {
        struct stat info { };
        if (inode != 0 && ::lstat(path.c_str(), &info) == 0 && info.st_ino == inode)
            ::unlink(path.c_str());
    }
};

} // namespace

AgentCommand AgentCommand::fromCommandLine(int argc, char** argv)
{
    AgentCommand command;
    command.m_program = argv[0];
    if (argc == 1)
        command.m_request = Request::TakeJobs;
    else if (argc == 2 && std::strcmp(argv[1], "--settings") == 0)
        command.m_request = Request::Settings;
    else if (isHelpRequest(argc, argv))
        command.m_request = Request::Help;
    return command;
}

int AgentCommand::run() const
{
    switch (m_request) {
    case Request::Help:
        std::fputs(kUsage, stdout);
        return kDone;
    case Request::Usage:
        std::fputs(kUsage, stderr);
        return kUsageError;
    case Request::Settings:
    case Request::TakeJobs:
        break;
    }
    if (isUnattended()) {
        std::fputs("folyant-session: no display; print jobs are converted without asking.\n", stderr);
        return kFailed;
    }
    std::string program = m_program;
    int qtArgc = 1;
    char* qtArgv[] = {program.data(), nullptr};
    QApplication application(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("folyant-session"));
    QApplication::setQuitOnLastWindowClosed(false);
    const QtTranslations translations(QStringLiteral("session"));
    if (m_request == Request::Settings) {
        SettingsDialog dialog;
        return dialog.exec() == QDialog::Accepted ? kDone : kFailed;
    }
    return takeJobs();
}

// Within the application: listens on the user's socket until the agent is
// asked to end.
int AgentCommand::takeJobs() const
{
    const std::string runtime = agent::runtimeFolderOf(::getuid());
    if (agent::agentAnswers(runtime)) {
        std::fputs("folyant-session: this user's agent is running already.\n", stderr);
        return kDone;
    }
    std::string why;
    const int listener = agent::listenForJobs(runtime, why);
    if (listener < 0) {
        std::fprintf(stderr,
            "folyant-session: cannot take print jobs (%s); they are converted without asking.\n",
            why.c_str());
        return kFailed;
    }
    SocketRemoval removal{agent::socketPath(runtime)};
    struct stat info { };
    if (::lstat(removal.path.c_str(), &info) == 0)
        removal.inode = info.st_ino;

    // SIGTERM and SIGINT end the agent through its event loop, so that the
    // socket goes with it.
    const process::SignalCatch termination({SIGTERM, SIGINT});
    if (!termination.isOpen())
        return kFailed;
    DesktopNotifier notifier;
    SessionAgent agent(listener, converterProgram(), notifier);
    QSocketNotifier terminate(termination.readEnd(), QSocketNotifier::Read);
    QObject::connect(&terminate, &QSocketNotifier::activated, qApp, [&agent] {
        agent.stop();
        QCoreApplication::quit();
    });
    std::fprintf(stderr, "folyant-session: taking print jobs on %s\n", removal.path.c_str());
    return QApplication::exec() == 0 ? kDone : kFailed;
}

} // namespace folyant::session
