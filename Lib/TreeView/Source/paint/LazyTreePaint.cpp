// Painting of TBaseLazyTree: the rows of the client area with their backgrounds, selection and
// the cells' content (DrawNodeContent, which subclasses fill in), and the repaint operations.
// Tree lines, buttons, images and check images are drawn by the painting primitives that come
// with the tree's full painter; this pass gives every row its background and content.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/Canvas.h"

#include <QPainter>

void TBaseLazyTree::InvalidateClient(const TRect* r)
{
    if (!WindowExists() || FUpdateDepth > 0)
        return;
    if (r)
        viewport()->update(r->ToQt());
    else
        viewport()->update();
}

void TBaseLazyTree::RepaintNode(PLazyNode node)
{
    if (!node || node == FRoot || !WindowExists() || FUpdateDepth > 0)
        return;
    const TRect r = NodeDisplayRect(node, NoColumn, false);
    if (!r.IsEmpty())
        InvalidateClient(&r);
}

void TBaseLazyTree::RepaintColumn(TColumnIndex column)
{
    if (!FHeader || !FHeader->Columns().ColumnIndexValid(column))
        return;
    int left = 0;
    int right = 0;
    FHeader->Columns().ColumnEdges(column, left, right);
    const TRect r{left, 0, right, ClientHeight()};
    InvalidateClient(&r);
}

void TBaseLazyTree::RepaintToBottom(PLazyNode node)
{
    if (!WindowExists() || FUpdateDepth > 0)
        return;
    if (!node || node == FRoot) {
        InvalidateClient();
        return;
    }
    if (!node->HasAll(nsReady | nsShown) || !ReachableRow(node))
        return;
    const int top = AbsoluteTopOf(node) + FOffsetY;
    if (top < ClientHeight()) {
        const TRect r{0, std::max(top, 0), ClientWidth(), ClientHeight()};
        InvalidateClient(&r);
    }
}

void TBaseLazyTree::RedrawNodeNow(PLazyNode node)
{
    if (!node || node == FRoot || !WindowExists())
        return;
    const TRect r = NodeDisplayRect(node, NoColumn, false);
    if (!r.IsEmpty())
        viewport()->repaint(r.ToQt());
}

void TBaseLazyTree::Paint()
{
    QPainter* painter = Canvas().Handle();
    if (!painter)
        return;
    const QRect clip = painter->clipBoundingRect().toAlignedRect();
    PaintTree(*painter, clip.isEmpty() ? ClientRect() : TRect::FromQt(clip));
}

void TBaseLazyTree::DrawNodeContent(QPainter&, PLazyNode, TColumnIndex, const TRect&) {}

void TBaseLazyTree::PaintTree(QPainter& painter, const TRect& window)
{
    ShiftTreeStates(tsPainting, {});
    TCanvas canvas(&painter);
    FireBeforePaint(canvas);
    const bool focused = hasFocus() || HasOption(toPopupMode);
    const TColor treeColor = Color();
    const int width = std::max(ClientWidth(), FRangeX + FOffsetX);
    std::vector<TColumnIndex> columns;
    if (FHeader && FHeader->Columns().Count() > 0) {
        for (const TLazyTreeColumn* column : FHeader->Columns().VisibleColumnList())
            columns.push_back(column->Index());
    } else {
        columns.push_back(NoColumn);
    }
    int rowY = 0;
    PLazyNode node = NodeAtY(window.Top, true, &rowY);
    int y = node ? rowY : 0;
    while (node && y < window.Bottom) {
        if (!node->Has(nsReady))
            PrepareNode(node);
        const int height = GetRowHeight(node);
        const TRect itemRect{0, y, width, y + height};
        TColor color = treeColor;
        TItemEraseAction action = TItemEraseAction::eaDefault;
        FireBeforeItemErase(canvas, node, itemRect, color, action);
        if (action != TItemEraseAction::eaNone)
            painter.fillRect(itemRect.ToQt(), ToQColor(color));
        const bool showSelected = node->Has(nsPicked) && !HasOption(toAlwaysHideSelection) &&
                                  (focused || !HasOption(toHideSelection));
        if (showSelected)
            painter.fillRect(itemRect.ToQt(), ToQColor(focused ? FColors->FocusedSelectionColor()
                                                                : FColors->UnfocusedSelectionColor()));
        FireAfterItemErase(canvas, node, itemRect);
        if (!FireBeforeItemPaint(canvas, node, itemRect)) {
            for (TColumnIndex column : columns) {
                TRect cell = itemRect;
                if (column != NoColumn) {
                    FHeader->Columns().ColumnEdges(column, cell.Left, cell.Right);
                } else {
                    OffsetRect(cell, FOffsetX, 0);
                }
                FireBeforeCellPaint(canvas, node, column, cell);
                DrawNodeContent(painter, node, column, cell);
                FireAfterCellPaint(canvas, node, column, cell);
            }
        }
        FireAfterItemPaint(canvas, node, itemRect);
        y += height;
        node = NextVisibleAfter(node);
    }
    if (y < window.Bottom) {
        const TRect rest{window.Left, std::max(y, window.Top), window.Right, window.Bottom};
        if (!FirePaintBackground(canvas, rest))
            painter.fillRect(rest.ToQt(), ToQColor(treeColor));
    }
    FireAfterPaint(canvas);
    ShiftTreeStates({}, tsPainting);
}
