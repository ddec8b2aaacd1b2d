// Text output of the canvas with a caller's own Qt font and colours, beside the form that takes
// them from the canvas's Font and Brush.

#include "Platform/graphics/Canvas.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

struct Painted {
    QImage Image{80, 30, QImage::Format_RGB32};
    QPainter Painter;
    TCanvas Canvas;
    Painted()
    {
        Image.fill(Qt::white);
        Painter.begin(&Image);
        Canvas.SetHandle(&Painter);
    }
    const QImage& Done()
    {
        Painter.end();
        return Image;
    }
};

bool HasPixel(const QImage& image, const std::function<bool(QRgb)>& test)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y)))
                return true;
    return false;
}

} // namespace

TEST(CanvasText, ExplicitFontAndColoursReplaceFontAndBrush)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(16);
    const TRect r = Rect(0, 0, 40, 20);

    Painted own;
    own.Canvas.Brush().SetColor(clRed);
    own.Canvas.Font().SetColor(clGreen);
    own.Canvas.ExtTextOut(font, clBlue, clYellow, 2, 2, ETO_OPAQUE, &r, "MM");
    const QImage& a = own.Done();
    EXPECT_EQ(a.pixel(39, 19), qRgb(255, 255, 0)) << "opaque fill in the given background";
    EXPECT_EQ(a.pixel(40, 19), qRgb(255, 255, 255));
    EXPECT_TRUE(HasPixel(a, [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 100 && qGreen(p) < 100; }));
    EXPECT_FALSE(HasPixel(a, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 100; })) << "no brush colour";

    Painted fromCanvas;
    fromCanvas.Canvas.Brush().SetColor(clRed);
    fromCanvas.Canvas.Font().SetColor(clBlue);
    fromCanvas.Canvas.ExtTextOut(2, 2, ETO_OPAQUE, &r, "MM");
    const QImage& b = fromCanvas.Done();
    EXPECT_EQ(b.pixel(39, 19), qRgb(255, 0, 0)) << "the other form still fills with the brush";
}

TEST(CanvasText, AdvancesPlaceEveryCharacter)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    const int dx[] = {20, 20, 20};
    Painted spaced;
    spaced.Canvas.ExtTextOut(font, clBlack, clWhite, 0, 0, 0, nullptr, "iii", dx);
    const QImage& image = spaced.Done();
    std::vector<int> firstInk;
    for (int cell = 0; cell < 3; ++cell)
        for (int x = cell * 20; x < cell * 20 + 20; ++x) {
            bool ink = false;
            for (int y = 0; y < image.height(); ++y)
                ink = ink || qGray(image.pixel(x, y)) < 160;
            if (ink) {
                firstInk.push_back(x - cell * 20);
                break;
            }
        }
    ASSERT_EQ(firstInk.size(), 3u);
    EXPECT_EQ(firstInk[1], firstInk[0]);
    EXPECT_EQ(firstInk[2], firstInk[0]);
}
