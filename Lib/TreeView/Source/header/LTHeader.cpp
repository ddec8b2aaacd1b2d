#include "TreeView/Source/header/LTHeader.h"

#include "TreeView/Source/core/LazyTree.h"
#include "TreeView/Source/paint/LTDragImage.h"
#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/controls/Keys.h"
#include "Platform/files/Streams.h"
#include "Platform/graphics/ImgList.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {
TPoint PointOf(LPARAM lParam)
{
    return {LowWordSigned(lParam), HighWordSigned(lParam)};
}

template <class E>
E EnumOr(std::int32_t value, E last, E fallback)
{
    return value >= 0 && value <= static_cast<std::int32_t>(last) ? static_cast<E>(value) : fallback;
}
} // namespace

// ---- the header widget

TLTHeaderWidget::TLTHeaderWidget(TLTHeader& header, QWidget* parent) : QWidget(parent), FHeader(header)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void TLTHeaderWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    FHeader.Columns().PaintHeaderTo(painter, TRect::FromQt(rect()));
}

LPARAM TLTHeaderWidget::ClientPoint(const QPointF& local) const
{
    const QPoint p = local.toPoint();
    return MakeLParam(p.x(), p.y() - FHeader.Height());
}

WPARAM TLTHeaderWidget::KeyFlags(const QMouseEvent* event) const
{
    WPARAM flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (event->buttons() & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

void TLTHeaderWidget::Send(UINT msg, QMouseEvent* event)
{
    FHeader.Tree().Perform(msg, KeyFlags(event), ClientPoint(event->position()));
    event->accept();
}

void TLTHeaderWidget::mousePressEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        Send(WM_NCLBUTTONDOWN, event);
        break;
    case Qt::RightButton:
        Send(WM_NCRBUTTONDOWN, event);
        break;
    case Qt::MiddleButton:
        Send(WM_NCMBUTTONDOWN, event);
        break;
    default:
        break;
    }
}

void TLTHeaderWidget::mouseReleaseEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        // While the header tracks or drags, the mouse is its own: the release is a client one.
        Send(FHeader.States().Empty() ? WM_NCLBUTTONUP : WM_LBUTTONUP, event);
        break;
    case Qt::RightButton:
        Send(WM_NCRBUTTONUP, event);
        break;
    case Qt::MiddleButton:
        Send(WM_NCMBUTTONUP, event);
        break;
    default:
        break;
    }
}

void TLTHeaderWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        Send(WM_NCLBUTTONDBLCLK, event);
        break;
    case Qt::RightButton:
        Send(WM_NCRBUTTONDBLCLK, event);
        break;
    case Qt::MiddleButton:
        Send(WM_NCMBUTTONDBLCLK, event);
        break;
    default:
        break;
    }
}

void TLTHeaderWidget::mouseMoveEvent(QMouseEvent* event)
{
    Send(FHeader.States().Empty() ? WM_NCMOUSEMOVE : WM_MOUSEMOVE, event);
}

void TLTHeaderWidget::leaveEvent(QEvent*)
{
    unsetCursor();
}

bool TLTHeaderWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const QPoint p = static_cast<QHelpEvent*>(event)->pos();
        FHeader.Tree().ShowHeaderHint({p.x(), p.y() - FHeader.Height()});
        return true;
    }
    return QWidget::event(event);
}

// ---- the header

TLTHeader::TLTHeader(TBaseLazyTree& tree) : FTree(tree), FDragImage(std::make_unique<TLTDragImage>())
{
    FDragImage->FadeEdges = false;
    FDragImage->BiasAfter = 0;
    FDragImage->BiasBefore = -50;
    FDragImage->AlphaLevel = 140;
    FColumns = std::make_unique<TLazyTreeColumns>(*this);
    FWidget = new TLTHeaderWidget(*this, &tree);
    FFont.OnChange = [this](TObject*) {
        FParentFont = false;
        RepaintHeader();
    };
}

TLTHeader::~TLTHeader()
{
    SetImages(nullptr);
    delete FWidget;
}

bool TLTHeader::Loading() const
{
    return FTree.Loading();
}

TRect TLTHeader::HeaderRect() const
{
    return {0, -FHeight, FTree.ClientWidth(), 0};
}

bool TLTHeader::PointInHeader(TPoint p) const
{
    return FOptions.Contains(hoVisible) && HeaderRect().Contains(p);
}

TColumnIndex TLTHeader::MainColumn() const
{
    return FColumns->Count() > 0 ? FMainColumn : NoColumn;
}

void TLTHeader::RepaintHeader(TColumnIndex column, bool expandToBorder)
{
    if (!FOptions.Contains(hoVisible) || !FWidget || !FTree.WindowExists())
        return;
    const TLazyTreeColumn* c = FColumns->ColumnAt(column);
    if (!c) {
        FWidget->update();
        return;
    }
    int left = c->AbsoluteLeft() + (c->IsFixed() ? 0 : FTree.OffsetX());
    const int right = expandToBorder ? FWidget->width() : left + c->Width();
    FWidget->update(QRect(left, 0, right - left, FHeight));
}

// ---- property setters

void TLTHeader::SetAutoSizeIndex(TColumnIndex value)
{
    if (value == FAutoSizeIndex)
        return;
    FAutoSizeIndex = value;
    if (FOptions.Contains(hoAutoResize))
        FColumns->FitAutoSizeColumn();
}

void TLTHeader::SetBackground(TColor value)
{
    if (value == FBackground)
        return;
    FBackground = value;
    RepaintHeader();
}

void TLTHeader::SetFont(const TFont& value)
{
    FFont.Assign(value);
    FParentFont = false;
    RepaintHeader();
}

void TLTHeader::SetHeight(int value)
{
    if (value == FHeight)
        return;
    FHeight = value;
    if (!Loading())
        RecomputeHeaderFrame();
}

void TLTHeader::SetImages(TCustomImageList* value)
{
    if (value == FImages)
        return;
    if (FImages) {
        FImages->UnRegisterChanges(FImagesLink);
        FTree.RemoveFreeNotification(FImages);
    }
    FImages = value;
    if (FImages) {
        FImagesLink = FImages->RegisterChanges([this](TObject*) { RepaintHeader(); });
        FTree.FreeNotification(FImages);
    }
    if (!Loading())
        RepaintHeader();
}

void TLTHeader::ImagesRemoved()
{
    FImages = nullptr;
    FImagesLink = 0;
    RepaintHeader();
}

void TLTHeader::SetMainColumn(TColumnIndex value)
{
    if (Loading()) {
        FMainColumn = value;
        return;
    }
    value = FColumns->Count() > 0 ? std::clamp(value, 0, FColumns->Count() - 1) : NoColumn;
    if (value == FMainColumn)
        return;
    FMainColumn = value;
    FTree.MainColumnSwitched();
    if (!FTree.HasOption(toExtendedFocus))
        FTree.FFocusedColumn = FMainColumn;
    FTree.InvalidateClient();
}

void TLTHeader::SetOptions(TLTHeaderOptions value)
{
    if (value == FOptions)
        return;
    const TLTHeaderOptions old = FOptions;
    FOptions = value;
    if (old.Contains(hoAutoResize) != value.Contains(hoAutoResize) && FColumns->Count() > 0) {
        FColumns->FitAutoSizeColumn();
        if (FTree.WindowExists()) {
            FTree.RefreshScrollBars(false);
            if (value.Contains(hoAutoResize))
                FTree.InvalidateClient();
        }
    }
    if (Loading() || !FTree.WindowExists())
        return;
    if (old.Contains(hoVisible) != value.Contains(hoVisible))
        RecomputeHeaderFrame();
    RepaintHeader();
    FTree.InvalidateClient();
}

void TLTHeader::SetParentFont(bool value)
{
    if (value == FParentFont)
        return;
    FParentFont = value;
    if (value)
        ParentFontChanged();
}

void TLTHeader::ParentFontChanged()
{
    if (!FParentFont)
        return;
    FFont.Assign(FTree.Font());
    FParentFont = true;
    RepaintHeader();
}

void TLTHeader::ParentBiDiModeChanged()
{
    const TBiDiMode mode =
        FTree.layoutDirection() == Qt::RightToLeft ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TLazyTreeColumn* column = FColumns->ColumnAt(i);
        if (column->Options().Contains(coParentBidiMode))
            column->FBiDiMode = mode;
    }
}

void TLTHeader::SetSortColumn(TColumnIndex value)
{
    if (Loading()) {
        FSortColumn = value;
        return;
    }
    value = std::clamp(value, NoColumn, FColumns->Count() - 1);
    if (value == FSortColumn)
        return;
    RepaintHeader(FSortColumn);
    RepaintHeader(value);
    FSortColumn = value;
    if (FTree.HasOption(toAutoSort) && FTree.UpdateDepth() == 0)
        FTree.SortAllNodes(FSortColumn, FSortDirection, true);
}

void TLTHeader::SetSortDirection(TSortDirection value)
{
    if (value == FSortDirection)
        return;
    FSortDirection = value;
    RepaintHeader();
    if (!Loading() && FTree.HasOption(toAutoSort) && FTree.UpdateDepth() == 0)
        FTree.SortAllNodes(FSortColumn, FSortDirection, true);
}

void TLTHeader::SetStyle(TLTHeaderStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    if (!Loading())
        RepaintHeader();
}

void TLTHeader::Assign(const TPersistent& source)
{
    const auto* header = dynamic_cast<const TLTHeader*>(&source);
    if (!header) {
        TPersistent::Assign(source);
        return;
    }
    SetAutoSizeIndex(header->FAutoSizeIndex);
    SetBackground(header->FBackground);
    FColumns->Assign(*header->FColumns);
    SetFont(header->FFont);
    SetHeight(header->FHeight);
    SetImages(header->FImages);
    SetMainColumn(header->FMainColumn);
    SetOptions(header->FOptions);
    SetParentFont(header->FParentFont);
    SetPopupMenu(header->FPopupMenu);
    SetSortColumn(header->FSortColumn);
    SetSortDirection(header->FSortDirection);
    SetStyle(header->FStyle);
}

void TLTHeader::ScaleHeader(int m, int d)
{
    FFont.SetSize(MulDiv(FFont.Size(), m, d));
}

void TLTHeader::RecomputeHeaderFrame()
{
    if (FTree.WindowExists())
        FTree.ComputeHeaderArea();
}

void TLTHeader::FitColumnsToContent(bool animated)
{
    for (int i = 0; i < FColumns->Count(); ++i) {
        TLazyTreeColumn* column = FColumns->ColumnAt(i);
        if (!column->Options().Contains(coVisible) || !column->Options().Contains(coResizable))
            continue;
        const int width = FTree.WidestCellInColumn(i);
        if (animated)
            FColumns->AnimatedColumnResize(i, width);
        else
            column->SetWidth(width);
    }
}

void TLTHeader::RestoreColumnWidths()
{
    for (int i = 0; i < FColumns->Count(); ++i) {
        TLazyTreeColumn* column = FColumns->ColumnAt(i);
        if (column->Options().Contains(coVisible) && column->Options().Contains(coResizable))
            FColumns->AnimatedColumnResize(i, column->LastWidth());
    }
}

// ---- mouse and keyboard

TShiftState TLTHeader::KeyboardShift() const
{
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift.Include(ssShift);
    if (modifiers & Qt::ControlModifier)
        shift.Include(ssCtrl);
    if (modifiers & Qt::AltModifier)
        shift.Include(ssAlt);
    return shift;
}

bool TLTHeader::SplitterIndexAt(TPoint p)
{
    FColumns->TrackIndex = NoColumn;
    if (FColumns->Count() == 0)
        return false;
    int edge = FTree.OffsetX() + FTree.RangeX();
    const std::vector<TLazyTreeColumn*> visible = FColumns->VisibleColumnList();
    for (auto it = visible.rbegin(); it != visible.rend(); ++it) {
        TLazyTreeColumn* column = *it;
        if (p.X > edge - 3 && p.X < edge + 5) {
            if (!column->Options().Contains(coResizable))
                return false;
            FColumns->TrackIndex = column->Index();
            FTrackLeft = edge - column->Width();
            return true;
        }
        edge -= column->Width();
    }
    return false;
}

void TLTHeader::UpdateCursor(TPoint p)
{
    if (!FWidget)
        return;
    TCursor cursor = crDefault;
    if (PointInHeader(p) && FOptions.Contains(hoColumnResize)) {
        const TColumnIndex track = FColumns->TrackIndex;
        if (SplitterIndexAt(p))
            cursor = crHeaderSplit;
        FColumns->TrackIndex = track;
        FTree.FireGetHeaderCursor(cursor);
    }
    if (cursor == crHeaderSplit)
        FWidget->setCursor(Qt::SplitHCursor);
    else
        FWidget->unsetCursor();
}

void TLTHeader::HandleClick(TPoint p, TMouseButton button, bool force, bool doubleClick)
{
    const TColumnIndex column = FColumns->ColumnAtPoint({p.X, p.Y + FHeight}, true);
    const TLazyTreeColumn* c = FColumns->ColumnAt(column);
    if (c && c->Options().Contains(coAllowClick) && (force || column == FColumns->PressedIndex)) {
        FColumns->ClickIndex = column;
        TShiftState shift = KeyboardShift();
        if (doubleClick)
            shift.Include(ssDouble);
        FTree.FireHeaderClick(column, button, shift, p.X, p.Y + FHeight);
        RepaintHeader(column);
    } else {
        FColumns->ClickIndex = NoColumn;
    }
}

void TLTHeader::PrepareColumnDragImage(TColumnIndex column, TPoint p)
{
    const TLazyTreeColumn* c = FColumns->ColumnAt(column);
    if (!c || !FWidget)
        return;
    QImage picture(c->Width(), FHeight, QImage::Format_ARGB32);
    picture.fill(ToQColor(clBtnFace));
    {
        QPainter painter(&picture);
        FColumns->PaintColumnImage(painter, column);
    }
    const int left = c->AbsoluteLeft() + (c->IsFixed() ? 0 : FTree.OffsetX());
    const QPoint imageAt = FWidget->mapToGlobal(QPoint(left, 0));
    const QPoint mouse = FWidget->mapToGlobal(QPoint(p.X, p.Y + FHeight));
    FDragImage->MoveLimit = FOptions.Contains(hoRestrictDrag) ? TLTMoveLimit::mlHorizontal : TLTMoveLimit::mlNone;
    FDragImage->LoadDragPicture(picture, TPoint::FromQt(imageAt), nullptr, TPoint::FromQt(mouse));
    FDragImage->RevealDragImage();
}

void TLTHeader::StopColumnDrag()
{
    FDragImage->FinishDragImage();
    FStates.Exclude(hsDragging).Exclude(hsDragPending);
    FColumns->DropTarget = NoColumn;
    FColumns->DragIndex = NoColumn;
    RepaintHeader();
}

void TLTHeader::UpdateDropTarget(TPoint p)
{
    int left = 0;
    int right = 0;
    const TColumnIndex target = FColumns->ColumnAndBoundsAt(p.X, left, right, true);
    if (target < 0)
        return;
    const bool before = p.X < (left + right) / 2;
    if (target == FColumns->DropTarget && before == FColumns->DropBefore)
        return;
    const TColumnIndex old = FColumns->DropTarget;
    FColumns->DropTarget = target;
    FColumns->DropBefore = before;
    RepaintHeader(old);
    RepaintHeader(target);
}

void TLTHeader::EndHeaderDrag(TPoint p, bool insideWindow)
{
    const TColumnIndex dragged = FColumns->DragIndex;
    const TColumnIndex target = FColumns->DropTarget;
    TLazyTreeColumn* column = FColumns->ColumnAt(dragged);
    if (column && target >= 0 && target != dragged && insideWindow) {
        const int oldPosition = column->Position();
        const int targetPosition = FColumns->ColumnAt(target)->Position();
        const bool draggedLeft = oldPosition < targetPosition;
        int position;
        if (FColumns->DropBefore)
            position = draggedLeft ? std::max(targetPosition - 1, 0) : targetPosition;
        else
            position = draggedLeft ? targetPosition : targetPosition + 1;
        column->SetPosition(position);
        FTree.FireHeaderDragged(dragged, oldPosition);
    } else if (column) {
        FTree.FireHeaderDraggedOut(dragged, FTree.ClientToScreen(p));
    }
    FColumns->DropTarget = NoColumn;
    RepaintHeader();
}

bool TLTHeader::HandleCapturedMove(TPoint p)
{
    if (FStates.Contains(hsTrackPending)) {
        FTree.KillHeaderTimer();
        FStates.Exclude(hsTrackPending).Include(hsTracking);
    }
    if (FStates.Contains(hsTracking)) {
        if (TLazyTreeColumn* column = FColumns->ColumnAt(FColumns->TrackIndex))
            column->SetWidth(p.X - FTrackLeft);
        return true;
    }
    if (FStates.Contains(hsDragPending)) {
        const int threshold = QApplication::startDragDistance();
        const TColumnIndex column = FColumns->ColumnAtPoint({FDragStart.X, FDragStart.Y + FHeight}, true);
        if (!FOptions.Contains(hoDrag) || column < 0)
            return false;
        if (std::abs(p.X - FDragStart.X) <= threshold && std::abs(p.Y - FDragStart.Y) <= threshold)
            return false;
        if (!FTree.FireHeaderDragging(column))
            return false;
        FTree.KillHeaderTimer();
        const TColumnIndex pressed = FColumns->PressedIndex;
        FColumns->PressedIndex = NoColumn;
        FColumns->HoverIndex = NoColumn;
        RepaintHeader(pressed);
        FColumns->DragIndex = column;
        FStates.Exclude(hsDragPending).Include(hsDragging);
        PrepareColumnDragImage(column, FDragStart);
        FDragImage->MoveDragImage(TPoint::FromQt(FWidget->mapToGlobal(QPoint(p.X, p.Y + FHeight))), false);
        return true;
    }
    if (FStates.Contains(hsDragging)) {
        FDragImage->MoveDragImage(TPoint::FromQt(FWidget->mapToGlobal(QPoint(p.X, p.Y + FHeight))), false);
        UpdateDropTarget(p);
        return true;
    }
    return false;
}

bool TLTHeader::HeaderMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_SIZE:
        if (FOptions.Contains(hoAutoResize) && !FStates.Contains(hsAutoSizing) &&
            !FTree.TreeStates().Contains(tsWindowCreating)) {
            FStates.Include(hsAutoSizing);
            FColumns->FitAutoSizeColumn();
            FStates.Exclude(hsAutoSizing);
            RepaintHeader();
        }
        return false;
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
        if (message.Msg == WM_KEYDOWN && message.WParam != VK_ESCAPE)
            return false;
        if (FStates.Contains(hsDragging) || FStates.Contains(hsDragPending)) {
            StopColumnDrag();
            return true;
        }
        if (FStates.Contains(hsTracking) || FStates.Contains(hsTrackPending)) {
            FStates.Exclude(hsTracking).Exclude(hsTrackPending);
            return true;
        }
        return false;
    case WM_NCMOUSEMOVE: {
        const TPoint p = PointOf(message.LParam);
        FTree.FireHeaderMouseMove(ShiftStateFromMouseFlags(message.WParam), p.X, p.Y + FHeight);
        if (PointInHeader(p)) {
            const TColumnIndex hover = FColumns->ColumnAtPoint({p.X, p.Y + FHeight}, true);
            if (hover != FColumns->HoverIndex || FColumns->PressedIndex != hover) {
                const TColumnIndex old = FColumns->HoverIndex;
                FColumns->HoverIndex = hover;
                FTree.StartHeaderTimer();
                RepaintHeader(old);
                RepaintHeader(hover);
            }
        }
        UpdateCursor(p);
        return true;
    }
    case WM_NCLBUTTONDOWN: {
        const TPoint p = PointOf(message.LParam);
        FTree.StopAutoScrollAndEditTimers();
        FDragStart = p;
        if (!PointInHeader(p))
            return false;
        FTree.FireHeaderMouseDown(TMouseButton::mbLeft, ShiftStateFromMouseFlags(message.WParam), p.X, p.Y + FHeight);
        if (FOptions.Contains(hoColumnResize) && SplitterIndexAt(p)) {
            FColumns->HoverIndex = NoColumn;
            FTrackStart = p;
            FStates.Include(hsTrackPending);
        } else {
            const TColumnIndex column = FColumns->ColumnAtPoint({p.X, p.Y + FHeight}, true);
            const TLazyTreeColumn* c = FColumns->ColumnAt(column);
            if (c && c->Options().Contains(coAllowClick) && c->Options().Contains(coEnabled)) {
                FColumns->PressedIndex = column;
                RepaintHeader(column);
            }
            if (c && FOptions.Contains(hoDrag) && c->Options().Contains(coDraggable))
                FStates.Include(hsDragPending);
        }
        return true;
    }
    case WM_MOUSEMOVE:
        if (FStates.Empty())
            return false;
        HandleCapturedMove(PointOf(message.LParam));
        message.Result = 0;
        return true;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: {
        const TPoint p = PointOf(message.LParam);
        const bool stateWasSet = !FStates.Empty();
        const bool columnPressed = FColumns->PressedIndex >= 0;
        if (message.Msg == WM_LBUTTONUP && !stateWasSet && !columnPressed)
            return false;
        if (FStates.Contains(hsDragging)) {
            FDragImage->FinishDragImage();
            const QRect window = FTree.rect();
            const bool inside = p.X >= 0 && p.X < window.width() && p.Y >= -FHeight && p.Y < FTree.ClientHeight();
            EndHeaderDrag(p, inside);
        }
        const TShiftState shift = ShiftStateFromMouseFlags(message.WParam);
        if (message.Msg == WM_NCLBUTTONUP) {
            HandleClick(p, TMouseButton::mbLeft, false, false);
            FTree.FireHeaderMouseUp(TMouseButton::mbLeft, shift, p.X, p.Y + FHeight);
        } else {
            if (columnPressed && !FStates.Contains(hsDragging) && !FStates.Contains(hsTracking) &&
                FColumns->DragIndex < 0)
                HandleClick(p, TMouseButton::mbLeft, false, false);
            if (stateWasSet)
                FTree.FireHeaderMouseUp(TMouseButton::mbLeft, shift, p.X, p.Y + FHeight);
        }
        FColumns->TrackIndex = NoColumn;
        FColumns->PressedIndex = NoColumn;
        FColumns->DragIndex = NoColumn;
        FStates.Exclude(hsDragging).Exclude(hsDragPending).Exclude(hsTracking).Exclude(hsTrackPending);
        RepaintHeader();
        return true;
    }
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK: {
        const TPoint p = PointOf(message.LParam);
        if (!PointInHeader(p))
            return false;
        const TMouseButton button = message.Msg == WM_NCRBUTTONDBLCLK   ? TMouseButton::mbRight
                                    : message.Msg == WM_NCMBUTTONDBLCLK ? TMouseButton::mbMiddle
                                                                        : TMouseButton::mbLeft;
        if (FOptions.Contains(hoDblClickResize) && SplitterIndexAt(p)) {
            TLazyTreeColumn* column = FColumns->ColumnAt(FColumns->TrackIndex);
            FColumns->AnimatedColumnResize(column->Index(),
                                           std::max(column->MinWidth(), FTree.WidestCellInColumn(column->Index())));
            FColumns->ClickIndex = NoColumn;
        } else {
            HandleClick(p, button, true, true);
        }
        if (FColumns->ClickIndex >= 0) {
            TShiftState shift = ShiftStateFromMouseFlags(message.WParam);
            shift.Include(ssDouble);
            FTree.FireHeaderDblClick(FColumns->ClickIndex, button, shift, p.X, p.Y + FHeight);
        }
        return true;
    }
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: {
        const TPoint p = PointOf(message.LParam);
        if (!PointInHeader(p))
            return false;
        FTree.FireHeaderMouseDown(message.Msg == WM_NCRBUTTONDOWN ? TMouseButton::mbRight : TMouseButton::mbMiddle,
                                  ShiftStateFromMouseFlags(message.WParam), p.X, p.Y + FHeight);
        return true;
    }
    case WM_NCRBUTTONUP: {
        const TPoint p = PointOf(message.LParam);
        if (!PointInHeader(p))
            return false;
        HandleClick(p, TMouseButton::mbRight, true, false);
        FTree.FireHeaderMouseUp(TMouseButton::mbRight, ShiftStateFromMouseFlags(message.WParam), p.X, p.Y + FHeight);
        FColumns->PressedIndex = NoColumn;
        FColumns->TrackIndex = NoColumn;
        if (FPopupMenu) {
            FTree.StopAutoScrollAndEditTimers();
            FTree.KillHeaderTimer();
            FColumns->HoverIndex = NoColumn;
            FPopupMenu->popup(FTree.ClientToScreen(p).ToQt());
        }
        return true;
    }
    case WM_NCMBUTTONUP: {
        const TPoint p = PointOf(message.LParam);
        if (!PointInHeader(p))
            return false;
        HandleClick(p, TMouseButton::mbMiddle, true, false);
        FTree.FireHeaderMouseUp(TMouseButton::mbMiddle, ShiftStateFromMouseFlags(message.WParam), p.X,
                                p.Y + FHeight);
        FColumns->PressedIndex = NoColumn;
        return true;
    }
    case WM_TIMER:
        if (message.WParam != HeaderTimer)
            return false;
        {
            const QPoint local = FWidget->mapFromGlobal(QCursor::pos());
            const bool left = !FWidget->rect().contains(local);
            if (left || FColumns->PressedIndex != FColumns->HoverIndex) {
                FTree.KillHeaderTimer();
                FColumns->HoverIndex = FColumns->ClickIndex = FColumns->PressedIndex = NoColumn;
                RepaintHeader();
            }
        }
        return true;
    default:
        return false;
    }
}

// ---- the header stream

void TLTHeader::WriteHeaderStream(TStream& stream) const
{
    WriteInt32(stream, -1);
    WriteInt32(stream, 3);
    FColumns->WriteColumnBlock(stream);
    WriteInt32(stream, FAutoSizeIndex);
    WriteInt32(stream, FBackground);
    WriteInt32(stream, FHeight);
    WriteInt32(stream, static_cast<std::int32_t>(FOptions.Bits() & 0xFFFF));
    WriteInt32(stream, static_cast<std::int32_t>(FStyle) & 0xFF);
    WriteInt32(stream, FFont.Color());
    WriteInt32(stream, FFont.Height());
    const std::string& name = FFont.Name();
    WriteInt32(stream, static_cast<std::int32_t>(name.size()));
    stream.WriteString(name);
    WriteInt32(stream, static_cast<std::int32_t>(FFont.Pitch()) & 0x7F);
    WriteInt32(stream, static_cast<std::int32_t>(FFont.Style().Bits() & 0xFF));
    WriteInt32(stream, FMainColumn);
    WriteInt32(stream, FSortColumn);
    WriteInt32(stream, static_cast<std::int32_t>(FSortDirection));
}

void TLTHeader::ReadHeaderStream(TStream& stream)
{
    FStates.Include(hsLoading);
    const TLTHeaderOptions savedOptions = FOptions;
    FOptions = {};
    try {
        const std::int64_t start = stream.Position();
        int version = -1;
        if (ReadInt32(stream) == -1)
            version = ReadInt32(stream);
        else
            stream.SetPosition(start);
        FColumns->ReadColumnBlock(stream, version);
        FOptions = savedOptions;
        SetAutoSizeIndex(ReadInt32(stream));
        SetBackground(ReadInt32(stream));
        SetHeight(ReadInt32(stream));
        const auto options = TLTHeaderOptions::FromBits(static_cast<std::uint32_t>(ReadInt32(stream)) & 0xFFFF);
        SetStyle(EnumOr(ReadInt32(stream) & 0xFF, TLTHeaderStyle::hsXPStyle, TLTHeaderStyle::hsThickButtons));
        TFont font;
        font.SetColor(ReadInt32(stream));
        font.SetHeight(ReadInt32(stream));
        const std::int32_t nameLength = ReadInt32(stream);
        RequireBytes(stream, nameLength);
        std::string name(static_cast<size_t>(nameLength), '\0');
        stream.ReadBuffer(name.data(), nameLength);
        font.SetName(name);
        font.SetPitch(EnumOr(ReadInt32(stream) & 0x7F, TFontPitch::fpFixed, TFontPitch::fpDefault));
        font.SetStyle(TFontStyles::FromBits(static_cast<std::uint32_t>(ReadInt32(stream)) & 0x0F));
        SetFont(font);
        SetOptions(options);
        if (version > 0) {
            SetMainColumn(ReadInt32(stream));
            SetSortColumn(ReadInt32(stream));
            SetSortDirection(EnumOr(ReadInt32(stream), TSortDirection::sdDescending, TSortDirection::sdAscending));
        }
    } catch (...) {
        if (FOptions.Empty())
            FOptions = savedOptions;
        FStates.Exclude(hsLoading);
        FTree.ColumnResized(NoColumn);
        throw;
    }
    FStates.Exclude(hsLoading);
    FTree.ColumnResized(NoColumn);
}
