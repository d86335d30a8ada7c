#pragma once

#include "platform/AgentSocket.h"
#include "session/core/SaveChoice.h"

#include <QObject>
#include <QProcess>
#include <QString>

#include <sys/types.h>

#include <ctime>
#include <deque>
#include <optional>
#include <string>

class QSocketNotifier;

namespace folyant::session {

class DesktopNotifier;
class SaveDialog;

// The agent: takes the print jobs the backend hands over on the socket,
// queues them, and deals with one at a time: asks where to save it (unless
// the settings say not to ask), runs the converter on it with its progress
// dialog, and says what became of it. Idle, it waits on the socket and
// nothing else.
class SessionAgent : public QObject {
    Q_OBJECT
public:
    // listener: the socket from agent::listenForJobs, owned from now on.
    SessionAgent(int listener, QString converter, DesktopNotifier& notifier, QObject* parent = nullptr);
    ~SessionAgent() override;

    // The session ends: no further jobs are taken, and those taken already
    // are saved without asking (a dialog open is closed by the caller's quit).
    void stop();

private:
    struct Job {
        int file = -1;
        agent::JobValues values;
    };

    void acceptJobs();
    void next();
    SaveChoice proposedChoice() const;
    QString proposedBase() const;
    std::optional<SaveChoice> unaskedChoice(SaveChoice proposed);
    void saveAfterStop();
    void convert(const SaveChoice& choice, bool attended);
    void converted(int exitCode, QProcess::ExitStatus status);
    void finish();
    // The next job of a series of combined jobs; false when there is none.
    bool continueSeries();
    QString value(const char* name) const;

    int m_listener = -1;
    QSocketNotifier* m_notifier = nullptr;
    QString m_converterProgram;
    DesktopNotifier& m_desktop;
    std::deque<Job> m_queue;
    Job m_current;
    bool m_busy = false;
    bool m_stopping = false;
    SaveChoice m_choice;
    bool m_attended = false;
    bool m_reserved = false;
    // The target as it was before the converter ran (all zero: absent). A
    // converter publishes a new file by a rename: the same file afterwards
    // (an "Add to ..." target, or one chosen to be overwritten) means it
    // wrote nothing.
    struct FileIdentity {
        dev_t device = 0;
        ino_t inode = 0;
        timespec modified{};
        bool operator==(const FileIdentity& other) const;
    };
    static FileIdentity identityOf(const std::string& path);
    FileIdentity m_targetBefore;
    QProcess* m_converter = nullptr;
    // The last PDF saved in this session: "Add to ..." offers it first.
    QString m_previousPdf;
    // The save dialog while it is open.
    SaveDialog* m_dialog = nullptr;
    // Jobs combined into the PDF being made, after the current one, each
    // with its choice; given back to the queue when one fails.
    std::deque<Job> m_series;
    std::deque<SaveChoice> m_seriesChoices;
};

} // namespace folyant::session
