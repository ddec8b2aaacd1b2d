// Expand buttons settled by the expand-mark thread: a folder on a slow (network) file system
// shows its button at once and loses it when the thread finds the folder empty, so that
// showing a level of such folders never reads each of them on the GUI thread.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/threads/ExpandMarkThread.h"

void TCustomShellExplorerTree::SetThreadedExpandMark(bool on)
{
    if (on == FThreadedExpandMarkOn)
        return;
    if (on)
        TExpandMarkManager::Instance().RegisterControl(this);
    else
        TExpandMarkManager::Instance().UnRegisterControl(this);
    FThreadedExpandMarkOn = on;
}

bool TCustomShellExplorerTree::ExpandMarkFromThread(TNamespace* ns)
{
    if (!ns->IsFolderItem() || !ns->IsFileSystemItem())
        return false;
    const std::string path = ns->PathBytes();
    return !path.empty() && IsRemoteFileSystem(VolumeOfPath(path).FileSystemType);
}

bool TCustomShellExplorerTree::QueueExpandMark(PLazyNode node, TNamespace* ns)
{
    if (!FThreadedExpandMarkOn || !Has(toFoldersExpandable) || ns->IsRemovableItem() || !ExpandMarkFromThread(ns))
        return false;
    TExpandMarkManager::Instance().AddNewItem(this, VM_EXPANDMARKREADY, ns->AbsolutePIDL(), false, node, EnumFlags());
    return true;
}

void TCustomShellExplorerTree::ApplyExpandMarkAnswer(TMessage& message)
{
    std::unique_ptr<TImageThreadRequest> request(reinterpret_cast<TImageThreadRequest*>(message.WParam));
    if (!request || !NodeNamespace(request->Node))
        return;
    // A folder opened meanwhile knows its children already.
    if (request->Node->NumChildren == 0 && !request->Node->Has(nsOpen)) {
        SetNodeHasChildren(request->Node, request->ChildrenFound > 0);
        RepaintNode(request->Node);
    }
}

void TCustomShellExplorerTree::WithdrawExpandMarks(PLazyNode node)
{
    if (!FThreadedExpandMarkOn)
        return;
    if (node)
        TExpandMarkManager::Instance().ClearPendingItem(this, node, VM_EXPANDMARKREADY,
                                                        [this](TMessage& message) { ApplyExpandMarkAnswer(message); });
    else
        TExpandMarkManager::Instance().ClearPendingItems(this, VM_EXPANDMARKREADY);
}
