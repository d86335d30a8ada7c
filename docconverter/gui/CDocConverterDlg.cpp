#include "docconverter/gui/CDocConverterDlg.h"

#include "docconverter/core/StartCommand.h"
#include "docconverter/gui/CAboutDlg.h"
#include "docconverter/gui/CHwpViewerPathDlg.h"
#include "installation/MachineSettings.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/TerminationWatch.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtTermination.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace folyant::docconverter {

namespace {
// The controls the start command disables while it runs.
constexpr int kJobControls[] = {1002, 1003, 1004, 1005, 1006, 1008, 1014, 1};
} // namespace

QPixmap bannerBitmap(const QSize& size)
{
    QPixmap banner(size);
    QPainter painter(&banner);
    QLinearGradient sky(0, 0, size.width(), 0);
    sky.setColorAt(0, QColor(0x1f, 0x3a, 0x68));
    sky.setColorAt(1, QColor(0x4f, 0x8a, 0xc9));
    painter.fillRect(banner.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setBold(true);
    title.setPixelSize(qMax(10, size.height() * 2 / 5));
    painter.setFont(title);
    painter.drawText(banner.rect().adjusted(size.height() / 3, 0, 0, -size.height() / 5),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Folyant Velmo"));
    QFont note = painter.font();
    note.setBold(false);
    note.setPixelSize(qMax(8, size.height() / 5));
    painter.setFont(note);
    painter.drawText(banner.rect().adjusted(size.height() / 3, size.height() / 2, 0, 0),
        Qt::AlignLeft | Qt::AlignVCenter, QObject::tr("DOC · RTF · XLS · PPT · HWP → PDF"));
    return banner;
}

CDocConverterDlg::CDocConverterDlg(DocPlatform platform, QWidget* parent)
    : QDialog(parent)
    , m_platform(platform)
{
    createControls();
}

CDocConverterDlg::~CDocConverterDlg() = default;

void CDocConverterDlg::createControls()
{
    setWindowTitle(QStringLiteral("Folyant Velmo"));
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/folyant.xpm"))));

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(tr("파일"));
    connect(file->addAction(tr("작업시작")), &QAction::triggered, this, [this] { OnCommand(kCommandStart); });
    connect(file->addAction(tr("닫기")), &QAction::triggered, this, [this] { OnCommand(kCommandClose); });
    QMenu* settings = menuBar->addMenu(tr("설정"));
    connect(settings->addAction(tr("한/글 뷰어 경로")), &QAction::triggered, this,
        [this] { OnCommand(kCommandHwpViewerPath); });
    QMenu* about = menuBar->addMenu(tr("제품정보"));
    connect(about->addAction(tr("Folyant Velmo은?")), &QAction::triggered, this,
        [this] { OnCommand(kCommandAbout); });

    auto* client = new QWidget(this);
    const DialogUnits units(*this);
    client->setFixedSize(units.size(250, 154));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* banner = units.place(new QLabel(client), 1025, 0, 0, 250, 40);
    banner->setPixmap(bannerBitmap(banner->size()));
    units.place(new QGroupBox(client), 0, 7, 44, 236, 82);

    units.place(new QLabel(tr("변환할 문서 :"), client), 0, 14, 54, 100, 8);
    m_documentEdit = units.place(new QLineEdit(client), 1002, 14, 64, 190, 14);
    auto* browseDocument = units.place(new QPushButton(QStringLiteral("..."), client), 1003, 208, 64, 28, 14);
    auto* viewDocument = units.place(new QPushButton(tr("보기"), client), 1006, 208, 64, 28, 14);
    viewDocument->hide();
    viewDocument->setEnabled(false);

    units.place(new QLabel(tr("저장할 PDF 파일명 :"), client), 0, 14, 86, 100, 8);
    m_pdfEdit = units.place(new QLineEdit(client), 1005, 14, 96, 190, 14);
    auto* browsePdf = units.place(new QPushButton(QStringLiteral("..."), client), 1004, 208, 96, 28, 14);

    auto* viewPdf = units.place(new QPushButton(tr("보기"), client), 1008, 132, 133, 50, 14);
    auto* start = units.place(new QPushButton(tr("작업시작"), client), 1014, 186, 133, 57, 14);
    auto* close = units.place(new QPushButton(tr("닫기"), client), 1, 7, 133, 50, 14);
    close->setDefault(true);
    close->hide();
    for (QPushButton* button : {browseDocument, viewDocument, browsePdf, viewPdf, start})
        button->setAutoDefault(false);

    connect(browseDocument, &QPushButton::clicked, this, &CDocConverterDlg::OnBrowseDocument);
    connect(browsePdf, &QPushButton::clicked, this, &CDocConverterDlg::OnBrowsePdf);
    connect(viewPdf, &QPushButton::clicked, this, &CDocConverterDlg::OnViewPdf);
    connect(viewDocument, &QPushButton::clicked, this, &CDocConverterDlg::OnViewDocument);
    connect(start, &QPushButton::clicked, this, [this] { OnCommand(kCommandStart); });
    connect(close, &QPushButton::clicked, this, &CDocConverterDlg::accept);

    // The window manager owns the system menu here; its entry is offered on
    // the window's context menu.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* aboutItem = new QAction(tr("zevConverter 정보(&A)..."), this);
    connect(aboutItem, &QAction::triggered, this, [this] { OnCommand(kCommandAbout); });
    addAction(aboutItem);
}

void CDocConverterDlg::OnInitDialog()
{
    DocumentInstallation installation = readDocumentInstallation(m_platform.machine, m_platform.messages);
    m_folders = std::move(installation.folders);
    m_hwpViewerPath = std::move(installation.hwpViewerPath);
    m_officeIdle = installation.officeIdleSeconds;
    UpdateData(false);
}

int CDocConverterDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CDocConverterDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_documentPath = m_documentEdit->text().toStdString();
        m_pdfPath = m_pdfEdit->text().toStdString();
    } else {
        m_documentEdit->setText(QString::fromStdString(m_documentPath));
        m_pdfEdit->setText(QString::fromStdString(m_pdfPath));
    }
}

void CDocConverterDlg::OnBrowseDocument()
{
    const auto chosen = m_platform.files.openFile(tr("All Supported Files").toStdString()
        + " (*.DOC *.RTF *.PPT *.XLS *.HWP *.doc *.rtf *.ppt *.xls *.hwp)");
    if (!chosen)
        return;
    m_documentPath = *chosen;
    UpdateData(false);
}

void CDocConverterDlg::OnBrowsePdf()
{
    const auto chosen = m_platform.files.saveFile({}, {}, tr("PDF Files").toStdString() + " (*.PDF *.pdf)");
    if (!chosen)
        return;
    m_pdfPath = *chosen;
    UpdateData(false);
}

void CDocConverterDlg::OnViewPdf()
{
    UpdateData(true);
    if (!m_pdfPath.empty())
        m_platform.shell.open(m_pdfPath);
}

void CDocConverterDlg::OnViewDocument()
{
    UpdateData(true);
    if (!m_documentPath.empty())
        m_platform.shell.open(m_documentPath);
}

StartOutcome CDocConverterDlg::OnStart()
{
    if (m_running)
        return StartOutcome::NothingToDo;
    UpdateData(true);
    setControlsEnabled(false);
    StartNames names{m_documentPath, m_pdfPath};
    m_running = true;
    DocumentJob job(m_folders, {m_platform.messages, m_platform.destinations, m_platform.fonts},
        [this] { return pump(); });
    job.setHwpViewerPath(m_hwpViewerPath);
    job.setOfficeIdle(m_officeIdle);
    job.setAttended(true);
    if (m_printer)
        job.setPrinter(m_printer);
    const StartOutcome outcome = runStartCommand(names, m_platform.messages, job);
    m_running = false;
    m_documentPath = names.documentPath;
    m_pdfPath = names.pdfPath;
    // The trimmed and completed names are shown after a message or a
    // conversion, never after the silent stop for an empty name.
    if (outcome == StartOutcome::Refused || outcome == StartOutcome::Converted)
        UpdateData(false);
    setControlsEnabled(true);
    if (outcome == StartOutcome::Cancelled)
        onTerminationRequested();
    return outcome;
}

bool CDocConverterDlg::OnCommand(int id)
{
    switch (id) {
    case kCommandStart:
        OnStart();
        return true;
    case kCommandClose:
        reject();
        return true;
    case kCommandHwpViewerPath: {
        if (m_running)
            return true;
        CHwpViewerPathDlg dialog(m_hwpViewerPath, m_platform.machine, m_platform.files, this);
        dialog.exec();
        m_hwpViewerPath = dialog.path();
        return true;
    }
    case kCommandAbout: {
        CAboutDlg about(this);
        about.exec();
        return true;
    }
    default:
        return false;
    }
}

void CDocConverterDlg::setControlsEnabled(bool enabled)
{
    for (const int id : kJobControls)
        if (auto* control = findChild<QWidget*>(QString::number(id)))
            control->setEnabled(enabled);
}

bool CDocConverterDlg::pump()
{
    QCoreApplication::processEvents();
    return pumpUnlessTerminated(m_termination);
}

void CDocConverterDlg::reject()
{
    // A closed dialog in the middle of a job has no defined outcome.
    if (m_running)
        return;
    QDialog::reject();
}

void CDocConverterDlg::accept()
{
    if (m_running)
        return;
    QDialog::accept();
}

void CDocConverterDlg::keyPressEvent(QKeyEvent* event)
{
    // As the dialog's buttons define the keys: Enter presses the push button
    // that has the focus, else the default button "닫기", which is hidden
    // (Qt's own handling skips a hidden default) and ends the dialog with OK;
    // Escape cancels. While a job runs, both end nothing.
    const bool plain = event->modifiers() == Qt::NoModifier
        || (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        auto* button
            = focused && focused->isVisible() ? focused : findChild<QPushButton*>(QStringLiteral("1"));
        if (button && button->isEnabled())
            button->click();
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDocConverterDlg::setTerminationWatch(TerminationWatch* watch)
{
    m_termination = watch;
    if (watch)
        deliverTerminationRequests(*watch, *this, [this] { onTerminationRequested(); });
}

void CDocConverterDlg::onTerminationRequested()
{
    // During a job the feed sees the request and ends it; the dialog closes
    // once the job has cleaned up.
    if (m_running)
        return;
    QDialog::reject();
    if (m_termination)
        m_termination->acknowledge();
}

} // namespace folyant::docconverter
