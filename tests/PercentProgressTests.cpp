// The self-painting progress bar, rendered off screen and read pixel by pixel.
#include "converter/gui/CPercentProgressCtrl.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace folyant;
using namespace folyant::converter;

namespace {

constexpr COLORREF kBar = RGB(200, 0, 0);
constexpr COLORREF kBackground = RGB(255, 255, 255);
const QColor kUnpainted(0, 255, 0);

class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class ProgressTest : public ::testing::Test {
protected:
    ProgressTest()
    {
        bar.resize(300, 24);
        bar.SendMessage(PBM_SETBARCOLOR, 0, kBar);
        bar.SendMessage(PBM_SETBKCOLOR, 0, kBackground);
        bar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 300));
        bar.show();
        bar.installEventFilter(&counter);
        QApplication::processEvents();
    }

    // What the control paints, over a colour it never uses.
    QImage render()
    {
        QImage image(bar.size(), QImage::Format_RGB32);
        image.fill(kUnpainted);
        bar.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    }

    static bool isBar(QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; }
    static bool isBackground(QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; }

    // Counts pixels of a kind in a column range across the bar's height.
    template <typename Test> static int count(const QImage& image, int fromX, int toX, Test test)
    {
        int n = 0;
        for (int x = fromX; x < toX; ++x)
            for (int y = 0; y < image.height(); ++y)
                n += test(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    }

    int paintsAfter(const std::function<void()>& action)
    {
        QApplication::processEvents();
        counter.paints = 0;
        action();
        QApplication::processEvents();
        return counter.paints;
    }

    CPercentProgressCtrl bar;
    PaintCounter counter;
};

TEST_F(ProgressTest, HalfWayFillsTheLeftHalfWithTextInBothColours)
{
    bar.SetPos(150);
    EXPECT_EQ(bar.displayText(), "50%");
    const QImage image = render();
    EXPECT_TRUE(isBar(image.pixelColor(2, 12)));
    EXPECT_TRUE(isBar(image.pixelColor(149, 1)));
    EXPECT_TRUE(isBackground(image.pixelColor(150, 1)));
    EXPECT_TRUE(isBackground(image.pixelColor(297, 12)));
    EXPECT_EQ(count(image, 0, 300, [](QColor c) { return c == kUnpainted; }), 0) << "every pixel painted";
    // The text straddles the boundary: light over the filled half, dark red
    // over the empty half.
    EXPECT_GT(count(image, 100, 150, isBackground), 0);
    EXPECT_GT(count(image, 150, 200, isBar), 0);
    EXPECT_EQ(count(image, 0, 100, isBackground), 0);
    EXPECT_EQ(count(image, 200, 300, isBar), 0);
}

TEST_F(ProgressTest, PercentageIsTruncatedAndFullAtTheTop)
{
    bar.SetPos(299);
    EXPECT_EQ(bar.displayText(), "99%");
    bar.SetPos(300);
    EXPECT_EQ(bar.displayText(), "100%");
    const QImage image = render();
    EXPECT_TRUE(isBar(image.pixelColor(299, 1)));
    EXPECT_EQ(count(image, 0, 300, [](QColor c) { return c == kUnpainted; }), 0);
}

TEST_F(ProgressTest, CallersTextReplacesThePercentage)
{
    bar.SetPos(150);
    bar.SetWindowText("변환 중");
    EXPECT_EQ(bar.displayText(), "변환 중");
    EXPECT_EQ(paintsAfter([&] { bar.SetWindowText("변환 중"); }), 0) << "the same text again";
    EXPECT_GT(paintsAfter([&] { bar.SendMessage(WM_SETTEXT, 0, 0); }), 0);
    EXPECT_EQ(bar.displayText(), "50%");
}

TEST_F(ProgressTest, HiddenTextLeavesTheBar)
{
    bar.SetPos(150);
    bar.SendMessage(PPM_SHOWTEXT, 0);
    const QImage image = render();
    EXPECT_EQ(count(image, 0, 150, isBackground), 0);
    EXPECT_EQ(count(image, 150, 300, isBar), 0);
    EXPECT_EQ(count(image, 0, 150, isBar), 150 * 24);
}

TEST_F(ProgressTest, VerticalBarFillsUpwardWithoutText)
{
    bar.resize(24, 200);
    bar.SetVertical(true);
    bar.SetPos(150);
    const QImage image = render();
    EXPECT_TRUE(isBar(image.pixelColor(12, 199)));
    EXPECT_TRUE(isBar(image.pixelColor(12, 100)));
    EXPECT_TRUE(isBackground(image.pixelColor(12, 99)));
    EXPECT_TRUE(isBackground(image.pixelColor(12, 0)));
    int barPixelsInTop = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 24; ++x)
            barPixelsInTop += isBar(image.pixelColor(x, y)) ? 1 : 0;
    EXPECT_EQ(barPixelsInTop, 0) << "no text on a vertical bar";
}

TEST_F(ProgressTest, EqualBoundsDrawNothing)
{
    bar.SendMessage(PBM_SETRANGE32, 5, 5);
    bar.SetPos(5);
    const QImage image = render();
    EXPECT_EQ(count(image, 0, 300, [](QColor c) { return c == kUnpainted; }), 300 * 24);
}

TEST_F(ProgressTest, RepaintsOnlyWhenTheFilledWidthChanges)
{
    bar.SendMessage(PBM_SETRANGE32, 0, 600);
    EXPECT_EQ(paintsAfter([&] { bar.SetPos(2); }), 1);
    EXPECT_EQ(paintsAfter([&] { bar.SetPos(3); }), 0) << "2 and 3 of 600 are both one pixel of 300";
    EXPECT_EQ(paintsAfter([&] { bar.SetPos(4); }), 1);
    bar.resize(301, 24);
    QApplication::processEvents();
    EXPECT_EQ(paintsAfter([&] { bar.SetPos(4); }), 1) << "a resize forgets the filled width";
}

TEST_F(ProgressTest, MessagesAnswerLikeThePlatformsBar)
{
    PBRANGE range{};
    EXPECT_EQ(bar.SendMessage(PBM_GETRANGE, 1, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(bar.SendMessage(PBM_GETRANGE, 0, 0), 300);
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 300);

    EXPECT_EQ(bar.SendMessage(PBM_SETPOS, 10), 0);
    EXPECT_EQ(bar.SendMessage(PBM_DELTAPOS, 5), 10);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 15);
    EXPECT_EQ(bar.SendMessage(PBM_SETSTEP, 7), 1);
    EXPECT_EQ(bar.SendMessage(PBM_STEPIT), 15);
    EXPECT_EQ(bar.GetPos(), 22);
    EXPECT_EQ(bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(-40)), 22);
    EXPECT_EQ(bar.displayText(), "-13%") << "positions are not clamped";

    EXPECT_EQ(bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(1, 2, 3)), kBar);
    EXPECT_EQ(bar.SendMessage(PPM_SETTEXTCOLOR, 0, RGB(4, 5, 6)), CLR_DEFAULT);
    EXPECT_EQ(bar.SendMessage(PPM_SETTEXTCOLOR, 0, CLR_DEFAULT), RGB(4, 5, 6));
}

TEST_F(ProgressTest, DefaultColoursComeFromThePalette)
{
    CPercentProgressCtrl plain;
    plain.resize(100, 10);
    plain.SetRange(0, 100);
    plain.SetPos(50);
    plain.SendMessage(PPM_SHOWTEXT, 0);
    QImage image(plain.size(), QImage::Format_RGB32);
    plain.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(image.pixelColor(10, 5), plain.palette().color(QPalette::Highlight));
    EXPECT_EQ(image.pixelColor(90, 5), plain.palette().color(QPalette::Base));
}

TEST(ProgressText, GetTextNeverSplitsACharacter)
{
    CPercentProgressCtrl bar;
    bar.SetWindowText("a한b"); // 1 + 3 + 1 bytes
    const std::pair<std::size_t, std::string> cases[]
        = {{1, ""}, {2, "a"}, {4, "a"}, {5, "a한"}, {6, "a한b"}, {64, "a한b"}};
    for (const auto& [size, expected] : cases) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        const auto copied = bar.SendMessage(WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(copied, static_cast<LRESULT>(expected.size())) << size;
        EXPECT_EQ(std::string(buffer), expected) << size;
    }
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 0, 0), 0);
}

} // namespace
