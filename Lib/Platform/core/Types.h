#pragma once
// Points, sizes and rectangles with the class library's conventions: a rectangle's Right and
// Bottom lie just outside it, so its width is Right - Left.

#include <QPoint>
#include <QRect>
#include <QSize>

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr bool operator==(const TPoint&) const = default;
    QPoint ToQt() const { return {X, Y}; }
    static TPoint FromQt(const QPoint& p) { return {p.x(), p.y()}; }
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

// Horizontal placement of a text, shared by the editor's print headers and the controls
// (unscoped, so both taCenter and TAlignment::taCenter name a value).
enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool operator==(const TRect&) const = default;

    QRect ToQt() const { return QRect(Left, Top, Width(), Height()); }
    static TRect FromQt(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
constexpr bool PtInRect(const TRect& r, TPoint p) { return r.Contains(p); }
constexpr bool IsRectEmpty(const TRect& r) { return r.IsEmpty(); }

// The common part of two rectangles; false (and an empty result) when they do not meet.
bool IntersectRect(TRect& dest, const TRect& a, const TRect& b);
// The smallest rectangle holding both; empty rectangles are ignored.
bool UnionRect(TRect& dest, const TRect& a, const TRect& b);
void OffsetRect(TRect& r, int dx, int dy);
void InflateRect(TRect& r, int dx, int dy);
