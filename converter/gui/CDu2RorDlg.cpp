#include "converter/gui/CDu2RorDlg.h"

#include "converter/core/CMailMessage.h"
#include "converter/core/CPdfSecurity.h"
#include "converter/core/SecurityStep.h"
#include "converter/core/StringTable.h"
#include "converter/gui/CAboutDlg.h"
#include "converter/gui/CFolderPicker.h"
#include "converter/gui/CFolderSettingsDlg.h"
#include "converter/gui/CPaperDlg.h"
#include "converter/gui/CPercentProgressCtrl.h"
#include "converter/gui/CQualityDlg.h"
#include "platform/DialogUnits.h"
#include "platform/Folders.h"
#include "platform/InstallationFolders.h"
#include "platform/Platform.h"
#include "platform/TerminationWatch.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>
#include <utility>

namespace folyant::converter {

CDu2RorDlg::CDu2RorDlg(ConversionJob job, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , m_job(std::move(job))
    , m_platform(platform)
{
    m_job.closeAfterProcess = true;
    // The timer fires whenever the event loop is idle: one chunk per turn of
    // the loop keeps the window painted and the cancel button live without
    // holding the conversion back.
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &CDu2RorDlg::FeedStep);
    createControls();
}

CDu2RorDlg::~CDu2RorDlg() = default;

void CDu2RorDlg::createControls()
{
    setWindowTitle(QStringLiteral("DU2ROR"));
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/folyant.xpm"))));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint);

    auto* menuBar = new QMenuBar(this);
    QMenu* about = menuBar->addMenu(QStringLiteral("About"));
    connect(about->addAction(tr("Folyant 정보")), &QAction::triggered, this,
        [this] { OnCommand(kCommandAbout); });

    QMenu* settings = menuBar->addMenu(tr("설정"));
    const std::pair<const char*, std::pair<int, QKeySequence>> commands[] = {
        {QT_TR_NOOP("PostScript 파일 열기..."), {kCommandOpenAndConvert, QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {QT_TR_NOOP("폴더 설정..."), {kCommandFolders, QKeySequence(Qt::CTRL | Qt::Key_L)}},
        {QT_TR_NOOP("품질 설정..."), {kCommandQuality, QKeySequence(Qt::CTRL | Qt::Key_Q)}},
        {QT_TR_NOOP("용지 설정..."), {kCommandPaper, QKeySequence(Qt::CTRL | Qt::Key_P)}},
    };
    for (const auto& [label, command] : commands) {
        QAction* action = settings->addAction(tr(label));
        action->setShortcut(command.second);
        connect(action, &QAction::triggered, this, [this, id = command.first] { OnCommand(id); });
    }

    m_chooseFolder = [this](const std::string& caption, const std::string& instruction,
                         const std::string& initial) -> std::optional<std::string> {
        CFolderPicker picker(caption, instruction, initial, m_platform.messages, this);
        if (picker.DoModal() != 1)
            return std::nullopt;
        return picker.GetFolderPath();
    };

    auto* client = new QWidget(this);
    const DialogUnits units(*this);
    client->setFixedSize(units.size(319, 95));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    units.place(new QGroupBox(client), 0, 7, 3, 305, 63);

    m_exitButton = new QPushButton(tr("종료"), client);
    m_exitButton->setDefault(true);
    units.place(m_exitButton, 1005, 262, 73, 50, 14);
    connect(m_exitButton, &QPushButton::clicked, this, &CDu2RorDlg::ExitAndSave);

    m_cancelButton = new QPushButton(tr("작업 취소"), client);
    m_cancelButton->setAutoDefault(false);
    m_cancelButton->setEnabled(false); // there is nothing to cancel until a run starts
    units.place(m_cancelButton, 1006, 151, 29, 50, 14);
    connect(m_cancelButton, &QPushButton::clicked, this, &CDu2RorDlg::CancelJob);

    m_logView = new QPlainTextEdit(client);
    m_logView->setReadOnly(true);
    m_logView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    units.place(m_logView, 1003, 286, 21, 14, 17);
    m_logView->hide();

    units.place(new QLabel(tr("진행 :"), client), 0, 15, 32, 40, 12);
    m_amount = new QLabel(client);
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Wide enough for the kilobytes of any job (99999999 KB and more).
    units.place(m_amount, 1002, 50, 32, 40, 8);
    units.place(new QLabel(QStringLiteral("KB"), client), 0, 92, 32, 9, 8);

    units.place(new QLabel(tr("파일명 :"), client), 0, 15, 16, 40, 12);
    m_outputPath = new QLabel(client);
    units.place(m_outputPath, 1004, 64, 16, 248, 10);

    m_closeAfterProcess = new QCheckBox(tr("처리후 자동 종료"), client);
    units.place(m_closeAfterProcess, 1007, 177, 78, 70, 10);
    connect(m_closeAfterProcess, &QCheckBox::clicked, this, [this] { UpdateData(true); });

    auto* logLabel = new QLabel(tr("로그 :"), client);
    units.place(logLabel, 0, 257, 30, 55, 12);
    logLabel->hide();

    m_progress = new CPercentProgressCtrl(client);
    units.place(m_progress, 1021, 15, 48, 291, 12);

    // The window manager owns the system menu here; the same command is
    // offered on the window's context menu.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* aboutItem = new QAction(tr("About Folyant Velmo..."), this);
    connect(aboutItem, &QAction::triggered, this, [this] { OnCommand(kCommandAbout); });
    addAction(aboutItem);
}

void CDu2RorDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_job.closeAfterProcess = m_closeAfterProcess->isChecked();
        return;
    }
    // Nothing is shown until the first chunk has gone.
    m_amount->setText(m_run.bytesFed() > 0 ? QString::fromStdString(m_run.amountText()) : QString());
    m_outputPath->setText(QString::fromStdString(m_job.outputPath));
    m_closeAfterProcess->setChecked(m_job.closeAfterProcess);

    // The log only grows during a run: append what is new instead of
    // replacing the whole text on every chunk.
    const std::string& log = m_run.log().text();
    if (log.size() < m_logShownBytes) {
        m_logView->clear();
        m_logShownBytes = 0;
    }
    if (log.size() > m_logShownBytes) {
        m_logView->moveCursor(QTextCursor::End);
        m_logView->insertPlainText(QString::fromUtf8(
            log.data() + m_logShownBytes, static_cast<qsizetype>(log.size() - m_logShownBytes)));
        m_logShownBytes = log.size();
    }
}

void CDu2RorDlg::OnInitDialog()
{
    UpdateData(false);
    m_job.closeAfterProcess = m_platform.profile.getInt(profile::kCloseAfterProcess, 1) != 0;
    const InstallationFolders folders
        = readInstallationFolders(m_platform.machine, m_platform.messages, installedFolders());
    m_job.libFolder = folders.libFolder;
    m_job.fontFolder = folders.fontFolder;
    UpdateData(false);

    if (!m_job.sourcePath.empty()) {
        // "/source in.ps" alone names in.ps as the output too: the job file
        // is never written over.
        std::error_code ignored;
        if (std::filesystem::equivalent(m_job.sourcePath, m_job.outputPath, ignored)
            || m_job.sourcePath == m_job.outputPath) {
            m_failed = true;
            m_platform.messages.show(loadString(strings::kOutputIsSource));
            return;
        }
        if (!m_run.openSource(m_job.sourcePath)) {
            FailUnattendedRun(strings::kSourceNotReadable);
            return;
        }
    } else if (!m_job.outputPath.empty()) {
        m_run.useStandardInput();
    } else {
        FailUnattendedRun(strings::kNothingToConvert);
        return;
    }

    if (StartInterpreter() == 0)
        m_run.sendPageStamp(m_job.libFolder);
}

int CDu2RorDlg::DoModal()
{
    OnInitDialog();
    if (m_platform.unattended && !m_timer.isActive()) {
        // A refused interpreter stays until it is cancelled; nobody is there
        // to cancel it. It wrote nothing, so nothing at the output is touched.
        m_run.cancel({});
        return QDialog::Rejected;
    }
    if (m_platform.unattended) {
        // Nobody sees the window: the run goes on in an event loop of its
        // own, and nothing is painted (painting wants memory that a job at
        // its memory limit has taken).
        QEventLoop loop;
        connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
        loop.exec();
        return result();
    }
    return exec();
}

int CDu2RorDlg::StartInterpreter()
{
    m_progress->SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, gs::PostScriptFeed::kProgressRange));
    setProgress(0);
    // The interpreter creates the output as it starts: from then on an
    // ending without the GUI thread must remove it.
    if (m_termination) {
        m_termination->setPartialOutput(m_job.outputPath);
        m_termination->setScratchFolders(m_run.scratchFolders());
    }
    const int code = startInterpreter(m_run, m_job);
    if (m_termination) {
        m_termination->setPartialOutput(code == 0 ? m_job.outputPath : std::string());
        m_termination->setScratchFolders(m_run.scratchFolders());
    }
    if (code == 0) {
        m_timer.start();
        m_cancelButton->setEnabled(true);
    } else {
        FailRun(code == gs::GhostscriptSession::kNoScratchFolder ? strings::kNoScratchFolder
                                                                 : strings::kInterpreterNotStarted);
    }
    return code;
}

void CDu2RorDlg::SendPostScript(std::string_view text)
{
    m_run.sendPostScript(text);
}

void CDu2RorDlg::FeedStep()
{
    // A termination request is handled by its own slot; reading on could
    // block on a pipe whose writer has gone.
    if (m_termination && m_termination->wasRequested())
        return;

    const gs::PostScriptFeed::Step step = m_run.feedStep(m_job.outputPath);
    if (m_platform.unattended && m_run.log().ranOutOfMemory()) {
        // A print job at its memory limit: the pages after it would be
        // missing from a PDF that looks whole, and the interpreter's memory
        // goes only with the interpreter.
        CancelJob();
        FailRun(strings::kOutOfMemory);
        RunPostProcessing();
        return;
    }
    switch (step) {
    case gs::PostScriptFeed::Step::Fed:
        UpdateData(false);
        if (const auto position = m_run.progressPosition())
            setProgress(*position);
        m_exitButton->setEnabled(false);
        break;
    case gs::PostScriptFeed::Step::InputEnded:
        if (m_termination)
            m_termination->setPartialOutput({});
        if (isCutShortPdf(m_job.outputPath)) {
            // Written only in part (a full disk): no PDF, and nothing of the chain.
            ::unlink(m_job.outputPath.c_str());
            FailRun(strings::kPdfNotWritten);
        }
        RunPostProcessing();
        break;
    case gs::PostScriptFeed::Step::Failed:
        // A PDF that cannot be read: nothing was written, and nothing follows.
        if (m_termination)
            m_termination->setPartialOutput({});
        FailRun(strings::kPdfNotReadable);
        RunPostProcessing();
        break;
    case gs::PostScriptFeed::Step::Idle:
    case gs::PostScriptFeed::Step::Interrupted:
        break;
    }

    if (!m_run.log().shown()) {
        UpdateData(false);
        m_run.log().markShown();
    }
}

void CDu2RorDlg::FailRun(int message)
{
    m_failed = true;
    m_job.securityRequested = m_job.mailRequested = m_job.showRequested = false;
    m_platform.messages.show(loadString(message));
}

void CDu2RorDlg::FailUnattendedRun(int message)
{
    // Someone at the dialog sees that nothing runs and can open a file; a
    // print job's log must say why it left no PDF.
    if (m_platform.unattended)
        FailRun(message);
}

void CDu2RorDlg::RunPostProcessing()
{
    if (m_job.securityRequested) {
        ProtectOutput();
        m_job.securityRequested = false;
    }
    if (m_job.mailRequested)
        MailOutput();
    if (m_job.showRequested)
        m_platform.shell.open(m_job.outputPath);
    m_exitButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
    // Nobody could close a window left open by an unattended run.
    if (m_job.closeAfterProcess || m_platform.unattended)
        QDialog::reject();
    UpdateData(false);
    m_timer.stop();
    setProgress(gs::PostScriptFeed::kProgressRange);
}

void CDu2RorDlg::ProtectOutput()
{
    // A user who asked for protection is never left with an open PDF unawares,
    // nor with one where the protected one was expected.
    if (!isUsablePassword(m_job.userPassword) || !isUsablePassword(m_job.ownerPassword)) {
        m_platform.messages.show(loadString(strings::kPasswordNotUsable));
    } else {
        const auto request = std::make_unique<CPdfSecurity>(
            m_job.userPassword, m_job.ownerPassword, permissionValue(m_job.permissionText));
        if (protectInPlace(m_job.outputPath, *request) == 0)
            return;
        if (const int message = securityFailureMessage(GetLastPdfError()))
            m_platform.messages.show(loadString(message));
    }
    m_failed = true;
    // Not mailed or shown either: that would hand out what was to be protected.
    m_job.mailRequested = m_job.showRequested = false;
    const std::string kept = unprotectedNameFor(m_job.outputPath);
    if (::rename(m_job.outputPath.c_str(), kept.c_str()) == 0) {
        m_platform.messages.show(loadString(strings::kUnprotectedKept) + "\n" + kept);
        m_job.outputPath = kept;
    }
}

void CDu2RorDlg::MailOutput()
{
    CMailMessage mail(m_platform.mail, m_platform.messages);
    mail.m_message.subject = mailSubjectFor(m_job.outputPath);
    std::error_code ignored;
    mail.AddAttachment(std::filesystem::absolute(m_job.outputPath, ignored).string());
    mail.m_note.clear();
    mail.onModal = [this](bool running) {
        if (running) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            setEnabled(false);
            return;
        }
        setEnabled(true);
        QApplication::restoreOverrideCursor();
        raise();
        activateWindow();
    };
    mail.Send(MAPI_LOGON_UI);
}

void CDu2RorDlg::CancelJob()
{
    if (m_run.cancel(m_job.outputPath) && m_termination)
        m_termination->setPartialOutput({});
    m_timer.stop();
    m_exitButton->setEnabled(true);
    m_cancelButton->setEnabled(false);
}

void CDu2RorDlg::ExitAndSave()
{
    saveSettings(m_platform.profile, m_job);
    UpdateData(true);
    accept();
}

bool CDu2RorDlg::OnCommand(int id)
{
    switch (id) {
    case kCommandAbout: {
        CAboutDlg about(this);
        about.exec();
        return true;
    }
    case kCommandFolders:
        EditFolders();
        return true;
    case kCommandQuality:
        EditQuality();
        return true;
    case kCommandPaper:
        EditPaper();
        return true;
    case kCommandOpenAndConvert:
        OpenAndConvert();
        return true;
    default:
        return false;
    }
}

void CDu2RorDlg::EditFolders()
{
    CFolderSettingsDlg dialog(m_chooseFolder, this);
    dialog.m_libFolder = m_job.libFolder;
    dialog.m_fontFolder = m_job.fontFolder;
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_job.libFolder = dialog.m_libFolder;
    m_job.fontFolder = dialog.m_fontFolder;
    writeInstallationFolders(m_platform.machine, m_platform.messages, {m_job.libFolder, m_job.fontFolder});
}

void CDu2RorDlg::EditQuality()
{
    CQualityDlg dialog(this);
    dialog.m_quality = m_job.quality;
    if (dialog.exec() == QDialog::Accepted)
        m_job.quality = dialog.m_quality;
}

void CDu2RorDlg::EditPaper()
{
    CPaperDlg dialog(m_platform.messages, this);
    dialog.m_paperMode = m_job.paperSizeMode;
    dialog.m_width = static_cast<unsigned>(std::max(m_job.paperWidthMm, 0));
    dialog.m_height = static_cast<unsigned>(std::max(m_job.paperHeightMm, 0));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_job.paperSizeMode = dialog.m_paperMode;
    m_job.paperWidthMm = static_cast<int>(std::min<unsigned>(dialog.m_width, INT_MAX));
    m_job.paperHeightMm = static_cast<int>(std::min<unsigned>(dialog.m_height, INT_MAX));
}

void CDu2RorDlg::OpenAndConvert()
{
    // One conversion at a time: a second input would replace the one being
    // read mid-run.
    if (isConverting())
        return;
    // The label as it always read; the patterns in the form file dialogs take.
    const auto input = m_platform.files.openFile("All Supported Files(*.ps,*.prn,*.eps) (*.ps *.prn *.eps)");
    if (!input)
        return;
    const auto output
        = m_platform.files.saveFile(folders::titleOf(*input) + ".pdf", "pdf", "PDF Files (*.pdf)");
    if (!output)
        return;
    m_job.outputPath = *output;
    UpdateData(false);
    if (!m_run.openSource(*input))
        return;
    // This path stamps nothing: the procedure is sent only by the start-up run.
    StartInterpreter();
}

void CDu2RorDlg::reject()
{
    // Closing mid-run is a cancel: a half-written PDF is never left behind.
    if (m_run.hasInterpreter())
        CancelJob();
    QDialog::reject();
}

void CDu2RorDlg::setTerminationWatch(TerminationWatch* watch)
{
    m_termination = watch;
    if (watch)
        connect(watch, &TerminationWatch::terminationRequested, this, &CDu2RorDlg::onTerminationRequested);
}

void CDu2RorDlg::onTerminationRequested()
{
    // A dialog of ours or a file dialog may be open over this one: each ends
    // as if cancelled, so that every modal loop unwinds and the run can end.
    for (int open = 0; open < 16; ++open) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == this)
            break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    reject();
    if (m_termination)
        m_termination->acknowledge();
}

void CDu2RorDlg::setProgress(int position)
{
    m_progress->SendMessage(PBM_SETPOS, static_cast<WPARAM>(position));
}

} // namespace folyant::converter
