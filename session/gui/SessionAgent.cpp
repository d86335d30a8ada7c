#include "session/gui/SessionAgent.h"

#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "installation/PostProcess.h"
#include "platform/OutputName.h"
#include "session/gui/AgentSettings.h"
#include "session/gui/DesktopNotifier.h"
#include "session/gui/PostProcessRun.h"
#include "session/gui/SaveDialog.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace folyant::session {

namespace {
// The backend waits seconds for the acknowledgement: a connection that does
// not send its job at once is not the backend.
constexpr int kReceiveTimeoutMilliseconds = 3000;
// How long an ending agent waits for the conversion under way.
constexpr int kShutdownWaitMilliseconds = 60000;
// The descriptor the hidden words reach the converter on.
constexpr int kWordsDescriptor = 3;
} // namespace

SessionAgent::SessionAgent(int listener, QString converter, DesktopNotifier& notifier, QObject* parent)
    : QObject(parent)
    , m_listener(listener)
    , m_converterProgram(std::move(converter))
    , m_desktop(notifier)
{
    m_notifier = new QSocketNotifier(static_cast<qintptr>(m_listener), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionAgent::acceptJobs);
}

SessionAgent::~SessionAgent()
{
    // A conversion under way is let finish (within reason): ending it would
    // lose a job the backend counts as done.
    if (m_converter) {
        m_converter->disconnect(this);
        m_converter->waitForFinished(kShutdownWaitMilliseconds);
    }
    // So is the administrator's action on a PDF: it may be filing it away.
    for (PostProcessRun* run : findChildren<PostProcessRun*>())
        run->endWithin(kShutdownWaitMilliseconds);
    for (const Job& job : m_queue)
        ::close(job.file);
    for (const Job& job : m_series)
        ::close(job.file);
    if (m_current.file >= 0)
        ::close(m_current.file);
    ::close(m_listener);
}

void SessionAgent::acceptJobs()
{
    for (;;) {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            break;
        std::string why;
        auto job = agent::receiveJob(connection, kReceiveTimeoutMilliseconds, why);
        ::close(connection);
        if (!job) {
            if (!why.empty())
                std::fprintf(stderr, "folyant-session: %s\n", why.c_str());
            continue;
        }
        m_queue.push_back({job->file, std::move(job->values)});
    }
    // Not from inside a dialog of the job before: that one's own call goes on.
    if (!m_busy)
        next();
    else if (m_dialog)
        m_dialog->setWaitingJobs(static_cast<int>(m_queue.size()));
}

QString SessionAgent::value(const char* name) const
{
    const auto found = m_current.values.find(name);
    return found == m_current.values.end() ? QString() : QString::fromStdString(found->second);
}

void SessionAgent::stop()
{
    // No new jobs: the backend, unanswered, converts them itself.
    m_stopping = true;
    m_notifier->setEnabled(false);
    // Jobs of a series not yet combined are saved each on its own, as every
    // job taken is.
    while (!m_series.empty()) {
        m_queue.push_front(std::move(m_series.back()));
        m_series.pop_back();
    }
    m_seriesChoices.clear();
}

SaveChoice SessionAgent::proposedChoice() const
{
    const AgentSettings settings = AgentSettings::load();
    const IniMachineSettings machine;
    SaveChoice proposed;
    proposed.folder = startFolder(settings.lastFolder.toStdString(),
        machine.readString(installation::kOutputFolder, installation::kOutputFolderBuffer),
        QDir::homePath().toStdString());
    proposed.name = proposedBase().toStdString() + ".pdf";
    // The quality the job asked for (the printer's option), else the agent's.
    proposed.quality = settings.quality;
    bool isNumber = false;
    if (const int asked = value(agent::kQuality).toInt(&isNumber); isNumber && asked >= 0 && asked <= 2)
        proposed.quality = asked;
    proposed.openAfterSaving = settings.openAfterSaving;
    proposed.encryption = protectionEncryption(machine);
    return proposed;
}

QString SessionAgent::proposedBase() const
{
    const QString base = value(agent::kProposedName);
    return base.isEmpty() ? QStringLiteral("Untitled") : base;
}

std::optional<SaveChoice> SessionAgent::unaskedChoice(SaveChoice proposed)
{
    // A name nobody has taken, in the usual folder.
    if (!QDir().mkpath(QString::fromStdString(proposed.folder))) {
        m_desktop.jobFailed(value(agent::kTitle),
            tr("'%1' 폴더를 만들 수 없습니다.").arg(QString::fromStdString(proposed.folder)));
        return std::nullopt;
    }
    const std::string reserved = names::reserveUniquePdf(proposed.folder, proposedBase().toStdString());
    if (reserved.empty()) {
        m_desktop.jobFailed(value(agent::kTitle),
            tr("'%1' 폴더에 PDF를 만들 수 없습니다.").arg(QString::fromStdString(proposed.folder)));
        return std::nullopt;
    }
    proposed.name = reserved.substr(proposed.folder.size() + 1);
    proposed.openAfterSaving = false;
    return proposed;
}

void SessionAgent::saveAfterStop()
{
    // The backend was told the job is taken: it must not be lost with the
    // agent. A converter that outlives the agent saves it without asking.
    const auto choice = unaskedChoice(proposedChoice());
    if (!choice)
        return;
    QProcess converter;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FOLYANT_UNATTENDED"), QStringLiteral("1"));
    converter.setProcessEnvironment(environment);
    converter.setStandardInputFile(QStringLiteral("/proc/self/fd/") + QString::number(m_current.file));
    converter.setProgram(m_converterProgram);
    QStringList arguments;
    for (const std::string& word : converterWords(*choice).visible)
        arguments << QString::fromStdString(word);
    converter.setArguments(arguments);
    if (!converter.startDetached())
        std::fprintf(stderr, "folyant-session: cannot start %s; the job \"%s\" is lost\n",
            m_converterProgram.toLocal8Bit().constData(), value(agent::kTitle).toLocal8Bit().constData());
}

void SessionAgent::next()
{
    while (!m_busy && !m_queue.empty()) {
        m_current = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        if (m_stopping) {
            saveAfterStop();
            finish();
            continue;
        }

        const AgentSettings settings = AgentSettings::load();
        const SaveChoice proposed = proposedChoice();
        if (settings.askEachTime) {
            SaveDialog dialog(
                proposed, value(agent::kTitle), m_previousPdf, static_cast<int>(m_queue.size()));
            dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
            dialog.show();
            dialog.raise();
            dialog.activateWindow();
            m_dialog = &dialog;
            const int answer = dialog.exec();
            m_dialog = nullptr;
            if (answer != QDialog::Accepted) {
                // Cancelled: nothing is written. Closed by the end of the
                // session instead: saved without asking.
                if (m_stopping)
                    saveAfterStop();
                finish();
                continue;
            }
            AgentSettings remembered = AgentSettings::load();
            remembered.lastFolder = QString::fromStdString(dialog.choice().folder);
            remembered.save();
            if (dialog.combinesWaitingJobs()) {
                // In the order they were printed, those waiting now.
                const std::vector<SaveChoice> choices = combinedChoices(dialog.choice(), 1 + m_queue.size());
                m_seriesChoices.assign(choices.begin() + 1, choices.end());
                m_series = std::move(m_queue);
                m_queue.clear();
                convert(choices.front(), true);
                return;
            }
            convert(dialog.choice(), true);
            return;
        }

        const auto unasked = unaskedChoice(proposed);
        if (!unasked) {
            finish();
            continue;
        }
        m_reserved = true;
        convert(*unasked, false);
        return;
    }
}

bool SessionAgent::FileIdentity::operator==(const FileIdentity& other) const
{
    return device == other.device && inode == other.inode && modified.tv_sec == other.modified.tv_sec
        && modified.tv_nsec == other.modified.tv_nsec;
}

SessionAgent::FileIdentity SessionAgent::identityOf(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {info.st_dev, info.st_ino, info.st_mtim};
}

void SessionAgent::convert(const SaveChoice& choice, bool attended)
{
    m_choice = choice;
    m_attended = attended;
    m_targetBefore = identityOf(choice.path());
    const ConverterWords words = converterWords(choice);

    int wordsPipe[2] = {-1, -1};
    if (!words.hidden.empty()) {
        std::string text;
        for (const std::string& word : words.hidden) {
            text += word;
            text += '\0';
        }
        // A few short words: the pipe holds them until the converter reads.
        if (::pipe2(wordsPipe, O_CLOEXEC) != 0
            || ::write(wordsPipe[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            m_desktop.jobFailed(value(agent::kTitle), tr("변환기에 암호를 넘길 수 없습니다."));
            finish();
            return;
        }
        ::close(wordsPipe[1]);
    }

    m_converter = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FOLYANT_UNATTENDED"));
    if (!attended)
        environment.insert(QStringLiteral("FOLYANT_UNATTENDED"), QStringLiteral("1"));
    if (wordsPipe[0] >= 0)
        environment.insert(QStringLiteral("FOLYANT_WORDS_FD"), QString::number(kWordsDescriptor));
    m_converter->setProcessEnvironment(environment);
    // The job's file, from its start, by the descriptor the backend passed:
    // no path to it exists that anyone could swap.
    m_converter->setStandardInputFile(QStringLiteral("/proc/self/fd/") + QString::number(m_current.file));
    m_converter->setProcessChannelMode(QProcess::ForwardedChannels);
    const int wordsRead = wordsPipe[0];
    m_converter->setChildProcessModifier([wordsRead] {
        if (wordsRead < 0)
            return;
        if (wordsRead == kWordsDescriptor)
            ::fcntl(kWordsDescriptor, F_SETFD, 0);
        else
            ::dup2(wordsRead, kWordsDescriptor);
    });
    QStringList arguments;
    for (const std::string& word : words.visible)
        arguments << QString::fromStdString(word);
    connect(m_converter, &QProcess::finished, this, &SessionAgent::converted);
    connect(m_converter, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            converted(-1, QProcess::CrashExit);
    });
    m_converter->start(m_converterProgram, arguments);
    if (wordsPipe[0] >= 0)
        ::close(wordsPipe[0]);
}

void SessionAgent::converted(int exitCode, QProcess::ExitStatus status)
{
    if (!m_converter)
        return;
    m_converter->deleteLater();
    const QString error = m_converter->errorString();
    m_converter = nullptr;
    const QString pdf = QString::fromStdString(m_choice.path());
    const bool ended = status == QProcess::NormalExit && exitCode == 0;
    const bool saved = ended && postprocess::isFinishedPdf(m_choice.path())
        && !(identityOf(m_choice.path()) == m_targetBefore);
    if (saved) {
        m_previousPdf = pdf;
        if (!m_seriesChoices.empty() && continueSeries())
            return;
        m_desktop.pdfReady(pdf);
        // Once for a series' PDF, when its last job is in it.
        const IniMachineSettings machine;
        if (const std::string program = postprocess::configuredProgram(machine); !program.empty())
            PostProcessRun::start(
                QString::fromStdString(program), pdf, postprocess::timeLimitSeconds(machine), this);
    } else {
        // A series stops at a job that failed: the rest are asked for again.
        while (!m_series.empty()) {
            m_queue.push_front(std::move(m_series.back()));
            m_series.pop_back();
        }
        m_seriesChoices.clear();
        // A name reserved for a PDF that never came is given back.
        struct stat info { };
        if (m_reserved && ::stat(m_choice.path().c_str(), &info) == 0 && info.st_size == 0)
            ::unlink(m_choice.path().c_str());
        // Cancelled in the converter's own dialog (its cancel, or its window
        // closed while it converted): the user knows, and a failure notice
        // would say otherwise. Its run then ends as usual with nothing written.
        constexpr int kTerminated = 143;
        const bool cancelled = m_attended && (ended || exitCode == kTerminated);
        if (!cancelled)
            m_desktop.jobFailed(value(agent::kTitle),
                exitCode < 0 ? tr("변환기를 실행할 수 없습니다: %1").arg(error)
                             : tr("변환기가 PDF를 만들지 못했습니다 (종료 코드 %1).").arg(exitCode));
    }
    finish();
    next();
}

bool SessionAgent::continueSeries()
{
    if (m_series.empty()) {
        m_seriesChoices.clear();
        return false;
    }
    finish();
    m_current = std::move(m_series.front());
    m_series.pop_front();
    const SaveChoice choice = m_seriesChoices.front();
    m_seriesChoices.pop_front();
    m_busy = true;
    convert(choice, true);
    return true;
}

void SessionAgent::finish()
{
    if (m_current.file >= 0)
        ::close(m_current.file);
    m_current = {};
    m_reserved = false;
    m_busy = false;
}

} // namespace folyant::session
