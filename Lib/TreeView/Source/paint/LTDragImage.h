#pragma once
// The drag image: a translucent picture of the dragged rows or of a dragged header column that
// follows the mouse. When a drag carries a data object (a QDrag), the platform's drag shows the
// picture (the shell draws it); otherwise the image is an input-transparent overlay window that
// the compositor blends over the screen, so no screen copy is kept.

#include "Platform/core/Types.h"
#include "Platform/graphics/Colors.h"

#include <QImage>
#include <memory>

class QDrag;
class QWidget;

enum class TLTMoveLimit { mlNone, mlHorizontal, mlVertical };

class TLTDragImage {
public:
    TLTDragImage();
    ~TLTDragImage();
    TLTDragImage(const TLTDragImage&) = delete;
    TLTDragImage& operator=(const TLTDragImage&) = delete;

    int AlphaLevel = 128;
    int BiasBefore = 0;
    int BiasAfter = 0;
    bool FadeEdges = false;
    TLTMoveLimit MoveLimit = TLTMoveLimit::mlNone;
    TColor KeyColor = clNone;

    // Prepares the picture at `imagePosition` (screen) for a drag; `drag` (may be null) shows it
    // as the platform's drag picture with the hot spot at its centre.
    void LoadDragPicture(const QImage& picture, TPoint imagePosition, QDrag* drag, TPoint hotSpot);
    void RevealDragImage();
    void ConcealDragImage();
    // Moves the image with the mouse at `p` (screen); false when nothing moved.
    bool MoveDragImage(TPoint p, bool forceRepaint);
    void FinishDragImage();
    TRect DragImageBounds() const;
    bool WouldMoveImage(TPoint p) const;
    bool ImageShown() const { return Visible(); }
    bool ShownByPlatform() const { return FStates & ShownByShell; }
    // The picture as it shows: colours with the bias after blending, alpha by the blend mode.
    const QImage& ShownPicture() const { return FShown; }

    // The alpha of the picture: 0 for the key colour, else 255 * e^(-8 d), d the distance from
    // the centre relative to the larger side.
    static void ComputeFadingAlpha(QImage& picture, TColor keyColor);

private:
    enum : unsigned { Hidden = 1, InDrag = 2, Prepared = 4, ShownByShell = 8 };
    bool Visible() const { return (FStates & (InDrag | Prepared)) == (InDrag | Prepared) && !(FStates & (Hidden | ShownByShell)); }
    void BuildShownPicture();

    unsigned FStates = 0;
    QImage FPicture;
    QImage FShown;
    TPoint FImagePosition;
    TPoint FLastPosition;
    std::unique_ptr<QWidget> FOverlay;
};
