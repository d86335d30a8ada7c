#include "session/gui/SettingsDialog.h"

#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "platform/Folders.h"
#include "platform/OutputName.h"
#include "session/gui/AgentSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace folyant::session {

namespace {
// Where the backend, which names the PDFs, reads a user's template: the
// account's own home, whatever this session's XDG_CONFIG_HOME says.
std::string templateConfigFolder()
{
    return folders::homeFolder() + "/.config";
}
} // namespace

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Folyant Velmo 인쇄 설정"));
    const AgentSettings settings = AgentSettings::load();
    auto* layout = new QVBoxLayout(this);
    m_ask = new QCheckBox(tr("인쇄할 때마다 저장할 곳 묻기"), this);
    m_ask->setChecked(settings.askEachTime);
    layout->addWidget(m_ask);
    auto* note = new QLabel(
        tr("묻지 않으면 PDF는 아래 폴더에 아래 파일 이름으로 저장되고, 알림이 표시됩니다."), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* form = new QFormLayout;
    auto* folderRow = new QHBoxLayout;
    m_folder = new QLineEdit(settings.lastFolder, this);
    m_folder->setPlaceholderText(tr("기본값 (~/PDF 또는 기계 설정 OutputFolder)"));
    auto* browse = new QPushButton(tr("찾아보기..."), this);
    browse->setAutoDefault(false);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);
    form->addRow(tr("폴더:"), folderRow);
    m_machineOutputName = QString::fromStdString(
        IniMachineSettings().readString(names::kOutputName, installation::kValueBuffer).value_or(""));
    if (m_machineOutputName.isEmpty())
        m_machineOutputName = QString::fromLatin1(names::kDefaultTemplate);
    const auto own = names::userTemplate(templateConfigFolder());
    m_hadOwnOutputName = own.has_value();
    m_outputName
        = new QLineEdit(QString::fromStdString(own.value_or(m_machineOutputName.toStdString())), this);
    m_outputName->setObjectName(QStringLiteral("outputName"));
    form->addRow(tr("파일 이름:"), m_outputName);
    auto* tokens
        = new QLabel(tr("<Title> 문서 제목, <User> 사용자 이름\n<Date:%Y-%m-%d> 날짜, <Counter> 일련번호\n"
                        "<JobId> 인쇄 작업 번호, <Host> 인쇄한 컴퓨터"),
            this);
    // Lines of their own: a wrapped label in a form is not given its height.
    tokens->setTextFormat(Qt::PlainText);
    form->addRow(QString(), tokens);
    m_outputNameError = new QLabel(this);
    m_outputNameError->setObjectName(QStringLiteral("outputNameError"));
    m_outputNameError->setTextFormat(Qt::PlainText);
    m_outputNameError->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_outputNameError->hide();
    form->addRow(QString(), m_outputNameError);
    m_quality = new QComboBox(this);
    m_quality->addItems({tr("변환기 설정대로"), tr("Press Ready"), tr("Print Quality"), tr("Web")});
    m_quality->setCurrentIndex(settings.quality + 1);
    form->addRow(tr("품질:"), m_quality);
    layout->addLayout(form);
    m_open = new QCheckBox(tr("저장 후 열기"), this);
    m_open->setChecked(settings.openAfterSaving);
    layout->addWidget(m_open);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(m_outputName, &QLineEdit::textChanged, this, &SettingsDialog::checkOutputName);
    checkOutputName();
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(this, tr("폴더 선택"), m_folder->text());
        if (!chosen.isEmpty())
            m_folder->setText(chosen);
    });
}

bool SettingsDialog::checkOutputName()
{
    const names::TemplateCheck check = names::checkTemplate(m_outputName->text().trimmed().toStdString());
    QString problem;
    switch (check.problem) {
    case names::TemplateCheck::Problem::None:
        break;
    case names::TemplateCheck::Problem::UnknownToken:
        problem = tr("%1은(는) 알 수 없는 항목입니다.").arg(QString::fromStdString(check.unknownToken));
        break;
    case names::TemplateCheck::Problem::ExpandsToNothing:
        problem = tr("이 형식으로는 파일 이름이 만들어지지 않습니다.");
        break;
    }
    m_outputNameError->setText(problem);
    if (m_outputNameError->isVisibleTo(this) != !problem.isEmpty()) {
        m_outputNameError->setVisible(!problem.isEmpty());
        // The window takes the line's room and gives it back: a form of
        // labels would otherwise squeeze them into each other.
        adjustSize();
    }
    m_ok->setEnabled(problem.isEmpty());
    return problem.isEmpty();
}

void SettingsDialog::accept()
{
    if (!checkOutputName())
        return;
    const QString outputName = m_outputName->text().trimmed();
    const bool followsMachine = outputName == m_machineOutputName;
    if ((m_hadOwnOutputName || !followsMachine)
        && !names::saveUserTemplate(
            templateConfigFolder(), followsMachine ? std::string() : outputName.toStdString())) {
        m_outputNameError->setText(tr("파일 이름 형식을 저장할 수 없습니다."));
        m_outputNameError->show();
        return;
    }
    AgentSettings settings = AgentSettings::load();
    settings.askEachTime = m_ask->isChecked();
    settings.lastFolder = m_folder->text().trimmed();
    settings.quality = m_quality->currentIndex() - 1;
    settings.openAfterSaving = m_open->isChecked();
    settings.save();
    QDialog::accept();
}

} // namespace folyant::session
