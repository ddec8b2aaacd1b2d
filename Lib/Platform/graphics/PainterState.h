#pragma once
// Saves a painter's state (pen, brush, font, clip, transformation, composition mode) and puts it
// back when the scope ends, also when a handler painting inside the scope raises; a painter left
// translated or clipped would spoil every later paint.

#include <QPainter>

class TPainterStateGuard {
public:
    // A null painter is left alone.
    explicit TPainterStateGuard(QPainter* painter) : FPainter(painter)
    {
        if (FPainter)
            FPainter->save();
    }
    explicit TPainterStateGuard(QPainter& painter) : TPainterStateGuard(&painter) {}
    ~TPainterStateGuard()
    {
        if (FPainter)
            FPainter->restore();
    }
    TPainterStateGuard(const TPainterStateGuard&) = delete;
    TPainterStateGuard& operator=(const TPainterStateGuard&) = delete;

private:
    QPainter* FPainter;
};
