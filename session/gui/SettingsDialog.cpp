#include "session/gui/SettingsDialog.h"

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

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Folyant Velmo 인쇄 설정"));
    const AgentSettings settings = AgentSettings::load();
    auto* layout = new QVBoxLayout(this);
    m_ask = new QCheckBox(tr("인쇄할 때마다 저장할 곳 묻기"), this);
    m_ask->setChecked(settings.askEachTime);
    layout->addWidget(m_ask);
    auto* note
        = new QLabel(tr("묻지 않으면 PDF는 아래 폴더에 문서 제목으로 저장되고, 알림이 표시됩니다."), this);
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
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(this, tr("폴더 선택"), m_folder->text());
        if (!chosen.isEmpty())
            m_folder->setText(chosen);
    });
}

void SettingsDialog::accept()
{
    AgentSettings settings = AgentSettings::load();
    settings.askEachTime = m_ask->isChecked();
    settings.lastFolder = m_folder->text().trimmed();
    settings.quality = m_quality->currentIndex() - 1;
    settings.openAfterSaving = m_open->isChecked();
    settings.save();
    QDialog::accept();
}

} // namespace folyant::session
