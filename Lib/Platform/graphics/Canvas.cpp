#include "Platform/graphics/Canvas.h"

#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextChars.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <cmath>

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QPainter* painter) : FPainter(painter) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetHandle(QPainter* painter)
{
    FPainter = painter;
}

QPainter& TCanvas::Painter() const
{
    if (!FPainter)
        throw EInvalidOperation("Canvas does not allow drawing");
    return *FPainter;
}

void TCanvas::ApplyPen() const
{
    QPainter& p = Painter();
    p.setPen(FPen.ToQPen());
    switch (FPen.Mode()) {
    case TPenMode::pmXor: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case TPenMode::pmNot: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case TPenMode::pmNotXor: p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
    case TPenMode::pmMerge: p.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case TPenMode::pmMask: p.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    default: p.setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    }
}

void TCanvas::ApplyBrush() const
{
    Painter().setBrush(FBrush.ToQBrush());
}

void TCanvas::LineTo(int x, int y)
{
    ApplyPen();
    QPainter& p = Painter();
    const int dx = x - FPenPos.X;
    const int dy = y - FPenPos.Y;
    if (dx != 0 || dy != 0) {
        if (FPen.Width() <= 1) {
            // The pixels from the start up to, not including, the end, as the platform steps
            // them; Qt's own lines leave out one end or the other depending on direction.
            QPen pen = p.pen();
            pen.setWidth(0);
            p.setPen(pen);
            const int steps = std::max(std::abs(dx), std::abs(dy));
            QPolygon pixels(steps);
            for (int i = 0; i < steps; ++i)
                pixels[i] = QPoint(FPenPos.X + static_cast<int>(std::lround(static_cast<double>(dx) * i / steps)),
                                   FPenPos.Y + static_cast<int>(std::lround(static_cast<double>(dy) * i / steps)));
            p.drawPoints(pixels);
        } else {
            // The end point is not drawn: stop one pixel short along the major axis.
            QPointF end(x, y);
            if (std::abs(dx) >= std::abs(dy))
                end = QPointF(x - (dx > 0 ? 1 : -1), y - static_cast<double>(dy) / std::abs(dx));
            else
                end = QPointF(x - static_cast<double>(dx) / std::abs(dy), y - (dy > 0 ? 1 : -1));
            p.drawLine(QPointF(FPenPos.X + 0.5, FPenPos.Y + 0.5), end + QPointF(0.5, 0.5));
        }
    }
    FPenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    ApplyPen();
    QPolygon poly;
    for (const auto& pt : points)
        poly << pt.ToQt();
    Painter().drawPolyline(poly);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    ApplyPen();
    ApplyBrush();
    QPolygon poly;
    for (const auto& pt : points)
        poly << pt.ToQt();
    Painter().drawPolygon(poly);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    QPainter& p = Painter();
    if (right - left <= 0 || bottom - top <= 0)
        return;
    if (FBrush.Style() != TBrushStyle::bsClear)
        p.fillRect(QRect(left, top, right - left, bottom - top), FBrush.ToQBrush());
    if (FPen.Style() != TPenStyle::psClear) {
        ApplyPen();
        p.setBrush(Qt::NoBrush);
        const int w = std::max(1, FPen.Width());
        const double inset = w / 2.0;
        p.drawRect(QRectF(left + inset, top + inset, right - left - w, bottom - top - w));
    }
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int rx, int ry)
{
    ApplyPen();
    ApplyBrush();
    Painter().drawRoundedRect(QRect(left, top, right - left - 1, bottom - top - 1), rx / 2.0, ry / 2.0);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    ApplyPen();
    ApplyBrush();
    Painter().drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TCanvas::FillRect(const TRect& r)
{
    if (!r.IsEmpty())
        Painter().fillRect(r.ToQt(), FBrush.ToQBrush());
}

void TCanvas::FrameRect(const TRect& r)
{
    if (r.IsEmpty())
        return;
    QPainter& p = Painter();
    const QColor c = ToQColor(FBrush.Color());
    p.fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    p.fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    p.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    const TSize size = TextExtent(text);
    const TRect r = Bounds(x, y, size.cx, size.cy);
    ExtTextOut(x, y, FBrush.Style() == TBrushStyle::bsClear ? 0u : unsigned(ETO_OPAQUE), &r, text);
    FPenPos = {x + size.cx, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text)
{
    unsigned options = ETO_CLIPPED;
    if (FBrush.Style() != TBrushStyle::bsClear)
        options |= ETO_OPAQUE;
    ExtTextOut(x, y, options, &r, text);
}

void TCanvas::ExtTextOut(int x, int y, unsigned options, const TRect* r, std::string_view text, const int* dx)
{
    ExtTextOut(FFont.ToQFont(), FFont.Color(), FBrush.Color(), x, y, options, r, text, dx);
}

void TCanvas::ExtTextOut(const QFont& font, TColor textColor, TColor backColor, int x, int y, unsigned options,
                         const TRect* r, std::string_view text, const int* dx)
{
    QPainter& p = Painter();
    p.save();
    if (r && (options & ETO_OPAQUE))
        p.fillRect(r->ToQt(), ToQColor(backColor));
    if (r && (options & ETO_CLIPPED))
        p.setClipRect(r->ToQt(), Qt::IntersectClip);
    p.setFont(font);
    p.setPen(ToQColor(textColor));
    const QFontMetrics metrics(p.font());
    const int baseline = y + metrics.ascent();
    if (!dx) {
        p.drawText(QPoint(x, baseline), QStr(text));
    } else {
        int pos = x;
        int n = 0;
        for (size_t i = 0; i < text.size(); ++n) {
            const size_t len = static_cast<size_t>(TextChars::CharLength(text, i));
            p.drawText(QPoint(pos, baseline), QStr(text.substr(i, len)));
            pos += dx[n];
            i += len;
        }
    }
    p.restore();
}

int TCanvas::TextWidth(std::string_view text) const
{
    return TextExtent(text).cx;
}

int TCanvas::TextHeight(std::string_view text) const
{
    return TextExtent(text).cy;
}

TSize TCanvas::TextExtent(std::string_view text) const
{
    const QFontMetrics metrics(FFont.ToQFont());
    return {metrics.horizontalAdvance(QStr(text)), metrics.height()};
}

void TCanvas::Draw(int x, int y, const QImage& image)
{
    Painter().drawImage(QPoint(x, y), image);
}

void TCanvas::Draw(int x, int y, const QPixmap& pixmap)
{
    Painter().drawPixmap(QPoint(x, y), pixmap);
}

void TCanvas::StretchDraw(const TRect& r, const QImage& image)
{
    Painter().drawImage(r.ToQt(), image);
}

TRect TCanvas::ClipRect() const
{
    QPainter& p = Painter();
    if (p.hasClipping())
        return TRect::FromQt(p.clipBoundingRect().toAlignedRect());
    if (p.device())
        return Rect(0, 0, p.device()->width(), p.device()->height());
    return {};
}

void TCanvas::IntersectClipRect(const TRect& r)
{
    Painter().setClipRect(r.ToQt(), Qt::IntersectClip);
}

void TCanvas::Save()
{
    Painter().save();
}

void TCanvas::Restore()
{
    Painter().restore();
}
