#include "TreeView/Source/transfer/LTDragManager.h"

#include "TreeView/Source/core/LazyTree.h"
#include "TreeView/Source/transfer/LTDataObject.h"

#include <QDragEnterEvent>

namespace {

Qt::DropAction ActionOf(int effect)
{
    if (effect & Qt::MoveAction)
        return Qt::MoveAction;
    if (effect & Qt::CopyAction)
        return Qt::CopyAction;
    if (effect & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

// Tells Qt the effect the tree settled on.
void Answer(QDropEvent* event, int effect, bool ok)
{
    const Qt::DropAction action = ActionOf(effect);
    if (ok && action != Qt::IgnoreAction) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}

} // namespace

TShiftState ShiftOfDrag(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    return ShiftStateFromQt(modifiers, buttons);
}

TLTDragManager::TLTDragManager(TBaseLazyTree& tree) : FTree(tree) {}
TLTDragManager::~TLTDragManager() = default;

void TLTDragManager::DragEnter(QDragEnterEvent* event)
{
    FDragData = event->mimeData();
    FIsDropTarget = true;
    FSourceTree = FTree.SourceTreeOfDataObject(FDragData);
    int effect = static_cast<int>(event->possibleActions());
    const bool ok = FTree.OleDragEntered(ShiftOfDrag(event->modifiers(), event->buttons()),
                                         TPoint::FromQt(event->position().toPoint()), effect) == S_OK;
    // why: a drag must be accepted on entering to be told about its moves.
    event->acceptProposedAction();
    Answer(event, effect, ok);
    if (!ok || effect == 0)
        event->accept();
}

void TLTDragManager::DragMove(QDragMoveEvent* event)
{
    int effect = static_cast<int>(event->possibleActions());
    const bool ok = FTree.OleDragMoved(FSourceTree, ShiftOfDrag(event->modifiers(), event->buttons()),
                                       TDragState::dsDragMove, TPoint::FromQt(event->position().toPoint()),
                                       effect) == S_OK;
    Answer(event, effect, ok);
}

void TLTDragManager::DragLeave(QDragLeaveEvent* event)
{
    FTree.OleDragLeft();
    FIsDropTarget = false;
    FSourceTree = nullptr;
    FDragData = nullptr;
    event->accept();
}

void TLTDragManager::AbandonDropTarget()
{
    if (!FIsDropTarget)
        return;
    FTree.OleDragLeft();
    FIsDropTarget = false;
    FSourceTree = nullptr;
    FDragData = nullptr;
}

void TLTDragManager::Drop(QDropEvent* event)
{
    int effect = static_cast<int>(event->possibleActions());
    const bool ok = FTree.OleDropped(event->mimeData(), ShiftOfDrag(event->modifiers(), event->buttons()),
                                     TPoint::FromQt(event->position().toPoint()), effect) == S_OK;
    Answer(event, effect, ok);
    FIsDropTarget = false;
    FSourceTree = nullptr;
    FDragData = nullptr;
}

std::unique_ptr<QMimeData> TLTDragManager::DataObjectToDrag()
{
    std::unique_ptr<QMimeData> data;
    FTree.FireCreateDataObject(data);
    if (!data)
        data = std::make_unique<TLTDataObject>(&FTree, false);
    return data;
}
