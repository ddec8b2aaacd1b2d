// The scroll offsets of TBaseLazyTree, its scroll bars, the header area above the client area
// and the reaction to size changes.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTScrollBarOptions.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QCursor>
#include <QScrollBar>
#include <algorithm>

namespace {
bool Allows(TScrollStyle style, bool vertical)
{
    return style == TScrollStyle::ssBoth || style == (vertical ? TScrollStyle::ssVertical : TScrollStyle::ssHorizontal);
}
} // namespace

void TBaseLazyTree::SetOffsetX(int value)
{
    ApplyScrollOffset({value, FOffsetY});
}

void TBaseLazyTree::SetOffsetY(int value)
{
    ApplyScrollOffset({FOffsetX, value});
}

bool TBaseLazyTree::ApplyScrollOffset(TPoint offset, TScrollUpdateOptions options, const TRect* clipRect)
{
    const int x = std::clamp(offset.X, std::min(0, ClientWidth() - FRangeX), 0);
    const int y = std::clamp(offset.Y, std::min(0, ClientHeight() - FRangeY), 0);
    const int dx = x - FOffsetX;
    const int dy = y - FOffsetY;
    if (dx == 0 && dy == 0)
        return false;
    FOffsetX = x;
    FOffsetY = y;
    CancelHint();
    if (FUpdateDepth == 0 && WindowExists()) {
        if (options.Contains(suoScrollClientArea)) {
            const QRect area = clipRect ? clipRect->ToQt() : viewport()->rect();
            const int fixedWidth =
                FHeader && FHeader->Columns().Count() > 0 ? FHeader->Columns().FixedColumnsWidth() : 0;
            if (HasOption(toShowBackground) && !FBackground.isNull()) {
                InvalidateClient();
            } else if (dx == 0 || fixedWidth == 0) {
                viewport()->scroll(dx, dy, area);
            } else {
                // The fixed columns stay; only the part right of them moves sideways.
                const QRect movable = area.intersected(QRect(fixedWidth, 0, viewport()->width() - fixedWidth,
                                                             viewport()->height()));
                viewport()->scroll(dx, 0, movable);
                if (dy != 0)
                    viewport()->scroll(0, dy, area);
            }
        }
        if (options.Contains(suoUpdateNCArea)) {
            if (dx != 0 && FHeader && options.Contains(suoRepaintHeader))
                FHeader->RepaintHeader();
            FSyncingScrollBars = true;
            if (dx != 0 && !FStates.Contains(tsSizing))
                horizontalScrollBar()->setValue(-FOffsetX);
            if (dy != 0 && !FStates.Contains(tsSizing) && !FStates.Contains(tsThumbTracking))
                verticalScrollBar()->setValue(-FOffsetY);
            FSyncingScrollBars = false;
        }
    }
    PositionEditor();
    const QPoint cursor = viewport()->mapFromGlobal(QCursor::pos());
    if (viewport()->rect().contains(cursor) && viewport()->underMouse())
        TrackHotNode(cursor.x(), cursor.y());
    FireScroll(dx, dy);
    return true;
}

void TBaseLazyTree::scrollContentsBy(int, int)
{
    if (!FSyncingScrollBars)
        ApplyScrollOffset({-horizontalScrollBar()->value(), -verticalScrollBar()->value()});
}

void TBaseLazyTree::ApplyScrollBarPolicies()
{
    const TScrollStyle bars = FScrollBarOptions->ScrollBars();
    const Qt::ScrollBarPolicy shown =
        FScrollBarOptions->AlwaysVisible() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(Allows(bars, false) ? shown : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Allows(bars, true) ? shown : Qt::ScrollBarAlwaysOff);
}

void TBaseLazyTree::RefreshScrollBars(bool doRepaint)
{
    if (!WindowExists())
        return;
    RefreshVerticalScrollBar(doRepaint);
    RefreshHorizontalScrollBar(doRepaint);
}

void TBaseLazyTree::RefreshVerticalScrollBar(bool doRepaint)
{
    if (FRoot->SubtreeHeight < FDefaultNodeHeight)
        FRoot->SubtreeHeight = FDefaultNodeHeight;
    FRangeY = static_cast<int>(FRoot->SubtreeHeight - FRoot->RowHeight);
    QScrollBar* bar = verticalScrollBar();
    FSyncingScrollBars = true;
    if (!Allows(FScrollBarOptions->ScrollBars(), true)) {
        FSyncingScrollBars = false;
        FireShowScrollbar(SB_VERT, false);
        SetOffsetY(FOffsetY);
        return;
    }
    const int page = ClientHeight();
    const bool needed = page < FRangeY;
    bar->setRange(0, std::max(0, FRangeY - page));
    bar->setPageStep(std::max(0, page + 1));
    bar->setSingleStep(FScrollBarOptions->VerticalIncrement());
    bar->setEnabled(needed);
    FSyncingScrollBars = false;
    FireShowScrollbar(SB_VERT, needed || FScrollBarOptions->AlwaysVisible());
    SetOffsetY(FOffsetY);
    FSyncingScrollBars = true;
    bar->setValue(-FOffsetY);
    FSyncingScrollBars = false;
    if (doRepaint)
        bar->update();
}

void TBaseLazyTree::RefreshHorizontalScrollBar(bool doRepaint)
{
    FRangeX = (FHeader && FHeader->Columns().Count() > 0) ? FHeader->Columns().TotalColumnWidth()
                                                          : WidestVisibleRowRight();
    QScrollBar* bar = horizontalScrollBar();
    if (!Allows(FScrollBarOptions->ScrollBars(), false)) {
        FireShowScrollbar(SB_HORZ, false);
        SetOffsetX(FOffsetX);
        return;
    }
    const int page = ClientWidth();
    const bool needed = page < FRangeX;
    FSyncingScrollBars = true;
    bar->setRange(0, std::max(0, FRangeX - page));
    bar->setPageStep(std::max(0, page + 1));
    bar->setSingleStep(FScrollBarOptions->HorizontalIncrement());
    bar->setEnabled(needed);
    FSyncingScrollBars = false;
    FireShowScrollbar(SB_HORZ, needed || FScrollBarOptions->AlwaysVisible());
    SetOffsetX(FOffsetX);
    FSyncingScrollBars = true;
    bar->setValue(-FOffsetX);
    FSyncingScrollBars = false;
    if (doRepaint)
        bar->update();
}

int TBaseLazyTree::WidestVisibleRowRight()
{
    // The rows in the client area decide the width, as only they are known without a full walk.
    int widest = 0;
    int rowY = 0;
    PLazyNode node = NodeAtY(0, true, &rowY);
    int y = rowY;
    const int imageWidth = FImages ? FImages->Width() + 2 : 0;
    const int stateWidth = FStateImages ? FStateImages->Width() + 2 : 0;
    while (node && y < ClientHeight()) {
        int right = (DepthOfNode(node) + (HasOption(toShowRoot) ? 1 : 0)) * static_cast<int>(FIndent) + FMargin;
        if (HasCheckControl(node))
            right += CheckImageWidth() + 2;
        int index = -1;
        if (NodeImage(node, TLTImageKind::ikState, NoColumn, index))
            right += stateWidth;
        if (NodeImage(node, TLTImageKind::ikNormal, NoColumn, index))
            right += imageWidth;
        right += NodeContentWidth(node, NoColumn, &Canvas()) + FTextMargin;
        widest = std::max(widest, right);
        y += node->RowHeight;
        node = NextVisibleAfterRaw(node);
    }
    return widest;
}

void TBaseLazyTree::ComputeHeaderArea()
{
    if (!FHeader)
        return;
    TLTHeaderWidget* widget = FHeader->Widget();
    const bool shown = FHeader->Options().Contains(hoVisible);
    const int height = shown ? FHeader->Height() : 0;
    // why: the header lies above the client area as the window frame's top part, so the vertical
    // scroll bar starts below it; a spacer of the header's height takes its place in the bar.
    if (!FHeaderSpacer) {
        FHeaderSpacer = new QWidget;
        addScrollBarWidget(FHeaderSpacer, Qt::AlignTop);
    }
    FHeaderSpacer->setFixedHeight(height);
    FHeaderSpacer->setVisible(shown);
    setViewportMargins(0, height, 0, 0);
    if (shown) {
        const QRect area = viewport()->geometry();
        const int right = contentsRect().right() + 1;
        widget->setGeometry(area.left(), area.top() - height, right - area.left(), height);
        widget->show();
        widget->raise();
        FHeader->Columns().ApplySpringColumns(area.width());
    } else {
        widget->hide();
    }
}

void TBaseLazyTree::Resize()
{
    TQtScrollControl<QAbstractScrollArea>::Resize();
    ShiftTreeStates(tsSizing, {});
    ComputeHeaderArea();
    RefreshScrollBars(false);
    if (!FHeader || FHeader->Columns().Count() == 0)
        PositionEditor();
    ShiftTreeStates({}, tsSizing);
}
