#pragma once
// Saves a painter's state and restores it when the scope ends, also when a handler painting
// inside the scope raises; a painter left translated or clipped would spoil every later paint.

#include <QPainter>

class TPainterStateGuard {
public:
    explicit TPainterStateGuard(QPainter& painter) : FPainter(painter) { FPainter.save(); }
    ~TPainterStateGuard() { FPainter.restore(); }
    TPainterStateGuard(const TPainterStateGuard&) = delete;
    TPainterStateGuard& operator=(const TPainterStateGuard&) = delete;

private:
    QPainter& FPainter;
};
