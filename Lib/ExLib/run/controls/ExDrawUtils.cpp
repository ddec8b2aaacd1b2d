#include "ExLib/run/controls/ExDrawUtils.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QThread>
#include <cmath>
#include <vector>

namespace {

QPainter& PainterOf(TCanvas& canvas)
{
    if (!canvas.Handle())
        throw EInvalidOperation("Canvas does not allow drawing");
    return *canvas.Handle();
}

QRgb RgbOf(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

bool IsMonochrome(const QImage& image)
{
    return image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
}

// A copy of `image` in which the pixels of `transparent` have no opacity.
QImage WithoutColor(const QImage& image, QRgb transparent)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == (transparent & 0x00FFFFFF))
                line[x] = 0;
    }
    return result;
}

// One flag per pixel: part of the glyph's shape or not.
struct Shape {
    int Width = 0;
    int Height = 0;
    std::vector<bool> Bits;
    bool At(int x, int y) const { return Bits[static_cast<size_t>(y * Width + x)]; }
};

template <class Test>
Shape ShapeOf(const QImage& image, Test inShape)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Shape shape{argb.width(), argb.height(), {}};
    shape.Bits.resize(static_cast<size_t>(shape.Width) * static_cast<size_t>(shape.Height));
    for (int y = 0; y < shape.Height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < shape.Width; ++x)
            shape.Bits[static_cast<size_t>(y * shape.Width + x)] = inShape(line[x]);
    }
    return shape;
}

// Paints `color` wherever the shape is set, moved by (dx, dy), clipped to `dest`.
void LayShape(QImage& dest, const Shape& shape, QRgb color, int dx, int dy)
{
    for (int y = 0; y < shape.Height; ++y)
        for (int x = 0; x < shape.Width; ++x)
            if (shape.At(x, y) && dest.valid(x + dx, y + dy))
                dest.setPixel(x + dx, y + dy, color);
}

QImage DisabledFromShape(const Shape& shape, TColor backColor, bool withHighlight, TColor shadowColor,
                         TColor highlightColor)
{
    QImage result(shape.Width, shape.Height, QImage::Format_RGB32);
    result.fill(RgbOf(backColor));
    if (withHighlight)
        LayShape(result, shape, RgbOf(highlightColor), 1, 1);
    LayShape(result, shape, RgbOf(shadowColor), 0, 0);
    return result;
}

bool SameRgb(QRgb a, QRgb b)
{
    return (a & 0x00FFFFFF) == (b & 0x00FFFFFF);
}

} // namespace

void PaintParentImage(TWinControlCore& control, TCanvas& canvas)
{
    QWidget* self = control.Widget();
    QWidget* parent = self->parentWidget();
    if (!parent)
        return;
    QPainter& painter = PainterOf(canvas);
    const QRect bounds = self->geometry();
    parent->render(&painter, QPoint(0, 0), QRegion(bounds), QWidget::DrawWindowBackground);
    // Windowless siblings below the control, bottom first.
    for (QObject* child : parent->children()) {
        auto* sibling = qobject_cast<QWidget*>(child);
        if (!sibling)
            continue;
        if (sibling == self)
            break;
        if (!dynamic_cast<TGraphicControl*>(sibling) || !sibling->isVisible() ||
            !sibling->geometry().intersects(bounds))
            continue;
        sibling->render(&painter, sibling->pos() - self->pos(), QRegion(), {});
    }
}

void ExtractBitmapCell(const QImage& source, QImage& dest, int columns, int rows, int index)
{
    if (source.isNull())
        return;
    columns = std::max(1, columns);
    rows = std::max(1, rows);
    index = std::max(0, index);
    const int cellWidth = source.width() / columns;
    const int cellHeight = source.height() / rows;
    dest = source.copy((index % columns) * cellWidth, (index / columns) * cellHeight, cellWidth, cellHeight);
}

void MaskedStretchBlit(QPainter& dest, int destX, int destY, int destWidth, int destHeight, const QImage& source,
                       int sourceX, int sourceY, int sourceWidth, int sourceHeight, TColor maskColor)
{
    const QImage masked = WithoutColor(source.copy(sourceX, sourceY, sourceWidth, sourceHeight), RgbOf(maskColor));
    dest.drawImage(QRect(destX, destY, destWidth, destHeight), masked);
}

void StretchBitmapMasked(TCanvas& canvas, const QImage& bitmap, TColor transparentColor, int destX, int destY,
                         int destWidth, int destHeight, int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    if (bitmap.isNull())
        return;
    QPainter& painter = PainterOf(canvas);
    if (destWidth < 1)
        destWidth = bitmap.width();
    if (destHeight < 1)
        destHeight = bitmap.height();
    if (sourceWidth < 1 || sourceHeight < 1) {
        sourceX = 0;
        sourceY = 0;
        sourceWidth = bitmap.width();
        sourceHeight = bitmap.height();
    }
    const QRect target(destX, destY, destWidth, destHeight);
    if (transparentColor == clNone) {
        painter.drawImage(target, bitmap, QRect(sourceX, sourceY, sourceWidth, sourceHeight));
        return;
    }
    QRgb transparent;
    if (IsMonochrome(bitmap))
        transparent = qRgb(255, 255, 255);
    else if (transparentColor == clDefault)
        transparent = bitmap.pixel(0, bitmap.height() - 1);
    else
        transparent = RgbOf(transparentColor);
    const QImage masked = WithoutColor(bitmap.copy(sourceX, sourceY, sourceWidth, sourceHeight), transparent);
    painter.drawImage(target, masked);
}

void DrawBitmapMasked(TCanvas& canvas, int x, int y, const QImage& bitmap, TColor transparentColor)
{
    StretchBitmapMasked(canvas, bitmap, transparentColor, x, y, bitmap.width(), bitmap.height(), 0, 0,
                        bitmap.width(), bitmap.height());
}

QImage MakeEmbossedDisabledBitmap(const QImage& bitmap, TColor backColor)
{
    const QRgb back = RgbOf(backColor);
    const QRgb white = qRgb(255, 255, 255);
    const Shape shape = ShapeOf(bitmap, [&](QRgb p) { return !SameRgb(p, back) && !SameRgb(p, white); });
    return DisabledFromShape(shape, backColor, true, clBtnShadow, clBtnHighlight);
}

QImage MakeDisabledBitmapWith(const QImage& bitmap, TColor outlineColor, TColor backColor, bool withHighlight,
                              TColor shadowColor, TColor highlightColor)
{
    const QRgb outline = RgbOf(outlineColor);
    const Shape shape = ShapeOf(bitmap, [&](QRgb p) { return SameRgb(p, outline); });
    return DisabledFromShape(shape, backColor, withHighlight, shadowColor, highlightColor);
}

QImage MakeDisabledBitmap(const QImage& bitmap, TColor outlineColor)
{
    return MakeDisabledBitmapWith(bitmap, outlineColor, clBtnFace, true, clBtnShadow, clBtnHighlight);
}

void DrawImageDisabled(const QImage& image, TCanvas& canvas, int x, int y, bool withHighlight, TColor shadowColor,
                       TColor highlightColor)
{
    QPainter& painter = PainterOf(canvas);
    const Shape shape = ShapeOf(image, [](QRgb p) { return qAlpha(p) >= 128; });
    QImage layer(shape.Width + 1, shape.Height + 1, QImage::Format_ARGB32);
    layer.fill(Qt::transparent);
    if (withHighlight)
        LayShape(layer, shape, RgbOf(highlightColor), 1, 1);
    LayShape(layer, shape, RgbOf(shadowColor), 0, 0);
    painter.drawImage(QPoint(x, y), layer);
}

QImage MakeCheckerPattern(TColor color1, TColor color2)
{
    QImage pattern(8, 8, QImage::Format_RGB32);
    const QRgb first = RgbOf(color1);
    const QRgb second = RgbOf(color2);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (x % 2) == (y % 2) ? second : first);
    return pattern;
}

TColor PaletteColorOf(TColor color)
{
    return ColorToRGB(color) | 0x02000000;
}

void FillGradient(TCanvas& canvas, const TRect& r, TColor startColor, TColor endColor, int direction, int colors)
{
    if (startColor == clNone && endColor == clNone)
        return;
    if (r.IsEmpty())
        return;
    TColor from = ColorToRGB(startColor);
    TColor to = ColorToRGB(endColor);
    if (direction == 1 || direction == 3) {
        std::swap(from, to);
        direction -= 1;
    }
    const TColor savedBrush = canvas.Brush().Color();
    canvas.Brush().SetColor(from);
    if (colors < 2 || from == to) {
        canvas.FillRect(r);
        canvas.Brush().SetColor(savedBrush);
        return;
    }
    const bool vertical = direction == 0;
    const int extent = vertical ? r.Height() : r.Width();
    const int origin = vertical ? r.Top : r.Left;
    const int steps = std::max(2, std::min(colors, extent));
    const int band = extent / steps;
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.Pen().SetMode(TPenMode::pmCopy);
    auto bandRect = [&](int a, int b) {
        return vertical ? Rect(r.Left, a, r.Right, b) : Rect(a, r.Top, b, r.Bottom);
    };
    if (band > 0) {
        const int dr = GetRValue(to) - GetRValue(from);
        const int dg = GetGValue(to) - GetGValue(from);
        const int db = GetBValue(to) - GetBValue(from);
        for (int i = 0; i < steps; ++i) {
            canvas.Brush().SetColor(RGBColor(GetRValue(from) + MulDiv(i, dr, steps - 1),
                                             GetGValue(from) + MulDiv(i, dg, steps - 1),
                                             GetBValue(from) + MulDiv(i, db, steps - 1)));
            canvas.FillRect(bandRect(origin + i * band, origin + (i + 1) * band));
        }
    }
    const int rest = extent % steps;
    if (rest > 0) {
        canvas.Brush().SetColor(to);
        canvas.FillRect(bandRect(origin + extent - rest, origin + extent));
    }
    canvas.Brush().SetColor(savedBrush);
}

void ApplyTrackFontOptions(TFont& trackFont, const TFont& font, TExTrackFontOptions options)
{
    if (!options.Contains(hoFollowFont))
        return;
    if (!options.Contains(hoPreserveCharSet))
        trackFont.SetCharset(font.Charset());
    if (!options.Contains(hoPreserveColor))
        trackFont.SetColor(font.Color());
    if (!options.Contains(hoPreserveHeight))
        trackFont.SetHeight(font.Height());
    if (!options.Contains(hoPreserveName))
        trackFont.SetName(font.Name());
    if (!options.Contains(hoPreservePitch))
        trackFont.SetPitch(font.Pitch());
    if (!options.Contains(hoPreserveStyle))
        trackFont.SetStyle(font.Style());
}

int FontLineHeight(TCanvas& canvas)
{
    return QFontMetrics(canvas.Font().ToQFont()).height();
}

bool ThreadOwnsActiveWindow()
{
    const QWidget* active = QApplication::activeWindow();
    return active && active->thread() == QThread::currentThread();
}

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    TApplication* app = Application();
    if (!app)
        return IDCANCEL;
    return app->MessageBox(text, caption.empty() ? app->Title : caption, flags);
}
