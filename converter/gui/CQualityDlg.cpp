#include "converter/gui/CQualityDlg.h"

#include "platform/qt/DialogUnits.h"

#include <QComboBox>
#include <QLabel>

namespace folyant::converter {

CQualityDlg::CQualityDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("품질 설정"));
    const DialogUnits units(*this);
    setFixedSize(units.size(151, 65));
    units.place(new QLabel(tr("품질 :"), this), 0, 7, 17, 31, 12);
    m_list = units.place(new QComboBox(this), 1008, 38, 14, 106, 12);
    units.placeOkCancel(*this, 39, 94, 44);
}

int CQualityDlg::exec()
{
    // Added in this order, the sorted list keeps it: index = quality.
    m_list->clear();
    m_list->addItems({tr("Press Ready"), tr("Print Quality"), tr("Web")});
    m_list->setCurrentIndex(m_quality >= 0 && m_quality <= 2 ? m_quality : -1);
    return QDialog::exec();
}

void CQualityDlg::accept()
{
    m_quality = m_list->currentIndex();
    QDialog::accept();
}

} // namespace folyant::converter
