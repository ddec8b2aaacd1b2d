#include "TreeView/Source/paint/LTDragImage.h"

#include "TreeView/Source/paint/LTBlend.h"

#include <QDrag>
#include <QPainter>
#include <QWidget>
#include <cmath>

namespace {

// The overlay that shows the picture above every window without taking the mouse.
class TDragImageOverlay : public QWidget {
public:
    explicit TDragImageOverlay(const QImage& picture)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput), FPicture(picture)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        resize(picture.size());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, FPicture);
    }

private:
    QImage FPicture;
};

} // namespace

TLTDragImage::TLTDragImage() = default;
TLTDragImage::~TLTDragImage() = default;

void TLTDragImage::ComputeFadingAlpha(QImage& picture, TColor keyColor)
{
    const int w = picture.width();
    const int h = picture.height();
    const double r = std::max(w, h);
    const QRgb key = keyColor == clNone ? 0 : ToQColor(keyColor).rgb();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int alpha;
            if (keyColor != clNone && (line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) {
                alpha = 0;
            } else {
                const double dx = (x - w / 2) / r;
                const double dy = (y - h / 2) / r;
                alpha = static_cast<int>(std::lround(255.0 * std::exp(-8.0 * std::sqrt(dx * dx + dy * dy))));
            }
            line[x] = (line[x] & 0x00FFFFFFu) | (static_cast<QRgb>(alpha) << 24);
        }
    }
}

void TLTDragImage::BuildShownPicture()
{
    // The blend onto the screen, as the compositor will do it: the picture's own alpha scaled by
    // the level (master alpha) or the level alone, and the colours biased.
    FShown = FPicture;
    const bool perPixel = FadeEdges || KeyColor != clNone;
    for (int y = 0; y < FShown.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(FShown.scanLine(y));
        for (int x = 0; x < FShown.width(); ++x) {
            const int alpha = perPixel ? (AlphaLevel * qAlpha(line[x])) >> 8 : AlphaLevel;
            auto biased = [&](int c) { return std::clamp(c + BiasAfter, 0, 255); };
            line[x] = qRgba(biased(qRed(line[x])), biased(qGreen(line[x])), biased(qBlue(line[x])),
                            std::clamp(alpha, 0, 255));
        }
    }
}

void TLTDragImage::LoadDragPicture(const QImage& picture, TPoint imagePosition, QDrag* drag, TPoint hotSpot)
{
    FinishDragImage();
    FPicture = picture.convertToFormat(QImage::Format_ARGB32);
    if (BiasBefore != 0) {
        QImage source = FPicture;
        BlendRectangle(&source, FPicture, {0, 0, FPicture.width(), FPicture.height()}, {0, 0},
                       TBlendKind::bkConstantAlpha, 255, BiasBefore);
    }
    ComputeFadingAlpha(FPicture, KeyColor);
    BuildShownPicture();
    FImagePosition = imagePosition;
    FLastPosition = hotSpot;
    FStates = Hidden | InDrag | Prepared;
    if (drag) {
        drag->setPixmap(QPixmap::fromImage(FShown));
        drag->setHotSpot(QPoint(FShown.width() / 2, FShown.height() / 2));
        FStates |= ShownByShell;
    }
}

void TLTDragImage::RevealDragImage()
{
    if ((FStates & (Hidden | InDrag | Prepared | ShownByShell)) != (Hidden | InDrag | Prepared))
        return;
    FStates &= ~Hidden;
    FOverlay = std::make_unique<TDragImageOverlay>(FShown);
    FOverlay->move(FImagePosition.ToQt());
    FOverlay->show();
}

void TLTDragImage::ConcealDragImage()
{
    if (!Visible())
        return;
    FStates |= Hidden;
    FOverlay.reset();
}

bool TLTDragImage::MoveDragImage(TPoint p, bool forceRepaint)
{
    int dx = p.X - FLastPosition.X;
    int dy = p.Y - FLastPosition.Y;
    if (MoveLimit == TLTMoveLimit::mlHorizontal)
        dy = 0;
    else if (MoveLimit == TLTMoveLimit::mlVertical)
        dx = 0;
    if (dx == 0 && dy == 0 && !forceRepaint)
        return false;
    FImagePosition = {FImagePosition.X + dx, FImagePosition.Y + dy};
    if (Visible() && FOverlay) {
        FOverlay->move(FImagePosition.ToQt());
        if (forceRepaint)
            FOverlay->update();
    }
    FLastPosition = p;
    return dx != 0 || dy != 0 || forceRepaint;
}

void TLTDragImage::FinishDragImage()
{
    FOverlay.reset();
    FStates = 0;
    FPicture = {};
    FShown = {};
}

TRect TLTDragImage::DragImageBounds() const
{
    if (!Visible())
        return {};
    return Bounds(FImagePosition.X, FImagePosition.Y, FShown.width(), FShown.height());
}

bool TLTDragImage::WouldMoveImage(TPoint p) const
{
    if (!Visible())
        return false;
    switch (MoveLimit) {
    case TLTMoveLimit::mlHorizontal:
        return p.X != FLastPosition.X;
    case TLTMoveLimit::mlVertical:
        return p.Y != FLastPosition.Y;
    default:
        return p.X != FLastPosition.X || p.Y != FLastPosition.Y;
    }
}
