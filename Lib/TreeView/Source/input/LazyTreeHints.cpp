// Hints of TBaseLazyTree: whether a node hint, a column hint or a tooltip for a cell whose text
// does not fit is shown, where, and for which cursor area; the effective hint animation.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/paint/LTBlend.h"
#include "TreeView/Source/paint/LTHintWindow.h"

#include <QApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QToolTip>

std::unique_ptr<TLazyTreeHintWindow> TBaseLazyTree::HintWindowClassToUse()
{
    return std::make_unique<TLazyTreeHintWindow>();
}

THintAnimationType TBaseLazyTree::HintAnimationToUse() const
{
    THintAnimationType animation = FHintAnimation;
    if (animation == THintAnimationType::hatSystemDefault) {
        if (!QApplication::isEffectEnabled(Qt::UI_AnimateTooltip))
            animation = THintAnimationType::hatNone;
        else if (QApplication::isEffectEnabled(Qt::UI_FadeTooltip))
            animation = THintAnimationType::hatFade;
        else
            animation = THintAnimationType::hatSlide;
    }
    if (animation == THintAnimationType::hatFade && !MMXAvailable())
        animation = THintAnimationType::hatSlide;
    return animation;
}

bool TBaseLazyTree::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && !ComponentState().Contains(csDestroying)) {
        const auto* help = static_cast<QHelpEvent*>(e);
        ShowHintAt(TPoint::FromQt(help->pos()));
        return true;
    }
    return TQtScrollControl<QAbstractScrollArea>::viewportEvent(e);
}

void TBaseLazyTree::CancelHint()
{
    QToolTip::hideText();
    if (FHintWindow)
        FHintWindow->CancelHint();
    FLastHintRect = {};
    ShiftTreeStates({}, tsHint);
}

bool TBaseLazyTree::HintShown() const
{
    return FHintWindow && FHintWindow->isVisible();
}

void TBaseLazyTree::SetShowHint(bool value)
{
    FShowHint = value;
    if (!value)
        CancelHint();
}

void TBaseLazyTree::ShowHintAt(TPoint p)
{
    if (FShowHint && HintShown() && FLastHintRect.Contains(p))
        return;
    TLTHitRecord hit;
    HitTestAt(p.X, p.Y, true, hit);
    bool allowed = hasFocus() || isActiveWindow() || QApplication::activeWindow() != nullptr;
    if (FStates.Contains(tsEditing) && hit.HitNode == FFocusNode)
        allowed = false;
    QWidget* grabber = QWidget::mouseGrabber();
    const bool busy = (grabber && grabber != viewport()) || DragInProgress() || MouseSelecting() ||
                      FStates.Contains(tsScrolling) || (FHeader && !FHeader->States().Empty());
    if (!allowed || !FShowHint || busy) {
        CancelHint();
        return;
    }
    TLTHintData data;
    data.OwnerTree = this;
    TRect cursorRect;
    TRect place; // client rectangle the window's upper left corner goes to
    bool tooltipPlacement = false;
    const std::string shortHint = GetShortHint(Hint());
    TLazyTreeColumns* columns = FHeader && FHeader->Columns().Count() > 0 ? &FHeader->Columns() : nullptr;
    const bool validColumn = !columns || hit.HitColumn >= 0;
    if (FHintMode != TLTHintMode::hmDefault && hit.HitNode && validColumn) {
        int rangeLeft = 0;
        int rangeRight = ClientWidth();
        if (columns) {
            columns->ColumnEdges(hit.HitColumn, rangeLeft, rangeRight);
            if (HasOption(toAutoSpanColumns))
                for (TColumnIndex next = columns->NextShownColumn(hit.HitColumn);
                     next >= 0 && FireGetCellIsEmpty(hit.HitNode, next); next = columns->NextShownColumn(next))
                    rangeRight += columns->ColumnAt(next)->Width();
        }
        data.HintNode = hit.HitNode;
        data.HintColumn = hit.HitColumn;
        if (FHintMode == TLTHintMode::hmTooltip) {
            if (hit.HitNode->Has(nsWrapText)) {
                if (hit.HitParts.Contains(htOnLabel)) {
                    cursorRect = NodeDisplayRect(hit.HitNode, hit.HitColumn, false);
                    place = cursorRect;
                }
            } else {
                const TRect text = NodeDisplayRect(hit.HitNode, hit.HitColumn, true, true);
                const bool inside = text.Contains(p) && p.X >= rangeLeft && p.X < rangeRight;
                const bool truncated = text.Right > std::min(rangeRight, ClientWidth()) || text.Left < rangeLeft ||
                                       text.Top < 0 || text.Bottom > ClientHeight();
                if (inside && truncated) {
                    cursorRect = text;
                    place = text;
                }
            }
            tooltipPlacement = true;
        } else {
            cursorRect = NodeDisplayRect(hit.HitNode, hit.HitColumn, false);
            cursorRect.Left = std::max(cursorRect.Left, rangeLeft);
            cursorRect.Right = std::min(cursorRect.Right, rangeRight);
            place = {cursorRect.Left, cursorRect.Bottom + 2, cursorRect.Right, cursorRect.Bottom + 2};
        }
    } else if ((FHintMode == TLTHintMode::hmDefault || FHintMode == TLTHintMode::hmHintAndDefault) &&
               !shortHint.empty()) {
        data.DefaultText = QString::fromStdString(shortHint);
        cursorRect = ClientRect();
        place = {p.X, p.Y + 20, p.X, p.Y + 20};
    }
    if (cursorRect.IsEmpty()) {
        CancelHint();
        return;
    }
    ShowHintWindow(data, place.TopLeft(), tooltipPlacement);
    FLastHintRect = HintShown() ? cursorRect : TRect{};
    if (HintShown())
        ShiftTreeStates(tsHint, {});
    else
        ShiftTreeStates({}, tsHint);
}

void TBaseLazyTree::ShowHintWindow(const TLTHintData& data, TPoint clientPlace, bool tooltip)
{
    if (!FHintWindow)
        FHintWindow = HintWindowClassToUse();
    const QScreen* screen = this->screen();
    const int maxWidth = screen ? screen->availableGeometry().width() / 2 : 400;
    TRect r = FHintWindow->CalcHintRect(maxWidth, data);
    if (r.IsEmpty()) {
        FHintWindow->CancelHint();
        return;
    }
    // A tooltip's rectangle starts at (-1, -1): its frame lies around the text.
    const TPoint at = ClientToScreen(clientPlace);
    OffsetRect(r, at.X + (tooltip ? 0 : -r.Left), at.Y + (tooltip ? 0 : -r.Top));
    if (FStates.Contains(tsInAnimation))
        ShiftTreeStates(tsCancelHintAnimation, tsInAnimation);
    FHintWindow->ActivateHint(r);
    ShiftTreeStates({}, tsCancelHintAnimation);
}

void TBaseLazyTree::ShowHeaderHint(TPoint p)
{
    TLazyTreeColumns* columns = FHeader && FHeader->Columns().Count() > 0 ? &FHeader->Columns() : nullptr;
    if (!columns || !FShowHint || !FHeader->Options().Contains(hoShowHint) ||
        QApplication::mouseButtons().testFlag(Qt::LeftButton)) {
        CancelHint();
        return;
    }
    int left = 0;
    int right = 0;
    const TColumnIndex column = columns->ColumnAndBoundsAt(p.X, left, right, true);
    const TLazyTreeColumn* c = columns->ColumnAt(column);
    if (!c || c->Hint().isEmpty()) {
        CancelHint();
        return;
    }
    TLTHintData data;
    data.OwnerTree = this;
    data.HintColumn = column;
    data.DefaultText = c->Hint();
    ShowHintWindow(data, {left, 0}, false);
    FLastHintRect = {};
}
