// The Fire operations of TBaseLazyTree: each calls its event with the presets of the event,
// so that a subclass can answer in place of the application by overriding it.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/header/LTHeader.h"

void TBaseLazyTree::FireInitNode(PLazyNode parentNode, PLazyNode node, TShellNodeInitStates& initialStates)
{
    if (OnInitNode)
        OnInitNode(this, parentNode, node, initialStates);
}

void TBaseLazyTree::FireInitChildren(PLazyNode node, std::uint32_t& childCount)
{
    if (OnInitChildren)
        OnInitChildren(this, node, childCount);
}

void TBaseLazyTree::FireResetNode(PLazyNode node)
{
    if (OnResetNode)
        OnResetNode(this, node);
}

void TBaseLazyTree::FireMeasureItem(TCanvas* canvas, PLazyNode node, int& nodeHeight)
{
    if (OnMeasureItem)
        OnMeasureItem(this, canvas, node, nodeHeight);
}

int TBaseLazyTree::FireCompareNodes(PLazyNode node1, PLazyNode node2, TColumnIndex column)
{
    int result = 0;
    if (OnCompareNodes)
        OnCompareNodes(this, node1, node2, column, result);
    return result;
}

bool TBaseLazyTree::FireNodeMoving(PLazyNode node, PLazyNode target)
{
    bool allowed = true;
    if (OnNodeMoving)
        OnNodeMoving(this, node, target, allowed);
    return allowed;
}

void TBaseLazyTree::FireNodeMoved(PLazyNode node)
{
    if (OnNodeMoved)
        OnNodeMoved(this, node);
}

bool TBaseLazyTree::FireNodeCopying(PLazyNode node, PLazyNode target)
{
    bool allowed = true;
    if (OnNodeCopying)
        OnNodeCopying(this, node, target, allowed);
    return allowed;
}

void TBaseLazyTree::FireNodeCopied(PLazyNode node)
{
    if (OnNodeCopied)
        OnNodeCopied(this, node);
}

void TBaseLazyTree::FireSaveNode(PLazyNode node, TStream& stream)
{
    if (OnSaveNode)
        OnSaveNode(this, node == FRoot ? nullptr : node, stream);
}

void TBaseLazyTree::FireLoadNode(PLazyNode node, TStream& stream)
{
    if (OnLoadNode)
        OnLoadNode(this, node == FRoot ? nullptr : node, stream);
}

bool TBaseLazyTree::FireExpanding(PLazyNode node)
{
    bool allowed = true;
    if (OnExpanding)
        OnExpanding(this, node, allowed);
    return allowed;
}

void TBaseLazyTree::FireExpanded(PLazyNode node)
{
    if (OnExpanded)
        OnExpanded(this, node);
}

bool TBaseLazyTree::FireCollapsing(PLazyNode node)
{
    bool allowed = true;
    if (OnCollapsing)
        OnCollapsing(this, node, allowed);
    return allowed;
}

void TBaseLazyTree::FireCollapsed(PLazyNode node)
{
    if (OnCollapsed)
        OnCollapsed(this, node);
}

bool TBaseLazyTree::FireChecking(PLazyNode node, TCheckState& newState)
{
    if (HasOption(toReadOnly))
        return false;
    bool allowed = true;
    if (OnChecking)
        OnChecking(this, node, newState, allowed);
    return allowed;
}

void TBaseLazyTree::FireChecked(PLazyNode node)
{
    if (OnChecked)
        OnChecked(this, node);
}

bool TBaseLazyTree::FireFocusChanging(PLazyNode oldNode, PLazyNode newNode, TColumnIndex oldColumn,
                                      TColumnIndex newColumn)
{
    bool allowed = true;
    if (OnFocusChanging)
        OnFocusChanging(this, oldNode, newNode, oldColumn, newColumn, allowed);
    return allowed;
}

void TBaseLazyTree::FireFocusChanged(PLazyNode node, TColumnIndex column)
{
    if (OnFocusChanged)
        OnFocusChanged(this, node, column);
}

void TBaseLazyTree::FireHotChange(PLazyNode oldNode, PLazyNode newNode)
{
    if (OnHotChange)
        OnHotChange(this, oldNode, newNode);
}

void TBaseLazyTree::FireEditing(PLazyNode node, TColumnIndex column, bool& allowed)
{
    if (OnEditing)
        OnEditing(this, node, column, allowed);
}

void TBaseLazyTree::FireCreateEditor(PLazyNode node, TColumnIndex column, PLTEditLink& editLink)
{
    if (!OnCreateEditor)
        return;
    OnCreateEditor(this, node, column, editLink);
    if (!editLink)
        RaiseTreeError(hcTFEditLinkIsNil);
}

int TBaseLazyTree::FireIncrementalSearch(PLazyNode node, const QString& searchText)
{
    int result = 0;
    if (OnIncrementalSearch)
        OnIncrementalSearch(this, node, searchText, result);
    return result;
}

bool TBaseLazyTree::FireKeyAction(WORD& charCode, TShiftState& shift)
{
    bool doDefault = true;
    if (OnKeyAction)
        OnKeyAction(this, charCode, shift, doDefault);
    return doDefault;
}

QMenu* TBaseLazyTree::FireGetPopupMenu(PLazyNode node, TColumnIndex column, TPoint p)
{
    if (!OnGetPopupMenu)
        return nullptr;
    QMenu* menu = nullptr;
    bool askParent = true;
    if (!node || node == FRoot) {
        OnGetPopupMenu(this, nullptr, NoColumn, p, askParent, menu);
        return menu;
    }
    for (PLazyNode run = node; run && run != FRoot; run = run->ParentLink) {
        OnGetPopupMenu(this, run, column, p, askParent, menu);
        if (menu || !askParent)
            break;
    }
    return menu;
}

int TBaseLazyTree::FireGetHelpContext(PLazyNode node, TColumnIndex column)
{
    int context = 0;
    if (OnGetHelpContext)
        OnGetHelpContext(this, node, column, context);
    return context;
}

void TBaseLazyTree::FireBeforePaint(TCanvas& canvas)
{
    if (OnBeforePaint)
        OnBeforePaint(this, canvas);
}

void TBaseLazyTree::FireAfterPaint(TCanvas& canvas)
{
    if (OnAfterPaint)
        OnAfterPaint(this, canvas);
}

bool TBaseLazyTree::FirePaintBackground(TCanvas& canvas, const TRect& r)
{
    bool handled = false;
    if (OnPaintBackground)
        OnPaintBackground(this, canvas, r, handled);
    return handled;
}

void TBaseLazyTree::FireBeforeItemErase(TCanvas& canvas, PLazyNode node, const TRect& itemRect, TColor& color,
                                        TItemEraseAction& eraseAction)
{
    if (OnBeforeItemErase)
        OnBeforeItemErase(this, canvas, node, itemRect, color, eraseAction);
}

void TBaseLazyTree::FireAfterItemErase(TCanvas& canvas, PLazyNode node, const TRect& itemRect)
{
    if (OnAfterItemErase)
        OnAfterItemErase(this, canvas, node, itemRect);
}

bool TBaseLazyTree::FireBeforeItemPaint(TCanvas& canvas, PLazyNode node, const TRect& itemRect)
{
    bool customDraw = false;
    if (OnBeforeItemPaint)
        OnBeforeItemPaint(this, canvas, node, itemRect, customDraw);
    return customDraw;
}

void TBaseLazyTree::FireAfterItemPaint(TCanvas& canvas, PLazyNode node, const TRect& itemRect)
{
    if (OnAfterItemPaint)
        OnAfterItemPaint(this, canvas, node, itemRect);
}

void TBaseLazyTree::FireBeforeCellPaint(TCanvas& canvas, PLazyNode node, TColumnIndex column, const TRect& cellRect)
{
    if (OnBeforeCellPaint)
        OnBeforeCellPaint(this, canvas, node, column, cellRect);
}

void TBaseLazyTree::FireAfterCellPaint(TCanvas& canvas, PLazyNode node, TColumnIndex column, const TRect& cellRect)
{
    if (OnAfterCellPaint)
        OnAfterCellPaint(this, canvas, node, column, cellRect);
}

TCustomImageList* TBaseLazyTree::FireGetImageIndex(PLazyNode node, TLTImageKind kind, TColumnIndex column,
                                                   bool& ghosted, int& index)
{
    TCustomImageList* list = nullptr;
    if (OnGetImageIndexEx)
        OnGetImageIndexEx(this, node, kind, column, ghosted, index, list);
    else if (OnGetImageIndex)
        OnGetImageIndex(this, node, kind, column, ghosted, index);
    return list;
}

void TBaseLazyTree::FireGetLineStyle(const void*& bits)
{
    if (OnGetLineStyle)
        OnGetLineStyle(this, bits);
}

bool TBaseLazyTree::FireGetCellIsEmpty(PLazyNode node, TColumnIndex column)
{
    bool isEmpty = true;
    if (OnGetCellIsEmpty)
        OnGetCellIsEmpty(this, node, column, isEmpty);
    return isEmpty;
}

void TBaseLazyTree::FireGetCursor(TCursor& cursor)
{
    if (OnGetCursor)
        OnGetCursor(this, cursor);
}

void TBaseLazyTree::FireShowScrollbar(int bar, bool show)
{
    if (OnShowScrollbar)
        OnShowScrollbar(this, bar, show);
}

void TBaseLazyTree::FireScroll(int deltaX, int deltaY)
{
    if (OnScroll)
        OnScroll(this, deltaX, deltaY);
}

void TBaseLazyTree::FireColumnClick(TColumnIndex column, TShiftState shift)
{
    if (OnColumnClick)
        OnColumnClick(this, column, shift);
}

void TBaseLazyTree::FireColumnDblClick(TColumnIndex column, TShiftState shift)
{
    if (OnColumnDblClick)
        OnColumnDblClick(this, column, shift);
}

void TBaseLazyTree::FireHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnHeaderClick)
        OnHeaderClick(&Header(), column, button, shift, x, y);
}

void TBaseLazyTree::FireHeaderDblClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnHeaderDblClick)
        OnHeaderDblClick(&Header(), column, button, shift, x, y);
}

void TBaseLazyTree::FireHeaderDragged(TColumnIndex column, int oldPosition)
{
    if (OnHeaderDragged)
        OnHeaderDragged(&Header(), column, oldPosition);
}

void TBaseLazyTree::FireHeaderDraggedOut(TColumnIndex column, TPoint dropPosition)
{
    if (OnHeaderDraggedOut)
        OnHeaderDraggedOut(&Header(), column, dropPosition);
}

bool TBaseLazyTree::FireHeaderDragging(TColumnIndex column)
{
    bool allowed = true;
    if (OnHeaderDragging)
        OnHeaderDragging(&Header(), column, allowed);
    return allowed;
}

void TBaseLazyTree::FireHeaderDraw(TCanvas& canvas, TColumnIndex column, const TRect& r, bool hover, bool pressed,
                                   int dropMark)
{
    if (OnHeaderDraw)
        OnHeaderDraw(&Header(), canvas, column, r, hover, pressed, dropMark);
}

void TBaseLazyTree::FireHeaderMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnHeaderMouseDown)
        OnHeaderMouseDown(&Header(), button, shift, x, y);
}

void TBaseLazyTree::FireHeaderMouseMove(TShiftState shift, int x, int y)
{
    if (OnHeaderMouseMove)
        OnHeaderMouseMove(&Header(), shift, x, y);
}

void TBaseLazyTree::FireHeaderMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnHeaderMouseUp)
        OnHeaderMouseUp(&Header(), button, shift, x, y);
}

void TBaseLazyTree::FireGetHeaderCursor(TCursor& cursor)
{
    if (OnGetHeaderCursor)
        OnGetHeaderCursor(&Header(), cursor);
}

void TBaseLazyTree::FireHeaderDrawQueryElements(THeaderPaintInfo& paintInfo, THeaderPaintElements& elements)
{
    if (OnHeaderDrawQueryElements)
        OnHeaderDrawQueryElements(&Header(), paintInfo, elements);
}

void TBaseLazyTree::FireAdvancedHeaderDraw(THeaderPaintInfo& paintInfo, THeaderPaintElements elements)
{
    if (OnAdvancedHeaderDraw)
        OnAdvancedHeaderDraw(&Header(), paintInfo, elements);
}
