// Drag and drop on the tree side: the source (the dragged selection, its picture, the drag loop
// and the deletion of moved nodes) and the target (the node under the mouse, the drop mode,
// scrolling near the borders, expanding after a delay, the proposed effect and the drop); the
// formats a tree offers and how it renders its own tree data.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTScrollBarOptions.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/paint/LTDragImage.h"
#include "TreeView/Source/transfer/LTDataObject.h"
#include "TreeView/Source/transfer/LTDragManager.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QPainter>

namespace {

constexpr int DropEffectCopy = 1;
constexpr int DropEffectMove = 2;
constexpr int DropEffectLink = 4;

} // namespace

// ---- formats and rendering

void TBaseLazyTree::CollectClipboardFormats(TFormatEtcArray& formats)
{
    // why: a tree whose list names no format offers every format of its class; an empty list
    // would make its clipboard and drags carry nothing.
    const TFormatEtcArray own =
        RegisteredTreeFormats().FormatsForClass(TreeClass(), FClipboardFormats.empty() ? nullptr : &FClipboardFormats);
    formats.insert(formats.end(), own.begin(), own.end());
    FireGetUserClipboardFormats(formats);
}

int TBaseLazyTree::RenderDataFormat(const TFormatEtc& format, QByteArray& medium, bool forClipboard)
{
    medium.clear();
    if (format.cfFormat == LTDataFormatId && (format.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM))) {
        const std::vector<PLazyNode> nodes = forClipboard ? CollectCutCopyNodes(true) : CollectSelectedNodes(true);
        if (nodes.empty())
            return E_FAIL;
        const std::string data = RenderTreeData(nodes);
        medium = QByteArray(data.data(), static_cast<qsizetype>(data.size()));
        return S_OK;
    }
    return FireRenderOLEData(format, medium, forClipboard);
}

int TBaseLazyTree::FireRenderOLEData(const TFormatEtc& format, QByteArray& medium, bool forClipboard)
{
    int result = E_FAIL;
    if (OnRenderOLEData)
        OnRenderOLEData(this, format, medium, forClipboard, result);
    return result;
}

void TBaseLazyTree::FireGetUserClipboardFormats(TFormatEtcArray& formats)
{
    if (OnGetUserClipboardFormats)
        OnGetUserClipboardFormats(this, formats);
}

void TBaseLazyTree::FireCreateDataObject(std::unique_ptr<QMimeData>& dataObject)
{
    if (OnCreateDataObject)
        OnCreateDataObject(this, dataObject);
}

void TBaseLazyTree::FireCreateDragManager(std::unique_ptr<TLTDragManager>& manager)
{
    if (OnCreateDragManager)
        OnCreateDragManager(this, manager);
}

bool TBaseLazyTree::FireDragOver(QObject* source, TShiftState shift, TDragState state, TPoint pt, TDropMode mode,
                                 int& effect)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, source, shift, state, pt, mode, effect, accept);
    return accept;
}

void TBaseLazyTree::FireDragDrop(QObject* source, const QMimeData* dataObject, const std::vector<std::uint16_t>& formats,
                                 TShiftState shift, TPoint pt, int& effect, TDropMode mode)
{
    if (OnDragDrop)
        OnDragDrop(this, source, dataObject, formats, shift, pt, effect, mode);
}

TLTDragManager& TBaseLazyTree::ObtainDragManager()
{
    if (!FDragManager) {
        FireCreateDragManager(FDragManager);
        if (!FDragManager)
            FDragManager = std::make_unique<TLTDragManager>(*this);
    }
    return *FDragManager;
}

void TBaseLazyTree::FlushClipboard()
{
    auto* data = dynamic_cast<TLTDataObject*>(const_cast<QMimeData*>(QGuiApplication::clipboard()->mimeData()));
    if (!data || data->Owner() != this)
        return;
    ShiftTreeStates(tsClipboardFlushing, {});
    data->Flush();
    ShiftTreeStates({}, tsClipboardFlushing);
}

// ---- the source side

void TBaseLazyTree::BuildDragImage(TPoint hotSpot, QDrag* drag)
{
    if (!DragImageWanted())
        return;
    const int w = FDragWidth;
    const int h = FDragHeight;
    // The part of the tree surface centred on the hot spot; parts above or left of it stay blank.
    TRect window = Bounds(hotSpot.X - FOffsetX - w / 2, hotSpot.Y - FOffsetY - h / 2, w, h);
    TPoint target{0, 0};
    if (window.Left < 0) {
        target.X = -window.Left;
        window.Left = 0;
    }
    if (window.Top < 0) {
        target.Y = -window.Top;
        window.Top = 0;
    }
    QImage picture(w, h, QImage::Format_ARGB32);
    picture.fill(ToQColor(Color()));
    {
        QPainter painter(&picture);
        TTreePaintFlags flags{tpSelection, tpSelectedOnly};
        if (FDragImageKind == TLTDragImageKind::diMainColumnOnly)
            flags.Include(tpMainColumnOnly);
        PaintTree(painter, window, target, flags);
    }
    FDragImage->KeyColor = Color();
    const TPoint imageAt = ClientToScreen({hotSpot.X - w / 2, hotSpot.Y - h / 2});
    FDragImage->LoadDragPicture(picture, imageAt, drag, ClientToScreen(hotSpot));
}

Qt::DropAction TBaseLazyTree::ExecuteDrag(QDrag& drag, Qt::DropActions allowed)
{
    const Qt::DropAction preferred = allowed.testFlag(Qt::MoveAction) ? Qt::MoveAction : Qt::CopyAction;
    return drag.exec(allowed, preferred);
}

void TBaseLazyTree::RunOleDrag(TPoint hotSpot)
{
    CancelNodeEdit();
    if (FHotNode) {
        PLazyNode hot = FHotNode;
        FHotNode = nullptr;
        RepaintNode(hot);
    }
    if (FFocusNode && !FFocusNode->Has(nsPicked)) {
        AddNodeToSelection(FFocusNode);
        RepaintNode(FFocusNode);
    }
    FDragSelection = CollectSelectedNodes(true);
    ShiftTreeStates(tsOLEDragging, TLazyTreeStates{tsClearPending, tsOLEDragPending});
    Qt::DropAction result = Qt::IgnoreAction;
    try {
        auto drag = std::make_unique<QDrag>(viewport());
        std::unique_ptr<QMimeData> data = ObtainDragManager().DataObjectToDrag();
        drag->setMimeData(data.release());
        BuildDragImage(hotSpot, drag.get());
        FLastDropMode = TDropMode::dmOnNode;
        int allowed = 0;
        if (FDragOperations.Contains(doCopy))
            allowed |= DropEffectCopy;
        if (FDragOperations.Contains(doMove))
            allowed |= DropEffectMove;
        if (FDragOperations.Contains(doLink))
            allowed |= DropEffectLink;
        if (allowed == 0)
            allowed = DropEffectCopy | DropEffectMove | DropEffectLink;
        result = ExecuteDrag(*drag, Qt::DropActions(allowed));
    } catch (...) {
        ObtainDragManager().AbandonDropTarget();
        OleDragDone();
        FDragImage->FinishDragImage();
        FDragSelection.clear();
        ShiftTreeStates({}, tsOLEDragging);
        throw;
    }
    ObtainDragManager().AbandonDropTarget();
    OleDragDone();
    FDragImage->FinishDragImage();
    if (result == Qt::MoveAction && HasOption(toAutoDeleteMovedNodes)) {
        StartBatchUpdate();
        try {
            for (PLazyNode node : FDragSelection)
                RemoveNode(node, true);
        } catch (...) {
            FinishBatchUpdate();
            FDragSelection.clear();
            ShiftTreeStates({}, tsOLEDragging);
            throw;
        }
        FinishBatchUpdate();
    }
    FDragSelection.clear();
    ShiftTreeStates({}, tsOLEDragging);
}

void TBaseLazyTree::OleDragDone()
{
    // The drag loop took the button's release: the mouse states end here.
    ShiftTreeStates({}, TLazyTreeStates{tsLeftButtonDown, tsRightButtonDown, tsMiddleButtonDown, tsUserDragObject,
                                        tsVCLDragging, tsVCLDragPending, tsClearPending, tsEditPending});
}

// ---- the target side

void TBaseLazyTree::dragEnterEvent(QDragEnterEvent* event)
{
    if (HasOption(toAcceptOLEDrop))
        ObtainDragManager().DragEnter(event);
    else
        event->ignore();
}

void TBaseLazyTree::dragMoveEvent(QDragMoveEvent* event)
{
    if (FDragManager && FDragManager->IsDropTargetNow())
        FDragManager->DragMove(event);
    else
        event->ignore();
}

void TBaseLazyTree::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (FDragManager && FDragManager->IsDropTargetNow())
        FDragManager->DragLeave(event);
}

void TBaseLazyTree::dropEvent(QDropEvent* event)
{
    if (FDragManager && FDragManager->IsDropTargetNow())
        FDragManager->Drop(event);
    else
        event->ignore();
}

int TBaseLazyTree::ProposeDropEffect(TBaseLazyTree* source, TShiftState shift, TPoint, int allowed)
{
    int effect;
    if (source == this && (allowed & DropEffectMove))
        effect = DropEffectMove;
    else if (allowed & DropEffectCopy)
        effect = DropEffectCopy;
    else
        effect = allowed;
    const bool ctrl = shift.Contains(ssCtrl);
    const bool withShift = shift.Contains(ssShift);
    int wanted = 0;
    if (ctrl && withShift)
        wanted = DropEffectLink;
    else if (ctrl)
        wanted = DropEffectCopy;
    else if (withShift)
        wanted = DropEffectMove;
    else if (shift.Contains(ssAlt))
        wanted = DropEffectLink;
    if (wanted && (allowed & wanted))
        effect = wanted;
    return effect;
}

int TBaseLazyTree::OleDragEntered(TShiftState shift, TPoint pt, int& effect)
{
    try {
        FScrollStartTime = 0;
        FDropTargetNow = true;
        TBaseLazyTree* source = FDragManager ? FDragManager->DragSourceTree() : nullptr;
        effect = ProposeDropEffect(source, shift, pt, effect);
        if (FireDragOver(source, shift, TDragState::dsDragEnter, pt, FLastDropMode, effect)) {
            TLTHitRecord hit;
            HitTestAt(pt.X, pt.Y, true, hit);
            TDropMode mode = TDropMode::dmNowhere;
            if (hit.HitNode) {
                if (hit.HitParts.Contains(htOnLabel)) {
                    mode = TDropMode::dmOnNode;
                } else {
                    const TRect r = NodeDisplayRect(hit.HitNode, FHeader ? FHeader->MainColumn() : NoColumn, false);
                    mode = pt.Y < (r.Top + r.Bottom) / 2 ? TDropMode::dmAbove : TDropMode::dmBelow;
                }
            }
            SetDropTarget(hit.HitNode, mode);
            // why: a drag that enters right over a collapsed node expands it after the delay too.
            if (hit.HitNode && HasOption(toAutoDropExpand) && hit.HitNode->Has(nsMayHaveChildren) &&
                !hit.HitNode->Has(nsOpen))
                SetTimer(ExpandTimer, FAutoExpandDelay);
        } else {
            effect = 0;
        }
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

int TBaseLazyTree::OleDragMoved(TBaseLazyTree* source, TShiftState shift, TDragState state, TPoint pt, int& effect)
{
    try {
        FLastMousePos = pt;
        // Scrolling near the borders.
        const TScrollDirections directions = AutoScrollDirectionsAt(pt.X, pt.Y);
        int dx = 0;
        int dy = 0;
        if (directions.Contains(sdUp))
            dy = std::min(FScrollBarOptions->VerticalIncrement(), ClientHeight());
        if (directions.Contains(sdDown))
            dy = -std::min(FScrollBarOptions->VerticalIncrement(), ClientHeight());
        if (directions.Contains(sdLeft))
            dx = FScrollBarOptions->HorizontalIncrement();
        if (directions.Contains(sdRight))
            dx = -FScrollBarOptions->HorizontalIncrement();
        const bool scrolled = (dx != 0 || dy != 0) && ApplyScrollOffset({FOffsetX + dx, FOffsetY + dy});
        TLTHitRecord hit;
        HitTestAt(pt.X, pt.Y, true, hit);
        PLazyNode node = hit.HitNode;
        const TColumnIndex mainColumn = FHeader ? FHeader->MainColumn() : NoColumn;
        const bool onContent = hit.HitParts.Contains(htOnLabel) || hit.HitParts.Contains(htOnNormalImage) ||
                               hit.HitParts.Contains(htOnStateImage);
        if (node && HasOption(toReportMode) && !(onContent && (hit.HitColumn == mainColumn || hit.HitColumn == NoColumn)))
            node = nullptr;
        TDropMode mode = TDropMode::dmNowhere;
        if (node) {
            if (onContent || !HasOption(toShowDropmark)) {
                mode = TDropMode::dmOnNode;
            } else {
                const TRect row = NodeDisplayRect(node, NoColumn, false);
                mode = pt.Y < (row.Top + row.Bottom) / 2 ? TDropMode::dmAbove : TDropMode::dmBelow;
            }
        }
        if (node != FDropTargetNode || mode != FLastDropMode) {
            if (node != FDropTargetNode) {
                KillTreeTimer(ExpandTimer);
                if (node && FFocusedColumn == NoColumn)
                    FFocusedColumn = mainColumn;
                if (node && HasOption(toAutoDropExpand) && node->Has(nsMayHaveChildren) && !node->Has(nsOpen))
                    SetTimer(ExpandTimer, FAutoExpandDelay);
            }
            SetDropTarget(node, mode);
            if (scrolled)
                InvalidateClient();
        }
        effect = ProposeDropEffect(source, shift, pt, effect);
        if (!FireDragOver(source, shift, state, pt, FLastDropMode, effect))
            effect = 0;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void TBaseLazyTree::OleDragLeft()
{
    KillTreeTimer(ExpandTimer);
    FDropTargetNow = false;
    SetDropTarget(nullptr, FLastDropMode);
    int effect = 0;
    FireDragOver(nullptr, {}, TDragState::dsDragLeave, {0, 0}, FLastDropMode, effect);
}

int TBaseLazyTree::OleDropped(const QMimeData* dataObject, TShiftState shift, TPoint pt, int& effect)
{
    KillTreeTimer(ExpandTimer);
    StopAutoScroll();
    TBaseLazyTree* source = FDragManager ? FDragManager->DragSourceTree() : nullptr;
    if (OleDragMoved(source, shift, TDragState::dsDragMove, pt, effect) != S_OK)
        return E_FAIL;
    int result = S_OK;
    if (effect != 0) {
        std::vector<std::uint16_t> formats;
        if (const auto* object = dynamic_cast<const TLTDataObject*>(dataObject)) {
            std::unique_ptr<TEnumFormatEtc> enumerator;
            if (object->EnumFormatEtc(DATADIR_GET, enumerator) == S_OK) {
                TFormatEtcArray all;
                enumerator->Next(object->FormatList().size(), all, nullptr);
                for (const TFormatEtc& f : all)
                    formats.push_back(f.cfFormat);
            }
        } else if (dataObject) {
            for (const QString& type : dataObject->formats())
                for (const auto& entry : RegisteredTreeFormats().Entries())
                    if (MimeTypeOfFormat(entry.FormatSpec.cfFormat) == type)
                        formats.push_back(entry.FormatSpec.cfFormat);
        }
        try {
            FireDragDrop(source, dataObject, formats, shift, pt, effect, FLastDropMode);
        } catch (...) {
            FDropTargetNow = false;
            SetDropTarget(nullptr, FLastDropMode);
            throw;
        }
    } else {
        result = E_FAIL;
    }
    FDropTargetNow = false;
    SetDropTarget(nullptr, FLastDropMode);
    return result;
}

void TBaseLazyTree::ExpandDropTarget()
{
    KillTreeTimer(ExpandTimer);
    if (FDropTargetNode && FDropTargetNode->Has(nsMayHaveChildren) && !FDropTargetNode->Has(nsOpen)) {
        FlipExpanded(FDropTargetNode);
        viewport()->update();
    }
}
