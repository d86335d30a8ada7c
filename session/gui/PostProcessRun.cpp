#include "session/gui/PostProcessRun.h"

#include "installation/PostProcess.h"
#include "platform/Process.h"

#include <QProcessEnvironment>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace folyant::session {

namespace {

void logLines(const std::vector<postprocess::LogLine>& lines)
{
    for (const postprocess::LogLine& line : lines)
        std::fprintf(
            stderr, "folyant-session: %s %s\n", line.warning ? "WARNING:" : "INFO:", line.text.c_str());
}

} // namespace

PostProcessRun* PostProcessRun::start(
    const QString& program, const QString& pdf, int limitSeconds, QObject* parent)
{
    using postprocess::Ending;
    const std::string path = program.toStdString();
    if (!postprocess::mayRun(path)) {
        logLines(postprocess::report(path, limitSeconds, {Ending::Kind::NotAbsolute, 0}));
        return nullptr;
    }
    // Said as the backend says it: QProcess would tell no reason.
    if (::access(path.c_str(), X_OK) != 0) {
        logLines(postprocess::report(path, limitSeconds, {Ending::Kind::NotStarted, errno}));
        return nullptr;
    }
    return new PostProcessRun(program, pdf, limitSeconds, parent);
}

PostProcessRun::PostProcessRun(const QString& program, const QString& pdf, int limitSeconds, QObject* parent)
    : QObject(parent)
    , m_program(program.toStdString())
    , m_pdf(pdf.toStdString())
    , m_limitSeconds(limitSeconds)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : environment.keys())
        if (name.startsWith(QStringLiteral("FOLYANT_")))
            environment.remove(name);
    m_process.setProcessEnvironment(environment);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setReadChannel(QProcess::StandardError);
    // Its own group, so that a program past its limit is ended with what it started.
    m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(&m_process, &QProcess::readyReadStandardError, this, &PostProcessRun::collectErrors);
    connect(&m_process, &QProcess::finished, this, &PostProcessRun::finished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failedToStart();
    });
    m_limit.setSingleShot(true);
    m_grace.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &PostProcessRun::pastLimit);
    connect(&m_grace, &QTimer::timeout, this, [this] { endGroup(SIGKILL); });

    std::fprintf(
        stderr, "folyant-session: INFO: PostProcess %s started on %s\n", m_program.c_str(), m_pdf.c_str());
    m_process.start(program, {QString::fromStdString(process::pathArgument(m_pdf))});
    if (m_limitSeconds > 0)
        m_limit.start(m_limitSeconds * 1000);
}

PostProcessRun::~PostProcessRun()
{
    if (m_process.state() != QProcess::NotRunning)
        endWithin(0);
}

void PostProcessRun::endWithin(int milliseconds)
{
    if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(milliseconds))
        return;
    endGroup(SIGTERM);
    endGroup(SIGCONT);
    if (!m_process.waitForFinished(postprocess::kGraceMilliseconds)) {
        endGroup(SIGKILL);
        m_process.waitForFinished(-1);
    }
}

void PostProcessRun::collectErrors()
{
    const QByteArray text = m_process.readAllStandardError();
    const auto size = static_cast<std::size_t>(text.size());
    const std::size_t room
        = postprocess::kKeptErrorBytes - std::min(postprocess::kKeptErrorBytes, m_errors.size());
    const std::size_t kept = std::min(size, room);
    m_errors.append(text.constData(), kept);
    m_dropped += size - kept;
}

void PostProcessRun::pastLimit()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_pastLimit = true;
    // Asked first, so that it can remove what it was writing; a stopped one
    // is woken to hear it.
    endGroup(SIGTERM);
    endGroup(SIGCONT);
    m_grace.start(postprocess::kGraceMilliseconds);
}

void PostProcessRun::endGroup(int signal)
{
    // Only while its leader is not collected: until then no other process
    // can have the group's id.
    const qint64 leader = m_process.processId();
    if (leader > 0 && m_process.state() != QProcess::NotRunning)
        ::kill(-static_cast<pid_t>(leader), signal);
}

void PostProcessRun::finished(int exitCode, QProcess::ExitStatus status)
{
    using postprocess::Ending;
    m_limit.stop();
    m_grace.stop();
    collectErrors();
    Ending ending{Ending::Kind::Exited, exitCode};
    if (m_pastLimit)
        ending = {Ending::Kind::PastTimeLimit, 0};
    else if (status == QProcess::CrashExit)
        ending = {Ending::Kind::Signalled, exitCode};
    if (!m_logged)
        logLines(postprocess::report(m_program, m_limitSeconds, ending, m_errors, m_dropped));
    m_logged = true;
    emit ended();
    deleteLater();
}

void PostProcessRun::failedToStart()
{
    using postprocess::Ending;
    m_limit.stop();
    if (!m_logged)
        // It could be run but not started: it is no program this system runs.
        logLines(postprocess::report(m_program, m_limitSeconds, {Ending::Kind::NotStarted, ENOEXEC}));
    m_logged = true;
    emit ended();
    deleteLater();
}

} // namespace folyant::session
