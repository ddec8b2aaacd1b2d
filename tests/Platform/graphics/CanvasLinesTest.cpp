// Lines of the canvas: a one-pixel line covers its start point and stops before its end point,
// in every direction, so that frames drawn from lines close without gaps or overlaps.

#include "Platform/graphics/Canvas.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The black pixels of a line from (x1, y1) to (x2, y2) on a white picture.
std::vector<QPoint> LinePixels(int x1, int y1, int x2, int y2)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TCanvas canvas(&painter);
        canvas.Pen().SetColor(clBlack);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    }
    std::vector<QPoint> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != QColor(Qt::white).rgb())
                pixels.emplace_back(x, y);
    return pixels;
}

} // namespace

TEST(CanvasLines, AOnePixelLineCoversItsStartAndStopsBeforeItsEnd)
{
    struct Case {
        int X1, Y1, X2, Y2;
        std::vector<QPoint> Pixels;
    };
    const std::vector<Case> cases = {
        {2, 3, 6, 3, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {6, 3, 2, 3, {{3, 3}, {4, 3}, {5, 3}, {6, 3}}},
        {4, 1, 4, 4, {{4, 1}, {4, 2}, {4, 3}}},
        {4, 4, 4, 1, {{4, 2}, {4, 3}, {4, 4}}},
        {1, 1, 4, 4, {{1, 1}, {2, 2}, {3, 3}}},
        {0, 0, 1, 0, {{0, 0}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinePixels(c.X1, c.Y1, c.X2, c.Y2), c.Pixels) << c.X1 << "," << c.Y1 << " -> " << c.X2 << "," << c.Y2;
}
