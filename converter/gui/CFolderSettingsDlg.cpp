#include "converter/gui/CFolderSettingsDlg.h"

#include "platform/qt/DialogUnits.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace folyant::converter {

CFolderSettingsDlg::CFolderSettingsDlg(FolderChooser chooseFolder, QWidget* parent)
    : QDialog(parent)
    , m_chooseFolder(std::move(chooseFolder))
{
    setWindowTitle(tr("환경 설정"));
    const DialogUnits units(*this);
    setFixedSize(units.size(211, 107));
    units.place(new QLabel(tr("라이브러리 폴더"), this), 0, 7, 7, 102, 9);
    m_libEdit = units.place(new QLineEdit(this), 1015, 12, 20, 153, 15);
    auto* libButton = units.place(new QPushButton(QStringLiteral("..."), this), 1017, 168, 20, 36, 16);
    units.place(new QLabel(tr("PostScript 폰트 폴더"), this), 0, 7, 44, 117, 9);
    m_fontEdit = units.place(new QLineEdit(this), 1016, 12, 56, 153, 15);
    auto* fontButton = units.place(new QPushButton(QStringLiteral("..."), this), 1018, 168, 56, 36, 16);
    m_libEdit->setReadOnly(true);
    m_fontEdit->setReadOnly(true);
    units.placeOkCancel(*this, 95, 154, 86);
    connect(libButton, &QPushButton::clicked, this, [this] { browse(m_libFolder, tr("Setup Lib Folder.")); });
    connect(
        fontButton, &QPushButton::clicked, this, [this] { browse(m_fontFolder, tr("Setup Font Folder.")); });
}

int CFolderSettingsDlg::exec()
{
    UpdateData(false);
    return QDialog::exec();
}

void CFolderSettingsDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_libFolder = m_libEdit->text().toStdString();
        m_fontFolder = m_fontEdit->text().toStdString();
    } else {
        m_libEdit->setText(QString::fromStdString(m_libFolder));
        m_fontEdit->setText(QString::fromStdString(m_fontFolder));
    }
}

void CFolderSettingsDlg::browse(std::string& folder, const QString& instruction)
{
    if (const auto picked = m_chooseFolder(tr("Config").toStdString(), instruction.toStdString(), folder)) {
        folder = *picked;
        UpdateData(false);
    }
}

} // namespace folyant::converter
