// Positions and geometry of TBaseLazyTree: the node at a vertical position, hit tests, the
// display rectangle of a node, scrolling a node into view and the widest cell of a column.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/core/LTScrollBarOptions.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

namespace {
bool RightToLeft(TBiDiMode mode)
{
    return mode != TBiDiMode::bdLeftToRight;
}

TAlignment Mirrored(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taLeftJustify:
        return TAlignment::taRightJustify;
    case TAlignment::taRightJustify:
        return TAlignment::taLeftJustify;
    default:
        return alignment;
    }
}
} // namespace

// ---- images and checks of a node

TCustomImageList* TBaseLazyTree::NodeImage(PLazyNode node, TLTImageKind kind, TColumnIndex column, int& index)
{
    TCustomImageList* fallback = kind == TLTImageKind::ikState ? FStateImages : FImages;
    bool ghosted = false;
    index = -1;
    TCustomImageList* list = FireGetImageIndex(node, kind, column, ghosted, index);
    if (!list)
        list = fallback;
    return index >= 0 ? list : nullptr;
}

bool TBaseLazyTree::NodeHasImage(PLazyNode node, TLTImageKind kind, TColumnIndex column)
{
    int index = -1;
    return NodeImage(node, kind, column, index) != nullptr;
}

int TBaseLazyTree::CheckImageWidth() const
{
    return FCheckImages ? FCheckImages->Width() : 0;
}

bool TBaseLazyTree::HasCheckControl(PLazyNode node) const
{
    return HasOption(toCheckSupport) && FCheckImages && node->CheckKind != chkNone;
}

int TBaseLazyTree::NodeContentWidth(PLazyNode, TColumnIndex, TCanvas*)
{
    return 0;
}

QString TBaseLazyTree::NodeHintText(PLazyNode, TColumnIndex, TLTTooltipLineBreakStyle&)
{
    return QString::fromStdString(Hint());
}

QString TBaseLazyTree::NodeTooltipText(PLazyNode, TColumnIndex, TLTTooltipLineBreakStyle&)
{
    return QString::fromStdString(Hint());
}

void TBaseLazyTree::CellTextInfo(PLazyNode, TColumnIndex, TFont& font, TRect& r, QString& text)
{
    font.Assign(FFont);
    r = {};
    text.clear();
}

// ---- vertical positions

PLazyNode TBaseLazyTree::NodeAtY(int y, bool relative, int* rowY)
{
    std::int64_t target = std::max(y, 0);
    if (relative)
        target -= FOffsetY;
    PLazyNode node;
    std::int64_t position = 0;
    if (FStates.Contains(tsUseCache) && !FPositionCache.empty() && target >= 0) {
        std::uint32_t top = 0;
        node = CacheEntryForY(static_cast<std::uint32_t>(target), top);
        position = top;
    } else {
        node = FirstVisibleNodeRaw();
    }
    while (node && node != FRoot) {
        if (node->Has(nsShown) && target < position + node->SubtreeHeight) {
            const int rowHeight = GetRowHeight(node);
            if (target < position + rowHeight || !node->ChildHead || !node->Has(nsOpen)) {
                if (rowY)
                    *rowY = static_cast<int>(relative ? position + FOffsetY : position);
                return node;
            }
            position += rowHeight;
            node = node->ChildHead;
            continue;
        }
        if (node->Has(nsShown))
            position += node->SubtreeHeight;
        while (node != FRoot && !node->NextLink)
            node = node->ParentLink;
        if (node == FRoot)
            return nullptr;
        node = node->NextLink;
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::NodeAtPoint(int, int y, int* rowY)
{
    return NodeAtY(y, true, rowY);
}

// The upper edge of a visible node's row in content coordinates.
int TBaseLazyTree::AbsoluteTopOf(PLazyNode node)
{
    std::int64_t top = 0;
    if (FStates.Contains(tsUseCache) && !FPositionCache.empty()) {
        std::uint32_t entryTop = 0;
        PLazyNode run = CacheEntryForNode(node, entryTop);
        top = entryTop;
        while (run && run != node) {
            top += GetRowHeight(run);
            run = NextVisibleAfterRaw(run);
        }
        return static_cast<int>(top);
    }
    // Without a cache: the rows above are the ancestors' rows and the previous shown siblings'
    // whole subtrees at every level.
    for (PLazyNode run = node; run != FRoot; run = run->ParentLink) {
        for (PLazyNode sibling = run->PrevLink; sibling; sibling = sibling->PrevLink)
            if (sibling->Has(nsShown))
                top += sibling->SubtreeHeight;
        if (run->ParentLink != FRoot)
            top += GetRowHeight(run->ParentLink);
    }
    return static_cast<int>(top);
}

PLazyNode TBaseLazyTree::NodeAtTop()
{
    return NodeAtY(0, true);
}

void TBaseLazyTree::SetNodeAtTop(PLazyNode node)
{
    if (!node || node == FRoot || !ReachableRow(node))
        return;
    SetOffsetY(-AbsoluteTopOf(node));
}

// ---- hit tests

void TBaseLazyTree::HitTestAt(int x, int y, bool relative, TLTHitRecord& hit)
{
    hit = {};
    const TLazyTreeColumns* columns = FHeader ? &FHeader->Columns() : nullptr;
    const bool useColumns = columns && columns->Count() > 0;
    if (x < 0)
        hit.HitParts.Include(htLeftOfTree);
    else if (x > std::max(ClientWidth(), FRangeX))
        hit.HitParts.Include(htRightOfTree);
    if (y < 0)
        hit.HitParts.Include(htAbove);
    else if (y > std::max(ClientHeight(), FRangeY))
        hit.HitParts.Include(htBelow);
    if (relative) {
        if (!useColumns || x > columns->FixedColumnsWidth())
            x -= FOffsetX;
        y -= FOffsetY;
    }
    if (!hit.HitParts.Empty())
        return;
    hit.HitNode = NodeAtY(y, false);
    if (!hit.HitNode) {
        hit.HitParts.Include(htNowhere);
        return;
    }
    if (!hit.HitNode->Has(nsReady))
        PrepareNode(hit.HitNode);
    int cellWidth;
    TAlignment alignment = FAlignment;
    TBiDiMode bidi = TBiDiMode::bdLeftToRight;
    if (useColumns) {
        int left = 0;
        int right = 0;
        hit.HitColumn = columns->ColumnAndBoundsAt(x, left, right, false);
        if (hit.HitColumn >= 0 && HasOption(toAutoSpanColumns)) {
            for (TColumnIndex previous = columns->PreviousShownColumn(hit.HitColumn);
                 previous >= 0 && FireGetCellIsEmpty(hit.HitNode, hit.HitColumn);
                 previous = columns->PreviousShownColumn(hit.HitColumn)) {
                hit.HitColumn = previous;
                left -= columns->ColumnAt(previous)->Width();
            }
            for (TColumnIndex next = columns->NextShownColumn(hit.HitColumn);
                 next >= 0 && FireGetCellIsEmpty(hit.HitNode, next); next = columns->NextShownColumn(next))
                right += columns->ColumnAt(next)->Width();
        }
        if (hit.HitColumn == InvalidColumn) {
            hit.HitParts.Include(htNowhere);
            return;
        }
        cellWidth = right - left;
        x -= left;
        alignment = columns->ColumnAt(hit.HitColumn)->Alignment();
        bidi = columns->ColumnAt(hit.HitColumn)->BiDiMode();
    } else {
        hit.HitColumn = NoColumn;
        cellWidth = std::max(ClientWidth(), FRangeX);
    }
    hit.HitParts.Include(htOnRow);
    if (RightToLeft(bidi))
        HitTestPartsRightToLeft(hit, x, cellWidth, alignment);
    else
        HitTestPartsLeftToRight(hit, x, cellWidth, alignment);
}

void TBaseLazyTree::HitTestPartsLeftToRight(TLTHitRecord& hit, int x, int cellRight, TAlignment alignment)
{
    PLazyNode node = hit.HitNode;
    const bool mainColumn = hit.HitColumn == NoColumn || hit.HitColumn == Header().MainColumn();
    int offset = 0;
    if (mainColumn)
        offset = (DepthOfNode(node) + (HasOption(toShowRoot) ? 1 : 0)) * static_cast<int>(FIndent);
    if (x < offset) {
        if (HasOption(toShowButtons) && node->Has(nsMayHaveChildren) && x >= offset - static_cast<int>(FIndent))
            hit.HitParts.Include(htOnButton);
        else
            hit.HitParts.Include(htOnIndent);
        return;
    }
    if (!mainColumn && HasOption(toReportMode))
        return;
    offset += FMargin;
    if (mainColumn && HasCheckControl(node))
        offset += CheckImageWidth() + 2;
    if (x < offset) {
        hit.HitParts.Include(htOnRow);
        if (mainColumn && HasCheckControl(node))
            hit.HitParts.Include(htOnCheckBox);
        return;
    }
    int index = -1;
    if (FStateImages && NodeImage(node, TLTImageKind::ikState, hit.HitColumn, index)) {
        offset += FStateImages->Width() + 2;
        if (x < offset) {
            hit.HitParts.Include(htOnStateImage);
            return;
        }
    }
    if (FImages && NodeImage(node, TLTImageKind::ikNormal, hit.HitColumn, index)) {
        offset += FImages->Width() + 2;
        if (x < offset) {
            hit.HitParts.Include(htOnNormalImage);
            return;
        }
    }
    const int width = NodeContentWidth(node, hit.HitColumn, &Canvas());
    if (cellRight - offset < width) {
        hit.HitParts.Include(htOnLabel);
        return;
    }
    switch (alignment) {
    case TAlignment::taRightJustify:
        hit.HitParts.Include(x < cellRight - width ? htRowLeft : htOnLabel);
        break;
    case TAlignment::taCenter: {
        const int start = offset + (cellRight - offset - width) / 2;
        hit.HitParts.Include(x < start ? htRowLeft : x < start + width ? htOnLabel : htRowRight);
        break;
    }
    default:
        hit.HitParts.Include(x < offset + width ? htOnLabel : htRowRight);
        break;
    }
}

void TBaseLazyTree::HitTestPartsRightToLeft(TLTHitRecord& hit, int x, int cellRight, TAlignment alignment)
{
    // The same parts, measured from the cell's right edge.
    TLTHitRecord mirrored = hit;
    HitTestPartsLeftToRight(mirrored, cellRight - 1 - x, cellRight, Mirrored(alignment));
    TLTHitParts parts = mirrored.HitParts;
    if (parts.Contains(htRowLeft) != parts.Contains(htRowRight)) {
        const bool left = parts.Contains(htRowLeft);
        parts.Exclude(htRowLeft).Exclude(htRowRight);
        parts.Include(left ? htRowRight : htRowLeft);
    }
    hit.HitParts = parts;
}

// ---- rectangles

TRect TBaseLazyTree::NodeDisplayRect(PLazyNode node, TColumnIndex column, bool textOnly, bool unclipped)
{
    LTAssert(node != nullptr, "Node must not be nil.");
    LTAssert(node != FRoot, "Node must not be the hidden root node.");
    const bool useColumns = FHeader && FHeader->Columns().Count() > 0;
    const bool indent = column == NoColumn || (useColumns && column == FHeader->MainColumn());
    // why: the row itself does not depend on the node's content; only its text area does, so
    // repainting a row (also right after a reset) leaves the node as it is.
    if (textOnly && !node->Has(nsReady))
        PrepareNode(node);
    int indentation = 0;
    for (PLazyNode run = node; run != FRoot; run = run->ParentLink) {
        if (!run->Has(nsShown) || (run->ParentLink != FRoot && !run->ParentLink->Has(nsOpen)))
            return {};
        if (indent && run != node)
            indentation += static_cast<int>(FIndent);
    }
    const int y = AbsoluteTopOf(node);
    TRect r{0, y, std::max(ClientWidth(), FRangeX), y + GetRowHeight(node)};
    TBiDiMode bidi = TBiDiMode::bdLeftToRight;
    TAlignment alignment = FAlignment;
    if (column == NoColumn || !useColumns) {
        OffsetRect(r, FOffsetX, FOffsetY);
    } else {
        int left = 0;
        int right = 0;
        FHeader->Columns().ColumnEdges(column, left, right);
        r.Left = left;
        r.Right = right - 1;
        OffsetRect(r, 0, FOffsetY);
        bidi = FHeader->Columns().ColumnAt(column)->BiDiMode();
        alignment = FHeader->Columns().ColumnAt(column)->Alignment();
    }
    if (!textOnly)
        return r;
    int offset = indentation + FMargin;
    if (indent && HasOption(toShowRoot))
        offset += static_cast<int>(FIndent);
    if (indent && HasCheckControl(node))
        offset += CheckImageWidth() + 2;
    int index = -1;
    if (FStateImages && NodeImage(node, TLTImageKind::ikState, column, index))
        offset += FStateImages->Width() + 2;
    if (FImages && NodeImage(node, TLTImageKind::ikNormal, column, index))
        offset += FImages->Width() + 2;
    const int width = NodeContentWidth(node, column, &Canvas());
    if (RightToLeft(bidi)) {
        r.Right -= offset;
        alignment = Mirrored(alignment);
    } else {
        r.Left += offset;
    }
    const bool tooNarrow = r.Width() < width;
    if (unclipped && tooNarrow)
        alignment = RightToLeft(bidi) ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    if (unclipped || !tooNarrow) {
        switch (alignment) {
        case TAlignment::taRightJustify:
            r.Left = r.Right - width;
            break;
        case TAlignment::taCenter:
            r.Left = (r.Left + r.Right - width) / 2;
            r.Right = r.Left + width;
            break;
        default:
            r.Right = r.Left + width;
            break;
        }
    }
    return r;
}

TRect TBaseLazyTree::ShellExtentRect() const
{
    return {0, 0, std::max(ClientWidth(), FRangeX), std::max(ClientHeight(), FRangeY)};
}

bool TBaseLazyTree::MakeNodeVisible(PLazyNode node, bool center, bool horizontally)
{
    if (!node || node == FRoot)
        return false;
    for (PLazyNode run = node->ParentLink; run != FRoot; run = run->ParentLink)
        if (!run->Has(nsOpen))
            FlipExpanded(run);
    const bool useColumns = FHeader && FHeader->Columns().Count() > 0;
    TRect r = NodeDisplayRect(node, useColumns ? FFocusedColumn : NoColumn, !HasOption(toGridExtensions));
    if (r.IsEmpty() && r.Bottom == 0 && r.Top == 0)
        return false;
    bool scrolled = false;
    const int clientHeight = ClientHeight();
    const int clientWidth = ClientWidth();
    if (r.Top < 0) {
        SetOffsetY(FOffsetY - r.Top + (center ? clientHeight / 2 : 0));
        scrolled = true;
    } else if (r.Bottom > clientHeight || center) {
        const TScrollStyle bars = FScrollBarOptions->ScrollBars();
        const bool horizontalShown =
            (bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth) &&
            (FScrollBarOptions->AlwaysVisible() || FRangeX > clientWidth);
        SetOffsetY(FOffsetY - r.Bottom + (center ? clientHeight / 2 : clientHeight));
        if (!useColumns && !horizontalShown && FRangeX > clientWidth)
            SetOffsetY(FOffsetY - QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        scrolled = true;
    }
    if (horizontally) {
        const int fixedWidth = useColumns ? FHeader->Columns().FixedColumnsWidth() : 0;
        if (fixedWidth == 0) {
            if (r.Left < 0 || r.Right > clientWidth) {
                SetOffsetX(FOffsetX + clientWidth / 2 - (r.Left + r.Right) / 2);
                scrolled = true;
            }
        } else if (std::abs(r.Left - fixedWidth) > 1) {
            SetOffsetX(FOffsetX + fixedWidth - r.Left);
            scrolled = true;
        }
    }
    return scrolled;
}

int TBaseLazyTree::WidestCellInColumn(TColumnIndex column)
{
    const int imageWidth = FImages ? FImages->Width() + 2 : 0;
    const int stateWidth = FStateImages ? FStateImages->Width() + 2 : 0;
    const int checkWidth = FCheckImages ? FCheckImages->Width() + 2 : 0;
    PLazyNode node = FirstVisibleNode();
    const bool mainColumn = column == NoColumn || (FHeader && column == FHeader->MainColumn());
    int offset = 0;
    if (node && mainColumn)
        offset = (DepthOfNode(node) + (HasOption(toShowRoot) ? 1 : 0)) * static_cast<int>(FIndent);
    offset += FMargin;
    int widest = 0;
    while (node) {
        int width = offset;
        if (mainColumn && HasOption(toCheckSupport) && FCheckImages && node->CheckKind != chkNone)
            width += checkWidth;
        int index = -1;
        if (NodeImage(node, TLTImageKind::ikNormal, column, index))
            width += imageWidth;
        if (NodeImage(node, TLTImageKind::ikState, column, index))
            width += stateWidth;
        width += NodeContentWidth(node, column, &Canvas());
        widest = std::max(widest, width);
        PLazyNode next = NextVisibleAfter(node);
        if (next && mainColumn)
            offset += LevelDistance(node, next) * static_cast<int>(FIndent);
        node = next;
    }
    return HasOption(toShowVertGridLines) ? widest + 1 : widest;
}
