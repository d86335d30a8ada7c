#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <string>

namespace folyant::session {

// The administrator's action (the machine's PostProcess) on a PDF the agent
// saved, run as this user beside whatever the agent does next: the agent
// never waits for it. It runs in a process group of its own with the PDF's
// path as its only argument and the machine's time limit; past the limit it
// is ended with what it started. Its standard error and how it ended go to
// the agent's log (standard error) at the level of its outcome. The PDF stays
// whatever it does.
class PostProcessRun : public QObject {
    Q_OBJECT
public:
    // Starts program on pdf, owned by parent; the run deletes itself once it
    // ended and was logged. Nothing runs, and the log says why, when the
    // program is no full path or cannot be started.
    static PostProcessRun* start(
        const QString& program, const QString& pdf, int limitSeconds, QObject* parent);
    ~PostProcessRun() override;

    // Waits at most that long for the program to end, then ends it.
    void endWithin(int milliseconds);

signals:
    void ended();

private:
    PostProcessRun(const QString& program, const QString& pdf, int limitSeconds, QObject* parent);
    void collectErrors();
    void pastLimit();
    void endGroup(int signal);
    void finished(int exitCode, QProcess::ExitStatus status);
    void failedToStart();

    std::string m_program;
    std::string m_pdf;
    int m_limitSeconds = 0;
    QProcess m_process;
    QTimer m_limit;
    QTimer m_grace;
    bool m_pastLimit = false;
    bool m_logged = false;
    std::string m_errors;
    std::size_t m_dropped = 0;
};

} // namespace folyant::session
