// Drag and drop on the tree side.

#include "TreeView/Source/core/LazyTree.h"

void TBaseLazyTree::RunOleDrag(TPoint)
{
    ShiftTreeStates({}, TLazyTreeStates{tsClearPending, tsOLEDragPending});
}
