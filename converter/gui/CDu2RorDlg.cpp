#include "converter/gui/CDu2RorDlg.h"

#include "converter/gui/CAboutDlg.h"
#include "converter/gui/CFolderPicker.h"
#include "converter/gui/CFolderSettingsDlg.h"
#include "converter/gui/CPaperDlg.h"
#include "converter/gui/CPercentProgressCtrl.h"
#include "converter/gui/CQualityDlg.h"
#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "platform/Folders.h"
#include "platform/Platform.h"
#include "platform/TerminationWatch.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtTermination.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <utility>

namespace folyant::converter {

CDu2RorDlg::CDu2RorDlg(ConversionJob job, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_conversion(std::move(job), platform, *this)
{
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
    QMenu* about = menuBar->addMenu(tr("About"));
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
    m_progress->SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, gs::PostScriptFeed::kProgressRange));

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
        job().closeAfterProcess = m_closeAfterProcess->isChecked();
        return;
    }
    const ConversionJob& current = job();
    const gs::PostScriptFeed& feed = run();
    // Nothing is shown until the first chunk has gone.
    m_amount->setText(feed.bytesFed() > 0 ? QString::fromStdString(feed.amountText()) : QString());
    m_outputPath->setText(QString::fromStdString(current.outputPath));
    m_closeAfterProcess->setChecked(current.closeAfterProcess);

    // The log only grows during a run: append what is new instead of
    // replacing the whole text on every chunk.
    const std::string& log = feed.log().text();
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
    m_conversion.begin();
}

int CDu2RorDlg::DoModal()
{
    OnInitDialog();
    // A termination that came while a message of the start was open has
    // ended the run before its window was shown.
    if (TerminationWatch* watch = m_conversion.terminationWatch(); watch && watch->wasRequested())
        return QDialog::Rejected;
    return exec();
}

int CDu2RorDlg::StartInterpreter()
{
    return m_conversion.startInterpreter();
}

void CDu2RorDlg::SendPostScript(std::string_view text)
{
    m_conversion.sendPostScript(text);
}

void CDu2RorDlg::FeedStep()
{
    m_conversion.feedStep();
}

void CDu2RorDlg::CancelJob()
{
    m_conversion.cancel();
}

void CDu2RorDlg::showConverting(bool converting)
{
    if (converting)
        m_timer.start();
    else
        m_timer.stop();
    m_exitButton->setEnabled(!converting);
    m_cancelButton->setEnabled(converting);
}

void CDu2RorDlg::showFeeding()
{
    m_exitButton->setEnabled(false);
}

void CDu2RorDlg::showMailProgram(bool running)
{
    if (running) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        setEnabled(false);
        return;
    }
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    raise();
    activateWindow();
}

void CDu2RorDlg::ExitAndSave()
{
    saveSettings(m_platform.profile, job());
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
    ConversionJob& current = job();
    CFolderSettingsDlg dialog(m_chooseFolder, this);
    dialog.m_libFolder = current.libFolder;
    dialog.m_fontFolder = current.fontFolder;
    if (dialog.exec() != QDialog::Accepted)
        return;
    current.libFolder = dialog.m_libFolder;
    current.fontFolder = dialog.m_fontFolder;
    writeInstallationFolders(
        m_platform.machine, m_platform.messages, {current.libFolder, current.fontFolder});
}

void CDu2RorDlg::EditQuality()
{
    ConversionJob& current = job();
    CQualityDlg dialog(this);
    dialog.m_quality = current.quality;
    if (dialog.exec() == QDialog::Accepted)
        current.quality = dialog.m_quality;
}

void CDu2RorDlg::EditPaper()
{
    ConversionJob& current = job();
    CPaperDlg dialog(m_platform.messages, this);
    dialog.m_paperMode = current.paperSizeMode;
    dialog.m_width = static_cast<unsigned>(std::max(current.paperWidthMm, 0));
    dialog.m_height = static_cast<unsigned>(std::max(current.paperHeightMm, 0));
    if (dialog.exec() != QDialog::Accepted)
        return;
    current.paperSizeMode = dialog.m_paperMode;
    current.paperWidthMm = static_cast<int>(std::min<unsigned>(dialog.m_width, INT_MAX));
    current.paperHeightMm = static_cast<int>(std::min<unsigned>(dialog.m_height, INT_MAX));
}

void CDu2RorDlg::OpenAndConvert()
{
    // One conversion at a time: a second input would replace the one being
    // read mid-run.
    if (isConverting())
        return;
    // PostScript under the label it always had, and PDF, which the
    // conversion takes as well; the first entry shows both.
    const std::string filters = tr("PostScript 및 PDF").toStdString() + " (*.ps *.prn *.eps *.pdf);;"
        + tr("All Supported Files(*.ps,*.prn,*.eps)").toStdString() + " (*.ps *.prn *.eps);;"
        + tr("PDF Files").toStdString() + " (*.pdf)";
    const auto input = m_platform.files.openFile(filters);
    if (!input)
        return;
    const auto output = m_platform.files.saveFile(
        folders::titleOf(*input) + ".pdf", "pdf", tr("PDF Files").toStdString() + " (*.pdf)");
    if (!output)
        return;
    job().outputPath = *output;
    UpdateData(false);
    if (!m_conversion.feed().openSource(*input))
        return;
    // This path stamps nothing: the procedure is sent only by the start-up run.
    StartInterpreter();
}

void CDu2RorDlg::reject()
{
    // Closing mid-run is a cancel: a half-written PDF is never left behind.
    if (isConverting())
        CancelJob();
    QDialog::reject();
}

void CDu2RorDlg::setTerminationWatch(TerminationWatch* watch)
{
    m_conversion.setTerminationWatch(watch);
    if (watch)
        deliverTerminationRequests(*watch, *this, [this] { onTerminationRequested(); });
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
    if (TerminationWatch* watch = m_conversion.terminationWatch())
        watch->acknowledge();
}

void CDu2RorDlg::setProgress(int position)
{
    m_progress->SendMessage(PBM_SETPOS, static_cast<WPARAM>(position));
}

} // namespace folyant::converter
