#pragma once
// The rubber bands of docking: a splitter bar inside a window, or a drag frame that follows the
// mouse over the whole screen. They stand in for the inverting pattern the docking code draws:
// drawing a rectangle shows the band there, drawing the same rectangle again erases it, and
// drawing another one moves it. The band lets the mouse through and lies above everything of its
// window (the bar) or above every window (the frame).

#include "Platform/core/Types.h"

#include <QPointer>
#include <memory>
#include <vector>

class QWidget;

class TExDockOverlay {
public:
    // A bar inside `parent` (coordinates of `parent`); with no parent a frame of `thickness`
    // on the screen (screen coordinates).
    TExDockOverlay(QWidget* parent, int thickness);
    ~TExDockOverlay();
    TExDockOverlay(const TExDockOverlay&) = delete;
    TExDockOverlay& operator=(const TExDockOverlay&) = delete;

    // Shows `r`, or erases it when it is what shows now.
    void Xor(const TRect& r);
    // The same for a band made of strips (in the coordinates of `r`, which holds them all):
    // drawing the same strips again erases them.
    void XorStrips(const TRect& r, const std::vector<TRect>& strips);
    void Hide();
    bool Shown() const { return FShown; }
    const TRect& ShownRect() const { return FRect; }
    // The band's widget (for looking at it in tests and screenshots).
    QWidget* Widget() const;

private:
    class Band;
    QPointer<Band> FBand;
    bool FShown = false;
    TRect FRect;
    std::vector<TRect> FStrips;
};
