#include "platform/qt/DialogUnits.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QPushButton>

namespace folyant {

DialogUnits::DialogUnits(const QWidget& dialog)
{
    const QFontMetrics metrics(dialog.font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    m_baseY = metrics.height();
}

QRect DialogUnits::rect(int x, int y, int width, int height) const
{
    return {x * m_baseX / 4, y * m_baseY / 8, width * m_baseX / 4, height * m_baseY / 8};
}

void DialogUnits::placeWidget(QWidget* widget, int id, const QRect& where)
{
    if (id != 0)
        widget->setObjectName(QString::number(id));
    widget->setGeometry(where);
}

QSize DialogUnits::size(int width, int height) const
{
    return {width * m_baseX / 4, height * m_baseY / 8};
}

void DialogUnits::placeOkCancel(QDialog& dialog, int okX, int cancelX, int y) const
{
    auto* ok
        = place(new QPushButton(QCoreApplication::translate("QObject", "확인"), &dialog), 1, okX, y, 50, 14);
    ok->setDefault(true);
    auto* cancel = place(
        new QPushButton(QCoreApplication::translate("QObject", "취소"), &dialog), 2, cancelX, y, 50, 14);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

} // namespace folyant
