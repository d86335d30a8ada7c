// folyant-session: the desktop agent of the virtual printer. Started with the
// desktop session, it takes the user's print jobs from the backend, asks
// where to save each and runs the converter with its progress dialog.
#include "platform/AgentSocket.h"
#include "platform/Session.h"
#include "platform/qt/QtTranslations.h"
#include "session/gui/DesktopNotifier.h"
#include "session/gui/SessionAgent.h"
#include "session/gui/SettingsDialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage
    = "Usage: folyant-session              take this user's print jobs on the desktop\n"
      "       folyant-session --settings   change how print jobs are saved\n";
// Named exit codes of the agent.
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

int g_signalPipe[2] = {-1, -1};

extern "C" void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

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

int main(int argc, char** argv)
{
    using namespace folyant;
    const bool settingsOnly = argc == 2 && std::strcmp(argv[1], "--settings") == 0;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return kDone;
    }
    if (argc > 1 && !settingsOnly) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    if (session::isUnattended()) {
        std::fputs("folyant-session: no display; print jobs are converted without asking.\n", stderr);
        return kFailed;
    }

    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("folyant-session"));
    QApplication::setQuitOnLastWindowClosed(false);
    const QtTranslations translations(QStringLiteral("session"));

    if (settingsOnly) {
        session::SettingsDialog dialog;
        return dialog.exec() == QDialog::Accepted ? kDone : kFailed;
    }

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
    if (::pipe2(g_signalPipe, O_CLOEXEC) != 0)
        return kFailed;
    struct sigaction action { };
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    session::DesktopNotifier notifier;
    session::SessionAgent agent(listener, converterProgram(), notifier);
    QSocketNotifier terminate(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&terminate, &QSocketNotifier::activated, &application, [&agent] {
        agent.stop();
        QCoreApplication::quit();
    });
    std::fprintf(stderr, "folyant-session: taking print jobs on %s\n", removal.path.c_str());
    return QApplication::exec() == 0 ? kDone : kFailed;
}
