#include "converter/gui/CAboutDlg.h"

#include "platform/qt/DialogUnits.h"

#include <QLabel>
#include <QPushButton>

namespace folyant::converter {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Folyant 정보"));
    const DialogUnits units(*this);
    setFixedSize(units.size(217, 55));

    auto* icon = units.place(new QLabel(this), 0, 11, 17, 20, 20);
    icon->setPixmap(QPixmap(QStringLiteral(":/folyant.xpm")));
    units.place(
        new QLabel(tr("Folyant Velmo %1").arg(QStringLiteral(FOLYANT_VERSION)), this), 0, 40, 10, 119, 8);
    auto* ok = units.place(new QPushButton(tr("확인"), this), 1, 178, 7, 32, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace folyant::converter
