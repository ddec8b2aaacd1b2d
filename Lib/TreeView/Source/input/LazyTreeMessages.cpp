// Focus changes and the cancel-mode request of TBaseLazyTree: what a tree that loses the focus or
// is told to cancel stops (timers, drags, the rubber band, the type-ahead search, wheel panning).

#include "TreeView/Source/core/LazyTree.h"


void TBaseLazyTree::MsgSetFocus()
{
    if (FSelectionCount == 0 && HasOption(toGhostedIfUnfocused))
        return;
    InvalidateClient();
}

void TBaseLazyTree::MsgKillFocus()
{
    EndWheelPanning();
    for (std::uintptr_t timer : {ExpandTimer, EditTimer, HeaderTimerId, ScrollTimer, SearchTimer})
        KillTreeTimer(timer);
    FSearchBuffer.clear();
    FLastSearchHit = nullptr;
    ShiftTreeStates({}, TLazyTreeStates{tsEditPending, tsIncrementalSearching, tsLeftButtonDown, tsMiddleButtonDown,
                                        tsOLEDragPending, tsRightButtonDown, tsScrolling, tsScrollPending,
                                        tsVCLDragPending});
    if (FSelectionCount == 0 && HasOption(toGhostedIfUnfocused))
        RepaintNode(FFocusNode);
    else
        InvalidateClient();
}

void TBaseLazyTree::MsgCancelMode()
{
    for (std::uintptr_t timer : {ExpandTimer, EditTimer, HeaderTimerId, ScrollTimer, SearchTimer})
        KillTreeTimer(timer);
    FSearchBuffer.clear();
    FLastSearchHit = nullptr;
    ShiftTreeStates({}, TLazyTreeStates{tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending,
                                        tsIncrementalSearching, tsOLEDragPending, tsVCLDragPending});
}
