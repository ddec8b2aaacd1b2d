#pragma once
// TCanvas: the drawing surface of the class library over a QPainter. It keeps a font, pen,
// brush and pen position and applies them for each call. A canvas is bound to a painter only
// while painting; drawing without one raises EInvalidOperation "Canvas does not allow drawing".
// Text is UTF-8; coordinates follow the class library (a rectangle's Right and Bottom lie
// outside it, text is placed by its top-left corner).

#include "Platform/graphics/Graphics.h"
#include "Platform/core/Types.h"

#include <QImage>
#include <QPixmap>
#include <memory>
#include <string_view>
#include <vector>

class QPainter;

// ExtTextOut options.
enum : unsigned { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };

class TCanvas : public TPersistent {
public:
    TCanvas();
    explicit TCanvas(QPainter* painter);
    ~TCanvas() override;

    QPainter* Handle() const { return FPainter; }
    void SetHandle(QPainter* painter);
    bool HandleAllocated() const { return FPainter != nullptr; }

    TFont& Font() { return FFont; }
    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }
    // Options (ETO_OPAQUE, ETO_CLIPPED) that text drawing on this canvas takes.
    unsigned TextFlags() const { return FTextFlags; }
    void SetTextFlags(unsigned flags) { FTextFlags = flags; }

    void MoveTo(int x, int y) { FPenPos = {x, y}; }
    // A line from the pen position up to, not including, (x, y).
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int left, int top, int right, int bottom, int rx, int ry);
    void Ellipse(int left, int top, int right, int bottom);
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);

    // Text at (x, y) in the font's colour, on the brush colour unless the brush is clear.
    void TextOut(int x, int y, std::string_view text);
    // Text at (x, y), clipped to `r`, which is filled with the brush first unless it is clear.
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    // Text with optional opaque fill and clipping to `r`; `dx` gives the advance of each
    // character (one entry per character, not per byte) when not null.
    void ExtTextOut(int x, int y, unsigned options, const TRect* r, std::string_view text, const int* dx = nullptr);
    // The same with a ready Qt font and explicit text and background colours in place of Font()
    // and Brush(), for callers that keep their own fonts (the editor's text drawer).
    void ExtTextOut(const QFont& font, TColor textColor, TColor backColor, int x, int y, unsigned options,
                    const TRect* r, std::string_view text, const int* dx = nullptr);
    int TextWidth(std::string_view text) const;
    int TextHeight(std::string_view text) const;
    TSize TextExtent(std::string_view text) const;

    void Draw(int x, int y, const QImage& image);
    void Draw(int x, int y, const QPixmap& pixmap);
    void StretchDraw(const TRect& r, const QImage& image);

    TRect ClipRect() const;
    // Restricts further drawing to `r` (intersected with the current clip).
    void IntersectClipRect(const TRect& r);
    void Save();
    void Restore();

private:
    QPainter& Painter() const;
    void ApplyPen() const;
    void ApplyBrush() const;

    QPainter* FPainter = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TPoint FPenPos;
    unsigned FTextFlags = 0;
};
