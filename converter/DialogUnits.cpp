#include "DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

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

} // namespace folyant
