#pragma once
// The edit link: the object that edits one cell of a tree in place. The tree never edits by
// itself; it attaches a link to the focused cell, places and shows it, and ends it by committing
// or cancelling. A link is shared: the tree and its creator may both hold it.

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/core/Messages.h"

#include <memory>

class ILTEditLink {
public:
    virtual ~ILTEditLink() = default;
    // Shows the editor; false refuses.
    virtual bool ShowEditor() = 0;
    // Cancels the edit; false means the editor refuses to end.
    virtual bool AbandonEdit() = 0;
    // Accepts the edit; false means the editor refuses to end.
    virtual bool ConcludeEdit() = 0;
    virtual bool AttachToCell(TBaseLazyTree* tree, PLazyNode node, TColumnIndex column) = 0;
    virtual TRect EditorBounds() = 0;
    virtual void RelayMessage(TMessage& message) = 0;
    virtual void PlaceEditor(const TRect& r) = 0;
};
using PLTEditLink = std::shared_ptr<ILTEditLink>;
