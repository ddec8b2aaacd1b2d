#include "ExLib/run/graphics/ExGradient.h"

#include "ExLib/run/controls/ExDrawUtils.h"

#include "Platform/graphics/ImgList.h"
#include "Platform/graphics/PainterState.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>

// ---- colours

void TJvgTwainColors::SetFromColor(TColor color)
{
    if (color == FFromColor)
        return;
    FFromColor = color;
    FRGBFrom = ColorToRGB(color);
    NotifyColorsChanged();
}

void TJvgTwainColors::SetToColor(TColor color)
{
    if (color == FToColor)
        return;
    FToColor = color;
    FRGBTo = ColorToRGB(color);
    NotifyColorsChanged();
}

void TJvgTwainColors::NotifyColorsChanged()
{
    if (OnChanged)
        OnChanged(this);
}

void TJvgTwainColors::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TJvgTwainColors*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    SetFromColor(other->FFromColor);
    SetToColor(other->FToColor);
}

void TJvgGradient::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TJvgGradient*>(&source);
    if (!other) {
        TJvgTwainColors::Assign(source);
        return;
    }
    const TNotifyEvent handler = OnChanged;
    OnChanged = nullptr;
    TJvgTwainColors::Assign(source);
    FActive = other->FActive;
    FBufferedDraw = other->FBufferedDraw;
    FOrientation = other->FOrientation;
    FSteps = other->FSteps;
    FPercentFilling = other->FPercentFilling;
    FBrushStyle = other->FBrushStyle;
    OnChanged = handler;
    NotifyColorsChanged();
}

void TJvgGradient::SwapColors()
{
    const TNotifyEvent handler = OnChanged;
    OnChanged = nullptr;
    const TColor from = FromColor();
    SetFromColor(ToColor());
    SetToColor(from);
    OnChanged = handler;
}

// ---- painting

namespace {

Qt::BrushStyle HatchOf(TBrushStyle style)
{
    switch (style) {
    case TBrushStyle::bsHorizontal: return Qt::HorPattern;
    case TBrushStyle::bsVertical: return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal: return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal: return Qt::BDiagPattern;
    case TBrushStyle::bsCross: return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross: return Qt::DiagCrossPattern;
    case TBrushStyle::bsClear: return Qt::NoBrush;
    case TBrushStyle::bsSolid: break;
    }
    return Qt::SolidPattern;
}

QColor StepColor(TColor from, TColor to, int i, int n)
{
    if (n <= 1)
        return ToQColor(from);
    const auto part = [&](int a, int b) { return a + MulDiv(i, b - a, n - 1); };
    return QColor(part(GetRValue(from), GetRValue(to)), part(GetGValue(from), GetGValue(to)),
                  part(GetBValue(from), GetBValue(to)));
}

// The lines of a bias gradient: both ends start at one corner and walk along the edges.
struct BiasWalk {
    QPoint Start, End;
    int L, T, R, B, Step;
    bool Left;

    void Advance()
    {
        if (Left) {
            // the start down the left edge, then along the bottom; the end right, then down
            if (Start.y() < B)
                Start.ry() = std::min(B, Start.y() + Step);
            else
                Start.rx() += Step;
            if (End.x() < R)
                End.rx() = std::min(R, End.x() + Step);
            else
                End.ry() += Step;
        } else {
            if (Start.x() > L)
                Start.rx() = std::max(L, Start.x() - Step);
            else
                Start.ry() += Step;
            if (End.y() < B)
                End.ry() = std::min(B, End.y() + Step);
            else
                End.rx() -= Step;
        }
    }
};

void PaintBands(TJvgGradient& g, QPainter& p, const TRect& r, int penWidth, TPenStyle penStyle)
{
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    int H = B - T, W = R - L;
    const TglGradientDir dir = g.Orientation();
    int n = 0;
    switch (dir) {
    case TglGradientDir::fgdHorizontal: n = std::min(g.Steps(), H); break;
    case TglGradientDir::fgdVertical: n = std::min(g.Steps(), W); break;
    case TglGradientDir::fgdLeftBias:
    case TglGradientDir::fgdRightBias: n = std::min(g.Steps(), W + H); break;
    case TglGradientDir::fgdRectangle:
        n = std::min({g.Steps(), H / 2, W / 2});
        H /= 2;
        W /= 2;
        break;
    default: return;
    }
    if (n <= 0)
        return;
    TPen pen;
    pen.SetStyle(penStyle);
    pen.SetWidth(std::max(1, penWidth));
    const int step = std::max(1, penWidth);
    BiasWalk walk{dir == TglGradientDir::fgdLeftBias ? QPoint(L, T) : QPoint(R, T),
                  dir == TglGradientDir::fgdLeftBias ? QPoint(L, T) : QPoint(R, T),
                  L, T, R, B, step, dir == TglGradientDir::fgdLeftBias};
    for (int i = 0; i < n; ++i) {
        const QColor color = StepColor(g.RGBFromColor(), g.RGBToColor(), i, n);
        const QBrush brush(color, HatchOf(g.BrushStyle()));
        switch (dir) {
        case TglGradientDir::fgdHorizontal:
            p.fillRect(QRect(QPoint(L, T + i * H / n), QPoint(R - 1, T + (i + 1) * H / n - 1)), brush);
            break;
        case TglGradientDir::fgdVertical:
            p.fillRect(QRect(QPoint(L + i * W / n, T), QPoint(L + (i + 1) * W / n - 1, B - 1)), brush);
            break;
        case TglGradientDir::fgdRectangle:
            p.fillRect(QRect(QPoint(L + i * W / n, T + i * H / n), QPoint(R - i * W / n - 1, B - i * H / n - 1)),
                       brush);
            break;
        default: {
            pen.SetColor(FromQColor(color));
            p.setPen(pen.ToQPen());
            const int lines = (i + 1) * (W + H) / n - i * (W + H) / n;
            for (int k = 0; k < lines; ++k) {
                walk.Advance();
                p.drawLine(walk.Start, walk.End);
            }
            break;
        }
        }
        if (g.PercentFilling() < i * 100 / n)
            break;
    }
}

} // namespace

void PaintGradient(TJvgGradient& gradient, QPainter& painter, const TRect& r, int penWidth, TPenStyle penStyle)
{
    if (!gradient.Active() || gradient.Steps() == 1)
        return;
    if (painter.device() && painter.device()->depth() < 16)
        return;
    const int H = r.Height(), W = r.Width();
    const TglGradientDir dir = gradient.Orientation();
    if (dir == TglGradientDir::fgdHorzConvergent || dir == TglGradientDir::fgdVertConvergent) {
        const bool horz = dir == TglGradientDir::fgdHorzConvergent;
        struct Restore {
            TJvgGradient& G;
            TglGradientDir Dir;
            ~Restore()
            {
                const TNotifyEvent handler = G.OnChanged;
                G.OnChanged = nullptr;
                G.SetOrientation(Dir);
                G.OnChanged = handler;
            }
        } restore{gradient, dir};
        const TNotifyEvent handler = gradient.OnChanged;
        gradient.OnChanged = nullptr;
        gradient.SetOrientation(horz ? TglGradientDir::fgdHorizontal : TglGradientDir::fgdVertical);
        gradient.OnChanged = handler;
        const TRect first = horz ? Rect(r.Left, r.Top, r.Right, r.Bottom - H / 2) : Rect(r.Left, r.Top, r.Right - W / 2, r.Bottom);
        const TRect second = horz ? Rect(r.Left, r.Top + H / 2, r.Right, r.Bottom) : Rect(r.Left + W / 2, r.Top, r.Right, r.Bottom);
        PaintGradient(gradient, painter, first, penWidth, penStyle);
        gradient.SwapColors();
        PaintGradient(gradient, painter, second, penWidth, penStyle);
        gradient.SwapColors();
        return;
    }
    const TPainterStateGuard guard(painter);
    if (!gradient.BufferedDraw() || W <= 0 || H <= 0) {
        PaintBands(gradient, painter, r, penWidth, penStyle);
        return;
    }
    // Buffered: painted on a picture of the rectangle's size first, then placed at its corner.
    QImage buffer(W, H, QImage::Format_ARGB32_Premultiplied);
    buffer.fill(Qt::transparent);
    {
        QPainter bp(&buffer);
        PaintBands(gradient, bp, Rect(0, 0, W, H), penWidth, penStyle);
    }
    painter.drawImage(QPoint(r.Left, r.Top), buffer);
}

void DrawGradientBox(QPainter& painter, TRect r, TJvgGradient& gradient, TPenStyle penStyle, int penWidth)
{
    PaintGradient(gradient, painter, r, penWidth, penStyle);
}

int InchesToPixels(const QPaintDevice* device, TAxis axis, double inches)
{
    const int dpi = device ? (axis == TAxis::Horizontal ? device->logicalDpiX() : device->logicalDpiY()) : 96;
    return static_cast<int>(std::lround(dpi * inches));
}

int CentimetersToPixels(const QPaintDevice* device, TAxis axis, double centimetres)
{
    const int dpi = device ? (axis == TAxis::Horizontal ? device->logicalDpiX() : device->logicalDpiY()) : 96;
    return static_cast<int>(std::lround(dpi * centimetres / 2.54));
}

bool HasBitmapImage(const QImage& bitmap)
{
    return !bitmap.isNull() && bitmap.width() > 0 && bitmap.height() > 0;
}

TColor CornerPixelColor(const QImage& bitmap, int corner)
{
    if (!HasBitmapImage(bitmap))
        return 0;
    const int w = bitmap.width() - 1, h = bitmap.height() - 1;
    switch (corner) {
    case 1: return FromQColor(QColor(bitmap.pixel(0, 0)));
    case 2: return FromQColor(QColor(bitmap.pixel(0, h)));
    case 3: return FromQColor(QColor(bitmap.pixel(w, 0)));
    case 4: return FromQColor(QColor(bitmap.pixel(w, h)));
    default: return 0;
    }
}

void ReplaceBitmapColor(QImage& bitmap, TColor from, TColor to)
{
    const QRgb f = ToQColor(ColorToRGB(from)).rgb(), t = ToQColor(ColorToRGB(to)).rgb();
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if ((bitmap.pixel(x, y) | 0xFF000000u) == f)
                bitmap.setPixel(x, y, t);
}

void PaintBitmapPlaced(QPainter& painter, const QImage& bitmap, const TRect& r, int x, int y, int placement,
                       int state, bool transparent, TColor transparentColor, TColor disabledMaskColor)
{
    if (!HasBitmapImage(bitmap))
        return;
    x += r.Left;
    y += r.Top;
    QImage work = bitmap.convertToFormat(QImage::Format_RGB32);
    TColor key = transparentColor;
    if (state == 1) {
        if (disabledMaskColor != 0)
            ReplaceBitmapColor(work, disabledMaskColor, clBlack);
        work = MakeDisabledBitmap(work, clBlack);
        key = clBtnFace;
    } else if (state == 2) {
        ReplaceBitmapColor(work, clWhite, clBtnHighlight);
        ReplaceBitmapColor(work, clGray, clBtnShadow);
    }
    QImage picture = transparent ? MaskedImage(work, key) : work;
    if (placement == 1) {
        picture = picture.scaled(r.Width(), r.Height());
    } else if (placement == 2) {
        const double scale = std::min(static_cast<double>(r.Width()) / picture.width(),
                                      static_cast<double>(r.Height()) / picture.height());
        picture = picture.scaled(static_cast<int>(picture.width() * scale), static_cast<int>(picture.height() * scale));
    }
    if (picture.isNull())
        return;
    const TPainterStateGuard guard(painter);
    if (placement == 3) {
        painter.setClipRect(r.ToQt(), Qt::IntersectClip);
        for (int ty = y; ty < r.Bottom; ty += picture.height())
            for (int tx = x; tx < r.Right; tx += picture.width())
                painter.drawImage(tx, ty, picture);
        return;
    }
    painter.drawImage(x, y, picture);
}
