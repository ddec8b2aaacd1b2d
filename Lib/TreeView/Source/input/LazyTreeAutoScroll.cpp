// Scrolling by the mouse: the wheel, automatic scrolling near the borders during drags and the
// rubber band, and wheel panning with its small window and direction cursors.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTScrollBarOptions.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/input/LTPanningWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>

namespace {

constexpr int PanningDeadZone = 8;
constexpr unsigned PanningInterval = 20;

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

bool TBaseLazyTree::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    EndWheelPanning();
    if (TQtScrollControl<QAbstractScrollArea>::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    const int notches = wheelDelta / WHEEL_DELTA;
    const int rowHeight = static_cast<int>(FDefaultNodeHeight);
    if (FRangeY > ClientHeight()) {
        int rows;
        if (shift.Contains(ssCtrl)) {
            rows = (ClientHeight() / rowHeight) * notches;
        } else {
            // why: touchpads report fractions of a notch; they add up instead of being lost.
            const int total = FWheelRemainder + wheelDelta * QApplication::wheelScrollLines();
            rows = total / WHEEL_DELTA;
            FWheelRemainder = total % WHEEL_DELTA;
        }
        SetOffsetY(FOffsetY + rows * rowHeight);
    } else {
        const int indent = static_cast<int>(FIndent);
        const int units = shift.Contains(ssCtrl) ? (ClientWidth() / std::max(indent, 1)) * notches : notches;
        SetOffsetX(FOffsetX + units * indent);
    }
    return true;
}

bool TBaseLazyTree::AutoScrollAllowed()
{
    const bool panning = FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling);
    const bool headerIdle = !FHeader || FHeader->States().Empty();
    return (HasOption(toAutoScroll) || panning) && headerIdle &&
           (MouseSelecting() || FDropTargetNow || FStates.Contains(tsVCLDragging) || panning);
}

TScrollDirections TBaseLazyTree::AutoScrollDirectionsAt(int x, int y)
{
    TScrollDirections directions;
    if (!AutoScrollAllowed())
        return directions;
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
        const int dx = x - FLastClickPos.X;
        const int dy = y - FLastClickPos.Y;
        if (dx < -PanningDeadZone)
            directions.Include(sdLeft);
        if (dx > PanningDeadZone)
            directions.Include(sdRight);
        if (dy < -PanningDeadZone)
            directions.Include(sdUp);
        if (dy > PanningDeadZone)
            directions.Include(sdDown);
        return directions;
    }
    const int zone = static_cast<int>(FDefaultNodeHeight);
    if (x < zone && FOffsetX != 0)
        directions.Include(sdLeft);
    if (FRangeX + FOffsetX > ClientWidth() && x > ClientWidth() - zone)
        directions.Include(sdRight);
    if (y < zone && FOffsetY != 0)
        directions.Include(sdUp);
    if (FRangeY + FOffsetY > ClientHeight() && y > ClientHeight() - zone)
        directions.Include(sdDown);
    if (directions.Empty()) {
        FScrollStartTime = 0;
        return directions;
    }
    if (!FDropTargetNow && ClientRect().Contains({x, y})) {
        // Over the tree itself the scrolling waits a moment, so that a drag can end near a border.
        if (FScrollStartTime == 0)
            FScrollStartTime = NowMs();
        if (NowMs() - FScrollStartTime < static_cast<std::int64_t>(FAutoScrollDelay))
            return {};
    }
    return directions;
}

void TBaseLazyTree::StartAutoScrollTimer(int x, int y)
{
    FScrollDirections = AutoScrollDirectionsAt(x, y);
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling))
        return;
    if (!FScrollDirections.Empty()) {
        if (!FStates.Contains(tsScrollPending) && !FStates.Contains(tsScrolling)) {
            ShiftTreeStates(tsScrollPending, {});
            SetTimer(ScrollTimer, FAutoScrollDelay);
        }
    } else if (FStates.Contains(tsScrollPending) || FStates.Contains(tsScrolling)) {
        StopAutoScroll();
    }
}

void TBaseLazyTree::StopAutoScroll()
{
    KillTreeTimer(ScrollTimer);
    ShiftTreeStates({}, TLazyTreeStates{tsScrollPending, tsScrolling});
}

void TBaseLazyTree::AutoScrollStep()
{
    const bool panning = FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling);
    const bool banding = FStates.Contains(tsDrawSelecting);
    const TPoint p = FLastMousePos;
    const bool inside = ClientRect().Contains(p);
    if (!banding && !panning && !inside && !FDropTargetNow)
        return;
    int dx = 0;
    int dy = 0;
    const int vertical = std::min(FScrollBarOptions->VerticalIncrement(), ClientHeight());
    const int horizontal = FScrollBarOptions->HorizontalIncrement();
    auto amount = [&](TScrollDirection direction) {
        if (panning) {
            const int distance = direction == sdLeft || direction == sdRight ? std::abs(p.X - FLastClickPos.X)
                                                                               : std::abs(p.Y - FLastClickPos.Y);
            return std::max(distance - PanningDeadZone, 0);
        }
        const int increment = direction == sdLeft || direction == sdRight ? horizontal : vertical;
        if (inside)
            return increment;
        int outside = 0;
        switch (direction) {
        case sdLeft:
            outside = -p.X;
            break;
        case sdRight:
            outside = p.X - ClientWidth();
            break;
        case sdUp:
            outside = -p.Y;
            break;
        default:
            outside = p.Y - ClientHeight();
            break;
        }
        return increment * std::max(outside, 1);
    };
    if (FScrollDirections.Contains(sdUp)) {
        if (FOffsetY >= 0)
            FScrollDirections.Exclude(sdUp);
        else
            dy = amount(sdUp);
    }
    if (FScrollDirections.Contains(sdDown)) {
        if (FOffsetY <= ClientHeight() - FRangeY)
            FScrollDirections.Exclude(sdDown);
        else
            dy = -amount(sdDown);
    }
    if (FScrollDirections.Contains(sdLeft)) {
        if (FOffsetX >= 0)
            FScrollDirections.Exclude(sdLeft);
        else
            dx = amount(sdLeft);
    }
    if (FScrollDirections.Contains(sdRight)) {
        if (FOffsetX <= ClientWidth() - FRangeX)
            FScrollDirections.Exclude(sdRight);
        else
            dx = -amount(sdRight);
    }
    if (dx != 0 || dy != 0) {
        if (banding) {
            // The band's free corner stays under the mouse while the content moves.
            ApplyScrollOffset({FOffsetX + dx, FOffsetY + dy});
            ComputeDrawSelectionRect(p.X, p.Y);
            ApplyBandSelection(p.X, p.Y);
            InvalidateClient();
        } else {
            ApplyScrollOffset({FOffsetX + dx, FOffsetY + dy});
        }
        viewport()->update();
    }
    if (FScrollDirections.Empty() && !panning)
        StopAutoScroll();
}

void TBaseLazyTree::BeginWheelPanning(TPoint position)
{
    KillTreeTimer(ScrollTimer);
    ShiftTreeStates(TLazyTreeStates{tsWheelPanning, tsWheelScrolling}, {});
    const bool wide = FRangeX > ClientWidth();
    const bool tall = FRangeY > ClientHeight();
    const QImage image = PanningImage(wide && tall ? TPanningShape::MoveAll
                                      : wide       ? TPanningShape::MoveEW
                                                   : TPanningShape::MoveNS);
    FPanningWindow = std::make_unique<TLTPanningWindow>(this, image, ClientToScreen(position).ToQt());
    FPanningWindow->show();
    setFocus();
    viewport()->grabMouse();
    SetTimer(ScrollTimer, PanningInterval);
}

void TBaseLazyTree::EndWheelPanning()
{
    if (!FStates.Contains(tsWheelPanning) && !FStates.Contains(tsWheelScrolling))
        return;
    KillTreeTimer(ScrollTimer);
    viewport()->releaseMouse();
    ShiftTreeStates({}, TLazyTreeStates{tsWheelPanning, tsWheelScrolling});
    FPanningWindow.reset();
    FPanningShape = -1;
    ApplyCursor();
}

void TBaseLazyTree::PickPanningCursor(int x, int y)
{
    const int dx = x - FLastClickPos.X;
    const int dy = y - FLastClickPos.Y;
    const bool wide = FRangeX > ClientWidth();
    const bool tall = FRangeY > ClientHeight();
    TPanningShape shape;
    if (std::abs(dx) > 7 || std::abs(dy) > 7) {
        const bool west = dx < -PanningDeadZone;
        const bool east = dx > PanningDeadZone;
        const bool north = y < FLastClickPos.Y;
        if (wide && tall) {
            if (west)
                shape = dy < -PanningDeadZone ? TPanningShape::MoveNW
                        : dy > PanningDeadZone ? TPanningShape::MoveSW
                                               : TPanningShape::MoveW;
            else if (east)
                shape = dy < -PanningDeadZone ? TPanningShape::MoveNE
                        : dy > PanningDeadZone ? TPanningShape::MoveSE
                                               : TPanningShape::MoveE;
            else
                shape = north ? TPanningShape::MoveN : TPanningShape::MoveS;
        } else if (wide) {
            shape = dx < 0 ? TPanningShape::MoveW : TPanningShape::MoveE;
        } else {
            shape = dy < 0 ? TPanningShape::MoveN : TPanningShape::MoveS;
        }
    } else {
        shape = !wide ? TPanningShape::MoveNS : tall ? TPanningShape::MoveAll : TPanningShape::MoveEW;
    }
    if (static_cast<int>(shape) == FPanningShape)
        return;
    FPanningShape = static_cast<int>(shape);
    viewport()->setCursor(PanningCursor(shape));
}
