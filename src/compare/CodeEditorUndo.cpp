#include "compare/CodeEditorUndo.h"

void TUndo::Add(TUndoItem item)
{
    if (Running)
        return;
    FItems.resize(static_cast<size_t>(FPosition));
    if (Count() >= Limit)
        FItems.erase(FItems.begin());
    FItems.push_back(std::move(item));
    FPosition = Count();
}

void TUndo::Clear()
{
    FItems.clear();
    FPosition = 0;
}

const TUndoItem* TUndo::TakeUndo()
{
    if (!CanUndo())
        return nullptr;
    --FPosition;
    return &FItems[static_cast<size_t>(FPosition)];
}

const TUndoItem* TUndo::TakeRedo()
{
    if (!CanRedo())
        return nullptr;
    ++FPosition;
    return &FItems[static_cast<size_t>(FPosition - 1)];
}
