#include "ShellBrowsing/Source/explorer/ExplorerViewState.h"

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

namespace {

PItemIDList CopyOf(TCustomShellExplorerTree& tree, PLazyNode node)
{
    TNamespace* ns = tree.NodeNamespace(node);
    return ns ? PIDLMgr().CopyPIDL(ns->AbsolutePIDL()) : nullptr;
}

} // namespace

void TVETPersistent::Clear()
{
    FLeafNodes.clear();
    FSelection.clear();
    FUppermost.Reset();
    FFocus.Reset();
    FUppermostOffset = 0;
}

void TVETPersistent::CaptureBelow(TCustomShellExplorerTree& tree, PLazyNode start, bool saveSelection)
{
    // Walks only created nodes: nothing is enumerated to capture a state.
    std::vector<PLazyNode> pending;
    for (PLazyNode child = start->ChildHead; child; child = child->NextLink)
        pending.push_back(child);
    while (!pending.empty()) {
        PLazyNode node = pending.back();
        pending.pop_back();
        if (saveSelection && tree.GetNodeSelected(node))
            if (PItemIDList list = CopyOf(tree, node))
                FSelection.emplace_back(list);
        if (!node->Has(nsOpen))
            continue;
        bool openChild = false;
        for (PLazyNode child = node->ChildHead; child; child = child->NextLink) {
            pending.push_back(child);
            openChild = openChild || child->Has(nsOpen);
        }
        if (!openChild)
            if (PItemIDList list = CopyOf(tree, node))
                FLeafNodes.emplace_back(list);
    }
}

void TVETPersistent::SaveTree(TCustomShellExplorerTree& tree, bool saveSelection, bool saveFocus)
{
    Clear();
    if (!tree.ValidateRootNamespace())
        return;
    CaptureBelow(tree, tree.HiddenRoot(), saveSelection);
    if (PLazyNode top = tree.NodeAtTop()) {
        FUppermost.Reset(CopyOf(tree, top));
        FUppermostOffset = static_cast<int>(tree.OffsetY());
    }
    if (saveFocus && tree.FocusNode())
        FFocus.Reset(CopyOf(tree, tree.FocusNode()));
}

void TVETPersistent::SaveSubtree(TCustomShellExplorerTree& tree, PLazyNode start, bool saveSelection)
{
    Clear();
    if (!start)
        return;
    CaptureBelow(tree, start, saveSelection);
    if (start->Has(nsOpen) && FLeafNodes.empty())
        if (PItemIDList list = CopyOf(tree, start))
            FLeafNodes.emplace_back(list);
}

void TVETPersistent::RestoreExpanded(TCustomShellExplorerTree& tree)
{
    tree.StartBatchUpdate();
    for (const TPIDLHolder& leaf : FLeafNodes)
        if (PLazyNode node = tree.LocateNodeByPIDL(leaf.Get(), false, true, false, true))
            if (!node->Has(nsOpen) && node != tree.HiddenRoot())
                tree.SetNodeExpanded(node, true);
    tree.FinishBatchUpdate();
}

void TVETPersistent::RestoreSelection(TCustomShellExplorerTree& tree)
{
    for (const TPIDLHolder& item : FSelection)
        if (PLazyNode node = tree.FindExistingNodeByPIDL(item.Get()))
            tree.SetNodeSelected(node, true);
}

void TVETPersistent::RestoreTree(TCustomShellExplorerTree& tree, bool restoreSelection, bool restoreUppermost,
                                 bool restoreFocus)
{
    // Setting the root again rebuilds the tree from the file system.
    tree.RebuildTree();
    RestoreExpanded(tree);
    if (restoreSelection) {
        tree.DeselectAll();
        RestoreSelection(tree);
    }
    if (restoreFocus && FFocus)
        if (PLazyNode node = tree.FindExistingNodeByPIDL(FFocus.Get()))
            tree.AssignFocusedNode(node);
    if (restoreUppermost && FUppermost) {
        if (PLazyNode node = tree.FindExistingNodeByPIDL(FUppermost.Get()))
            tree.SetNodeAtTop(node);
    } else if (FUppermostOffset != 0) {
        tree.SetOffsetY(FUppermostOffset);
    }
}
