#include "converter/gui/CPaperDlg.h"

#include "converter/core/TextNumbers.h"
#include "platform/MessageBox.h"
#include "platform/qt/DialogUnits.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace folyant::converter {

CPaperDlg::CPaperDlg(MessageBox& messages, QWidget* parent)
    : QDialog(parent)
    , m_messages(messages)
{
    setWindowTitle(tr("용지 설정"));
    const DialogUnits units(*this);
    setFixedSize(units.size(136, 88));
    m_ownSize = units.place(new QRadioButton(tr("PostScript 기본값 사용"), this), 1017, 7, 7, 92, 11);
    m_customSize = units.place(new QRadioButton(tr("사용자 지정"), this), 1018, 7, 20, 58, 11);
    m_group = new QButtonGroup(this);
    m_group->addButton(m_ownSize);
    m_group->addButton(m_customSize);
    units.place(new QLabel(tr("가로"), this), 0, 48, 37, 19, 9);
    m_widthEdit = units.place(new QLineEdit(this), 1019, 70, 35, 43, 12);
    units.place(new QLabel(QStringLiteral("mm"), this), 0, 115, 37, 14, 9);
    units.place(new QLabel(tr("세로"), this), 0, 48, 52, 19, 9);
    m_heightEdit = units.place(new QLineEdit(this), 1020, 70, 50, 43, 12);
    units.place(new QLabel(QStringLiteral("mm"), this), 0, 115, 52, 14, 9);
    units.placeOkCancel(*this, 25, 79, 67);
}

int CPaperDlg::exec()
{
    // A stored -1 shows neither chosen; a click then chooses one for good.
    m_group->setExclusive(false);
    m_ownSize->setChecked(m_paperMode == 0);
    m_customSize->setChecked(m_paperMode == 1);
    m_group->setExclusive(true);
    m_widthEdit->setText(QString::number(m_width));
    m_heightEdit->setText(QString::number(m_height));
    return QDialog::exec();
}

void CPaperDlg::accept()
{
    const auto width = parseUnsigned(m_widthEdit->text().toStdString());
    const auto height = parseUnsigned(m_heightEdit->text().toStdString());
    for (auto [value, edit] : {std::pair{width, m_widthEdit}, std::pair{height, m_heightEdit}}) {
        if (!value) {
            m_messages.show(tr("Please enter a positive integer.").toStdString(), MessageButtons::Ok,
                MessageIcon::Warning);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    m_paperMode = m_ownSize->isChecked() ? 0 : m_customSize->isChecked() ? 1 : -1;
    m_width = *width;
    m_height = *height;
    QDialog::accept();
}

} // namespace folyant::converter
