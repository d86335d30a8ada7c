#include "CAboutDlg.h"

#include "DialogUnits.h"

#include <QLabel>
#include <QPushButton>

namespace folyant {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Folyant 정보"));
    const DialogUnits units(*this);
    setFixedSize(units.size(217, 55));

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/folyant.xpm")));
    icon->setGeometry(units.rect(11, 17, 20, 20));

    auto* name = new QLabel(tr("Folyant Velmo 1.0"), this);
    name->setGeometry(units.rect(40, 10, 119, 8));

    auto* ok = new QPushButton(tr("확인"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(units.rect(178, 7, 32, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace folyant
