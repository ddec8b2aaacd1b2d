// Gradients, placed pictures and the ruler: bands and their colours, partial filling,
// convergent halves, low colour depths, corner pixels, and the ruler's marks.

#include "ExLib/run/graphics/ExGradient.h"
#include "ExLib/run/graphics/ExRuler.h"

#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Paints `g` on a white picture and returns it.
QImage Painted(TJvgGradient& g, int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintGradient(g, p, Rect(0, 0, w, h), 1, TPenStyle::psSolid);
    return image;
}

void BlackToWhite(TJvgGradient& g, TglGradientDir dir)
{
    g.SetActive(true);
    g.SetFromColor(clBlack);
    g.SetToColor(clWhite);
    g.SetOrientation(dir);
}

} // namespace

TEST(Gradient, StepsAreClampedAndEveryChangeIsReported)
{
    TJvgGradient g;
    int changes = 0;
    g.OnChanged = [&](TObject*) { ++changes; };
    g.SetSteps(0);
    EXPECT_EQ(g.Steps(), 1);
    g.SetSteps(300);
    EXPECT_EQ(g.Steps(), 255);
    g.SetActive(true);
    g.SetActive(true);
    EXPECT_EQ(changes, 3);
    TJvgGradient copy;
    int copied = 0;
    copy.OnChanged = [&](TObject*) { ++copied; };
    copy.Assign(g);
    EXPECT_EQ(copied, 1);
    EXPECT_TRUE(copy.Active());
    EXPECT_EQ(copy.Steps(), 255);
}

TEST(Gradient, AVerticalGradientOver100PixelsHas100BandsFromOneColourToTheOther)
{
    TJvgGradient g;
    BlackToWhite(g, TglGradientDir::fgdVertical);
    const QImage image = Painted(g, 100, 10);
    EXPECT_EQ(QColor(image.pixel(0, 5)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(image.pixel(99, 5)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(image.pixel(50, 5)).red(), MulDiv(50, 255, 99));
    EXPECT_NE(image.pixel(49, 5), image.pixel(50, 5));
}

TEST(Gradient, PartialFillingStopsAfterTheBandItReaches)
{
    TJvgGradient g;
    BlackToWhite(g, TglGradientDir::fgdHorizontal);
    g.SetFromColor(clRed);
    g.SetToColor(clBlue);
    g.SetSteps(10);
    struct Case {
        int Percent, LastBand;
    };
    for (const Case& c : std::vector<Case>{{0, 1}, {50, 6}, {100, 9}}) {
        g.SetPercentFilling(c.Percent);
        const QImage image = Painted(g, 10, 100);
        EXPECT_NE(QColor(image.pixel(5, c.LastBand * 10 + 5)), QColor(Qt::white)) << c.Percent;
        if (c.LastBand < 9) {
            EXPECT_EQ(QColor(image.pixel(5, (c.LastBand + 1) * 10 + 5)), QColor(Qt::white)) << c.Percent;
        }
    }
}

TEST(Gradient, NothingIsPaintedWithOneStepOrOnALowColourDevice)
{
    TJvgGradient g;
    BlackToWhite(g, TglGradientDir::fgdHorizontal);
    g.SetSteps(1);
    EXPECT_EQ(QColor(Painted(g, 20, 20).pixel(10, 0)), QColor(Qt::white));
    g.SetSteps(255);
    const QImage indexed = Painted(g, 20, 20, QImage::Format_Indexed8);
    EXPECT_TRUE(indexed.isNull() || indexed.depth() < 16);
    g.SetActive(false);
    EXPECT_EQ(QColor(Painted(g, 20, 20).pixel(10, 0)), QColor(Qt::white));
}

TEST(Gradient, ConvergentGradientsRunFromTheEdgesToTheMiddle)
{
    TJvgGradient g;
    BlackToWhite(g, TglGradientDir::fgdHorzConvergent);
    const QImage image = Painted(g, 10, 100);
    EXPECT_EQ(QColor(image.pixel(5, 0)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(image.pixel(5, 99)), QColor(0, 0, 0));
    EXPECT_GT(QColor(image.pixel(5, 49)).red(), 200);
    EXPECT_EQ(g.Orientation(), TglGradientDir::fgdHorzConvergent);
    EXPECT_EQ(g.FromColor(), clBlack);
}

TEST(Gradient, CornerPixelsAndColourReplacement)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 2, qRgb(255, 0, 0));
    image.setPixel(3, 0, qRgb(0, 0, 255));
    EXPECT_EQ(CornerPixelColor(image, 2), clRed);
    EXPECT_EQ(CornerPixelColor(image, 3), clBlue);
    EXPECT_EQ(CornerPixelColor(image, 0), 0);
    EXPECT_EQ(CornerPixelColor(QImage(), 1), 0);
    ReplaceBitmapColor(image, clWhite, clYellow);
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(image.pixel(0, 2)), QColor(Qt::red));
    EXPECT_FALSE(HasBitmapImage(QImage()));
}

TEST(Ruler, APixelRuler396WideIsLabelledFrom50To350WithATickEvery25)
{
    const std::vector<TRulerMark> marks = RulerMarks(396, TJvgSizeUnit::fsuPixels, 96);
    std::vector<std::string> labels;
    std::vector<int> ticks;
    for (const TRulerMark& m : marks) {
        ticks.push_back(m.Position);
        if (!m.Label.empty())
            labels.push_back(m.Label);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"50", "100", "150", "200", "250", "300", "350"}));
    ASSERT_EQ(ticks.size(), 15u);
    EXPECT_EQ(ticks.front(), 25);
    EXPECT_EQ(ticks.back(), 375);
    EXPECT_EQ(marks[0].Length, 8);
    EXPECT_EQ(marks[1].Length, 3);
    // Centimetres count whole units at the device's resolution.
    const std::vector<TRulerMark> cm = RulerMarks(100, TJvgSizeUnit::fsuCentimeters, 254);
    EXPECT_EQ(cm[1].Position, 100);
    EXPECT_EQ(cm[1].Label, "1");
}

TEST(Ruler, TheRulerDrawsItsTicks)
{
    TJvgRuler ruler(nullptr);
    ruler.resize(396, 15);
    ruler.SetUseUnit(TJvgSizeUnit::fsuPixels);
    QImage shown(396, 15, QImage::Format_RGB32);
    shown.fill(Qt::white);
    ruler.render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_NE(QColor(shown.pixel(25, 10)), QColor(shown.pixel(26, 10))); // a half-unit tick: 8 high
    EXPECT_NE(QColor(shown.pixel(50, 13)), QColor(shown.pixel(51, 13)));
}
