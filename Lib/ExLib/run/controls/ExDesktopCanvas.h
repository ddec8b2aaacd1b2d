#pragma once
// A canvas on the whole screen. Windows cannot be drawn over directly here, so the canvas draws
// into a picture of the screen's size that a transparent, click-through window above all others
// shows; what is drawn appears with Flush (and at the window's next repaint).

#include "Platform/graphics/Canvas.h"

#include <QImage>
#include <memory>

class QPainter;
class QWidget;

class TExDesktopCanvas : public TCanvas {
public:
    TExDesktopCanvas();
    ~TExDesktopCanvas() override;

    // Makes the screen picture and its window on first need and binds the canvas to it.
    void HandleNeeded();
    // Shows what has been drawn so far.
    void Flush();
    // Clears everything drawn.
    void Clear();
    const QImage& Picture() const { return FPicture; }

private:
    class Overlay;
    QImage FPicture;
    std::unique_ptr<QPainter> FPainter;
    std::unique_ptr<Overlay> FOverlay;
};
