#include "session/gui/SaveDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace folyant::session {

SaveDialog::SaveDialog(const SaveChoice& proposed, const QString& jobTitle, const QString& previousPdf,
    int waitingJobs, QWidget* parent)
    : QDialog(parent)
    , m_choice(proposed)
    , m_previousPdf(previousPdf)
{
    setWindowTitle(tr("PDF로 저장 - Folyant Velmo"));
    auto* layout = new QVBoxLayout(this);
    auto* printed = new QLabel(tr("인쇄한 문서: %1").arg(jobTitle), this);
    printed->setTextFormat(Qt::PlainText);
    printed->setWordWrap(true);
    layout->addWidget(printed);

    auto* form = new QFormLayout;
    m_name = new QLineEdit(QString::fromStdString(proposed.name), this);
    m_name->setObjectName(QStringLiteral("name"));
    form->addRow(tr("파일 이름:"), m_name);
    auto* folderRow = new QHBoxLayout;
    m_folder = new QLineEdit(QString::fromStdString(proposed.folder), this);
    m_folder->setObjectName(QStringLiteral("folder"));
    auto* browseButton = new QPushButton(tr("찾아보기..."), this);
    browseButton->setAutoDefault(false);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browseButton);
    form->addRow(tr("폴더:"), folderRow);
    m_quality = new QComboBox(this);
    m_quality->setObjectName(QStringLiteral("quality"));
    // The converter's own presets, under their own names, and its setting.
    m_quality->addItems({tr("변환기 설정대로"), tr("Press Ready"), tr("Print Quality"), tr("Web")});
    m_quality->setCurrentIndex(proposed.quality >= 0 && proposed.quality <= 2 ? proposed.quality + 1 : 0);
    form->addRow(tr("품질:"), m_quality);
    layout->addLayout(form);

    m_protect = new QGroupBox(tr("암호로 보호"), this);
    m_protect->setObjectName(QStringLiteral("protect"));
    m_protect->setCheckable(true);
    m_protect->setChecked(proposed.protect);
    auto* protection = new QFormLayout(m_protect);
    m_userPassword = new QLineEdit(m_protect);
    m_userPassword->setEchoMode(QLineEdit::Password);
    m_userPassword->setObjectName(QStringLiteral("userPassword"));
    protection->addRow(tr("열기 암호:"), m_userPassword);
    m_ownerPassword = new QLineEdit(m_protect);
    m_ownerPassword->setEchoMode(QLineEdit::Password);
    m_ownerPassword->setObjectName(QStringLiteral("ownerPassword"));
    protection->addRow(tr("권한 암호:"), m_ownerPassword);
    m_allowPrinting = new QCheckBox(tr("인쇄 허용"), m_protect);
    m_allowPrinting->setChecked(proposed.allowPrinting);
    m_allowCopying = new QCheckBox(tr("내용 복사 허용"), m_protect);
    m_allowCopying->setChecked(proposed.allowCopying);
    protection->addRow(m_allowPrinting);
    protection->addRow(m_allowCopying);
    layout->addWidget(m_protect);

    m_mail = new QCheckBox(tr("메일로 보내기"), this);
    m_mail->setObjectName(QStringLiteral("mail"));
    m_mail->setChecked(proposed.mail);
    layout->addWidget(m_mail);
    m_open = new QCheckBox(tr("저장 후 열기"), this);
    m_open->setObjectName(QStringLiteral("open"));
    m_open->setChecked(proposed.openAfterSaving);
    layout->addWidget(m_open);
    m_combine = new QCheckBox(this);
    m_combine->setObjectName(QStringLiteral("combine"));
    layout->addWidget(m_combine);
    setWaitingJobs(waitingJobs);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setDefault(true);
    auto* addToButton = buttons->addButton(tr("기존 PDF에 추가…"), QDialogButtonBox::ActionRole);
    addToButton->setObjectName(QStringLiteral("addTo"));
    addToButton->setAutoDefault(false);
    connect(addToButton, &QPushButton::clicked, this, &SaveDialog::chooseAddTo);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SaveDialog::reject);
    connect(browseButton, &QPushButton::clicked, this, &SaveDialog::browse);

    // The name is what most users change: selected, without its extension.
    m_name->setFocus();
    const QString shown = m_name->text();
    const qsizetype stem
        = shown.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? shown.size() - 4 : shown.size();
    m_name->setSelection(0, static_cast<int>(stem));
    resize(sizeHint().expandedTo(QSize(480, 0)));
}

void SaveDialog::browse()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("폴더 선택"), m_folder->text());
    if (!chosen.isEmpty())
        m_folder->setText(chosen);
}

bool SaveDialog::combinesWaitingJobs() const
{
    return m_combine->isVisibleTo(this) && m_combine->isChecked();
}

void SaveDialog::setWaitingJobs(int waitingJobs)
{
    m_combine->setText(tr("기다리는 작업 %1개도 인쇄한 순서대로 이 PDF에 합치기").arg(waitingJobs));
    m_combine->setVisible(waitingJobs > 0);
}

void SaveDialog::chooseAddTo()
{
    // The session's previous PDF first: adding to it is the usual wish.
    const QString start
        = !m_previousPdf.isEmpty() && QFileInfo::exists(m_previousPdf) ? m_previousPdf : m_folder->text();
    const QString chosen = QFileDialog::getOpenFileName(
        this, tr("페이지를 추가할 PDF 선택"), start, tr("PDF 파일 (*.pdf *.PDF)"));
    if (!chosen.isEmpty())
        addTo(chosen);
}

bool SaveDialog::addTo(const QString& pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly) || file.read(5) != "%PDF-") {
        QMessageBox::warning(
            this, windowTitle(), tr("'%1' 파일은 PDF가 아니어서 추가할 수 없습니다.").arg(pdf));
        return false;
    }
    if (!takeOptions())
        return false;
    const QFileInfo info(pdf);
    m_choice.folder = info.absolutePath().toStdString();
    m_choice.name = info.fileName().toStdString();
    m_choice.appendTo = info.absoluteFilePath().toStdString();
    QDialog::accept();
    return true;
}

bool SaveDialog::takeOptions()
{
    const bool protect = m_protect->isChecked();
    if (protect) {
        if (m_userPassword->text().isEmpty() && m_ownerPassword->text().isEmpty()) {
            QMessageBox::warning(this, windowTitle(), tr("보호하려면 암호를 하나 이상 입력하십시오."));
            m_userPassword->setFocus();
            return false;
        }
        for (QLineEdit* field : {m_userPassword, m_ownerPassword}) {
            if (!isUsablePassword(field->text().toStdString())) {
                QMessageBox::warning(this, windowTitle(), tr("암호는 '-'나 '/'로 시작할 수 없습니다."));
                field->setFocus();
                return false;
            }
        }
    }
    m_choice.quality = m_quality->currentIndex() - 1;
    m_choice.protect = protect;
    m_choice.userPassword = protect ? m_userPassword->text().toStdString() : std::string();
    m_choice.ownerPassword = protect ? m_ownerPassword->text().toStdString() : std::string();
    m_choice.allowPrinting = m_allowPrinting->isChecked();
    m_choice.allowCopying = m_allowCopying->isChecked();
    m_choice.mail = m_mail->isChecked();
    m_choice.openAfterSaving = m_open->isChecked();
    m_choice.appendTo.clear();
    return true;
}

void SaveDialog::accept()
{
    const auto warn = [this](const QString& text, QWidget* field) {
        QMessageBox::warning(this, windowTitle(), text);
        field->setFocus();
    };
    const auto name = pdfFileName(m_name->text().toStdString());
    if (!name) {
        warn(tr("파일 이름을 바르게 입력하십시오. 이름에는 '/'가 들어갈 수 없습니다."), m_name);
        return;
    }
    QString folder = QDir::cleanPath(m_folder->text().trimmed());
    if (folder.startsWith(QStringLiteral("~/")) || folder == QStringLiteral("~"))
        folder = QDir::homePath() + folder.mid(1);
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !QDir().mkpath(folder)) {
        warn(tr("'%1' 폴더를 쓸 수 없습니다.").arg(folder), m_folder);
        return;
    }
    if (!takeOptions())
        return;
    const QString path = folder + QLatin1Char('/') + QString::fromStdString(*name);
    if (QFileInfo::exists(path)
        && QMessageBox::question(this, windowTitle(),
               tr("'%1' 파일이 이미 있습니다. 바꾸시겠습니까?").arg(path), QMessageBox::Yes | QMessageBox::No,
               QMessageBox::No)
            != QMessageBox::Yes)
        return;

    m_choice.folder = folder.toStdString();
    m_choice.name = *name;
    QDialog::accept();
}

} // namespace folyant::session
