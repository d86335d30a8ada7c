#pragma once

#include <QRect>

class QDialog;
class QWidget;

namespace folyant {

// Places controls by dialog units, the font-relative grid that the dialog
// layouts are drawn on: a horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QWidget& dialog);

    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

    // Puts a control at its rectangle and names it by its control id (none
    // for 0), which is how tests and callers find it.
    template <typename Widget>
    Widget* place(Widget* widget, int id, int x, int y, int width, int height) const
    {
        placeWidget(widget, id, rect(x, y, width, height));
        return widget;
    }

    // "확인" (id 1, the default) accepts and "취소" (id 2) rejects, both 50 by
    // 14 units on the row y.
    void placeOkCancel(QDialog& dialog, int okX, int cancelX, int y) const;

private:
    static void placeWidget(QWidget* widget, int id, const QRect& where);

    int m_baseX;
    int m_baseY;
};

} // namespace folyant
