#pragma once
// The state of one dock drag: the dragged control, the site under the mouse, the drop control
// and side, and the frame shown while dragging (an overlay that follows the mouse).

#include "ExLib/run/docking/support/ExDockOverlay.h"

#include "Platform/docking/DockCore.h"

#include <memory>

class TExDockDragDockObject {
public:
    explicit TExDockDragDockObject(TWinControlCore* control);
    virtual ~TExDockDragDockObject();
    TExDockDragDockObject(const TExDockDragDockObject&) = delete;
    TExDockDragDockObject& operator=(const TExDockDragDockObject&) = delete;

    double MouseRatioX = 0;
    double MouseRatioY = 0;
    TWinControlCore* Control;
    TWinControlCore* DropTarget = nullptr;
    TPoint DragPos;
    TWinControlCore* DropControl = nullptr;
    TAlign DropAlign = TAlign::alNone;
    QWidget* TargetWindow = nullptr;
    TPoint TargetPos;
    bool Finishing = false;
    bool Floating = false;
    TRect DockRect;
    TRect ShownRect;

    // Shows (or with `erase` hides) the frame; drawing the same frame twice erases it.
    virtual void DrawFrame(bool erase);
    // Moves the shown frame to DockRect.
    virtual void UpdateFrame(bool wasDragging);
    virtual void GetFrameInfo(int& thickness, bool erase, TRect& rect);
    virtual int GetFrameThickness() const { return FFrameThickness; }
    virtual void SetFrameThickness(int value) { FFrameThickness = value; }
    virtual void TargetChanged(TWinControlCore* newTarget) { (void)newTarget; }
    // Moves `r` so that the mouse lies on its nearer edge when it lies outside.
    virtual void KeepMouseInRect(TRect& r);
    virtual void NotifyEnd(TWinControlCore* target, int x, int y);
    virtual void CompleteDrag(TWinControlCore* target, int x, bool accepted, int y);
    virtual Qt::CursorShape DragCursorFor(bool accepted, int x, int y);
    virtual void ShowFrame() { DrawFrame(false); }
    virtual void HideFrame() { DrawFrame(true); }
    virtual TWinControlCore* FindDropControl();
    // The frame's overlay (for looking at it).
    const TExDockOverlay* Overlay() const { return FOverlay.get(); }

private:
    int FFrameThickness = 4;
    std::unique_ptr<TExDockOverlay> FOverlay;
};
