// The tree painter of TBaseLazyTree: PaintTree walks the rows of a part of the tree surface from
// the row at its upper edge down and draws each row's layers (background, cells with selection,
// lines, button, check and node images and content, drop mark, rubber band), then the area below
// the last row. The control paints itself through it, and so does the drag image.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/paint/LTBlend.h"

#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/ImgList.h"
#include "Platform/graphics/PainterState.h"

#include <QPainter>
#include <cmath>

namespace {

TAlignment Mirrored(TAlignment alignment)
{
    return alignment == taLeftJustify ? taRightJustify : alignment == taRightJustify ? taLeftJustify : alignment;
}

// Leaves tsPainting however the pass ends.
class TPaintingScope {
public:
    explicit TPaintingScope(TBaseLazyTree& tree) : FTree(tree) { FTree.ShiftTreeStates(tsPainting, {}); }
    ~TPaintingScope() { FTree.ShiftTreeStates({}, tsPainting); }

private:
    TBaseLazyTree& FTree;
};

} // namespace

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

void TBaseLazyTree::SetDropTarget(PLazyNode node, TDropMode mode)
{
    if (node == FDropTargetNode && mode == FLastDropMode)
        return;
    if (FDropTargetNode && FDropTargetNode != node)
        RepaintNode(FDropTargetNode);
    FDropTargetNode = node;
    FLastDropMode = mode;
    RepaintNode(node);
}

void TBaseLazyTree::RedrawNodeNow(PLazyNode node)
{
    if (!node || node == FRoot || !WindowExists())
        return;
    const TRect r = NodeDisplayRect(node, NoColumn, false);
    if (!r.IsEmpty())
        viewport()->repaint(r.ToQt());
}

void TBaseLazyTree::EnsurePaintResources()
{
    // The buttons and the line pattern follow the colours, the font colour, the styles and the
    // theme state; they are rebuilt when any of these changed since they were made.
    const std::array<std::int64_t, 8> key{Color(),
                                          FColors->TreeLineColor(),
                                          FFont.Color(),
                                          static_cast<std::int64_t>(FButtonStyle),
                                          static_cast<std::int64_t>(FButtonFillMode),
                                          static_cast<std::int64_t>(FLineStyle),
                                          FStates.Contains(tsUseThemes),
                                          static_cast<std::int64_t>(palette().cacheKey())};
    if (key == FPaintResourceKey && !FPlusButton.isNull())
        return;
    FPaintResourceKey = key;
    BuildButtonAndLineImages(true, true);
}

void TBaseLazyTree::Paint()
{
    QPainter* painter = Canvas().Handle();
    if (!painter)
        return;
    const QRect clip = painter->clipBoundingRect().toAlignedRect();
    PaintControl(*painter, clip.isEmpty() ? ClientRect() : TRect::FromQt(clip));
}

void TBaseLazyTree::PaintControl(QPainter& painter, const TRect& updateRect)
{
    if (updateRect.IsEmpty())
        return;
    const int fixedWidth = FHeader && FHeader->Columns().Count() > 0 ? FHeader->Columns().FixedColumnsWidth() : 0;
    if (fixedWidth > 0 && updateRect.Left < fixedWidth) {
        // The fixed strip does not scroll horizontally.
        TRect strip = updateRect;
        strip.Right = std::min(strip.Right, fixedWidth);
        TRect window = strip;
        OffsetRect(window, 0, -FOffsetY);
        PaintTree(painter, window, strip.TopLeft(), ControlPaintFlags);
        TRect rest = updateRect;
        rest.Left = fixedWidth;
        if (rest.IsEmpty())
            return;
        window = rest;
        OffsetRect(window, -FOffsetX, -FOffsetY);
        PaintTree(painter, window, rest.TopLeft(), ControlPaintFlags);
        return;
    }
    TRect window = updateRect;
    OffsetRect(window, -FOffsetX, -FOffsetY);
    PaintTree(painter, window, updateRect.TopLeft(), ControlPaintFlags);
}

void TBaseLazyTree::PaintTree(QPainter& target, const TRect& window, TPoint targetPoint, TTreePaintFlags flags)
{
    const TPaintingScope painting(*this);
    EnsurePaintResources();
    TCanvas canvas(&target);
    canvas.Font().Assign(FFont);
    FireBeforePaint(canvas);

    const bool drawBand = MouseSelecting();
    TRect band = NormalizeRect(FBandRect);
    const bool bandShown = drawBand && !band.IsEmpty();
    const int rowWidth = std::max(ClientWidth(), FRangeX);
    const bool useBackground = HasOption(toShowBackground) && flags.Contains(tpBackground) && !FBackground.isNull();
    const bool showImages = FImages != nullptr;
    const bool showStateImages = FStateImages != nullptr;
    const bool showCheckImages = FCheckImages != nullptr && HasOption(toCheckSupport);
    TLazyTreeColumns* columns = FHeader && FHeader->Columns().Count() > 0 ? &FHeader->Columns() : nullptr;
    const TColumnIndex mainColumn = columns ? FHeader->MainColumn() : NoColumn;
    const bool focused = hasFocus();
    if (HasOption(toAlwaysHideSelection) || (!focused && HasOption(toHideSelection)))
        flags.Exclude(tpSelection);
    if (HasOption(toHideFocusRect))
        flags.Exclude(tpFocusRect);
    const int indent = static_cast<int>(FIndent);

    int rowY = 0;
    PLazyNode node = NodeAtY(window.Top, false, &rowY);
    OffsetRect(band, 0, -rowY);
    const int maximumRight = targetPoint.X + window.Width();
    const int maximumBottom = targetPoint.Y + window.Height();
    TRect targetRect{targetPoint.X, targetPoint.Y + rowY - window.Top, maximumRight, targetPoint.Y + rowY - window.Top};
    TColumnIndex firstColumn = InvalidColumn;

    TLineImage lineImage;
    int selectLevel = 0;
    int indentSize = 0;
    int buttonX = 0;
    if (node) {
        selectLevel = BuildLineImage(node, lineImage);
        indentSize = static_cast<int>(lineImage.size());
        // Halves round to even, as the button's place always has.
        buttonX = indentSize * indent + static_cast<int>(std::nearbyint((indent - FPlusButton.width()) / 2.0)) - indent;
    }

    TTreeCellPaintRecord record;
    record.Canvas = &canvas;
    while (node) {
        if (!node->Has(nsReady))
            PrepareNode(node);
        if (node->Has(nsPicked))
            ++selectLevel;
        const int rowHeight = GetRowHeight(node);
        const int rowTop = rowY;
        rowY += rowHeight;
        targetRect.Bottom = targetRect.Top + rowHeight;

        if (selectLevel > 0 || !flags.Contains(tpSelectedOnly)) {
            const TPainterStateGuard rowState(target);
            target.translate(targetRect.Left - window.Left, targetRect.Top);
            target.setClipRect(QRect(window.Left, 0, window.Width(), rowHeight), Qt::IntersectClip);
            // Patterns line up across rows: they follow the content position.
            target.setBrushOrigin(0, -rowTop);
            FPaintRowTop = rowTop;
            const TRect r{0, 0, rowWidth, rowHeight};
            record.Node = node;
            record.PaintFlags = flags;
            RowAlignOffsets(showImages, showStateImages, node, record.ImageAnchor, record.ButtonAnchor);
            if (!FireBeforeItemPaint(canvas, node, r)) {
                record.Column = NoColumn;
                EraseRowBackground(record, useBackground, false, {window.Left, 0, window.Right, rowHeight});
                TRect cell = r;
                TColumnIndex column = NoColumn;
                if (columns) {
                    column = InvalidColumn;
                    for (TColumnIndex index : columns->PositionToIndex()) {
                        const TLazyTreeColumn* c = columns->ColumnAt(index);
                        if (c && c->Options().Contains(coVisible) && c->AbsoluteLeft() + c->Width() > window.Left) {
                            column = index;
                            break;
                        }
                    }
                    if (const TLazyTreeColumn* c = columns->ColumnAt(column))
                        c->AbsoluteEdges(cell.Left, cell.Right);
                }
                while (column != InvalidColumn || !columns) {
                    if (cell.Left >= window.Right)
                        break;
                    TBiDiMode bidi = TBiDiMode::bdLeftToRight;
                    TAlignment alignment = FAlignment;
                    TLTColumnOptions columnOptions = DefaultColumnOptions;
                    if (columns) {
                        const TLazyTreeColumn* c = columns->ColumnAt(column);
                        if (firstColumn == InvalidColumn)
                            firstColumn = column;
                        bidi = c->BiDiMode();
                        alignment = c->Alignment();
                        columnOptions = c->Options();
                    } else if (layoutDirection() == Qt::RightToLeft) {
                        bidi = TBiDiMode::bdRightToLeft;
                    }
                    TTreePaintFlags cellFlags = flags;
                    if (FStates.Contains(tsEditing) && node == FFocusNode &&
                        (column == FEditColumn || !columns))
                        cellFlags.Exclude(tpSelection);
                    if (!columns ||
                        (node->Has(nsPicked) && HasOption(toFullRowSelect) && cellFlags.Contains(tpSelection)) ||
                        columnOptions.Contains(coParentColor))
                        cellFlags.Exclude(tpColumnColors);
                    const bool isMain = column == mainColumn;
                    if (bidi != TBiDiMode::bdLeftToRight)
                        alignment = Mirrored(alignment);
                    TColumnIndex next = InvalidColumn;
                    const bool painted =
                        columnOptions.Contains(coVisible) && (!flags.Contains(tpMainColumnOnly) || isMain);
                    record.Column = column;
                    record.Position = columns ? columns->ColumnAt(column)->Position() : 0;
                    record.CellRect = cell;
                    record.BidiMode = bidi;
                    record.Alignment = alignment;
                    record.PaintFlags = cellFlags;
                    if (!painted) {
                        next = columns ? columns->NextShownColumn(column) : InvalidColumn;
                    } else {
                        FitPaintCell(record, next);
                        cell = record.CellRect;
                    }
                    if (painted && cell.Right > window.Left) {
                        const bool rtl = bidi != TBiDiMode::bdLeftToRight;
                        record.NodeWidth = NodeContentWidth(node, column, &canvas);
                        record.ContentRect = cell;
                        if (rtl)
                            record.ContentRect.Right -= FMargin;
                        else
                            record.ContentRect.Left += FMargin;
                        for (TLTImageSlot& slot : record.ImageSlots)
                            slot = {};
                        if (isMain && showCheckImages) {
                            TLTImageSlot& check = record.ImageSlots[iiCheck];
                            check.Index = CheckImageIndexFor(node);
                            if (check.Index >= 0) {
                                check.Images = FCheckImages;
                                PlaceImage(FCheckImages, rtl, record.ImageAnchor, record.ContentRect, check);
                            }
                        }
                        if (showStateImages) {
                            ResolveImageIndex(record, TLTImageKind::ikState, iiState, FStateImages);
                            TLTImageSlot& slot = record.ImageSlots[iiState];
                            if (slot.Index >= 0)
                                PlaceImage(slot.Images, rtl, record.ImageAnchor, record.ContentRect, slot);
                        }
                        if (showImages) {
                            ResolveImageIndex(record, node->Has(nsPicked) ? TLTImageKind::ikSelected : TLTImageKind::ikNormal,
                                              iiNormal, FImages);
                            TLTImageSlot& slot = record.ImageSlots[iiNormal];
                            if (slot.Index >= 0)
                                PlaceImage(slot.Images, rtl, record.ImageAnchor, record.ContentRect, slot);
                        }
                        if (isMain)
                            ShiftForIndent(record, indentSize);
                        const TPainterStateGuard cellState(target);
                        if (columns)
                            target.setClipRect(cell.ToQt(), Qt::IntersectClip);
                        if (cellFlags.Contains(tpGridLines) && HasOption(toShowHorzGridLines)) {
                            canvas.Font().SetColor(FColors->GridLineColor());
                            int left = cell.Left;
                            int right = cell.Right;
                            if (isMain && FLineMode == TLTLineMode::lmBands) {
                                if (rtl)
                                    right = cell.Right - indent * indentSize - 1;
                                else
                                    left = cell.Left + indent * indentSize, right = cell.Right - 1;
                            }
                            DotLineAcross(record, left, right, cell.Bottom - 1);
                            --record.CellRect.Bottom;
                            --record.ContentRect.Bottom;
                        }
                        const bool lastPosition = columns && columns->NextShownColumn(column) < 0;
                        if (columns && cellFlags.Contains(tpGridLines) && HasOption(toShowVertGridLines) &&
                            !(FHeader->Options().Contains(hoAutoResize) && lastPosition)) {
                            if (rtl && FireGetCellIsEmpty(node, column)) {
                                --record.CellRect.Right;
                                --record.ContentRect.Right;
                            } else {
                                canvas.Font().SetColor(FColors->GridLineColor());
                                DotLineDown(record, record.CellRect.Top, record.CellRect.Bottom, record.CellRect.Right - 1);
                                --record.CellRect.Right;
                                --record.ContentRect.Right;
                            }
                        }
                        canvas.Font().Assign(FFont);
                        PaintCellSelection(record, window.Left, window.Width());
                        if (isMain) {
                            if (HasOption(toShowTreeLines))
                                DrawConnectorLines(record, record.ImageAnchor, indentSize, lineImage);
                            if (HasOption(toShowButtons) && node->Has(nsMayHaveChildren) &&
                                !(HasOption(toAutoHideButtons) && node->Has(nsKidsAllHidden)))
                                DrawExpandButton(target, node, record.CellRect, buttonX, record.ButtonAnchor, rtl);
                            if (record.ImageSlots[iiCheck].Index >= 0)
                                DrawCheckImage(record);
                        }
                        if (record.ImageSlots[iiState].Index >= 0)
                            DrawNodeImage(record, iiState, false);
                        if (record.ImageSlots[iiNormal].Index >= 0)
                            DrawNodeImage(record, iiNormal, true);
                        const bool edited = FStates.Contains(tsEditing) && node == FFocusNode &&
                                            (column == FEditColumn || !columns);
                        if (!edited) {
                            canvas.Font().Assign(FFont);
                            DrawNodeContent(record);
                        }
                        FireAfterCellPaint(canvas, node, column, record.CellRect);
                    }
                    if (!columns)
                        break;
                    if (cell.Left >= window.Right || next == InvalidColumn)
                        break;
                    column = next;
                    if (const TLazyTreeColumn* c = columns->ColumnAt(column); c && c->Options().Contains(coVisible)) {
                        c->AbsoluteEdges(cell.Left, cell.Right);
                        cell.Top = 0;
                        cell.Bottom = rowHeight;
                    }
                }
                FireAfterItemPaint(canvas, node, r);
                if (node == FDropTargetNode && HasOption(toShowDropmark) && flags.Contains(tpDropMark))
                    DrawDropMark(target, node, r);
            }
            if (bandShown)
                DrawRubberBand(target, 0, band, {window.Left, 0, window.Right, rowHeight});
        }

        targetRect.Top += rowHeight;
        if (targetRect.Top >= maximumBottom)
            break;
        OffsetRect(band, 0, -rowHeight);

        PLazyNode next = NextVisibleAfter(node);
        if (!next)
            break;
        if (next->ParentLink == node) {
            if (indentSize > 0)
                lineImage[static_cast<size_t>(indentSize - 1)] = ShownSiblingFollows(node) ? ltTopDown : ltNone;
            ++indentSize;
            if (static_cast<int>(lineImage.size()) < indentSize)
                lineImage.resize(lineImage.size() + 8, ltNone);
            buttonX += indent;
        } else {
            if (node->Has(nsPicked))
                --selectLevel;
            PLazyNode run = node;
            while (run->ParentLink != next->ParentLink && run->ParentLink != FRoot) {
                run = run->ParentLink;
                --indentSize;
                buttonX -= indent;
                if (run->Has(nsPicked))
                    --selectLevel;
            }
        }
        if (indentSize > 0 && HasOption(toShowTreeLines))
            lineImage[static_cast<size_t>(indentSize - 1)] = ShownSiblingFollows(next) ? ltTopDownRight : ltTopRight;
        node = next;
    }

    if (targetRect.Top < maximumBottom) {
        const int baseOffset = targetPoint.X;
        const TPoint areaTarget{targetRect.Left, targetRect.Top};
        const TRect area{0, 0, maximumRight - targetPoint.X, maximumBottom - areaTarget.Y};
        const TPainterStateGuard areaState(target);
        target.translate(areaTarget.X, areaTarget.Y);
        target.setClipRect(area.ToQt(), Qt::IntersectClip);
        if (!FirePaintBackground(canvas, area)) {
            const int areaTop = rowY;
            if (useBackground) {
                const TPoint origin{window.Left, areaTop};
                if (HasOption(toStaticBackground))
                    PaintFixedBackground(target, origin, area);
                else
                    PaintTiledBackground(target, origin, area);
            } else if (columns) {
                // Column strips in tree x coordinates, shifted into the area.
                const TPainterStateGuard strips(target);
                target.translate(-window.Left, 0);
                const TRect treeArea{window.Left, 0, window.Left + area.Width(), area.Height()};
                const bool gridLines = flags.Contains(tpGridLines) && HasOption(toFullVertGridLines) &&
                                       HasOption(toShowVertGridLines);
                TColumnIndex column = firstColumn;
                if (column == InvalidColumn)
                    for (TColumnIndex index : columns->PositionToIndex()) {
                        const TLazyTreeColumn* c = columns->ColumnAt(index);
                        if (c && c->Options().Contains(coVisible) && c->AbsoluteLeft() + c->Width() > treeArea.Left) {
                            column = index;
                            break;
                        }
                    }
                int right = treeArea.Left;
                TTreeCellPaintRecord stripRecord;
                stripRecord.Canvas = &canvas;
                while (column >= 0) {
                    const TLazyTreeColumn* c = columns->ColumnAt(column);
                    TRect strip{c->AbsoluteLeft(), 0, c->AbsoluteLeft() + c->Width(), treeArea.Bottom};
                    if (strip.Left >= treeArea.Right)
                        break;
                    const bool last = columns->NextShownColumn(column) < 0;
                    if (gridLines && !(last && FHeader->Options().Contains(hoAutoResize))) {
                        canvas.Font().SetColor(FColors->GridLineColor());
                        DotLineDown(stripRecord, 0, strip.Bottom, strip.Right - 1);
                        --strip.Right;
                    }
                    const TColor color = c->Options().Contains(coParentColor) ? Color() : c->Color();
                    target.fillRect(strip.ToQt(), ToQColor(color));
                    right = c->AbsoluteLeft() + c->Width();
                    column = columns->NextShownColumn(column);
                }
                if (gridLines && !FHeader->Options().Contains(hoAutoResize))
                    ++right;
                if (right < treeArea.Right)
                    target.fillRect(QRect(right, 0, treeArea.Right - right, treeArea.Height()), ToQColor(Color()));
            } else {
                target.fillRect(area.ToQt(), ToQColor(Color()));
            }
        }
        if (bandShown) {
            TRect areaBand = NormalizeRect(FBandRect);
            OffsetRect(areaBand, baseOffset - targetPoint.X - window.Left, -(rowY));
            DrawRubberBand(target, 0, areaBand, area);
        }
    }
    FireAfterPaint(canvas);
}
