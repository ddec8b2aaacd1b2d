#pragma once
// The tree's drag manager: the drop target of the tree (Qt's drag events arrive here and go on
// to the tree's target side) and the source of the data objects its drags carry.

#include "Platform/controls/Keys.h"

#include <QPointer>

class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class TBaseLazyTree;

class TLTDragManager {
public:
    explicit TLTDragManager(TBaseLazyTree& tree);
    virtual ~TLTDragManager();

    void DragEnter(QDragEnterEvent* event);
    void DragMove(QDragMoveEvent* event);
    void DragLeave(QDragLeaveEvent* event);
    void Drop(QDropEvent* event);
    // Ends a drag over the tree as if the mouse had left it.
    void AbandonDropTarget();

    // The data object for a drag of the tree: OnCreateDataObject's, else a new tree data object.
    std::unique_ptr<QMimeData> DataObjectToDrag();
    TBaseLazyTree* DragSourceTree() const { return FSourceTree; }
    bool IsDropTargetNow() const { return FIsDropTarget; }
    const QMimeData* DragData() const { return FDragData; }

private:
    TBaseLazyTree& FTree;
    QPointer<TBaseLazyTree> FSourceTree;
    const QMimeData* FDragData = nullptr;
    bool FIsDropTarget = false;
};

// The shift state of a drag event: its keys and buttons.
TShiftState ShiftOfDrag(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
