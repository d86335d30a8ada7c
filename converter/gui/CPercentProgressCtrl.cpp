#include "converter/gui/CPercentProgressCtrl.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>
#include <cstring>

namespace folyant::converter {

namespace {

QColor toQColor(COLORREF colour)
{
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
        static_cast<int>((colour >> 16) & 0xFFu));
}

} // namespace

std::size_t fittingUtf8Prefix(const std::string& text, std::size_t bufferBytes)
{
    if (bufferBytes == 0)
        return 0;
    std::size_t length = std::min(text.size(), bufferBytes - 1);
    // Step back over continuation bytes to the start of the cut character,
    // unless that character ends exactly at the cut.
    if (length < text.size()) {
        std::size_t start = length;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0u) == 0x80u)
            --start;
        length = start;
    }
    return length;
}

CPercentProgressCtrl::CPercentProgressCtrl(QWidget* parent)
    : QWidget(parent)
{
    // Every pixel is painted by us: no background erase before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

LRESULT CPercentProgressCtrl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PBM_SETRANGE:
        m_lower = static_cast<int>(lParam & 0xFFFF);
        m_upper = static_cast<int>((lParam >> 16) & 0xFFFF);
        return 0;
    case PBM_SETRANGE32:
        m_lower = static_cast<int>(wParam);
        m_upper = static_cast<int>(lParam);
        return 0;
    case PBM_GETRANGE:
        // A message carries its pointer in lParam: that is the control's interface.
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) { // NOLINT(performance-no-int-to-ptr)
            range->iLow = m_lower;
            range->iHigh = m_upper;
        }
        return wParam ? m_lower : m_upper;
    case PBM_SETPOS:
        return setPosition(static_cast<int>(wParam));
    case PBM_GETPOS:
        return m_position;
    case PBM_DELTAPOS: {
        const int next = m_position + static_cast<int>(wParam);
        return SendMessage(PBM_SETPOS, static_cast<WPARAM>(next));
    }
    case PBM_SETSTEP: {
        const int previous = m_step;
        m_step = static_cast<int>(wParam);
        return previous;
    }
    case PBM_STEPIT: {
        const int next = m_position + m_step;
        return SendMessage(PBM_SETPOS, static_cast<WPARAM>(next));
    }
    case PBM_SETBARCOLOR:
        return swapColour(m_barColour, static_cast<COLORREF>(lParam));
    case PBM_SETBKCOLOR:
        return swapColour(m_backgroundColour, static_cast<COLORREF>(lParam));
    case PPM_SETTEXTCOLOR:
        return swapColour(m_textColour, static_cast<COLORREF>(lParam));
    case PPM_SHOWTEXT: {
        const bool show = wParam != 0;
        if (show != m_showText)
            update();
        m_showText = show;
        return 0;
    }
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam); // NOLINT(performance-no-int-to-ptr)
        const std::string newText = text ? text : "";
        setWindowTitle(QString::fromStdString(newText));
        if (newText != m_text) {
            m_text = newText;
            update();
        }
        return 1;
    }
    case WM_GETTEXT:
        return copyText(wParam, reinterpret_cast<char*>(lParam)); // NOLINT(performance-no-int-to-ptr)
    default:
        return 0;
    }
}

void CPercentProgressCtrl::SetVertical(bool vertical)
{
    m_vertical = vertical;
    update();
}

void CPercentProgressCtrl::SetWindowText(const std::string& text)
{
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

COLORREF CPercentProgressCtrl::swapColour(COLORREF& member, COLORREF value)
{
    update();
    const COLORREF previous = member;
    member = value;
    return previous;
}

double CPercentProgressCtrl::fraction() const
{
    return static_cast<double>(m_position - m_lower) / static_cast<double>(m_upper - m_lower);
}

LRESULT CPercentProgressCtrl::setPosition(int position)
{
    const int previous = m_position;
    m_position = position;
    // Equal bounds have no share to show: treat them as an empty bar.
    const int filled = m_upper == m_lower ? 0 : static_cast<int>(std::trunc(fraction() * width()));
    if (filled != m_filledWidth) {
        m_filledWidth = filled;
        repaint();
    }
    return previous;
}

LRESULT CPercentProgressCtrl::copyText(WPARAM bufferBytes, char* buffer) const
{
    if (!buffer || bufferBytes == 0)
        return 0;
    const std::size_t length = fittingUtf8Prefix(m_text, bufferBytes);
    std::memcpy(buffer, m_text.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

std::string CPercentProgressCtrl::displayText() const
{
    if (!m_text.empty())
        return m_text;
    return std::to_string(static_cast<int>(std::trunc(fraction() * 100))) + "%";
}

void CPercentProgressCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_filledWidth = -1;
}

void CPercentProgressCtrl::paintEvent(QPaintEvent* event)
{
    if (m_lower >= m_upper)
        return;

    const QColor bar
        = m_barColour == CLR_DEFAULT ? palette().color(QPalette::Highlight) : toQColor(m_barColour);
    const QColor background
        = m_backgroundColour == CLR_DEFAULT ? palette().color(QPalette::Base) : toQColor(m_backgroundColour);
    const QRect client = rect();
    const double f = fraction();

    // Draw the update region into a pixmap in window coordinates, then copy
    // it to the screen in one transfer.
    const QRect clip = event->rect();
    QPixmap offscreen(clip.size() * devicePixelRatioF());
    offscreen.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(&offscreen);
    painter.translate(-clip.topLeft());
    painter.setFont(font());

    QRect filled;
    QRect empty;
    if (m_vertical) {
        const int boundary = client.bottom() + 1 - static_cast<int>(std::trunc(client.height() * f));
        filled = QRect(QPoint(client.left(), boundary), client.bottomRight());
        empty = QRect(client.topLeft(), QPoint(client.right(), boundary - 1));
    } else {
        const int boundary = client.left() + static_cast<int>(std::trunc(client.width() * f));
        filled = QRect(client.topLeft(), QPoint(boundary - 1, client.bottom()));
        empty = QRect(QPoint(boundary, client.top()), client.bottomRight());
    }
    painter.fillRect(filled.intersected(client), bar);
    painter.fillRect(empty.intersected(client), background);

    if (!m_vertical && m_showText) {
        const QString text = QString::fromStdString(displayText());
        const int flags = Qt::AlignCenter | Qt::TextSingleLine;
        painter.setClipRect(filled);
        painter.setPen(m_textColour == CLR_DEFAULT ? background : toQColor(m_textColour));
        painter.drawText(client, flags, text);
        painter.setClipRect(empty);
        painter.setPen(m_textColour == CLR_DEFAULT ? bar : toQColor(m_textColour));
        painter.drawText(client, flags, text);
    }
    painter.end();

    QPainter screen(this);
    screen.drawPixmap(clip.topLeft(), offscreen);
}

} // namespace folyant::converter
