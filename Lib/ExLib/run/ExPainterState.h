#pragma once
// TExPainterState: keeps a painter's state (pen, brush, font, clip, transformation, composition
// mode) from its construction and puts it back on every way out of the scope.

#include <QPainter>

class TExPainterState {
public:
    // A null painter is left alone.
    explicit TExPainterState(QPainter* painter) : FPainter(painter)
    {
        if (FPainter)
            FPainter->save();
    }
    explicit TExPainterState(QPainter& painter) : TExPainterState(&painter) {}
    ~TExPainterState()
    {
        if (FPainter)
            FPainter->restore();
    }
    TExPainterState(const TExPainterState&) = delete;
    TExPainterState& operator=(const TExPainterState&) = delete;

private:
    QPainter* FPainter;
};
