#pragma once
// The non-client area of a frameless top-level window, drawn and hit-tested by the program
// itself, so that a press on a floating tool window's caption reaches the window's procedure as
// the window system's non-client messages do: WM_NC*BUTTON* and WM_NCMOUSEMOVE with a hit-test
// code (HTCAPTION, HTCLOSE, the border codes) and the screen point. A message that the window
// procedure passes on gets the default handling here: the caption moves the window, the border
// resizes it, and a release on the close button that was pressed closes the window.
//
// The frame is a border of FrameBorderWidth around the window and a caption strip of
// FrameCaptionHeight below the top border, kept as the widget's contents margins while the
// widget is a frameless window and dropped while it lies inside another window. Attach it once,
// before anything else replaces the window procedure; it stays for the window's life.

#include "Platform/docking/DockMessages.h"
#include "Platform/controls/Control.h"

#include <QObject>
#include <QPoint>

class TFloatingFrame : public QObject {
public:
    static TFloatingFrame& Attach(TWinControlCore& control);
    static TFloatingFrame* Find(const TWinControlCore& control);

    static int CaptionHeight();
    static int BorderWidth();

    // True while the widget is a frameless window that shows the frame.
    bool Active() const;
    // The hit-test code of a point in widget coordinates.
    int HitTest(QPoint pos) const;
    // The close button in widget coordinates.
    QRect CloseButtonRect() const;
    // Puts the margins in step with what the widget is now.
    void UpdateMargins();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TFloatingFrame(TWinControlCore& control);
    void DefaultHandler(TMessage& m, const TWndMethod& next);
    bool MouseEvent(QEvent* event);
    void Paint();
    void SetCursorFor(int code);

    TWinControlCore& FControl;
    QWidget* FWidget;
    bool FClosePressed = false;
    bool FMoving = false;
    QPoint FMoveOffset;
};
