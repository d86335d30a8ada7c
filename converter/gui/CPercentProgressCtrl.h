#pragma once

#include "converter/core/ProgressMessages.h"

#include <QWidget>

#include <string>

namespace folyant::converter {

// A progress bar that paints itself: two solid parts and, across them, the
// percentage or the caller's text, in the background colour over the filled
// part and the bar colour over the empty part. A position change repaints
// only when the filled part gains or loses a pixel. Painting goes through
// one off-screen pixmap of the update region, copied in one transfer.
class CPercentProgressCtrl final : public QWidget {
    Q_OBJECT
public:
    explicit CPercentProgressCtrl(QWidget* parent = nullptr);

    // The platform progress bar's messages, by their numbers; unknown
    // messages answer 0.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Typed forms of the same messages.
    void SetRange(int lower, int upper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int position)
    {
        return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)));
    }
    int GetPos() const { return m_position; }
    void SetVertical(bool vertical);
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const { return m_text; }

    // What a paint draws across the bar: the caller's text or the percentage.
    std::string displayText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    double fraction() const;
    COLORREF swapColour(COLORREF& member, COLORREF value);
    LRESULT setPosition(int position);
    LRESULT copyText(WPARAM bufferBytes, char* buffer) const;

    COLORREF m_textColour = CLR_DEFAULT;
    int m_position = 0;
    int m_step = 1;
    int m_upper = 100;
    int m_lower = 0;
    std::string m_text;
    bool m_showText = true;
    int m_filledWidth = -1;
    COLORREF m_barColour = CLR_DEFAULT;
    COLORREF m_backgroundColour = CLR_DEFAULT;
    bool m_vertical = false;
};

// Bytes of text that fit a buffer of bufferBytes with its terminating null,
// without cutting a UTF-8 character in two.
std::size_t fittingUtf8Prefix(const std::string& text, std::size_t bufferBytes);

} // namespace folyant::converter
